// Drawing of every skin class into DIB sections, checked pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <type_traits>

#include "support/DibCanvas.h"
#include "support/MakeBitmap.h"
#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiSkinImgFrame.h"
#include "uiwin/CUiSkinImgHorzExtend.h"

namespace {

const COLORREF kBack = RGB(1, 2, 3);
const DWORD kHover = 1, kPushed = 2, kChecked = 4, kDisabled = 16;

struct BitmapDeleter {
  void operator()(HBITMAP bmp) const { ::DeleteObject(bmp); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

// The shared DIB section maker's bitmap, owned.
template <typename F>
Bitmap Make(int cx, int cy, F pixel, WORD bits = 24, bool bottomUp = false) {
  return Bitmap(MakeBitmap(cx, cy, pixel, bits, bottomUp));
}

COLORREF Rgb(DWORD rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

bool FilledWith(const DibCanvas& c, const RECT& rc, COLORREF cr) {
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x)
      if (c.At(x, y) != cr) return false;
  return true;
}

// n pictures of cx x cy, picture i in kStrip[i]; the last column of every picture is
// darker so that a shifted source shows.
const DWORD kStrip[] = {0xFF0000, 0x00FF00, 0x0000FF};
Bitmap MakeStrip(int n, int cx, int cy) {
  return Make(n * cx, cy, [=](int x, int) {
    return x % cx == cx - 1 ? kStrip[x / cx] & 0x7F7F7F : kStrip[x / cx];
  });
}

TEST(ImageSkin, StatePicksThePictureOfTheStripOrPictureZero) {
  Bitmap bmp = MakeStrip(3, 10, 8);
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetSubWidth(10);
  // pressed+hover (3), checked (4) and disabled (16) have no picture of their own
  const DWORD cases[][2] = {{0, 0}, {1, 1}, {2, 2}, {kPushed | kHover, 0}, {kChecked, 0},
                            {kDisabled, 0}, {0x7FFFFFFF, 0}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k[0]);
    DibCanvas c(40, 20, kBack);
    skin.Draw(c.Dc(), RECT{5, 5, 35, 18}, k[0]);
    EXPECT_TRUE(FilledWith(c, RECT{5, 5, 14, 13}, Rgb(kStrip[k[1]])));
    EXPECT_EQ(Rgb(kStrip[k[1]] & 0x7F7F7F), c.At(14, 5));  // its own last column
    EXPECT_TRUE(c.UntouchedOutside(RECT{5, 5, 15, 13}, kBack)) << "drawn at its own size only";
  }
  // A strip narrower than one picture draws what it has.
  Bitmap narrow = MakeStrip(1, 6, 4);
  skin.SetBitmap(narrow.get());
  DibCanvas c(20, 10, kBack);
  skin.Draw(c.Dc(), RECT{0, 0, 20, 10}, 1);
  EXPECT_TRUE(FilledWith(c, RECT{0, 0, 5, 4}, Rgb(kStrip[0])));
  EXPECT_TRUE(c.UntouchedOutside(RECT{0, 0, 6, 4}, kBack));
}

TEST(ImageSkin, WithoutSubWidthOnlyTheWholeBitmapDrawsAndSizesAreNeverNegative) {
  Bitmap bmp = MakeStrip(2, 5, 4);
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  DibCanvas c(20, 10, kBack);
  skin.Draw(c.Dc(), RECT{1, 1, 20, 10}, 0);
  EXPECT_TRUE(c.UntouchedOutside(RECT{}, kBack)) << "sub-image 0 of a plain bitmap draws nothing";
  skin.Draw(c.Dc(), RECT{1, 1, 20, 10}, static_cast<DWORD>(-1));
  EXPECT_EQ(Rgb(kStrip[0]), c.At(1, 1));
  EXPECT_EQ(Rgb(kStrip[1]), c.At(6, 4));
  EXPECT_TRUE(c.UntouchedOutside(RECT{1, 1, 11, 5}, kBack));
  EXPECT_TRUE(skin.IgnoreState());
  EXPECT_EQ(10, skin.GetSkinSize().cx);
  skin.SetSubWidth(-5);
  EXPECT_EQ(10, skin.GetSkinSize().cx);
  skin.SetSubWidth(5);
  EXPECT_EQ(5, skin.GetSkinSize().cx);
  EXPECT_FALSE(skin.IgnoreState());
}

TEST(ImageSkin, AlphaModeBlendsOverTheBackgroundWithThirtyTwoBitsOnly) {
  // pictures of 2 x 2: opaque red, half green, transparent
  const DWORD argb[] = {0xFFFF0000, 0x8000FF00, 0x000000FF};
  Bitmap bmp = Make(6, 2, [&](int x, int) { return argb[x / 2]; }, 32);
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetMode(CUiImage::ModeAlpha);
  skin.SetSubWidth(2);
  const COLORREF back = RGB(200, 100, 50);
  DibCanvas c(10, 4, back);
  for (int i = 0; i < 3; ++i) skin.Draw(c.Dc(), RECT{3 * i, 0, 3 * i + 2, 2}, i);
  EXPECT_TRUE(FilledWith(c, RECT{0, 0, 2, 2}, RGB(255, 0, 0)));
  // (src * a + dst * (255 - a)) / 255 with a = 128
  EXPECT_EQ(RGB(200 * 127 / 255, (255 * 128 + 100 * 127) / 255, 50 * 127 / 255), c.At(3, 0));
  EXPECT_TRUE(c.UntouchedOutside(RECT{0, 0, 5, 2}, back));
  // A 24-bit bitmap has no alpha: nothing is drawn.
  Bitmap rgb = Make(4, 4, [](int, int) { return 0x00FF00u; });
  skin.SetBitmap(rgb.get());
  skin.SetSubWidth(0);
  DibCanvas d(6, 6, kBack);
  skin.Draw(d.Dc(), RECT{0, 0, 6, 6}, static_cast<DWORD>(-1));
  EXPECT_TRUE(d.UntouchedOutside(RECT{}, kBack));
}

TEST(ImageSkin, AlphaModeKeepsRowOrderOfEveryKindOfBitmap) {
  // top row opaque red, bottom row opaque blue, in a bottom-up DIB section and in a
  // device-dependent bitmap copied from it
  auto pixel = [](int, int y) -> DWORD { return y == 0 ? 0xFFFF0000 : 0xFF0000FF; };
  Bitmap dib = Make(2, 2, pixel, 32, true);
  HDC screen = ::GetDC(nullptr);
  Bitmap ddb(::CreateCompatibleBitmap(screen, 2, 2));
  ::ReleaseDC(nullptr, screen);
  BITMAP bm;
  ASSERT_EQ(static_cast<int>(sizeof bm), ::GetObjectW(ddb.get(), sizeof bm, &bm));
  HDC src = ::CreateCompatibleDC(nullptr), dst = ::CreateCompatibleDC(nullptr);
  HGDIOBJ o1 = ::SelectObject(src, dib.get()), o2 = ::SelectObject(dst, ddb.get());
  ::BitBlt(dst, 0, 0, 2, 2, src, 0, 0, SRCCOPY);
  ::SelectObject(src, o1);
  ::SelectObject(dst, o2);
  ::DeleteDC(src);
  ::DeleteDC(dst);
  for (HBITMAP bmp : {dib.get(), ddb.get()}) {
    if (bmp == ddb.get() && bm.bmBitsPixel != 32) continue;  // alpha needs 32 bits
    CUiImageSkin skin;
    skin.SetBitmap(bmp);
    skin.SetMode(CUiImage::ModeAlpha);
    DibCanvas c(4, 4, kBack);
    skin.Draw(c.Dc(), RECT{1, 1, 3, 3}, static_cast<DWORD>(-1));
    EXPECT_EQ(RGB(255, 0, 0), c.At(1, 1));
    EXPECT_EQ(RGB(0, 0, 255), c.At(2, 2));
    EXPECT_TRUE(c.UntouchedOutside(RECT{1, 1, 3, 3}, kBack));
  }
}

// ---------------------------------------------------------------- imgframe

// 3 x 3 bitmap, one colour per cell, row major: red 10, 20, ... 90.
COLORREF Cell(int i) { return RGB(10 * (i + 1), 0, 0); }
const COLORREF kCentre = RGB(0, 0, 200);

TEST(ImgFrameSkin, EdgesCornersAndCentreByPart) {
  Bitmap bmp = Make(3, 3, [](int x, int y) { return static_cast<DWORD>(10 * (y * 3 + x + 1)) << 16; });
  // "all" draws every cell; "middle" the two sides and the centre; "center" the top,
  // the bottom and the centre; the edges stay one pixel, the centre is crbg.
  const struct {
    const char* part;
    RECT band1;
    int cell1;
    RECT band2;
    int cell2;
    RECT centre;
  } cases[] = {
      {"all", {1, 0, 19, 1}, 1, {0, 9, 1, 10}, 6, {1, 1, 19, 9}},
      {"middle", {0, 0, 1, 10}, 3, {19, 0, 20, 10}, 5, {1, 0, 19, 10}},
      {"center", {0, 0, 20, 1}, 1, {0, 9, 20, 10}, 7, {0, 1, 20, 9}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.part);
    CUiSkinImgFrame skin;
    skin.GetImage().SetBitmap(bmp.get());
    skin.SetAttribute("top", "1", TRUE);
    skin.SetAttribute("left", "1", TRUE);
    skin.SetAttribute("crbg", "0000C8", TRUE);
    EXPECT_EQ(S_OK, skin.SetAttribute("part", k.part, TRUE));
    EXPECT_EQ(E_FAIL, skin.SetAttribute("part", "centre", TRUE));  // keeps the part
    DibCanvas c(20, 10, kBack);
    skin.Draw(c.Dc(), RECT{0, 0, 20, 10}, 0);
    EXPECT_TRUE(FilledWith(c, k.band1, Cell(k.cell1)));
    EXPECT_TRUE(FilledWith(c, k.band2, Cell(k.cell2)));
    EXPECT_TRUE(FilledWith(c, k.centre, kCentre));
  }
  // Without a centre colour the centre is left alone; empty rectangles draw nothing.
  CUiSkinImgFrame bare;
  bare.GetImage().SetBitmap(bmp.get());
  bare.SetAttribute("top", "1", TRUE);
  bare.SetAttribute("left", "1", TRUE);
  DibCanvas c(10, 10, kBack);
  bare.Draw(c.Dc(), RECT{0, 0, 10, 10}, 0);
  EXPECT_TRUE(FilledWith(c, RECT{1, 1, 9, 9}, kBack));
  EXPECT_EQ(Cell(0), c.At(0, 0));
  EXPECT_EQ(Cell(8), c.At(9, 9));
  DibCanvas e(10, 10, kBack);
  bare.Draw(e.Dc(), RECT{2, 2, 2, 8}, 0);
  bare.Draw(e.Dc(), RECT{2, 2, 8, 2}, 0);
  EXPECT_TRUE(e.UntouchedOutside(RECT{}, kBack));
}

// ---------------------------------------------------------------- imghorzex

TEST(HorzExtendSkin, PartsAndStatesFillTheRectangleWidenedToTheStrip) {
  // Three pictures of 13 x 4, a 5-pixel left part: left part red A0, stretch column B0,
  // right part C0, each picture its own shade of blue.
  Bitmap bmp = Make(39, 4, [](int x, int) -> DWORD {
    const int col = x % 13;
    return (col < 5 ? 0xA00000u : col == 5 ? 0xB00000u : 0xC00000u) | (x / 13 + 1) * 0x10;
  });
  auto tab = [](int part, int picture) { return RGB(part, 0, (picture + 1) * 0x10); };
  CUiSkinImgHorzExtend skin;
  skin.GetImage().SetBitmap(bmp.get());
  skin.SetAttribute("subwidth", "13", TRUE);
  skin.SetAttribute("left", "5", TRUE);
  // disabled asks for picture 3, which the strip lacks
  const DWORD cases[][2] = {{0, 0}, {kHover, 1}, {kPushed, 2}, {kPushed | kHover, 2},
                            {kChecked, 0}, {kDisabled, 0}, {kDisabled | kHover, 0}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k[0]);
    DibCanvas c(60, 8, kBack);
    skin.Draw(c.Dc(), RECT{5, 2, 55, 8}, k[0]);
    EXPECT_TRUE(FilledWith(c, RECT{5, 2, 10, 6}, tab(0xA0, k[1])));
    EXPECT_TRUE(FilledWith(c, RECT{10, 2, 48, 6}, tab(0xB0, k[1])));
    EXPECT_TRUE(FilledWith(c, RECT{48, 2, 55, 6}, tab(0xC0, k[1])));
    EXPECT_TRUE(c.UntouchedOutside(RECT{5, 2, 55, 6}, kBack));
  }
  EXPECT_EQ(0, skin.GetSkinSize().cx);
  EXPECT_EQ(4, skin.GetSkinSize().cy);
  // Narrower than the strip: drawn as wide as the whole strip (three pictures), and as
  // high as it, whatever the rectangle's height.
  DibCanvas c(60, 8, kBack);
  skin.Draw(c.Dc(), RECT{10, 0, 18, 2}, kHover);
  EXPECT_TRUE(FilledWith(c, RECT{10, 0, 15, 4}, tab(0xA0, 1)));
  EXPECT_TRUE(FilledWith(c, RECT{15, 0, 42, 4}, tab(0xB0, 1)));
  EXPECT_TRUE(FilledWith(c, RECT{42, 0, 49, 4}, tab(0xC0, 1)));
  EXPECT_TRUE(c.UntouchedOutside(RECT{10, 0, 49, 4}, kBack));
}

}  // namespace
