#pragma once
// The "img" element: one picture of a skin, chosen by "sub" (-1 for the whole
// skin). Measured by the skin's size where the skin has one.

#include "uiwin/CUiWindow.h"

class CUiSkinBase;

class CUiImageWnd : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiImageWnd();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  // "skin" and "sub" into the given fields, shared with the elements that take
  // them as "img" does: S_OK for "skin", S_FALSE for "sub", E_FAIL otherwise.
  static HRESULT SetSkinAttribute(const char* pszName, const char* pszValue,
                                  CUiSkinBase*& pSkin, int& nSub);
  // Measuring by a skin: its non-zero width or height replaces the measured one.
  static void MeasureBySkin(CUiSkinBase* pSkin, SIZE* psz);

  CUiSkinBase* GetSkin() const { return m_pSkin; }
  int GetSub() const { return m_nSub; }

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam);

  int m_nSub;
  CUiSkinBase* m_pSkin;  // the skin pool's
};
