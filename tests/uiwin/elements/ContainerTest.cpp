// Containers: the tag factory, placement by "pos" items, hit testing, searching,
// painting order, reloading, and loops that survive a handler reloading its panel.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ElementTestUtil.h"
#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "uiwin/CUiContainerWnd.h"
#include "uiwin/CUiDialogFile.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiStatic.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiWnds.h"

using elemtest::LoadDialog;
using elemtest::Place;
using elemtest::Rect;
using elemtest::Str;

namespace {

TEST(TagFactory, EveryTagAndNothingElse) {
  const char* tags[] = {"dlg",    "dlgfile",  "text", "button",   "img",      "progress",
                        "imgbtn", "realwnd",  "hr",   "check",    "icon",     "tabctrl",
                        "radio",  "richtext", "link", "memimage", "imglisth", "iconfrommodule"};
  for (const char* tag : tags) {
    CUiWindow* wnd = CUiPanel::CreateChildByTag(tag);
    ASSERT_NE(nullptr, wnd) << tag;
    EXPECT_STREQ(tag, wnd->GetObjectClass());
    EXPECT_TRUE(wnd->IsClass(tag));
    delete wnd;
  }
  for (const char* tag : {"div", "tab", "Text", "layer", "", "textx"})
    EXPECT_EQ(nullptr, CUiPanel::CreateChildByTag(tag)) << tag;
  EXPECT_EQ(nullptr, CUiPanel::CreateChildByTag(nullptr));
  // Base tags do not count: an image button is not an "img".
  CUiWindow* imgbtn = CUiPanel::CreateChildByTag("imgbtn");
  EXPECT_FALSE(imgbtn->IsClass("img"));
  delete imgbtn;
}

struct PlaceCase {
  const char* child;  // attributes of a <text> child
  RECT expected;
};

TEST(Placement, ChildrenOfADialogByPosItems) {
  // Parent at (100, 50), 200 x 100, margins 10 and 5: the reference is (110,55)-(290,145).
  const PlaceCase cases[] = {
      {"pos=\"0,0,-0,-0\"", Rect(110, 55, 290, 145)},
      {"pos=\"10,20,-30,-40\"", Rect(120, 75, 260, 105)},
      {"pos=\"|-50,|-10,|50,|10\"", Rect(150, 90, 250, 110)},
      {"pos=\"-60,-30,-0,-0\"", Rect(230, 115, 290, 145)},
      {"pos=\"|5,|-5,-5,-5\"", Rect(205, 95, 285, 140)},
      {"width=\"full\" height=\"full\"", Rect(110, 55, 290, 145)},
      {"width=\"40\" height=\"30\"", Rect(110, 55, 150, 85)},
      {"pos=\"1,2,3\" width=\"40\" height=\"30\"", Rect(110, 55, 150, 85)},
      {"pos=\"7\" width=\"full\" height=\"12\"", Rect(110, 55, 290, 67)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.child);
    const std::string xml = std::string("<dlg><text id=\"1\" ") + c.child + "/></dlg>";
    auto dlg = LoadDialog(xml.c_str());
    dlg->SetMargins(10, 5);
    Place(dlg.get(), 100, 50, 200, 100);
    EXPECT_EQ(Str(Rect(100, 50, 300, 150)), Str(dlg->GetRect()));
    CUiWindow* child = dlg->FindChildByCmdID(1);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(Str(c.expected), Str(child->GetRect()));
  }
}

TEST(Placement, NestedDialogsLayOutDepthFirst) {
  auto dlg = LoadDialog(
      "<dlg><dlg id=\"1\" pos=\"10,10,-10,-10\"><dlg id=\"2\" pos=\"5,5,-5,-5\">"
      "<text id=\"3\" pos=\"0,0,-0,-0\"/></dlg></dlg></dlg>");
  Place(dlg.get(), 0, 0, 100, 80);
  EXPECT_EQ(Str(Rect(10, 10, 90, 70)), Str(dlg->FindChildByCmdID(1)->GetRect()));
  EXPECT_EQ(Str(Rect(15, 15, 85, 65)), Str(dlg->FindChildByCmdID(2)->GetRect()));
  EXPECT_EQ(Str(Rect(15, 15, 85, 65)), Str(dlg->FindChildByCmdID(3)->GetRect()));
  // Placing again after a run-time pos change places only that child.
  CUiWindow* leaf = dlg->FindChildByCmdID(3);
  leaf->SetAttribute("pos", "1,1,-1,-1", FALSE);
  EXPECT_EQ(Str(Rect(16, 16, 84, 64)), Str(leaf->GetRect()));
}

TEST(HitTest, OrderFloatTransparentAndInvisible) {
  auto dlg = LoadDialog(
      "<dlg>"
      "<text id=\"1\" pos=\"0,0,50,50\"/>"
      "<text id=\"2\" pos=\"25,25,75,75\"/>"
      "<text id=\"3\" width=\"30\" height=\"30\" float=\"1\"/>"
      "<text id=\"4\" pos=\"60,0,90,20\" transparent=\"1\"/>"
      "<text id=\"5\" pos=\"60,0,80,20\" show=\"0\"/>"
      "</dlg>");
  Place(dlg.get(), 0, 0, 100, 100);
  auto at = [&](int x, int y) -> int {
    HUIWND h = dlg->HitTest(POINT{x, y});
    if (h == dlg->GetHandle()) return -1;
    CUiWindow* w = UiWnds::GetWindow(h);
    return w ? w->GetCmdID() : 0;
  };
  EXPECT_EQ(3, at(10, 10));  // floating wins although it comes later
  EXPECT_EQ(1, at(40, 40));  // overlap: the earlier one
  EXPECT_EQ(2, at(60, 60));
  EXPECT_EQ(-1, at(65, 10));  // transparent and invisible fall through to the panel
  EXPECT_EQ(-1, at(75, 75));  // right and bottom edges are outside
  EXPECT_EQ(0, at(100, 10));  // outside the panel
  EXPECT_EQ(0, at(-1, 10));
  dlg->SetAttribute("onlydrawchild", "1", FALSE);
  EXPECT_EQ(-1, at(40, 40));
}

TEST(FindChildByCmdID, DirectChildrenFirstThenSubtreesInOrder) {
  auto dlg = LoadDialog(
      "<dlg>"
      "<dlg id=\"10\"><text id=\"5\">deep first panel</text><text>no id</text></dlg>"
      "<dlg id=\"11\" show=\"0\"><text id=\"6\">hidden panel</text></dlg>"
      "<text id=\"5\">direct</text>"
      "<dlg id=\"12\"><text id=\"6\">second</text></dlg>"
      "</dlg>");
  EXPECT_EQ(L"direct", dlg->FindChildByCmdID(5)->GetInnerText());
  EXPECT_EQ(L"hidden panel", dlg->FindChildByCmdID(6)->GetInnerText());
  EXPECT_EQ(L"no id", dlg->FindChildByCmdID(0)->GetInnerText());
  EXPECT_EQ(nullptr, dlg->FindChildByCmdID(99));
}

class BareContainer : public CUiContainerWnd {
 public:
  BOOL IsClass(const char*) const override { return FALSE; }
  const char* GetObjectClass() const override { return "bare"; }
};

TEST(Loading, ReloadDestroysOldChildrenAndSkipsUnknownTags) {
  auto dlg = LoadDialog(
      "<dlg><text id=\"1\"/><div id=\"2\"><text id=\"3\"/></div><tab id=\"4\"/>"
      "<nosuch id=\"5\"/><dlg id=\"6\"><text id=\"7\"/></dlg></dlg>");
  ASSERT_EQ(2u, dlg->GetChildCount());
  EXPECT_EQ(nullptr, dlg->FindChildByCmdID(3));
  const HUIWND old1 = dlg->FindChildByCmdID(1)->GetHandle();
  const HUIWND old7 = dlg->FindChildByCmdID(7)->GetHandle();

  TiXmlDocument doc;
  doc.Parse("<text id=\"8\"/><text id=\"9\"/>", nullptr, TIXML_ENCODING_UTF8);
  ASSERT_TRUE(dlg->LoadChilds(doc.RootElement()));
  EXPECT_EQ(nullptr, UiWnds::GetWindow(old1));
  EXPECT_EQ(nullptr, UiWnds::GetWindow(old7));
  ASSERT_EQ(2u, dlg->GetChildCount());
  EXPECT_EQ(dlg->GetHandle(), dlg->GetChild(0)->GetParent());
  EXPECT_NE(nullptr, dlg->FindChildByCmdID(9));

  dlg->UiSendMessage(WM_DESTROY);
  EXPECT_EQ(0u, dlg->GetChildCount());
}

TEST(Loading, DialogFileLoadsItsSubLayout) {
  auto dlg = LoadDialog(
      "<dlg><dlgfile id=\"1\" src=\"9002\"><text id=\"2\">ignored</text></dlgfile>"
      "<dlgfile id=\"3\" src=\"4243\"/></dlg>");
  auto* file = static_cast<CUiDialogFile*>(dlg->FindChildByCmdID(1));
  ASSERT_NE(nullptr, file);
  ASSERT_EQ(2u, file->GetChildCount());  // both root-level elements of the sub-layout
  EXPECT_EQ(9060, file->GetChild(0)->GetCmdID());
  EXPECT_EQ(9062, file->GetChild(1)->GetCmdID());
  EXPECT_EQ(nullptr, dlg->FindChildByCmdID(2));
  auto* empty = static_cast<CUiDialogFile*>(dlg->FindChildByCmdID(3));
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(0u, empty->GetChildCount());
}

TEST(Loading, TestLayoutWithEveryTag) {
  std::string bytes;
  ASSERT_TRUE(UiResUtil::LoadUiResource(9001, bytes, L"xml"));
  TiXmlDocument doc;
  doc.Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
  ASSERT_FALSE(doc.Error());
  const TiXmlElement* body = doc.RootElement()->FirstChildElement("body");
  ASSERT_NE(nullptr, body);
  elemtest::TestDialog root;
  ASSERT_TRUE(root.Load(body));
  root.SetAttribute("pos", "0,0,-0,-0", TRUE);
  Place(&root, 0, 0, 480, 300);
  for (int id = 9020; id <= 9038; ++id) {
    if (id == 9036 || id == 9037) continue;  // tab pages: found through the tab control
    EXPECT_NE(nullptr, root.FindChildByCmdID(id)) << id;
  }
  EXPECT_EQ(nullptr, root.FindChildByCmdID(9039));
  EXPECT_EQ(nullptr, root.FindChildByCmdID(9040));
  EXPECT_EQ(nullptr, root.FindChildByCmdID(9041));
  EXPECT_NE(nullptr, root.FindChildByCmdID(9061));
  DibCanvas canvas(480, 300);
  EXPECT_TRUE(root.RedrawRegion(canvas.Dc(), nullptr));
}

// An element that, on the message it is told to react to, replaces the children of
// the panel that holds it, deleting itself and its siblings.
class Reloader : public CUiStatic {
 public:
  explicit Reloader(UINT trigger) : trigger_(trigger) {}
  static int calls;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override {
    if (uMsg == trigger_) {
      ++calls;
      auto* panel = static_cast<CUiPanel*>(UiWnds::GetWindow(GetParent()));
      TiXmlDocument doc;
      doc.Parse("<text id=\"50\"/><text id=\"51\"/>", nullptr, TIXML_ENCODING_UTF8);
      panel->LoadChilds(doc.RootElement());  // deletes this element
      return TRUE;                           // touch nothing of it any more
    }
    return CUiStatic::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
  }

 private:
  UINT trigger_;
};
int Reloader::calls = 0;

TEST(ReloadDuringForwarding, HandlerReloadsItsOwnPanel) {
  for (UINT trigger : {static_cast<UINT>(WM_WINDOWPOSCHANGED), static_cast<UINT>(WM_MOUSEMOVE)}) {
    SCOPED_TRACE(trigger);
    auto dlg = LoadDialog("<dlg/>");
    Place(dlg.get(), 0, 0, 100, 100);
    auto* first = new Reloader(trigger);
    auto* second = new Reloader(trigger);
    for (auto* w : {first, second}) {
      dlg->Adopt(w);
      w->SetAttribute("pos", "0,0,-0,-0", TRUE);
      if (trigger != WM_WINDOWPOSCHANGED) Place(w, 0, 0, 100, 100);
    }
    Reloader::calls = 0;
    // Placement or mouse-move forwarding: the first child reloads the panel; the
    // second, deleted with it, is skipped; the new children are not visited.
    if (trigger == WM_WINDOWPOSCHANGED)
      Place(dlg.get(), 0, 0, 100, 100);
    else
      dlg->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(1, Reloader::calls);
    ASSERT_EQ(2u, dlg->GetChildCount());
    EXPECT_EQ(50, dlg->GetChild(0)->GetCmdID());
    EXPECT_EQ(51, dlg->GetChild(1)->GetCmdID());
  }
}

TEST(ReloadDuringForwarding, MouseMoveGoesToVisibleChildrenUnderThePoint) {
  struct Counter : CUiStatic {
    int moves = 0;
    BOOL ProcessUiWindowMessage(HWND h, UINT m, WPARAM w, LPARAM l, LRESULT& r) override {
      if (m == WM_MOUSEMOVE) ++moves;
      return CUiStatic::ProcessUiWindowMessage(h, m, w, l, r);
    }
  };
  auto dlg = LoadDialog("<dlg/>");
  auto* a = new Counter;
  auto* b = new Counter;
  auto* c = new Counter;
  for (auto* w : {a, b, c}) {
    dlg->Adopt(w);
    w->SetAttribute("pos", "0,0,20,20", TRUE);
  }
  Place(dlg.get(), 0, 0, 100, 100);
  c->SetAttribute("pos", "50,50,60,60", FALSE);
  b->SetVisible(FALSE);
  dlg->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(1, a->moves);
  EXPECT_EQ(0, b->moves);
  EXPECT_EQ(0, c->moves);
}

COLORREF PixelAfterPaint(elemtest::TestDialog& dlg, HRGN rgn, int x, int y, BOOL* drawn) {
  DibCanvas c(100, 100, RGB(0, 0, 0));
  *drawn = dlg.RedrawRegion(c.Dc(), rgn);
  return c.At(x, y);
}

TEST(Painting, LaterChildrenPaintOverEarlierAndInvisibleOnesNot) {
  auto dlg = LoadDialog(
      "<dlg crbg=\"FFFFFF\">"
      "<text pos=\"0,0,50,50\" crbg=\"FF0000\"/>"
      "<text pos=\"25,25,75,75\" crbg=\"00FF00\"/>"
      "<text pos=\"0,0,10,10\" crbg=\"0000FF\" show=\"0\"/>"
      "</dlg>");
  Place(dlg.get(), 0, 0, 100, 100);
  BOOL drawn = FALSE;
  EXPECT_EQ(RGB(255, 0, 0), PixelAfterPaint(*dlg, nullptr, 10, 10, &drawn));
  EXPECT_TRUE(drawn);
  EXPECT_EQ(RGB(0, 255, 0), PixelAfterPaint(*dlg, nullptr, 40, 40, &drawn));
  EXPECT_EQ(RGB(255, 255, 255), PixelAfterPaint(*dlg, nullptr, 90, 90, &drawn));
  // A region outside the panel draws nothing.
  dlg->SetAttribute("pos", "0,0,20,20", FALSE);
  Place(dlg.get(), 0, 0, 100, 100);
  HRGN rgn = ::CreateRectRgn(50, 50, 60, 60);
  EXPECT_EQ(RGB(0, 0, 0), PixelAfterPaint(*dlg, rgn, 10, 10, &drawn));
  EXPECT_FALSE(drawn);
  ::DeleteObject(rgn);
}

TEST(RealWindows, ShownOnlyWhenEveryContainerAboveIsVisible) {
  ElementHost host;
  auto visible = [](HWND w) { return (::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0; };
  HWND c1 = host.AddControl(101, false);
  HWND c2 = host.AddControl(102, false);
  HWND c3 = host.AddControl(103, false);
  HWND c4 = host.AddControl(104, false);
  auto dlg = LoadDialog(
      "<dlg>"
      "<realwnd id=\"101\" ctrlid=\"999\"/>"
      "<realwnd id=\"102\" show=\"0\"/>"
      "<dlg id=\"20\"><realwnd id=\"103\"/></dlg>"
      "<dlg id=\"21\" show=\"0\"><dlg><realwnd id=\"104\"/></dlg></dlg>"
      "</dlg>");
  dlg->SetContainer(host.View());
  ASSERT_EQ(c1, static_cast<CUiRealWnd*>(dlg->FindChildByCmdID(101))->GetRealHWnd());
  dlg->ShowAllRealWindows(TRUE);
  EXPECT_TRUE(visible(c1));
  EXPECT_FALSE(visible(c2));
  EXPECT_TRUE(visible(c3));
  EXPECT_FALSE(visible(c4));

  // Hiding a panel hides what it hosts; showing it again shows it.
  CUiWindow* panel = dlg->FindChildByCmdID(20);
  panel->UiSendMessage(WM_SHOWWINDOW, FALSE, 0);
  EXPECT_FALSE(visible(c3));
  panel->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_TRUE(visible(c3));

  // A container whose parent is invisible hides everything below it, whatever the flag.
  dlg->SetVisible(FALSE);
  static_cast<CUiPanel*>(panel)->ShowAllRealWindows(TRUE);
  EXPECT_FALSE(visible(c3));
  dlg->SetVisible(TRUE);
  dlg->ShowAllRealWindows(FALSE);
  EXPECT_FALSE(visible(c1));

  // Destroying the layout hides the windows but leaves them to the dialog.
  dlg->ShowAllRealWindows(TRUE);
  ASSERT_TRUE(visible(c1));
  dlg.reset();
  EXPECT_TRUE(::IsWindow(c1));
  EXPECT_FALSE(visible(c1));
}

}  // namespace
