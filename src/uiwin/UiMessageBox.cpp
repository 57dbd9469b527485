#include "uiwin/UiMessageBox.h"

#include "platform/TextConv.h"
#include "uiwin/CUiMsgBox.h"
#include "uiwin/CUiMsgBox2.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiModalRun.h"
#include "uiwin/UiSystemModalRun.h"

int UiMessageBox(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer, HWND parent) {
  CUiMsgBox2 box;
  return box.ShowMultiLineMsg(text, caption, style, answer, parent);
}

int UiMessageBoxPanel(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer, HWND parent) {
  return UiMessageBox(text, caption, style, answer, parent);
}

int UiMessageBoxPlain(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer, HWND parent) {
  CUiMsgBox box;
  return box.ShowMsg(text, caption, style, answer, parent);
}

int UiSystemMessageBox(LPCWSTR text, LPCWSTR caption, UINT style, HWND parent) {
  parent = UiModalRun::OwnerFor(parent);  // as the console's own boxes
  if (UiModalHook* hook = UiModalHook::Current()) {
    UiModalHook::Box box{qv::OrEmpty(text), qv::OrEmpty(caption), style, parent, CUiMsgBox::ButtonIds(style), FALSE};
    BOOL checkAnswer = FALSE;
    const int result = hook->OnMessageBox(box, checkAnswer);
    if (result != UiModalHook::kShowAsUsual) return result;
  }
  UiSystemModalRun run(parent);
  return ::MessageBoxW(parent, text, caption, style);
}
