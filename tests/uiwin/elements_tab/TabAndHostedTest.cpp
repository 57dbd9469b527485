// The tab control, hosted real windows and sub-layouts.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <memory>
#include <string>

#include "support/DebugReportCapture.h"
#include "support/DibCanvas.h"
#include "support/TestFiles.h"
#include "support/ElementHost.h"
#include "support/ElementLoad.h"
#include "support/TestEnv.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiDialogFile.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"

namespace {

using elemload::LoadRoot;

void Replace(CUiWindow* root, int cx, int cy) { elemload::Place(root, 0, 0, cx, cy); }

template <typename T = CUiWindow>
T* Item(CUiDialog* root, UINT id) {
  CUiWindow* wnd = root->FindChildByCmdID(id);
  EXPECT_NE(nullptr, wnd) << id;
  return static_cast<T*>(wnd);
}

std::string Str(const RECT& rc) {
  return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
         "," + std::to_string(rc.bottom);
}

RECT WindowRectInParent(HWND wnd) {
  RECT rc;
  ::GetWindowRect(wnd, &rc);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool HasVisibleStyle(HWND wnd) { return (::GetWindowLongW(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

LPARAM Pt(int x, int y) { return MAKELPARAM(x, y); }

// Pages a (id 11), hidden b (id 12), c (id 13) with 100-pixel heads 20 high.
const char kThreePages[] =
    "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabwidth=\"100\" tabheight=\"20\" "
    "tabspacing=\"3\" tabpos=\"9\" framepos=\"4\">"
    "<tab id=\"11\" title=\"a\"><text id=\"21\" pos=\"5,5\">page a</text></tab>"
    "<tab id=\"12\" title=\"b\" hide=\"1\"><text id=\"22\" pos=\"5,5\">page b</text></tab>"
    "<tab id=\"13\" title=\"c\"><text id=\"23\" pos=\"5,5\">page c</text></tab>"
    "</tabctrl></dlg>";

// ---------------------------------------------------------------- tab geometry

TEST(TabCtrl, HeadsSkipHiddenPages) {
  auto root = LoadRoot(kThreePages, nullptr);
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  RECT rc;
  ASSERT_TRUE(tab->GetItemRect(0, &rc));
  EXPECT_EQ("9,0,109,20", Str(rc));
  ASSERT_TRUE(tab->GetItemRect(1, &rc));  // hidden, but it has a place
  EXPECT_EQ("112,0,212,20", Str(rc));
  ASSERT_TRUE(tab->GetItemRect(2, &rc));
  EXPECT_EQ("112,0,212,20", Str(rc));
  EXPECT_FALSE(tab->GetItemRect(3, &rc));
  EXPECT_FALSE(tab->GetItemRect(-1, &rc));
  // The pages sit below the heads and framepos; every page is placed.
  EXPECT_EQ("0,24,400,300", Str(tab->GetPageRect()));
  for (int i = 0; i < 3; ++i) EXPECT_EQ("0,24,400,300", Str(tab->GetItem(i)->GetRect()));
  EXPECT_EQ("5,29", Str(Item(root.get(), 22)->GetRect()).substr(0, 4));
}

TEST(TabCtrl, LeftAlignedHeadsStackDown) {
  auto root = LoadRoot(
      "<dlg><tabctrl id=\"10\" pos=\"10,10,-0,-0\" tabwidth=\"80\" tabheight=\"20\" "
      "tabspacing=\"2\" tabpos=\"5\" tabalign=\"left\" margin=\"0\">"
      "<tab title=\"a\"/><tab title=\"b\"/><tab title=\"c\"/></tabctrl></dlg>",
      nullptr);
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  RECT rc;
  ASSERT_TRUE(tab->GetItemRect(2, &rc));
  EXPECT_EQ("10,59,90,79", Str(rc));  // 10 + 5 + 2 * (20 + 2)
  EXPECT_EQ("90,10,400,300", Str(tab->GetPageRect()));
  EXPECT_EQ(E_FAIL, tab->SetAttribute("tabalign", "right", FALSE));
  ASSERT_TRUE(tab->GetItemRect(2, &rc));
  EXPECT_EQ("10,59,90,79", Str(rc));
}

TEST(TabCtrl, HiddenPagesArePlacedAndSearchedButOnlyTheSelectedIsHit) {
  auto root = LoadRoot(kThreePages, nullptr);
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  EXPECT_EQ(tab->GetItem(1), Item(root.get(), 12));  // a page is found by its own id
  EXPECT_NE(nullptr, Item(root.get(), 22));
  EXPECT_EQ(Item(root.get(), 21)->GetHandle(), tab->HitTest(POINT{7, 31}));
  EXPECT_EQ(tab->GetHandle(), tab->HitTest(POINT{50, 10}));  // a head
  EXPECT_EQ(0u, tab->HitTest(POINT{500, 10}));
}

// ---------------------------------------------------------------- selection at load

TEST(TabCtrl, CurselNamesTheShownPage) {
  struct Case {
    const char* cursel;
    const char* hides;
    int expected;
  };
  // no cursel, or one out of range or on a hidden page: the first visible page
  const Case cases[] = {
      {nullptr, "100", 1}, {"2", "000", 2},  {"1", "010", 0},
      {"7", "000", 0},     {"-3", "100", 1}, {"0", "110", 2},
  };
  for (const Case& c : cases) {
    std::string xml = "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\"";
    if (c.cursel) xml += std::string(" cursel=\"") + c.cursel + "\"";
    xml += ">";
    for (int i = 0; i < 3; ++i) xml += std::string("<tab hide=\"") + c.hides[i] + "\"/>";
    xml += "<text/></tabctrl></dlg>";  // not a page: skipped
    auto root = LoadRoot(xml.c_str(), nullptr);
    auto* tab = Item<CUiTabCtrl>(root.get(), 10);
    ASSERT_EQ(3, tab->GetItemCount());
    const std::string trace = std::string(c.cursel ? c.cursel : "none") + " " + c.hides;
    EXPECT_EQ(c.expected, tab->GetCurSel()) << trace;
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(i == c.expected, tab->GetItem(i)->IsVisible(FALSE) != FALSE) << trace << " page " << i;
  }
}

// ---------------------------------------------------------------- selection changes

TEST(TabCtrl, SelectionIsAskedForAndCanBeVetoed) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  ASSERT_EQ(0, tab->GetCurSel());

  host.onTabChange = [](UINMTABSELCHANGE* nm) { nm->bCancel = TRUE; };
  EXPECT_FALSE(tab->SetCurSel(2));
  EXPECT_EQ(0, tab->GetCurSel());
  EXPECT_TRUE(tab->GetItem(0)->IsVisible(FALSE));
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
  EXPECT_EQ(2, tab->GetCurSel());
  EXPECT_FALSE(tab->GetItem(0)->IsVisible(FALSE));
  EXPECT_TRUE(tab->GetItem(2)->IsVisible(FALSE));
  EXPECT_EQ(1u, host.Notices(UINM_TAB_SELCHANGE).size());
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
  EXPECT_EQ(1, tab->GetCurSel());
}

TEST(TabCtrl, CurselSetAtRunTimeShowsThatPage) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  EXPECT_EQ(S_FALSE, tab->SetAttribute("cursel", "2", FALSE));
  EXPECT_EQ(2, tab->GetCurSel());
  EXPECT_FALSE(tab->GetItem(0)->IsVisible(FALSE));
  EXPECT_TRUE(tab->GetItem(2)->IsVisible(FALSE));
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  EXPECT_EQ(E_FAIL, tab->SetAttribute("cursel", "5", FALSE));
  EXPECT_EQ(2, tab->GetCurSel());
}

TEST(TabCtrl, OutOfRangeIndexIsRefusedBeforeAnyoneIsAsked) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  EXPECT_FALSE(tab->SetCurSel(3));
  EXPECT_FALSE(tab->SetCurSel(-1));
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  EXPECT_EQ(0, tab->GetCurSel());
}

TEST(TabCtrl, HeadPressSelectsAnotherPageOnly) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  tab->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pt(20, 10));  // the selected head
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  tab->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pt(300, 10));  // no head
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  tab->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pt(150, 10));  // page c's head
  ASSERT_EQ(1u, host.Notices(UINM_TAB_SELCHANGE).size());
  EXPECT_EQ(2, tab->GetCurSel());
}

TEST(TabCtrl, HoverFollowsTheHeadsButNeverTheSelectedOne) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  tab->UiSendMessage(WM_MOUSEMOVE, 0, Pt(150, 10));
  EXPECT_EQ(2, tab->GetHover());
  ASSERT_EQ(1u, host.Notices(UINM_INVALIDATERECT).size());
  host.Clear();
  tab->UiSendMessage(WM_MOUSEMOVE, 0, Pt(151, 11));
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());  // same head, no repaint
  tab->UiSendMessage(WM_MOUSEMOVE, 0, Pt(20, 10));
  EXPECT_EQ(-1, tab->GetHover());
  EXPECT_EQ(1u, host.Notices(UINM_INVALIDATERECT).size());
  tab->UiSendMessage(WM_MOUSEMOVE, 0, Pt(150, 10));
  host.Clear();
  tab->UiSendMessage(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(-1, tab->GetHover());
  EXPECT_EQ(1u, host.Notices(UINM_INVALIDATERECT).size());
}

TEST(TabCtrl, ReceiverThatReloadsTheLayoutDuringTheQuestion) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  const HUIWND handle = tab->GetHandle();
  TiXmlDocument doc;
  doc.Parse("<dlg><text id=\"1\"/></dlg>");
  host.onTabChange = [&](UINMTABSELCHANGE*) { root->LoadChilds(doc.RootElement()->FirstChildElement()); };
  EXPECT_FALSE(tab->SetCurSel(2));  // the control is gone; nothing of it is touched
  EXPECT_EQ(nullptr, UiWnds::GetWindow(handle));
  host.onTabChange = nullptr;
}

// ---------------------------------------------------------------- tab painting

class TabPaint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testenv::TempDir;
    testfiles::WriteSolidBmp(dir_->File(L"9711.bmp"), 2, 5, RGB(255, 0, 0));
    testfiles::WriteSolidBmp(dir_->File(L"9712.bmp"), 90, 20, RGB(0, 0, 255));
    testfiles::WriteBandedBmp(dir_->File(L"9713.bmp"), 10, 8,
                              {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)});
    testfiles::WriteBytes(dir_->File(L"9710.xml"),
                          "<skins>"
                          "<imglst name=\"tsplit\" src=\"9711\"/>"
                          "<imglst name=\"thead\" src=\"9712\" subwidth=\"30\"/>"
                          "<imglst name=\"ticons\" src=\"9713\" subwidth=\"10\"/>"
                          "</skins>");
    UiResUtil::SetResourceDirectory(dir_->Path().c_str());
    ASSERT_TRUE(UiSkin::LoadSkins(9710));
    UiResUtil::SetResourceDirectory(L"");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static testenv::TempDir* dir_;
};
testenv::TempDir* TabPaint::dir_ = nullptr;

TEST_F(TabPaint, SplittersGoBetweenVisibleHeadsOnly) {
  auto root = LoadRoot("<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabwidth=\"20\" "
                       "tabheight=\"5\" tabspacing=\"10\" splitterskin=\"tsplit\">"
                       "<tab/><tab hide=\"1\"/><tab/><tab/></tabctrl></dlg>",
                       nullptr, 120, 40);
  DibCanvas canvas(120, 40);
  root->RedrawRegion(canvas.Dc(), nullptr);
  int red = 0;
  for (int x = 0; x < 120; ++x)
    if (canvas.At(x, 2) == RGB(255, 0, 0)) ++red;
  EXPECT_EQ(4, red);  // two splitters of 2 pixels
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(24, 2));  // centred in the 10-pixel gap after head 0
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(54, 2));
}

TEST_F(TabPaint, HeadSizeComesFromTheHeadSkin) {
  auto root = LoadRoot("<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabskin=\"thead\">"
                       "<tab/><tab/><tab/></tabctrl></dlg>",
                       nullptr, 120, 40);
  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  EXPECT_EQ(30, tab->GetHeadSize().cx);  // the skin's picture size
  EXPECT_EQ(20, tab->GetHeadSize().cy);
  DibCanvas canvas(120, 40);
  root->RedrawRegion(canvas.Dc(), nullptr);
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(65, 5));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(95, 5));
}

TEST_F(TabPaint, EachHeadShowsThePictureOfItsPageIndex) {
  auto root = LoadRoot("<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabwidth=\"30\" "
                       "tabheight=\"10\" iconskin=\"ticons\" icon-x=\"2\" icon-y=\"1\">"
                       "<tab/><tab/><tab hide=\"1\"/><tab/></tabctrl></dlg>",
                       nullptr, 120, 40);
  DibCanvas canvas(120, 40);
  root->RedrawRegion(canvas.Dc(), nullptr);
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(3, 2));     // page 0, selected
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(33, 2));    // page 1
  EXPECT_EQ(RGB(255, 255, 0), canvas.At(63, 2));  // page 3 takes the hidden page's place
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(1, 2));  // moved by icon-x
}

// ---------------------------------------------------------------- hosted real windows

TEST(RealWnd, PlacedOnceAndNotifiedOnlyOnChange) {
  ElementHost host;
  HWND grid = host.AddControl(77, true);
  auto root = LoadRoot("<dlg><realwnd id=\"77\" ctrlid=\"5\" pos=\"10,20,-10,-30\"/></dlg>",
                       host.View(), 400, 300);
  auto* real = Item<CUiRealWnd>(root.get(), 77);
  EXPECT_EQ(grid, real->GetRealHWnd());
  EXPECT_EQ("10,20,390,270", Str(WindowRectInParent(grid)));
  auto resized = host.Notices(UINM_REALWND_RESIZED);
  ASSERT_EQ(1u, resized.size());
  EXPECT_EQ(77u, resized[0].item);
  EXPECT_EQ("10,20,390,270", Str(resized[0].rc));
  EXPECT_EQ(host.View(), resized[0].to);

  // The same place again: no notice and the window is left where it is.
  ::MoveWindow(grid, 1, 1, 5, 5, FALSE);
  host.Clear();
  Replace(root.get(), 400, 300);
  EXPECT_TRUE(host.Notices(UINM_REALWND_RESIZED).empty());
  EXPECT_EQ("1,1,6,6", Str(WindowRectInParent(grid)));

  Replace(root.get(), 500, 300);
  ASSERT_EQ(1u, host.Notices(UINM_REALWND_RESIZED).size());
  EXPECT_EQ("10,20,490,270", Str(WindowRectInParent(grid)));
}

TEST(RealWnd, WithoutAWindowStillTellsTheDialog) {
  ElementHost host;
  auto root = LoadRoot("<dlg><realwnd id=\"78\" pos=\"0,0,50,50\"/></dlg>", host.View());
  EXPECT_EQ(nullptr, Item<CUiRealWnd>(root.get(), 78)->GetRealHWnd());
  EXPECT_EQ(1u, host.Notices(UINM_REALWND_RESIZED).size());
  EXPECT_FALSE(Item<CUiRealWnd>(root.get(), 78)->ShowRealWindow(TRUE));
}

const char kTabWithWindows[] =
    "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabwidth=\"50\" tabheight=\"20\">"
    "<tab><realwnd id=\"81\" pos=\"0,0,40,40\"/></tab>"
    "<tab><realwnd id=\"82\" pos=\"0,0,40,40\"/></tab>"
    "<tab><dlg pos=\"0,0,-0,-0\"><realwnd id=\"83\" pos=\"0,0,40,40\"/></dlg></tab>"
    "</tabctrl></dlg>";

TEST(RealWnd, WindowOnAnUnselectedPageStaysHiddenUntilItsPageIsSelected) {
  ElementHost host;
  HWND w1 = host.AddControl(81, true);
  HWND w2 = host.AddControl(82, true);
  HWND w3 = host.AddControl(83, true);
  auto root = LoadRoot(kTabWithWindows, host.View());
  root->ShowAllRealWindows(TRUE);
  EXPECT_TRUE(HasVisibleStyle(w1));
  EXPECT_FALSE(HasVisibleStyle(w2));
  EXPECT_FALSE(HasVisibleStyle(w3));

  // Showing the element itself does not show a window on a hidden page.
  Item(root.get(), 82)->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_FALSE(HasVisibleStyle(w2));

  auto* tab = Item<CUiTabCtrl>(root.get(), 10);
  ASSERT_TRUE(tab->SetCurSel(2));
  EXPECT_FALSE(HasVisibleStyle(w1));
  EXPECT_FALSE(HasVisibleStyle(w2));
  EXPECT_TRUE(HasVisibleStyle(w3));
  // Hidden pages are placed too, so the window was already where its element is.
  EXPECT_EQ("0,20,40,60", Str(WindowRectInParent(w3)));

  root->ShowAllRealWindows(FALSE);
  EXPECT_FALSE(HasVisibleStyle(w3));
  tab->ShowAllRealWindows(TRUE);
  EXPECT_TRUE(HasVisibleStyle(w3));
  EXPECT_FALSE(HasVisibleStyle(w1));

  // Hiding the tab control hides the selected page's windows; showing it again
  // brings back only those.
  tab->UiSendMessage(WM_SHOWWINDOW, FALSE, 0);
  EXPECT_FALSE(HasVisibleStyle(w3));
  tab->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_TRUE(HasVisibleStyle(w3));
  EXPECT_FALSE(HasVisibleStyle(w2));
}

// ---------------------------------------------------------------- sub-layouts

class SubLayouts : public ::testing::Test {
 protected:
  void SetUp() override {
    testfiles::WriteBytes(dir_.File(L"9801.xml"),
                          "<dlg id=\"1\" pos=\"0,0,-0,-0\"><text id=\"2\">one</text></dlg>"
                          "<text id=\"3\" pos=\"0,20\">two</text>");
    testfiles::WriteBytes(dir_.File(L"9802.xml"),
                          "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"5\" src=\"9802\"/></dlg>");
    testfiles::WriteBytes(dir_.File(L"9803.xml"), "<dlg><text>broken</dlg>");
    testfiles::WriteBytes(dir_.File(L"9804.xml"),
                          "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"6\" src=\"9805\"/></dlg>");
    testfiles::WriteBytes(dir_.File(L"9805.xml"),
                          "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"7\" src=\"9804\"/></dlg>");
    UiResUtil::SetResourceDirectory(dir_.Path().c_str());
  }
  void TearDown() override { UiResUtil::SetResourceDirectory(L""); }

  static std::unique_ptr<CUiDialogFile> LoadFile(const char* xml, BOOL* result) {
    TiXmlDocument doc;
    doc.Parse(xml);
    auto file = std::make_unique<CUiDialogFile>();
    *result = file->Load(doc.RootElement());
    return file;
  }
  static int Depth(CUiPanel* panel) {
    int depth = 0;
    for (size_t i = 0; i < panel->GetChildCount(); ++i) {
      CUiWindow* child = panel->GetChild(i);
      if (child->IsContainer()) {
        const int d = Depth(static_cast<CUiPanel*>(child)) + (child->IsClass("dlgfile") ? 1 : 0);
        if (d > depth) depth = d;
      }
    }
    return depth;
  }

  testenv::TempDir dir_;
};

TEST_F(SubLayouts, MissingEmptyAndBrokenSources) {
  DebugReportCapture reports;
  BOOL ok = FALSE;
  auto missing = LoadFile("<dlgfile src=\"9899\"/>", &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(0u, missing->GetChildCount());
  auto empty = LoadFile("<dlgfile src=\"\"/>", &ok);
  EXPECT_FALSE(ok);
  auto none = LoadFile("<dlgfile/>", &ok);
  EXPECT_FALSE(ok);
  auto broken = LoadFile("<dlgfile src=\"9803\"/>", &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(E_FAIL, missing->SetAttribute("src", "9801", FALSE));
}

TEST_F(SubLayouts, SelfIncludingLayoutsStopAtTheNestingLimit) {
  for (const char* xml : {"<dlgfile src=\"9802\"/>", "<dlgfile src=\"9804\"/>"}) {
    DebugReportCapture reports;
    BOOL ok = FALSE;
    auto file = LoadFile(xml, &ok);
    EXPECT_TRUE(ok) << xml;
    EXPECT_TRUE(reports.Contains("nested too deep")) << xml;
    EXPECT_EQ(CUiDialogFile::kMaxNesting, Depth(file.get())) << xml;
  }
}

}  // namespace
