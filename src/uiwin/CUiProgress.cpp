#include "uiwin/CUiProgress.h"

#include <cstring>
#include <cwchar>

#include "platform/CGdiObject.h"
#include "uiwin/CUiSkinBase.h"
#include "uiwin/UiSkin.h"

namespace {

const COLORREF kFrameColor = 0x707070;
const COLORREF kBarColor = 0x906142;
const UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

}  // namespace

const char* const CUiProgress::kTag = "progress";

CUiWindow* CUiProgress::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiProgress : NULL;
}

CUiProgress::CUiProgress()
    : m_nMin(0), m_nMax(0), m_nValue(0), m_nShowPercent(0), m_pBgSkin(NULL), m_pPosSkin(NULL) {}

BOOL CUiProgress::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiProgress::GetObjectClass() const { return kTag; }

HRESULT CUiProgress::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "bgskin") == 0) {
    m_pBgSkin = UiSkin::GetSkin(pszValue);
    return S_OK;
  }
  if (strcmp(pszName, "posskin") == 0) {
    m_pPosSkin = UiSkin::GetSkin(pszValue);
    return S_OK;
  }
  int* field = NULL;
  if (strcmp(pszName, "min") == 0)
    field = &m_nMin;
  else if (strcmp(pszName, "max") == 0)
    field = &m_nMax;
  else if (strcmp(pszName, "value") == 0)
    field = &m_nValue;
  else if (strcmp(pszName, "showpercent") == 0)
    field = &m_nShowPercent;
  if (!field) return E_FAIL;
  *field = CUiObject::ParseInt(pszValue);
  return S_FALSE;
}

int CUiProgress::Share(int nMin, int nMax, int nValue, int nWhole) {
  if (nMin == nMax || nWhole <= 0) return 0;
  const long long lo = nMin < nMax ? nMin : nMax;
  const long long hi = nMin < nMax ? nMax : nMin;
  long long v = nValue;
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return static_cast<int>((v - lo) * nWhole / (hi - lo));
}

RECT CUiProgress::BarRect(const RECT& rc, int nMin, int nMax, int nValue, int nPosSkinHeight) {
  RECT bar = rc;
  bar.left += 2;
  bar.right -= 2;
  if (nPosSkinHeight >= 0) {
    const int inset = ((rc.bottom - rc.top) - nPosSkinHeight) / 2;
    bar.top += inset;
    bar.bottom -= inset;
  } else {
    bar.top += 2;
    bar.bottom -= 2;
  }
  // An element narrower (or lower) than its frame gets an empty bar.
  if (bar.right < bar.left) bar.right = bar.left;
  if (bar.bottom < bar.top) bar.bottom = bar.top;
  bar.right = bar.left + Share(nMin, nMax, nValue, bar.right - bar.left);
  return bar;
}

LRESULT CUiProgress::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  TextDCState saved;
  PrepareTextDC(hDC, saved);
  CPen pen(::CreatePen(PS_SOLID, 1, kFrameColor));
  HGDIOBJ oldPen = ::SelectObject(hDC, pen);

  RECT rc = m_rcWnd;
  if (m_pBgSkin)
    m_pBgSkin->Draw(hDC, rc, 0);
  else
    ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, 2, 2);

  wchar_t text[16] = L"";
  if (m_nShowPercent) {
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%d%%", Percent(m_nMin, m_nMax, m_nValue));
    ::DrawTextW(hDC, text, -1, &rc, kTextFormat);
  }

  const RECT bar = BarRect(rc, m_nMin, m_nMax, m_nValue,
                           m_pPosSkin ? static_cast<int>(m_pPosSkin->GetSkinSize().cy) : -1);
  if (bar.right > bar.left) {
    if (m_pPosSkin) {
      m_pPosSkin->Draw(hDC, bar, 0);
    } else {
      ::RoundRect(hDC, bar.left, bar.top, bar.right, bar.bottom, 2, 2);
      HBRUSH brush = ::CreateSolidBrush(kBarColor);
      ::FillRect(hDC, &bar, brush);
      ::DeleteObject(brush);
    }
    if (m_nShowPercent) {
      // The part of the text over the bar shows in the background colour.
      const int state = ::SaveDC(hDC);
      ::IntersectClipRect(hDC, bar.left, bar.top, bar.right, bar.bottom);
      ::SetTextColor(hDC, m_style.crbg == kUiColorUnset ? RGB(255, 255, 255) : m_style.crbg);
      ::DrawTextW(hDC, text, -1, &rc, kTextFormat);
      ::RestoreDC(hDC, state);
    }
  }

  ::SelectObject(hDC, oldPen);
  RestoreTextDC(hDC, saved);
  return 0;
}

LRESULT CUiProgress::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CUiWindow::OnNcCalcSize(uMsg, wParam, lParam);
  SIZE* psz = reinterpret_cast<SIZE*>(lParam);
  if (psz && m_pBgSkin) psz->cy = m_pBgSkin->GetSkinSize().cy;
  return 0;
}
