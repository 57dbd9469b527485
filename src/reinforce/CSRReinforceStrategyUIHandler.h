#pragma once
// The page "安全策略" of the reinforcement area (layout 553): the policies of the table
// reinforcingPolicy in grid 300, one check box per row, with the buttons that open the
// policy wizard for a new or the checked policy and delete the checked ones. The grid
// is filled once at Init; afterwards only the wizard, which works on this page's grid,
// and the delete change it. "修改策略" (309) is enabled while exactly one row is checked,
// "删除策略" (310) while any is. The log box 304 is made and never written. Import,
// export and the three reinforcement buttons do nothing, and nothing is sent to the
// service.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CListCtrlDataEx.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSRReinforceStrategyUIHandler {
 public:
  enum : UINT {
    kGrid = 300,
    kGridScrollSkin = 301,  // the skinned scroll bars take 301 to 303
    kLogBox = 304,
    kLogScrollSkin = 305,
    kNewPolicy = 308,
    kEditPolicy = 309,
    kDeletePolicy = 310,
    kImportPolicy = 311,
    kExportPolicy = 312,
    kStartReinforce = 313,
    kPauseReinforce = 314,
    kEndReinforce = 315,
  };
  // The grid's columns.
  enum : int { kColumnName, kColumnDoc, kColumnObjective, kColumnState };

  explicit CSRReinforceStrategyUIHandler(CUiDialogHost* owner);
  ~CSRReinforceStrategyUIHandler();
  CSRReinforceStrategyUIHandler(const CSRReinforceStrategyUIHandler&) = delete;
  CSRReinforceStrategyUIHandler& operator=(const CSRReinforceStrategyUIHandler&) = delete;

  // Makes the grid and the log box and lists the policies; always 0. A database that
  // cannot be read leaves the grid empty and goes to the debug report: the page is
  // built at start-up for every user with the permission, where nobody sees it.
  int Init();

  // The policy wizard reads the checked row and adds or rewrites rows here.
  CListCtrlDataEx<unsigned long>& GetGrid() { return m_grid; }
  // A policy no longer in the table (another console deleted it): told, then the list is
  // read again.
  void PolicyGone();
  // The list read again, nothing checked.
  void ReloadPolicies();

  BEGIN_MSG_MAP_EX(CSRReinforceStrategyUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CLICK, OnGridNotify)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCHANGED, OnGridNotify)
  END_MSG_MAP()

  void OnGridResized(const RECT& rect);
  // Enables 309 and 310 from the number of checked rows.
  void OnGridCheckChanged();
  void OnNewPolicy();
  // Nothing without a checked row: the wizard edits an existing policy only.
  void OnEditPolicy();
  // After a Yes, deletes the checked policies in one transaction; on a failure nothing
  // is deleted, the grid stays and the error is shown.
  void OnDeletePolicy();
  // The import, export and reinforcement buttons: they do nothing.
  void OnImportPolicy() {}
  void OnExportPolicy() {}
  void OnStartReinforce() {}
  void OnPauseReinforce() {}
  void OnEndReinforce() {}

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  // Click or keyboard change in our grid (another page's grid may share the id).
  LRESULT OnGridNotify(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  void RunWizard(bool isNew);
  void LoadPolicies();
  // Rows whose check box is checked, top-down.
  std::vector<int> CheckedRows() const;
  // Deletes the named policies as one unit; on failure *error holds the diagnosis. A name
  // without a row sets *gone.
  static bool DeletePolicies(const std::vector<std::wstring>& names, std::wstring* error, bool* gone);

  CUiDialogHost* m_owner;
  HWND m_logBox = nullptr;
  CListCtrlDataEx<unsigned long> m_grid;
};
