#pragma once
// The console's one reading of a host's address text: "a.b.c.d", four decimal numbers
// from 0 to 255 of one to three digits each (a leading zero is still decimal), nothing
// before, between or after them. This is how the Client table, the strategy and HIPS
// tables and the service stand-in's scripts write a host. The value is the one the
// service link carries: network byte order, "a" in the lowest byte, as inet_addr gives
// it for such a text. The platform's other forms (short ones such as "127.1", hex,
// octal, blanks behind the text) are refused, so nothing goes to a host nobody wrote.
// "255.255.255.255" reads as 0xFFFFFFFF; ParseHostAddress refuses it.
#include <cstdint>
#include <string>
#include <string_view>

// Both leave *address alone when they return false.
bool ParseDottedIPv4(std::wstring_view text, uint32_t* address);
bool ParseDottedIPv4(std::string_view text, uint32_t* address);

// A monitored host's address as every place that takes one reads it: a dotted address
// as above, but not the broadcast address 255.255.255.255, which is no one host (and
// is what the platform gives for a text it cannot read). A place that refuses an
// address says so with TellHostAddressUnusable (AgentLinkNotice.h).
bool ParseHostAddress(std::wstring_view text, uint32_t* address);
bool ParseHostAddress(std::string_view text, uint32_t* address);

// The address as the service names it, "a.b.c.d" without leading zeros.
std::wstring FormatDottedIPv4(uint32_t address);
