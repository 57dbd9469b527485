#pragma once
// The "报告设置" page of the report center (layout 525): name, author, format and folder
// of the next report, saved into the process-wide report settings. The fields start
// empty and are never filled from the settings; "取消" leaves them as typed.
#include <windows.h>

#include "platform/MessageMap.h"
#include "reports/ReportBriefFields.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CRCReportSetUIHandler {
 public:
  enum : UINT {
    kNameEdit = ReportBriefFields::kNameEdit,
    kAuthorEdit = ReportBriefFields::kAuthorEdit,
    kFormatCombo = ReportBriefFields::kFormatCombo,
    kFolderEdit = ReportBriefFields::kFolderEdit,
    kItemChoosePath = 1214,
    kItemSave = 1215,
    kItemCancel = 1216,
  };

  explicit CRCReportSetUIHandler(CUiDialogHost* owner);
  ~CRCReportSetUIHandler();
  CRCReportSetUIHandler(const CRCReportSetUIHandler&) = delete;
  CRCReportSetUIHandler& operator=(const CRCReportSetUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CRCReportSetUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
  END_MSG_MAP()

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  int OnSaveBrief();
  int OnChoosePath();

 private:
  CUiDialogHost* m_owner;
  ReportBriefFields m_fields;
};
