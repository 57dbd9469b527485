#pragma once
// The window the controls of these tests live in: a shown top-level window standing in
// for the view that hosts controls in a layout. Like the view, it reflects colour,
// owner-draw and command messages back to its children; it records the WM_NOTIFY
// headers it receives. It can hand a control's commands and list colour requests to
// that control's map 1 first.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/CWindowImpl.h"
#include "uiwin/UiBmpPool.h"

class ControlHost : public CWindowImpl<ControlHost> {
 public:
  BEGIN_MSG_MAP(ControlHost)
    if (uMsg == WM_NOTIFY) notices.push_back(*reinterpret_cast<const NMHDR*>(lParam));
    if (forward && (uMsg == WM_COMMAND || uMsg == WM_CTLCOLORLISTBOX)) CHAIN_MSG_MAP_ALT_MEMBER(*forward, 1)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
  std::vector<NMHDR> notices;
  CMessageMap* forward = nullptr;
};

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, host_.Create(nullptr, RECT{0, 0, 480, 360}, L"host", WS_POPUP | WS_VISIBLE));
  }
  void TearDown() override {
    host_.DestroyWindow();
    kept_.clear();
  }
  // A control object, kept until its window has gone with the host.
  template <class T, class... Args>
  T& Keep(Args&&... args) {
    auto control = std::make_shared<T>(std::forward<Args>(args)...);
    kept_.push_back(control);
    return *control;
  }
  static void Type(HWND wnd, const std::wstring& chars) {
    for (wchar_t c : chars) ::SendMessageW(wnd, WM_CHAR, c, 1);
  }
  // A pixel of the window once its pending paint has run.
  static COLORREF Shown(HWND wnd, int x, int y) {
    ::UpdateWindow(wnd);
    HDC dc = ::GetDC(wnd);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(wnd, dc);
    return c;
  }
  // Which of the cells at x = 20 * n of bitmap id the window shows at (x, y), judged by
  // the cell's pixel (cx, cy); -1 when none.
  static int ShownCell(HWND wnd, int x, int y, UINT id, int cx, int cy) {
    const COLORREF shown = Shown(wnd, x, y);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, UiBmpPool::GetBitmap(id));
    int cell = 2;
    while (cell >= 0 && ::GetPixel(dc, 20 * cell + cx, cy) != shown) --cell;
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return cell;
  }

  ControlHost host_;
  std::vector<std::shared_ptr<void>> kept_;
};

// A control that counts the WM_PAINT messages it gets.
template <class T>
class PaintCounted : public T {
 public:
  using T::T;
  BEGIN_MSG_MAP(PaintCounted)
    if (uMsg == WM_PAINT) ++paints;
    CHAIN_MSG_MAP(T)
  END_MSG_MAP()
  int paints = 0;
};
