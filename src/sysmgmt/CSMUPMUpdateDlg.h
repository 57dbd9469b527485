#pragma once
// The status window of an online update (layout 537): one log line per step, shown
// without a modal loop while the update runs on the UI thread, its owner disabled
// meanwhile. Only paint messages, and the messages its own windows post to themselves,
// get through while it is up, so the console repaints but takes no input.
#include <windows.h>

#include <memory>
#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiModalRun.h"
#include "uiwin/UiNotify.h"

class CSMUPMUpdateDlg : public CUiDialogImpl<CSMUPMUpdateDlg>, public CWHRoundRectFrameHelper<CSMUPMUpdateDlg> {
 public:
  enum : UINT { kLayoutId = 537, kItemLog = 101, kItemClose = 102, kLogScrollSkin = 103 };

  CSMUPMUpdateDlg();
  ~CSMUPMUpdateDlg() override;

  // Shows it over owner's top-level window, which stays disabled until Close.
  BOOL Show(HWND owner);
  void Close();
  // Appends a line and lets the pending paint messages through.
  void AddLine(const std::wstring& line);
  // Lets the pending paint messages through.
  static void LetPaintThrough();
  HWND Log() const { return m_log; }

  BEGIN_MSG_MAP_EX(CSMUPMUpdateDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CSMUPMUpdateDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CSMUPMUpdateDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Lets the messages that this window and its children posted to themselves through.
  void LetLayoutThrough();

  HWND m_log = nullptr;
  HWND m_disabledOwner = nullptr;
  // It holds its owner as a modal dialog does: a box of the update (the consent
  // question) is its own, also while no window of the console is active.
  std::unique_ptr<UiModalRun> m_run;
};
