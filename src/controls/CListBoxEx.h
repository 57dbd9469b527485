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

  BEGIN_MSG_MAP(CListBoxEx)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);

  HBITMAP m_skin;
  UINT m_skinId;
  int m_widest = 0;
};
