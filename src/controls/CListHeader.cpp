#include "controls/CListHeader.h"

#include "platform/CWindowDCs.h"
#include "platform/TextConv.h"

void CListHeader::SetCaption(LPCWSTR pszCaption) {
  m_strCaption = qv::OrEmpty(pszCaption);
  if (IsWindow()) Invalidate();
}

LRESULT CListHeader::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);
  RECT rc;
  GetClientRect(&rc);
  rc.left += 5;
  rc.top += 1;
  rc.right -= 1;
  rc.bottom -= 2;
  HGDIOBJ old = dc.SelectObject(GetFont());
  dc.SetTextColor(m_rgbText);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(m_strCaption.c_str(), static_cast<int>(m_strCaption.size()), &rc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (old) dc.SelectObject(old);
  return 0;
}

LRESULT CListHeader::OnLayout(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
  if (layout && layout->prc && layout->pwpos) {
    layout->prc->top = m_nHeight;
    layout->pwpos->cy = m_nHeight;
  }
  return result;
}
