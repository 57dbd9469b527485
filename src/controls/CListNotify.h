#pragma once
// The record of the grid's WM_NOTIFY messages, to its parent and from its editors.
// It lives on the sender's stack while SendMessage runs; receivers copy what they keep.
#include <windows.h>

enum : int {
  LIST_NOTIFY_SELCHANGED = -1501,
  LIST_NOTIFY_CLICK = -1502,
  LIST_NOTIFY_RCLICK = -1503,
  LIST_NOTIFY_DBLCLICK = -1504,
  LIST_NOTIFY_ENDEDIT = -1505,
  LIST_NOTIFY_CELLCHANGED = -1506,
  LIST_NOTIFY_CELLCLICKED = -1507,
};

struct CListNotify {
  NMHDR m_hdrNotify;
  int m_nItem;         // row, -1 for none
  int m_nSubItem;      // the grid's: creation index of the column
  WORD m_nExitChar;    // key that ended an edit
  LPWSTR m_lpszItemText;
  SYSTEMTIME* m_lpItemDate;
};
