// The up-down control's looks, the list box's horizontal extent, the IP address field,
// the rich-edit log, and painting that does not ask for the next paint.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
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

TEST_F(SmallControls, UpDownShowsTheLookOfEachHalfWhileItLasts) {
  // 16 x 40: the upper half is rows 0..18, the lower half rows 21..39.
  HWND spin = Keep<CUpDownCtrlEx>().Create(host_, RECT{300, 10, 316, 50}, nullptr, WS_CHILD | WS_VISIBLE);
  ::InvalidateRect(spin, nullptr, FALSE);
  auto looks = [&] {  // the cell each half shows: 0 normal, 1 hovered, 2 pressed
    return std::make_pair(ShownCell(spin, 4, 5, CUpDownCtrlEx::kArrowBitmap, 5, 2),
                          ShownCell(spin, 4, 26, CUpDownCtrlEx::kArrowBitmap, 5, 11));
  };
  const struct { const char* what; UINT msg; int x, y; std::pair<int, int> cells; } steps[] = {
      {"over the upper half", WM_MOUSEMOVE, 8, 5, {1, 0}},
      {"over the lower half", WM_MOUSEMOVE, 8, 30, {0, 1}},
      {"leaving", WM_MOUSELEAVE, 0, 0, {0, 0}},
      {"pressing the lower half", WM_LBUTTONDOWN, 8, 30, {0, 2}},
      {"releasing", WM_LBUTTONUP, 8, 30, {0, 0}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    ::SendMessageW(spin, step.msg, 0, MAKELPARAM(step.x, step.y));
    EXPECT_EQ(step.cells, looks());
  }
}

TEST_F(SmallControls, ListBoxExtentFollowsTheWidestLineAndNeverShrinks) {
  auto& list = Keep<CListBoxEx>(nullptr, 0);
  ASSERT_NE(nullptr, list.Create(host_, RECT{10, 60, 110, 160}, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL));
  const wchar_t kWide[] = L"C:\\Program Files\\Quorvane\\监控目录\\很长的文件名.txt";
  for (const wchar_t* text : {L"短行", kWide, L"又一行"}) list.AddString(text);
  list.SendMessage(LB_DELETESTRING, 1);
  CClientDC dc(list);
  dc.SelectObject(list.GetFont());
  SIZE wide{};
  ::GetTextExtentPoint32W(dc, kWide, static_cast<int>(wcslen(kWide)), &wide);
  EXPECT_EQ(wide.cx + 3, list.SendMessage(LB_GETHORIZONTALEXTENT));
}

TEST_F(SmallControls, IpAddressFieldGetsSetsAndClears) {
  auto& ip = Keep<CIPAddressCtrlEx>();
  ASSERT_NE(nullptr, ip.Create(host_, RECT{10, 170, 160, 192}, nullptr, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE));
  EXPECT_EQ(0u, ip.GetExStyle() & WS_EX_CLIENTEDGE);
  DWORD address = 1;
  for (DWORD set : {static_cast<DWORD>(MAKEIPADDRESS(192, 168, 1, 20)), 0ul}) {
    set ? ip.SetAddress(set) : ip.ClearAddress();
    EXPECT_EQ(set ? 4 : 0, ip.GetAddress(&address));
    EXPECT_EQ(set, address);
  }
}

// Runs go to the end whatever the user selected, in their own format, earlier runs
// keeping theirs; the log holds more than 32K characters and clears to read-only.
TEST_F(SmallControls, RichEditLogAppendsAtTheEndAndHoldsLongLogsWhole) {
  CUIResource::Init();
  HWND log = RichEditCreate(host_, 14, WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                            CUIResource::GetSkinBitmap(), 3000);
  ASSERT_NE(nullptr, log);
  HWND frame = ::GetDlgItem(host_, 14);  // the skinned frame has the log's place and id
  ASSERT_NE(log, frame);
  ::MoveWindow(frame, 10, 200, 300, 120, TRUE);  // as a layout places it
  RichEditAppendText(log, L"正常", FALSE, RGB(0, 0, 0));
  RichEditAppendText(log, L"失败", TRUE, RGB(255, 0, 0));
  ::SendMessageW(log, EM_SETSEL, 0, 0);  // the user clicks at the start
  RichEditAppendNewLine(log);
  RichEditAppendText(log, L"完成", FALSE, RGB(0, 0, 255));
  wchar_t text[32] = L"";
  ::GetWindowTextW(log, text, 32);
  EXPECT_STREQ(L"正常失败\r\n完成", text);
  for (const auto& run : {std::make_pair(0, RGB(0, 0, 0)), std::make_pair(2, RGB(255, 0, 0)), std::make_pair(5, RGB(0, 0, 255))}) {
    CHARRANGE range{run.first, run.first + 2};
    ::SendMessageW(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    ::SendMessageW(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(run.second, format.crTextColor) << run.first;
    EXPECT_EQ(run.first == 2, (format.dwEffects & CFE_BOLD) != 0) << run.first;  // "失败" only
  }
  RichEditClear(log);
  std::wstring lines;  // 40 lines of 999 characters and a paragraph mark
  for (int i = 0; i < 40; ++i) lines += std::wstring(999, L'x') + L"\r";
  RichEditAppendText(log, lines.c_str(), FALSE, 0);
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  EXPECT_EQ(40000, ::SendMessageW(log, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
  RichEditClear(log);
  EXPECT_EQ(0, ::GetWindowTextLengthW(log));
  EXPECT_NE(0, ::GetWindowLongW(log, GWL_STYLE) & ES_READONLY);
  ::DestroyWindow(log);
  CUIResource::Uninit();
}

// A log kept to its latest lines drops the oldest whole lines in batches, the newest
// staying last: it grows to a bound and its batch, then goes back to the bound at once,
// in rows or in characters; a line wrapped over rows goes whole or stays whole, and the
// newest line stays even when it alone passes a bound.
TEST_F(SmallControls, RichEditLogKeepsItsLatestWholeLinesCuttingABatchAtOnce) {
  CUIResource::Init();
  const DWORD kRows = WS_HSCROLL | ES_AUTOHSCROLL;  // one row per line; 0: wrapped
  const LONG kAny = 1000000;                         // no bound in characters
  const struct {
    const char* what;
    DWORD wrap;
    int width, chars;  // the frame's width, characters per line
    int appended, kept;
    LONG keptChars;
    int batch;
    const wchar_t* first;  // the first line left; null: lines of several rows are left
    int cuts, most;        // cuts made, most rows after an append
  } rows[] = {
      {"under the bound", kRows, 300, 10, 4, 5, kAny, 3, L"1 ", 0, 4},
      {"within the batch", kRows, 300, 10, 8, 5, kAny, 3, L"1 ", 0, 8},
      {"past the batch", kRows, 300, 200, 9, 5, kAny, 3, L"5 ", 1, 8},
      {"a batch later", kRows, 300, 10, 12, 5, kAny, 3, L"5 ", 1, 8},
      {"two batches", kRows, 300, 10, 13, 5, kAny, 3, L"9 ", 2, 8},
      // 203 characters a line: a cut at 1,218 (past 1,000 and 60) leaves 812.
      {"characters past their batch", kRows, 300, 200, 10, 50, 1000, 3, L"7 ", 3, 5},
      {"a line longer than the characters kept", kRows, 300, 300, 4, 50, 100, 3, L"4 ", 3, 1},
      {"wrapped lines", 0, 120, 30, 8, 5, kAny, 0, nullptr, -1, -1},
      {"a wrapped line of more rows than kept", 0, 120, 100, 4, 5, kAny, 0, L"4 ", 3, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    HWND log = RichEditCreate(host_, 15, WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | row.wrap,
                              CUIResource::GetSkinBitmap(), 3001);
    ASSERT_NE(nullptr, log);
    ::MoveWindow(::GetDlgItem(host_, 15), 10, 200, row.width, 120, TRUE);
    std::vector<std::wstring> lines;
    int cuts = 0;
    LRESULT most = 0;
    for (int i = 1; i <= row.appended; ++i) {
      lines.push_back(std::to_wstring(i) + L" " + std::wstring(row.chars, L'字'));
      RichEditAppendText(log, lines.back().c_str(), FALSE, 0);
      RichEditAppendNewLine(log);
      if (RichEditKeepLastLines(log, row.kept, row.keptChars, row.batch) > 0) ++cuts;
      most = std::max(most, ::SendMessageW(log, EM_GETLINECOUNT, 0, 0) - 1);
    }
    std::vector<wchar_t> buffer(::GetWindowTextLengthW(log) + 1);
    ::GetWindowTextW(log, buffer.data(), static_cast<int>(buffer.size()));
    const std::wstring text = buffer.data();
    const LRESULT shownRows = ::SendMessageW(log, EM_GETLINECOUNT, 0, 0) - 1;
    // What is left is a run of whole lines ending with the newest.
    std::wstring tail;
    size_t left = 0;
    for (auto line = lines.rbegin(); line != lines.rend() && tail.size() < text.size(); ++line, ++left)
      tail = *line + L"\r\n" + tail;
    EXPECT_EQ(tail, text);
    if (left > 1) {  // within both bounds and their batches
      GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
      EXPECT_GE(row.kept + row.batch, shownRows);
      EXPECT_GE(row.keptChars + row.keptChars * row.batch / row.kept,
                ::SendMessageW(log, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    }
    if (row.first) {
      EXPECT_EQ(0u, text.find(row.first));
      EXPECT_EQ(row.cuts, cuts);
      if (row.most >= 0) {
        EXPECT_EQ(row.most, most) << "rows after an append";
      }
    } else {
      EXPECT_GT(shownRows, static_cast<LRESULT>(left)) << "lines of several rows";
    }
    ::DestroyWindow(::GetDlgItem(host_, 15));
  }
  CUIResource::Uninit();
}

// While lines come in and the oldest go, the view follows the newest line unless the
// user has scrolled up (then it stays on the line the user looks at), and the user's
// selection stays on its text.
TEST_F(SmallControls, RichEditLogKeepsTheUsersViewAndSelectionWhileLinesComeAndGo) {
  CUIResource::Init();
  HWND log = RichEditCreate(host_, 16,
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                            CUIResource::GetSkinBitmap(), 3002);
  ASSERT_NE(nullptr, log);
  ::MoveWindow(::GetDlgItem(host_, 16), 10, 200, 300, 120, TRUE);
  const int kept = 20, batch = 5;
  int next = 1;
  auto append = [&](int count) {
    for (int i = 0; i < count; ++i, ++next) {
      RichEditAppendText(log, (L"第" + std::to_wstring(next) + L"行 运行失败").c_str(), FALSE, 0);
      RichEditAppendNewLine(log);
      RichEditKeepLastLines(log, kept, 100000, batch);
    }
  };
  auto lineText = [&](LRESULT row) {
    const LONG start = static_cast<LONG>(::SendMessageW(log, EM_LINEINDEX, row, 0));
    const LONG length = static_cast<LONG>(::SendMessageW(log, EM_LINELENGTH, start, 0));
    std::vector<wchar_t> text(length + 1);
    TEXTRANGEW range{{start, start + length}, text.data()};
    ::SendMessageW(log, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return std::wstring(text.data());
  };
  auto topLine = [&] { return lineText(::SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0)); };
  auto newestShown = [&] {  // the newest line's row lies in the client area
    const LRESULT row = ::SendMessageW(log, EM_GETLINECOUNT, 0, 0) - 2;
    POINTL at{};
    ::SendMessageW(log, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), ::SendMessageW(log, EM_LINEINDEX, row, 0));
    RECT client{};
    ::GetClientRect(log, &client);
    return at.y >= 0 && at.y < client.bottom;
  };
  auto selected = [&] {
    wchar_t text[64] = L"";
    CHARRANGE range{};
    ::SendMessageW(log, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax - range.cpMin >= 64) return std::wstring(L"too long");
    ::SendMessageW(log, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  };

  for (int step = 0; step < 12; ++step) {  // past the bound and two cuts
    SCOPED_TRACE(next);
    append(3);
    EXPECT_TRUE(newestShown());
  }
  ASSERT_EQ(L"第36行 运行失败", lineText(::SendMessageW(log, EM_GETLINECOUNT, 0, 0) - 2));

  // The user selects "30行" and scrolls up.
  const LONG at = static_cast<LONG>(::SendMessageW(log, EM_LINEINDEX, 18, 0));  // rows 0..23 hold lines 13..36
  ASSERT_EQ(L"第31行 运行失败", lineText(18));
  CHARRANGE range{at - 9, at - 6};  // a line ends with one paragraph mark
  ::SendMessageW(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  ASSERT_EQ(L"30行", selected());
  for (int i = 0; i < 10 && newestShown(); ++i) ::SendMessageW(log, WM_VSCROLL, SB_LINEUP, 0);
  const std::wstring looked = topLine();
  ASSERT_FALSE(newestShown());
  ASSERT_LE(6, ::SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0)) << "a line the next cut keeps";
  for (int i = 0; i < 6; ++i) {  // a cut among them, the selected line kept
    SCOPED_TRACE(next);
    append(1);
    EXPECT_EQ(L"30行", selected());
    EXPECT_EQ(looked, topLine());
    EXPECT_FALSE(newestShown());
  }
  EXPECT_EQ(L"第19行 运行失败", lineText(0)) << "cut once";

  // Back at the bottom, the view follows again; a selection that went is no more.
  ::SendMessageW(log, WM_VSCROLL, SB_BOTTOM, 0);
  append(2 * batch + 2);  // two cuts, the second taking line 30
  EXPECT_TRUE(newestShown());
  EXPECT_EQ(L"", selected());
  ::DestroyWindow(::GetDlgItem(host_, 16));
  CUIResource::Uninit();
}

// A long line does not take the view sideways: while the view follows the newest line
// it shows the start of the lines, and a place the user scrolled to sideways stays, as
// one scrolled up does. A text filled before the control has its size opens at its
// start, and so does one filled whole and then shown from its start.
TEST_F(SmallControls, RichEditLogShowsTheStartOfTheLinesUnlessTheUserScrolledSideways) {
  CUIResource::Init();
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
  HWND log = RichEditCreate(host_, 17, style | ES_AUTOHSCROLL, CUIResource::GetSkinBitmap(), 3003);
  ASSERT_NE(nullptr, log);
  ::MoveWindow(::GetDlgItem(host_, 17), 10, 200, 300, 120, TRUE);
  const std::wstring wide = L"运行失败      " + std::wstring(1000, L'x') + L"目标主机不可达";
  auto scroll = [](HWND edit) {
    POINT at{};
    ::SendMessageW(edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    return at;
  };
  auto newestShown = [&] {  // the newest line's start lies in the client area
    POINTL at{};
    const LRESULT row = ::SendMessageW(log, EM_GETLINECOUNT, 0, 0) - 2;
    ::SendMessageW(log, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), ::SendMessageW(log, EM_LINEINDEX, row, 0));
    RECT client{};
    ::GetClientRect(log, &client);
    return at.x >= 0 && at.x < client.right && at.y >= 0 && at.y < client.bottom;
  };
  enum User { kNothing, kSideways, kBack };
  const struct {
    const char* what;
    User user;  // what the user does first
    const wchar_t* line;
    int count;
    bool follows;
  } steps[] = {
      {"short lines", kNothing, L"第1行 运行成功", 10, true},
      {"a long line", kNothing, wide.c_str(), 1, true},
      {"short lines after it", kNothing, L"第2行 运行成功", 3, true},
      {"the user scrolls sideways", kSideways, L"第3行 运行成功", 3, false},
      {"a long line meanwhile", kNothing, wide.c_str(), 1, false},
      {"back at the start and the newest", kBack, wide.c_str(), 2, true},
  };
  POINT kept{};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.user == kSideways) {
      ::SendMessageW(log, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 400), 0);
      kept = scroll(log);
      ASSERT_EQ(400, kept.x);
    } else if (step.user == kBack) {
      ::SendMessageW(log, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
      ::SendMessageW(log, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0xFFFF), 0);
    }
    for (int i = 0; i < step.count; ++i) {
      RichEditAppendText(log, step.line, FALSE, 0);
      RichEditAppendNewLine(log);
    }
    if (step.follows) {
      EXPECT_EQ(0, scroll(log).x);
      EXPECT_TRUE(newestShown());
    } else {
      EXPECT_EQ(kept.x, scroll(log).x);
      EXPECT_EQ(kept.y, scroll(log).y);
    }
  }

  // Filled before the dialog's layout gives it a place (the audit detail), and filled
  // whole in its place, then shown from its start.
  HWND text = RichEditCreate(host_, 18, style | ES_WANTRETURN, CUIResource::GetSkinBitmap(), 3010);
  ASSERT_NE(nullptr, text);
  auto fill = [&] {
    for (int i = 0; i < 12; ++i) {
      RichEditAppendText(text, i % 4 == 3 ? wide.c_str() : L"审计详细:", FALSE, 0);
      RichEditAppendNewLine(text);
    }
  };
  fill();
  ::MoveWindow(::GetDlgItem(host_, 18), 10, 10, 380, 100, TRUE);
  EXPECT_EQ(0, scroll(text).x);
  EXPECT_EQ(0, scroll(text).y);
  RichEditClear(text);
  fill();
  ASSERT_NE(0, scroll(text).y) << "the view followed the text down";
  RichEditShowStart(text);
  EXPECT_EQ(0, scroll(text).x);
  EXPECT_EQ(0, scroll(text).y);
  ::DestroyWindow(::GetDlgItem(host_, 18));
  ::DestroyWindow(::GetDlgItem(host_, 17));
  CUIResource::Uninit();
}

// An invalidated control paints once, not again and again.
TEST_F(SmallControls, PaintingDoesNotAskForTheNextPaint) {
  auto& edit = Keep<PaintCounted<CEditEx>>();
  RECT rc{10, 10, 210, 34};
  edit.Create(host_, &rc, L"12", WS_CHILD | WS_VISIBLE);
  auto& spin = Keep<PaintCounted<CUpDownCtrlEx>>();
  spin.Create(host_, RECT{300, 10, 316, 50}, nullptr, WS_CHILD | WS_VISIBLE);
  auto& combo = Keep<PaintCounted<CComboBoxCtrlEx>>();
  combo.Create(host_, RECT{10, 60, 200, 200}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE);
  combo.SetCurSel(combo.AddString(L"全部"));
  const std::vector<std::pair<HWND, int*>> controls{{edit, &edit.paints}, {spin, &spin.paints}, {combo, &combo.paints}};
  for (const auto& c : controls) ::InvalidateRect(c.first, nullptr, TRUE);
  ASSERT_TRUE(testenv::PumpUntil([&] { return edit.paints && spin.paints && combo.paints; }, 1000));
  for (const auto& c : controls) *c.second = 0;
  testenv::PumpFor(300);
  for (const auto& c : controls) EXPECT_GE(1, *c.second) << *c.second << " more paints";
}

}  // namespace
