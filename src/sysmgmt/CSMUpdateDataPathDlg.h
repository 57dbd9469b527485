#pragma once
// "离线升级包" (layout 536): picks an offline update package's path in a fixed tree of
// drives and folders (nothing is read from a disk). OK takes the checked branch
// (drive, then each partly checked folder down to a checked one), stores it in the
// caller's text and ends with 1; without a checked drive it stays open. Cancel ends
// with the cancel code.
#include <windows.h>

#include <string>

#include "console/PickerTree.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CSMUpdateDataPathDlg : public CUiDialogImpl<CSMUpdateDataPathDlg>,
                             public CWHRoundRectFrameHelper<CSMUpdateDataPathDlg> {
 public:
  enum : UINT { kLayoutId = 536, kItemTree = 101, kItemOk = 105, kItemCancel = 106 };

  explicit CSMUpdateDataPathDlg(std::wstring& path);

  BEGIN_MSG_MAP_EX(CSMUpdateDataPathDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CSMUpdateDataPathDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CSMUpdateDataPathDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void OnOK();
  CMulStatusTree& Tree() { return m_tree.tree; }
  HTREEITEM Root() const { return m_root; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  std::wstring& m_path;
  PickerTree m_tree;
  HTREEITEM m_root = nullptr;
};
