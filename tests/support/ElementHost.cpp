#include "support/ElementHost.h"

#include "uiwin/UiNotify.h"

namespace {

const wchar_t kClass[] = L"QvElementHost";

void RegisterOnce() {
  static bool done = false;
  if (done) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  ::RegisterClassW(&wc);
  done = true;
}

}  // namespace

ElementHost::ElementHost() {
  RegisterOnce();
  dialog_ = ::CreateWindowExW(0, kClass, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
  view_ = ::CreateWindowExW(0, kClass, L"view", WS_CHILD | WS_VISIBLE, 0, 0, 640, 480, dialog_,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_UIVIEW)),
                            ::GetModuleHandleW(nullptr), nullptr);
  for (HWND w : {dialog_, view_}) {
    ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ElementHost::Proc));
  }
}

ElementHost::~ElementHost() {
  if (dialog_) ::DestroyWindow(dialog_);
}

HWND ElementHost::AddControl(int id, bool visible) {
  return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 10,
                           10, view_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

std::vector<ElementHost::Notice> ElementHost::Notices(UINT code) const {
  std::vector<Notice> out;
  for (const Notice& n : notices_)
    if (n.code == code) out.push_back(n);
  return out;
}

LRESULT CALLBACK ElementHost::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<ElementHost*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (msg != WM_NOTIFY || !self || !lp) return ::DefWindowProcW(wnd, msg, wp, lp);
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
  Notice n{};
  n.to = wnd;
  n.code = hdr->code;
  n.wParam = wp;
  n.idFrom = hdr->idFrom;
  n.hwndFrom = hdr->hwndFrom;
  switch (hdr->code) {
    case UINM_COMMAND: {
      const auto* r = reinterpret_cast<const UINMCOMMAND*>(lp);
      n.item = r->uItemID;
      n.itemClass = r->szItemClass ? r->szItemClass : "";
      break;
    }
    case UINM_REALWND_RESIZED: {
      const auto* r = reinterpret_cast<const UINMREALWNDRESIZED*>(lp);
      n.item = r->uItemID;
      n.rc = r->rcWnd;
      break;
    }
    case UINM_TAB_SELCHANGE: {
      auto* r = reinterpret_cast<UINMTABSELCHANGE*>(lp);
      n.item = r->uTabID;
      n.tabNew = r->uTabItemIDNew;
      n.tabOld = r->uTabItemIDOld;
      if (wnd == self->view_ && self->onTabChange) self->onTabChange(r);
      break;
    }
    case UINM_INVALIDATERECT: {
      const auto* r = reinterpret_cast<const UINMINVALIDATERECT*>(lp);
      n.item = static_cast<UINT>(hdr->idFrom);
      n.huiWnd = r->huiWnd;
      n.rc = r->rect;
      break;
    }
    default:
      break;
  }
  self->notices_.push_back(n);
  if (wnd == self->dialog_ && self->onDialogNotify) self->onDialogNotify(hdr);
  return 0;
}
