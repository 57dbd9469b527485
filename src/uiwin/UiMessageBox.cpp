#include "uiwin/UiMessageBox.h"

#include "uiwin/CUiMsgBox.h"
#include "uiwin/CUiMsgBox2.h"

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
