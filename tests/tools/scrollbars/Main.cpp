// Shows the skinned scroll bars for a look with scripts/screenshot: a list box with
// both bars (and the corner box), one scrolled to its middle, a list box whose page
// covers its range, and loose bars of both kinds at several positions.
#include <windows.h>

#include <string>

#include "controls/CSkinScrollWnd.h"
#include "controls/CUIFontPair.h"
#include "controls/CUIResource.h"
#include "platform/CWindowImpl.h"
#include "../ToolStartup.h"

namespace {

class DemoWindow : public CWindowImpl<DemoWindow> {
 public:
  DECLARE_WND_CLASS_EX(L"QvScrollBarsDemo", 0, COLOR_BTNFACE)
  BEGIN_MSG_MAP(DemoWindow)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    ::PostQuitMessage(0);
    return 0;
  }
};

HWND List(HWND parent, int id, RECT rc, int lines, DWORD style) {
  HWND list = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | style,
                                rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
  ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(CUIFontPair::GetFont()), FALSE);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);  // Wine's list box repaints on every line
  for (int i = 0; i < lines; ++i) {
    const std::wstring text = L"监测策略 " + std::to_wstring(i + 1) +
                              L"  C:\\Program Files\\Quorvane\\data\\history\\copy-" +
                              std::to_wstring(i * 37);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 520, 0);
  SkinWndScroll(list, CUIResource::GetSkinBitmap(), id * 10);
  return list;
}

void Bar(CSkinScrollBar& bar, HWND parent, RECT rc, DWORD axis, int pos) {
  bar.Create(parent, rc, nullptr, WS_CHILD | WS_VISIBLE | axis);
  bar.SetBitmap(CUIResource::GetSkinBitmap());
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 20, pos, 0};
  bar.SendMessage(SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  CUIResource::Init();
  DemoWindow window;
  window.Create(nullptr, RECT{40, 40, 700, 420}, L"skinned scroll bars",
                WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
  List(window, 11, RECT{10, 10, 230, 190}, 300, WS_HSCROLL);
  HWND middle = List(window, 12, RECT{240, 10, 460, 190}, 300, 0);
  ::SendMessageW(middle, LB_SETTOPINDEX, 150, 0);
  List(window, 13, RECT{470, 10, 640, 190}, 3, LBS_DISABLENOSCROLL);
  CSkinScrollBar bars[4];
  Bar(bars[0], window, RECT{10, 200, 23, 330}, SBS_VERT, 30);
  Bar(bars[1], window, RECT{40, 200, 53, 330}, SBS_VERT, 80);
  Bar(bars[2], window, RECT{70, 210, 400, 223}, SBS_HORZ, 80);
  Bar(bars[3], window, RECT{70, 240, 400, 253}, SBS_HORZ, 40);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  CUIResource::Uninit();
  return 0;
}
