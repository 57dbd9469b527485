#include "sysmgmt/CSafetoolUIHandler.h"

#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiString.h"

namespace {

const struct {
  UINT item;
  void (CSafetoolUIHandler::*operation)();
} kCommands[] = {
    {221, &CSafetoolUIHandler::OnTool0}, {222, &CSafetoolUIHandler::OnTool1}, {223, &CSafetoolUIHandler::OnTool2},
    {224, &CSafetoolUIHandler::OnTool3}, {225, &CSafetoolUIHandler::OnTool4}, {226, &CSafetoolUIHandler::OnTool5},
    {227, &CSafetoolUIHandler::OnTool6}, {228, &CSafetoolUIHandler::OnTool7}, {229, &CSafetoolUIHandler::OnTool8},
    {230, &CSafetoolUIHandler::OnTool9},
};

}  // namespace

CSafetoolUIHandler::CSafetoolUIHandler(CUiDialogHost* owner) : m_owner(owner) {}

CSafetoolUIHandler::~CSafetoolUIHandler() = default;

int CSafetoolUIHandler::Init() {
  m_description = RichEditCreate(m_owner->GetViewHWnd(), kDescription,
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                 CUIResource::GetSkinBitmap(), kDescriptionScrollSkin);
  OnTool(0);
  return 0;
}

int CSafetoolUIHandler::UnInit() { return 0; }

LRESULT CSafetoolUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  const UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
  for (const auto& command : kCommands) {
    if (command.item != item) continue;
    (this->*command.operation)();
    return 0;
  }
  bHandled = FALSE;
  return 0;
}

void CSafetoolUIHandler::OnTool(int entry) {
  m_current = entry;
  const wchar_t* title = UiString::Get(kFirstTitleString + entry);
  m_text = qv::OrEmpty(UiString::Get(kFirstDescriptionString + entry));
  m_owner->SetItemText(kTitle, qv::OrEmpty(title));
  if (!m_description) return;
  RichEditClear(m_description);
  RichEditAppendText(m_description, m_text.c_str(), FALSE, RGB(0, 0, 0));
  RichEditShowStart(m_description);
}
