#include "integrity/HipsClientAddress.h"

#include "console/DottedIPv4.h"

bool HipsClientAddress(const std::wstring& clientIp, uint32_t& address) {
  return ParseHostAddress(clientIp, &address);
}
