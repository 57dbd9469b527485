#pragma once
// What the log pages share, configured by a table of their own (ids, columns,
// statement, texts): the start and end date fields filled by the date picker, the host
// field filled by the host picker and the hosts table, the keyword field, the result
// grid, and the query that checks the fields, runs the page's statement and lists the
// rows. The HIPS and system log pages are this page and nothing more; the audit page
// uses its fields, its host and its grid fill and runs a query of its own.
// The real windows are children of the main window's view, placed by the page's
// layout. UI thread only.
#include <windows.h>

#include <string>

#include "controls/CEditEx.h"
#include "controls/CListCtrlDataEx.h"
#include "logcenter/LCLogQueries.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

// One grid column; cells take the flags, and the image when it is not -1.
struct LCLogColumn {
  const wchar_t* title;
  int width;
  UINT format;
  UINT flags;
  int image;
};

struct LCLogPageConfig {
  // real windows
  UINT startEdit, endEdit, hostEdit, keywordEdit, grid, gridScroll;
  // view commands; 0: the page's owner handles it
  UINT pickStart, pickEnd, pickHost, search;
  const wchar_t* hostPickerTitle;
  const LCLogColumn* columns;
  int columnCount;
  int resultColumns;  // the first columns, filled from the result's columns in order
  const LCLogStatement* statement;
  // prompts of an empty start, end and host; notice of an empty list
  const wchar_t* noStart;
  const wchar_t* noEnd;
  const wchar_t* noHost;
  const wchar_t* noRows;
  // the list's text in the string table, told when its rows cannot be read
  UINT readFailed;
};

class CLCLogPage {
 public:
  using Grid = CListCtrlDataEx<unsigned long>;

  CLCLogPage(CUiDialogHost* owner, const LCLogPageConfig& config);
  ~CLCLogPage();
  CLCLogPage(const CLCLogPage&) = delete;
  CLCLogPage& operator=(const CLCLogPage&) = delete;

  // Creates the four fields and the grid with its columns. Returns 1.
  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CLCLogPage)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
  END_MSG_MAP()

  // The date picker; its day goes into the field when it ends with OK.
  void OnPickStartTime();
  void OnPickEndTime();
  // The host picker over the current host; a host picked with OK becomes the page's.
  void OnPickHost();
  // The page's statement with the fields' filter into the grid.
  void OnQuery();

  // Makes address the page's host, with its name and MAC from the hosts table (empty
  // when it has no row there); the host field shows the name, or else the address.
  // A look-up that fails is told to the user and keeps the host as it was.
  void TakeHost(const std::wstring& address);
  // Empties the grid and reads the fields into filter; FALSE, after the page's prompt,
  // when a date or the host is missing. The type is left to the caller. On TRUE the
  // grid does not paint until the next Fill or ShowGrid.
  BOOL ReadFilter(LCLogFilter& filter);
  // Runs the query and lists its rows; the rows listed, or -1 after telling the user
  // why the database could not be read. The grid paints afterwards.
  int Fill(const CLCQueryBuilder& query);
  // Lets the grid paint what it holds.
  void ShowGrid() { m_grid.SendMessage(WM_SETREDRAW, TRUE); }
  // Shows a "打开 LogCenter.db 数据库时出错" box or "错误信息：" with the diagnosis,
  // for a link that could not connect or a statement that failed.
  static void ShowDatabaseError(bool connected, const wchar_t* diagnosis);

  Grid& GetGrid() { return m_grid; }
  const std::wstring& HostAddress() const { return m_address; }
  const std::wstring& HostName() const { return m_name; }
  // The host's MAC with "-" between each two digits.
  const std::wstring& HostMac() const { return m_mac; }
  HWND Field(UINT id) const;

  // "001A2B3C4D5E" as "00-1A-2B-3C-4D-5E"; anything but 12 hexadecimal digits as it is.
  static std::wstring DashedMac(const std::wstring& mac);
  // The midnight after the day of a "YYYY-MM-DD hh:mm:ss" text; empty for another text.
  static std::wstring DayAfter(const std::wstring& time);

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  void PickDate(CEditEx& field);

  CUiDialogHost* m_owner;
  const LCLogPageConfig& m_config;
  CEditEx m_start;
  CEditEx m_end;
  CEditEx m_host;
  CEditEx m_keyword;
  Grid m_grid;
  std::wstring m_address;
  std::wstring m_name;
  std::wstring m_mac;
};
