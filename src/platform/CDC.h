#pragma once
// Owning device contexts: a compatible memory DC, and the DCs borrowed from a window.
#include "platform/CDCHandle.h"

class CDC : public CDCHandle {
 public:
  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  ~CDC() { DeleteDC(); }
  HDC CreateCompatibleDC(HDC dc) {
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(dc);
    return m_hDC;
  }
  void DeleteDC() {
    if (m_hDC) ::DeleteDC(m_hDC);
    m_hDC = nullptr;
  }
};
