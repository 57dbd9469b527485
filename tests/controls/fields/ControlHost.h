#pragma once
// The window the controls of these tests live in: a shown top-level window standing in
// for the view that hosts controls in a layout. It reflects colour, owner-draw and
// command messages back to its children, as the view does, and records the WM_NOTIFY
// records it receives.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/CWindowImpl.h"
#include "support/DibCanvas.h"
#include "uiwin/UiBmpPool.h"

class ControlHost : public CWindowImpl<ControlHost> {
 public:
  struct Notice {
    UINT_PTR idFrom;
    UINT code;
    HWND from;
  };

  BEGIN_MSG_MAP(ControlHost)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
    notices.push_back({nm->idFrom, nm->code, nm->hwndFrom});
    return 0;
  }

  std::vector<Notice> notices;
};

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, host_.Create(nullptr, RECT{0, 0, 480, 360}, L"host",
                                    WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN));
    ::SetForegroundWindow(host_);
  }
  void TearDown() override {
    host_.DestroyWindow();
    kept_.clear();
  }

  // A control object that outlives its window: kept until the host is gone.
  template <class T, class... Args>
  T& Keep(Args&&... args) {
    auto control = std::make_shared<T>(std::forward<Args>(args)...);
    kept_.push_back(control);
    return *control;
  }

  // Sends the characters one by one, as typing would.
  static void Type(HWND wnd, const std::wstring& chars) {
    for (wchar_t c : chars) ::SendMessageW(wnd, WM_CHAR, c, 1);
  }
  // The window's client area as drawn by WM_PRINTCLIENT.
  static void Print(HWND wnd, DibCanvas& canvas) {
    ::SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  }

  // A pixel of a skin bitmap of the resources.
  static COLORREF BitmapPixel(UINT id, int x, int y) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, UiBmpPool::GetBitmap(id));
    const COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return c;
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
