// Drawing of every skin class into DIB sections, checked pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiSkinButton.h"
#include "uiwin/CUiSkinGradation.h"
#include "uiwin/CUiSkinImgFrame.h"
#include "uiwin/CUiSkinImgHorzExtend.h"
#include "support/MakeBitmap.h"
#include "support/DibCanvas.h"

namespace {

const COLORREF kBack = RGB(1, 2, 3);
const DWORD kHover = 1, kPushed = 2, kChecked = 4, kDisabled = 16;

const DWORD kStrip[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};
COLORREF StripColor(int i) {
  DWORD c = kStrip[i];
  return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

// n pictures of cx x cy, picture i in kStrip[i]; the last column of every
// picture is darker so that a shifted source shows.
HBITMAP MakeStrip(int n, int cx, int cy) {
  return MakeBitmap(n * cx, cy, [=](int x, int) {
    DWORD c = kStrip[x / cx];
    return (x % cx == cx - 1) ? (c & 0x7F7F7F) : c;
  });
}

bool FilledWith(const DibCanvas& c, const RECT& rc, COLORREF cr) {
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x)
      if (c.At(x, y) != cr) return false;
  return true;
}

RECT R(int l, int t, int r, int b) {
  RECT rc = {l, t, r, b};
  return rc;
}

class GdiBitmap {
 public:
  explicit GdiBitmap(HBITMAP h) : m_h(h) {}
  ~GdiBitmap() { DeleteObject(m_h); }
  HBITMAP get() const { return m_h; }

 private:
  HBITMAP m_h;
};

}  // namespace

// ---------------------------------------------------------------- imglst

TEST(ImageSkin, StatePicksPictureOfTheStripOrPictureZero) {
  // three pictures: pressed+hover (3), checked (4) and disabled (16) have none
  GdiBitmap bmp(MakeStrip(3, 10, 8));
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetSubWidth(10);
  const struct {
    DWORD state;
    int picture;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {kPushed | kHover, 0}, {kChecked, 0},
               {kDisabled, 0}, {0x7FFFFFFF, 0}};
  for (const auto& k : cases) {
    const COLORREF cr = StripColor(k.picture);
    DibCanvas c(40, 20, kBack);
    skin.Draw(c.Dc(), R(5, 5, 35, 18), k.state);
    EXPECT_TRUE(FilledWith(c, R(5, 5, 14, 13), cr)) << k.state;
    // the picture's own last column, not the next picture's first
    EXPECT_EQ(c.At(14, 5), RGB(GetRValue(cr) & 0x7F, GetGValue(cr) & 0x7F, GetBValue(cr) & 0x7F));
    EXPECT_TRUE(c.UntouchedOutside(R(5, 5, 15, 13), kBack)) << "drawn at its own size only";
  }
}

TEST(ImageSkin, StripNarrowerThanOnePictureDrawsWhatItHas) {
  GdiBitmap bmp(MakeStrip(1, 6, 4));
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetSubWidth(10);
  DibCanvas c(20, 10, kBack);
  skin.Draw(c.Dc(), R(0, 0, 20, 10), 1);
  EXPECT_TRUE(FilledWith(c, R(0, 0, 5, 4), StripColor(0)));
  EXPECT_TRUE(c.UntouchedOutside(R(0, 0, 6, 4), kBack));
}

TEST(ImageSkin, WithoutSubWidthOnlyTheWholeBitmapDraws) {
  GdiBitmap bmp(MakeStrip(2, 5, 4));
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  DibCanvas c(20, 10, kBack);
  skin.Draw(c.Dc(), R(1, 1, 20, 10), 0);
  EXPECT_TRUE(c.UntouchedOutside(R(0, 0, 0, 0), kBack))
      << "sub-image 0 of a plain bitmap draws nothing";
  skin.Draw(c.Dc(), R(1, 1, 20, 10), (DWORD)-1);
  EXPECT_EQ(c.At(1, 1), StripColor(0));
  EXPECT_EQ(c.At(6, 4), StripColor(1));
  EXPECT_TRUE(c.UntouchedOutside(R(1, 1, 11, 5), kBack));
  // the size is the whole bitmap until a sub-width splits it (never negative)
  EXPECT_TRUE(skin.IgnoreState());
  EXPECT_EQ(10, skin.GetSkinSize().cx);
  skin.SetSubWidth(-5);
  EXPECT_EQ(10, skin.GetSkinSize().cx);
  skin.SetSubWidth(5);
  EXPECT_EQ(5, skin.GetSkinSize().cx);
  EXPECT_EQ(4, skin.GetSkinSize().cy);
  EXPECT_FALSE(skin.IgnoreState());
}

TEST(ImageSkin, MaskModeLeavesTheMaskColourOut) {
  const DWORD magenta = 0xFF00FF, teal = 0x008080;
  GdiBitmap bmp(MakeBitmap(8, 4, [=](int x, int) { return x < 4 ? magenta : 0x123456; }));
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetMode(CUiImage::ModeMask);
  DibCanvas c(10, 6, kBack);
  skin.Draw(c.Dc(), R(1, 1, 10, 6), (DWORD)-1);
  EXPECT_EQ(c.At(1, 1), kBack);
  EXPECT_EQ(c.At(4, 4), kBack);
  EXPECT_EQ(c.At(5, 1), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(c.At(8, 4), RGB(0x12, 0x34, 0x56));

  // another mask colour: now magenta is opaque and teal is left out
  GdiBitmap bmp2(MakeBitmap(2, 1, [=](int x, int) { return x == 0 ? teal : magenta; }));
  skin.SetBitmap(bmp2.get());
  EXPECT_EQ(S_OK, skin.SetAttribute("maskcolor", "008080", TRUE));
  EXPECT_EQ(E_FAIL, skin.SetAttribute("mode", "transparent", TRUE));
  EXPECT_EQ(CUiImage::ModeMask, skin.GetMode()) << "an unknown mode keeps the old one";
  DibCanvas c2(4, 2, kBack);
  skin.Draw(c2.Dc(), R(0, 0, 4, 2), (DWORD)-1);
  EXPECT_EQ(c2.At(0, 0), kBack);
  EXPECT_EQ(c2.At(1, 0), RGB(0xFF, 0, 0xFF));
}

TEST(ImageSkin, AlphaModeBlendsOverTheBackground) {
  // pictures of 2 x 2: opaque red, half green, transparent
  GdiBitmap bmp(MakeBitmap(
      6, 2,
      [](int x, int) -> DWORD {
        switch (x / 2) {
          case 0:
            return 0xFFFF0000;
          case 1:
            return 0x8000FF00;
          default:
            return 0x000000FF;
        }
      },
      32));
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetMode(CUiImage::ModeAlpha);
  skin.SetSubWidth(2);
  const COLORREF back = RGB(200, 100, 50);
  DibCanvas c(10, 4, back);
  skin.Draw(c.Dc(), R(0, 0, 2, 2), 0);
  skin.Draw(c.Dc(), R(3, 0, 5, 2), 1);
  skin.Draw(c.Dc(), R(6, 0, 8, 2), 2);
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
  // (src * a + dst * (255 - a)) / 255 with a = 128
  EXPECT_EQ(c.At(3, 0), RGB(200 * 127 / 255, (255 * 128 + 100 * 127) / 255, 50 * 127 / 255));
  EXPECT_EQ(c.At(6, 1), back);
  EXPECT_TRUE(c.UntouchedOutside(R(0, 0, 8, 2), back));
  EXPECT_EQ(c.At(2, 0), back);
}

TEST(ImageSkin, AlphaModeKeepsRowOrderOfEveryKindOfBitmap) {
  // top row opaque red, bottom row opaque blue, in a bottom-up DIB section and
  // in a device-dependent bitmap copied from it
  auto pixel = [](int, int y) -> DWORD { return y == 0 ? 0xFFFF0000 : 0xFF0000FF; };
  GdiBitmap dib(MakeBitmap(2, 2, pixel, 32, true));
  HDC screen = GetDC(nullptr);
  GdiBitmap ddb(CreateCompatibleBitmap(screen, 2, 2));
  ReleaseDC(nullptr, screen);
  BITMAP bm;
  ASSERT_EQ((int)sizeof bm, GetObjectW(ddb.get(), sizeof bm, &bm));
  {
    HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
    HGDIOBJ o1 = SelectObject(src, dib.get()), o2 = SelectObject(dst, ddb.get());
    BitBlt(dst, 0, 0, 2, 2, src, 0, 0, SRCCOPY);
    SelectObject(src, o1);
    SelectObject(dst, o2);
    DeleteDC(src);
    DeleteDC(dst);
  }
  for (HBITMAP bmp : {dib.get(), ddb.get()}) {
    if (bmp == ddb.get() && bm.bmBitsPixel != 32) continue;  // alpha needs 32 bits
    CUiImageSkin skin;
    skin.SetBitmap(bmp);
    skin.SetMode(CUiImage::ModeAlpha);
    DibCanvas c(4, 4, kBack);
    skin.Draw(c.Dc(), R(1, 1, 3, 3), (DWORD)-1);
    EXPECT_EQ(RGB(255, 0, 0), c.At(1, 1));
    EXPECT_EQ(RGB(0, 0, 255), c.At(2, 2));
    EXPECT_EQ(kBack, c.At(0, 0));
    EXPECT_EQ(kBack, c.At(3, 3));
  }
}

TEST(ImageSkin, AlphaModeNeedsThirtyTwoBits) {
  GdiBitmap bmp(MakeBitmap(
      4, 4, [](int, int) { return 0x00FF00; }, 24));
  CUiImageSkin skin;
  skin.SetBitmap(bmp.get());
  skin.SetMode(CUiImage::ModeAlpha);
  DibCanvas c(6, 6, kBack);
  skin.Draw(c.Dc(), R(0, 0, 6, 6), (DWORD)-1);
  EXPECT_TRUE(c.UntouchedOutside(R(0, 0, 0, 0), kBack));
}

// ---------------------------------------------------------------- imgframe

namespace {

// 3 x 3 bitmap, one colour per cell, row major
const COLORREF kCell[9] = {
    RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0), RGB(50, 0, 0),
    RGB(60, 0, 0), RGB(70, 0, 0), RGB(80, 0, 0), RGB(90, 0, 0),
};

HBITMAP MakeNine() {
  return MakeBitmap(3, 3, [](int x, int y) {
    COLORREF c = kCell[y * 3 + x];
    return (DWORD)((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
  });
}

const COLORREF kCentre = RGB(0, 0, 200);

// The frame over bmp with one-pixel edges, its centre filled with kCentre
// unless asked otherwise.
void SetUpFrame(CUiSkinImgFrame& skin, HBITMAP bmp, bool fillCentre = true) {
  skin.GetImage().SetBitmap(bmp);
  skin.SetAttribute("top", "1", TRUE);
  skin.SetAttribute("left", "1", TRUE);
  if (fillCentre) skin.SetAttribute("crbg", "0000C8", TRUE);
}

}  // namespace

TEST(ImgFrameSkin, AllPartsOnePixelEdges) {
  GdiBitmap bmp(MakeNine());
  CUiSkinImgFrame skin;
  SetUpFrame(skin, bmp.get());
  DibCanvas c(30, 20, kBack);
  skin.Draw(c.Dc(), R(2, 3, 22, 13), 0);
  EXPECT_EQ(c.At(2, 3), kCell[0]);
  EXPECT_EQ(c.At(21, 3), kCell[2]);
  EXPECT_EQ(c.At(2, 12), kCell[6]);
  EXPECT_EQ(c.At(21, 12), kCell[8]);
  EXPECT_TRUE(FilledWith(c, R(3, 3, 21, 4), kCell[1]));
  EXPECT_TRUE(FilledWith(c, R(3, 12, 21, 13), kCell[7]));
  EXPECT_TRUE(FilledWith(c, R(2, 4, 3, 12), kCell[3]));
  EXPECT_TRUE(FilledWith(c, R(21, 4, 22, 12), kCell[5]));
  EXPECT_TRUE(FilledWith(c, R(3, 4, 21, 12), kCentre));
  EXPECT_TRUE(c.UntouchedOutside(R(2, 3, 22, 13), kBack));
}

TEST(ImgFrameSkin, MiddleAndCenterDrawOnlyTheirBands) {
  // "middle" draws the two sides and the centre, "center" the top, the
  // bottom and the centre
  const struct {
    const char* part;
    RECT band1;
    COLORREF colour1;
    RECT band2;
    COLORREF colour2;
    RECT centre;
  } cases[] = {
      {"middle", R(0, 0, 1, 10), kCell[3], R(19, 0, 20, 10), kCell[5], R(1, 0, 19, 10)},
      {"center", R(0, 0, 20, 1), kCell[1], R(0, 9, 20, 10), kCell[7], R(0, 1, 20, 9)},
  };
  for (const auto& k : cases) {
    GdiBitmap bmp(MakeNine());
    CUiSkinImgFrame skin;
    SetUpFrame(skin, bmp.get());
    EXPECT_EQ(S_OK, skin.SetAttribute("part", k.part, TRUE)) << k.part;
    DibCanvas c(20, 10, kBack);
    skin.Draw(c.Dc(), R(0, 0, 20, 10), 0);
    EXPECT_TRUE(FilledWith(c, k.band1, k.colour1)) << k.part;
    EXPECT_TRUE(FilledWith(c, k.band2, k.colour2)) << k.part;
    EXPECT_TRUE(FilledWith(c, k.centre, kCentre)) << k.part;
  }
}

TEST(ImgFrameSkin, PartValues) {
  CUiSkinImgFrame skin;
  EXPECT_EQ(47u, skin.GetPart());
  const struct {
    const char* word;
    DWORD bits;
  } parts[] = {{"top", 43},   {"middle", 42}, {"bottom", 46}, {"left", 15},
               {"center", 7}, {"right", 39},  {"all", 47}};
  for (const auto& p : parts) {
    EXPECT_EQ(S_OK, skin.SetAttribute("part", p.word, TRUE));
    EXPECT_EQ(p.bits, skin.GetPart());
  }
  EXPECT_EQ(E_FAIL, skin.SetAttribute("part", "centre", TRUE));
  EXPECT_EQ(47u, skin.GetPart());
}

TEST(ImgFrameSkin, CentreWithoutColourAndEmptyRectanglesAreLeftAlone) {
  GdiBitmap bmp(MakeNine());
  CUiSkinImgFrame skin;
  SetUpFrame(skin, bmp.get(), false);
  DibCanvas c(10, 10, kBack);
  skin.Draw(c.Dc(), R(0, 0, 10, 10), 0);
  EXPECT_TRUE(FilledWith(c, R(1, 1, 9, 9), kBack));
  EXPECT_EQ(c.At(0, 0), kCell[0]);

  skin.SetAttribute("crbg", "0000C8", TRUE);
  DibCanvas e(10, 10, kBack);
  skin.Draw(e.Dc(), R(2, 2, 2, 8), 0);
  skin.Draw(e.Dc(), R(2, 2, 8, 2), 0);
  EXPECT_TRUE(e.UntouchedOutside(R(0, 0, 0, 0), kBack));
}

TEST(ImgFrameSkin, AlphaImageDrawsOnlyTheCentre) {
  GdiBitmap bmp(MakeBitmap(
      3, 3, [](int, int) { return 0xFFFF0000u; }, 32));
  CUiSkinImgFrame skin;
  SetUpFrame(skin, bmp.get());
  skin.SetAttribute("mode", "alpha", TRUE);
  DibCanvas c(10, 10, kBack);
  skin.Draw(c.Dc(), R(0, 0, 10, 10), 0);
  EXPECT_EQ(c.At(0, 0), kBack);
  EXPECT_EQ(c.At(5, 0), kBack);
  EXPECT_TRUE(FilledWith(c, R(1, 1, 9, 9), kCentre));
}

// ---------------------------------------------------------------- imghorzex

namespace {

// three pictures of 13 x 4 (left 5): left part colour a, stretch column b,
// right part c, each picture in its own shade.
HBITMAP MakeTabs() {
  return MakeBitmap(39, 4, [](int x, int) -> DWORD {
    DWORD shade = (DWORD)(x / 13 + 1) * 0x10;
    int col = x % 13;
    if (col < 5) return (0xA0 << 16) | shade;
    if (col == 5) return (0xB0 << 16) | shade;
    return (0xC0 << 16) | shade;
  });
}

COLORREF Tab(int part, int picture) { return RGB(part, 0, (picture + 1) * 0x10); }

// The skin over the tab strip: pictures 13 wide, a 5-pixel left part.
void SetUpTabs(CUiSkinImgHorzExtend& skin, HBITMAP bmp) {
  skin.GetImage().SetBitmap(bmp);
  skin.SetAttribute("subwidth", "13", TRUE);
  skin.SetAttribute("left", "5", TRUE);
}

}  // namespace

TEST(HorzExtendSkin, PartsAndStates) {
  GdiBitmap bmp(MakeTabs());
  CUiSkinImgHorzExtend skin;
  SetUpTabs(skin, bmp.get());
  const struct {
    DWORD state;
    int picture;
  } cases[] = {{0, 0}, {kHover, 1}, {kPushed, 2}, {kPushed | kHover, 2}, {kChecked, 0},
               // disabled asks for picture 3, which the strip lacks
               {kDisabled, 0}, {kDisabled | kHover, 0}};
  for (const auto& k : cases) {
    DibCanvas c(60, 8, kBack);
    skin.Draw(c.Dc(), R(5, 2, 55, 8), k.state);
    EXPECT_TRUE(FilledWith(c, R(5, 2, 10, 6), Tab(0xA0, k.picture))) << k.state;
    EXPECT_TRUE(FilledWith(c, R(10, 2, 48, 6), Tab(0xB0, k.picture))) << k.state;
    EXPECT_TRUE(FilledWith(c, R(48, 2, 55, 6), Tab(0xC0, k.picture))) << k.state;
    EXPECT_TRUE(c.UntouchedOutside(R(5, 2, 55, 6), kBack)) << k.state;
  }
  SIZE sz = skin.GetSkinSize();
  EXPECT_EQ(0, sz.cx);
  EXPECT_EQ(4, sz.cy);
  EXPECT_FALSE(skin.IgnoreState());

  // an element narrower than the two ends: both ends cut, nothing outside it
  DibCanvas c(60, 8, kBack);
  skin.Draw(c.Dc(), R(10, 0, 18, 2), 0);
  EXPECT_TRUE(c.UntouchedOutside(R(10, 0, 18, 2), kBack));
  EXPECT_EQ(c.At(10, 0), Tab(0xA0, 0));
  EXPECT_EQ(c.At(17, 1), Tab(0xC0, 0));
}

TEST(HorzExtendSkin, WholeStripForMinusOne) {
  GdiBitmap bmp(MakeBitmap(
      6, 2, [](int x, int) -> DWORD { return x < 2 ? 0x110000 : (x == 2 ? 0x220000 : 0x330000); }));
  CUiSkinImgHorzExtend skin;
  skin.GetImage().SetBitmap(bmp.get());
  skin.SetAttribute("left", "2", TRUE);
  DibCanvas c(20, 4, kBack);
  skin.Draw(c.Dc(), R(0, 0, 20, 4), (DWORD)-1);
  EXPECT_TRUE(FilledWith(c, R(0, 0, 2, 2), RGB(0x11, 0, 0)));
  EXPECT_TRUE(FilledWith(c, R(2, 0, 17, 2), RGB(0x22, 0, 0)));
  EXPECT_TRUE(FilledWith(c, R(17, 0, 20, 2), RGB(0x33, 0, 0)));
  EXPECT_TRUE(FilledWith(c, R(0, 2, 20, 4), kBack)) << "the bitmap's height only";
}

// ---------------------------------------------------------------- button

namespace {

CUiSkinButton MakeButton() {
  CUiSkinButton skin;
  skin.SetAttribute("bg", "101010", TRUE);
  skin.SetAttribute("border", "202020", TRUE);
  skin.SetAttribute("bgup", "400000", TRUE);
  skin.SetAttribute("bgdown", "000040", TRUE);
  skin.SetAttribute("bguphover", "500000", TRUE);
  skin.SetAttribute("bgdownhover", "000050", TRUE);
  skin.SetAttribute("bguppush", "600000", TRUE);
  skin.SetAttribute("bgdownpush", "000060", TRUE);
  return skin;
}

}  // namespace

TEST(ButtonSkin, GradientFollowsTheState) {
  CUiSkinButton skin = MakeButton();
  const struct {
    DWORD state;
    COLORREF top, bottom;
  } cases[] = {{0, RGB(0x40, 0, 0), RGB(0, 0, 0x40)},
               {kHover, RGB(0x50, 0, 0), RGB(0, 0, 0x50)},
               {kPushed, RGB(0x60, 0, 0), RGB(0, 0, 0x60)},
               {kPushed | kHover, RGB(0x60, 0, 0), RGB(0, 0, 0x60)},
               {kChecked, RGB(0x40, 0, 0), RGB(0, 0, 0x40)}};
  for (const auto& k : cases) {
    DibCanvas c(40, 40, kBack);
    skin.Draw(c.Dc(), R(0, 0, 40, 40), k.state);
    EXPECT_EQ(c.At(0, 0), RGB(0x20, 0x20, 0x20)) << k.state;
    EXPECT_EQ(c.At(39, 39), RGB(0x20, 0x20, 0x20)) << k.state;
    EXPECT_EQ(c.At(1, 1), RGB(0x10, 0x10, 0x10)) << "bg between border and gradient";
    COLORREF top = c.At(20, 2), bottom = c.At(20, 37);
    EXPECT_NEAR(GetRValue(top), GetRValue(k.top), 3) << k.state;
    EXPECT_NEAR(GetBValue(top), GetBValue(k.top), 3) << k.state;
    EXPECT_NEAR(GetRValue(bottom), GetRValue(k.bottom), 3) << k.state;
    EXPECT_NEAR(GetBValue(bottom), GetBValue(k.bottom), 3) << k.state;
  }
  EXPECT_FALSE(skin.IgnoreState());
}

TEST(ButtonSkin, DisabledShowsBackgroundAndBorderOnly) {
  CUiSkinButton skin = MakeButton();
  DibCanvas c(30, 20, kBack);
  skin.Draw(c.Dc(), R(0, 0, 30, 20), kDisabled | kHover);
  EXPECT_TRUE(FilledWith(c, R(1, 1, 29, 19), RGB(0x10, 0x10, 0x10)));
  EXPECT_TRUE(FilledWith(c, R(0, 0, 30, 1), RGB(0x20, 0x20, 0x20)));
  EXPECT_TRUE(FilledWith(c, R(0, 19, 30, 20), RGB(0x20, 0x20, 0x20)));
}

// ---------------------------------------------------------------- gradation

TEST(GradationSkin, VerticalEnds) {
  CUiSkinGradation skin;
  skin.SetAttribute("from", "FF0000", TRUE);
  skin.SetAttribute("to", "0000FF", TRUE);
  EXPECT_EQ(S_OK, skin.SetAttribute("direction", "vert", TRUE));
  DibCanvas c(10, 100, kBack);
  skin.Draw(c.Dc(), R(0, 0, 10, 100), 0);
  EXPECT_GE(GetRValue(c.At(5, 0)), 250);
  EXPECT_LE(GetBValue(c.At(5, 0)), 5);
  EXPECT_LE(GetRValue(c.At(5, 99)), 5);
  EXPECT_GE(GetBValue(c.At(5, 99)), 250);
  EXPECT_NEAR(GetRValue(c.At(5, 50)), 127, 6);
  EXPECT_EQ(c.At(0, 0), c.At(9, 0)) << "rows are uniform";

  // a size shorter than the rectangle: the rest takes the end colour
  skin.SetAttribute("size", "10", TRUE);
  DibCanvas s(10, 40, kBack);
  skin.Draw(s.Dc(), R(0, 0, 10, 40), 0);
  EXPECT_GE(GetRValue(s.At(5, 0)), 230);
  for (int y = 10; y < 40; ++y) EXPECT_EQ(s.At(5, y), RGB(0, 0, 0xFF)) << y;
}

TEST(GradationSkin, HorizontalAndCutToTheRectangle) {
  CUiSkinGradation skin;
  skin.SetAttribute("from", "000000", TRUE);
  skin.SetAttribute("to", "FFFFFF", TRUE);
  EXPECT_EQ(E_FAIL, skin.SetAttribute("direction", "diagonal", TRUE));
  EXPECT_EQ(0, skin.nDirection);
  skin.SetAttribute("size", "400", TRUE);
  DibCanvas c(120, 10, kBack);
  skin.Draw(c.Dc(), R(10, 2, 110, 8), 0);
  EXPECT_LE(GetRValue(c.At(10, 4)), 5);
  // 400 pixels long, so only the first quarter of it shows
  EXPECT_NEAR(GetRValue(c.At(109, 4)), 64, 6);
  EXPECT_TRUE(c.UntouchedOutside(R(10, 2, 110, 8), kBack));
  EXPECT_TRUE(skin.IgnoreState());
}
