#pragma once
// The output settings of a report generation ("报告管理-输出设置"), run modally by the
// report list for the checked report. Until the generation is built it generates
// nothing and ends as the dialog does when left without generating.
#include <windows.h>

class CRCReportManageOutPutSetDlg {
 public:
  enum : UINT { kGenerated = 1, kLeft = 2 };

  // strategyName is the caller's and must outlive the dialog.
  CRCReportManageOutPutSetDlg(int version, LPCWSTR strategyName);

  // kGenerated when a report folder was written, kLeft otherwise.
  UINT DoModal(HWND owner = nullptr);

 private:
  int m_version;
  LPCWSTR m_strategyName;
};
