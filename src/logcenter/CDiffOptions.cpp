#include "logcenter/CDiffOptions.h"

#include <windows.h>

size_t CDiffOptions::Find(const std::wstring& name) const {
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].compare(0, name.size(), name) == 0) return i;
  return m_items.size();
}

std::wstring CDiffOptions::GetValue(const std::wstring& name) const {
  size_t i = Find(name);
  if (i == m_items.size()) return std::wstring();
  size_t semicolon = m_items[i].find(L';');
  return semicolon == std::wstring::npos ? std::wstring() : m_items[i].substr(semicolon + 1);
}

void CDiffOptions::SetValue(const std::wstring& name, const std::wstring& value) {
  size_t i = Find(name);
  if (i == m_items.size()) m_items.emplace_back();
  m_items[i] = name + L';' + value;
}

void CDiffOptions::Append(const CDiffOptions& other) {
  m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
}

std::wstring CDiffOptions::Normalise(std::wstring_view line) const {
  std::wstring out(line);
  if (GetValue(L"indent") == L"yes") {
    // A line of blanks and tabs only stays as it is.
    size_t first = out.find_first_not_of(L" \t");
    if (first != std::wstring::npos) out.erase(0, first);
  }
  std::wstring letterCase = GetValue(L"case");
  if (!letterCase.empty() && letterCase != L"yes" && !out.empty())
    ::CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
  return out;
}
