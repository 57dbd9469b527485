#include "integrity/CQvSCWarningDlg.h"

#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"

namespace {

const COLORREF kBlack = 0x000000;
const COLORREF kRed = 0x0000FF;
const UINT kScrollIds[] = {144, 147, 150};  // each takes the next two ids too

}  // namespace

CQvSCWarningDlg::CQvSCWarningDlg(const std::wstring& target, const std::wstring& host,
                                 const std::wstring& copyName, const std::wstring& copyTime)
    : CUiDialogImpl<CQvSCWarningDlg>(kLayoutId),
      m_target(target),
      m_host(host),
      m_copyName(copyName),
      m_copyTime(copyTime) {}

LRESULT CQvSCWarningDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  const UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
  if (item == kItemOk)
    EndDialog(IDOK);
  else if (item == kItemCancel)
    EndDialog(IDCANCEL);
  else
    bHandled = FALSE;
  return 0;
}

LRESULT CQvSCWarningDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
  HWND fields[3];
  const UINT ids[] = {kTarget, kCopy, kTime};
  for (int i = 0; i < 3; ++i)
    fields[i] = RichEditCreate(GetViewHWnd(), ids[i], style, CUIResource::GetSkinBitmap(), kScrollIds[i]);
  RichEditAppendText(fields[0], m_target.c_str(), FALSE, kBlack);
  RichEditAppendText(fields[1], m_host.c_str(), FALSE, kRed);
  RichEditAppendText(fields[1], (L" - " + m_copyName).c_str(), FALSE, kBlack);
  RichEditAppendText(fields[2], m_copyTime.c_str(), FALSE, kBlack);
  for (HWND field : fields) RichEditShowStart(field);
  return 0;
}
