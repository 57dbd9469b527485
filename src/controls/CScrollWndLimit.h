#pragma once
// The clipping child of a skinned-scroll frame: it holds the target window, sized so
// that the target's own scroll bars lie outside it. What the target sends to its
// parent (commands, notifications, colour and owner-draw requests) goes on to the
// frame's parent, the window the target was a child of, so the wrapping stays
// invisible to the target and to the window that hosts it.
#include "platform/CWindowImpl.h"

class CScrollWndLimit : public CWindowImpl<CScrollWndLimit> {
 public:
  DECLARE_WND_CLASS_EX(nullptr, 0, COLOR_WINDOW)

  BEGIN_MSG_MAP(CScrollWndLimit)
    MESSAGE_HANDLER(WM_COMMAND, OnForward)
    MESSAGE_HANDLER(WM_NOTIFY, OnForward)
    MESSAGE_RANGE_HANDLER(WM_DRAWITEM, WM_CHARTOITEM, OnForward)
    MESSAGE_HANDLER(WM_COMPAREITEM, OnForward)
    MESSAGE_RANGE_HANDLER(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, OnForward)
  END_MSG_MAP()

 private:
  LRESULT OnForward(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
};
