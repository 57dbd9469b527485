#pragma once
// Window implementation over a window wrapper (CWindow, or a control wrapper such as
// CEdit for superclassed controls). T declares its class with DECLARE_WND_CLASS or
// DECLARE_WND_SUPERCLASS and its messages with a message map.
#include "platform/CWindow.h"
#include "platform/CWindowImplCore.h"
#include "platform/MessageMap.h"

#define DECLARE_WND_CLASS_EX(WndClassName, WndStyle, BkgndColor)                          \
  static CWndClassInfo& GetWndClassInfo() {                                                \
    static CWndClassInfo wc = {WndClassName, nullptr, WndStyle,                             \
                               reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(BkgndColor) + 1), \
                               IDC_ARROW, 0, nullptr};                                      \
    return wc;                                                                             \
  }

#define DECLARE_WND_CLASS(WndClassName) \
  DECLARE_WND_CLASS_EX(WndClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

#define DECLARE_WND_SUPERCLASS(WndClassName, OrigWndClassName)                          \
  static CWndClassInfo& GetWndClassInfo() {                                              \
    static CWndClassInfo wc = {WndClassName, OrigWndClassName, 0, nullptr, nullptr, 0, nullptr}; \
    return wc;                                                                           \
  }

template <class TBase = CWindow>
class CWindowImplBaseT : public TBase, public CWindowImplCore {
 public:
  CWindowImplBaseT() = default;
  ~CWindowImplBaseT() override { DetachOnDestroy(); }
  CWindowImplBaseT(const CWindowImplBaseT&) = delete;
  CWindowImplBaseT& operator=(const CWindowImplBaseT&) = delete;

  BOOL SubclassWindow(HWND hWnd) { return SubclassCore(hWnd); }
  HWND UnsubclassWindow() { return UnsubclassCore(); }
  using CWindowImplCore::DefWindowProc;
  LRESULT DefWindowProc() {
    const MSG* m = GetCurrentMessage();
    return m ? DefWindowProc(m->message, m->wParam, m->lParam) : 0;
  }

 protected:
  HWND& CoreHandle() override { return this->m_hWnd; }
};

template <class T, class TBase = CWindow>
class CWindowImpl : public CWindowImplBaseT<TBase> {
 public:
  DECLARE_WND_CLASS(nullptr)

  HWND Create(HWND parent, const RECT& rc = RECT{0, 0, 0, 0}, LPCWSTR name = nullptr,
              DWORD style = 0, DWORD exStyle = 0, UINT id = 0, void* param = nullptr) {
    return this->CreateCore(T::GetWndClassInfo(), parent, rc, name, style, exStyle, id, param);
  }
};
