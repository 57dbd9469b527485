#pragma once
// The strategy wizard's strategy in memory: one field per StrategyTable column, texts
// held NUL-terminated in fixed fields and cut to them when copied in. The device-login
// fields and the folder are kept apart: a custom strategy's folder must never reach
// the device columns, nor a device's passwords the folder column.
#include <windows.h>

#include <cwchar>
#include <string>

struct StrategyRecord {
  wchar_t Id[35];
  DWORD StrategyType;
  wchar_t SelectedItem[32];
  DWORD ItemAttribute;
  wchar_t StrategyName[64];
  wchar_t StrategyDescriptor[51];
  wchar_t Ip[16];
  DWORD DeviceType;
  DWORD LoginType;
  wchar_t UserId[11];
  wchar_t LoginId[21];
  wchar_t ManageId[21];
  wchar_t SelectedFolder[260];
  DWORD FilterType;
  wchar_t SelectedFileType[250];
  wchar_t IgnoreFolder[2048];
  DWORD TaskMode;
  DWORD StartTime;      // the hour; in mode 6 the idle minutes
  DWORD ScheduleWordA;  // mode 0 every N days, 1 every N weeks, 2 month bits
  DWORD ScheduleWordB;  // mode 1 weekday bits, 2 the day-of-month form (1)
  DWORD DayOfMonth;
  DWORD WeekOfMonth;
  DWORD DayOfWeek;
  DWORD IsAutoDelete;
  DWORD IsStopTask;
  DWORD NumOfHours;
  DWORD NumOfMunites;
  DWORD IsStartHips;
  DWORD IsHistoryCopy;
  DWORD IsSavePlave;
  DWORD IsReport;
  DWORD IsJixianData;
  DWORD FilterBehavior;
  DWORD DefaultRule;
  DWORD NumOfHistoryCopy;
  wchar_t SavePlace[260];
  wchar_t ReportPlace[260];

  void Clear() { *this = StrategyRecord{}; }

  // Copies at most N - 1 characters of text and terminates the field.
  template <size_t N>
  static void Put(wchar_t (&field)[N], const std::wstring& text) {
    const size_t n = text.size() < N - 1 ? text.size() : N - 1;
    wmemcpy(field, text.data(), n);
    field[n] = L'\0';
  }
};
