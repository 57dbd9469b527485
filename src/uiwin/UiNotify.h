#pragma once
// Element notification codes and records, sent with WM_NOTIFY. Every record
// starts with an NMHDR; the fields that follow are 32 bits each.

#include <windows.h>

#include "uiwin/UiWnds.h"

#define IDC_UIVIEW 1000

#define UINM_COMMAND 1
#define UINM_REALWND_RESIZED 2
#define UINM_MOUSEHOVER 3
#define UINM_MOUSELEAVE 4
#define UINM_TAB_SELCHANGE 5
#define UINM_INVALIDATERECT 1000

struct UINMCOMMAND {
  NMHDR hdr;
  UINT uItemID;
  const char* szItemClass;
};

struct UINMREALWNDRESIZED {
  NMHDR hdr;
  UINT uItemID;
  RECT rcWnd;
};

struct UINMTABSELCHANGE {
  NMHDR hdr;
  UINT uTabID;
  UINT uTabItemIDNew;
  UINT uTabItemIDOld;
  BOOL bCancel;
};

struct UINMINVALIDATERECT {
  NMHDR hdr;
  HUIWND huiWnd;
  RECT rect;
};

// The record of a UINM_TAB_SELCHANGE from the tab control tabID, or null for any other
// notification: the area pages veto or follow their tab changes with it.
inline UINMTABSELCHANGE* TabSelChangeOf(LPNMHDR pnmh, UINT tabID) {
  auto* change = reinterpret_cast<UINMTABSELCHANGE*>(pnmh);
  return pnmh->code == UINM_TAB_SELCHANGE && change->uTabID == tabID ? change : nullptr;
}
