#include "uiwin/CUiImageBtnWnd.h"

#include <cstring>

#include "uiwin/CUiSkinBase.h"

const char* const CUiImageBtnWnd::kTag = "imgbtn";

CUiWindow* CUiImageBtnWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiImageBtnWnd : NULL;
}

BOOL CUiImageBtnWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiImageBtnWnd::GetObjectClass() const { return kTag; }

DWORD CUiImageBtnWnd::PictureForState(DWORD dwState) {
  if (dwState & UiWndState_Disable) return 3;
  if (dwState & UiWndState_PushDown) return 2;
  if (dwState & UiWndState_Hover) return 1;
  return 0;
}

LRESULT CUiImageBtnWnd::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (hDC && m_pSkin) m_pSkin->Draw(hDC, m_rcWnd, PictureForState(m_dwState));
  return 0;
}
