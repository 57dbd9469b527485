// The element kinds: check boxes and radio groups, progress bars, image rows,
// images, icons, file icons, lines, in-memory images, the tab control and hosted
// real windows.
#include <gtest/gtest.h>
#include <objidl.h>
#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "platform/TextConv.h"
#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "support/ElementLoad.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiCheckBox.h"
#include "uiwin/CUiDrawFileIcon.h"
#include "uiwin/CUiIconWnd.h"
#include "uiwin/CUiImageBtnWnd.h"
#include "uiwin/CUiImageListHWnd.h"
#include "uiwin/CUiLine.h"
#include "uiwin/CUiMemoryImage.h"
#include "uiwin/CUiProgress.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"

using elemload::LoadRoot;
using elemload::Place;
using elemload::Str;

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
               kBlue = RGB(0, 0, 255);

void Click(CUiWindow* wnd) {
  const RECT rc = wnd->GetRect();
  const LPARAM pt = MAKELPARAM(rc.left + 1, rc.top + 1);
  wnd->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, pt);
  wnd->UiSendMessage(WM_LBUTTONUP, 0, pt);
}

// Skins over bitmaps written to a resource directory: solid "red" 10x5, "blue" 7x5,
// "green" 6x8, one-picture strips of the last two; for tab heads a 2x5 red splitter,
// a strip of 30x20 blue heads and four 10x8 icons red, green, blue and yellow.
class Skinned : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testenv::TempDir dir;
    testfiles::WriteSolidBmp(dir.File(L"9601.bmp"), 10, 5, kRed);
    testfiles::WriteSolidBmp(dir.File(L"9602.bmp"), 7, 5, kBlue);
    testfiles::WriteSolidBmp(dir.File(L"9603.bmp"), 6, 8, kGreen);
    testfiles::WriteSolidBmp(dir.File(L"9604.bmp"), 2, 5, kRed);
    testfiles::WriteSolidBmp(dir.File(L"9605.bmp"), 90, 20, kBlue);
    testfiles::WriteBandedBmp(dir.File(L"9606.bmp"), 10, 8,
                              {kRed, kGreen, kBlue, RGB(255, 255, 0)});
    testfiles::WriteBytes(dir.File(L"9600.xml"),
                          "<skins><imglst name=\"red\" src=\"9601\"/>"
                          "<imglst name=\"blue\" src=\"9602\"/><imglst name=\"green\" src=\"9603\"/>"
                          "<imglst name=\"greenstrip\" src=\"9603\" subwidth=\"6\"/>"
                          "<imglst name=\"bluestrip\" src=\"9602\" subwidth=\"7\"/>"
                          "<imglst name=\"tsplit\" src=\"9604\"/>"
                          "<imglst name=\"thead\" src=\"9605\" subwidth=\"30\"/>"
                          "<imglst name=\"ticons\" src=\"9606\" subwidth=\"10\"/></skins>");
    UiResUtil::SetResourceDirectory(dir.Path().c_str());
    ASSERT_TRUE(UiSkin::LoadSkins(9600));  // the bitmaps are cached from here on
    UiResUtil::SetResourceDirectory(L"");
  }
};

// The root of `xml` painted into a white canvas.
std::unique_ptr<DibCanvas> Painted(elemload::Root* root, int cx, int cy) {
  auto canvas = std::make_unique<DibCanvas>(cx, cy);
  root->RedrawRegion(canvas->Dc(), nullptr);
  return canvas;
}

// ---------------------------------------------------------------- state pictures

TEST(ElementState, MarksAndPicturesFollowTheOwnBits) {
  const DWORD H = UiWndState_Hover, P = UiWndState_PushDown, C = UiWndState_Check,
              D = UiWndState_Disable;
  const UINT T = DFCS_TRANSPARENT;
  // check and radio: theme state and classic flags; image button: strip picture
  const struct {
    DWORD state;
    int theme;
    UINT flags;
    DWORD picture;
  } cases[] = {
      {0, 1, T, 0},
      {H, 2, T | DFCS_HOT, 1},
      {P | H, 3, T | DFCS_PUSHED | DFCS_HOT, 2},
      {D | P | H, 4, T | DFCS_INACTIVE | DFCS_PUSHED | DFCS_HOT, 3},
      {C, 5, T | DFCS_CHECKED, 0},
      {C | H, 6, T | DFCS_CHECKED | DFCS_HOT, 1},
      {C | D, 8, T | DFCS_CHECKED | DFCS_INACTIVE, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    EXPECT_EQ(c.theme, CUiCheckBox::ThemeStateFor(c.state));
    EXPECT_EQ(c.flags, CUiCheckBox::FrameFlagsFor(c.state));
    EXPECT_EQ(c.picture, CUiImageBtnWnd::PictureForState(c.state));
  }
}

// ---------------------------------------------------------------- check box and radio

TEST(CheckBox, ReleaseTogglesTheCheckBitAndTheMarkSitsBesideTheText) {
  auto root = LoadRoot(
      "<dlg><check id=\"1\" pos=\"0,0\" check=\"1\" crtext=\"FF0000\">Wg</check>"
      "<check id=\"2\" pos=\"0,0\"/><text id=\"3\" pos=\"0,0\">Wg</text>"
      "<radio id=\"4\" pos=\"0,0\"/></dlg>");
  auto* check = root->Item<CUiCheckBox>(1);
  EXPECT_EQ(1, check->GetCheckValue());
  EXPECT_FALSE(check->IsChecked());  // the attribute does not preset the state
  Click(check);
  EXPECT_TRUE(check->IsChecked());
  check->ModifyState(UiWndState_Hover, 0);
  Click(check);
  EXPECT_EQ(static_cast<DWORD>(UiWndState_Hover), check->GetState());
  // 13-pixel box plus 4, 12-pixel circle plus 2, at least as high as the mark
  const RECT text = root->Item(3)->GetRect(), box = check->GetRect();
  EXPECT_EQ(text.right - text.left + 17, box.right - box.left);
  EXPECT_EQ(std::max<LONG>(13, text.bottom - text.top), box.bottom - box.top);
  EXPECT_EQ(17, root->Item(2)->GetRect().right);
  EXPECT_EQ(14, root->Item(4)->GetRect().right);
  // The box is drawn, the text beside it; the shift for the text is undone.
  DibCanvas canvas(80, 30);
  check->RedrawRegion(canvas.Dc(), nullptr);
  EXPECT_EQ(0, check->GetRect().left);
  bool boxDrawn = false, textRed = false;
  for (int y = 0; y < box.bottom; ++y) {
    for (int x = 0; x < 13; ++x) boxDrawn = boxDrawn || canvas.At(x, y) != kWhite;
    for (int x = 17; x < box.right; ++x) textRed = textRed || canvas.At(x, y) == kRed;
    for (int x = 13; x < 17; ++x) EXPECT_NE(kRed, canvas.At(x, y));
  }
  EXPECT_TRUE(boxDrawn);
  EXPECT_TRUE(textRed);
}

std::vector<HUIWND> Group(const std::string& name) {
  UiWnds::Lock lock;
  return UiWnds::RadioGroup(name);
}

bool InGroup(const std::string& name, HUIWND h) {
  const std::vector<HUIWND> g = Group(name);
  return std::find(g.begin(), g.end(), h) != g.end();
}

const char kThreeRadios[] =
    "<dlg><radio id=\"1\" pos=\"0,0\" group=\"r3\">one</radio>"
    "<radio id=\"2\" pos=\"0,20\" group=\"r3\">two</radio>"
    "<radio id=\"3\" pos=\"0,40\" group=\"r3\">three</radio></dlg>";

TEST(Radio, ClickUnchecksOnlyTheOneThatWasChecked) {
  ElementHost host;
  auto root = LoadRoot(kThreeRadios, host.View());
  CUiWindow* one = root->Item(1);
  EXPECT_EQ(3u, Group("r3").size());
  one->ModifyState(UiWndState_Check, 0);
  host.Clear();
  Click(root->Item(2));
  EXPECT_FALSE(one->IsChecked());
  EXPECT_TRUE(root->Item(2)->IsChecked());
  EXPECT_FALSE(root->Item(3)->IsChecked());
  const auto repaints = host.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(1u, repaints.size());
  EXPECT_EQ(one->GetHandle(), repaints[0].huiWnd);
  EXPECT_EQ(Str(one->GetRect()), Str(repaints[0].rc));
  // A checked radio stays checked and changes nobody.
  host.Clear();
  Click(root->Item(2));
  EXPECT_TRUE(root->Item(2)->IsChecked());
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
  // Radios without a group share the empty one.
  auto plain = LoadRoot("<dlg><radio id=\"1\" pos=\"0,0\"/><radio id=\"2\" pos=\"0,20\"/></dlg>");
  EXPECT_TRUE(InGroup("", plain->Item(1)->GetHandle()));
  Click(plain->Item(1));
  Click(plain->Item(2));
  EXPECT_FALSE(plain->Item(1)->IsChecked());
}

TEST(Radio, HostViewsWithTheSameGroupNameStayIndependent) {
  ElementHost parent, child;
  auto a = LoadRoot(kThreeRadios, parent.View());
  auto b = LoadRoot(kThreeRadios, child.View());
  EXPECT_EQ(6u, Group("r3").size());
  Click(a->Item(1));
  parent.Clear();
  Click(b->Item(2));
  Click(b->Item(3));
  EXPECT_TRUE(a->Item(1)->IsChecked());
  EXPECT_FALSE(b->Item(2)->IsChecked());
  EXPECT_TRUE(parent.Notices(UINM_INVALIDATERECT).empty());
}

TEST(Radio, DestroyedOrRegroupedRadiosLeaveTheirGroup) {
  ElementHost host;
  auto keep = LoadRoot("<dlg><radio id=\"9\" pos=\"0,0\" group=\"gone\"/>"
                       "<radio id=\"8\" pos=\"0,20\" group=\"to\"/></dlg>",
                       host.View());
  HUIWND h1;
  {
    auto root = LoadRoot("<dlg><radio id=\"1\" pos=\"0,0\" group=\"gone\"/></dlg>", host.View());
    h1 = root->Item(1)->GetHandle();
    root->Item(1)->ModifyState(UiWndState_Check, 0);
  }
  EXPECT_FALSE(InGroup("gone", h1));
  host.Clear();
  Click(keep->Item(9));  // nothing left to uncheck, nothing freed is touched
  EXPECT_TRUE(keep->Item(9)->IsChecked());
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
  // Changing the group moves the radio.
  EXPECT_EQ(S_FALSE, keep->Item(9)->SetAttribute("group", "to", FALSE));
  EXPECT_FALSE(InGroup("gone", keep->Item(9)->GetHandle()));
  Click(keep->Item(8));
  EXPECT_FALSE(keep->Item(9)->IsChecked());
}

// ---------------------------------------------------------------- progress

TEST(Progress, PercentTakesMinAndMaxInEitherOrderAndClampsTheValue) {
  const int cases[][4] = {
      {0, 100, 50, 50},  {10, 0, 20, 100}, {0, 10, -5, 0},   {5, 5, 5, 0},
      {5, 5, 99, 0},     {0, 3, 1, 33},    {0, 3, 2, 66},    {100, 0, 25, 25},
      {-10, 10, 0, 50},  {0, 100, 62, 62}, {0, 100, 29, 29}, {0, 1000, 579, 57},
      {INT_MIN, INT_MAX, INT_MAX, 100},    {INT_MIN, INT_MAX, 0, 50},
      {INT_MIN, INT_MAX, -1, 49},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c[3], CUiProgress::Percent(c[0], c[1], c[2])) << c[0] << " " << c[1] << " " << c[2];
}

TEST(Progress, BarGeometry) {
  const struct {
    RECT rc;
    int value;  // of 0..1000
    int posSkinHeight;
    const char* bar;
  } cases[] = {
      {{0, 0, 104, 20}, 500, -1, "2,2,52,18"},   {{0, 0, 104, 20}, 1000, -1, "2,2,102,18"},
      {{0, 0, 104, 20}, 0, -1, "2,2,2,18"},      {{0, 0, 104, 20}, 620, -1, "2,2,64,18"},
      {{10, 10, 20, 30}, 999, -1, "12,12,17,28"},  // 5.99 truncates to 5
      {{0, 0, 104, 20}, 500, 8, "2,6,52,14"},    // centred on the bar skin
      {{0, 0, 104, 21}, 1000, 8, "2,6,102,15"},  // (21 - 8) / 2 = 6
      {{0, 0, 3, 20}, 1000, -1, "2,2,2,18"},     // narrower than the frame
      {{0, 0, 0, 0}, 1000, -1, "2,2,2,2"},       {{0, 0, 50, 3}, 500, -1, "2,2,25,2"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.bar, Str(CUiProgress::BarRect(c.rc, 0, 1000, c.value, c.posSkinHeight)))
        << Str(c.rc) << " " << c.value;
}

TEST(Progress, PaintsTheBarAndKeepsItsFields) {
  auto root = LoadRoot(
      "<dlg><progress id=\"1\" min=\"100\" max=\"0\" value=\"50\" height=\"20\" width=\"104\"/>"
      "</dlg>");
  auto* p = root->Item<CUiProgress>(1);
  EXPECT_EQ("0,0,104,20", Str(p->GetRect()));
  auto canvas = Painted(root.get(), 120, 30);
  EXPECT_EQ(RGB(0x42, 0x61, 0x90), canvas->At(20, 10));  // inside the bar
  EXPECT_NE(RGB(0x42, 0x61, 0x90), canvas->At(80, 10));  // beyond it
  EXPECT_EQ(kWhite, canvas->At(110, 10));                  // outside the element
  // Painting computes; it does not rewrite what the layout gave.
  EXPECT_EQ(100, p->GetMin());
  EXPECT_EQ(0, p->GetMax());
  EXPECT_EQ(50, p->GetValue());
}

TEST_F(Skinned, ProgressTakesItsHeightFromTheBackgroundSkin) {
  auto root = LoadRoot("<dlg><progress id=\"1\" bgskin=\"greenstrip\" posskin=\"bluestrip\" "
                       "width=\"60\" min=\"0\" max=\"2\" value=\"1\"/></dlg>");
  EXPECT_EQ(8, root->Item(1)->GetRect().bottom);  // the green bitmap's height
  auto canvas = Painted(root.get(), 70, 10);
  EXPECT_EQ(kGreen, canvas->At(1, 0));  // background skin, at its own size
  EXPECT_EQ(kBlue, canvas->At(7, 1));   // bar skin, inset (8 - 5) / 2 = 1
  EXPECT_EQ(kBlue, canvas->At(8, 5));
  EXPECT_NE(kBlue, canvas->At(8, 6));
}

// ---------------------------------------------------------------- images

TEST(ImageList, ParseSkipsEmptyItemsItemsWithoutEqualsAndEmptyKeys) {
  using Items = decltype(CUiImageListHWnd::ParseList(""));
  EXPECT_EQ((Items{{"k", "v"}, {"x", "1=2"}}),  // cut at the first "="
            CUiImageListHWnd::ParseList("=x,noequals,k=v,,,x=1=2,"));
  EXPECT_TRUE(CUiImageListHWnd::ParseList(",,,").empty());
  EXPECT_TRUE(CUiImageListHWnd::ParseList(nullptr).empty());
}

TEST_F(Skinned, ImageListListsWinOverTheCountAndDrawSideBySide) {
  // The lists come before imagecount in the document, yet decide the entries.
  auto root = LoadRoot(
      "<dlg><imglisth id=\"1\" skinlist=\"skin0=red,,skin2=nosuchskin\" "
      "sublist=\"sub0=4,bad,=3,sub1=7\" imagecount=\"3\"/>"
      "<imglisth id=\"2\" imagecount=\"3\" skinlist=\"skin0=red,,skin2=blue\" skin=\"green\" "
      "width=\"40\"/></dlg>");
  auto* row = root->Item<CUiImageListHWnd>(1);
  EXPECT_EQ(UiSkin::GetSkin("red"), row->GetEntrySkin(0));
  EXPECT_EQ(nullptr, row->GetEntrySkin(2));
  EXPECT_EQ(7, row->GetEntrySub(1));
  EXPECT_EQ(-1, row->GetEntrySub(2));
  // Changing a list later parses it at once; an empty value changes nothing.
  EXPECT_EQ(S_FALSE, row->SetAttribute("skinlist", "skin1=blue", FALSE));
  EXPECT_EQ(UiSkin::GetSkin("blue"), row->GetEntrySkin(1));
  EXPECT_EQ(S_FALSE, row->SetAttribute("sublist", "", FALSE));
  EXPECT_EQ(7, row->GetEntrySub(1));
  // Measured by its own skin (6x8 from green), but a fixed width stays.
  EXPECT_EQ("0,0,40,8", Str(root->Item(2)->GetRect()));
  row->SetVisible(FALSE);
  auto canvas = Painted(root.get(), 40, 10);
  EXPECT_EQ(kRed, canvas->At(9, 2));
  EXPECT_EQ(kBlue, canvas->At(10, 2));  // the empty entry does not move the pen
  EXPECT_EQ(kBlue, canvas->At(16, 2));
  EXPECT_EQ(kWhite, canvas->At(17, 2));
}

TEST_F(Skinned, ImageMeasuresBySkinAndDrawsTheWholeSkinWithoutSub) {
  auto root = LoadRoot("<dlg><img id=\"1\" pos=\"2,2\" skin=\"blue\"/>"
                       "<img id=\"2\" skin=\"nosuchskin\"/></dlg>");
  EXPECT_EQ("2,2,9,7", Str(root->Item(1)->GetRect()));
  EXPECT_EQ(nullptr, root->Item<CUiImageWnd>(2)->GetSkin());
  auto canvas = Painted(root.get(), 12, 10);
  EXPECT_EQ(kBlue, canvas->At(2, 2));
  EXPECT_EQ(kBlue, canvas->At(8, 6));
  EXPECT_EQ(kWhite, canvas->At(9, 2));
}

TEST(Icon, ChangedSourceReloadsAtTheNextPaintAndMissingOnesKeepTheirSize) {
  auto root = LoadRoot("<dlg><icon id=\"1\" src=\"32512\" oem=\"1\" size=\"32\"/>"
                       "<icon id=\"2\" pos=\"40,0\" src=\"4242\" size=\"24\"/></dlg>");
  auto* icon = root->Item<CUiIconWnd>(1);
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), icon->GetIcon());
  EXPECT_EQ("0,0,32,32", Str(icon->GetRect()));  // size x size, the text is not measured
  EXPECT_EQ(S_FALSE, icon->SetAttribute("src", "32515", FALSE));
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), icon->GetIcon());  // not yet
  auto canvas = Painted(root.get(), 70, 40);
  EXPECT_EQ(::LoadIconW(nullptr, IDI_WARNING), icon->GetIcon());
  auto* missing = root->Item<CUiIconWnd>(2);
  EXPECT_EQ(nullptr, missing->GetIcon());
  EXPECT_EQ(4242, missing->GetLoadedSrc());
  EXPECT_EQ("40,0,64,24", Str(missing->GetRect()));
  EXPECT_EQ(kWhite, canvas->At(50, 10));
}

TEST(Icon, SystemIconsSurviveTheElementsThatShowThem) {
  HICON shared = ::LoadIconW(nullptr, IDI_INFORMATION);
  auto live = [](HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
  };
  {
    auto root = LoadRoot("<dlg><icon id=\"1\" src=\"32516\" oem=\"1\"/></dlg>");
    auto second = LoadRoot("<dlg><icon id=\"1\" src=\"32516\" oem=\"1\"/></dlg>");
    EXPECT_EQ(shared, root->Item<CUiIconWnd>(1)->GetIcon());
    root.reset();
    EXPECT_TRUE(live(second->Item<CUiIconWnd>(1)->GetIcon()));
  }
  EXPECT_TRUE(live(shared));
  EXPECT_EQ(shared, ::LoadIconW(nullptr, IDI_INFORMATION));
}

TEST(FileIcon, HandlesComeFromCodeAndShellIconsAreCachedByPath) {
  testenv::TempDir dir;
  const std::wstring path = dir.File(L"\u56fe\u6807.txt");  // layout text is UTF-8
  ASSERT_TRUE(testfiles::WriteBytes(path, "x"));
  const std::string src = "srcfile=\"" + qv::WideToUtf8(path) + "\"";
  auto root = LoadRoot("<dlg><iconfrommodule id=\"1\" iconhandle=\"12345\"/>"
                       "<iconfrommodule id=\"2\" " + src + "/><iconfrommodule id=\"3\" " + src +
                       "/><iconfrommodule id=\"4\" srcfile=\"Z:\\no\\such\\file.txt\"/></dlg>");
  auto* code = root->Item<CUiDrawFileIcon>(1);
  EXPECT_EQ(nullptr, code->GetIconHandle());
  EXPECT_EQ(E_FAIL, code->SetAttribute("iconhandle", "777", FALSE));
  code->SetIconHandle(::LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), code->ResolveIcon());
  auto* a = root->Item<CUiDrawFileIcon>(2);
  HICON first = a->ResolveIcon();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, root->Item<CUiDrawFileIcon>(3)->ResolveIcon());
  EXPECT_EQ(S_OK, a->SetAttribute("srcfile", "", FALSE));  // an empty value keeps the path
  EXPECT_EQ(first, a->ResolveIcon());
  EXPECT_EQ(nullptr, root->Item<CUiDrawFileIcon>(4)->ResolveIcon());
}

TEST(Line, DrawsFromTopLeftUpToTheEndPoint) {
  auto root = LoadRoot("<dlg><hr id=\"1\" pos=\"2,5,-2,5\" crbg=\"FF0000\" style=\"dashdot\"/></dlg>",
                       nullptr, 20, 10);
  auto* line = root->Item<CUiLine>(1);
  EXPECT_EQ(E_FAIL, line->SetAttribute("style", "wavy", FALSE));  // keeps the previous one
  EXPECT_EQ(PS_DASHDOT, line->GetPenStyle());
  line->SetAttribute("style", "solid", FALSE);
  EXPECT_EQ("2,5,18,5", Str(line->GetRect()));
  auto canvas = Painted(root.get(), 20, 10);
  EXPECT_EQ(kRed, canvas->At(2, 5));
  EXPECT_EQ(kRed, canvas->At(17, 5));
  EXPECT_EQ(kWhite, canvas->At(18, 5));
  EXPECT_EQ(kWhite, canvas->At(1, 5));
}

TEST(MemoryImage, AddressesInLayoutTextAreRefusedAndSizesAreStretchedNaturalOrNothing) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
  {
    Gdiplus::Bitmap image(2, 2, PixelFormat32bppARGB);
    for (int i = 0; i < 4; ++i) image.SetPixel(i % 2, i / 2, Gdiplus::Color(255, 255, 0, 0));
    const std::string address = std::to_string(reinterpret_cast<uintptr_t>(&image));
    auto root = LoadRoot("<dlg><memimage id=\"1\" pos=\"0,0,20,20\" mempointer=\"" + address +
                         "\"/></dlg>");
    auto* img = root->Item<CUiMemoryImage>(1);
    EXPECT_EQ(nullptr, img->GetImage());
    EXPECT_EQ(E_FAIL, img->SetAttribute("mempointer", "1234", FALSE));
    img->SetImage(&image);
    const struct {
      const char* autosize;
      COLORREF at00, at1010;
    } cases[] = {{"1", kRed, kRed}, {"0", kRed, kWhite}, {"2", kWhite, kWhite}};
    for (const auto& c : cases) {
      img->SetAttribute("autosize", c.autosize, FALSE);
      auto canvas = Painted(root.get(), 24, 24);
      EXPECT_EQ(c.at00, canvas->At(0, 0)) << c.autosize;
      EXPECT_EQ(c.at1010, canvas->At(10, 10)) << c.autosize;
      EXPECT_EQ(kWhite, canvas->At(22, 22)) << c.autosize;
    }
  }
  Gdiplus::GdiplusShutdown(token);
}

// ---------------------------------------------------------------- tab control

// Pages a (id 11), hidden b (id 12), c (id 13) with 100-pixel heads 20 high.
const char kThreePages[] =
    "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabwidth=\"100\" tabheight=\"20\" "
    "tabspacing=\"3\" tabpos=\"9\" framepos=\"4\">"
    "<tab id=\"11\" title=\"a\"><text id=\"21\" pos=\"5,5\">page a</text></tab>"
    "<tab id=\"12\" title=\"b\" hide=\"1\"><text id=\"22\" pos=\"5,5\">page b</text></tab>"
    "<tab id=\"13\" title=\"c\"><text id=\"23\" pos=\"5,5\">page c</text></tab>"
    "</tabctrl></dlg>";

std::string HeadRect(CUiTabCtrl* tab, int i) {
  RECT rc;
  return tab->GetItemRect(i, &rc) ? Str(rc) : "none";
}

TEST(TabCtrl, HeadsSkipHiddenPagesWhichArePlacedAndSearchedButNotHit) {
  auto root = LoadRoot(kThreePages);
  auto* tab = root->Item<CUiTabCtrl>(10);
  EXPECT_EQ("9,0,109,20", HeadRect(tab, 0));
  EXPECT_EQ("112,0,212,20", HeadRect(tab, 1));  // hidden, but it has a place
  EXPECT_EQ("112,0,212,20", HeadRect(tab, 2));
  EXPECT_EQ("none", HeadRect(tab, 3));
  EXPECT_EQ("none", HeadRect(tab, -1));
  // The pages sit below the heads and framepos; every page is placed and searched.
  for (int i = 0; i < 3; ++i) EXPECT_EQ("0,24,400,300", Str(tab->GetItem(i)->GetRect()));
  EXPECT_EQ(tab->GetItem(1), root->Item(12));
  EXPECT_EQ("5,29", Str(root->Item(22)->GetRect()).substr(0, 4));
  EXPECT_EQ(root->Item(21)->GetHandle(), tab->HitTest(POINT{7, 31}));
  EXPECT_EQ(tab->GetHandle(), tab->HitTest(POINT{50, 10}));  // a head
  // Left-aligned heads stack down; an unknown alignment changes nothing.
  auto left = LoadRoot(
      "<dlg><tabctrl id=\"10\" pos=\"10,10,-0,-0\" tabwidth=\"80\" tabheight=\"20\" "
      "tabspacing=\"2\" tabpos=\"5\" tabalign=\"left\" margin=\"0\">"
      "<tab/><tab/><tab/></tabctrl></dlg>");
  auto* lt = left->Item<CUiTabCtrl>(10);
  EXPECT_EQ(E_FAIL, lt->SetAttribute("tabalign", "right", FALSE));
  EXPECT_EQ("10,59,90,79", HeadRect(lt, 2));  // 10 + 5 + 2 * (20 + 2)
  EXPECT_EQ("90,10,400,300", Str(lt->GetPageRect()));
}

TEST(TabCtrl, CurselNamesTheShownPage) {
  const struct {
    const char* cursel;
    const char* hides;
    int expected;
  } cases[] = {
      // none, out of range or on a hidden page: the first visible page
      {nullptr, "100", 1}, {"2", "000", 2},  {"1", "010", 0},
      {"7", "000", 0},     {"-3", "100", 1}, {"0", "110", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.cursel ? c.cursel : "none") + " " + c.hides);
    std::string xml = "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\"";
    if (c.cursel) xml += std::string(" cursel=\"") + c.cursel + "\"";
    xml += ">";
    for (int i = 0; i < 3; ++i) xml += std::string("<tab hide=\"") + c.hides[i] + "\"/>";
    auto root = LoadRoot(xml + "<text/></tabctrl></dlg>");  // not a page: skipped
    auto* tab = root->Item<CUiTabCtrl>(10);
    ASSERT_EQ(3, tab->GetItemCount());
    EXPECT_EQ(c.expected, tab->GetCurSel());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i == c.expected, tab->GetItem(i)->IsVisible(FALSE) != FALSE);
  }
}

TEST(TabCtrl, SelectionIsAskedForAndCanBeVetoed) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = root->Item<CUiTabCtrl>(10);
  // An out-of-range index is refused before anyone is asked.
  EXPECT_FALSE(tab->SetCurSel(3));
  EXPECT_FALSE(tab->SetCurSel(-1));
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  host.onTabChange = [](UINMTABSELCHANGE* nm) { nm->bCancel = TRUE; };
  EXPECT_FALSE(tab->SetCurSel(2));
  EXPECT_EQ(0, tab->GetCurSel());
  EXPECT_FALSE(tab->GetItem(2)->IsVisible(FALSE));
  auto asked = host.Notices(UINM_TAB_SELCHANGE);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ(10u, asked[0].item);
  EXPECT_EQ(2u, asked[0].tabNew);
  EXPECT_EQ(0u, asked[0].tabOld);
  EXPECT_EQ(host.View(), asked[0].hwndFrom);
  EXPECT_EQ(static_cast<UINT_PTR>(IDC_UIVIEW), asked[0].idFrom);
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());

  host.onTabChange = nullptr;
  host.Clear();
  EXPECT_TRUE(tab->SetCurSel(2));
  EXPECT_FALSE(tab->GetItem(0)->IsVisible(FALSE));
  EXPECT_TRUE(tab->GetItem(2)->IsVisible(FALSE));
  const auto repaints = host.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(3u, repaints.size());  // both heads, then the page
  EXPECT_EQ("9,0,109,20", Str(repaints[0].rc));
  EXPECT_EQ("112,0,212,20", Str(repaints[1].rc));
  EXPECT_EQ("0,24,400,300", Str(repaints[2].rc));
  // The current index is still asked about; a hidden page can be selected by code.
  host.Clear();
  EXPECT_TRUE(tab->SetCurSel(2));
  EXPECT_EQ(1u, host.Notices(UINM_TAB_SELCHANGE).size());
  EXPECT_TRUE(tab->SetCurSel(1));
  // "cursel" set at run time shows that page without asking.
  host.Clear();
  EXPECT_EQ(S_FALSE, tab->SetAttribute("cursel", "2", FALSE));
  EXPECT_EQ(2, tab->GetCurSel());
  EXPECT_TRUE(tab->GetItem(2)->IsVisible(FALSE));
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  EXPECT_EQ(E_FAIL, tab->SetAttribute("cursel", "5", FALSE));
  EXPECT_EQ(2, tab->GetCurSel());
}

TEST(TabCtrl, HeadsFollowTheMouse) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = root->Item<CUiTabCtrl>(10);
  auto send = [&](UINT msg, int x, int y) { tab->UiSendMessage(msg, 0, MAKELPARAM(x, y)); };
  auto repaints = [&] { return host.Notices(UINM_INVALIDATERECT).size(); };
  // A press selects another page only.
  send(WM_LBUTTONDOWN, 20, 10);   // the selected head
  send(WM_LBUTTONDOWN, 300, 10);  // no head
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  // Hover follows the heads but never the selected one.
  send(WM_MOUSEMOVE, 150, 10);
  EXPECT_EQ(2, tab->GetHover());
  EXPECT_EQ(1u, repaints());
  send(WM_MOUSEMOVE, 151, 11);
  EXPECT_EQ(1u, repaints());  // the same head: no repaint
  send(WM_MOUSEMOVE, 20, 10);
  EXPECT_EQ(-1, tab->GetHover());
  EXPECT_EQ(2u, repaints());
  send(WM_MOUSEMOVE, 150, 10);
  send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(-1, tab->GetHover());
  EXPECT_EQ(4u, repaints());
  send(WM_LBUTTONDOWN, 150, 10);  // page c's head
  EXPECT_EQ(1u, host.Notices(UINM_TAB_SELCHANGE).size());
  EXPECT_EQ(2, tab->GetCurSel());
}

TEST(TabCtrl, ReceiverThatReloadsTheLayoutDuringTheQuestion) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = root->Item<CUiTabCtrl>(10);
  const HUIWND handle = tab->GetHandle();
  TiXmlDocument doc;
  doc.Parse("<text id=\"1\"/>");
  host.onTabChange = [&](UINMTABSELCHANGE*) { root->LoadChilds(doc.RootElement()); };
  EXPECT_FALSE(tab->SetCurSel(2));  // the control is gone; nothing of it is touched
  EXPECT_EQ(nullptr, UiWnds::GetWindow(handle));
}

TEST_F(Skinned, TabHeadsDrawSplittersHeadSkinsAndIconsByPageIndex) {
  auto root = LoadRoot(
      "<dlg><tabctrl id=\"1\" pos=\"0,0,-0,10\" tabwidth=\"20\" tabheight=\"5\" tabspacing=\"10\" "
      "splitterskin=\"tsplit\"><tab/><tab hide=\"1\"/><tab/><tab/></tabctrl>"
      "<tabctrl id=\"2\" pos=\"0,10,-0,40\" tabskin=\"thead\"><tab/><tab/><tab/></tabctrl>"
      "<tabctrl id=\"3\" pos=\"0,40,-0,-0\" tabwidth=\"30\" tabheight=\"10\" iconskin=\"ticons\" "
      "icon-x=\"2\" icon-y=\"1\"><tab/><tab/><tab hide=\"1\"/><tab/></tabctrl></dlg>",
      nullptr, 120, 60);
  auto canvas = Painted(root.get(), 120, 60);
  int red = 0;
  for (int x = 0; x < 120; ++x) red += canvas->At(x, 2) == kRed;
  EXPECT_EQ(4, red);  // two splitters of 2 pixels, between visible heads only
  EXPECT_EQ(kRed, canvas->At(24, 2));  // centred in the 10-pixel gap after head 0
  EXPECT_EQ(kRed, canvas->At(54, 2));
  // The head size is the head skin's picture size.
  EXPECT_EQ(30, root->Item<CUiTabCtrl>(2)->GetHeadSize().cx);
  EXPECT_EQ(20, root->Item<CUiTabCtrl>(2)->GetHeadSize().cy);
  EXPECT_EQ(kBlue, canvas->At(65, 15));
  EXPECT_EQ(kWhite, canvas->At(95, 15));
  // Each head shows the icon of its page index, moved by icon-x and icon-y.
  EXPECT_EQ(kRed, canvas->At(3, 42));
  EXPECT_EQ(kGreen, canvas->At(33, 42));
  EXPECT_EQ(RGB(255, 255, 0), canvas->At(63, 42));  // page 3 takes the hidden page's place
  EXPECT_EQ(kWhite, canvas->At(1, 42));
}

// ---------------------------------------------------------------- hosted real windows

TEST(RealWnd, PlacedOnceAndNotifiedOnlyOnChange) {
  ElementHost host;
  HWND grid = host.AddControl(77, true);
  auto root = LoadRoot("<dlg><realwnd id=\"77\" ctrlid=\"5\" pos=\"10,20,-10,-30\"/>"
                       "<realwnd id=\"78\" pos=\"0,0,50,50\"/></dlg>",
                       host.View());
  auto where = [&] {
    RECT rc;
    ::GetWindowRect(grid, &rc);
    ::MapWindowPoints(HWND_DESKTOP, host.View(), reinterpret_cast<POINT*>(&rc), 2);
    return Str(rc);
  };
  EXPECT_EQ(grid, root->Item<CUiRealWnd>(77)->GetRealHWnd());
  EXPECT_EQ("10,20,390,270", where());
  // Without a window the dialog is told all the same.
  auto resized = host.Notices(UINM_REALWND_RESIZED);
  ASSERT_EQ(2u, resized.size());
  EXPECT_EQ(77u, resized[0].item);
  EXPECT_EQ("10,20,390,270", Str(resized[0].rc));
  EXPECT_EQ(host.View(), resized[0].to);
  EXPECT_FALSE(root->Item<CUiRealWnd>(78)->ShowRealWindow(TRUE));
  // The same place again: no notice and the window is left where it is.
  ::MoveWindow(grid, 1, 1, 5, 5, FALSE);
  host.Clear();
  Place(root.get(), 0, 0, 400, 300);
  EXPECT_TRUE(host.Notices(UINM_REALWND_RESIZED).empty());
  EXPECT_EQ("1,1,6,6", where());
  Place(root.get(), 0, 0, 500, 300);
  ASSERT_EQ(1u, host.Notices(UINM_REALWND_RESIZED).size());
  EXPECT_EQ("10,20,490,270", where());
}

}  // namespace
