#include "controls/CListNumberFilter.h"

#include <climits>
#include <cwchar>

#include "controls/EditHelpers.h"
#include "controls/ListFormats.h"
#include "platform/CWindow.h"
#include "platform/WideFormat.h"

namespace {

bool IsNumeric(UINT nFlags) { return (nFlags & (ITEM_FLAGS_EDIT_NUMBER | ITEM_FLAGS_EDIT_FLOAT)) != 0; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsComparison(wchar_t c) { return c == L'<' || c == L'=' || c == L'>'; }

// The text's leading comparison characters: they stay when the sign turns.
size_t ComparisonPrefix(const std::wstring& strText) {
  size_t n = 0;
  while (n < strText.size() && IsComparison(strText[n])) ++n;
  return n;
}

}  // namespace

bool CListNumberFilter::IsValidText(UINT nFlags, const std::wstring& strText) {
  if (!IsNumeric(nFlags)) return true;
  int points = 0, minus = 0, less = 0, equal = 0, greater = 0;
  for (wchar_t c : strText) {
    if (c == L'.') {
      if (!(nFlags & ITEM_FLAGS_EDIT_FLOAT)) return false;
      ++points;
    } else if (IsComparison(c)) {
      if (!(nFlags & ITEM_FLAGS_EDIT_OPERATOR)) return false;
      ++(c == L'<' ? less : c == L'=' ? equal : greater);
    } else if (c == L'-') {
      ++minus;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  if (points > 1 || minus > 1 || less > 1 || equal > 1 || greater > 1) return false;
  const size_t digit = strText.find_first_of(L"0123456789");
  const size_t eq = strText.find(L'=');
  for (wchar_t c : {L'>', L'<'}) {
    const size_t at = strText.find(c);
    if (at != std::wstring::npos && eq != std::wstring::npos && at > eq) return false;
  }
  for (wchar_t c : {L'>', L'<', L'=', L'-'}) {
    const size_t at = strText.find(c);
    if (at != std::wstring::npos && digit != std::wstring::npos && at > digit) return false;
  }
  return true;
}

bool CListNumberFilter::IsValidChar(UINT nFlags, const std::wstring& strText, int nStart, int nEnd,
                                    wchar_t c) {
  if (c < 32 || !IsNumeric(nFlags)) return true;
  return IsValidText(nFlags, strText.substr(0, nStart) + c + strText.substr(nEnd));
}

bool CListNumberFilter::TogglesSign(UINT nFlags, wchar_t c) {
  return c == L'-' && IsNumeric(nFlags) && (nFlags & ITEM_FLAGS_EDIT_NEGATIVE);
}

std::wstring CListNumberFilter::Negate(UINT nFlags, const std::wstring& strText, int& nShift) {
  const size_t prefix = ComparisonPrefix(strText);
  const wchar_t* number = strText.c_str() + prefix;
  std::wstring result = strText.substr(0, prefix);
  if (nFlags & ITEM_FLAGS_EDIT_FLOAT) {
    const double value = std::wcstod(number, nullptr);
    nShift = value >= 0 ? 1 : -1;
    result += qv::FormatW(L"%lf", value == 0 ? 0.0 : -value);  // no "-0.000000"
  } else {
    const long long value = std::wcstoll(number, nullptr, 10);
    nShift = value >= 0 ? 1 : -1;
    result += qv::FormatW(L"%lld", value == LLONG_MIN ? LLONG_MAX : -value);
  }
  return result;
}

BOOL CListNumberFilter::OnChar(HWND hEdit, UINT nFlags, wchar_t c) {
  if (c < 32 || !IsNumeric(nFlags)) return TRUE;
  const std::wstring text = CWindow(hEdit).GetWindowText();
  int start = 0, end = 0;
  GetEditSel(hEdit, text, start, end);
  if (TogglesSign(nFlags, c)) {
    int shift = 0;
    ::SetWindowTextW(hEdit, Negate(nFlags, text, shift).c_str());
    const int length = ::GetWindowTextLengthW(hEdit);
    auto moved = [&](int at) { return at + shift < 0 ? 0 : at + shift > length ? length : at + shift; };
    ::SendMessageW(hEdit, EM_SETSEL, moved(start), moved(end));
    return FALSE;
  }
  return IsValidChar(nFlags, text, start, end, c);
}

BOOL CListNumberFilter::OnPaste(HWND hEdit, UINT nFlags) {
  if (!IsNumeric(nFlags)) return FALSE;
  std::wstring pasted;
  for (wchar_t c : ClipboardText(hEdit))
    if (c >= 32) pasted += c;
  const std::wstring text = CWindow(hEdit).GetWindowText();
  int start = 0, end = 0;
  GetEditSel(hEdit, text, start, end);
  if (!pasted.empty() && IsValidText(nFlags, text.substr(0, start) + pasted + text.substr(end)))
    ::SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
  return TRUE;
}
