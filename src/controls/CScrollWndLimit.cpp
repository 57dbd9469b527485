#include "controls/CScrollWndLimit.h"

LRESULT CScrollWndLimit::OnForward(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  HWND frame = GetParent();
  HWND host = frame ? ::GetParent(frame) : nullptr;
  if (!host) {
    bHandled = FALSE;
    return 0;
  }
  return ::SendMessageW(host, uMsg, wParam, lParam);
}
