#include "platform/CWindowImplCore.h"

#include <commctrl.h>

#include <cwchar>
#include <mutex>

#include "platform/DebugReport.h"
#include "platform/MessageMap.h"
#include "platform/OwnDelivery.h"

namespace {
const wchar_t kObjectProp[] = L"QvWindowObject";
thread_local CWindowImplCore* t_creating = nullptr;
std::mutex g_registerLock;
}  // namespace

CWindowImplCore* CWindowImplCore::FromHandle(HWND hWnd) {
  return static_cast<CWindowImplCore*>(::GetPropW(hWnd, kObjectProp));
}

ATOM CWindowImplCore::RegisterClassInfo(CWndClassInfo& info) {
  std::lock_guard<std::mutex> lock(g_registerLock);
  if (info.atom) return info.atom;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  // The system copies the class name, so a made-up one needs no storage of ours.
  wchar_t madeName[40];
  LPCWSTR name = info.name;
  if (!name) {
    std::swprintf(madeName, 40, L"Qv:%p", static_cast<void*>(&info));
    name = madeName;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (info.superclassOf) {
    if (!::GetClassInfoExW(nullptr, info.superclassOf, &wc) &&
        !::GetClassInfoExW(instance, info.superclassOf, &wc))
      return 0;
    info.superProc = wc.lpfnWndProc;
  } else {
    wc.style = info.style;
    wc.hCursor = ::LoadCursorW(nullptr, info.cursor ? info.cursor : IDC_ARROW);
    wc.hbrBackground = info.background;
    info.superProc = ::DefWindowProcW;
  }
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  info.atom = ::RegisterClassExW(&wc);
  return info.atom;
}

HWND CWindowImplCore::CreateCore(CWndClassInfo& info, HWND parent, const RECT& rc, LPCWSTR name,
                                 DWORD style, DWORD exStyle, UINT id, void* param) {
  if (!RegisterClassInfo(info)) return nullptr;
  m_pfnSuperWindowProc = info.superProc;
  m_destroyed = false;
  CWindowImplCore* outer = t_creating;
  t_creating = this;
  HWND hWnd = ::CreateWindowExW(exStyle, MAKEINTATOM(info.atom), name, style, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                ::GetModuleHandleW(nullptr), param);
  t_creating = outer;
  return hWnd;
}

BOOL CWindowImplCore::SubclassCore(HWND hWnd) {
  if (!::IsWindow(hWnd) || CoreHandle() || FromHandle(hWnd)) return FALSE;
  if (!::SetPropW(hWnd, kObjectProp, this)) return FALSE;
  CoreHandle() = hWnd;
  m_destroyed = false;
  m_pfnSuperWindowProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
  return TRUE;
}

HWND CWindowImplCore::UnsubclassCore() {
  HWND hWnd = CoreHandle();
  if (!hWnd) return nullptr;
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) != &WindowProc)
    return nullptr;  // someone subclassed after us; undoing would cut them off
  ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
  ::RemovePropW(hWnd, kObjectProp);
  m_pfnSuperWindowProc = ::DefWindowProcW;
  CoreHandle() = nullptr;
  return hWnd;
}

void CWindowImplCore::DetachOnDestroy() {
  for (Dispatch* d = m_pDispatch; d; d = d->outer) d->objectGone = true;
  m_pDispatch = nullptr;
  HWND hWnd = CoreHandle();
  if (!hWnd || !::IsWindow(hWnd) || FromHandle(hWnd) != this) return;
  qv::DebugReport("window object destroyed while its window lives", "CWindowImpl", __LINE__);
  if (!UnsubclassCore()) {
    // Subclassed again after us: the window keeps its procedure chain but loses the object.
    ::RemovePropW(hWnd, kObjectProp);
    CoreHandle() = nullptr;
  }
}

LRESULT CWindowImplCore::DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_pfnSuperWindowProc, CoreHandle(), uMsg, wParam, lParam);
}

void CWindowImplCore::FinishDestroy(HWND hWnd) {
  ::RemovePropW(hWnd, kObjectProp);
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &WindowProc &&
      m_pfnSuperWindowProc != ::DefWindowProcW)
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
  CoreHandle() = nullptr;
  m_destroyed = false;
  OnFinalMessage(hWnd);  // last: the object may delete itself here
}

LRESULT CALLBACK CWindowImplCore::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowImplCore* self = FromHandle(hWnd);
  if (!self) {
    self = t_creating;
    if (!self) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    t_creating = nullptr;
    self->CoreHandle() = hWnd;
    ::SetPropW(hWnd, kObjectProp, self);
  }
  // A reflected message carries its sender's record: only a parent's own reflection
  // reaches the handlers, never one that another program posted or sent.
  if (IsReflected(uMsg) && !OwnDelivery::IsDelivering(hWnd, uMsg, wParam, lParam)) return 0;
  MSG msg{hWnd, uMsg, wParam, lParam, 0, {0, 0}};
  const MSG* outerMsg = self->m_pCurrentMsg;
  self->m_pCurrentMsg = &msg;
  ++self->m_depth;
  Dispatch frame{false, self->m_pDispatch};
  self->m_pDispatch = &frame;
  LRESULT result = 0;
  BOOL handled = self->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result, 0);
  // From here on, an object deleted by a handler is not touched again.
  if (frame.objectGone) return handled ? result : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  if (!handled || uMsg == WM_NCDESTROY) {
    LRESULT def = ::CallWindowProcW(self->m_pfnSuperWindowProc, hWnd, uMsg, wParam, lParam);
    if (!handled) result = def;
    if (frame.objectGone) return result;
  }
  self->m_pDispatch = frame.outer;
  --self->m_depth;
  self->m_pCurrentMsg = outerMsg;
  if (uMsg == WM_NCDESTROY) self->m_destroyed = true;
  if (self->m_destroyed && self->m_depth == 0) self->FinishDestroy(hWnd);
  return result;
}

LRESULT CWindowImplCore::ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                              BOOL& bHandled) {
  HWND child = nullptr;
  HWND self = CoreHandle();
  switch (uMsg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<LPNMHDR>(lParam)->hwndFrom;
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
        child = reinterpret_cast<HWND>(lParam);
      else
        child = ::GetDlgItem(self, HIWORD(wParam));
      break;
    case WM_DRAWITEM:
      if (wParam) child = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      if (wParam) child = ::GetDlgItem(self, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID);
      break;
    case WM_COMPAREITEM:
      if (wParam) child = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
      break;
    case WM_DELETEITEM:
      if (wParam) child = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
      break;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lParam);
      break;
    default:
      break;
  }
  if (!child || child == self) {
    bHandled = FALSE;
    return 1;
  }
  return OwnDelivery::Send(child, OCM__BASE + uMsg, wParam, lParam);
}

bool CWindowImplCore::IsReflected(UINT uMsg) {
  switch (uMsg) {
    case OCM_COMMAND:
    case OCM_NOTIFY:
    case OCM_PARENTNOTIFY:
    case OCM_DRAWITEM:
    case OCM_MEASUREITEM:
    case OCM_COMPAREITEM:
    case OCM_DELETEITEM:
    case OCM_VKEYTOITEM:
    case OCM_CHARTOITEM:
    case OCM_HSCROLL:
    case OCM_VSCROLL:
    case OCM_CTLCOLORBTN:
    case OCM_CTLCOLORDLG:
    case OCM_CTLCOLOREDIT:
    case OCM_CTLCOLORLISTBOX:
    case OCM_CTLCOLORMSGBOX:
    case OCM_CTLCOLORSCROLLBAR:
    case OCM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

BOOL CWindowImplCore::DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                               LRESULT& lResult) {
  if (!IsReflected(uMsg)) return FALSE;
  lResult = ::DefWindowProcW(hWnd, uMsg - OCM__BASE, wParam, lParam);
  return TRUE;
}
