#include "support/ReflectingHost.h"

#include "platform/CWindowImpl.h"

namespace {

class HostDialog : public CWindowImpl<HostDialog> {
 public:
  BEGIN_MSG_MAP(HostDialog)
  END_MSG_MAP()
};

class HostView : public CWindowImpl<HostView> {
 public:
  BEGIN_MSG_MAP(HostView)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

}  // namespace

struct ReflectingHost::Windows {
  HostDialog dialog;
  HostView view;
};

ReflectingHost::ReflectingHost(int width, int height) : windows_(new Windows) {
  windows_->dialog.Create(nullptr, RECT{0, 0, width, height}, L"host", WS_POPUP | WS_VISIBLE);
  windows_->view.Create(windows_->dialog, RECT{0, 0, width, height}, L"view",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 1000);
}

ReflectingHost::~ReflectingHost() { Destroy(); }

void ReflectingHost::Destroy() {
  if (windows_->dialog.IsWindow()) ::DestroyWindow(windows_->dialog);
}

HWND ReflectingHost::Dialog() const { return windows_->dialog; }
HWND ReflectingHost::View() const { return windows_->view; }
