// The skinned combo box: its face in each button state, its items and a long item.
#include <windows.h>

#include <string>

#include "ControlHost.h"
#include "controls/CComboBoxCtrlEx.h"

namespace {

const COLORREF kCream = RGB(0xF2, 0xF0, 0xD4);

class ComboBox : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_NE(nullptr, combo_.Create(host_, RECT{10, 10, 250, 200}, nullptr,
                                     CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, 55));
    combo_.GetClientRect(&client_);
    for (const wchar_t* text : {L"全部", L"文件", L"注册表"}) combo_.AddString(text);
  }
  // The button cell (0 normal, 1 hovered, 2 pressed) that a print of the face shows,
  // and the one the window shows once its pending paint has run.
  int ButtonCell() {
    DibCanvas canvas(client_.Width(), client_.Height());
    Print(combo_, canvas);
    return CellOf(canvas.At(client_.right - 19 + 3, client_.top + 4));
  }
  int ScreenCell() {
    combo_.UpdateWindow();
    HDC dc = ::GetDC(combo_);
    const COLORREF shown = ::GetPixel(dc, client_.right - 19 + 3, client_.top + 4);
    ::ReleaseDC(combo_, dc);
    return CellOf(shown);
  }
  static int CellOf(COLORREF shown) {
    for (int cell = 0; cell < 3; ++cell)
      if (shown == BitmapPixel(CComboBoxCtrlEx::kDefaultButtonBitmap, 20 * cell + 3, 3)) return cell;
    return -1;
  }
  // Pixels that are not the cream fill in [x0, x1) of the text row of a print.
  static int Ink(const DibCanvas& canvas, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += canvas.At(x, y) != kCream;
    return n;
  }

  CComboBoxCtrlEx combo_;
  CRect client_;
};

TEST_F(ComboBox, FaceShowsFrameFillSelectionAndTheButtonOfTheMoment) {
  DibCanvas canvas(client_.Width(), client_.Height());
  Print(combo_, canvas);
  EXPECT_EQ(RGB(0, 0, 0), canvas.At(0, 0));
  EXPECT_EQ(kCream, canvas.At(2, 2));
  const int textRight = client_.right - 19;
  EXPECT_EQ(0, Ink(canvas, 1, textRight, 1, client_.bottom - 1)) << "no selection, no text";
  combo_.SetCurSel(2);
  Print(combo_, canvas);
  EXPECT_LT(0, Ink(canvas, 1, textRight, 1, client_.bottom - 1));

  const int right = client_.right;
  const struct {
    const char* what;
    UINT msg;
    int x;
    int cell;
  } steps[] = {
      {"press left of the button", WM_LBUTTONDOWN, 10, 0},
      {"release", WM_LBUTTONUP, 10, 0},
      {"hover the button strip", WM_MOUSEMOVE, right - 30, 1},
      {"leave", WM_MOUSELEAVE, 0, 0},
      {"press the button", WM_LBUTTONDOWN, right - 5, 2},
      {"release", WM_LBUTTONUP, right - 5, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    ::SendMessageW(combo_, step.msg, step.msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                   MAKELPARAM(step.x, 5));
    EXPECT_EQ(step.cell, ScreenCell()) << "as painted";
    EXPECT_EQ(step.cell, ButtonCell()) << "as printed";
    if (step.msg == WM_LBUTTONUP) combo_.SendMessage(CB_SHOWDROPDOWN, FALSE);
  }
}

TEST_F(ComboBox, ItemsSelectedWhiteOnOrangeOthersBlackOnCream) {
  for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
    SCOPED_TRACE(state);
    DibCanvas canvas(120, 16, RGB(1, 2, 3));
    DRAWITEMSTRUCT item{ODT_COMBOBOX, 55, 1, ODA_DRAWENTIRE, state, combo_, canvas.Dc(),
                        {0, 0, 120, 16}, 0};
    combo_.DrawItem(&item);
    const COLORREF fill = state ? RGB(0xFF, 0x8C, 0x00) : kCream;
    const COLORREF ink = state ? RGB(0xFF, 0xFF, 0xFF) : RGB(0, 0, 0);
    EXPECT_EQ(fill, canvas.At(1, 1));
    int inked = 0;  // text pixels near the text colour
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 120; ++x) inked += abs(GetGValue(canvas.At(x, y)) - GetGValue(ink)) < 0x70;
    EXPECT_LT(4, inked);
  }
}

// A 300-character item is read whole and cut at its end, so its start stays in view:
// both halves of the text place show the wide letters, not the dots of its second half.
TEST_F(ComboBox, ALongItemKeepsItsStartInView) {
  const std::wstring text = std::wstring(150, L'W') + std::wstring(150, L'.');
  combo_.SetCurSel(combo_.AddString(text.c_str()));
  DibCanvas face(client_.Width(), client_.Height());
  Print(combo_, face);
  const int mid = (client_.right - 19) / 2;
  const int left = Ink(face, 1, mid, 3, client_.bottom - 1);
  const int right = Ink(face, mid, client_.right - 40, 3, client_.bottom - 1);
  EXPECT_LT(left / 2, right);

  DibCanvas list(client_.Width(), 16, kCream);
  DRAWITEMSTRUCT item{ODT_COMBOBOX, 55, 3, ODA_DRAWENTIRE, 0, combo_, list.Dc(),
                      {0, 0, client_.Width(), 16}, 0};
  combo_.DrawItem(&item);
  EXPECT_LT(Ink(list, 0, client_.Width() / 2, 0, 16) / 2,
            Ink(list, client_.Width() / 2, client_.Width() - 20, 0, 16));
}

}  // namespace
