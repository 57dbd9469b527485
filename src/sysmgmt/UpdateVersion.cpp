#include "sysmgmt/UpdateVersion.h"

namespace {

// Up to four parts of at most 32 bits each; missing trailing parts are 0.
bool SplitVersion(const std::wstring& text, uint32_t parts[4]) {
  for (int i = 0; i < 4; ++i) parts[i] = 0;
  size_t start = 0;
  for (int n = 0;; ++n) {
    const size_t dot = text.find(L'.', start);
    const std::wstring part = text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
    if (n == 4 || part.empty() || !UpdateVersion::IsDigits(part)) return false;
    uint64_t value = 0;
    for (wchar_t c : part) {
      value = value * 10 + static_cast<uint64_t>(c - L'0');
      if (value > 0xFFFFFFFFu) return false;
    }
    parts[n] = static_cast<uint32_t>(value);
    if (dot == std::wstring::npos) return true;
    start = dot + 1;
  }
}

}  // namespace

bool UpdateVersion::IsDigits(const std::wstring& text) {
  for (wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

int UpdateVersion::Compare(const std::wstring& a, const std::wstring& b) {
  uint32_t first[4], second[4];
  if (!SplitVersion(a, first)) return -21;
  if (!SplitVersion(b, second)) return -22;
  for (int i = 0; i < 4; ++i)
    if (first[i] != second[i]) return first[i] > second[i] ? 1 : -1;
  return 0;
}
