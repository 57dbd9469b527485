#pragma once
// The client host picker: the monitored servers (Client rows of type 0) under one group
// node, each with its online picture and a check box, exactly one checked. OK ends with
// 1 and the checked host's address in the caller's text; cancel ends with 2 and leaves
// the text alone. The text given in is the address to pre-select. Layout 532.
#include <windows.h>

#include <string>
#include <vector>

#include "console/IdleSlices.h"
#include "console/PickerTree.h"
#include "console/SQLServerLink.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CServerDlg : public CUiDialogImpl<CServerDlg>, public CWHRoundRectFrameHelper<CServerDlg> {
 public:
  enum : UINT {
    kLayoutId = 532,
    kItemOK = 100,
    kItemCancel = 101,
    kItemTree = 102,  // the tree's element and control id
  };
  enum { kImageGroup = 0, kImageOnline = 1, kImageOffline = 2 };

  // result must outlive the dialog; title, when given, becomes the window's title.
  explicit CServerDlg(std::wstring* result, const wchar_t* title = nullptr);

  BEGIN_MSG_MAP_EX(CServerDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CServerDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CServerDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP_MEMBER(m_filling)
    NOTIFY_HANDLER(kItemTree, CMulStatusTree::kNotifyCheckChanged, OnTreeCheck)
    NOTIFY_HANDLER(kItemTree, TVN_DELETEITEMW, OnItemDeleted)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void FillServerTree();
  void OnOK();
  // A key that moves through the list (End, Page Down...) first brings the hosts still
  // to come: End lands on the last host, not on the last one in so far.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  PickerTree& Tree() { return m_tree; }
  HTREEITEM RootItem() const { return m_root; }
  // Hosts are still to come into the tree from the idle time.
  bool Filling() const { return m_filling.Pending(); }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTreeCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnItemDeleted(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  // The hosts, read a page at a time, into the tree while the slice lasts (and at most
  // `most` of them); false once all are in, or the list could not be read.
  bool AddHosts(DWORD until, size_t most);
  bool AddHostsUnseen(DWORD until, size_t most);
  // The next page of hosts after the last read; false (and no host shown) on a failure.
  bool ReadHosts(int rows);

  std::wstring* m_result;
  PickerTree m_tree;
  HTREEITEM m_root = nullptr;
  struct Host {
    int id;
    std::wstring name, ip;
    bool online;
  };
  std::vector<Host> m_hosts;  // the page read, and not yet all in the tree
  size_t m_hostsIn = 0;
  SQLServerLink m_link;  // open while pages remain to be read
  int m_lastId = 0;
  bool m_allRead = false;
  IdleSlices m_filling;
};
