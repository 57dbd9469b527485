#pragma once
// A stand-in for a dialog and its host view in control tests: a top-level window
// holding a child "view" (id 1000) that, like the console's view, reflects its
// children's colour, owner-draw and notification messages back to them as OCM_
// messages. Controls under test are created as children of View().
#include "platform/CWindowImpl.h"

class ReflectingHost {
 public:
  explicit ReflectingHost(int width = 400, int height = 300) {
    // Shown without taking the activation from the windows of tests running beside.
    dialog_.Create(nullptr, RECT{0, 0, width, height}, L"host", WS_POPUP);
    dialog_.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    view_.Create(dialog_, RECT{0, 0, width, height}, L"view", WS_CHILD | WS_VISIBLE, 0, 1000);
  }
  ~ReflectingHost() { Destroy(); }
  HWND View() const { return view_; }
  // Destroys the dialog with everything in it (the destructor does it otherwise).
  void Destroy() {
    if (dialog_.IsWindow()) ::DestroyWindow(dialog_);
  }

 private:
  struct HostDialog : CWindowImpl<HostDialog> {
    BEGIN_MSG_MAP(HostDialog)
    END_MSG_MAP()
  } dialog_;
  struct HostView : CWindowImpl<HostView> {
    BEGIN_MSG_MAP(HostView)
      REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
  } view_;
};
