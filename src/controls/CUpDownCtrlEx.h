#pragma once
// The console's spin control: a real up-down control painted from a bitmap of six
// cells (normal, hovered and pressed looks of the up and the down arrow). An arrow looks
// pressed while the button is held on it and hovered while the mouse is over it;
// leaving the control shows both arrows normal.
#include <windows.h>

#include "platform/CDoubleBufferImpl.h"
#include "platform/COwnerDraw.h"
#include "platform/CUpDownCtrl.h"
#include "platform/CWindowImpl.h"

class CUpDownCtrlEx : public CWindowImpl<CUpDownCtrlEx, CUpDownCtrl>,
                      public CDoubleBufferImpl<CUpDownCtrlEx>,
                      public COwnerDraw<CUpDownCtrlEx> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, UPDOWN_CLASSW)

  static constexpr UINT kArrowBitmap = 127;

  CUpDownCtrlEx();

  // Creates the control with style bit 0x400 added.
  HWND Create(HWND parent, const RECT& rc, LPCWSTR name = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT id = 0, void* param = nullptr);

  void DoPaint(CDCHandle dc);

  BEGIN_MSG_MAP(CUpDownCtrlEx)
    CHAIN_MSG_MAP(CDoubleBufferImpl<CUpDownCtrlEx>)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnLookEnds)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLookEnds)
    CHAIN_MSG_MAP(COwnerDraw<CUpDownCtrlEx>)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  // Leaving ends the hovered look, releasing the button the pressed one.
  LRESULT OnLookEnds(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled);
  // Which half the point is in; false, false when it is in neither. Returns false
  // when x lies outside the control, where the flags keep their values.
  bool HitHalves(LPARAM lParam, BOOL& up, BOOL& down) const;

  HBITMAP m_arrows;  // from the bitmap pool, shared by every up-down control
  BOOL m_upHovered = FALSE;
  BOOL m_downHovered = FALSE;
  BOOL m_upPressed = FALSE;
  BOOL m_downPressed = FALSE;
};
