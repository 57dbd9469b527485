#pragma once
// Icon handle; icons the system shares (OEM and stock icons) are wrapped unowned and
// never destroyed.
#include <windows.h>

class CIcon {
 public:
  CIcon() = default;
  CIcon(HICON h, bool owned) : handle_(h), owned_(owned) {}
  CIcon(const CIcon&) = delete;
  CIcon& operator=(const CIcon&) = delete;
  ~CIcon() { Destroy(); }

  void Attach(HICON h, bool owned) {
    Destroy();
    handle_ = h;
    owned_ = owned;
  }
  void Destroy() {
    if (handle_ && owned_) ::DestroyIcon(handle_);
    handle_ = nullptr;
  }
  bool IsNull() const { return handle_ == nullptr; }
  operator HICON() const { return handle_; }

 private:
  HICON handle_ = nullptr;
  bool owned_ = false;
};
