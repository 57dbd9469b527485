#pragma once
// A page of a tab control ("tab", created only by "tabctrl"): an ordinary
// "dlg" panel with a head title and a hidden flag. A page whose hide is
// non-zero has no head.

#include <string>

#include "uiwin/CUiDialog.h"

class CUiTab : public CUiDialog {
 public:
  static const char* const kTag;

  CUiTab();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  const std::wstring& GetTitle() const { return m_strTitle; }
  BOOL IsHidden() const { return m_nHide != 0; }

 protected:
  std::wstring m_strTitle;
  int m_nHide;
};
