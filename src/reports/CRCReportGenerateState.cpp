#include "reports/CRCReportGenerateState.h"

#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "platform/TextConv.h"

namespace {
const COLORREF kBlack = 0x000000;
const COLORREF kRed = 0x0000FF;
}  // namespace

CRCReportGenerateState::CRCReportGenerateState(LPCWSTR reportName, BOOL failed)
    : CUiDialogImpl<CRCReportGenerateState>(kLayoutId), m_reportName(qv::OrEmpty(reportName)),
      m_failed(failed) {}

LRESULT CRCReportGenerateState::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_logBox = RichEditCreate(GetViewHWnd(), kLogBox,
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                            CUIResource::GetSkinBitmap(), kLogScrollSkin);
  if (!m_logBox) return 1;
  auto line = [this](LPCWSTR text, COLORREF colour) {
    RichEditAppendText(m_logBox, text, FALSE, colour);
    RichEditAppendNewLine(m_logBox);
  };
  RichEditAppendText(m_logBox, L"正在生成 ", FALSE, kBlack);
  RichEditAppendText(m_logBox, m_reportName.c_str(), FALSE, kRed);
  line(L"...", kBlack);
  line(L"简报生成成功......", kBlack);
  line(L"正在存储简报......", kBlack);
  if (m_failed) {
    line(L"简报生成失败......", kRed);
    line(L"简报生成失败,请关闭对话框以便退出......", kRed);
  } else {
    line(L"简报存储成功......", kBlack);
    line(L"简报生成完毕,请关闭对话框以便继续......", kBlack);
  }
  return 1;
}

LRESULT CRCReportGenerateState::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID == kItemClose)
    EndDialog(1);
  else
    bHandled = FALSE;
  return 0;
}
