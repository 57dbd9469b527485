// Containers: placement by "pos" items, hit testing, searching, loading and
// reloading, sub-layouts, painting order, hosted real windows, and loops that
// survive a handler reloading its panel.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "support/DebugReportCapture.h"
#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "support/ElementLoad.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiDialogFile.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiStatic.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiResUtil.h"

using elemload::LoadRoot;
using elemload::Place;
using elemload::Str;

namespace {

TEST(Placement, ChildrenOfADialogByPosItems) {
  // Parent at (100, 50), 200 x 100, margins 10 and 5: the reference is (110,55)-(290,145).
  const struct {
    const char* child;  // attributes of a <text> child
    const char* rect;
  } cases[] = {
      {"pos=\"0,0,-0,-0\"", "110,55,290,145"},
      {"pos=\"10,20,-30,-40\"", "120,75,260,105"},
      {"pos=\"|-50,|-10,|50,|10\"", "150,90,250,110"},
      {"pos=\"-60,-30,-0,-0\"", "230,115,290,145"},
      {"pos=\"|5,|-5,-5,-5\"", "205,95,285,140"},
      {"width=\"full\" height=\"full\"", "110,55,290,145"},
      {"pos=\"1,2,3\" width=\"40\" height=\"30\"", "110,55,150,85"},
      {"pos=\"7\" width=\"full\" height=\"12\"", "110,55,290,67"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.child);
    auto root = LoadRoot(std::string("<dlg><text id=\"1\" ") + c.child + "/></dlg>");
    root->Style().xmargin = 10;
    root->Style().ymargin = 5;
    Place(root.get(), 100, 50, 200, 100);
    EXPECT_EQ("100,50,300,150", Str(root->GetRect()));
    EXPECT_EQ(c.rect, Str(root->Item(1)->GetRect()));
  }
}

TEST(Placement, NestedDialogsLayOutDepthFirst) {
  auto root = LoadRoot(
      "<dlg><dlg id=\"1\" pos=\"10,10,-10,-10\"><dlg id=\"2\" pos=\"5,5,-5,-5\">"
      "<text id=\"3\" pos=\"0,0,-0,-0\"/></dlg></dlg></dlg>",
      nullptr, 100, 80);
  EXPECT_EQ("10,10,90,70", Str(root->Item(1)->GetRect()));
  EXPECT_EQ("15,15,85,65", Str(root->Item(3)->GetRect()));
  // A run-time pos change places that child again.
  root->Item(3)->SetAttribute("pos", "1,1,-1,-1", FALSE);
  EXPECT_EQ("16,16,84,64", Str(root->Item(3)->GetRect()));
}

TEST(HitTest, OrderFloatTransparentAndInvisible) {
  auto root = LoadRoot(
      "<dlg><text id=\"1\" pos=\"0,0,50,50\"/><text id=\"2\" pos=\"25,25,75,75\"/>"
      "<text id=\"3\" width=\"30\" height=\"30\" float=\"1\"/>"
      "<text id=\"4\" pos=\"60,0,90,20\" transparent=\"1\"/>"
      "<text id=\"5\" pos=\"60,0,80,20\" show=\"0\"/></dlg>",
      nullptr, 100, 100);
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
  EXPECT_EQ(nullptr, UiWnds::GetWindow(oldDirect));
  EXPECT_EQ(nullptr, UiWnds::GetWindow(oldDeep));
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
  for (int id : {9039, 9040, 9041}) EXPECT_EQ(nullptr, root.FindChildByCmdID(id)) << id;
  EXPECT_NE(nullptr, root.FindChildByCmdID(9061));  // from sub-layout 9002
  std::unique_ptr<CUiWindow> imgbtn(CUiPanel::CreateChildByTag("imgbtn"));
  EXPECT_FALSE(imgbtn->IsClass("img"));  // an element is not its base class's tag
  DibCanvas canvas(480, 300);
  EXPECT_TRUE(root.RedrawRegion(canvas.Dc(), nullptr));
}

TEST(Loading, SubLayouts) {
  testenv::TempDir dir;
  const struct {
    const wchar_t* name;
    const char* xml;
  } files[] = {
      {L"9803.xml", "<dlg><text>broken</dlg>"},
      {L"9802.xml", "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"6\" src=\"9802\"/></dlg>"},  // itself
      {L"9804.xml", "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"6\" src=\"9805\"/></dlg>"},
      {L"9805.xml", "<dlg pos=\"0,0,-0,-0\"><dlgfile id=\"6\" src=\"9804\"/></dlg>"},
  };
  for (const auto& f : files) ASSERT_TRUE(testfiles::WriteBytes(dir.File(f.name), f.xml));
  UiResUtil::SetResourceDirectory(dir.Path().c_str());
  DebugReportCapture reports;
  auto root = LoadRoot(
      "<dlg><dlgfile id=\"1\" src=\"9002\"><text id=\"2\">ignored</text></dlgfile>"
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
  // Layouts that include themselves stop at the nesting limit.
  for (const char* src : {"9802", "9804"}) {
    SCOPED_TRACE(src);
    reports.Clear();
    auto self = LoadRoot(std::string("<dlg><dlgfile id=\"6\" src=\"") + src + "\"/></dlg>");
    int files = 0;
    for (CUiWindow* f = self->FindChildByCmdID(6); f; ++files)
      f = static_cast<CUiPanel*>(f)->FindChildByCmdID(6);
    EXPECT_EQ(CUiDialogFile::kMaxNesting + 1, files);
    EXPECT_TRUE(reports.Contains("nested too deep"));
  }
  UiResUtil::SetResourceDirectory(L"");
}

// An element that counts mouse moves and, on the message it is told to react to,
// replaces the children of its panel, deleting itself and its siblings.
class Probe : public CUiStatic {
 public:
  explicit Probe(UINT trigger = 0) : trigger_(trigger) {}
  static int reloads;
  int moves = 0;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override {
    if (uMsg == WM_MOUSEMOVE) ++moves;
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

TEST(Forwarding, MouseMoveGoesToVisibleChildrenUnderThePoint) {
  auto root = LoadRoot("<dlg/>", nullptr, 100, 100);
  Probe* p[3];
  for (auto*& w : p) {
    w = new Probe;
    root->Adopt(w);
    w->SetAttribute("pos", "0,0,20,20", TRUE);
  }
  Place(root.get(), 0, 0, 100, 100);
  p[1]->SetVisible(FALSE);
  p[2]->SetAttribute("pos", "50,50,60,60", FALSE);
  root->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(1, p[0]->moves);
  EXPECT_EQ(0, p[1]->moves + p[2]->moves);
}

TEST(Painting, LaterChildrenPaintOverEarlierAndInvisibleOnesNot) {
  auto root = LoadRoot(
      "<dlg crbg=\"FFFFFF\"><text pos=\"0,0,50,50\" crbg=\"FF0000\"/>"
      "<text pos=\"25,25,75,75\" crbg=\"00FF00\"/>"
      "<text pos=\"0,0,10,10\" crbg=\"0000FF\" show=\"0\"/></dlg>",
      nullptr, 100, 100);
  DibCanvas c(100, 100, RGB(0, 0, 0));
  EXPECT_TRUE(root->RedrawRegion(c.Dc(), nullptr));
  EXPECT_EQ(RGB(255, 0, 0), c.At(5, 5));
  EXPECT_EQ(RGB(0, 255, 0), c.At(40, 40));
  EXPECT_EQ(RGB(255, 255, 255), c.At(90, 90));
  // A region outside the panel draws nothing.
  root->SetAttribute("pos", "0,0,20,20", FALSE);
  Place(root.get(), 0, 0, 100, 100);
  DibCanvas d(100, 100, RGB(0, 0, 0));
  HRGN rgn = ::CreateRectRgn(50, 50, 60, 60);
  EXPECT_FALSE(root->RedrawRegion(d.Dc(), rgn));
  EXPECT_EQ(RGB(0, 0, 0), d.At(10, 10));
  ::DeleteObject(rgn);
}

TEST(RealWindows, ShownOnlyWhenEveryContainerAboveAndTheirPageAreVisible) {
  ElementHost host;
  auto visible = [&](int id) {
    return (::GetWindowLongW(::GetDlgItem(host.View(), id), GWL_STYLE) & WS_VISIBLE) != 0;
  };
  for (int id : {101, 102, 103, 104, 81, 82, 83}) host.AddControl(id, id < 100);
  auto root = LoadRoot(
      "<dlg><realwnd id=\"101\" ctrlid=\"999\"/><realwnd id=\"102\" show=\"0\"/>"
      "<dlg id=\"20\"><realwnd id=\"103\"/></dlg>"
      "<dlg id=\"21\" show=\"0\"><dlg><realwnd id=\"104\"/></dlg></dlg>"
      "<tabctrl id=\"10\" pos=\"0,100,-0,-0\" tabwidth=\"50\" tabheight=\"20\">"
      "<tab><realwnd id=\"81\" pos=\"0,0,40,40\"/></tab>"
      "<tab><realwnd id=\"82\" pos=\"0,0,40,40\"/></tab>"
      "<tab><dlg pos=\"0,0,-0,-0\"><realwnd id=\"83\" pos=\"0,0,40,40\"/></dlg></tab>"
      "</tabctrl></dlg>",
      host.View());
  EXPECT_EQ(::GetDlgItem(host.View(), 101), root->Item<CUiRealWnd>(101)->GetRealHWnd());
  root->ShowAllRealWindows(TRUE);
  for (int id : {101, 102, 103, 104, 81, 82, 83})
    EXPECT_EQ(id == 101 || id == 103 || id == 81, visible(id)) << id;
  // Showing the element itself does not show a window on a hidden page.
  root->Item(82)->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_FALSE(visible(82));
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
  root->SetVisible(TRUE);

  // Selecting a page shows its windows only; hidden pages were placed already.
  auto* tab = root->Item<CUiTabCtrl>(10);
  ASSERT_TRUE(tab->SetCurSel(2));
  EXPECT_FALSE(visible(81));
  EXPECT_TRUE(visible(83));
  RECT rc;
  ::GetWindowRect(::GetDlgItem(host.View(), 83), &rc);
  ::MapWindowPoints(HWND_DESKTOP, host.View(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ("0,120,40,160", Str(rc));
  // Hiding the tab control hides the selected page's windows; showing it again
  // brings back only those.
  tab->UiSendMessage(WM_SHOWWINDOW, FALSE, 0);
  EXPECT_FALSE(visible(83));
  tab->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_TRUE(visible(83));
  EXPECT_FALSE(visible(82));
  // Destroying the layout hides the windows but leaves them to the dialog.
  root.reset();
  EXPECT_TRUE(::IsWindow(::GetDlgItem(host.View(), 101)));
  EXPECT_FALSE(visible(101));
}

}  // namespace
