#pragma once
// Flicker-free painting mix-in: T::DoPaint(CDCHandle) draws into a back buffer that is
// copied to the window in one blit. WM_PRINTCLIENT paints into the given DC the same way.
#include "platform/CMemoryDC.h"
#include "platform/CWindowDCs.h"
#include "platform/MessageMap.h"

template <class T>
class CDoubleBufferImpl {
 public:
  BEGIN_MSG_MAP(CDoubleBufferImpl)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
  END_MSG_MAP()

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
    T* self = static_cast<T*>(this);
    CRect client;
    ::GetClientRect(self->m_hWnd, &client);
    if (wParam) {
      CMemoryDC buffer(reinterpret_cast<HDC>(wParam), client);
      if (buffer.IsValid()) self->DoPaint(CDCHandle(buffer));
    } else {
      CPaintDC dc(self->m_hWnd);
      CMemoryDC buffer(dc, client);
      if (buffer.IsValid()) self->DoPaint(CDCHandle(buffer));
    }
    return 0;
  }
};
