#pragma once
// "请选择策略目标" (layout 529): picks a strategy target among sample server groups.
// OK with a checked group ends with 1 and its name in the caller's text.
#include "integrity/CHipsSamplePickerDlg.h"

class CQvHIPSNRRuleTargetDlg : public CHipsSamplePickerDlg<CQvHIPSNRRuleTargetDlg> {
 public:
  enum : UINT { kLayoutId = 529, kItemTree = 100, kItemOK = 104, kItemCancel = 105 };
  static constexpr DWORD kTreeStyle =
      WS_CHILD | WS_TABSTOP | TVS_FULLROWSELECT | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS;

  explicit CQvHIPSNRRuleTargetDlg(std::wstring* result, const wchar_t* title = nullptr);

  void OnOK();
};
