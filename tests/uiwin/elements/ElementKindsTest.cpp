// The element kinds: check boxes and radio groups, progress bars, image rows, icons,
// file icons, pointer attributes, the tab control, hosted real windows, and rich text
// (flowing runs and links, fonts by nesting, wrapping, link hover and clicks).
#include <gtest/gtest.h>
#include <windows.h>

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
#include "uiwin/CUiMemoryImage.h"
#include "uiwin/CUiProgress.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"

using elemload::LoadRoot;
using elemload::Place;
using elemload::Str;

// The program's import-table entry for DestroyIcon.
extern "C" BOOL(WINAPI* g_destroyIconSlot)(HICON) asm("__imp__DestroyIcon@4");

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
               kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);

void Click(CUiWindow* wnd) {
  const LPARAM pt = MAKELPARAM(wnd->GetRect().left + 1, wnd->GetRect().top + 1);
  wnd->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, pt);
  wnd->UiSendMessage(WM_LBUTTONUP, 0, pt);
}

// The check state of the elements with these ids, "1" checked, "0" not.
std::string Checks(elemload::Root* root, std::initializer_list<UINT> ids) {
  std::string out;
  for (UINT id : ids) out += root->Item(id)->IsChecked() ? '1' : '0';
  return out;
}

std::unique_ptr<DibCanvas> Painted(elemload::Root* root, int cx, int cy) {
  auto canvas = std::make_unique<DibCanvas>(cx, cy);
  root->RedrawRegion(canvas->Dc(), nullptr);
  return canvas;
}

// Skins over bitmaps written to a resource directory: "red" 10x5, "blue" 7x5; for tab
// heads a 2x5 red splitter and four 10x8 icons red, green, blue, yellow.
class Skinned : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testenv::TempDir dir;
    testfiles::WriteSolidBmp(dir.File(L"9601.bmp"), 10, 5, kRed);
    testfiles::WriteSolidBmp(dir.File(L"9602.bmp"), 7, 5, kBlue);
    testfiles::WriteSolidBmp(dir.File(L"9604.bmp"), 2, 5, kRed);
    testfiles::WriteBandedBmp(dir.File(L"9605.bmp"), 10, 8, {kRed, kGreen, kBlue, kYellow});
    testfiles::WriteBytes(dir.File(L"9600.xml"),
                          "<skins><imglst name=\"red\" src=\"9601\"/><imglst name=\"blue\" src=\"9602\"/>"
                          "<imglst name=\"tsplit\" src=\"9604\"/>"
                          "<imglst name=\"ticons\" src=\"9605\" subwidth=\"10\"/></skins>");
    UiResUtil::SetResourceDirectory(dir.Path().c_str());
    ASSERT_TRUE(UiSkin::LoadSkins(9600));  // the bitmaps stay cached
    UiResUtil::SetResourceDirectory(L"");
  }
};

TEST(ElementState, MarksAndPicturesFollowTheOwnBits) {
  const UINT H = UiWndState_Hover, P = UiWndState_PushDown, C = UiWndState_Check,
             D = UiWndState_Disable, T = DFCS_TRANSPARENT;
  // state; check and radio: theme state and classic flags; image button: strip picture
  const UINT cases[][4] = {
      {0, 1, T, 0}, {H, 2, T | DFCS_HOT, 1}, {P | H, 3, T | DFCS_PUSHED | DFCS_HOT, 2},
      {D | P | H, 4, T | DFCS_INACTIVE | DFCS_PUSHED | DFCS_HOT, 3},
      {C | H, 6, T | DFCS_CHECKED | DFCS_HOT, 1}, {C | D, 8, T | DFCS_CHECKED | DFCS_INACTIVE, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<int>(c[1]), CUiCheckBox::ThemeStateFor(c[0])) << c[0];
    EXPECT_EQ(c[2], CUiCheckBox::FrameFlagsFor(c[0])) << c[0];
    EXPECT_EQ(c[3], CUiImageBtnWnd::PictureForState(c[0])) << c[0];
  }
}

TEST(CheckBox, ReleaseTogglesTheCheckBitOnly) {
  auto root = LoadRoot("<dlg><check id=\"1\" pos=\"0,0\" check=\"1\">Wg</check></dlg>");
  CUiWindow* check = root->Item(1);
  EXPECT_EQ("0", Checks(root.get(), {1}));  // the attribute does not preset the state
  Click(check);
  EXPECT_EQ("1", Checks(root.get(), {1}));
  check->ModifyState(UiWndState_Hover, 0);
  Click(check);
  EXPECT_EQ(static_cast<DWORD>(UiWndState_Hover), check->GetState());
  const RECT box = check->GetRect();
  Painted(root.get(), 80, 30);
  EXPECT_EQ(Str(box), Str(check->GetRect()));  // the shift for the text is undone
}

const char kThreeRadios[] = "<dlg><radio id=\"1\" pos=\"0,0\" group=\"r3\">one</radio>"
                            "<radio id=\"2\" pos=\"0,20\" group=\"r3\">two</radio>"
                            "<radio id=\"3\" pos=\"0,40\" group=\"r3\">three</radio>"
                            "<radio id=\"4\" pos=\"0,60\"/><radio id=\"5\" pos=\"0,80\"/></dlg>";

TEST(Radio, AClickUnchecksOnlyTheCheckedOneOfItsGroupInItsView) {
  ElementHost host, other;
  auto root = LoadRoot(kThreeRadios, host.View());
  auto twin = LoadRoot(kThreeRadios, other.View());  // the same names in another view
  root->Item(1)->ModifyState(UiWndState_Check, 0);
  Click(twin->Item(1));
  host.Clear();
  Click(root->Item(2));
  EXPECT_EQ("01000", Checks(root.get(), {1, 2, 3, 4, 5}));
  EXPECT_EQ("10000", Checks(twin.get(), {1, 2, 3, 4, 5}));
  const auto repaints = host.Notices(UINM_INVALIDATERECT);  // the one unchecked
  ASSERT_EQ(1u, repaints.size());
  EXPECT_EQ(Str(root->Item(1)->GetRect()), Str(repaints[0].rc));
  // A checked radio stays checked and changes nobody; radios without a group share one.
  host.Clear();
  Click(root->Item(2));
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
  Click(root->Item(4));
  Click(root->Item(5));
  EXPECT_EQ("01001", Checks(root.get(), {1, 2, 3, 4, 5}));
  EXPECT_TRUE(other.Notices(UINM_INVALIDATERECT).empty());
  // A radio moved to another group unchecks the live checked one there, not one that was
  // destroyed, and leaves its old group (radio 2 stays checked).
  auto keep = LoadRoot("<dlg><radio id=\"9\" group=\"other\"/></dlg>", host.View());
  keep->Item(9)->ModifyState(UiWndState_Check, 0);
  LoadRoot("<dlg><radio id=\"8\" group=\"other\"/></dlg>", host.View())->Item(8)->ModifyState(UiWndState_Check, 0);
  host.Clear();
  EXPECT_EQ(S_FALSE, root->Item(3)->SetAttribute("group", "other", FALSE));
  Click(root->Item(3));
  EXPECT_EQ(1u, host.Notices(UINM_INVALIDATERECT).size());
  EXPECT_EQ("0", Checks(keep.get(), {9}));
  EXPECT_EQ("01101", Checks(root.get(), {1, 2, 3, 4, 5}));
}

TEST(Progress, ShareBarAndFieldsKeptByPainting) {
  const int shares[][4] = {
      {0, 100, 50, 50},  {10, 0, 20, 100}, {0, 10, -5, 0},   {5, 5, 5, 0},
      {5, 5, 99, 0},     {0, 3, 1, 33},    {0, 3, 2, 66},    {100, 0, 25, 25},
      {-10, 10, 0, 50},  {0, 100, 62, 62}, {0, 100, 29, 29}, {0, 1000, 579, 57},
      {INT_MIN, INT_MAX, INT_MAX, 100},    {INT_MIN, INT_MAX, 0, 50}, {INT_MIN, INT_MAX, -1, 49},
  };
  for (const auto& c : shares)
    EXPECT_EQ(c[3], CUiProgress::Percent(c[0], c[1], c[2])) << c[0] << " " << c[1] << " " << c[2];
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
  auto root = LoadRoot(
      "<dlg><progress id=\"1\" min=\"100\" max=\"0\" value=\"50\" height=\"20\" width=\"104\"/></dlg>");
  auto* p = root->Item<CUiProgress>(1);
  Painted(root.get(), 120, 30);  // painting computes; it does not rewrite what the layout gave
  EXPECT_EQ("100 0 50", std::to_string(p->GetMin()) + " " + std::to_string(p->GetMax()) + " " +
                            std::to_string(p->GetValue()));
}

TEST_F(Skinned, ImageRowListsWinOverTheCountAndDrawSideBySide) {
  using Items = decltype(CUiImageListHWnd::ParseList(""));
  EXPECT_EQ((Items{{"k", "v"}, {"x", "1=2"}}), CUiImageListHWnd::ParseList("=x,noequals,k=v,,,x=1=2,"));
  // The lists come before imagecount in the document, yet decide the entries.
  auto root = LoadRoot(
      "<dlg><imglisth id=\"1\" skinlist=\"skin0=red,,skin2=nosuchskin\" sublist=\"sub0=4,bad,sub1=7\" "
      "imagecount=\"3\" skin=\"blue\" width=\"40\"/></dlg>");
  auto* row = root->Item<CUiImageListHWnd>(1);
  EXPECT_EQ(UiSkin::GetSkin("red"), row->GetEntrySkin(0));
  EXPECT_EQ(nullptr, row->GetEntrySkin(2));
  EXPECT_EQ(7, row->GetEntrySub(1));
  EXPECT_EQ(-1, row->GetEntrySub(2));
  // Changing a list later parses it at once; an empty value changes nothing.
  EXPECT_EQ(S_FALSE, row->SetAttribute("skinlist", "skin0=red,,skin2=blue", FALSE));
  EXPECT_EQ(S_FALSE, row->SetAttribute("sublist", "", FALSE));
  EXPECT_EQ(7, row->GetEntrySub(1));
  row->SetAttribute("sublist", "sub0=-1,sub2=-1", FALSE);
  // Measured by its own skin (7x5 from blue), but a fixed width stays.
  EXPECT_EQ("0,0,40,5", Str(row->GetRect()));
  auto canvas = Painted(root.get(), 40, 10);
  EXPECT_EQ(kRed, canvas->At(9, 2));
  EXPECT_EQ(kBlue, canvas->At(10, 2));  // the empty entry does not move the pen
  EXPECT_EQ(kBlue, canvas->At(16, 2));
  EXPECT_EQ(kWhite, canvas->At(17, 2));
}

// The icons DestroyIcon is called on while it is watched. A shared system icon survives
// DestroyIcon, so only the call betrays an element that wrongly owns one: the call is
// caught in the program's import table.
class DestroyIconCalls {
 public:
  DestroyIconCalls() {
    s_calls = &m_icons;
    Swap(&Record);
  }
  ~DestroyIconCalls() {
    Swap(s_real);
    s_calls = nullptr;
  }
  DestroyIconCalls(const DestroyIconCalls&) = delete;
  DestroyIconCalls& operator=(const DestroyIconCalls&) = delete;
  bool Destroyed(HICON icon) const { return std::find(m_icons.begin(), m_icons.end(), icon) != m_icons.end(); }

 private:
  using Function = BOOL(WINAPI*)(HICON);
  static BOOL WINAPI Record(HICON icon) {
    if (s_calls) s_calls->push_back(icon);
    return s_real(icon);
  }
  static void Swap(Function to) {
    DWORD old = 0;
    ::VirtualProtect(&g_destroyIconSlot, sizeof g_destroyIconSlot, PAGE_READWRITE, &old);
    if (to == &Record) s_real = g_destroyIconSlot;
    g_destroyIconSlot = to;
    ::VirtualProtect(&g_destroyIconSlot, sizeof g_destroyIconSlot, old, &old);
  }
  static inline Function s_real = nullptr;
  static inline std::vector<HICON>* s_calls = nullptr;
  std::vector<HICON> m_icons;
};

TEST(Icon, ChangedSourceReloadsAtTheNextPaintAndSystemIconsSurviveTheirElements) {
  DestroyIconCalls destroyed;
  HICON info = ::LoadIconW(nullptr, IDI_INFORMATION);
  auto root = LoadRoot("<dlg><icon id=\"1\" src=\"32512\" oem=\"1\" size=\"32\"/>"
                       "<icon id=\"3\" pos=\"70,0\" src=\"32516\" oem=\"1\"/></dlg>");
  auto* icon = root->Item<CUiIconWnd>(1);
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), icon->GetIcon());
  EXPECT_EQ("0,0,32,32", Str(icon->GetRect()));  // size x size, the text is not measured
  EXPECT_EQ(S_FALSE, icon->SetAttribute("src", "32515", FALSE));
  EXPECT_EQ(::LoadIconW(nullptr, IDI_APPLICATION), icon->GetIcon());  // not yet
  Painted(root.get(), 100, 40);
  EXPECT_EQ(::LoadIconW(nullptr, IDI_WARNING), icon->GetIcon());
  EXPECT_EQ(info, root->Item<CUiIconWnd>(3)->GetIcon());
  root.reset();
  for (LPCWSTR id : {IDI_APPLICATION, IDI_WARNING, IDI_INFORMATION})
    EXPECT_FALSE(destroyed.Destroyed(::LoadIconW(nullptr, id))) << reinterpret_cast<uintptr_t>(id);
  HICON copy = ::CopyIcon(info);  // the watch sees a call it could see
  ::DestroyIcon(copy);
  EXPECT_TRUE(destroyed.Destroyed(copy));
}

TEST(FileIcon, ShellIconsAreCachedByTheirWidePathAndHandlesComeFromCodeOnly) {
  testenv::TempDir dir;
  const std::wstring path = dir.File(L"\u56fe\u6807.txt");  // layout text is UTF-8
  ASSERT_TRUE(testfiles::WriteBytes(path, "x"));
  const std::string src = "srcfile=\"" + qv::WideToUtf8(path) + "\"";
  auto root = LoadRoot("<dlg><iconfrommodule id=\"1\" iconhandle=\"12345\" " + src +
                       "/><iconfrommodule id=\"2\" " + src + "/><iconfrommodule id=\"3\" "
                       "srcfile=\"Z:\\no\\such.txt\"/><memimage id=\"4\" mempointer=\"1234\"/></dlg>");
  auto* a = root->Item<CUiDrawFileIcon>(1);
  EXPECT_EQ(nullptr, a->GetIconHandle());
  EXPECT_EQ(nullptr, root->Item<CUiMemoryImage>(4)->GetImage());
  EXPECT_EQ(E_FAIL, a->SetAttribute("iconhandle", "777", FALSE));
  EXPECT_EQ(E_FAIL, root->Item(4)->SetAttribute("mempointer", "777", FALSE));
  HICON first = a->ResolveIcon();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, root->Item<CUiDrawFileIcon>(2)->ResolveIcon());
  EXPECT_EQ(S_OK, a->SetAttribute("srcfile", "", FALSE));  // an empty value keeps the path
  EXPECT_EQ(first, a->ResolveIcon());
  EXPECT_EQ(nullptr, root->Item<CUiDrawFileIcon>(3)->ResolveIcon());
  Painted(root.get(), 40, 40);
}

// ---------------------------------------------------------------- tab control

// Pages a (id 11), hidden b (id 12), c (id 13) with 100-pixel heads 20 high.
const char kThreePages[] = "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\" tabwidth=\"100\" tabheight=\"20\" "
                           "tabspacing=\"3\" tabpos=\"9\" framepos=\"4\">"
                           "<tab id=\"11\" title=\"a\"><text id=\"21\" pos=\"5,5\">page a</text></tab>"
                           "<tab id=\"12\" title=\"b\" hide=\"1\"><text id=\"22\" pos=\"5,5\">page b</text></tab>"
                           "<tab id=\"13\" title=\"c\"><text id=\"23\" pos=\"5,5\">page c</text></tab>"
                           "</tabctrl></dlg>";

std::string HeadRect(CUiTabCtrl* tab, int i) {
  RECT rc;
  return tab->GetItemRect(i, &rc) ? Str(rc) : "none";
}

// The pages' visibility, "1" shown.
std::string Shown(CUiTabCtrl* tab) {
  std::string out;
  for (int i = 0; i < tab->GetItemCount(); ++i) out += tab->GetItem(i)->IsVisible(FALSE) ? '1' : '0';
  return out;
}

TEST(TabCtrl, CurselNamesTheShownPage) {
  // cursel, hidden pages, shown page: with no cursel, one out of range or on a hidden
  // page, the first visible page
  const char* cases[][3] = {{"", "100", "010"},  {"2", "000", "001"}, {"1", "010", "100"},
                            {"7", "000", "100"}, {"-3", "100", "010"}, {"0", "110", "001"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c[0]) + " " + c[1]);
    std::string xml = "<dlg><tabctrl id=\"10\" pos=\"0,0,-0,-0\"";
    if (*c[0]) xml += std::string(" cursel=\"") + c[0] + "\"";
    xml += ">";
    for (int i = 0; i < 3; ++i) xml += std::string("<tab hide=\"") + c[1][i] + "\"/>";
    auto root = LoadRoot(xml + "<text/></tabctrl></dlg>");  // not a page: skipped
    auto* tab = root->Item<CUiTabCtrl>(10);
    EXPECT_EQ(c[2], Shown(tab));
    EXPECT_EQ(static_cast<int>(std::string(c[2]).find('1')), tab->GetCurSel());
  }
}

TEST(TabCtrl, HeadsSkipHiddenPagesAndSelectionIsAskedForAndCanBeVetoed) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = root->Item<CUiTabCtrl>(10);
  // The hidden page's head has a place, the one after it.
  std::string heads;
  for (int i = -1; i < 4; ++i) heads += HeadRect(tab, i) + " ";
  EXPECT_EQ("none 9,0,109,20 112,0,212,20 112,0,212,20 none ", heads);
  // The pages sit below the heads and framepos; every page is placed and searched.
  for (int i = 0; i < 3; ++i) EXPECT_EQ("0,24,400,300", Str(tab->GetItem(i)->GetRect()));
  EXPECT_EQ(tab->GetItem(1), root->Item(12));
  EXPECT_EQ("5,29", Str(root->Item(22)->GetRect()).substr(0, 4));
  EXPECT_EQ(root->Item(21)->GetHandle(), tab->HitTest(POINT{7, 31}));
  EXPECT_EQ(tab->GetHandle(), tab->HitTest(POINT{50, 10}));  // a head
  // An out-of-range index is refused before anyone is asked.
  EXPECT_FALSE(tab->SetCurSel(3) || tab->SetCurSel(-1));
  EXPECT_TRUE(host.Notices(UINM_TAB_SELCHANGE).empty());
  host.onTabChange = [](UINMTABSELCHANGE* nm) { nm->bCancel = TRUE; };
  EXPECT_FALSE(tab->SetCurSel(2));
  EXPECT_EQ("100", Shown(tab));
  auto asked = host.Notices(UINM_TAB_SELCHANGE);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("10 2 0", std::to_string(asked[0].item) + " " + std::to_string(asked[0].tabNew) + " " +
                          std::to_string(asked[0].tabOld));
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
  host.onTabChange = nullptr;
  host.Clear();
  // A press on the selected head or beside the heads asks nothing; on another it selects.
  for (int x : {20, 300, 150}) tab->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
  EXPECT_EQ(1u, host.Notices(UINM_TAB_SELCHANGE).size());
  EXPECT_EQ("001", Shown(tab));
  std::string repaints;  // both heads, then the page
  for (const auto& n : host.Notices(UINM_INVALIDATERECT)) repaints += Str(n.rc) + " ";
  EXPECT_EQ("9,0,109,20 112,0,212,20 0,24,400,300 ", repaints);
  // The current index is still asked about; a hidden page can be selected by code;
  // "cursel" set at run time shows its page without asking.
  host.Clear();
  EXPECT_TRUE(tab->SetCurSel(2) && tab->SetCurSel(1));
  EXPECT_EQ(2u, host.Notices(UINM_TAB_SELCHANGE).size());
  EXPECT_EQ(S_FALSE, tab->SetAttribute("cursel", "2", FALSE));
  EXPECT_EQ(E_FAIL, tab->SetAttribute("cursel", "5", FALSE));
  EXPECT_EQ("001", Shown(tab));
  EXPECT_EQ(2u, host.Notices(UINM_TAB_SELCHANGE).size());
}

TEST(TabCtrl, HoverFollowsTheHeadsButNeverTheSelectedOne) {
  ElementHost host;
  auto root = LoadRoot(kThreePages, host.View());
  auto* tab = root->Item<CUiTabCtrl>(10);
  // message, x, hover, repaints so far
  const int steps[][4] = {{WM_MOUSEMOVE, 150, 2, 1}, {WM_MOUSEMOVE, 151, 2, 1},  // the same head
                          {WM_MOUSEMOVE, 20, -1, 2}, {WM_MOUSEMOVE, 150, 2, 3}, {WM_MOUSELEAVE, 0, -1, 4}};
  for (const auto& s : steps) {
    tab->UiSendMessage(s[0], 0, MAKELPARAM(s[1], 10));
    EXPECT_EQ(s[2], tab->GetHover()) << s[1];
    EXPECT_EQ(static_cast<size_t>(s[3]), host.Notices(UINM_INVALIDATERECT).size()) << s[1];
  }
  // A receiver of the question that reloads the layout deletes the control.
  const HUIWND handle = tab->GetHandle();
  TiXmlDocument doc;
  doc.Parse("<text id=\"1\"/>");
  host.onTabChange = [&](UINMTABSELCHANGE*) { root->LoadChilds(doc.RootElement()); };
  EXPECT_FALSE(tab->SetCurSel(2));  // nothing of it is touched afterwards
  EXPECT_EQ(nullptr, UiWnds::GetWindow(handle));
}

TEST_F(Skinned, TabHeadsDrawSplittersAndTheIconsOfTheirPageIndex) {
  auto root = LoadRoot(
      "<dlg><tabctrl pos=\"0,0,-0,10\" tabwidth=\"20\" tabheight=\"5\" tabspacing=\"10\" "
      "splitterskin=\"tsplit\"><tab/><tab hide=\"1\"/><tab/><tab/></tabctrl>"
      "<tabctrl pos=\"0,10,-0,-0\" tabwidth=\"30\" tabheight=\"10\" iconskin=\"ticons\" "
      "icon-x=\"2\" icon-y=\"1\"><tab/><tab/><tab hide=\"1\"/><tab/></tabctrl></dlg>", nullptr, 120, 30);
  auto canvas = Painted(root.get(), 120, 30);
  int red = 0;
  for (int x = 0; x < 120; ++x) red += canvas->At(x, 2) == kRed;
  EXPECT_EQ(4, red);  // two splitters of 2 pixels, between visible heads only
  EXPECT_EQ(kRed, canvas->At(24, 2));  // centred in the 10-pixel gap after head 0
  EXPECT_EQ(kRed, canvas->At(54, 2));
  EXPECT_EQ(kRed, canvas->At(3, 12));  // moved by icon-x and icon-y
  EXPECT_EQ(kWhite, canvas->At(1, 12));
  EXPECT_EQ(kGreen, canvas->At(33, 12));
  EXPECT_EQ(kYellow, canvas->At(63, 12));  // page 3 takes the hidden page's place
}

TEST(RealWnd, PlacedOnceAndNotifiedOnlyOnChange) {
  ElementHost host;
  HWND grid = host.AddControl(77, true);
  auto root = LoadRoot("<dlg><realwnd id=\"77\" ctrlid=\"5\" pos=\"10,20,-10,-30\"/>"
                       "<realwnd id=\"78\" pos=\"0,0,50,50\"/></dlg>", host.View());
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

using Runs = std::vector<CUiRichText::Run>;

// A root of 400x300 holding the rich text with those attributes.
struct RichTextRoot {
  std::unique_ptr<elemload::Root> root;
  CUiRichText* rich = nullptr;

  RichTextRoot(const std::string& attrs, const std::string& body, HWND view = nullptr) {
    root = elemload::LoadRoot("<dlg><richtext id=\"50\" " + attrs + ">" + body + "</richtext></dlg>",
                              view);
    rich = root->Item<CUiRichText>(50);
  }
  Runs Layout() {
    DibCanvas canvas(400, 300);
    Runs runs;
    rich->Layout(canvas.Dc(), runs);
    return runs;
  }
};

int Width(const std::wstring& text, WORD key = 0) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, UiFontPool::GetFont(key));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return size.cx;
}

std::string At(const CUiRichText::Run& run) {
  return std::to_string(run.pt.x) + "," + std::to_string(run.pt.y);
}

TEST(RichText, LinesStartAtTheLeftOneLineSpacingLower) {
  RichTextRoot f("pos=\"10,10,210,110\"", "ab<br/>cd<i>ef</i>");
  const Runs runs = f.Layout();
  ASSERT_EQ(3u, runs.size());
  EXPECT_EQ("10,10", At(runs[0]));
  EXPECT_EQ("10,30", At(runs[1]));  // linespacing 20
  EXPECT_EQ(10 + Width(L"cd"), runs[2].pt.x);
}

TEST(RichText, NestedRunsAddTheirFontBitsAndTextIsDrawnAsWritten) {
  RichTextRoot f("pos=\"0,0,300,100\" defaultfont=\"0100\"",
            "a<b>b<i>c</i></b><u>d<c color=\"FF0000\">e</c></u>f%str1%");
  const Runs runs = f.Layout();
  ASSERT_EQ(6u, runs.size());
  const WORD keys[] = {0x0100, 0x0104, 0x0105, 0x0102, 0x0102, 0x0100};
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(keys[i], runs[i].fontKey) << i;
  EXPECT_TRUE(runs[3].color == kUiColorUnset && runs[5].color == kUiColorUnset);
  EXPECT_EQ(RGB(255, 0, 0), runs[4].color);
  EXPECT_EQ(L"f%str1%", runs[5].text);
  EXPECT_EQ(Width(L"a", 0x0100), runs[1].pt.x);  // runs follow each other on the line
}

TEST(RichText, LongRunsBreakMidWordAtTheLastCharacterThatFits) {
  const std::wstring text = L"abcdefghijklmnopqrstuvwxyz";
  const int wide = Width(L"abcdefg");
  RichTextRoot f("pos=\"0,0," + std::to_string(wide) + ",300\"", "abcdefghijklmnopqrstuvwxyz");
  const Runs runs = f.Layout();
  ASSERT_GE(runs.size(), 3u);
  EXPECT_EQ(L"abcdefg", runs[0].text);
  std::wstring joined;
  for (size_t i = 0; i < runs.size(); ++i) {
    joined += runs[i].text;
    EXPECT_EQ("0," + std::to_string(20 * i), At(runs[i]));
    EXPECT_LE(Width(runs[i].text), wide);
    if (i + 1 < runs.size()) {  // one more character would not have fitted
      EXPECT_GT(Width(runs[i].text + runs[i + 1].text[0]), wide);
    }
  }
  EXPECT_EQ(text, joined);
}

TEST(RichText, OnePixelWideAreaPlacesOneCharacterPerLine) {
  RichTextRoot f("pos=\"0,0,1,300\"", "abc<b>de</b><a id=\"1\">xy</a>z");
  std::wstring joined;
  for (const auto& run : f.Layout()) {  // finishes
    EXPECT_EQ(1u, run.text.size());
    joined += run.text;
  }
  EXPECT_EQ(L"abcdez", joined);
  ASSERT_EQ(1u, f.rich->GetLinks().size());
  EXPECT_EQ(0, f.rich->GetLinks()[0].rc.left);
}

TEST(RichText, LinkThatDoesNotFitMovesWholeToTheNextLine) {
  const int wide = Width(L"aaaa") + Width(L"li");
  RichTextRoot f("pos=\"0,0," + std::to_string(wide) + ",300\"", "aaaa<a id=\"5\">link</a>tail");
  const Runs first = f.Layout();
  ASSERT_EQ(1u, f.rich->GetLinks().size());
  const CUiRichText::Link link = f.rich->GetLinks()[0];
  EXPECT_EQ(Str(RECT{0, 20, Width(L"link"), link.rc.bottom}), Str(link.rc));
  EXPECT_EQ(L"link", link.text);
  EXPECT_EQ(5, link.id);
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(L"aaaa", first[0].text);
  EXPECT_EQ(std::to_string(link.rc.right) + ",20", At(first[1]));  // the tail follows the link
  // Later layouts place everything the same way.
  const Runs second = f.Layout();
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(At(first[i]), At(second[i])) << i;
}

TEST(RichText, LinkClicksHoverAndMoves) {
  ElementHost host;
  RichTextRoot f("pos=\"0,0,300,100\"", "<a id=\"7001\">one</a><br/><a id=\"7002\">two</a><br/><a>plain</a>",
            host.View());
  EXPECT_TRUE(f.rich->GetLinks().empty());  // nothing measured before a paint
  f.Layout();
  ASSERT_EQ(3u, f.rich->GetLinks().size());
  RECT link[3];  // "one", "two", "plain"
  for (int i = 0; i < 3; ++i) link[i] = f.rich->GetLinks()[i].rc;
  auto send = [&](UINT msg, int i) { f.rich->UiSendMessage(msg, 0, MAKELPARAM(link[i].left + 1, link[i].top + 1)); };
  auto click = [&](int i) {
    for (UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) send(msg, i);
  };
  auto commands = [&] {  // what the dialog got: element class and id
    std::string out;
    for (const auto& n : host.Notices(UINM_COMMAND))
      if (n.to == host.Dialog() && n.hwndFrom == host.View()) out += n.itemClass + std::to_string(n.item) + " ";
    return out;
  };
  // Hover repaints the links it leaves and enters, once each.
  host.Clear();
  send(WM_MOUSEMOVE, 0);
  send(WM_MOUSEMOVE, 0);
  send(WM_MOUSEMOVE, 1);
  f.rich->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(299, 99));  // off every link
  EXPECT_EQ(-1, f.rich->GetHoverLink());
  std::string repaints;
  for (const auto& n : host.Notices(UINM_INVALIDATERECT)) repaints += Str(n.rc) + " ";
  const std::string one = Str(link[0]) + " ", two = Str(link[1]) + " ";
  EXPECT_EQ(one + one + two + two, repaints);
  // Only a press and release on one link with an id sends its id; the press is forgotten.
  click(0);
  click(2);
  send(WM_MOUSEMOVE, 0);
  send(WM_LBUTTONDOWN, 0);
  send(WM_MOUSEMOVE, 1);
  send(WM_LBUTTONUP, 1);
  send(WM_MOUSEMOVE, 0);
  send(WM_LBUTTONUP, 0);
  EXPECT_EQ("richtext7001 ", commands());
  // Moving the element forgets the links until the next paint.
  send(WM_LBUTTONDOWN, 0);
  elemload::Place(f.root.get(), 0, 0, 500, 300);
  EXPECT_TRUE(!f.rich->IsMeasured() && f.rich->GetLinks().empty());
  send(WM_MOUSEMOVE, 0);
  EXPECT_EQ(-1, f.rich->GetHoverLink());
  send(WM_LBUTTONUP, 0);
  f.Layout();
  send(WM_MOUSEMOVE, 0);
  EXPECT_EQ(0, f.rich->GetHoverLink());
  // A dialog that reloads the layout on the click deletes the element.
  TiXmlDocument doc;
  doc.Parse("<text id=\"1\"/>");
  const HUIWND handle = f.rich->GetHandle();
  host.onDialogNotify = [&](const NMHDR*) { f.root->LoadChilds(doc.RootElement()); };
  click(0);
  EXPECT_EQ("richtext7001 richtext7001 ", commands());
  EXPECT_EQ(nullptr, UiWnds::GetWindow(handle));
  host.onDialogNotify = nullptr;
}

}  // namespace
