#pragma once
// "对象内容" on the remote pickers' layout 533: picks a path in a sample tree of drives
// and folders. OK takes the checked branch (D:\WebSite\Main, or D: for a whole drive),
// ends with 1 and leaves it in the caller's text; with nothing checked it does nothing.
#include "integrity/CHipsSamplePickerDlg.h"

class CQvHIPSTRNRDetailTDlg : public CHipsSamplePickerDlg<CQvHIPSTRNRDetailTDlg> {
 public:
  enum : UINT { kLayoutId = 533, kItemTree = 100, kItemOK = 104, kItemCancel = 105 };
  static constexpr DWORD kTreeStyle =
      WS_CHILD | WS_TABSTOP | TVS_FULLROWSELECT | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS;

  explicit CQvHIPSTRNRDetailTDlg(std::wstring* result, const wchar_t* title = nullptr);

  void OnOK();
};
