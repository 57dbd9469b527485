#pragma once
// The dialog of the remote directory and file pickers (layout 533): the tree of a
// monitored host's paths (RemotePathBrowser) and "确定" / "取消". OK with a checked node
// ends with 1 and its path in the caller's text; cancel ends with 2 and leaves it. The
// two pickers differ only in what their tree lists, so each is this template on itself.
#include <windows.h>

#include <string>

#include "console/AgentMessageId.h"
#include "console/RemotePathBrowser.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiNotify.h"

template <class T>
class CRemotePathDlg : public CUiDialogImpl<T>, public CWHRoundRectFrameHelper<T> {
 public:
  enum : UINT {
    kLayoutId = 533,
    kItemTree = 100,  // the tree's element and control id
    kItemOK = 104,
    kItemCancel = 105,
  };

  BEGIN_MSG_MAP_EX(CRemotePathDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<T>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<T>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    NOTIFY_HANDLER(kItemTree, CMulStatusTree::kNotifyCheckChanged, OnTreeCheck)
    NOTIFY_HANDLER(kItemTree, TVN_ITEMEXPANDEDW, OnItemExpanded)
    NOTIFY_HANDLER(kItemTree, TVN_DELETEITEMW, OnItemDeleted)
    MESSAGE_HANDLER(AGENT_MSG_LIST_DRIVES, OnDrivesReply)
    MESSAGE_HANDLER(m_browser.AnswerId(), OnDirectoryReply)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void OnOK() {
    const std::wstring choice = m_browser.Choice();
    if (choice.empty()) {
      UiMessageBox(L"请您选择路径", L"注意", MB_ICONEXCLAMATION);
      return;
    }
    if (m_path) *m_path = choice;
    this->EndDialog(IDOK);
  }

  RemotePathBrowser& Browser() { return m_browser; }

 protected:
  // host: the monitored host's address; path must outlive the dialog; startDir, when
  // not empty, is the directory the tree starts from; title becomes the window's title.
  CRemotePathDlg(const std::wstring& host, std::wstring* path, const std::wstring& startDir,
                 const wchar_t* title, bool files)
      : CUiDialogImpl<T>(kLayoutId), m_host(host), m_path(path), m_startDir(startDir),
        m_browser(files) {
    // The caption is taken when the window is made: the title goes in before that.
    if (title && *title && this->Load(kLayoutId)) this->SetWindowTitle(title);
  }

 private:
  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    const UINT id = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (id == kItemOK)
      OnOK();
    else if (id == kItemCancel)
      this->EndDialog(IDCANCEL);
    else
      bHandled = FALSE;
    return 0;
  }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    m_browser.Open(this->m_hWnd, this->GetViewHWnd(), kItemTree, m_host, m_startDir);
    return 0;
  }
  LRESULT OnTreeCheck(int, LPNMHDR pnmh, BOOL&) {
    m_browser.OnTreeCheck(pnmh);
    return 0;
  }
  LRESULT OnItemExpanded(int, LPNMHDR pnmh, BOOL&) {
    m_browser.OnItemExpanded(pnmh);
    return 0;
  }
  LRESULT OnItemDeleted(int, LPNMHDR pnmh, BOOL& bHandled) {
    m_browser.OnItemDeleted(pnmh);
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnDrivesReply(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    m_browser.OnDrivesReply(uMsg, wParam, lParam);
    return 0;
  }
  LRESULT OnDirectoryReply(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    m_browser.OnDirectoryReply(uMsg, wParam, lParam);
    return 0;
  }
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    bHandled = m_browser.OnTimer(wParam);
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_browser.Close();
    bHandled = FALSE;
    return 0;
  }

  std::wstring m_host;
  std::wstring* m_path;
  std::wstring m_startDir;
  RemotePathBrowser m_browser;
};
