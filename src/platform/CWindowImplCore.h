#pragma once
// The window procedure shared by every window class of ours. The object is attached on
// the window's first message (WM_GETMINMAXINFO arrives before WM_CREATE returns) and kept
// in a window property, never in GWLP_USERDATA, which belongs to the window's class.
#include <windows.h>

#include "platform/CMessageMap.h"

struct CWndClassInfo {
  LPCWSTR name;          // null: a name is made from the info's address
  LPCWSTR superclassOf;  // system class to superclass ("EDIT"), or null
  UINT style;
  HBRUSH background;
  LPCWSTR cursor;        // IDC_ARROW and the like; ignored for superclasses
  ATOM atom;
  WNDPROC superProc;     // the superclassed class's procedure
};

class CWindowImplCore : public CMessageMap {
 public:
  WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;

  virtual WNDPROC GetWindowProc() { return &WindowProc; }
  // Called after WM_NCDESTROY, once the window is gone; may delete the object.
  virtual void OnFinalMessage(HWND) {}

  LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
  const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

  // Sends a child's notification back to it as OCM__BASE + message (OwnDelivery: a
  // reflected message that does not come this way reaches no handler); bHandled is
  // cleared when the message names no child.
  LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // One of the OCM_ messages.
  static bool IsReflected(UINT uMsg);
  static BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                       LRESULT& lResult);

  static CWindowImplCore* FromHandle(HWND hWnd);
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  static ATOM RegisterClassInfo(CWndClassInfo& info);

 protected:
  virtual HWND& CoreHandle() = 0;
  HWND CreateCore(CWndClassInfo& info, HWND parent, const RECT& rc, LPCWSTR name, DWORD style,
                  DWORD exStyle, UINT id, void* param);
  BOOL SubclassCore(HWND hWnd);
  HWND UnsubclassCore();
  // For the destructor of the object: its window, if still alive, must not keep a pointer
  // to it, and a handler of its own that is still running must not touch it again.
  void DetachOnDestroy();

 private:
  // One per message being handled, on WindowProc's stack; the destructor marks them all.
  struct Dispatch {
    bool objectGone;
    Dispatch* outer;
  };

  void FinishDestroy(HWND hWnd);

  const MSG* m_pCurrentMsg = nullptr;
  int m_depth = 0;          // messages of this window being handled right now
  bool m_destroyed = false;  // WM_NCDESTROY seen while nested
  Dispatch* m_pDispatch = nullptr;
};
