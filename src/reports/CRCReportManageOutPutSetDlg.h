#pragma once
// The output settings of a report generation ("报告管理-输出设置", layout 547), run modally
// by the report list for the checked report. Filled from the report settings once a name
// is set; "生成" checks the inputs, stores them as the settings, makes the report folder
// (ReportGenerator), ends with kGenerated and opens the report's index.html. A failure
// is told and the dialog stays for another try; a report another console deleted is
// told and ends it with kLeft, as "返回", "退出" and the close button do.
#include <windows.h>

#include <string>

#include "reports/ReportBriefFields.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CRCReportManageOutPutSetDlg : public CUiDialogImpl<CRCReportManageOutPutSetDlg>,
                                    public CWHRoundRectFrameHelper<CRCReportManageOutPutSetDlg> {
 public:
  enum : UINT { kGenerated = 1, kLeft = 2 };
  enum : UINT {
    kLayoutId = 547,
    kNameEdit = ReportBriefFields::kNameEdit,
    kAuthorEdit = ReportBriefFields::kAuthorEdit,
    kFormatCombo = ReportBriefFields::kFormatCombo,
    kFolderEdit = ReportBriefFields::kFolderEdit,
    kItemMaximize = 1205,
    kItemMinimize = 1206,
    kItemClose = 1207,
    kItemBrowse = 1208,
    kItemGenerate = 1209,
    kItemBack = 1210,
    kItemExit = 1211,
  };

  // strategyName and reportName are the caller's and must outlive the dialog. With a
  // reportName, a report no longer listed under it is not generated: the user is told,
  // the dialog ends with kLeft and ReportGone() holds.
  CRCReportManageOutPutSetDlg(int version, LPCWSTR strategyName, LPCWSTR reportName = nullptr);

  BEGIN_MSG_MAP_EX(CRCReportManageOutPutSetDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CRCReportManageOutPutSetDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CRCReportManageOutPutSetDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

  int OnBrowse();
  int OnGenerate();

  bool ReportGone() const { return m_reportGone; }
  // After kGenerated: the folder holding what of the earlier report's folder could not
  // move into the new one (the user has been told); empty when everything moved.
  const std::wstring& LeftIn() const { return m_leftIn; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  LPCWSTR m_strategyName;
  int m_version;
  LPCWSTR m_reportName;
  bool m_reportGone = false;
  std::wstring m_leftIn;
  ReportBriefFields m_fields;
};
