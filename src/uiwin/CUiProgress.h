#pragma once
// The "progress" element: a framed bar (drawn, or from "bgskin"/"posskin")
// filled by (value - min) / (max - min), with an optional percentage text that
// shows in crbg where the bar lies under it.

#include "uiwin/CUiWindow.h"

class CUiSkinBase;

class CUiProgress : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiProgress();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  // The filled share of a whole, (value - min) / (max - min) with min and max
  // in either order and the value clamped between them; 0 when they are equal.
  // Integer arithmetic, so 62 of 100 is exactly 62% and never 61.999...
  static int Share(int nMin, int nMax, int nValue, int nWhole);
  // The percentage text's number, truncated: 1 of 3 shows 33.
  static int Percent(int nMin, int nMax, int nValue) { return Share(nMin, nMax, nValue, 100); }
  // The filled part of an element rectangle: 2 pixels inside the frame
  // (vertically centred on a bar skin of nPosSkinHeight when that is >= 0),
  // its width the share of the inner width. Never of negative size.
  static RECT BarRect(const RECT& rc, int nMin, int nMax, int nValue, int nPosSkinHeight);

  int GetMin() const { return m_nMin; }
  int GetMax() const { return m_nMax; }
  int GetValue() const { return m_nValue; }

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam);

  int m_nMin;
  int m_nMax;
  int m_nValue;
  int m_nShowPercent;
  CUiSkinBase* m_pBgSkin;   // the skin pool's
  CUiSkinBase* m_pPosSkin;  // the skin pool's
};
