#include "uiwin/CUiSkinImgFrame.h"

#include <string.h>

#include "platform/CGdiObject.h"
#include "platform/DebugReport.h"

const char* const CUiSkinImgFrame::kTag = "imgframe";

namespace {

struct PartName {
  const char* name;
  DWORD bits;
};

const PartName kParts[] = {
    {"all", 47},  {"top", 43},   {"middle", 42}, {"bottom", 46},
    {"left", 15}, {"center", 7}, {"right", 39},
};

RECT MakeRect(int l, int t, int r, int b) {
  RECT rc = {l, t, r, b};
  return rc;
}

}  // namespace

CUiSkinImgFrame::CUiSkinImgFrame()
    : m_nLeft(0), m_nTop(0), m_crBg(kUiColorUnset), m_dwPart(PartAll) {}

BOOL CUiSkinImgFrame::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* CUiSkinImgFrame::GetObjectClass() const { return kTag; }

HRESULT CUiSkinImgFrame::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiSkinBase::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  hr = m_image.SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;
  if (strcmp(name, "crbg") == 0) {
    m_crBg = ParseColor(value);
    return S_OK;
  }
  if (strcmp(name, "left") == 0) {
    m_nLeft = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "top") == 0) {
    m_nTop = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "part") == 0) {
    for (const PartName& p : kParts) {
      if (strcmp(value, p.name) == 0) {
        m_dwPart = p.bits;
        return S_OK;
      }
    }
    return E_FAIL;
  }
  return E_FAIL;
}

BOOL CUiSkinImgFrame::IgnoreState() { return m_image.IgnoreState(); }

BOOL CUiSkinImgFrame::Draw(HDC hdc, RECT rc, DWORD /*dwState*/) {
  if (!hdc || !m_image.GetBitmap()) return FALSE;
  if (rc.right <= rc.left || rc.bottom <= rc.top) {
    ::qv::DebugReport("rcDraw.Width() && rcDraw.Height()", "uiskin", __LINE__);
    return FALSE;
  }
  const SIZE sz = m_image.GetBitmapSize();
  const int W = sz.cx, H = sz.cy;
  if (W <= 0 || H <= 0) return FALSE;
  // Edge widths that do not fit the bitmap are cut to it, so no part reads
  // outside the picture.
  const int L = m_nLeft < 0 ? 0 : (m_nLeft > W - 1 ? W - 1 : m_nLeft);
  const int T = m_nTop < 0 ? 0 : (m_nTop > H - 1 ? H - 1 : m_nTop);
  const int R = W - L - 1;
  const int B = H - T - 1;

  const BOOL bTop = (m_dwPart & PartTop) != 0;
  const BOOL bBottom = (m_dwPart & PartBottom) != 0;
  const BOOL bLeft = (m_dwPart & PartLeft) != 0;
  const BOOL bRight = (m_dwPart & PartRight) != 0;

  RECT inner = MakeRect(rc.left + (bLeft ? L : 0), rc.top + (bTop ? T : 0),
                        rc.right - (bRight ? R : 0), rc.bottom - (bBottom ? B : 0));

  // corners
  if (bLeft && bTop)
    m_image.DrawPart(hdc, MakeRect(rc.left, rc.top, rc.left + L, rc.top + T), MakeRect(0, 0, L, T));
  if (bRight && bTop)
    m_image.DrawPart(hdc, MakeRect(inner.right, rc.top, inner.right + R, rc.top + T),
                     MakeRect(L + 1, 0, W, T));
  if (bLeft && bBottom)
    m_image.DrawPart(hdc, MakeRect(rc.left, inner.bottom, rc.left + L, inner.bottom + B),
                     MakeRect(0, T + 1, L, H));
  if (bRight && bBottom)
    m_image.DrawPart(hdc, MakeRect(inner.right, inner.bottom, inner.right + R, inner.bottom + B),
                     MakeRect(L + 1, T + 1, W, H));

  // edges, stretched from the row or column between the corners
  if (bTop)
    m_image.DrawPart(hdc, MakeRect(inner.left, rc.top, inner.right, rc.top + T),
                     MakeRect(L, 0, L + 1, T));
  if (bLeft)
    m_image.DrawPart(hdc, MakeRect(rc.left, inner.top, rc.left + L, inner.bottom),
                     MakeRect(0, T, L, T + 1));
  if (bBottom)
    m_image.DrawPart(hdc, MakeRect(inner.left, rc.bottom - B, inner.right, rc.bottom),
                     MakeRect(L, T + 1, L + 1, H));
  if (bRight)
    m_image.DrawPart(hdc, MakeRect(inner.right, inner.top, inner.right + R, inner.bottom),
                     MakeRect(L + 1, T, W, T + 1));

  if (m_crBg != kUiColorUnset && inner.right > inner.left && inner.bottom > inner.top) {
    CBrush centre(CreateSolidBrush(m_crBg));
    if (!centre.IsNull()) FillRect(hdc, &inner, centre);
  }
  return TRUE;
}
