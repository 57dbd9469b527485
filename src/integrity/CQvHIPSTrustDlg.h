#pragma once
// "信任关系" (layout 530): the trust relations of table Trust, each exempting one object
// on one host from active monitoring, with new, modify and delete. Every change is told
// to the agent of the host concerned before it is committed (HipsStoreAndTell): one the
// link cannot take changes nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class SQLServerLink;

class CQvHIPSTrustDlg : public CUiDialogImpl<CQvHIPSTrustDlg>, public CWHRoundRectFrameHelper<CQvHIPSTrustDlg> {
 public:
  enum : UINT {
    kLayoutId = 530,
    kItemClose = 100,
    kItemMaxRestore = 101,
    kItemMinimise = 102,
    kGrid = 103,
    kGridScrollId = 104,
    kItemEndOk = 107,
    kItemEndCancel = 108,
    kItemNew = 109,
    kItemModify = 110,
    kItemDelete = 111,
  };
  enum : int { kColCheck, kColType, kColHost, kColContent };

  CQvHIPSTrustDlg();

  BEGIN_MSG_MAP_EX(CQvHIPSTrustDlg)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_SELCHANGED, OnListCheckChanged)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CLICK, OnListCheckChanged)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCHANGED, OnListCheckChanged)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvHIPSTrustDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvHIPSTrustDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void OnNewTrust();
  void OnModifyTrust();
  void OnDeleteTrust();
  // Tells the relation's host that it is gone; 1 when sent, 0 when its host has no
  // address the service can take or the link did not take it.
  int NotifyTrustDeleted(int type, const std::wstring& host, const std::wstring& content);
  LRESULT OnListCheckChanged(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }
  int CheckedCount() const { return m_checkedCount; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Adds a row per relation of table Trust (the list empty before).
  void LoadTrust();
  // A relation another console deleted: told, then the list read again.
  void TrustGone();
  // The list read again, nothing checked; with keepChecks the checked relations still
  // there stay checked (an editor goes on with the one it edits).
  void ReloadTrust(bool keepChecks = false);
  // The row of the relation, or -1.
  int RowOfId(int id) const;
  // The relations of the checked rows, top-down.
  std::vector<int> CheckedIds() const;
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void OnSize(const RECT& rect);
  int AddRow(int id, int type, const std::wstring& host, const std::wstring& content);
  void SetRow(int row, int type, const std::wstring& host, const std::wstring& content);

  int m_checkedCount = 0;
  int m_checkedRow = -1;
  CListCtrlDataEx<unsigned long> m_grid;
};
