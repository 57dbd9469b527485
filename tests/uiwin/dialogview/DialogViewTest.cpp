// The host view in a real dialog: clicks, hover and leave, what the dialog's code sees
// of check boxes, radios, tab heads and rich-text links, item operations, forwarding
// and reflection of the hosted controls' messages, and painting through the back buffer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/TestDialog.h"
#include "platform/CEdit.h"
#include "platform/CWindowImpl.h"
#include "platform/OwnDelivery.h"
#include "support/DibCanvas.h"
#include "support/StrangerMessage.h"
#include "support/TestEnv.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/CUiWindow.h"
#include "uiwin/UiEndingClick.h"
#include "uiwin/UiWnds.h"
#include "uiwin/UiXmlText.h"

namespace {

// View coordinates: header 0..30, body 30..280, footer 280..300.
const char kLayout[] = R"(<layer title="视图" width="400" height="300" resize="1">
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
    <check id="101" pos="10,150">remember</check>
    <radio id="111" pos="10,170" group="v">a</radio>
    <radio id="112" pos="60,170" group="v">b</radio>
    <radio id="113" pos="110,170" group="v">c</radio>
    <richtext id="120" pos="10,190,290,210"><a id="7100">go</a> and <a id="7101">back</a></richtext>
    <tabctrl id="130" pos="300,10,-10,-10" tabwidth="40" tabheight="20">
      <tab title="one"><realwnd id="131" pos="0,0,-0,-0"/></tab>
      <tab title="two"><realwnd id="132" pos="5,5,-5,-5"/></tab>
    </tabctrl>
  </body>
  <footer height="20" crbg="0000FF"></footer>
</layer>)";

LPARAM Pt(int x, int y) { return MAKELPARAM(x, y); }

class DialogView : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg_ = std::make_unique<TestDialog>();
    ASSERT_TRUE(dlg_->SetXml(kLayout));
    // The dialog's code creates its controls in WM_INITDIALOG, as the console does.
    dlg_->onInit = [](TestDialog& d) {
      for (int id : {131, 132})
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, d.GetViewHWnd(),
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    };
    ASSERT_NE(nullptr, dlg_->Create(nullptr));
    ::ShowWindow(dlg_->m_hWnd, SW_SHOWNOACTIVATE);
    view_ = dlg_->GetViewHWnd();
  }
  void TearDown() override {
    dlg_.reset();
    testenv::PumpFor(0);  // no stray posted leave notifications for the next test
  }

  void Move(int x, int y) { ::SendMessageW(view_, WM_MOUSEMOVE, 0, Pt(x, y)); }
  void Down(int x, int y) { ::SendMessageW(view_, WM_LBUTTONDOWN, MK_LBUTTON, Pt(x, y)); }
  void Up(int x, int y) { ::SendMessageW(view_, WM_LBUTTONUP, 0, Pt(x, y)); }
  void Press(int x, int y) {
    Move(x, y);
    Down(x, y);
  }
  void Click(int x, int y) {
    Press(x, y);
    Up(x, y);
  }
  void ClickItem(UINT id) {
    const RECT rc = dlg_->FindChildByCmdID(id)->GetRect();
    Click(rc.left + 3, (rc.top + rc.bottom) / 2);
  }
  DWORD State(UINT id) { return dlg_->FindChildByCmdID(id)->GetState(); }
  // The commands so far: element class, id, and "+" when it was checked then.
  std::string Commands() const {
    std::string out;
    for (const ViewEvent& e : dlg_->events)
      if (e.code == UINM_COMMAND) out += e.itemClass + std::to_string(e.item) + (e.checked ? "+ " : " ");
    return out;
  }
  // Which of the tab pages' controls 131 and 132 show, "1" shown.
  std::string Shown() {
    std::string out;
    for (int id : {131, 132}) out += ::GetWindowLongW(::GetDlgItem(view_, id), GWL_STYLE) & WS_VISIBLE ? '1' : '0';
    return out;
  }
  void Print(const DibCanvas& canvas) {
    ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  }

  std::unique_ptr<TestDialog> dlg_;
  HWND view_ = nullptr;
};

TEST_F(DialogView, PressAndReleaseOnAnElementSendsOneCommand) {
  EXPECT_EQ(40, dlg_->FindChildByCmdID(21)->GetRect().top);  // below the 30-pixel header
  Click(50, 55);
  EXPECT_EQ(static_cast<DWORD>(UiWndState_Hover), State(21) & (UiWndState_Hover | UiWndState_PushDown));
  EXPECT_NE(::GetCapture(), view_);
  Click(220, 15);  // a button in the header is pressed, not dragged
  EXPECT_TRUE(dlg_->sysCommands.empty());
  // A double click on a button: down, up, dblclk, up gives one command.
  ::SendMessageW(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(220, 15));  // and no maximizing there
  Up(220, 15);
  Click(250, 120);  // the button without an id
  Click(260, 150);  // an element with a link opens it instead of a command
  EXPECT_EQ(0u, State(60) & UiWndState_PushDown);
  EXPECT_EQ("button21 button12 ", Commands());
  // The header's background and text drag the window; a double click there maximizes.
  Click(170, 15);
  Click(20, 15);
  ::SendMessageW(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(170, 15));
  EXPECT_EQ((std::vector<UINT>{0xF012u, 0xF012u, SC_MAXIMIZE}), dlg_->sysCommands);
}

TEST_F(DialogView, OnlyAReleaseOnThePressedEnabledElementIsAClick) {
  // A release whose press was made elsewhere (on a dialog that has gone since) is none.
  Move(50, 55);
  Up(50, 55);
  EXPECT_EQ("", Commands());
  Press(50, 55);
  EXPECT_NE(0u, State(21) & UiWndState_PushDown);
  EXPECT_EQ(view_, ::GetCapture());
  Move(150, 55);  // onto the other button
  Up(150, 55);
  EXPECT_EQ(0u, State(21) & UiWndState_PushDown);
  EXPECT_EQ(0u, dlg_->GetView().GetPushDownHandle());
  Press(50, 55);  // moved off onto nothing
  Move(400, 400);
  Up(400, 400);
  Press(50, 55);  // released elsewhere without a move there first
  Up(150, 55);
  // A lost capture clears the press; its release is no click.
  Press(50, 55);
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
  ::SetCapture(other);
  EXPECT_EQ(0u, State(21) & UiWndState_PushDown);
  ::DestroyWindow(other);
  Up(50, 55);
  // Disabled elements, also inside a disabled panel, neither hover nor press.
  ASSERT_TRUE(dlg_->EnableItem(21, FALSE) && dlg_->EnableItem(30, FALSE));
  EXPECT_TRUE(dlg_->IsItemEnabled(31, FALSE));
  EXPECT_FALSE(dlg_->IsItemEnabled(31, TRUE));
  Click(50, 55);
  Click(20, 120);
  EXPECT_EQ(0u, State(21) & (UiWndState_Hover | UiWndState_PushDown));
  EXPECT_NE(view_, ::GetCapture());
  EXPECT_EQ("", Commands());
  ASSERT_TRUE(dlg_->EnableItem(21, TRUE) && dlg_->EnableItem(30, TRUE));
  Click(50, 55);
  Click(20, 120);
  EXPECT_EQ("button21 button31 ", Commands());
}

TEST_F(DialogView, HoverAndLeaveNotifications) {
  Move(50, 55);
  EXPECT_EQ(1, dlg_->CountEvents(UINM_MOUSEHOVER));
  EXPECT_EQ(dlg_->FindChildByCmdID(21)->GetHandle(), dlg_->GetView().GetHoverHandle());
  Move(150, 55);
  EXPECT_EQ(0u, State(21) & UiWndState_Hover);
  Down(150, 55);
  ::SendMessageW(view_, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(1, dlg_->CountEvents(UINM_MOUSELEAVE));
  EXPECT_EQ(0u, State(22) & (UiWndState_Hover | UiWndState_PushDown));
  EXPECT_TRUE(!dlg_->GetView().GetHoverHandle() && !dlg_->GetView().GetPushDownHandle());
  ::ReleaseCapture();
  Move(150, 55);
  EXPECT_EQ(2, dlg_->CountEvents(UINM_MOUSEHOVER));
}

TEST_F(DialogView, ChecksRadiosAndLinksAsTheDialogSeesThem) {
  for (UINT id : {101, 101, 111, 113}) ClickItem(id);
  EXPECT_EQ("check101+ check101 radio111+ radio113+ ", Commands());
  EXPECT_FALSE(dlg_->GetItemCheck(111));
  EXPECT_TRUE(dlg_->SetItemCheck(112, TRUE));  // by code: the group is left alone
  EXPECT_TRUE(dlg_->GetItemCheck(113));
  dlg_->events.clear();
  DibCanvas canvas(400, 300);
  Print(canvas);  // links are measured by the first paint
  auto* rich = static_cast<CUiRichText*>(dlg_->FindChildByCmdID(120));
  ASSERT_EQ(2u, rich->GetLinks().size());
  const RECT back = rich->GetLinks()[1].rc, rc = rich->GetRect();
  Click(back.left + 1, back.top + 2);
  Click(rc.right - 2, rc.bottom - 2);  // beside the links
  // The link's command comes first; the view then sends the element's own, as for
  // any element with an id (layouts give rich text none).
  EXPECT_EQ("richtext7101 richtext120 richtext120 ", Commands());
}

TEST_F(DialogView, TabHeadsAskTheDialogAndHostedControlsFollowTheirPage) {
  // After creation only the selected page's control shows; the dialog was told where.
  EXPECT_EQ("10", Shown());
  EXPECT_GT(dlg_->CountEvents(UINM_REALWND_RESIZED), 0);
  RECT head;
  ASSERT_TRUE(static_cast<CUiTabCtrl*>(dlg_->FindChildByCmdID(130))->GetItemRect(1, &head));
  dlg_->vetoTabChange = TRUE;
  Click(head.left + 5, head.top + 5);
  EXPECT_EQ("10", Shown());
  dlg_->vetoTabChange = FALSE;
  Click(head.left + 5, head.top + 5);
  EXPECT_EQ("01", Shown());
  ASSERT_TRUE(dlg_->SetItemVisible(131, TRUE));  // its page is hidden: so is the control
  EXPECT_EQ("01", Shown());
  EXPECT_FALSE(dlg_->SetTabCurSel(130, 2));
  EXPECT_EQ(2, dlg_->CountEvents(UINM_TAB_SELCHANGE));  // the bad index was never asked about
  // Hiding the tab control hides the selected page's control; showing it brings back
  // that page's only.
  ASSERT_TRUE(dlg_->SetItemVisible(130, FALSE));
  EXPECT_EQ("00", Shown());
  ASSERT_TRUE(dlg_->SetItemVisible(130, TRUE));
  EXPECT_EQ("01", Shown());
}

TEST_F(DialogView, ItemOperations) {
  const UINT missing = 4242;
  // A missing id, a button or a panel given as a tab control, a dialog never created.
  TestDialog empty;
  std::string results;
  for (BOOL ok : {dlg_->SetItemText(missing, L"x"), dlg_->SetItemAttribute(missing, "crbg", "0"),
                  dlg_->SetItemIntAttribute(missing, "id", 5), dlg_->EnableItem(missing, TRUE),
                  dlg_->IsItemEnabled(missing, TRUE), dlg_->SetItemVisible(missing, TRUE),
                  dlg_->SetItemCheck(missing, TRUE), dlg_->GetItemCheck(missing),
                  dlg_->SetTabCurSel(missing, 0), dlg_->SetPanelXml(missing, "<text/>"),
                  dlg_->SetTabCurSel(21, 0), dlg_->SetTabCurSel(30, 0),
                  empty.SetItemVisible(1505, TRUE), empty.SetItemText(1, L"x")})
    results += ok ? '1' : '0';
  EXPECT_EQ(std::string(14, '0'), results);
  EXPECT_EQ(nullptr, empty.Create(nullptr));  // no layout

  EXPECT_EQ(L"head", dlg_->FindChildByCmdID(50)->GetInnerText());  // the header's wins
  // Disabling also drops the hover.
  Move(150, 55);
  EXPECT_TRUE(dlg_->EnableItem(22, FALSE));
  EXPECT_EQ(UiWndState_Disable, State(22) & (UiWndState_Disable | UiWndState_Hover));
  // Attributes apply as at run time.
  EXPECT_TRUE(dlg_->SetItemIntAttribute(23, "id", 123));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(23));
  EXPECT_NE(nullptr, dlg_->FindChildByCmdID(123));
  // A link target never comes from the caller.
  EXPECT_TRUE(dlg_->SetItemAttribute(21, "href", "file:///C:/windows/system32/calc.exe"));
  EXPECT_TRUE(dlg_->FindChildByCmdID(21)->GetHref().empty());
  Click(50, 55);
  EXPECT_EQ(1, dlg_->CountCommands(21));
}

TEST_F(DialogView, SetPanelXmlReplacesAPanelsChildren) {
  const HUIWND old = dlg_->FindChildByCmdID(31)->GetHandle();
  const std::string fragment = "<button id=\"32\" pos=\"5,5,60,30\">" +
                               UiXmlText::Escape(L"<b>&\"数据\"") + "</button>";
  ASSERT_TRUE(dlg_->SetPanelXml(30, fragment.c_str()));
  EXPECT_EQ(nullptr, UiWnds::GetWindow(old));
  ASSERT_NE(nullptr, dlg_->FindChildByCmdID(32));
  EXPECT_EQ(L"<b>&\"数据\"", dlg_->FindChildByCmdID(32)->GetInnerText());
  EXPECT_EQ(15, dlg_->FindChildByCmdID(32)->GetRect().left);  // placed inside the panel at once
  Click(20, 120);
  EXPECT_EQ(1, dlg_->CountCommands(32));
  // Malformed XML and a non-container change nothing.
  EXPECT_FALSE(dlg_->SetPanelXml(30, "<button id=\"34\">"));
  EXPECT_FALSE(dlg_->SetPanelXml(21, "<text id=\"35\">x</text>"));
  EXPECT_NE(nullptr, dlg_->FindChildByCmdID(32));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(34));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(35));
  EXPECT_EQ("a&amp;b&lt;c&gt;d&quot;e&apos;f&#xD;&#xA;&#x9;", UiXmlText::Escape(L"a&b<c>d\"e'f\r\n\t"));
  EXPECT_EQ("ab", UiXmlText::EscapeUtf8(std::string("a\x01" "b")));
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
  LRESULT OnColor(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(brush); }
  LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    lastReflectedCode = reinterpret_cast<LPNMHDR>(lParam)->code;
    return CDRF_NOTIFYITEMDRAW;
  }
  HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  UINT lastReflectedCode = 0;
};

TEST_F(DialogView, HostedControlsAreReflectedOrForwarded) {
  ColorEdit edit;
  ASSERT_NE(nullptr, edit.Create(view_, RECT{10, 150, 100, 170}, L"", WS_CHILD | WS_VISIBLE, 0, 77));
  HDC dc = ::GetDC(edit.m_hWnd);
  EXPECT_EQ(reinterpret_cast<LRESULT>(edit.brush),
            ::SendMessageW(view_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit.m_hWnd)));
  ::ReleaseDC(edit.m_hWnd, dc);
  // Custom draw goes back to the control; other notifications and commands go on to
  // the frame with the frame's answer.
  NMHDR cd{edit.m_hWnd, 77, static_cast<UINT>(NM_CUSTOMDRAW)};
  EXPECT_EQ(CDRF_NOTIFYITEMDRAW, ::SendMessageW(view_, WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&cd)));
  EXPECT_EQ(static_cast<UINT>(NM_CUSTOMDRAW), edit.lastReflectedCode);
  EXPECT_TRUE(dlg_->otherNotifies.empty());
  NMHDR grid{edit.m_hWnd, 77, static_cast<UINT>(-1501)};
  EXPECT_EQ(0x55, ::SendMessageW(view_, WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&grid)));
  using Pairs = std::vector<std::pair<UINT, UINT>>;
  EXPECT_EQ((Pairs{{77u, static_cast<UINT>(-1501)}}), dlg_->otherNotifies);
  ::SendMessageW(view_, WM_COMMAND, MAKEWPARAM(77, EN_CHANGE), reinterpret_cast<LPARAM>(edit.m_hWnd));
  EXPECT_EQ((Pairs{{MAKEWPARAM(77, EN_CHANGE), static_cast<UINT>(reinterpret_cast<UINT_PTR>(edit.m_hWnd))}}),
            dlg_->commands);
  // The cursor over a hosted control is the control's business.
  const LPARAM move = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  EXPECT_EQ(FALSE, ::SendMessageW(view_, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit.m_hWnd), move));
  EXPECT_EQ(TRUE, ::SendMessageW(view_, WM_SETCURSOR, reinterpret_cast<WPARAM>(view_), move));
  edit.DestroyWindow();
}

TEST_F(DialogView, PaintsTheLayoutAndRepaintsOnlyRequestedRegions) {
  DibCanvas canvas(400, 300);
  Print(canvas);
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(170, 5));    // header
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(250, 250));  // body
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(150, 295));  // footer
  EXPECT_EQ(RGB(255, 255, 0), canvas.At(190, 135));  // the panel inside the body
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(105, 42));   // the blue button's corner
  // A repaint request is the view's own business: it repaints that rectangle only.
  CUiWindow* panel = dlg_->FindChildByCmdID(30);
  panel->SetAttribute("crbg", "800080", FALSE);  // changed without asking for a repaint
  UINMINVALIDATERECT inv{};
  inv.hdr = NMHDR{nullptr, 30, UINM_INVALIDATERECT};
  inv.huiWnd = panel->GetHandle();
  inv.rect = RECT{180, 130, 200, 140};
  ::SendMessageW(view_, WM_NOTIFY, 30, reinterpret_cast<LPARAM>(&inv));
  EXPECT_TRUE(dlg_->otherNotifies.empty() && !dlg_->CountEvents(UINM_INVALIDATERECT));
  Print(canvas);
  EXPECT_EQ(RGB(128, 0, 128), canvas.At(190, 135));
  EXPECT_EQ(RGB(255, 255, 0), canvas.At(150, 135));
  // Hiding an element repaints its area with what lies beneath.
  ASSERT_TRUE(dlg_->SetItemVisible(21, FALSE));
  Print(canvas);
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(105, 42));
  // A zero-width view paints nothing until the next size.
  ::MoveWindow(view_, 0, 0, 0, 300, FALSE);
  DibCanvas blank(400, 300);
  Print(blank);
  EXPECT_EQ(RGB(255, 255, 255), blank.At(170, 5));
  ::MoveWindow(view_, 0, 0, 400, 300, FALSE);
  Print(blank);
  EXPECT_EQ(RGB(0, 0, 255), blank.At(150, 295));
}

TEST_F(DialogView, ReloadingTheLayoutForgetsOldElementsAndPlacesNewOnes) {
  Move(50, 55);
  Down(50, 55);
  ASSERT_TRUE(dlg_->SetXml(R"(<layer><body><button id="7" pos="0,0,50,50">b</button></body></layer>)"));
  EXPECT_TRUE(!dlg_->GetView().GetHoverHandle() && !dlg_->GetView().GetPushDownHandle());
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(21));
  Up(50, 55);
  Click(10, 10);  // where the old header was
  EXPECT_EQ(1, dlg_->CountEvents(UINM_COMMAND));
  EXPECT_EQ(1, dlg_->CountCommands(7));
  EXPECT_FALSE(dlg_->SetXml("<notlayer/>"));
  EXPECT_EQ(nullptr, dlg_->FindChildByCmdID(7));
}

// The place of the button under a press goes back through the asker's pointer: a
// program that posts or sends the question gets nothing written anywhere, whatever its
// pointer says, and the view goes on answering.
TEST_F(DialogView, ThePressedButtonPlaceIsWrittenForNoStranger) {
  const RECT button = dlg_->FindChildByCmdID(21)->GetRect();
  POINT at{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  ::ClientToScreen(view_, &at);
  const WPARAM onButton = MAKEWPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
  const RECT untouched{-7, -7, -7, -7};
  RECT place = untouched;
  const LPARAM ours = reinterpret_cast<LPARAM>(&place);
  const struct { stranger::How how; LPARAM to; } cases[] = {
      {stranger::kPosted, 0x10},        {stranger::kPosted, ours},     {stranger::kSent, 0x10},
      {stranger::kSent, ours},          {stranger::kPostedHere, ours}, {stranger::kSentHere, ours},
  };
  for (const auto& c : cases) {
    stranger::Deliver(c.how, view_, UiEndingClick::PlaceMessage(), onButton, c.to);
    EXPECT_TRUE(::EqualRect(&place, &untouched)) << stranger::Name(c.how) << " " << c.to;
    EXPECT_NE(-1, ::SendMessageW(view_, CUiDialogView::ClickPointMessage(), 21, 0)) << stranger::Name(c.how);
  }
  // The modal loops' own question gets the button's place on the screen.
  EXPECT_EQ(TRUE, OwnDelivery::Send(view_, UiEndingClick::PlaceMessage(), onButton, ours));
  RECT expected = button;
  ::MapWindowPoints(view_, nullptr, reinterpret_cast<POINT*>(&expected), 2);
  EXPECT_TRUE(::EqualRect(&place, &expected));
}

}  // namespace
