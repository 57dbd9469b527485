#pragma once
// The modal hook of a look-at tool, which opens its page or dialog once the window is
// up. Message boxes are the console's own, shown for the user to answer, unless the
// environment variable QV_TOOL_ANSWERS scripts them (scripts/screenshot-all runs
// unattended): then each box takes the next button id of that comma-separated list
// ("first" or nothing: the box's first button; the last answer repeats) and is
// reported on stderr as "box: TEXT". OnToolDialogReady sees every dialog once it is
// up, boxes excepted; a tool acts there only on the dialogs it opens itself.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/CWindowImplCore.h"
#include "platform/TextConv.h"
#include "uiwin/CUiMsgBox.h"
#include "uiwin/UiModalHook.h"

class ToolModalHook : public UiModalHook {
 public:
  ToolModalHook() {
    const char* answers = std::getenv("QV_TOOL_ANSWERS");
    m_scripted = answers != nullptr;
    if (answers) m_answers = answers;
  }

  int OnMessageBox(const Box& box, BOOL&) override {
    if (!m_scripted) return kShowAsUsual;
    std::fprintf(stderr, "box: %s\n", qv::WideToUtf8(box.text).c_str());
    const size_t comma = m_answers.find(',');
    const std::string answer = m_answers.substr(0, comma);
    if (comma != std::string::npos) m_answers.erase(0, comma + 1);
    const int id = std::atoi(answer.c_str());
    if (id > 0) return id;
    return box.buttons.empty() ? int(CUiMsgBox::kItemClose) : int(box.buttons.front());
  }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) final {
    if (dynamic_cast<CUiMsgBox*>(CWindowImplCore::FromHandle(frame))) return FALSE;
    return OnToolDialogReady(frame, view);
  }

 protected:
  virtual BOOL OnToolDialogReady(HWND frame, CUiDialogView& view) = 0;

 private:
  bool m_scripted = false;
  std::string m_answers;
};

// A tool hook that leaves every dialog to the user.
class ToolBoxesOnly : public ToolModalHook {
 protected:
  BOOL OnToolDialogReady(HWND, CUiDialogView&) override { return FALSE; }
};
