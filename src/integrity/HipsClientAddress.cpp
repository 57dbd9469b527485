#include "integrity/HipsClientAddress.h"

#include <winsock2.h>

#include "platform/TextConv.h"

bool HipsClientAddress(const std::wstring& clientIp, uint32_t& address) {
  const std::string ansi = qv::WideToAnsi(clientIp);
  if (ansi.empty()) return false;
  const unsigned long value = inet_addr(ansi.c_str());
  if (value == INADDR_NONE) return false;
  address = uint32_t(value);
  return true;
}
