#pragma once
// "对象内容" on the host picker's layout 532: picks an object's host among sample server
// groups. OK with a checked group ends with 1 and its name in the caller's text.
#include "integrity/CHipsSamplePickerDlg.h"

class CQvHIPSTRNRTargetDlg : public CHipsSamplePickerDlg<CQvHIPSTRNRTargetDlg> {
 public:
  enum : UINT { kLayoutId = 532, kItemTree = 102, kItemOK = 100, kItemCancel = 101 };
  static constexpr DWORD kTreeStyle = WS_CHILD | WS_TABSTOP | TVS_FULLROWSELECT | TVS_HASLINES | TVS_LINESATROOT;

  explicit CQvHIPSTRNRTargetDlg(std::wstring* result, const wchar_t* title = nullptr);

  void OnOK();
};
