#pragma once
// Message-map macros. A map is a chain of entries tested in order; an entry marks the
// message handled before calling its handler, the handler may clear the flag, and the
// map returns as soon as an entry leaves it set. Maps chain to base classes, members
// and alternate maps (ALT_MSG_MAP). The _EX map keeps the flag in the object
// (m_bMsgHandled, with IsMsgHandled/SetMsgHandled) and saves and restores it around the
// map body, so a message handled inside another handler does not disturb the outer one.
#include <windows.h>
#include <commctrl.h>

#include "platform/DebugReport.h"

// Reflected messages: a parent sends a child's notification back to the child as
// message + OCM__BASE.
#define OCM__BASE (WM_USER + 0x1c00)
#define OCM_COMMAND (OCM__BASE + WM_COMMAND)
#define OCM_CTLCOLORBTN (OCM__BASE + WM_CTLCOLORBTN)
#define OCM_CTLCOLOREDIT (OCM__BASE + WM_CTLCOLOREDIT)
#define OCM_CTLCOLORDLG (OCM__BASE + WM_CTLCOLORDLG)
#define OCM_CTLCOLORLISTBOX (OCM__BASE + WM_CTLCOLORLISTBOX)
#define OCM_CTLCOLORMSGBOX (OCM__BASE + WM_CTLCOLORMSGBOX)
#define OCM_CTLCOLORSCROLLBAR (OCM__BASE + WM_CTLCOLORSCROLLBAR)
#define OCM_CTLCOLORSTATIC (OCM__BASE + WM_CTLCOLORSTATIC)
#define OCM_DRAWITEM (OCM__BASE + WM_DRAWITEM)
#define OCM_MEASUREITEM (OCM__BASE + WM_MEASUREITEM)
#define OCM_DELETEITEM (OCM__BASE + WM_DELETEITEM)
#define OCM_VKEYTOITEM (OCM__BASE + WM_VKEYTOITEM)
#define OCM_CHARTOITEM (OCM__BASE + WM_CHARTOITEM)
#define OCM_COMPAREITEM (OCM__BASE + WM_COMPAREITEM)
#define OCM_HSCROLL (OCM__BASE + WM_HSCROLL)
#define OCM_VSCROLL (OCM__BASE + WM_VSCROLL)
#define OCM_PARENTNOTIFY (OCM__BASE + WM_PARENTNOTIFY)
#define OCM_NOTIFY (OCM__BASE + WM_NOTIFY)

#define QV_MAP_UNUSED_ARGS \
  (void)hWnd; (void)uMsg; (void)wParam; (void)lParam; (void)lResult; (void)bHandled

#define BEGIN_MSG_MAP(theClass)                                                           \
 public:                                                                                  \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,           \
                            LRESULT& lResult, DWORD dwMsgMapID = 0) {                     \
    BOOL bHandled = TRUE;                                                                 \
    QV_MAP_UNUSED_ARGS;                                                                   \
    switch (dwMsgMapID) {                                                                 \
      case 0:

#define BEGIN_MSG_MAP_EX(theClass)                                                        \
 public:                                                                                  \
  BOOL m_bMsgHandled = FALSE;                                                             \
  BOOL IsMsgHandled() const { return m_bMsgHandled; }                                     \
  void SetMsgHandled(BOOL handled) { m_bMsgHandled = handled; }                           \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,           \
                            LRESULT& lResult, DWORD dwMsgMapID = 0) {                     \
    BOOL saved = m_bMsgHandled;                                                           \
    BOOL ret = _ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID);    \
    m_bMsgHandled = saved;                                                                \
    return ret;                                                                           \
  }                                                                                       \
  BOOL _ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,          \
                             LRESULT& lResult, DWORD dwMsgMapID) {                        \
    BOOL& bHandled = m_bMsgHandled;                                                       \
    QV_MAP_UNUSED_ARGS;                                                                   \
    switch (dwMsgMapID) {                                                                 \
      case 0:

#define ALT_MSG_MAP(msgMapID) \
  break;                      \
  case msgMapID:

#define END_MSG_MAP()                                                      \
  break;                                                                   \
  default:                                                                 \
    ::qv::Trace("Invalid message map ID (%i)\n", static_cast<int>(dwMsgMapID)); \
    return FALSE;                                                          \
    }                                                                      \
    return FALSE;                                                          \
    }

// Runs one handler expression with the handled flag set first.
#define QV_MAP_CALL(expr)     \
  {                           \
    bHandled = TRUE;          \
    lResult = (expr);         \
    if (bHandled) return TRUE; \
  }

// LRESULT Handler(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
#define MESSAGE_HANDLER(msg, func) \
  if (uMsg == (msg)) QV_MAP_CALL(func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func) \
  if (uMsg >= (msgFirst) && uMsg <= (msgLast)) QV_MAP_CALL(func(uMsg, wParam, lParam, bHandled))

// LRESULT Handler(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled)
#define COMMAND_HANDLER(id, code, func)                                               \
  if (uMsg == WM_COMMAND && (id) == LOWORD(wParam) && (code) == HIWORD(wParam))       \
  QV_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_ID_HANDLER(id, func)                 \
  if (uMsg == WM_COMMAND && (id) == LOWORD(wParam))  \
  QV_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_CODE_HANDLER(code, func)               \
  if (uMsg == WM_COMMAND && (code) == HIWORD(wParam))  \
  QV_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                       \
  if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast))     \
  QV_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

// A command reflected back to the control that sent it (OCM_COMMAND), by its code.
#define REFLECTED_COMMAND_CODE_HANDLER(code, func)       \
  if (uMsg == OCM_COMMAND && (code) == HIWORD(wParam))  \
  QV_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

// LRESULT Handler(int idCtrl, LPNMHDR pnmh, BOOL& bHandled)
#define NOTIFY_HANDLER(id, cd, func)                                                 \
  if (uMsg == WM_NOTIFY && (id) == reinterpret_cast<LPNMHDR>(lParam)->idFrom &&      \
      static_cast<UINT>(cd) == reinterpret_cast<LPNMHDR>(lParam)->code)              \
  QV_MAP_CALL(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

#define NOTIFY_ID_HANDLER(id, func)                                                  \
  if (uMsg == WM_NOTIFY && (id) == reinterpret_cast<LPNMHDR>(lParam)->idFrom)        \
  QV_MAP_CALL(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

#define NOTIFY_CODE_HANDLER(cd, func)                                                     \
  if (uMsg == WM_NOTIFY && static_cast<UINT>(cd) == reinterpret_cast<LPNMHDR>(lParam)->code) \
  QV_MAP_CALL(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

#define CHAIN_MSG_MAP(theChainClass)                                                    \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                            \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

// A member held by pointer that may be null (a page handler that was not built).
#define CHAIN_MSG_MAP_MEMBER_PTR(theChainMember)                                          \
  if ((theChainMember) &&                                                               \
      (theChainMember)->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))       \
    return TRUE;

#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID)                                      \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) \
    return TRUE;

#define CHAIN_MSG_MAP_ALT_MEMBER(theChainMember, msgMapID)                                 \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) \
    return TRUE;

// Sends the notifications of child controls back to them (as OCM_ messages).
#define REFLECT_NOTIFICATIONS() \
  QV_MAP_CALL(this->ReflectNotifications(uMsg, wParam, lParam, bHandled))

// In a control: answers reflected messages nobody handled as the control's default would.
#define DEFAULT_REFLECTION_HANDLER() \
  if (this->DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
