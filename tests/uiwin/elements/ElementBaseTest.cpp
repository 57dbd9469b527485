// The element base and containers: value grammars, string tokens, the "pos" grammar,
// sizes at load, measuring, placement, hit testing, searching, loading and reloading,
// sub-layouts, painting, repaint requests, hosted real windows, loops that survive a
// handler reloading its panel, and elements with the shipped styles and skins.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/TextConv.h"
#include "support/DebugReportCapture.h"
#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "support/ElementLoad.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiDialogFile.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiStatic.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"

using elemload::LoadRoot;
using elemload::Place;
using elemload::Str;

namespace {

TEST(Grammar, HexDecimalColourAndFontKeys) {
  struct Case {
    char kind;  // x: hex, 2: two hex digits, d: decimal, c: colour, f: font key
    const char* text;
    unsigned long want;
  };
  const Case cases[] = {
      {'x', "FF00", 0xFF00}, {'x', "0600", 0x600},   {'x', "1x", 0},      {'x', "0x10", 0},
      {'x', nullptr, 0},     {'2', "ff", 0xFF},      {'2', "1x", 0},      {'2', "ABCDEF", 0xAB},
      {'2', "G1", 0},        {'2', "7", 7},          {'2', "", 0},        {'d', "12px", 12},
      {'d', "-7", static_cast<unsigned long>(-7)},   {'d', "  +5", 5},    {'d', "x12", 0},
      {'d', nullptr, 0},     {'c', "FF0000", 0xFF},  {'c', "D4F0F2", 0xF2F0D4},
      {'c', "FFFFF", 0x0FFFFF},  // a short blue pair reads "F"
      {'c', "Z03456", 0x563400}, {'c', "AB", 0xAB},  {'c', "", 0},        {'f', "ff04", 0xFF04},
      {'f', "10004", 4},     {'f', "00x4", 0},       {'f', "0x04", 0},    {'f', " 4", 0},
      {'f', "-1", 0},        {'f', nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.kind) + " " + (c.text ? c.text : "(null)"));
    unsigned long got = 0;
    switch (c.kind) {
      case 'x': got = CUiObject::ParseHex(c.text); break;
      case '2': got = CUiObject::ParseHex(c.text, 2); break;
      case 'd': got = static_cast<unsigned long>(CUiObject::ParseInt(c.text)); break;
      case 'c': got = CUiObject::ParseColor(c.text); break;
      default: got = UiFontPool::ParseFontKey(c.text); break;
    }
    EXPECT_EQ(c.want, got);
  }
}

TEST(Grammar, StringTokens) {
  // 8801 holds a token that must not be expanded again.
  testenv::TempDir dir;
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"8800.xml"),
                                    "<string><s id=\"8801\">one%str8802%</s><s id=\"8802\">二</s>"
                                    "<s id=\"8803\"></s></string>"));
  UiResUtil::SetResourceDirectory(dir.Path().c_str());
  ASSERT_TRUE(UiString::Load(8800));
  UiResUtil::SetResourceDirectory(L"");
  DebugReportCapture reports;  // a missing id reports; that is expected here
  const struct {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"A%str8801%%str8802%B", L"Aone%str8802%二B"},  // adjacent; not scanned again
      {L"%str8803%x", L"x"},                            // empty string
      {L"a%str999999%b", L"ab"},                        // a missing id vanishes
      {L"x%str0%%str8802%", L"x%str0%%str8802%"},       // id 0 stops the scan
      {L"%strab%%str8802%", L"%strab%%str8802%"},       // letters stop the scan
      {L"%str8802%%str8802", L"二%str8802"},            // an unclosed token stays
      {L"%str8802abc%!", L"二!"},                       // a token ends at the next %
      {L"%str-5%", L"%str-5%"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::wstring(c.out), CUiWindow::ReplaceStringTokens(c.in)) << qv::WideToUtf8(c.in);
  auto root = LoadRoot("<dlg><text id=\"1\">[%str8802%]</text></dlg>");
  EXPECT_EQ(L"[二]", root->Item(1)->GetInnerText());
}

std::string PosText(const CUiWindow& w) {
  std::string s;
  for (int i = 0; i < w.GetPosCount(); ++i) {
    const UiPosItem& it = w.GetPosItem(i);
    s += std::string(i ? "," : "") + (it.bCenter ? "|" : "") + (it.bFar ? "-" : "") +
         std::to_string(it.nValue);
  }
  return s;
}

TEST(Grammar, Position) {
  const struct {
    const char* value;
    const char* items;  // "" for no position
  } cases[] = {
      {"10,20", "10,20"},         {"0,0,-0,-0", "0,0,-0,-0"}, {"|-50,10", "|-50,10"},
      {"|5,-7,,x", "|5,-7,0,0"}, {"1,2,3,4,5", "1,2,3,4"},   {"-|5,1", "-0,1"},  // bar first
      {"1,2,3", ""},              {"7", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    CUiStatic wnd;
    EXPECT_EQ(S_FALSE, wnd.SetAttribute("pos", c.value, TRUE));
    EXPECT_EQ(c.items, PosText(wnd));
  }
  // An empty value changes nothing; an invalid one clears an earlier position.
  CUiStatic wnd;
  wnd.SetAttribute("pos", "1,2", TRUE);
  EXPECT_EQ(S_FALSE, wnd.SetAttribute("pos", "", TRUE));
  EXPECT_EQ("1,2", PosText(wnd));
  wnd.SetAttribute("pos", "1,2,3", TRUE);
  EXPECT_EQ("", PosText(wnd));
}

// A text as the default font draws it on a desktop DC.
SIZE TextSize(const wchar_t* text) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, UiFontPool::GetFont(0));
  RECT rc{0, 0, 0, 0};
  ::DrawTextW(dc, text, -1, &rc, DT_SINGLELINE | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return SIZE{rc.right, rc.bottom};
}

TEST(ElementLoad, SizesFromWidthHeightAndPos) {
  const DWORD kAuto = UiWndPos_WidthAuto | UiWndPos_HeightAuto, kNot = UiWndPos_NotFloat;
  const SIZE hello = TextSize(L"Hello"), longer = TextSize(L"Hello Hello");
  ASSERT_GT(hello.cx, 0);
  const struct {
    const char* attrs;
    DWORD type;
    int left, top, cx, cy;  // -1: measured from the text
  } cases[] = {
      // A valid pos: auto sizes; width, height and float are not read.
      {"pos=\"10,20\" width=\"77\" height=\"33\" float=\"1\"", kAuto, 10, 20, -1, -1},
      {"pos=\"|-20,-30\"", kAuto, 180, 270, -1, -1},  // centre and far edge place the corner
      // Three items are no position: width and height are read.
      {"pos=\"1,2,3\" width=\"40\" height=\"30\"", UiWndPos_WidthFixed | UiWndPos_HeightFixed | kNot,
       0, 0, 40, 30},
      {"width=\"full\"", UiWndPos_WidthFull | UiWndPos_HeightAuto | kNot, 0, 0, 400, -1},
      {"width=\"0\" height=\"abc\"", kAuto | kNot, 0, 0, -1, -1},  // 0 and letters are auto
      {"show=\"0\" float=\"1\"", kAuto | UiWndPos_Float, 0, 0, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attrs);
    auto root = LoadRoot(std::string("<dlg><text id=\"1\" ") + c.attrs + ">Hello</text></dlg>");
    CUiWindow* w = root->Item(1);
    EXPECT_EQ(c.type, w->GetPositionType());
    const int cx = c.cx < 0 ? hello.cx : c.cx, cy = c.cy < 0 ? hello.cy : c.cy;
    EXPECT_EQ(Str(RECT{c.left, c.top, c.left + cx, c.top + cy}), Str(w->GetRect()));
    EXPECT_EQ(strstr(c.attrs, "show") == nullptr, w->IsVisible(FALSE) != FALSE);
    // A longer text re-measures an auto size; the position stays. No text is empty text.
    w->SetInnerText(L"Hello Hello");
    EXPECT_EQ(c.left, w->GetRect().left);
    EXPECT_EQ(c.cx < 0 ? longer.cx : c.cx, w->GetRect().right - c.left) << "only auto sizes";
    w->SetInnerText(nullptr);
    EXPECT_EQ(L"", w->GetInnerText());
  }
}

// Records the text colour and font that painting selects.
class ColourProbe : public CUiStatic {
 public:
  using CUiStatic::m_style;
  COLORREF painted = 0;
  HGDIOBJ font = nullptr;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override {
    if (uMsg != WM_PAINT) return CUiStatic::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
    HDC dc = reinterpret_cast<HDC>(wParam);
    TextDCState saved;
    PrepareTextDC(dc, saved);
    painted = ::GetTextColor(dc);
    font = ::GetCurrentObject(dc, OBJ_FONT);
    RestoreTextDC(dc, saved);
    SetMsgHandled(TRUE);
    return TRUE;
  }
};

TEST(ElementPaint, ColoursAndFontsByState) {
  auto root = LoadRoot("<dlg/>", nullptr, 100, 100);
  root->Style().crtext = 0x000001;
  root->Style().font = UiFontPool::GetFont(0x0004);
  auto* probe = new ColourProbe;
  root->Adopt(probe);
  probe->m_style.crdisabled = 0x0000FF;
  probe->m_style.crhover = 0x00FF00;
  probe->m_style.hoverfont = UiFontPool::GetFont(0x0001);
  Place(probe, 0, 0, 50, 20);
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, 0x123456);
  // own state, the root's, the text colour and font key that painting selects
  const DWORD cases[][4] = {
      {0, 0, 0x000001, 0x0004},  // inherited from the panel
      {UiWndState_Hover, 0, 0x00FF00, 0x0001},
      {UiWndState_Hover, UiWndState_Disable, 0x0000FF, 0x0004},  // disabled ancestor, no hover font
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0] + c[1]);
    probe->ModifyState(c[0], ~c[0]);
    root->ModifyState(c[1], ~c[1]);
    probe->painted = CLR_INVALID;
    probe->font = nullptr;
    root->RedrawRegion(dc, nullptr);
    EXPECT_EQ(c[2], probe->painted);
    EXPECT_EQ(UiFontPool::GetFont(static_cast<WORD>(c[3])), probe->font);
    EXPECT_EQ(0x123456u, ::GetTextColor(dc));  // everything selected is put back
  }
  ::DeleteDC(dc);
}

TEST(ElementNotify, InvalidateRequestOnlyWhileVisible) {
  ElementHost host;
  auto root = LoadRoot("<dlg><text id=\"77\">x</text></dlg>");
  CUiWindow* text = root->Item(77);
  text->NotifyInvalidateRect(RECT{1, 2, 3, 4});  // no container window yet
  root->SetContainer(host.View());
  text->NotifyInvalidateRect(RECT{1, 2, 3, 4});
  root->SetVisible(FALSE);
  text->NotifyInvalidateRect(RECT{1, 2, 3, 4});
  auto sent = host.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(1u, sent.size());
  EXPECT_TRUE(sent[0].to == host.View() && !sent[0].hwndFrom && sent[0].huiWnd == text->GetHandle());
  EXPECT_EQ("77 77 1,2,3,4", std::to_string(sent[0].wParam) + " " + std::to_string(sent[0].idFrom) +
                                 " " + Str(sent[0].rc));
}

class ShippedLook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { elemload::LoadShippedLook(); }
};

TEST_F(ShippedLook, ClassAndOwnAttributesApplyInDocumentOrderAndMarginsWidenTheMeasure) {
  auto root = LoadRoot("<dlg><text id=\"1\" crtext=\"00FF00\" class=\"monitornum\">a</text>"
                       "<text id=\"2\" class=\"monitornum\" crtext=\"00FF00\">b</text></dlg>");
  EXPECT_EQ(0x0000FFu, root->Item(1)->GetStyle().crtext);  // the style's FF0000
  EXPECT_EQ(0x00FF00u, root->Item(2)->GetStyle().crtext);
  // Margins widen the measure; skins decide whether a state change repaints.
  auto more = LoadRoot(
      "<dlg><text id=\"1\" pos=\"0,0\">确定</text><text id=\"2\" pos=\"0,0\" class=\"normalbtn\">确定</text>"
      "<text id=\"3\" class=\"panel\">p</text></dlg>");
  const RECT plain = more->Item(1)->GetRect(), button = more->Item(2)->GetRect();
  EXPECT_EQ(plain.right + 10, button.right);  // x-margin 5
  EXPECT_EQ(plain.bottom, button.bottom);
  EXPECT_TRUE(more->Item(2)->NeedRedrawWhenStateChange());   // button skin
  EXPECT_FALSE(more->Item(3)->NeedRedrawWhenStateChange());  // one-picture frame
}

TEST(Placement, ChildrenOfADialogByPosItems) {
  // Parent at (100, 50), 200 x 100, margins 10 and 5: the reference is (110,55)-(290,145).
  const char* cases[][2] = {  // attributes of a <text> child, its rectangle
      {"pos=\"0,0,-0,-0\"", "110,55,290,145"},         {"pos=\"10,20,-30,-40\"", "120,75,260,105"},
      {"pos=\"|-50,|-10,|50,|10\"", "150,90,250,110"}, {"pos=\"-60,-30,-0,-0\"", "230,115,290,145"},
      {"pos=\"|5,|-5,-5,-5\"", "205,95,285,140"},     {"pos=\"7\" width=\"full\" height=\"12\"", "110,55,290,67"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    auto root = LoadRoot(std::string("<dlg><text id=\"1\" ") + c[0] + "/></dlg>");
    root->Style().xmargin = 10;
    root->Style().ymargin = 5;
    Place(root.get(), 100, 50, 200, 100);
    EXPECT_EQ("100,50,300,150", Str(root->GetRect()));
    EXPECT_EQ(c[1], Str(root->Item(1)->GetRect()));
  }
  // Nested dialogs are placed depth first; a run-time pos change places that child again.
  auto root = LoadRoot("<dlg><dlg pos=\"10,10,-10,-10\"><dlg pos=\"5,5,-5,-5\"><text id=\"3\" pos=\"0,0,-0,-0\"/>"
                       "</dlg></dlg></dlg>", nullptr, 100, 80);
  EXPECT_EQ("15,15,85,65", Str(root->Item(3)->GetRect()));
  root->Item(3)->SetAttribute("pos", "1,1,-1,-1", FALSE);
  EXPECT_EQ("16,16,84,64", Str(root->Item(3)->GetRect()));
}

TEST(HitTest, OrderFloatTransparentAndInvisible) {
  auto root = LoadRoot("<dlg><text id=\"1\" pos=\"0,0,50,50\"/><text id=\"2\" pos=\"25,25,75,75\"/>"
                       "<text id=\"3\" width=\"30\" height=\"30\" float=\"1\"/>"
                       "<text id=\"4\" pos=\"60,0,90,20\" transparent=\"1\"/>"
                       "<text id=\"5\" pos=\"60,0,80,20\" show=\"0\"/></dlg>", nullptr, 100, 100);
  auto at = [&](int x, int y) -> int {
    HUIWND h = root->HitTest(POINT{x, y});
    if (h == root->GetHandle()) return -1;
    CUiWindow* w = UiWnds::GetWindow(h);
    return w ? w->GetCmdID() : 0;
  };
  const int points[][3] = {
      {10, 10, 3},   // floating wins although it comes later
      {40, 40, 1},   // overlap: the earlier one
      {60, 60, 2},   {65, 10, -1},  // transparent and invisible fall through to the panel
      {75, 75, -1},  // right and bottom edges are outside
      {100, 10, 0},  {-1, 10, 0},
  };
  for (const auto& p : points) EXPECT_EQ(p[2], at(p[0], p[1])) << p[0] << "," << p[1];
  root->SetAttribute("onlydrawchild", "1", FALSE);
  EXPECT_EQ(-1, at(40, 40));
}

TEST(Loading, SearchReloadAndUnknownTags) {
  auto root = LoadRoot(
      "<dlg><dlg id=\"10\"><text id=\"5\">deep first panel</text><text>no id</text></dlg>"
      "<dlg id=\"11\" show=\"0\"><text id=\"6\">hidden panel</text></dlg>"
      "<text id=\"5\">direct</text><div id=\"2\"><text id=\"3\"/></div><tab id=\"4\"/>"
      "<nosuch id=\"7\"/></dlg>");
  // Direct children first, then subtrees in order, hidden ones too.
  EXPECT_EQ(L"direct", root->Item(5)->GetInnerText());
  EXPECT_EQ(L"hidden panel", root->Item(6)->GetInnerText());
  EXPECT_EQ(L"no id", root->Item(0)->GetInnerText());
  EXPECT_EQ(nullptr, root->FindChildByCmdID(3));  // unknown tags skip their subtree
  ASSERT_EQ(3u, root->GetChildCount());

  const HUIWND oldDirect = root->Item(5)->GetHandle(), oldDeep = root->Item(6)->GetHandle();
  TiXmlDocument doc;
  doc.Parse("<text id=\"8\"/><text id=\"9\"/>", nullptr, TIXML_ENCODING_UTF8);
  ASSERT_TRUE(root->LoadChilds(doc.RootElement()));
  EXPECT_TRUE(!UiWnds::GetWindow(oldDirect) && !UiWnds::GetWindow(oldDeep));
  ASSERT_EQ(2u, root->GetChildCount());
  EXPECT_EQ(root->GetHandle(), root->GetChild(0)->GetParent());
  root->UiSendMessage(WM_DESTROY);
  EXPECT_EQ(0u, root->GetChildCount());
}

TEST(Loading, TestLayoutWithEveryTag) {
  std::string bytes;
  ASSERT_TRUE(UiResUtil::LoadUiResource(9001, bytes, L"xml"));
  TiXmlDocument doc;
  doc.Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* body = doc.RootElement() ? doc.RootElement()->FirstChildElement("body") : nullptr;
  ASSERT_NE(nullptr, body);
  elemload::Root root;
  ASSERT_TRUE(root.Load(body));
  root.SetAttribute("pos", "0,0,-0,-0", TRUE);
  Place(&root, 0, 0, 480, 300);
  for (int id = 9020; id <= 9038; ++id) EXPECT_NE(nullptr, root.FindChildByCmdID(id)) << id;
  EXPECT_NE(nullptr, root.FindChildByCmdID(9061));  // from sub-layout 9002
  std::unique_ptr<CUiWindow> imgbtn(CUiPanel::CreateChildByTag("imgbtn"));
  EXPECT_FALSE(imgbtn->IsClass("img"));  // an element is not its base class's tag
  // Drawn on white: the panel's background, and something of each element on it.
  DibCanvas canvas(480, 300);
  root.RedrawRegion(canvas.Dc(), nullptr);
  EXPECT_EQ(RGB(0xF0, 0xF0, 0xF0), canvas.At(3, 3));
  for (int id : {9021, 9022, 9024, 9027, 9028, 9029}) {
    const RECT rc = root.FindChildByCmdID(id)->GetRect();
    int drawn = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right; ++x) drawn += canvas.At(x, y) != RGB(0xF0, 0xF0, 0xF0);
    EXPECT_LT(10, drawn) << id;
  }
}

TEST(Loading, SubLayouts) {
  testenv::TempDir dir;
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"9803.xml"), "<dlg><text>broken</dlg>"));
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"9802.xml"),  // it includes itself
                                    "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"6\" src=\"9802\"/></dlg>"));
  UiResUtil::SetResourceDirectory(dir.Path().c_str());
  DebugReportCapture reports;
  auto root = LoadRoot("<dlg><dlgfile id=\"1\" src=\"9002\"><text id=\"2\">ignored</text></dlgfile>"
                       "<dlgfile id=\"3\" src=\"9899\"/><dlgfile id=\"4\" src=\"\"/><dlgfile id=\"5\"/>"
                       "<dlgfile id=\"7\" src=\"9803\"/></dlg>");
  // Both root-level elements of the sub-layout; what is written inside is ignored.
  auto* file = root->Item<CUiDialogFile>(1);
  ASSERT_EQ(2u, file->GetChildCount());
  EXPECT_EQ(9060, file->GetChild(0)->GetCmdID());
  EXPECT_EQ(9062, file->GetChild(1)->GetCmdID());
  EXPECT_EQ(nullptr, root->FindChildByCmdID(2));
  for (UINT id : {3, 4, 5, 7})  // missing, empty, no and broken source
    EXPECT_EQ(0u, root->Item<CUiDialogFile>(id)->GetChildCount()) << id;
  EXPECT_EQ(E_FAIL, root->Item(3)->SetAttribute("src", "9002", FALSE));
  // A layout that includes itself stops at the nesting limit.
  auto self = LoadRoot("<dlg><dlgfile id=\"6\" src=\"9802\"/></dlg>");
  int files = 0;
  for (CUiWindow* f = self->FindChildByCmdID(6); f; ++files) f = static_cast<CUiPanel*>(f)->FindChildByCmdID(6);
  EXPECT_EQ(CUiDialogFile::kMaxNesting + 1, files);
  EXPECT_TRUE(reports.Contains("nested too deep"));
  UiResUtil::SetResourceDirectory(L"");
}

// An element that, on the message it is told to react to, replaces the children of
// its panel, deleting itself and its siblings.
class Probe : public CUiStatic {
 public:
  explicit Probe(UINT trigger) : trigger_(trigger) {}
  static int reloads;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override {
    if (uMsg != trigger_) return CUiStatic::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
    ++reloads;
    TiXmlDocument doc;
    doc.Parse("<text id=\"50\"/><text id=\"51\"/>", nullptr, TIXML_ENCODING_UTF8);
    static_cast<CUiPanel*>(UiWnds::GetWindow(GetParent()))->LoadChilds(doc.RootElement());
    return TRUE;  // touch nothing of it any more
  }

 private:
  UINT trigger_;
};
int Probe::reloads = 0;

TEST(Forwarding, HandlerReloadsItsOwnPanel) {
  for (UINT trigger : {static_cast<UINT>(WM_WINDOWPOSCHANGED), static_cast<UINT>(WM_MOUSEMOVE)}) {
    SCOPED_TRACE(trigger);
    auto root = LoadRoot("<dlg/>", nullptr, 100, 100);
    for (int i = 0; i < 2; ++i) {
      auto* p = new Probe(trigger);
      root->Adopt(p);
      p->SetAttribute("pos", "0,0,-0,-0", TRUE);
      if (trigger != WM_WINDOWPOSCHANGED) Place(p, 0, 0, 100, 100);
    }
    Probe::reloads = 0;
    // The first child reloads the panel; the second, deleted with it, is skipped;
    // the new children are not visited.
    if (trigger == WM_WINDOWPOSCHANGED)
      Place(root.get(), 0, 0, 100, 100);
    else
      root->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(1, Probe::reloads);
    ASSERT_EQ(2u, root->GetChildCount());
    EXPECT_EQ(50, root->GetChild(0)->GetCmdID());
  }
}

TEST(RealWindows, ShownOnlyWhenEveryContainerAboveIsVisible) {
  ElementHost host;
  auto visible = [&](int id) {
    return (::GetWindowLongW(::GetDlgItem(host.View(), id), GWL_STYLE) & WS_VISIBLE) != 0;
  };
  for (int id : {101, 102, 103, 104}) host.AddControl(id, false);
  auto root = LoadRoot("<dlg><realwnd id=\"101\" ctrlid=\"999\"/><realwnd id=\"102\" show=\"0\"/>"
                       "<dlg id=\"20\"><realwnd id=\"103\"/></dlg>"
                       "<dlg id=\"21\" show=\"0\"><dlg><realwnd id=\"104\"/></dlg></dlg></dlg>", host.View());
  EXPECT_EQ(::GetDlgItem(host.View(), 101), root->Item<CUiRealWnd>(101)->GetRealHWnd());
  root->ShowAllRealWindows(TRUE);
  for (int id : {101, 102, 103, 104}) EXPECT_EQ(id == 101 || id == 103, visible(id)) << id;
  // Hiding a panel hides what it hosts; showing it again shows it.
  CUiWindow* panel = root->Item(20);
  panel->UiSendMessage(WM_SHOWWINDOW, FALSE, 0);
  EXPECT_FALSE(visible(103));
  panel->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_TRUE(visible(103));
  // A container whose parent is invisible hides everything below it, whatever the flag.
  root->SetVisible(FALSE);
  static_cast<CUiPanel*>(panel)->ShowAllRealWindows(TRUE);
  EXPECT_FALSE(visible(103));
  // Destroying the layout hides the windows but leaves them to the dialog.
  root.reset();
  EXPECT_TRUE(::IsWindow(::GetDlgItem(host.View(), 101)));
  EXPECT_FALSE(visible(101));
}

}  // namespace
