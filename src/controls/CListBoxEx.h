#pragma once
// A list box in the console's font whose horizontal scroll range follows its widest
// line (it never shrinks). Its scroll bars are skinned as it is created, with the skin
// and id it was built with: a frame takes its place and control id in the parent.
#include <windows.h>

#include "platform/CListBox.h"
#include "platform/CWindowImpl.h"

class CListBoxEx : public CWindowImpl<CListBoxEx, CListBox> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"LISTBOX")

  CListBoxEx(HBITMAP skin, UINT skinId) : m_skin(skin), m_skinId(skinId) {}

  // Appends a line and widens the horizontal extent to the widest line + 3 pixels.
  int AddString(LPCWSTR text);
  // A thumb moved on a skinned bar (the WM_VSCROLL's lParam) puts the list's line of
  // its position first: Wine's list box takes the line from the message's 16 bits, and
  // while the thumb moves from its own bar, which stays. False for other scrolls. For
  // every list box under a skinned bar (a combo box's list too).
  static bool ShowThumbLine(HWND list, WPARAM wParam, LPARAM lParam);

  BEGIN_MSG_MAP(CListBoxEx)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnVScroll(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  HBITMAP m_skin;
  UINT m_skinId;
  int m_widest = 0;
};
