// The drawing toolkit: colour conversions, blits, gradients, regions, selectors.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CBoldFontSelector.h"
#include "controls/CBrushSelector.h"
#include "controls/CBufferDC.h"
#include "controls/CPenSelector.h"
#include "controls/CSysFontSet.h"
#include "controls/DrawHelpers.h"
#include "controls/HLSColor.h"
#include "platform/CGdiObject.h"
#include "support/DibCanvas.h"
#include "support/MakeBitmap.h"

namespace {

const COLORREF kBack = RGB(1, 2, 3);
const COLORREF kMagenta = RGB(255, 0, 255);

// 4 x 4 source: each pixel its own colour, (3, 3) magenta.
COLORREF Src(int x, int y) { return x == 3 && y == 3 ? kMagenta : RGB(x * 60, y * 60, 9); }
DWORD SrcArgb(int x, int y) {
  const COLORREF c = Src(x, y);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace

TEST(HLSColor, ConvertsBothWaysAndTransforms) {
  const struct {
    COLORREF rgb;
    DWORD hls;
  } cases[] = {{RGB(255, 0, 0), 0xFF8000}, {RGB(0, 255, 0), 0xFF8055}, {RGB(0, 0, 255), 0xFF80AA},
               {RGB(255, 255, 255), 0x00FF00}, {RGB(0, 0, 0), 0}, {RGB(128, 128, 128), 0x008000},
               {RGB(0x40, 0x80, 0xC0), 0x818095}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rgb);
    EXPECT_EQ(c.hls, RGBtoHLS(c.rgb));
    EXPECT_TRUE(Near(c.rgb, HLStoRGB(c.hls), 3)) << HLStoRGB(c.hls);
  }
  EXPECT_EQ(RGB(255, 255, 255), HLS_TRANSFORM(RGB(0x40, 0x80, 0xC0), 100, 0));
  EXPECT_EQ(RGB(0, 0, 0), HLS_TRANSFORM(RGB(0x40, 0x80, 0xC0), -100, 0));
  const COLORREF grey = HLS_TRANSFORM(RGB(0x40, 0x80, 0xC0), 0, -100);
  EXPECT_TRUE(GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey));
  EXPECT_TRUE(Near(RGB(0x9F, 0xBF, 0xE0), HLS_TRANSFORM(RGB(0x40, 0x80, 0xC0), 50, 0), 3));
}

TEST(DrawHelpers, BlitsPlaceEverySourcePixel) {
  CBitmap bitmap(MakeBitmap(4, 4, SrcArgb));
  ASSERT_FALSE(bitmap.IsNull());
  struct Probe {
    int x, y;
    COLORREF color;
  };
  const struct {
    const char* name;
    std::function<void(HDC)> draw;
    std::vector<Probe> probes;
  } cases[] = {
      {"whole", [&](HDC dc) { DrawBitmap(dc, 1, 1, bitmap); },
       {{1, 1, Src(0, 0)}, {4, 1, Src(3, 0)}, {4, 4, kMagenta}, {5, 5, kBack}, {0, 0, kBack}}},
      {"transparent whole", [&](HDC dc) { DrawBitmap(dc, 1, 1, bitmap, kMagenta); },
       {{1, 1, Src(0, 0)}, {3, 4, Src(2, 3)}, {4, 4, kBack}}},
      {"part", [&](HDC dc) { DrawBitmapPart(dc, 0, 0, bitmap, RECT{1, 1, 3, 3}); },
       {{0, 0, Src(1, 1)}, {1, 1, Src(2, 2)}, {2, 0, kBack}, {0, 2, kBack}}},
      {"stretched part", [&](HDC dc) { StretchBitmapPart(dc, RECT{0, 0, 8, 8}, bitmap, RECT{0, 0, 4, 4}); },
       {{0, 0, Src(0, 0)}, {3, 5, Src(1, 2)}, {7, 7, kMagenta}, {8, 8, kBack}}},
      {"transparent part", [&](HDC dc) { DrawBitmapPart(dc, 0, 0, bitmap, RECT{2, 2, 4, 4}, kMagenta); },
       {{0, 0, Src(2, 2)}, {1, 1, kBack}}},
      {"nine grid", [&](HDC dc) { DrawNineGrid(dc, RECT{0, 0, 10, 12}, bitmap, RECT{1, 1, 1, 1}); },
       {{0, 0, Src(0, 0)}, {9, 0, Src(3, 0)}, {0, 11, Src(0, 3)}, {9, 11, kMagenta},
        {0, 5, Src(0, 1)}, {0, 6, Src(0, 2)}, {4, 0, Src(1, 0)}, {5, 0, Src(2, 0)}, {10, 0, kBack}}},
      {"transparent nine grid",
       [&](HDC dc) { DrawNineGrid(dc, RECT{0, 0, 10, 12}, bitmap, RECT{1, 1, 1, 1}, kMagenta); },
       {{0, 0, Src(0, 0)}, {9, 11, kBack}}},
      {"three-part strip", [&](HDC dc) { DrawBitmapHorz3(dc, RECT{0, 0, 12, 4}, bitmap, 1, 1); },
       {{0, 0, Src(0, 0)}, {11, 3, kMagenta}, {1, 1, Src(1, 1)}, {10, 2, Src(2, 2)}, {12, 0, kBack}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DibCanvas canvas(16, 16, kBack);
    c.draw(canvas.Dc());
    for (const Probe& p : c.probes) EXPECT_EQ(p.color, canvas.At(p.x, p.y)) << p.x << "," << p.y;
  }
}

TEST(DrawHelpers, GradientsRunThroughTheirStops) {
  DibCanvas canvas(100, 20, kBack);
  const COLORREF stops[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  ASSERT_TRUE(MultiGradientFillRect(canvas.Dc(), RECT{0, 0, 100, 10}, stops, 3, FALSE));
  EXPECT_TRUE(Near(stops[0], canvas.At(0, 5), 8));
  EXPECT_TRUE(Near(stops[1], canvas.At(50, 5), 8));
  EXPECT_TRUE(Near(stops[2], canvas.At(99, 5), 8));
  ASSERT_TRUE(GradientFillRect(canvas.Dc(), RECT{0, 10, 100, 20}, RGB(0, 0, 0), RGB(200, 200, 200), TRUE));
  EXPECT_TRUE(Near(RGB(0, 0, 0), canvas.At(0, 10), 24));
  EXPECT_TRUE(Near(RGB(200, 200, 200), canvas.At(0, 19), 24));
  EXPECT_TRUE(MultiGradientFillRect(canvas.Dc(), RECT{0, 0, 5, 5}, stops, 1, TRUE));
  EXPECT_EQ(stops[0], canvas.At(4, 4));
}

TEST(DrawHelpers, RegionCoversTheOpaquePixelsOnly) {
  CBitmap bitmap(MakeBitmap(6, 3, [](int x, int y) -> DWORD {
    return (y == 1 && x >= 2 && x < 5) || (x == 0 && y == 0) ? 0x102030 : 0xFF00FF;
  }));
  CRgn region(BitmapToRegion(bitmap, kMagenta));
  ASSERT_FALSE(region.IsNull());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool opaque = (y == 1 && x >= 2 && x < 5) || (x == 0 && y == 0);
      EXPECT_EQ(opaque, ::PtInRegion(region, x, y) != FALSE) << x << "," << y;
    }
}

TEST(DrawHelpers, LinesFramesFillsAndSelectorsRestoreTheContext) {
  DibCanvas canvas(10, 10, kBack);
  HDC dc = canvas.Dc();
  const HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN), brush = ::GetCurrentObject(dc, OBJ_BRUSH);
  FillSolid(dc, RECT{2, 2, 8, 8}, RGB(0, 0, 200));
  DrawFrame(dc, RECT{2, 2, 8, 8}, RGB(200, 0, 0));
  DrawLine(dc, 0, 0, 5, 0, RGB(0, 200, 0));
  EXPECT_EQ(RGB(200, 0, 0), canvas.At(7, 7));
  EXPECT_EQ(RGB(0, 0, 200), canvas.At(3, 3));
  EXPECT_EQ(RGB(0, 200, 0), canvas.At(4, 0));
  EXPECT_EQ(kBack, canvas.At(5, 0));
  {
    CPenSelector redPen(dc, RGB(200, 0, 0));
    CBrushSelector hollow(dc, CBrushSelector::kHollow);
    ::Rectangle(dc, 0, 0, 10, 10);
  }
  EXPECT_EQ(RGB(0, 0, 200), canvas.At(4, 4));
  EXPECT_EQ(RGB(200, 0, 0), canvas.At(0, 9));
  EXPECT_EQ(pen, ::GetCurrentObject(dc, OBJ_PEN));
  EXPECT_EQ(brush, ::GetCurrentObject(dc, OBJ_BRUSH));

  auto weight = [&] {
    LOGFONTW lf{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    return lf.lfWeight;
  };
  const LONG before = weight();
  {
    CBoldFontSelector bold(dc);
    EXPECT_EQ(FW_BOLD, weight());
  }
  EXPECT_EQ(before, weight());
}

TEST(DrawHelpers, BufferDCCopiesBackOverTheClipBoxWhenGivenNoRectangle) {
  DibCanvas canvas(10, 10, kBack);
  CRgn clip(::CreateRectRgn(2, 2, 6, 6));
  ::SelectClipRgn(canvas.Dc(), clip);
  {
    CBufferDC buffer(canvas.Dc());
    ASSERT_TRUE(buffer.IsValid());
    FillSolid(buffer, RECT{0, 0, 10, 10}, RGB(9, 9, 9));
    EXPECT_EQ(kBack, canvas.At(3, 3));
  }
  EXPECT_EQ(RGB(9, 9, 9), canvas.At(3, 3));
  EXPECT_EQ(kBack, canvas.At(7, 7));
}

TEST(SysFontSet, SmallerCopiesOfTheGuiFontAtNormalWeight) {
  LOGFONTW lf[3]{};
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(::GetObjectW(CSysFontSet::GetFont(static_cast<CSysFontSet::FontSize>(i)),
                             sizeof lf[i], &lf[i]));
  EXPECT_EQ(std::abs(lf[0].lfHeight) - 1, std::abs(lf[1].lfHeight));
  EXPECT_EQ(std::abs(lf[0].lfHeight) - 6, std::abs(lf[2].lfHeight));
  for (const LOGFONTW& f : lf) EXPECT_EQ(FW_NORMAL, f.lfWeight);
  EXPECT_TRUE(CSysFontSet::IsNT());
}
