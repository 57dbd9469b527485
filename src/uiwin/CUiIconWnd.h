#pragma once
// The "icon" element: an icon of the program's resources ("src", "size") or,
// with "oem", one of the system's standard icons. The icon is loaded at the
// end of Load and again before a paint whenever its source has changed.

#include "platform/CIcon.h"
#include "uiwin/CUiWindow.h"

class CUiIconWnd : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiIconWnd();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  HICON GetIcon() const { return m_icon; }
  int GetSrc() const { return m_nSrc; }
  int GetLoadedSrc() const { return m_nLoadedSrc; }

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Drops the icon held and loads the one src names now.
  void ReloadIcon();
  BOOL NeedsReload() const;

  CIcon m_icon;  // system icons are held unowned and never destroyed
  int m_nSrc;
  int m_nLoadedSrc;
  int m_nSize;
  int m_nOem;
  int m_nLoadedSize;
  int m_nLoadedOem;
};
