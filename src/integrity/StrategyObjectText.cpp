#include "integrity/StrategyObjectText.h"

#include <cwchar>

std::wstring StrategyObjectText::AddressText(unsigned long address) {
  if (!address) return L"";
  wchar_t text[16];
  swprintf(text, 16, L"%u.%u.%u.%u", unsigned(address >> 24 & 0xFF), unsigned(address >> 16 & 0xFF),
           unsigned(address >> 8 & 0xFF), unsigned(address & 0xFF));
  return text;
}

std::wstring StrategyObjectText::PartText(const IpPart& part) {
  std::wstring text = AddressText(part.address);
  if (!text.empty() && !part.mask.empty()) text += L"/" + part.mask;
  return text;
}

std::wstring StrategyObjectText::RangeText(const IpPart& start, const IpPart& end) {
  const std::wstring first = PartText(start);
  return first.empty() ? PartText(end) : first + L"-" + PartText(end);
}

unsigned long StrategyObjectText::ParseAddress(const std::wstring& text) {
  unsigned fields[4] = {0, 0, 0, 0};
  if (swscanf(text.c_str(), L"%u.%u.%u.%u", &fields[0], &fields[1], &fields[2], &fields[3]) < 1) return 0;
  unsigned long address = 0;
  for (unsigned field : fields) {
    if (field > 255) return 0;
    address = address << 8 | field;
  }
  return address;
}

StrategyObjectText::IpEntry StrategyObjectText::ParseEntry(const std::wstring& text) {
  IpEntry entry;
  std::wstring pieces[2] = {text, L""};
  const size_t dash = text.find(L'-');
  if (dash != std::wstring::npos) {
    entry.range = true;
    pieces[0] = text.substr(0, dash);
    pieces[1] = text.substr(dash + 1);
  }
  for (int i = 0; i < 2; ++i) {
    const size_t slash = pieces[i].find(L'/');
    entry.parts[i].address = ParseAddress(pieces[i].substr(0, slash));
    if (slash != std::wstring::npos) entry.parts[i].mask = pieces[i].substr(slash + 1);
  }
  return entry;
}

std::wstring StrategyObjectText::JoinMac(const std::wstring (&fields)[6]) {
  return Join(std::vector<std::wstring>(std::begin(fields), std::end(fields)), L"-");
}

void StrategyObjectText::SplitMac(const std::wstring& text, std::wstring (&fields)[6]) {
  for (size_t i = 0; i < 6; ++i) fields[i] = i * 3 < text.size() ? text.substr(i * 3, 2) : L"";
}

std::vector<std::wstring> StrategyObjectText::Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::wstring::npos; start = at + 1)
    pieces.push_back(text.substr(start, at - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

std::wstring StrategyObjectText::Join(const std::vector<std::wstring>& pieces, const std::wstring& separator) {
  std::wstring text;
  for (size_t i = 0; i < pieces.size(); ++i) text += (i ? separator : L"") + pieces[i];
  return text;
}

std::wstring StrategyObjectText::DeviceRow(const std::wstring& manage, const std::wstring& query) {
  return manage + (!manage.empty() && !query.empty() ? L";" : L"") + query;
}

std::wstring StrategyObjectText::PortText(const std::wstring& from, const std::wstring& to) {
  if (!from.empty() && !to.empty()) return from + L"-" + to;
  return from.empty() ? to : from;
}
