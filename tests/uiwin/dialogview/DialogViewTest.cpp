// The host view: clicks, hover and leave, item operations, forwarding and reflection
// of the hosted controls' messages, and painting through the back buffer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestDialog.h"
#include "platform/CEdit.h"
#include "platform/CWindowImpl.h"
#include "support/DibCanvas.h"
#include "support/TestEnv.h"
#include "uiwin/CUiWindow.h"
#include "uiwin/UiWnds.h"
#include "uiwin/UiXmlText.h"

namespace {

// View coordinates: header 0..30, body 30..180, footer 180..200.
const char kLayout[] = R"(<layer title="视图" width="300" height="200" resize="1">
  <header height="30" crbg="FF0000">
    <text id="11" pos="0,0,100,30">标题</text>
    <button id="12" pos="200,0,240,30">x</button>
    <text id="50" pos="110,0,150,30">head</text>
  </header>
  <body crbg="00FF00">
    <button id="21" pos="10,10,110,40" crbg="0000FF" tip="第一个">one</button>
    <button id="22" pos="120,10,220,40">two</button>
    <text id="23" pos="10,50,110,70">text</text>
    <dlg id="30" pos="10,80,200,140" crbg="FFFF00">
      <button id="31" pos="5,5,60,30">in</button>
    </dlg>
    <text id="50" pos="230,50,290,70">body</text>
    <button pos="230,80,290,100">no id</button>
    <link id="60" pos="230,110,290,130" href="Z:\qv-no-such-folder\none.txt">link</link>
  </body>
  <footer height="20" crbg="0000FF"></footer>
</layer>)";

LPARAM Pt(int x, int y) { return MAKELPARAM(x, y); }

class DialogView : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg_ = std::make_unique<TestDialog>();
    ASSERT_TRUE(dlg_->SetXml(kLayout));
    ASSERT_NE(nullptr, dlg_->Create(nullptr));
    ::ShowWindow(dlg_->m_hWnd, SW_SHOWNOACTIVATE);
    view_ = dlg_->GetViewHWnd();
    ASSERT_TRUE(::IsWindow(view_));
  }
  void TearDown() override {
    dlg_.reset();
    // Leave no stray posted messages (leave notifications) to the next test.
    testenv::PumpFor(0);
  }

  void Move(int x, int y) { ::SendMessageW(view_, WM_MOUSEMOVE, 0, Pt(x, y)); }
  void Down(int x, int y) { ::SendMessageW(view_, WM_LBUTTONDOWN, MK_LBUTTON, Pt(x, y)); }
  void Up(int x, int y) { ::SendMessageW(view_, WM_LBUTTONUP, 0, Pt(x, y)); }
  void Click(int x, int y) {
    Move(x, y);
    Down(x, y);
    Up(x, y);
  }
  DWORD State(UINT id) {
    CUiWindow* e = dlg_->FindChildByCmdID(id);
    return e ? e->GetState() : 0xFFFFFFFF;
  }

  std::unique_ptr<TestDialog> dlg_;
  HWND view_ = nullptr;
};

TEST_F(DialogView, FillsTheFrameAndPlacesTheRoots) {
  RECT frame, view;
  ::GetClientRect(dlg_->m_hWnd, &frame);
  ::GetClientRect(view_, &view);
  EXPECT_TRUE(::EqualRect(&frame, &view));
  EXPECT_EQ(IDC_UIVIEW, ::GetDlgCtrlID(view_));
  RECT b = dlg_->FindChildByCmdID(21)->GetRect();
  EXPECT_EQ(10, b.left);
  EXPECT_EQ(40, b.top);  // below the 30-pixel header
}

TEST_F(DialogView, PressAndReleaseOnAnElementSendsOneCommand) {
  Click(50, 55);
  ASSERT_EQ(1, dlg_->CountCommands(21));
  const ViewEvent* cmd = nullptr;
  for (const ViewEvent& e : dlg_->events)
    if (e.code == UINM_COMMAND) cmd = &e;
  ASSERT_NE(nullptr, cmd);
  EXPECT_EQ("button", cmd->itemClass);
  EXPECT_EQ(0u, State(21) & UiWndState_PushDown);
  EXPECT_NE(0u, State(21) & UiWndState_Hover);
  EXPECT_NE(::GetCapture(), view_);

  // A button in the header is pressed, not dragged.
  Click(220, 15);
  EXPECT_EQ(1, dlg_->CountCommands(12));
  EXPECT_TRUE(dlg_->sysCommands.empty());
}

TEST_F(DialogView, ReleaseElsewhereSendsNothingAndLeavesNothingPressed) {
  Move(50, 55);
  Down(50, 55);
  EXPECT_NE(0u, State(21) & UiWndState_PushDown);
  EXPECT_EQ(view_, ::GetCapture());
  Move(150, 55);  // onto the other button
  Up(150, 55);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  EXPECT_EQ(0u, State(21) & UiWndState_PushDown);
  EXPECT_EQ(0u, dlg_->GetView().GetPushDownHandle());

  // Moving off onto nothing keeps the hover handle, but the release still is not a click.
  Move(50, 55);
  Down(50, 55);
  Move(400, 400);
  Up(400, 400);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  // Released over the element's own area but without a move there first: no click
  // either, since the button came up over a different spot than it went down on.
  Move(50, 55);
  Down(50, 55);
  Up(150, 55);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
}

TEST_F(DialogView, LostCaptureClearsThePressAndTheNextPressWorks) {
  Move(50, 55);
  Down(50, 55);
  ASSERT_EQ(view_, ::GetCapture());
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
  ::SetCapture(other);
  EXPECT_EQ(0u, State(21) & UiWndState_PushDown);
  EXPECT_EQ(0u, dlg_->GetView().GetPushDownHandle());
  ::ReleaseCapture();
  ::DestroyWindow(other);
  Up(50, 55);  // the release of the lost press
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  Click(50, 55);
  EXPECT_EQ(1, dlg_->CountCommands(21));
}

TEST_F(DialogView, DisabledElementsNeitherHoverNorPressNorCommand) {
  ASSERT_TRUE(dlg_->EnableItem(21, FALSE));
  EXPECT_FALSE(dlg_->IsItemEnabled(21, FALSE));
  Click(50, 55);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  EXPECT_EQ(0u, State(21) & (UiWndState_Hover | UiWndState_PushDown));
  EXPECT_NE(view_, ::GetCapture());

  // Inside a disabled panel.
  ASSERT_TRUE(dlg_->EnableItem(30, FALSE));
  EXPECT_TRUE(dlg_->IsItemEnabled(31, FALSE));
  EXPECT_FALSE(dlg_->IsItemEnabled(31, TRUE));
  Click(20, 120);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));

  ASSERT_TRUE(dlg_->EnableItem(21, TRUE));
  ASSERT_TRUE(dlg_->EnableItem(30, TRUE));
  Click(50, 55);
  Click(20, 120);
  EXPECT_EQ(1, dlg_->CountCommands(21));
  EXPECT_EQ(1, dlg_->CountCommands(31));
}

TEST_F(DialogView, ElementsWithoutIdAndDoubleClicksSendNothingExtra) {
  Click(250, 120);  // the button without an id
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  // A double click on a button: down, up, dblclk, up gives one command.
  Click(50, 55);
  ::SendMessageW(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(50, 55));
  Up(50, 55);
  EXPECT_EQ(1, dlg_->CountCommands(21));
}

TEST_F(DialogView, AnElementWithALinkOpensItInsteadOfACommand) {
  Move(260, 150);
  EXPECT_EQ(dlg_->FindChildByCmdID(60)->GetHandle(), dlg_->GetView().GetHoverHandle());
  Down(260, 150);
  EXPECT_NE(0u, State(60) & UiWndState_PushDown);
  Up(260, 150);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  EXPECT_EQ(0u, State(60) & UiWndState_PushDown);
}

TEST_F(DialogView, HeaderBackgroundDragsAndDoubleClickMaximizes) {
  Down(170, 15);  // header background
  Up(170, 15);
  Down(20, 15);  // header text
  Up(20, 15);
  ASSERT_EQ(2u, dlg_->sysCommands.size());
  EXPECT_EQ(0xF012u, dlg_->sysCommands[0]);
  EXPECT_EQ(0xF012u, dlg_->sysCommands[1]);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  ::SendMessageW(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(170, 15));
  ASSERT_EQ(3u, dlg_->sysCommands.size());
  EXPECT_EQ(static_cast<UINT>(SC_MAXIMIZE), dlg_->sysCommands[2]);
  // On a header button the double click does nothing.
  ::SendMessageW(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(220, 15));
  EXPECT_EQ(3u, dlg_->sysCommands.size());
}

TEST_F(DialogView, HoverAndLeaveNotifications) {
  Move(50, 55);
  EXPECT_EQ(1, dlg_->CountEvents(UINM_MOUSEHOVER));
  EXPECT_NE(0u, State(21) & UiWndState_Hover);
  EXPECT_EQ(dlg_->FindChildByCmdID(21)->GetHandle(), dlg_->GetView().GetHoverHandle());

  // The tooltip shows the hovered element's tip.
  wchar_t text[64] = L"";
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = view_;
  ti.uId = 0;
  ti.lpszText = text;
  ASSERT_NE(nullptr, dlg_->GetView().GetToolTip());
  ::SendMessageW(dlg_->GetView().GetToolTip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(L"第一个", text);

  Move(150, 55);
  EXPECT_EQ(0u, State(21) & UiWndState_Hover);
  EXPECT_NE(0u, State(22) & UiWndState_Hover);

  Down(150, 55);
  ::SendMessageW(view_, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(1, dlg_->CountEvents(UINM_MOUSELEAVE));
  EXPECT_EQ(0u, State(22) & (UiWndState_Hover | UiWndState_PushDown));
  EXPECT_EQ(0u, dlg_->GetView().GetHoverHandle());
  EXPECT_EQ(0u, dlg_->GetView().GetPushDownHandle());
  ::ReleaseCapture();

  Move(150, 55);
  EXPECT_EQ(2, dlg_->CountEvents(UINM_MOUSEHOVER));
}

TEST_F(DialogView, ItemOperationsOnAMissingIdFail) {
  const UINT missing = 4242;
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(missing));
  EXPECT_FALSE(dlg_->SetItemText(missing, L"x"));
  EXPECT_FALSE(dlg_->SetItemAttribute(missing, "crbg", "FFFFFF"));
  EXPECT_FALSE(dlg_->SetItemIntAttribute(missing, "id", 5));
  EXPECT_FALSE(dlg_->EnableItem(missing, TRUE));
  EXPECT_FALSE(dlg_->IsItemEnabled(missing, TRUE));
  EXPECT_FALSE(dlg_->SetItemVisible(missing, TRUE));
  EXPECT_FALSE(dlg_->SetItemCheck(missing, TRUE));
  EXPECT_FALSE(dlg_->GetItemCheck(missing));
  EXPECT_FALSE(dlg_->SetTabCurSel(missing, 0));
  EXPECT_FALSE(dlg_->SetPanelXml(missing, "<text id=\"1\">x</text>"));
  EXPECT_FALSE(dlg_->SetTabCurSel(21, 0));  // a button, not a tab control
  EXPECT_FALSE(dlg_->SetTabCurSel(30, 0));  // a panel

  // A dialog object that never made its window has an empty view.
  TestDialog empty;
  EXPECT_EQ(nullptr, empty.GetViewHWnd());
  EXPECT_FALSE(empty.SetItemVisible(1505, TRUE));
  EXPECT_FALSE(empty.SetItemText(1, L"x"));
  EXPECT_EQ(nullptr, empty.Create(nullptr));  // no layout
}

TEST_F(DialogView, ItemOperations) {
  // The header's element wins over the body's with the same id.
  CUiWindow* dup = dlg_->FindChildByCmdID(50);
  ASSERT_NE(nullptr, dup);
  EXPECT_EQ(L"head", dup->GetInnerText());

  // Disabling also drops the hover.
  Move(150, 55);
  ASSERT_NE(0u, State(22) & UiWndState_Hover);
  EXPECT_TRUE(dlg_->EnableItem(22, FALSE));
  EXPECT_EQ(UiWndState_Disable, State(22) & (UiWndState_Disable | UiWndState_Hover));

  // Attributes apply as at run time; unknown names still answer TRUE.
  EXPECT_TRUE(dlg_->SetItemAttribute(23, "nosuchattribute", "1"));
  EXPECT_TRUE(dlg_->SetItemIntAttribute(23, "id", 123));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(23));
  EXPECT_NE(nullptr, dlg_->FindChildByCmdID(123));

  // A link target never comes from the caller.
  EXPECT_TRUE(dlg_->SetItemAttribute(21, "href", "file:///C:/windows/system32/calc.exe"));
  EXPECT_TRUE(dlg_->FindChildByCmdID(21)->GetHref().empty());
  Click(50, 55);
  EXPECT_EQ(1, dlg_->CountCommands(21));
}

// The tab question and its veto are tested through a real dialog in elements_view.
TEST_F(DialogView, ElementNotificationsReachTheFrameExceptRepaintRequests) {
  UINMREALWNDRESIZED resized{};
  resized.hdr = NMHDR{view_, IDC_UIVIEW, UINM_REALWND_RESIZED};
  resized.uItemID = 77;
  resized.rcWnd = RECT{1, 2, 3, 4};
  ::SendMessageW(view_, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&resized));
  EXPECT_EQ(1, dlg_->CountEvents(UINM_REALWND_RESIZED));

  // A repaint request is the view's own business.
  DibCanvas canvas(300, 200);
  ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  CUiWindow* panel = dlg_->FindChildByCmdID(30);
  panel->SetAttribute("crbg", "800080", FALSE);  // changed without asking for a repaint
  UINMINVALIDATERECT inv{};
  inv.hdr = NMHDR{nullptr, 30, UINM_INVALIDATERECT};
  inv.huiWnd = panel->GetHandle();
  inv.rect = RECT{180, 130, 200, 140};
  ::SendMessageW(view_, WM_NOTIFY, 30, reinterpret_cast<LPARAM>(&inv));
  EXPECT_TRUE(dlg_->otherNotifies.empty());
  EXPECT_EQ(0, dlg_->CountEvents(UINM_INVALIDATERECT));
  ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(RGB(128, 0, 128), canvas.At(190, 135));  // inside the requested rectangle
  EXPECT_EQ(RGB(255, 255, 0), canvas.At(150, 135));  // outside it: as drawn before
}

TEST_F(DialogView, SetPanelXmlReplacesAPanelsChildren) {
  CUiWindow* old = dlg_->FindChildByCmdID(31);
  ASSERT_NE(nullptr, old);
  const HUIWND oldHandle = old->GetHandle();

  std::string fragment = "<button id=\"32\" pos=\"5,5,60,30\">" + UiXmlText::Escape(L"<b>&\"数据\"") +
                         "</button><text id=\"33\" pos=\"70,5\">second</text>";
  ASSERT_TRUE(dlg_->SetPanelXml(30, fragment.c_str()));
  EXPECT_EQ(nullptr, UiWnds::GetWindow(oldHandle));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(31));
  ASSERT_NE(nullptr, dlg_->FindChildByCmdID(32));
  EXPECT_EQ(L"<b>&\"数据\"", dlg_->FindChildByCmdID(32)->GetInnerText());
  ASSERT_NE(nullptr, dlg_->FindChildByCmdID(33));
  // Placed inside the panel at once.
  RECT r = dlg_->FindChildByCmdID(32)->GetRect();
  EXPECT_EQ(15, r.left);
  EXPECT_EQ(115, r.top);
  Click(20, 120);
  EXPECT_EQ(1, dlg_->CountCommands(32));

  // Malformed XML, a non-container and a missing id change nothing.
  EXPECT_FALSE(dlg_->SetPanelXml(30, "<button id=\"34\">"));
  EXPECT_FALSE(dlg_->SetPanelXml(21, "<text id=\"35\">x</text>"));
  EXPECT_NE(nullptr, dlg_->FindChildByCmdID(32));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(34));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(35));
}

TEST(UiXmlText, EscapesMarkupAndControlCharacters) {
  EXPECT_EQ("a&amp;b&lt;c&gt;d&quot;e&apos;f", UiXmlText::Escape(L"a&b<c>d\"e'f"));
  EXPECT_EQ("x&#xD;&#xA;y&#x9;z", UiXmlText::Escape(L"x\r\ny\tz"));
  EXPECT_EQ("ab", UiXmlText::EscapeUtf8(std::string("a\x01" "b")));
  EXPECT_EQ("\xE4\xB8\xAD", UiXmlText::Escape(L"中"));
}

// An edit box that answers its reflected colour and custom-draw requests itself.
class ColorEdit : public CWindowImpl<ColorEdit, CEdit> {
 public:
  DECLARE_WND_SUPERCLASS(L"QvTestColorEdit", L"EDIT")
  BEGIN_MSG_MAP(ColorEdit)
    MESSAGE_HANDLER(OCM_CTLCOLOREDIT, OnColor)
    MESSAGE_HANDLER(OCM_NOTIFY, OnReflectedNotify)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()
  LRESULT OnColor(UINT, WPARAM, LPARAM, BOOL&) {
    ++colorRequests;
    return reinterpret_cast<LRESULT>(brush);
  }
  LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    lastReflectedCode = reinterpret_cast<LPNMHDR>(lParam)->code;
    return CDRF_NOTIFYITEMDRAW;
  }
  HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  int colorRequests = 0;
  UINT lastReflectedCode = 0;
};

TEST_F(DialogView, HostedControlsAreReflectedOrForwarded) {
  ColorEdit edit;
  ASSERT_NE(nullptr, edit.Create(view_, RECT{10, 150, 100, 170}, L"", WS_CHILD | WS_VISIBLE, 0, 77));
  HDC dc = ::GetDC(edit.m_hWnd);
  LRESULT brush = ::SendMessageW(view_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit.m_hWnd));
  EXPECT_EQ(reinterpret_cast<LRESULT>(edit.brush), brush);
  EXPECT_EQ(1, edit.colorRequests);

  // A plain control that does not answer gets the system's default colours.
  HWND plain = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, view_,
                                 reinterpret_cast<HMENU>(78), nullptr, nullptr);
  LRESULT def = ::SendMessageW(view_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(plain));
  EXPECT_NE(0, def);
  ::ReleaseDC(edit.m_hWnd, dc);

  // Custom draw goes back to the control; other notifications and commands go on to
  // the frame with the frame's answer.
  NMHDR cd{edit.m_hWnd, 77, static_cast<UINT>(NM_CUSTOMDRAW)};
  EXPECT_EQ(CDRF_NOTIFYITEMDRAW, ::SendMessageW(view_, WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&cd)));
  EXPECT_EQ(static_cast<UINT>(NM_CUSTOMDRAW), edit.lastReflectedCode);
  EXPECT_TRUE(dlg_->otherNotifies.empty());
  NMHDR grid{edit.m_hWnd, 77, static_cast<UINT>(-1501)};
  EXPECT_EQ(0x55, ::SendMessageW(view_, WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&grid)));
  ASSERT_EQ(1u, dlg_->otherNotifies.size());
  EXPECT_EQ(static_cast<UINT>(-1501), dlg_->otherNotifies[0].second);
  ::SendMessageW(view_, WM_COMMAND, MAKEWPARAM(77, EN_CHANGE), reinterpret_cast<LPARAM>(edit.m_hWnd));
  ASSERT_EQ(1u, dlg_->commands.size());
  EXPECT_EQ(static_cast<UINT>(MAKEWPARAM(77, EN_CHANGE)), dlg_->commands[0].first);

  // The cursor over a hosted control is the control's business.
  EXPECT_EQ(FALSE, ::SendMessageW(view_, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit.m_hWnd),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(TRUE, ::SendMessageW(view_, WM_SETCURSOR, reinterpret_cast<WPARAM>(view_),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  ::DestroyWindow(plain);
  edit.DestroyWindow();
}

TEST_F(DialogView, PaintsTheLayoutThroughWmPrint) {
  DibCanvas canvas(300, 200);
  ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(170, 5));    // header
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(250, 160));  // body
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(150, 195));  // footer
  EXPECT_EQ(RGB(255, 255, 0), canvas.At(190, 160 - 25));  // the panel inside the body
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(105, 42));   // the blue button's corner

  // Hiding an element repaints its area with what lies beneath.
  ASSERT_TRUE(dlg_->SetItemVisible(21, FALSE));
  ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(105, 42));
}

TEST_F(DialogView, ZeroWidthPaintsNothingUntilTheNextSize) {
  ::MoveWindow(view_, 0, 0, 0, 200, FALSE);
  DibCanvas canvas(300, 200);
  ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(170, 5));
  ::MoveWindow(view_, 0, 0, 300, 200, FALSE);
  ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(170, 5));
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(150, 195));
}

TEST_F(DialogView, ReloadingTheLayoutForgetsOldElementsAndPlacesNewOnes) {
  Move(50, 55);
  Down(50, 55);
  ASSERT_TRUE(dlg_->SetXml(R"(<layer><body crbg="000080"><button id="7" pos="0,0,50,50">b</button></body></layer>)"));
  EXPECT_EQ(0u, dlg_->GetView().GetHoverHandle());
  EXPECT_EQ(0u, dlg_->GetView().GetPushDownHandle());
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(21));
  Up(50, 55);
  EXPECT_EQ(0, dlg_->CountEvents(UINM_COMMAND));
  Click(10, 10);
  EXPECT_EQ(1, dlg_->CountCommands(7));
  EXPECT_FALSE(dlg_->SetXml("<notlayer/>"));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(7));
}

}  // namespace
