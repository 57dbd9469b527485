// The up-down control's looks, the list box's horizontal extent, the IP address field
// and the rich-edit log.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <utility>
#include <vector>

#include "ControlHost.h"
#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CIPAddressCtrlEx.h"
#include "controls/CListBoxEx.h"
#include "controls/CUIResource.h"
#include "controls/CUpDownCtrlEx.h"
#include "controls/RichEditLog.h"
#include "platform/CWindowDCs.h"
#include "support/TestEnv.h"

namespace {

using SmallControls = ControlTest;

// 16 x 40: the upper half is rows 0..18, the lower half rows 21..39.
TEST_F(SmallControls, UpDownShowsTheLookOfEachHalfWhileItLasts) {
  auto& spin = Keep<CUpDownCtrlEx>();
  ASSERT_NE(nullptr, spin.Create(host_, RECT{300, 10, 316, 50}, nullptr, WS_CHILD | WS_VISIBLE, 0, 9));
  // The cell column (0 normal, 1 hovered, 2 pressed) each half shows.
  auto looks = [&] {
    DibCanvas canvas(16, 40);
    Print(spin, canvas);
    int up = -1, down = -1;
    for (int cell = 0; cell < 3; ++cell) {
      if (canvas.At(4, 5) == BitmapPixel(CUpDownCtrlEx::kArrowBitmap, 20 * cell + 5, 2)) up = cell;
      if (canvas.At(4, 26) == BitmapPixel(CUpDownCtrlEx::kArrowBitmap, 20 * cell + 5, 11)) down = cell;
    }
    return std::make_pair(up, down);
  };
  const struct {
    const char* what;
    UINT msg;
    int x, y;
    int up, down;
  } steps[] = {
      {"at rest", 0, 0, 0, 0, 0},
      {"over the upper half", WM_MOUSEMOVE, 8, 5, 1, 0},
      {"over the lower half", WM_MOUSEMOVE, 8, 30, 0, 1},
      {"beside the control the looks stay", WM_MOUSEMOVE, 40, 5, 0, 1},
      {"leaving", WM_MOUSELEAVE, 0, 0, 0, 0},
      {"pressing the lower half", WM_LBUTTONDOWN, 8, 30, 0, 2},
      {"releasing", WM_LBUTTONUP, 8, 30, 0, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.msg) ::SendMessageW(spin, step.msg, 0, MAKELPARAM(step.x, step.y));
    EXPECT_EQ(std::make_pair(step.up, step.down), looks());
  }
}

TEST_F(SmallControls, ListBoxExtentFollowsTheWidestLineAndNeverShrinks) {
  auto& list = Keep<CListBoxEx>(nullptr, 0);
  ASSERT_NE(nullptr, list.Create(host_, RECT{10, 60, 110, 160}, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 12));
  auto width = [&](const wchar_t* text) {
    CClientDC dc(list);
    HGDIOBJ old = dc.SelectObject(list.GetFont());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    dc.SelectObject(old);
    return static_cast<LRESULT>(size.cx);
  };
  const wchar_t kWide[] = L"C:\\Program Files\\Quorvane\\监控目录\\很长的文件名.txt";
  EXPECT_EQ(0, list.AddString(L"短行"));
  EXPECT_EQ(width(L"短行") + 3, list.SendMessage(LB_GETHORIZONTALEXTENT));
  list.AddString(kWide);
  list.AddString(L"又一行");
  EXPECT_EQ(width(kWide) + 3, list.SendMessage(LB_GETHORIZONTALEXTENT));
  list.SendMessage(LB_DELETESTRING, 1);
  EXPECT_EQ(width(kWide) + 3, list.SendMessage(LB_GETHORIZONTALEXTENT));
  EXPECT_EQ(3, list.GetCount() + 1);
}

TEST_F(SmallControls, IpAddressFieldGetsSetsAndClears) {
  auto& ip = Keep<CIPAddressCtrlEx>();
  ASSERT_NE(nullptr, ip.Create(host_, RECT{10, 170, 160, 192}, nullptr, WS_CHILD | WS_VISIBLE,
                               WS_EX_CLIENTEDGE, 13));
  EXPECT_EQ(0u, ip.GetExStyle() & WS_EX_CLIENTEDGE);
  DWORD address = 1;
  EXPECT_EQ(0, ip.GetAddress(&address));
  EXPECT_EQ(0u, address);
  ip.SetAddress(MAKEIPADDRESS(192, 168, 1, 20));
  EXPECT_EQ(4, ip.GetAddress(&address));
  EXPECT_EQ(MAKEIPADDRESS(192, 168, 1, 20), address);
  ip.ClearAddress();
  EXPECT_EQ(0, ip.GetAddress(&address));
  EXPECT_EQ(0u, address);
  // Its fields ask it for their colours.
  HWND field = ::GetWindow(ip, GW_CHILD);
  CClientDC dc(field);
  EXPECT_NE(0, ::SendMessageW(ip, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.m_hDC),
                              reinterpret_cast<LPARAM>(field)));
  EXPECT_EQ(RGB(0xF2, 0xF0, 0xD4), ::GetBkColor(dc));
}

class RichEditLog : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    CUIResource::Init();
    log_ = RichEditCreate(host_, 14,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                          CUIResource::GetSkinBitmap(), 3000);
    ASSERT_NE(nullptr, log_);
    ::MoveWindow(log_, 10, 200, 300, 120, TRUE);
  }
  void TearDown() override {
    ::DestroyWindow(log_);
    ControlTest::TearDown();
    CUIResource::Uninit();
  }
  LONG Length() const {
    GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
    return static_cast<LONG>(::SendMessageW(log_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
  }
  // The format of the characters [from, to).
  CHARFORMAT2W Format(LONG from, LONG to) const {
    CHARRANGE range{from, to};
    ::SendMessageW(log_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    ::SendMessageW(log_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  }

  HWND log_ = nullptr;
};

TEST_F(RichEditLog, AppendsRunsAtTheEndInTheirOwnFormat) {
  RichEditAppendText(log_, L"正常", FALSE, RGB(0, 0, 0));
  RichEditAppendText(log_, L"失败", TRUE, RGB(255, 0, 0));
  ::SendMessageW(log_, EM_SETSEL, 0, 0);  // the user clicks at the start
  RichEditAppendNewLine(log_);
  RichEditAppendText(log_, L"完成", FALSE, RGB(0, 0, 255));
  wchar_t text[32] = L"";
  ::GetWindowTextW(log_, text, 32);
  EXPECT_STREQ(L"正常失败\r\n完成", text);
  const struct {
    LONG from;
    COLORREF colour;
    bool bold;
  } runs[] = {{0, RGB(0, 0, 0), false}, {2, RGB(255, 0, 0), true}, {5, RGB(0, 0, 255), false}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.from);
    const CHARFORMAT2W format = Format(run.from, run.from + 2);
    EXPECT_EQ(run.colour, format.crTextColor);
    EXPECT_EQ(run.bold, (format.dwEffects & CFE_BOLD) != 0);
  }
}

TEST_F(RichEditLog, HoldsALongLogWholeAndClearsToAnEmptyReadOnlyLog) {
  const std::wstring line(999, L'x');
  for (int i = 0; i < 40; ++i) {
    RichEditAppendText(log_, line.c_str(), FALSE, RGB(0, 128, 0));
    RichEditAppendNewLine(log_);
  }
  EXPECT_EQ(40000, Length());
  RichEditClear(log_);
  EXPECT_EQ(0, Length());
  EXPECT_NE(0u, static_cast<DWORD>(::GetWindowLongW(log_, GWL_STYLE)) & ES_READONLY);
}

// Each control paints once for an invalidation, not again and again.
TEST_F(SmallControls, PaintingDoesNotAskForTheNextPaint) {
  auto& edit = Keep<PaintCounted<CEditEx>>();
  RECT rc{10, 10, 210, 34};
  edit.Create(host_, &rc, L"12", WS_CHILD | WS_VISIBLE, 0, 1);
  auto& spin = Keep<PaintCounted<CUpDownCtrlEx>>();
  spin.Create(host_, RECT{300, 10, 316, 50}, nullptr, WS_CHILD | WS_VISIBLE, 0, 2);
  auto& combo = Keep<PaintCounted<CComboBoxCtrlEx>>();
  combo.Create(host_, RECT{10, 60, 200, 200}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, 3);
  combo.SetCurSel(combo.AddString(L"全部"));
  const std::vector<std::pair<HWND, int*>> controls = {
      {edit, &edit.paints}, {spin, &spin.paints}, {combo, &combo.paints}};
  for (const auto& c : controls) ::InvalidateRect(c.first, nullptr, TRUE);
  ASSERT_TRUE(testenv::PumpUntil([&] {
    for (const auto& c : controls)
      if (*c.second == 0) return false;
    return true;
  }, 1000));
  for (const auto& c : controls) *c.second = 0;
  testenv::PumpFor(300);
  for (const auto& c : controls) EXPECT_GE(1, *c.second) << *c.second << " more paints";
}

}  // namespace
