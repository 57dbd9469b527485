#include "integrity/HipsPatternKey.h"

#include <windows.h>

std::wstring HipsPatternFolder(const std::wstring& pattern) {
  size_t end = pattern.size();
  while (end > 0 && (pattern[end - 1] == L'\\' || pattern[end - 1] == L'*')) --end;
  return pattern.substr(0, end);
}

std::wstring HipsPatternKey(const std::wstring& pattern) {
  std::wstring key = pattern;
  const size_t folder = HipsPatternFolder(key).size();
  if (key.find(L'*', folder) != std::wstring::npos) key = key.substr(0, folder) + L"\\*";
  if (!key.empty()) ::CharLowerBuffW(&key[0], DWORD(key.size()));
  return key;
}
