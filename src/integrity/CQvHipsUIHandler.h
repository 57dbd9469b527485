#pragma once
// Sub-page "主动监测" of the integrity area (layout 515): one grid row per HIPS filter of
// table Filter, with the trust relations, the filter editor and the deletion of checked
// filters (each told to the agent of its host). The area's layout gives it no tab, yet
// the page is built, loaded and chained like the others, so it works once one exists.
#include <windows.h>

#include <string>
#include <vector>

#include "console/IdleSlices.h"
#include "console/SQLServerLink.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CQvHipsUIHandler {
 public:
  enum : UINT {
    kGrid = 151,
    kGridScrollId = 152,
    kItemTrust = 155,
    kItemNew = 156,
    kItemModify = 157,
    kItemDelete = 158,
  };
  enum : int { kColCheck, kColName, kColCategory, kColContent, kColTarget };

  explicit CQvHipsUIHandler(CUiDialogHost* owner);
  CQvHipsUIHandler(const CQvHipsUIHandler&) = delete;
  CQvHipsUIHandler& operator=(const CQvHipsUIHandler&) = delete;

  int Init();
  int Uninit() { return 0; }
  // Appends the rows of table Filter as the database returns them.
  int LoadFilters();
  // The row of one filter (its target's name looked up), or -1 for a category of 4 or
  // more or when the database cannot be opened.
  int AddFilterRow(const std::wstring& name, int type, const std::wstring& regExp,
                   const std::wstring& clientIp, int id);
  // Tells the filter's host that the filter is gone (1541); 1 when sent, 0 (and the user
  // told why) when its row cannot be read, its host has no address the service can take
  // or the link did not take it.
  int SendFilterToClient(int id);

  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }
  // Rows are still to come into the grid from the idle time.
  bool Filling() const { return m_filling.Pending(); }
  int CheckedCount() const { return m_checkedCount; }
  int CheckedRow() const { return m_checkedRow; }

  BEGIN_MSG_MAP_EX(CQvHipsUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_SELCHANGED, OnListCheckChanged)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CLICK, OnListCheckChanged)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCHANGED, OnListCheckChanged)
    CHAIN_MSG_MAP_MEMBER(m_filling)
  END_MSG_MAP()

  void OnTrustList();
  void OnNewRule();
  void OnModifyRule();
  void OnDeleteRule();
  LRESULT OnListCheckChanged(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  void OnSize(const RECT& rect);
  // The target shown is the host's name, or its address when the name is empty.
  int AddRow(const std::wstring& name, int type, const std::wstring& regExp, const std::wstring& clientIp, int id,
             const std::wstring& hostName);
  std::vector<int> CheckedIds() const;
  int RowOfId(int id) const;
  // A filter another console deleted: told, then the list read again.
  void FiltersGone();
  void ReloadFilters();

  struct FilterRow {
    int id;
    std::wstring name;
    int type;
    std::wstring regExp, clientIp, hostName;
  };
  // The filters read and not yet listed, while the slice lasts, and the pages after them
  // when nextPages; false once all are (or the grid could take no more, or a page could
  // not be read: it is then emptied, and that told).
  bool AddFilterRows(DWORD until, bool nextPages = true);
  // The next page of filters after the last read; false, with the grid emptied and that
  // told, when it cannot be read.
  bool ReadFilters(int rows);

  CUiDialogHost* m_owner;
  int m_checkedCount = 0;
  int m_checkedRow = -1;
  CListCtrlDataEx<unsigned long> m_grid;
  std::vector<FilterRow> m_unlisted;  // the page read
  size_t m_listed = 0;
  SQLServerLink m_filterLink;  // open while pages remain to be read
  int m_lastFilterId = 0;
  bool m_allFiltersRead = true;
  IdleSlices m_filling;
};
