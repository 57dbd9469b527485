#pragma once
// A process-wide seam through which a test drives the console's modal UI instead of a
// user. Off unless a test installs one (Scope); the shipped code paths stay the same:
// a message box is built as always and only its modal run is replaced by OnMessageBox;
// a dialog is created, initialised and run in its own modal loop as always, and
// OnDialogReady is called from inside that loop once, after the initialisation.
// UI thread only, like everything it stands in for.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/ProcessSeam.h"

class CUiDialogView;

class UiModalHook {
 public:
  // A message box that would be shown now.
  struct Box {
    std::wstring text;          // as the caller gave it
    std::wstring caption;       // empty when the caller gave none
    UINT style;                 // the caller's style word
    HWND owner;                 // the window that owns it (UiModalRun::OwnerFor)
    std::vector<UINT> buttons;  // ids of the box's buttons, left to right
    BOOL checkShown;            // the "下次不再提示" check box is shown
  };

  // Installs a hook for its lifetime and puts the previous one back afterwards.
  using Scope = qv::ProcessSeam<UiModalHook>::Scope;

  virtual ~UiModalHook() = default;

  // What OnMessageBox returns to have the box shown and answered as without a hook.
  static constexpr int kShowAsUsual = -2;

  // Answers the box instead of showing it: the result its caller gets (a button id,
  // the close button's 60001 or -1); checkAnswer starts FALSE and receives the check
  // box's state. kShowAsUsual shows it after all.
  virtual int OnMessageBox(const Box& box, BOOL& checkAnswer) = 0;
  // The dialog of this frame is initialised and its modal loop runs. Returning TRUE
  // ends a dialog that is still running with *endCode.
  virtual BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT* endCode) = 0;

  // The installed hook, or null.
  static UiModalHook* Current() { return qv::ProcessSeam<UiModalHook>::Installed(); }
};
