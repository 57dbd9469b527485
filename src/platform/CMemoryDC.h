#pragma once
// Back buffer for flicker-free painting: draw into this DC, and the destructor copies
// the area to the target. When the buffer cannot be made (zero size) nothing is copied.
#include "platform/CDC.h"
#include "platform/CGdiObject.h"
#include "platform/CRect.h"

class CMemoryDC : public CDC {
 public:
  CMemoryDC(HDC target, const RECT& area) : target_(target), area_(area) {
    if (area_.IsRectEmpty() || !CreateCompatibleDC(target)) return;
    bitmap_.Attach(::CreateCompatibleBitmap(target, area_.Width(), area_.Height()));
    if (bitmap_.IsNull()) return;
    old_ = ::SelectObject(m_hDC, bitmap_);
    ::SetViewportOrgEx(m_hDC, -area_.left, -area_.top, nullptr);
  }
  ~CMemoryDC() {
    if (!old_) return;
    ::SetViewportOrgEx(m_hDC, 0, 0, nullptr);
    ::BitBlt(target_, area_.left, area_.top, area_.Width(), area_.Height(), m_hDC, 0, 0, SRCCOPY);
    ::SelectObject(m_hDC, old_);
  }
  bool IsValid() const { return old_ != nullptr; }

 private:
  HDC target_;
  CRect area_;
  CBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
};
