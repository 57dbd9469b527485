// The shared control resources and the drawing toolkit, drawn into DIB canvases.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CBoldFontSelector.h"
#include "controls/CBrushSelector.h"
#include "controls/CBufferDC.h"
#include "controls/CGradient.h"
#include "controls/CPenSelector.h"
#include "controls/CSysFontSet.h"
#include "controls/CUIFontPair.h"
#include "controls/CUIResource.h"
#include "controls/DrawHelpers.h"
#include "controls/HLSColor.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "support/MakeBitmap.h"

namespace {

const COLORREF kBack = RGB(1, 2, 3), kMagenta = RGB(255, 0, 255), kDark = RGB(0x10, 0x20, 0x30);

// The 4 x 4 source of the blits: each pixel its own colour, (3, 3) magenta.
COLORREF Src(int x, int y) { return x == 3 && y == 3 ? kMagenta : RGB(x * 60, y * 60, 9); }
DWORD SrcPixel(int x, int y) { return RGB(GetBValue(Src(x, y)), GetGValue(Src(x, y)), GetRValue(Src(x, y))); }

// Gradient band i: each channel i steps of 1/256 from top towards bottom.
COLORREF Band(COLORREF top, COLORREF bottom, int i) {
  auto at = [i](int t, int b) { return static_cast<int>(t + i * ((b - t) / 256.0)); };
  return RGB(at(GetRValue(top), GetRValue(bottom)), at(GetGValue(top), GetGValue(bottom)),
             at(GetBValue(top), GetBValue(bottom)));
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

LOGFONTW FontOf(HFONT font) {
  LOGFONTW lf{};
  ::GetObjectW(font, sizeof lf, &lf);
  return lf;
}

}  // namespace

// The leak checks here and in the grid's tests trust this count: it must see an object
// come and go, of each kind they watch.
TEST(GdiObjectCount, RisesWithEachObjectMadeAndFallsWhenItIsDeleted) {
  const DWORD before = GdiObjectCount();
  HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
  HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"SimSun");
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(dc, 4, 4);
  EXPECT_EQ(before + 4, GdiObjectCount());
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::DeleteObject(font);
  ::DeleteObject(brush);
  EXPECT_EQ(before, GdiObjectCount());
}

TEST(UIResource, HoldsSkinFontsAndRichEditOnlyBetweenInitAndUninit) {
  ASSERT_EQ(nullptr, CUIResource::GetSkinBitmap());
  CUIResource::Init();
  BITMAP bm{};
  ASSERT_TRUE(::GetObjectW(CUIResource::GetSkinBitmap(), sizeof bm, &bm));
  EXPECT_TRUE(bm.bmWidth == 117 && bm.bmHeight == 39);
  EXPECT_TRUE(FontOf(CUIFontPair::GetFont()).lfHeight == -12 && FontOf(CUIFontPair::GetBoldFont()).lfWeight == FW_BOLD);
  EXPECT_NE(nullptr, ::GetModuleHandleW(L"riched20.dll"));
  const DWORD objects = GdiObjectCount();
  CUIResource::Init();  // a second Init replaces what the first made
  EXPECT_EQ(objects, GdiObjectCount());
  CUIResource::Uninit();
  EXPECT_TRUE(!CUIResource::GetSkinBitmap() && !CUIFontPair::GetBoldFont());
}

// Each row takes the colour of the one band that covers it: white on top when the
// image has 256 rows or more, one step short of the bottom colour at the bottom.
TEST(Gradient, EveryRowHasItsBandsColour) {
  const struct { int height; COLORREF top, bottom; } cases[] = {
      {100, RGB(255, 255, 255), 0xF5C2A9}, {256, RGB(0, 0, 0), RGB(255, 128, 2)},
      {300, RGB(10, 200, 30), RGB(200, 10, 250)}, {1, RGB(9, 9, 9), RGB(0, 0, 0)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    DibCanvas canvas(4, c.height, kBack);
    CGradient gradient(SIZE{4, c.height});
    gradient.Draw(canvas.Dc(), c.top, c.bottom);
    ASSERT_TRUE(gradient.Blit(canvas.Dc(), 0, 0, 0, 0, 4, c.height, SRCCOPY));
    for (int y = 0, band = 0; y < c.height; ++y) {
      while ((band + 1) * c.height / 256 <= y) ++band;
      ASSERT_EQ(Band(c.top, c.bottom, band), canvas.At(3, y)) << "row " << y;
    }
  }
}

TEST(Gradient, RepeatedDrawsLeaveTheGdiObjectCountFlat) {
  DibCanvas canvas(50, 20);
  const DWORD before = GdiObjectCount();
  {
    CGradient gradient(SIZE{50, 20});
    for (int i = 0; i < 1000; ++i) gradient.Draw(canvas.Dc(), RGB(255, 255, 255), 0xF5C2A9);
  }
  EXPECT_EQ(before, GdiObjectCount());
}

TEST(HLSColor, ConvertsBothWaysAndTransforms) {
  const struct { COLORREF rgb; DWORD hls; } cases[] = {
      {RGB(255, 0, 0), 0xFF8000}, {RGB(0, 255, 0), 0xFF8055}, {RGB(0, 0, 255), 0xFF80AA},
      {RGB(255, 255, 255), 0x00FF00}, {RGB(0, 0, 0), 0}, {RGB(128, 128, 128), 0x008000},
      {RGB(0x40, 0x80, 0xC0), 0x818095}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rgb);
    EXPECT_EQ(c.hls, RGBtoHLS(c.rgb));
    EXPECT_TRUE(Near(c.rgb, HLStoRGB(c.hls), 3)) << HLStoRGB(c.hls);
  }
  const COLORREF blue = RGB(0x40, 0x80, 0xC0);
  EXPECT_TRUE(HLS_TRANSFORM(blue, 100, 0) == RGB(255, 255, 255) && HLS_TRANSFORM(blue, -100, 0) == 0);
  EXPECT_EQ(RGB(128, 128, 128), HLS_TRANSFORM(blue, 0, -100));
  EXPECT_TRUE(Near(RGB(0x9F, 0xBF, 0xE0), HLS_TRANSFORM(blue, 50, 0), 3));
}

TEST(DrawHelpers, EachRoutinePutsItsPixels) {
  CBitmap bitmap(MakeBitmap(4, 4, SrcPixel));
  CBitmap shape(MakeBitmap(6, 3, [](int x, int y) { return (y == 1 && x > 1) || !(x + y) ? 0x102030u : 0xFF00FFu; }));
  const COLORREF stops[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  const RECT inner = {2, 2, 8, 8};
  struct Probe { int x, y; COLORREF color; };
  const struct { const char* name; std::function<void(HDC)> draw; std::vector<Probe> probes; } cases[] = {
      {"whole", [&](HDC dc) { DrawBitmap(dc, 1, 1, bitmap); },
       {{1, 1, Src(0, 0)}, {4, 1, Src(3, 0)}, {4, 4, kMagenta}, {5, 5, kBack}}},
      {"transparent", [&](HDC dc) { DrawBitmap(dc, 1, 1, bitmap, kMagenta); }, {{3, 4, Src(2, 3)}, {4, 4, kBack}}},
      {"part", [&](HDC dc) { DrawBitmapPart(dc, 0, 0, bitmap, RECT{1, 1, 3, 3}); },
       {{0, 0, Src(1, 1)}, {1, 1, Src(2, 2)}, {2, 0, kBack}}},
      {"stretched", [&](HDC dc) { StretchBitmapPart(dc, RECT{0, 0, 8, 8}, bitmap, RECT{0, 0, 4, 4}); },
       {{0, 0, Src(0, 0)}, {3, 5, Src(1, 2)}, {7, 7, kMagenta}, {8, 8, kBack}}},
      {"nine grid", [&](HDC dc) { DrawNineGrid(dc, RECT{0, 0, 10, 12}, bitmap, RECT{1, 1, 1, 1}); },
       {{9, 0, Src(3, 0)}, {0, 11, Src(0, 3)}, {0, 5, Src(0, 1)}, {0, 6, Src(0, 2)}, {4, 0, Src(1, 0)},
        {5, 0, Src(2, 0)}, {10, 0, kBack}}},
      {"three-part strip", [&](HDC dc) { DrawBitmapHorz3(dc, RECT{0, 0, 12, 4}, bitmap, 1, 1); },
       {{0, 0, Src(0, 0)}, {11, 3, kMagenta}, {1, 1, Src(1, 1)}, {10, 2, Src(2, 2)}, {12, 0, kBack}}},
      {"region",
       [&](HDC dc) { ::FillRgn(dc, CRgn(BitmapToRegion(shape, kMagenta)), CBrush(::CreateSolidBrush(0))); },
       {{0, 0, 0}, {1, 0, kBack}, {1, 1, kBack}, {2, 1, 0}, {5, 1, 0}, {6, 1, kBack}, {2, 2, kBack}}},
      {"line, frame, fill",
       [&](HDC dc) { FillSolid(dc, inner, kDark), DrawFrame(dc, inner, kMagenta), DrawLine(dc, 0, 0, 5, 0, 0); },
       {{7, 7, kMagenta}, {3, 3, kDark}, {4, 0, 0}, {5, 0, kBack}}},
      // The selectors put white brush and black pen back for the second rectangle.
      {"hollow brush", [&](HDC dc) {
         FillSolid(dc, inner, kDark);
         {
           CPenSelector pen(dc, kMagenta);
           CBrushSelector brush(dc, CBrushSelector::kHollow);
           ::Rectangle(dc, 0, 0, 10, 10);
         }
         ::Rectangle(dc, 12, 12, 16, 16);
       }, {{4, 4, kDark}, {0, 9, kMagenta}, {12, 12, 0}, {13, 13, RGB(255, 255, 255)}}},
      {"buffer over the clip box", [&](HDC dc) {
         ::SelectClipRgn(dc, CRgn(::CreateRectRgn(2, 2, 6, 6)));
         FillSolid(CBufferDC(dc), RECT{0, 0, 16, 16}, kDark);
       }, {{3, 3, kDark}, {7, 7, kBack}}},
      {"one stop", [&](HDC dc) { MultiGradientFillRect(dc, inner, stops, 1, TRUE); }, {{2, 6, stops[0]}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DibCanvas canvas(16, 16, kBack);
    c.draw(canvas.Dc());
    for (const Probe& p : c.probes) EXPECT_EQ(p.color, canvas.At(p.x, p.y)) << p.x << "," << p.y;
  }
  DibCanvas wide(100, 10);  // the two-colour fill under it is the skins' own
  EXPECT_TRUE(MultiGradientFillRect(wide.Dc(), RECT{0, 0, 100, 10}, stops, 3, FALSE));
  EXPECT_TRUE(Near(stops[1], wide.At(50, 5), 8) && Near(stops[2], wide.At(99, 5), 8));
}

TEST(SysFontSet, SmallerCopiesOfTheGuiFontAndABoldSelector) {
  const LONG full = std::abs(FontOf(CSysFontSet::GetFont(CSysFontSet::Normal)).lfHeight);
  EXPECT_EQ(full - 1, std::abs(FontOf(CSysFontSet::GetFont(CSysFontSet::Smaller)).lfHeight));
  EXPECT_EQ(full - 6, std::abs(FontOf(CSysFontSet::GetFont(CSysFontSet::Smallest)).lfHeight));
  DibCanvas canvas(4, 4);
  ::SelectObject(canvas.Dc(), CSysFontSet::GetFont(CSysFontSet::Smallest));
  auto weight = [&] { return FontOf(static_cast<HFONT>(::GetCurrentObject(canvas.Dc(), OBJ_FONT))).lfWeight; };
  {
    CBoldFontSelector bold(canvas.Dc());
    EXPECT_EQ(FW_BOLD, weight());
  }
  EXPECT_EQ(FW_NORMAL, weight());
}
