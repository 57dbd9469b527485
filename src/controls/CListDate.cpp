#include "controls/CListDate.h"

#include <string>

#include "controls/ListFormats.h"

CListDate::~CListDate() {
  ReleaseCalendar();
  if (IsWindow()) DestroyWindow();
}

void CListDate::ReleaseCalendar() {
  if (m_wndCalendar.m_hWnd) m_wndCalendar.UnsubclassWindow();
}

HWND CListDate::Create(HWND hWndGrid, int nItem, int nSubItem, const CRect& rcCell, UINT nFlags,
                       SYSTEMTIME& stDate) {
  ReleaseCalendar();
  if (IsWindow()) DestroyWindow();
  if (!m_state.Begin(hWndGrid, nItem, nSubItem, nFlags)) return nullptr;
  DWORD style = WS_CHILD | WS_CLIPCHILDREN;
  if (nFlags & ITEM_FLAGS_TIME_ONLY) style |= DTS_UPDOWN;
  if (nFlags & ITEM_FLAGS_DATETIME_NONE) style |= DTS_SHOWNONE;
  const CRect rc(rcCell.left + 3, rcCell.top + 2, rcCell.right - 3, rcCell.bottom - 2);
  if (!CWindowImpl::Create(hWndGrid, rc, nullptr, style)) {
    m_state.Abandon();
    return nullptr;
  }
  ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
  SetFont(m_state.Font(), FALSE);
  SendMessage(DTM_SETMCFONT, reinterpret_cast<WPARAM>(m_state.Font()), FALSE);

  wchar_t date[32] = L"", time[32] = L"";
  ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, date, 32);
  ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, time, 32);
  const std::wstring format = (nFlags & ITEM_FLAGS_DATE_ONLY)   ? std::wstring(date)
                              : (nFlags & ITEM_FLAGS_TIME_ONLY) ? std::wstring(time)
                                                                : std::wstring(date) + L" " + time;
  SendMessage(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format.c_str()));

  if (nFlags & ITEM_FLAGS_TIME_ONLY) {
    SYSTEMTIME today{};
    SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&today));
    stDate.wYear = today.wYear;
    stDate.wMonth = today.wMonth;
    stDate.wDayOfWeek = today.wDayOfWeek;
    stDate.wDay = today.wDay;
  }
  if (!(nFlags & ITEM_FLAGS_TIME_ONLY) && stDate.wYear == 0)
    SendMessage(DTM_SETSYSTEMTIME, GDT_NONE, 0);
  else
    SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&stDate));
  ShowWindow(SW_SHOW);
  SetFocus();
  return m_hWnd;
}

bool CListDate::IsOwnWindow(HWND hWnd) {
  if (!hWnd) return false;
  if (hWnd == m_hWnd || ::IsChild(m_hWnd, hWnd)) return true;
  HWND calendar = reinterpret_cast<HWND>(SendMessage(DTM_GETMONTHCAL));
  return calendar && (hWnd == calendar || ::IsChild(calendar, hWnd));
}

void CListDate::EndEdit() {
  if (!m_state.IsOpen()) return;
  if (HWND calendar = reinterpret_cast<HWND>(SendMessage(DTM_GETMONTHCAL))) {
    SendMessage(DTM_CLOSEMONTHCAL);
    if (::IsWindow(calendar)) ::ShowWindow(calendar, SW_HIDE);
  }
  SYSTEMTIME value{};
  const bool dated = SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) == GDT_VALID;
  const UINT flags = m_state.Flags();
  if (!dated) value = SYSTEMTIME{};
  if (flags & ITEM_FLAGS_DATE_ONLY) value.wHour = value.wMinute = value.wSecond = value.wMilliseconds = 0;
  if (flags & ITEM_FLAGS_TIME_ONLY) value.wYear = value.wMonth = value.wDayOfWeek = value.wDay = 0;
  m_state.End(m_hWnd, dated ? L"1" : L"0", &value);
}

LRESULT CListDate::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = m_state.OnExitKey(static_cast<wchar_t>(wParam));
  return 0;
}

LRESULT CListDate::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  if (!IsOwnWindow(reinterpret_cast<HWND>(wParam))) EndEdit();
  return result;
}

// The calendar opens with the focus in it (under Wine); the edit goes on there. When it
// closes (the focus then falls to the top window) the picker takes the focus back,
// unless the focus went somewhere else, which ends the edit.
LRESULT CListDate::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == DTN_DROPDOWN) {
    m_bDropped = SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_stDropped)) == GDT_VALID;
    HWND calendar = reinterpret_cast<HWND>(SendMessage(DTM_GETMONTHCAL));
    if (calendar && m_wndCalendar.m_hWnd != calendar) {
      ReleaseCalendar();
      m_wndCalendar.SubclassWindow(calendar);
    }
  } else if (header->code == DTN_CLOSEUP) {
    KeepTimeOfDay();
    HWND focus = ::GetFocus();
    if (m_state.IsOpen() && (!focus || focus == ::GetAncestor(m_hWnd, GA_ROOT) || IsOwnWindow(focus)))
      SetFocus();
  } else {
    bHandled = FALSE;
  }
  return 0;
}

// A day picked in the calendar keeps the time the picker showed (some pickers drop it).
void CListDate::KeepTimeOfDay() {
  SYSTEMTIME picked{};
  if (!m_bDropped || SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) != GDT_VALID ||
      picked.wHour || picked.wMinute || picked.wSecond)
    return;
  picked.wHour = m_stDropped.wHour;
  picked.wMinute = m_stDropped.wMinute;
  picked.wSecond = m_stDropped.wSecond;
  SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
}

// The focus taken from the calendar ends the edit, unless the picker is at work: hiding
// the calendar itself (a day picked, its button pressed again), it may take the focus
// back yet.
LRESULT CListDate::OnCalendarKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = m_wndCalendar.DefWindowProc(uMsg, wParam, lParam);
  if (m_state.IsOpen() && !IsOwnWindow(reinterpret_cast<HWND>(wParam))) {
    if (GetCurrentMessage())  // within a message of the picker's
      PostMessage(kCheckFocus);
    else
      EndEdit();
  }
  return result;
}

LRESULT CListDate::OnCheckFocus(UINT, WPARAM, LPARAM, BOOL&) {
  if (!IsOwnWindow(::GetFocus())) EndEdit();
  return 0;
}
