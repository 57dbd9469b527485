#include "controls/EditHelpers.h"

#include <algorithm>
#include <cwchar>

std::wstring ClipboardText(HWND hOwner) {
  std::wstring text;
  if (!::OpenClipboard(hOwner)) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text.assign(p, wcsnlen(p, ::GlobalSize(data) / sizeof(wchar_t)));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void GetEditSel(HWND hEdit, const std::wstring& strText, int& nStart, int& nEnd) {
  DWORD start = 0, end = 0;
  ::SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int length = static_cast<int>(strText.size());
  nEnd = std::min(static_cast<int>(end), length);
  nStart = std::min(static_cast<int>(start), nEnd);
}
