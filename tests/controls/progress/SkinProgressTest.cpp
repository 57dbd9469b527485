// The skinned progress bar's markers and status text against a clock the test holds,
// and the header that takes no room.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "controls/CListHeader.h"
#include "controls/CSkinProgress.h"

namespace {

const UINT kSkin = 124;  // any bitmap of seven or more columns will do

struct Window {
  HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 20, nullptr,
                               nullptr, nullptr, nullptr);
  ~Window() { ::DestroyWindow(wnd); }
};

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

TEST(SkinProgress, StatusTextTellsWhatRemainsAndWhenItEnds) {
  struct Case {
    SYSTEMTIME start, now;
    int lower, upper, pos;
    BOOL bracket;
    const wchar_t* text;
  };
  const Case cases[] = {
      {At(2024, 6, 28, 23, 59, 0), At(2024, 6, 29, 0, 9, 0), 0, 100, 25, FALSE,
       L" 2024/06/28/06 23:59:00 - 00:10:00 - 25% / 75% - 00:30:00 - 00:39:00"},
      {At(2024, 6, 29, 8, 0, 0), At(2024, 6, 29, 9, 0, 0), 0, 100, 1, FALSE,  // ends next month
       L" 08:00:00 - 01:00:00 - 1% / 99% - 4:03:00:00 - 2024/07/03/04 12:00:00"},
      {At(2024, 6, 27, 8, 0, 0), At(2024, 6, 29, 9, 0, 0), 0, 200, 50, TRUE,
       L" (2024/06/27/05 08:00:00 - 2:01:00:00 - 25% / 75% - 6:03:00:00 - 2024/07/05/06 12:00:00)"},
      {At(2024, 6, 29, 8, 0, 0), At(2024, 6, 29, 8, 0, 30), 50, 50, 50, FALSE,  // no range
       L" 08:00:00 - 00:00:30 - 0% / 100% - 00:00:00 - 08:00:30"},
      {At(2024, 6, 29, 8, 0, 0), At(2024, 6, 29, 8, 0, 30), 0, 100, 0, FALSE,  // nothing done yet
       L" 08:00:00 - 00:00:30 - 0% / 100% - 00:00:00 - 08:00:30"},
  };
  Window window;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + wcslen(c.text)));
    SYSTEMTIME now = c.start;
    CSkinProgress bar([&] { return now; });
    ASSERT_TRUE(bar.Create(window.wnd, kSkin));
    bar.SetRange(c.lower, c.upper);
    bar.SetPos(c.pos);
    now = c.now;
    EXPECT_EQ(c.text, bar.GetStatusText(c.bracket));
  }
}

TEST(SkinProgress, MarkersStayInTheRangeAndInOrder) {
  Window window;
  CSkinProgress bar;
  ASSERT_TRUE(bar.Create(window.wnd, kSkin));
  bar.SetPos(150);
  EXPECT_EQ(100, bar.GetPos());
  bar.SetPos(20);
  bar.SetStart(30);  // not beyond the position
  EXPECT_EQ(20, bar.GetStart());
  bar.SetPos(10);  // not below the start marker
  EXPECT_EQ(20, bar.GetPos());
  bar.SetRange(0, 1000, 50, TRUE);  // the markers keep their places
  EXPECT_EQ(200, bar.GetPos());
  EXPECT_EQ(20, bar.GetPos(TRUE));
  bar.StepIt();
  EXPECT_EQ(250, bar.GetPos());
  EXPECT_FALSE(bar.Create(window.wnd, 60999));  // no such bitmap
}

TEST(ListHeader, TakesNoRoomInALayout) {
  Window parent;
  CListHeader header;
  ASSERT_TRUE(header.Create(parent.wnd, RECT{0, 0, 240, 20}, nullptr, WS_CHILD | WS_VISIBLE));
  RECT rc{0, 0, 240, 100};
  WINDOWPOS pos{};
  HDLAYOUT layout{&rc, &pos};
  ::SendMessageW(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  EXPECT_EQ(0, pos.cy);
  EXPECT_EQ(0, rc.top);
  EXPECT_EQ(0, ::SendMessageW(header, WM_SETCURSOR, reinterpret_cast<WPARAM>(header.m_hWnd), HTCLIENT));
}

}  // namespace
