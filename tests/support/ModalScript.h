#pragma once
// The modal script of a test: a message box or dialog that the test did not script,
// or a scripted one that never came, becomes a test failure carrying its text.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "uiwin/UiModalScript.h"

// What a scripted dialog that the test's actions leave running ends with: a code no
// dialog's own handlers use, so that a result can tell "ended by its handler" apart.
constexpr UINT kStillOpen = 77;

class ModalScript : public UiModalScript {
 public:
  ModalScript() : UiModalScript([](const std::string& text) { ADD_FAILURE() << text; }) {}

  // When set, a look at the console as each box comes up, before it is answered, and as
  // each dialog is ready, before its step acts on it.
  std::function<void(const Box&)> atBox;
  std::function<void(HWND frame)> atDialog;

  int OnMessageBox(const Box& box, BOOL& checkAnswer) override {
    if (atBox) atBox(box);
    return UiModalScript::OnMessageBox(box, checkAnswer);
  }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT* endCode) override {
    if (atDialog) atDialog(frame);
    return UiModalScript::OnDialogReady(frame, view, endCode);
  }
};
