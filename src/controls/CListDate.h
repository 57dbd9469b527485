#pragma once
// The grid's in-place editor of date cells (format 2): a date-and-time picker over the
// cell in the user's short date and time formats, the date alone with 0x400, the time
// alone with up-down arrows with 0x800, and an empty state offered with 0x1000. Tab,
// Enter and Esc end the edit with that key, any other loss of focus with none, except
// that the focus may move into the picker's own drop-down calendar and back. The end
// hides the picker and reports to the grid "1" and the value (the time cleared for a
// date-only cell, the date for a time-only one), or "0" and a cleared value when the
// picker holds no date.
#include <windows.h>
#include <commctrl.h>

#include "controls/CListEditorState.h"
#include "platform/CContainedWindow.h"
#include "platform/CRect.h"
#include "platform/CWindowImpl.h"

class CListDate : public CWindowImpl<CListDate> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, DATETIMEPICK_CLASSW)

  CListDate() : m_wndCalendar(this, 1) {}
  ~CListDate() override;

  // Opens over the cell (row, column position) with the cell's flags and date (year 0:
  // none); a time-only cell's date becomes today's. The window, focused, or null.
  HWND Create(HWND hWndGrid, int nItem, int nSubItem, const CRect& rcCell, UINT nFlags,
              SYSTEMTIME& stDate);

  BEGIN_MSG_MAP(CListDate)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(OCM_NOTIFY, OnReflectedNotify)
    MESSAGE_HANDLER(kCheckFocus, OnCheckFocus)
    DEFAULT_REFLECTION_HANDLER()
  ALT_MSG_MAP(1)  // the drop-down calendar
    MESSAGE_HANDLER(WM_KILLFOCUS, OnCalendarKillFocus)
  END_MSG_MAP()

 private:
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTALLKEYS; }
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnCalendarKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCheckFocus(UINT, WPARAM, LPARAM, BOOL&);

  // Posted when the calendar loses the focus while the picker is at work: it may take
  // the focus back a moment later.
  static constexpr UINT kCheckFocus = WM_APP + 1;
  // The picker itself or its calendar (or a window in it).
  bool IsOwnWindow(HWND hWnd);
  // Ends an open edit with the picker's value.
  void EndEdit();
  void ReleaseCalendar();
  void KeepTimeOfDay();

  CListEditorState m_state;
  CContainedWindow m_wndCalendar;
  SYSTEMTIME m_stDropped{};  // the value when the calendar opened
  BOOL m_bDropped = FALSE;
};
