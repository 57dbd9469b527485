// The shared skin bitmap, font pair and rich-edit library, and the header gradient.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/CGradient.h"
#include "controls/CUIFontPair.h"
#include "controls/CUIResource.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"

namespace {

LOGFONTW FontOf(HFONT font) {
  LOGFONTW lf{};
  ::GetObjectW(font, sizeof lf, &lf);
  return lf;
}

}  // namespace

TEST(UIResource, HoldsSkinFontsAndRichEditOnlyBetweenInitAndUninit) {
  ASSERT_EQ(nullptr, CUIResource::GetSkinBitmap());
  EXPECT_EQ(0, CUIResource::Init());
  BITMAP bm{};
  ASSERT_TRUE(::GetObjectW(CUIResource::GetSkinBitmap(), sizeof bm, &bm));
  EXPECT_EQ(117, bm.bmWidth);
  EXPECT_EQ(39, bm.bmHeight);
  EXPECT_EQ(-12, FontOf(CUIFontPair::GetFont()).lfHeight);
  EXPECT_EQ(FW_NORMAL, FontOf(CUIFontPair::GetFont()).lfWeight);
  EXPECT_EQ(FW_BOLD, FontOf(CUIFontPair::GetBoldFont()).lfWeight);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  EXPECT_TRUE(::GetClassInfoExW(nullptr, L"RichEdit20W", &wc));

  // A second Init replaces, it does not leak what the first one made.
  const DWORD before = GdiObjectCount();
  CUIResource::Init();
  EXPECT_EQ(before, GdiObjectCount());

  EXPECT_EQ(0, CUIResource::Uninit());
  EXPECT_EQ(nullptr, CUIResource::GetSkinBitmap());
  EXPECT_EQ(nullptr, CUIFontPair::GetFont());
  EXPECT_EQ(nullptr, CUIFontPair::GetBoldFont());
}

// Each row takes the colour of the one band that covers it: white on top when the
// image is at least 256 rows, one step short of the bottom colour at the bottom.
TEST(Gradient, EveryRowHasItsBandsColour) {
  const struct {
    int height;
    COLORREF top, bottom;
  } cases[] = {{100, RGB(255, 255, 255), 0xF5C2A9}, {256, RGB(0, 0, 0), RGB(255, 128, 2)},
               {300, RGB(10, 200, 30), RGB(200, 10, 250)}, {1, RGB(9, 9, 9), RGB(0, 0, 0)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    DibCanvas canvas(4, c.height, RGB(1, 2, 3));
    CGradient gradient(SIZE{4, c.height});
    gradient.Draw(canvas.Dc(), c.top, c.bottom);
    ASSERT_TRUE(gradient.Blit(canvas.Dc(), 0, 0, 0, 0, 4, c.height, SRCCOPY));
    for (int y = 0; y < c.height; ++y) {
      int band = 255;
      while (band > 0 && band * c.height / 256 > y) --band;
      auto channel = [&](int top, int bottom) {
        return static_cast<int>(top + band * ((bottom - top) / 256.0));
      };
      const COLORREF expected =
          RGB(channel(GetRValue(c.top), GetRValue(c.bottom)),
              channel(GetGValue(c.top), GetGValue(c.bottom)),
              channel(GetBValue(c.top), GetBValue(c.bottom)));
      ASSERT_EQ(expected, canvas.At(3, y)) << "row " << y;
    }
  }
}

TEST(Gradient, RepeatedDrawsLeaveTheGdiObjectCountFlat) {
  DibCanvas canvas(50, 20);
  const DWORD before = GdiObjectCount();
  ASSERT_GT(before, 0u);
  {
    CGradient gradient(SIZE{50, 20});
    for (int i = 0; i < 1000; ++i) gradient.Draw(canvas.Dc(), RGB(255, 255, 255), 0xF5C2A9);
    EXPECT_LE(GdiObjectCount(), before + 2);
  }
  for (int i = 0; i < 1000; ++i) {
    CGradient gradient(SIZE{50, 20});
    gradient.Draw(canvas.Dc(), RGB(255, 255, 255), 0xF5C2A9);
  }
  EXPECT_EQ(before, GdiObjectCount());
}
