#include "integrity/HipsClientAddress.h"

#include "console/DottedIPv4.h"

bool HipsClientAddress(const std::wstring& clientIp, uint32_t& address) {
  uint32_t value = 0;
  if (!ParseDottedIPv4(clientIp, &value) || value == 0xFFFFFFFFu) return false;
  address = value;
  return true;
}
