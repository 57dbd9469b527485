#include "integrity/CQvHIPSTRNRTargetDlg.h"

CQvHIPSTRNRTargetDlg::CQvHIPSTRNRTargetDlg(std::wstring* result, const wchar_t* title)
    : CHipsSamplePickerDlg(result, title, kHipsServerGroupSample) {}

void CQvHIPSTRNRTargetDlg::OnOK() { ChooseFirstChecked(L"请选择对象内容"); }
