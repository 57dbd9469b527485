#pragma once
// Owning wrapper of one GDI object (pen, brush, font, bitmap, region).
// Pass owned = false to wrap an object someone else deletes (stock objects, pool objects).
#include <windows.h>

template <typename THandle>
class CGdiObject {
 public:
  CGdiObject() = default;
  explicit CGdiObject(THandle h, bool owned = true) : handle_(h), owned_(owned) {}
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  CGdiObject(CGdiObject&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
    other.handle_ = nullptr;
  }
  CGdiObject& operator=(CGdiObject&& other) noexcept {
    if (this != &other) {
      Attach(other.handle_, other.owned_);
      other.handle_ = nullptr;
    }
    return *this;
  }
  ~CGdiObject() { DeleteObject(); }

  void Attach(THandle h, bool owned = true) {
    DeleteObject();
    handle_ = h;
    owned_ = owned;
  }
  THandle Detach() {
    THandle h = handle_;
    handle_ = nullptr;
    return h;
  }
  void DeleteObject() {
    if (handle_ && owned_) ::DeleteObject(handle_);
    handle_ = nullptr;
  }
  bool IsNull() const { return handle_ == nullptr; }
  THandle Get() const { return handle_; }
  operator THandle() const { return handle_; }

 private:
  THandle handle_ = nullptr;
  bool owned_ = true;
};

using CPen = CGdiObject<HPEN>;
using CBrush = CGdiObject<HBRUSH>;
using CFont = CGdiObject<HFONT>;
using CBitmap = CGdiObject<HBITMAP>;
using CRgn = CGdiObject<HRGN>;
