#include "uiwin/CUiRealWnd.h"

#include <cstring>

const char* const CUiRealWnd::kTag = "realwnd";

CUiWindow* CUiRealWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiRealWnd : NULL;
}

BOOL CUiRealWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiRealWnd::GetObjectClass() const { return kTag; }

HWND CUiRealWnd::GetRealHWnd() const {
  return m_hContainer ? ::GetDlgItem(m_hContainer, m_nCmdID) : NULL;
}

BOOL CUiRealWnd::ShowRealWindow(BOOL bShow) {
  return ::ShowWindow(GetRealHWnd(), bShow ? SW_SHOW : SW_HIDE);
}
