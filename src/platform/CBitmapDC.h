#pragma once
// A memory DC holding one bitmap for the duration of a draw call; the bitmap is
// selected out again before the DC goes. The bitmap stays the caller's.
#include <windows.h>

class CBitmapDC {
 public:
  explicit CBitmapDC(HBITMAP bitmap, HDC like = nullptr)
      : dc_(::CreateCompatibleDC(like)), old_(nullptr) {
    if (dc_) old_ = ::SelectObject(dc_, bitmap);
  }
  ~CBitmapDC() {
    if (!dc_) return;
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  CBitmapDC(const CBitmapDC&) = delete;
  CBitmapDC& operator=(const CBitmapDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};
