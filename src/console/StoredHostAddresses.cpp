#include "console/StoredHostAddresses.h"

#include <algorithm>

#include "console/DottedIPv4.h"

void StoredHostAddresses::Add(const std::wstring& text) {
  uint32_t address = 0;
  if (!ParseHostAddress(text, &address)) return;
  std::vector<std::wstring>& texts = m_texts[address];
  if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(text);
}

std::vector<std::wstring> StoredHostAddresses::TextsOf(uint32_t address) const {
  const auto found = m_texts.find(address);
  if (found != m_texts.end()) return found->second;
  return {FormatDottedIPv4(address)};
}
