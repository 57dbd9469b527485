// Static elements: progress geometry and painting, image rows, images, icons,
// file icons, lines and in-memory images.
#include <gtest/gtest.h>
#include <objidl.h>
#include <tinyxml.h>
#include <windows.h>

#include <gdiplus.h>

#include <climits>
#include <memory>
#include <string>

#include "support/DibCanvas.h"
#include "support/ElementLoad.h"
#include "support/TestFiles.h"
#include "platform/TextConv.h"
#include "support/TestEnv.h"
#include "uiwin/CUiDrawFileIcon.h"
#include "uiwin/CUiIconWnd.h"
#include "uiwin/CUiImageBtnWnd.h"
#include "uiwin/CUiImageListHWnd.h"
#include "uiwin/CUiImageWnd.h"
#include "uiwin/CUiLine.h"
#include "uiwin/CUiLink.h"
#include "uiwin/CUiMemoryImage.h"
#include "uiwin/CUiPanel.h"
#include "uiwin/CUiProgress.h"
#include "uiwin/CUiSkinBase.h"
#include "uiwin/CUiStatic.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"

namespace {

// An element of the layout tag made by the tag factory and loaded from xml.
template <typename T>
std::unique_ptr<T> Make(const char* xml) {
  TiXmlDocument doc;
  doc.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
  EXPECT_FALSE(doc.Error()) << xml;
  CUiWindow* wnd = CUiPanel::CreateChildByTag(doc.RootElement()->Value());
  EXPECT_NE(nullptr, wnd);
  wnd->Load(doc.RootElement());
  return std::unique_ptr<T>(static_cast<T*>(wnd));
}

using elemload::Place;

void Paint(CUiWindow* wnd, HDC dc) { wnd->RedrawRegion(dc, nullptr); }

std::string Str(const RECT& rc) {
  return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
         "," + std::to_string(rc.bottom);
}

// Skins over solid bitmaps written to a resource directory: "red" 10x5,
// "blue" 7x5, "green" 6x8, and one-picture strips of the last two, which draw
// for state 0 (ids 9600-9603 are used by nobody else).
class SolidSkins : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testenv::TempDir;
    testfiles::WriteSolidBmp(dir_->File(L"9601.bmp"), 10, 5, RGB(255, 0, 0));
    testfiles::WriteSolidBmp(dir_->File(L"9602.bmp"), 7, 5, RGB(0, 0, 255));
    testfiles::WriteSolidBmp(dir_->File(L"9603.bmp"), 6, 8, RGB(0, 255, 0));
    testfiles::WriteBytes(dir_->File(L"9600.xml"),
                          "<skins>"
                          "<imglst name=\"red\" src=\"9601\"/>"
                          "<imglst name=\"blue\" src=\"9602\"/>"
                          "<imglst name=\"green\" src=\"9603\"/>"
                          "<imglst name=\"greenstrip\" src=\"9603\" subwidth=\"6\"/>"
                          "<imglst name=\"bluestrip\" src=\"9602\" subwidth=\"7\"/>"
                          "</skins>");
    UiResUtil::SetResourceDirectory(dir_->Path().c_str());
    ASSERT_TRUE(UiSkin::LoadSkins(9600));
    UiResUtil::SetResourceDirectory(L"");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static testenv::TempDir* dir_;
};
testenv::TempDir* SolidSkins::dir_ = nullptr;

// ---------------------------------------------------------------- progress

struct FractionCase {
  int min, max, value;
  int percent;
};

TEST(Progress, PercentTakesMinAndMaxInEitherOrderAndClampsTheValue) {
  const FractionCase cases[] = {
      {0, 100, 50, 50},  {10, 0, 20, 100},         {0, 10, -5, 0},    {5, 5, 5, 0},
      {5, 5, 99, 0},     {0, 3, 1, 33},            {0, 3, 2, 66},     {100, 0, 25, 25},
      {-10, 10, 0, 50},  {0, 100, 62, 62},         {0, 100, 29, 29},  {0, 1000, 579, 57},
      {INT_MIN, INT_MAX, INT_MAX, 100}, {INT_MIN, INT_MAX, 0, 50}, {INT_MIN, INT_MAX, -1, 49},
  };
  for (const FractionCase& c : cases)
    EXPECT_EQ(c.percent, CUiProgress::Percent(c.min, c.max, c.value))
        << c.min << " " << c.max << " " << c.value;
}

struct BarCase {
  RECT rc;
  int value;  // of 0..1000
  int posSkinHeight;
  RECT bar;
};

TEST(Progress, BarGeometry) {
  const BarCase cases[] = {
      {{0, 0, 104, 20}, 500, -1, {2, 2, 52, 18}},
      {{0, 0, 104, 20}, 1000, -1, {2, 2, 102, 18}},
      {{0, 0, 104, 20}, 0, -1, {2, 2, 2, 18}},
      {{0, 0, 104, 20}, 620, -1, {2, 2, 64, 18}},      // exactly 62 of 100
      {{10, 10, 20, 30}, 999, -1, {12, 12, 17, 28}},   // 5.99 truncates to 5
      {{0, 0, 104, 20}, 500, 8, {2, 6, 52, 14}},       // centred on the bar skin
      {{0, 0, 104, 21}, 1000, 8, {2, 6, 102, 15}},     // (21 - 8) / 2 = 6
      {{0, 0, 3, 20}, 1000, -1, {2, 2, 2, 18}},        // narrower than the frame
      {{0, 0, 0, 0}, 1000, -1, {2, 2, 2, 2}},
      {{0, 0, 50, 3}, 500, -1, {2, 2, 25, 2}},         // lower than the frame
  };
  for (const BarCase& c : cases) {
    const RECT bar = CUiProgress::BarRect(c.rc, 0, 1000, c.value, c.posSkinHeight);
    EXPECT_EQ(Str(c.bar), Str(bar)) << Str(c.rc) << " " << c.value;
    EXPECT_GE(bar.right, bar.left);
    EXPECT_GE(bar.bottom, bar.top);
  }
}

TEST(Progress, PaintsTheBarAndKeepsItsFields) {
  auto p = Make<CUiProgress>("<progress min=\"100\" max=\"0\" value=\"50\" height=\"20\" "
                             "width=\"104\"/>");
  Place(p.get(), 0, 0, 200, 40);
  EXPECT_EQ("0,0,104,20", Str(p->GetRect()));
  DibCanvas canvas(120, 30);
  Paint(p.get(), canvas.Dc());
  EXPECT_EQ(RGB(0x42, 0x61, 0x90), canvas.At(20, 10));  // inside the bar
  EXPECT_NE(RGB(0x42, 0x61, 0x90), canvas.At(80, 10));  // beyond it
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(110, 10));    // outside the element
  // Painting computes; it does not rewrite what the layout gave.
  EXPECT_EQ(100, p->GetMin());
  EXPECT_EQ(0, p->GetMax());
  EXPECT_EQ(50, p->GetValue());
}

TEST_F(SolidSkins, ProgressTakesItsHeightFromTheBackgroundSkin) {
  auto p = Make<CUiProgress>("<progress bgskin=\"greenstrip\" posskin=\"bluestrip\" width=\"60\" "
                             "min=\"0\" max=\"2\" value=\"1\"/>");
  EXPECT_EQ(8, p->GetRect().bottom);  // the green bitmap's height
  Place(p.get(), 0, 0, 100, 100);
  DibCanvas canvas(70, 10);
  Paint(p.get(), canvas.Dc());
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(1, 0));  // background skin, at its own size
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(7, 1));  // bar skin, inset (8 - 5) / 2 = 1
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(8, 5));
  EXPECT_NE(RGB(0, 0, 255), canvas.At(8, 6));
}

// ---------------------------------------------------------------- image rows

TEST(ImageList, ParseSkipsEmptyItemsItemsWithoutEqualsAndEmptyKeys) {
  using Items = decltype(CUiImageListHWnd::ParseList(""));
  EXPECT_EQ((Items{{"skin0", "a"}, {"skin1", "b"}}), CUiImageListHWnd::ParseList("skin0=a,,skin1=b"));
  // cut at the first "="
  EXPECT_EQ((Items{{"k", "v"}, {"x", "1=2"}}),
            CUiImageListHWnd::ParseList("=x,noequals,k=v,,,x=1=2,"));

  EXPECT_TRUE(CUiImageListHWnd::ParseList("").empty());
  EXPECT_TRUE(CUiImageListHWnd::ParseList(",,,").empty());
  EXPECT_TRUE(CUiImageListHWnd::ParseList(nullptr).empty());
}

TEST_F(SolidSkins, ImageListListsWinOverTheCountsDefaults) {
  // The lists come before imagecount in the document, yet decide the entries.
  auto row = Make<CUiImageListHWnd>(
      "<imglisth skinlist=\"skin0=red,,skin2=nosuchskin\" sublist=\"sub0=4,bad,=3,sub1=7\" "
      "imagecount=\"3\"/>");
  EXPECT_EQ(UiSkin::GetSkin("red"), row->GetEntrySkin(0));
  EXPECT_EQ(nullptr, row->GetEntrySkin(1));
  EXPECT_EQ(nullptr, row->GetEntrySkin(2));
  EXPECT_EQ(4, row->GetEntrySub(0));
  EXPECT_EQ(7, row->GetEntrySub(1));
  EXPECT_EQ(-1, row->GetEntrySub(2));
  // Changing a list later parses it at once; an empty value changes nothing.
  EXPECT_EQ(S_FALSE, row->SetAttribute("skinlist", "skin1=blue", FALSE));
  EXPECT_EQ(UiSkin::GetSkin("blue"), row->GetEntrySkin(1));
  EXPECT_EQ(S_FALSE, row->SetAttribute("sublist", "", FALSE));
  EXPECT_EQ(7, row->GetEntrySub(1));
}

TEST_F(SolidSkins, ImageListDrawsItsSkinsSideBySide) {
  auto row = Make<CUiImageListHWnd>(
      "<imglisth imagecount=\"3\" skinlist=\"skin0=red,,skin2=blue\" skin=\"green\" "
      "width=\"40\"/>");
  // Measured by its own skin: 6x8 from green, but a fixed width stays.
  EXPECT_EQ(40, row->GetRect().right);
  EXPECT_EQ(8, row->GetRect().bottom);
  Place(row.get(), 0, 0, 100, 100);
  DibCanvas canvas(40, 10);
  Paint(row.get(), canvas.Dc());
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(0, 2));
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(9, 2));
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(10, 2));  // the empty entry does not move the pen
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(16, 2));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(17, 2));
}

// ---------------------------------------------------------------- images

TEST_F(SolidSkins, ImageMeasuresBySkinAndDrawsTheWholeSkinWithoutSub) {
  auto img = Make<CUiImageWnd>("<img skin=\"blue\"/>");
  EXPECT_EQ(-1, img->GetSub());
  EXPECT_EQ(7, img->GetRect().right);
  EXPECT_EQ(5, img->GetRect().bottom);
  Place(img.get(), 2, 2, 100, 100);
  DibCanvas canvas(12, 10);
  Paint(img.get(), canvas.Dc());
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(2, 2));
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(8, 6));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(9, 2));

  auto none = Make<CUiImageWnd>("<img skin=\"nosuchskin\"/>");
  EXPECT_EQ(nullptr, none->GetSkin());
}

TEST(ImageButton, PictureFollowsOwnStateDisabledFirst) {
  EXPECT_EQ(0u, CUiImageBtnWnd::PictureForState(0));
  EXPECT_EQ(0u, CUiImageBtnWnd::PictureForState(UiWndState_Check));
  EXPECT_EQ(1u, CUiImageBtnWnd::PictureForState(UiWndState_Hover));
  EXPECT_EQ(2u, CUiImageBtnWnd::PictureForState(UiWndState_Hover | UiWndState_PushDown));
  EXPECT_EQ(3u, CUiImageBtnWnd::PictureForState(UiWndState_Disable | UiWndState_PushDown |
                                                UiWndState_Hover));
  CUiImageBtnWnd btn;
  EXPECT_TRUE(btn.NeedRedrawWhenStateChange());
}

// ---------------------------------------------------------------- icons

TEST(Icon, ChangedSourceReloadsAtTheNextPaint) {
  auto icon = Make<CUiIconWnd>("<icon src=\"32512\" oem=\"1\" size=\"32\"/>");
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), icon->GetIcon());
  EXPECT_EQ(32, icon->GetRect().right);  // size x size, the text is not measured
  EXPECT_EQ(32, icon->GetRect().bottom);

  EXPECT_EQ(S_FALSE, icon->SetAttribute("src", "32515", FALSE));
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), icon->GetIcon());  // not yet
  DibCanvas canvas(40, 40);
  Paint(icon.get(), canvas.Dc());
  EXPECT_EQ(32515, icon->GetLoadedSrc());
  EXPECT_EQ(::LoadIconW(nullptr, IDI_WARNING), icon->GetIcon());
}

TEST(Icon, SystemIconsSurviveTheElementsThatShowThem) {
  HICON shared = ::LoadIconW(nullptr, IDI_INFORMATION);
  {
    auto first = Make<CUiIconWnd>("<icon src=\"32516\" oem=\"1\"/>");
    auto second = Make<CUiIconWnd>("<icon src=\"32516\" oem=\"1\"/>");
    EXPECT_EQ(shared, first->GetIcon());
    first.reset();
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(second->GetIcon(), &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
  }
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(shared, &info));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  EXPECT_EQ(shared, ::LoadIconW(nullptr, IDI_INFORMATION));
}

TEST(Icon, MissingResourceDrawsNothingButKeepsItsSize) {
  auto icon = Make<CUiIconWnd>("<icon src=\"4242\" size=\"24\"/>");
  EXPECT_EQ(nullptr, icon->GetIcon());
  EXPECT_EQ(4242, icon->GetLoadedSrc());
  EXPECT_EQ(24, icon->GetRect().right);
  DibCanvas canvas(30, 30);
  Paint(icon.get(), canvas.Dc());
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(10, 10));
}

TEST(FileIcon, HandlesComeFromCodeNotFromLayoutText) {
  auto icon = Make<CUiDrawFileIcon>("<iconfrommodule iconhandle=\"12345\"/>");
  EXPECT_EQ(nullptr, icon->GetIconHandle());
  EXPECT_EQ(E_FAIL, icon->SetAttribute("iconhandle", "777", FALSE));
  HICON shared = ::LoadIconW(nullptr, IDI_APPLICATION);
  icon->SetIconHandle(shared);
  EXPECT_EQ(shared, icon->ResolveIcon());
}

TEST(FileIcon, ShellIconsAreCachedByPath) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  testenv::TempDir dir;
  // A Chinese file name: layout text is UTF-8.
  const std::wstring path = dir.File(L"\u56fe\u6807.txt");
  ASSERT_TRUE(testfiles::WriteBytes(path, "x"));
  const std::string xml = "<iconfrommodule srcfile=\"" + qv::WideToUtf8(path) + "\"/>";
  auto a = Make<CUiDrawFileIcon>(xml.c_str());
  auto b = Make<CUiDrawFileIcon>(xml.c_str());
  HICON first = a->ResolveIcon();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, b->ResolveIcon());
  EXPECT_EQ(first, a->ResolveIcon());
  // An empty value keeps the path; a missing file has no icon.
  EXPECT_EQ(S_OK, a->SetAttribute("srcfile", "", FALSE));
  EXPECT_EQ(first, a->ResolveIcon());
  auto missing = Make<CUiDrawFileIcon>("<iconfrommodule srcfile=\"Z:\\no\\such\\file.txt\"/>");
  EXPECT_EQ(nullptr, missing->ResolveIcon());
}

// ---------------------------------------------------------------- lines

TEST(Line, UnknownStyleKeepsThePreviousOne) {
  auto line = Make<CUiLine>("<hr style=\"dashdot\" size=\"2\"/>");
  EXPECT_EQ(PS_DASHDOT, line->GetPenStyle());
  EXPECT_EQ(E_FAIL, line->SetAttribute("style", "wavy", FALSE));
  EXPECT_EQ(PS_DASHDOT, line->GetPenStyle());
  EXPECT_EQ(S_FALSE, line->SetAttribute("style", "solid", FALSE));
  EXPECT_EQ(PS_SOLID, line->GetPenStyle());
}

TEST(Line, DrawsFromTopLeftUpToTheEndPoint) {
  auto line = Make<CUiLine>("<hr pos=\"2,5,-2,5\" crbg=\"FF0000\"/>");
  Place(line.get(), 2, 5, 20, 10);  // where a parent puts it
  EXPECT_EQ("2,5,18,5", Str(line->GetRect()));
  DibCanvas canvas(20, 10);
  Paint(line.get(), canvas.Dc());
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(2, 5));
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(17, 5));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(18, 5));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(1, 5));
}

// ---------------------------------------------------------------- memory images

class MemoryImage : public ::testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, nullptr));
    image_ = new Gdiplus::Bitmap(2, 2, PixelFormat32bppARGB);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) image_->SetPixel(x, y, Gdiplus::Color(255, 255, 0, 0));
  }
  void TearDown() override {
    delete image_;
    Gdiplus::GdiplusShutdown(token_);
  }
  ULONG_PTR token_ = 0;
  Gdiplus::Bitmap* image_ = nullptr;
};

TEST_F(MemoryImage, AddressesInLayoutTextAreRefused) {
  const std::string xml =
      "<memimage mempointer=\"" + std::to_string(reinterpret_cast<uintptr_t>(image_)) + "\"/>";
  auto img = Make<CUiMemoryImage>(xml.c_str());
  EXPECT_EQ(nullptr, img->GetImage());
  EXPECT_EQ(E_FAIL, img->SetAttribute("mempointer", "1234", FALSE));
}

TEST_F(MemoryImage, StretchedNaturalOrNothing) {
  auto img = Make<CUiMemoryImage>("<memimage pos=\"0,0,20,20\"/>");
  img->SetImage(image_);
  Place(img.get(), 0, 0, 20, 20);
  {
    DibCanvas canvas(24, 24);
    Paint(img.get(), canvas.Dc());
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(10, 10));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(22, 22));
  }
  img->SetAttribute("autosize", "0", FALSE);
  {
    DibCanvas canvas(24, 24);
    Paint(img.get(), canvas.Dc());
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(15, 15));
  }
  img->SetAttribute("autosize", "2", FALSE);
  {
    DibCanvas canvas(24, 24);
    Paint(img.get(), canvas.Dc());
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(0, 0));
  }
}

}  // namespace
