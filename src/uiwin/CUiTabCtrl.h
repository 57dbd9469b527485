#pragma once
// The "tabctrl" element: a row (or column) of tab heads drawn from skins, a
// frame, and a stack of "tab" pages of which exactly one, the selected one,
// is shown. A page change is first offered to the dialog through
// UINM_TAB_SELCHANGE, whose receiver may veto it.

#include <vector>

#include "uiwin/CUiContainerWnd.h"

class CUiSkinBase;
class CUiTab;

class CUiTabCtrl : public CUiContainerWnd {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);
  // DrawText format of the head titles.
  static constexpr UINT kTitleFormat =
      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_TABSTOP | DT_NOPREFIX | DT_END_ELLIPSIS;

  CUiTabCtrl();
  ~CUiTabCtrl() override;

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;
  void SetCursor() override;
  void SetContainer(HWND hContainer) override;
  HUIWND HitTest(POINT pt) override;
  BOOL RedrawRegion(HDC hDC, HRGN hRgn) override;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;
  CUiWindow* FindChildByCmdID(UINT nCmdID, BOOL bShownOnly = FALSE) override;
  CUiTabCtrl* AsTabCtrl() override { return this; }

  // Selects page nIndex after asking the dialog. FALSE for an index outside
  // the pages (nothing is sent then) or a veto; TRUE when nIndex is selected,
  // also when it already was. The control may be gone when this returns
  // (the dialog's handler can reload the layout).
  BOOL SetCurSel(int nIndex);
  int GetCurSel() const { return m_nCurSel; }
  // The head rectangle of page nIndex (hidden pages too); FALSE out of range.
  BOOL GetItemRect(int nIndex, RECT* pRect) const;
  CUiTab* GetItem(int nIndex) const;
  int GetItemCount() const { return static_cast<int>(m_pages.size()); }
  int GetHover() const { return m_nHover; }
  RECT GetPageRect() const { return m_rcPage; }
  SIZE GetHeadSize() const;

  // Shows the real windows of the selected page, hides those of the others.
  void ShowAllRealWindows(BOOL bShow);

 protected:
  LRESULT OnPaint(HDC hDC);
  void OnWindowPosChanged(const WINDOWPOS* pwp);
  void OnLButtonDown(POINT pt);
  void OnMouseMove(POINT pt);
  void OnMouseLeave();
  void OnShowWindow(BOOL bShow);
  void DestroyPages();
  // Hides the selected page and shows, places and repaints page nIndex.
  void ShowPage(int nIndex);
  // The head under pt, skipping hidden pages and the selected one; -1 for none.
  int HeadFromPoint(POINT pt) const;
  void InvalidateHead(int nIndex);
  void DrawHead(HDC hDC, int nIndex, DWORD dwSkinState);
  BOOL IsAlive(HUIWND self) const { return UiWnds::GetWindow(self) == this; }

  std::vector<CUiTab*> m_pages;  // owned
  int m_nHover;
  int m_nCurSel;
  int m_nTabSpacing;
  int m_nTabPos;
  int m_nFramePos;
  int m_nTabWidth;
  int m_nTabHeight;
  CUiSkinBase* m_pTabSkin;  // skins are the skin pool's
  CUiSkinBase* m_pFrameSkin;
  CUiSkinBase* m_pIconSkin;
  CUiSkinBase* m_pSplitterSkin;
  RECT m_rcPage;
  int m_nIconX;
  int m_nIconY;
  int m_nTextX;
  int m_nTextY;
  int m_nTabAlign;  // 0 top, 1 left
};
