#pragma once
// Skinned scroll bars for any scrollable window (the target). SkinWndScroll puts a
// frame window ("SkinScrollBarFrame") in the target's place, with its position and
// control id; inside it the clipping child "LIMIT" (id n) holds the target so that
// the target's own scroll bars are cut off, and two CSkinScrollBar (horizontal id
// n + 1, vertical n + 2) sit beside it. The target keeps scrolling itself; the frame
// mirrors the target's scroll state into the bars (on every repaint of the target,
// every 500 ms and after each scroll the bars cause) and turns the bars' actions
// into the target's WM_VSCROLL and WM_HSCROLL.
//
// Ownership: the frame object is made by SkinWndScroll and deletes itself once its
// window is gone. While skinned, the target's window procedure is hooked and its
// user-data word holds the frame. UnskinWndScroll restores the target and destroys
// the frame; it runs by itself when the target is destroyed. When the frame goes
// first (its dialog is being destroyed), it unhooks the target before anything of
// them is destroyed. UI thread only.
#include "controls/CScrollWndLimit.h"
#include "controls/CSkinScrollBar.h"
#include "platform/CWindowImpl.h"

class CSkinScrollWnd : public CWindowImpl<CSkinScrollWnd> {
 public:
  DECLARE_WND_CLASS(L"SkinScrollBarFrame")

  // Posted by the target's hook: lay out the clipping child. wParam: the target shows
  // a vertical bar; lParam: that bar is on the left.
  static const UINT kLayoutMessage = 0x04AB;

  CSkinScrollWnd() = default;

  // Wraps the target; FALSE when the frame or its children cannot be made.
  BOOL SkinWindow(HWND target, HBITMAP skin, UINT id);
  // The frame of a skinned target, or null.
  static CSkinScrollWnd* FromTarget(HWND target);

  BEGIN_MSG_MAP(CSkinScrollWnd)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(kLayoutMessage, OnLayout)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  void OnFinalMessage(HWND) override { delete this; }

 private:
  friend int UnskinWndScroll(HWND target);

  static LRESULT CALLBACK HookProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // The frame whose hook the target's messages pass now (its user data), or null.
  static CSkinScrollWnd* HookedBy(HWND target);
  void OnTargetMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void OnTargetNcCalcSize(RECT& client);
  // Puts the target's own window procedure back and forgets the target.
  void Unhook();
  // Copies the target's scroll state for one axis into its bar when it differs
  // (always when forced); the bar is enabled exactly when there is something to scroll.
  void SyncBar(int axis, bool force);

  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnScroll(UINT uMsg, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnLayout(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);

  CSkinScrollBar m_hbar;
  CSkinScrollBar m_vbar;
  int m_nBarWidth = 16;
  CScrollWndLimit m_limit;
  HBITMAP m_hBmp = nullptr;
  BOOL m_bSyncing = FALSE;
  int m_nCorner = 0;  // 0 none, 1 lower left, 2 lower right
  WNDPROC m_pfnOldProc = nullptr;
  HWND m_hTarget = nullptr;
  BOOL m_bDestroying = FALSE;
};

// Skins the target's scroll bars with the skin bitmap; id, id + 1 and id + 2 go to the
// clipping child and the two bars. Returns the frame (the one already there when the
// target is skinned), or null.
CSkinScrollWnd* SkinWndScroll(HWND target, HBITMAP skin, UINT id);
// Gives the target its place back and destroys the frame; 1 also when not skinned.
int UnskinWndScroll(HWND target);
