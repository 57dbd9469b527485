#include "controls/CIPAddressCtrlEx.h"

HWND CIPAddressCtrlEx::Create(HWND parent, const RECT& rc, LPCWSTR name, DWORD style,
                              DWORD exStyle, UINT id, void* param) {
  HWND wnd = CWindowImpl::Create(parent, rc, name, style, exStyle, id, param);
  if (!wnd) return nullptr;
  m_font.Attach(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_RASTER_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                              DEFAULT_PITCH | FF_MODERN, L""));
  SetFont(m_font, TRUE);
  ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
  return wnd;
}

LRESULT CIPAddressCtrlEx::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&) {
  CFieldColors::SetIBeam();
  return TRUE;
}

LRESULT CIPAddressCtrlEx::OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&) {
  return m_colors.Answer(reinterpret_cast<HDC>(wParam));
}
