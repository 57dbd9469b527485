#include "uiwin/UiModalScript.h"

#include <algorithm>
#include <utility>

#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiMsgBox.h"

UiModalScript::UiModalScript(UiDialogDriver::Failure onFailure)
    : m_onFailure(std::move(onFailure)), m_scope(*this) {}

UiModalScript::~UiModalScript() {
  for (const Step& step : m_steps)
    Fail(step.isBox ? "scripted message box \"" + qv::WideToUtf8(step.text) + "\" never shown"
                    : std::string("scripted dialog never shown"));
}

UiModalScript& UiModalScript::ExpectBox(const std::wstring& text, int answer, BOOL check) {
  m_steps.push_back(Step{true, text, answer, check, nullptr, 0});
  return *this;
}

UiModalScript& UiModalScript::ExpectDialog(Action act, UINT endCode) {
  m_steps.push_back(Step{false, L"", 0, FALSE, std::move(act), endCode});
  return *this;
}

void UiModalScript::Fail(const std::string& text) const {
  if (m_onFailure) m_onFailure(text);
}

bool UiModalScript::TakeStep(bool isBox, const std::string& met, Step& step) {
  if (m_steps.empty() || m_steps.front().isBox != isBox) {
    Fail(met + " not scripted" +
         (m_steps.empty() ? std::string() : m_steps.front().isBox ? "; a message box was next"
                                                                  : "; a dialog was next"));
    return false;
  }
  step = std::move(m_steps.front());
  m_steps.pop_front();
  return true;
}

int UiModalScript::OnMessageBox(const Box& box, BOOL& checkAnswer) {
  m_boxes.push_back(box);
  const std::string met = "message box \"" + qv::WideToUtf8(box.text) + "\"";
  Step step;
  if (!TakeStep(true, met, step)) return CUiMsgBox::kNotShown;
  if (box.text.find(step.text) == std::wstring::npos)
    Fail(met + " shown where one with \"" + qv::WideToUtf8(step.text) + "\" was scripted");
  int answer = step.answer;
  if (answer == kFirstButton)
    answer = box.buttons.empty() ? static_cast<int>(CUiMsgBox::kItemClose) : static_cast<int>(box.buttons[0]);
  bool offered = answer == static_cast<int>(CUiMsgBox::kItemClose) ||
                 std::find(box.buttons.begin(), box.buttons.end(), static_cast<UINT>(answer)) !=
                     box.buttons.end();
  if (!offered) {
    Fail(met + " has no button " + std::to_string(answer));
    return CUiMsgBox::kNotShown;
  }
  if (box.checkShown) checkAnswer = step.check;
  return answer;
}

BOOL UiModalScript::OnDialogReady(HWND frame, CUiDialogView& view, UINT* endCode) {
  m_dialogs.push_back(view.GetWindowTitle());
  Step step;
  if (!TakeStep(false, "dialog \"" + qv::WideToUtf8(view.GetWindowTitle()) + "\"", step)) {
    *endCode = 0;
    return TRUE;
  }
  UiDialogDriver dialog(frame, view, step.endCode, m_onFailure);
  if (step.act) step.act(dialog);
  *endCode = dialog.EndCode();
  return TRUE;
}
