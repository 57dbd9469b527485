#pragma once
// A filter's or trust relation's host as the service link addresses it: ClientIP read
// by ParseHostAddress, as every place reads a host. An empty or malformed text, and the
// broadcast address, give no address, so nothing is sent to a broadcast or stray host.
#include <cstdint>
#include <string>

bool HipsClientAddress(const std::wstring& clientIp, uint32_t& address);
