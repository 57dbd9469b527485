#pragma once
// The modal hook that tests install: the message boxes and dialogs that the code under
// test opens are expected in a script, in the order they come up (a box at its call, a
// dialog once initialised; one opened from inside a scripted dialog's handler comes next
// in the script), and are answered or driven by it. Every box is recorded. A box or dialog that the script does not
// foresee is reported as a failure with its text and ends at once (a box with -1, a
// dialog with 0), so a test fails instead of waiting for a user; so is a box answered
// with a button it does not have, and, at the end, a step never reached.
#include <windows.h>

#include <climits>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "uiwin/UiDialogDriver.h"
#include "uiwin/UiModalHook.h"

class UiModalScript : public UiModalHook {
 public:
  // The box's first button, or its close button when it has none.
  static constexpr int kFirstButton = INT_MIN;
  using Action = std::function<void(UiDialogDriver& dialog)>;

  // Installed from construction to destruction.
  explicit UiModalScript(UiDialogDriver::Failure onFailure);
  ~UiModalScript() override;
  UiModalScript(const UiModalScript&) = delete;
  UiModalScript& operator=(const UiModalScript&) = delete;

  // Next, a box whose text contains text (any text when empty), answered with answer
  // and, when it shows the check box, the check state check.
  UiModalScript& ExpectBox(const std::wstring& text = L"", int answer = kFirstButton,
                           BOOL check = FALSE);
  // Next, a dialog: act runs on it once it is initialised, inside its modal loop; if
  // it is still running afterwards it ends with endCode (or what act chose).
  UiModalScript& ExpectDialog(Action act, UINT endCode = IDCANCEL);

  // Every box met, in order.
  const std::vector<Box>& Boxes() const { return m_boxes; }
  // The title of every dialog met, in order.
  const std::vector<std::wstring>& Dialogs() const { return m_dialogs; }
  // Steps not reached yet.
  size_t Remaining() const { return m_steps.size(); }

  int OnMessageBox(const Box& box, BOOL& checkAnswer) override;
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT* endCode) override;

 private:
  struct Step {
    bool isBox;
    std::wstring text;
    int answer;
    BOOL check;
    Action act;
    UINT endCode;
  };
  // Takes the next step when it is of the kind met; reports the surprise otherwise.
  bool TakeStep(bool isBox, const std::string& met, Step& step);
  void Fail(const std::string& text) const;

  UiDialogDriver::Failure m_onFailure;
  std::deque<Step> m_steps;
  std::vector<Box> m_boxes;
  std::vector<std::wstring> m_dialogs;
  Scope m_scope;  // last: installed once the rest is built
};
