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

// The record of a UINM_REALWND_RESIZED for the element itemID, or null for any other
// notification: pages fit their grid's columns to the new width with it.
inline const UINMREALWNDRESIZED* RealWndResizedOf(LPNMHDR pnmh, UINT itemID) {
  auto* resized = reinterpret_cast<const UINMREALWNDRESIZED*>(pnmh);
  return pnmh->code == UINM_REALWND_RESIZED && resized->uItemID == itemID ? resized : nullptr;
}

// The element of a UINM_COMMAND, or 0 for any other notification.
inline UINT CommandItemOf(LPNMHDR pnmh) {
  return pnmh->code == UINM_COMMAND ? reinterpret_cast<const UINMCOMMAND*>(pnmh)->uItemID : 0;
}
