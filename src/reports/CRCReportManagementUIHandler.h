#pragma once
// The "报告管理" page of the report center (layout 524): the reports of
// ReportCenterTable in grid 1101, at most one of them checked; a report folder generated
// for the checked report and logged in the rich-edit box 1102; the checked report
// deleted; the whole table exported to a report list file, or replaced by one. Each
// operation opens its own database link, and the grid is read again after every change.
// The checked row is found from the check boxes when it is needed, since sorting by a
// header click moves rows.
#include <windows.h>

#include <string>

#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CRCReportManagementUIHandler {
 public:
  enum : UINT {
    kGrid = 1101,
    kLogBox = 1102,
    kGridScrollSkin = 1459,
    kLogScrollSkin = 1462,
    kItemGenerate = 1210,
    kItemDelete = 1211,
    kItemImport = 1212,
    kItemExport = 1213,
  };
  // Grid columns.
  enum : int { kColumnName, kColumnStrategy, kColumnVersion, kColumnTime };

  explicit CRCReportManagementUIHandler(CUiDialogHost* owner);
  ~CRCReportManagementUIHandler();
  CRCReportManagementUIHandler(const CRCReportManagementUIHandler&) = delete;
  CRCReportManagementUIHandler& operator=(const CRCReportManagementUIHandler&) = delete;

  // Creates the grid and the log box and lists the reports; 0 when they cannot be read.
  int Init();
  int UnInit();
  // The list read again, nothing checked; 0 (the grid as it was) when it cannot be read.
  int Refresh();
  int LoadReports();
  // The new row, or -1 when the grid cannot take another.
  int AddRow(LPCWSTR name, LPCWSTR strategyName, LPCWSTR produceTime, int version);
  // The row of the checked report, -1 when none is checked.
  int SelectedRow() const;

  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }
  HWND LogBox() const { return m_logBox; }

  BEGIN_MSG_MAP_EX(CRCReportManagementUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CLICK, OnListClick)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCHANGED, OnListClick)  // a box toggled by Space
  END_MSG_MAP()

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  // A click in the name column leaves the clicked row the only one that may be checked.
  LRESULT OnListClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  int OnGenerateReport();
  // Two lines in the log box, both with the same time; the second names leftIn, where
  // something of the earlier report's folder stayed, when it is not empty.
  void LogStoreResult(LPCWSTR name, const std::wstring& leftIn);
  int OnDeleteReport();
  // All or nothing: the file is checked whole, then the table replaced in one transaction.
  int OnImportReports();
  int OnExportReports();

 private:
  CUiDialogHost* m_owner;
  CListCtrlDataEx<unsigned long> m_grid;
  HWND m_logBox = nullptr;  // a child of the view, destroyed with it
};
