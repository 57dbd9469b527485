#include "uiwin/CUiDialog.h"

#include <cstring>

const char* const CUiDialog::kTag = "dlg";

CUiWindow* CUiDialog::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiDialog : NULL;
}

BOOL CUiDialog::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiDialog::GetObjectClass() const { return kTag; }

BOOL CUiDialog::ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                       LRESULT& lResult) {
  if (uMsg == WM_WINDOWPOSCHANGED) {
    SetMsgHandled(TRUE);
    lResult = OnWindowPosChanged(uMsg, wParam, lParam);
    RepositionChilds();
    // RepositionChilds stops early if a child's handler deleted us; do
    // not read our handled flag then.
    return TRUE;
  }
  return CUiPanel::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
}

void CUiDialog::RepositionChilds() {
  const HUIWND self = m_hUiWnd;
  for (HUIWND h : SnapshotChildren()) {
    if (UiWnds::GetWindow(self) != this) return;
    if (CUiWindow* child = UiWnds::GetWindow(h)) RepositionChild(child);
  }
}

void CUiDialog::RepositionChild(CUiWindow* pChild) {
  if (!pChild) return;
  RECT ref = m_rcWnd;
  m_style.ShrinkByMargins(ref);
  const int width = ref.right - ref.left;
  const int height = ref.bottom - ref.top;

  WINDOWPOS wp = {};
  wp.hwnd = m_hContainer;
  wp.hwndInsertAfter = NULL;
  if (pChild->GetPosCount() == 0) {
    wp.x = ref.left;
    wp.y = ref.top;
  } else {
    wp.x = pChild->GetPosItem(0).Resolve(ref.left, width);
    wp.y = pChild->GetPosItem(1).Resolve(ref.top, height);
  }
  wp.cx = width;
  wp.cy = height;
  wp.flags = 0;
  pChild->UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}
