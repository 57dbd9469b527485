#include "logcenter/CLCAuditLogDetailDlg.h"

#include <richedit.h>

#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "uiwin/UiMessageBox.h"

namespace {

const COLORREF kBlack = 0x000000;
const COLORREF kRed = 0x0000FF;
const DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                         ES_WANTRETURN | ES_READONLY;

}  // namespace

CLCAuditLogDetailDlg::CLCAuditLogDetailDlg(const std::wstring& hostText, const std::wstring& strategy,
                                           const std::wstring& type, const std::wstring& content,
                                           const std::wstring& detail)
    : CUiDialogImpl<CLCAuditLogDetailDlg>(kLayoutId),
      m_hostText(hostText),
      m_detail(detail),
      m_strategy(strategy),
      m_type(type),
      m_content(content) {}

void CLCAuditLogDetailDlg::SplitDetail(const std::wstring& detail, std::wstring& third, std::wstring& rest) {
  size_t bars[3];
  size_t found = 0;
  for (size_t at = detail.find(L'|'); at != std::wstring::npos && found < 3; at = detail.find(L'|', at + 1))
    bars[found++] = at;
  third = found == 3 ? detail.substr(bars[1] + 1, bars[2] - bars[1] - 1) : std::wstring();
  rest = found == 0 ? detail : detail.substr(bars[found - 1] + 1);
}

LRESULT CLCAuditLogDetailDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_text = RichEditCreate(GetViewHWnd(), kText, kTextStyle, CUIResource::GetSkinBitmap(), kTextScroll);
  if (!m_text) return 1;
  std::wstring third, rest;
  SplitDetail(m_detail, third, rest);
  AppendLine(L"策略名称:" + m_strategy, kBlack);
  AppendLine(L"主机名称:" + m_hostText, kBlack);
  AppendLine(L"日志类型:" + m_type, kBlack);
  AppendLine(L"审记对象:" + m_content, kBlack);
  RichEditAppendNewLine(m_text);
  AppendLine(L"审计详细:", kRed);
  AppendLine(std::wstring(10, L' ') + third, kBlack);
  AppendLine(rest, kRed);
  RichEditShowStart(m_text);
  return 1;
}

void CLCAuditLogDetailDlg::AppendLine(const std::wstring& text, COLORREF colour) {
  RichEditAppendText(m_text, text.c_str(), FALSE, colour);
  RichEditAppendNewLine(m_text);
}

LRESULT CLCAuditLogDetailDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kItemPrint:
      UiMessageBox(L"打印功能", L"打印", MB_OK);
      break;
    case kItemExit:
      EndDialog(IDCANCEL);
      break;
    default:
      bHandled = FALSE;
      break;
  }
  return 0;
}
