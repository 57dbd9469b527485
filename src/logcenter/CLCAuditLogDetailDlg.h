#pragma once
// The detail window of one audit entry: a read-only rich-edit text naming the
// strategy, the host, the type and the audited object, then the entry's detail, whose
// third "|"-separated field and remainder are shown on lines of their own. "打印" only
// says so; "退出" ends it with 2. Layout 544.
#include <windows.h>

#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CLCAuditLogDetailDlg : public CUiDialogImpl<CLCAuditLogDetailDlg>,
                             public CWHRoundRectFrameHelper<CLCAuditLogDetailDlg> {
 public:
  enum : UINT { kLayoutId = 544, kText = 1122, kTextScroll = 1123, kItemPrint = 1244, kItemExit = 1245 };

  CLCAuditLogDetailDlg(const std::wstring& hostText, const std::wstring& strategy, const std::wstring& type,
                       const std::wstring& content, const std::wstring& detail);

  BEGIN_MSG_MAP_EX(CLCAuditLogDetailDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CLCAuditLogDetailDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CLCAuditLogDetailDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

  // The detail's third field (between its second and third "|"; empty when it has
  // fewer than three) and what follows it (after the third "|", else after the last
  // one, else all of it).
  static void SplitDetail(const std::wstring& detail, std::wstring& third, std::wstring& rest);
  HWND TextWindow() const { return m_text; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void AppendLine(const std::wstring& text, COLORREF colour);

  HWND m_text = nullptr;  // a child of the view, destroyed with it
  std::wstring m_hostText;
  std::wstring m_detail;
  std::wstring m_strategy;
  std::wstring m_type;
  std::wstring m_content;
};
