#pragma once
// Owning device contexts: a compatible memory DC, and the DCs borrowed from a window.
#include "platform/CDCHandle.h"

class CDC : public CDCHandle {
 public:
  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  ~CDC() {
    if (m_hDC) ::DeleteDC(m_hDC);
  }
  HDC CreateCompatibleDC(HDC dc) {
    if (m_hDC) ::DeleteDC(m_hDC);
    m_hDC = ::CreateCompatibleDC(dc);
    return m_hDC;
  }
};
