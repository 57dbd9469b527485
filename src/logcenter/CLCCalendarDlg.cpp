#include "logcenter/CLCCalendarDlg.h"

#include <commctrl.h>

#include "platform/WideFormat.h"

CLCCalendarDlg::CLCCalendarDlg(std::wstring& result) : CUiDialogImpl<CLCCalendarDlg>(kLayoutId), m_result(result) {}

LRESULT CLCCalendarDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  // Nobody answers the calendar's day-state requests: no day is drawn bold.
  m_calendar.Create(MONTHCAL_CLASSW, GetViewHWnd(), RECT{0, 0, 0, 0}, nullptr,
                    WS_CHILD | WS_VISIBLE | MCS_DAYSTATE | MCS_NOTODAYCIRCLE, 0, kCalendar);
  return 1;
}

LRESULT CLCCalendarDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  return OkCancelCommand(pnmh, kItemOK, kItemCancel, [this] { OnOK(); }, bHandled);
}

void CLCCalendarDlg::OnOK() {
  SYSTEMTIME day{};
  if (!m_calendar.SendMessage(MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&day))) return;
  m_result = qv::FormatW(L"%d-%02d-%02d 00:00:00", day.wYear, day.wMonth, day.wDay);
  EndDialog(IDOK);
}
