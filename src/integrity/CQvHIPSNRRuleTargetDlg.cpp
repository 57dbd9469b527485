#include "integrity/CQvHIPSNRRuleTargetDlg.h"

CQvHIPSNRRuleTargetDlg::CQvHIPSNRRuleTargetDlg(std::wstring* result, const wchar_t* title)
    : CHipsSamplePickerDlg(result, title, kHipsServerGroupSample) {}

void CQvHIPSNRRuleTargetDlg::OnOK() { ChooseFirstChecked(L"请选择策略目标"); }
