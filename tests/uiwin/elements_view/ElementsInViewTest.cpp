// Elements inside a real dialog and host view: what the dialog's code sees when
// the user clicks check boxes, radios, tab heads and rich-text links, and how
// hosted controls follow their elements.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/DibCanvas.h"
#include "support/TestEnv.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"

namespace {

struct Command {
  UINT item;
  std::string itemClass;
  BOOL checkAtCommand;  // GetItemCheck of the item when the command arrived
};

class ElementsDlg : public CUiDialogImpl<ElementsDlg>, public CWHRoundRectFrameHelper<ElementsDlg> {
 public:
  BEGIN_MSG_MAP_EX(ElementsDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_TAB_SELCHANGE, OnTabChange)
    CHAIN_MSG_MAP(CUiDialogImpl<ElementsDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<ElementsDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL&) {
    const auto* cmd = reinterpret_cast<const UINMCOMMAND*>(pnmh);
    commands.push_back({cmd->uItemID, cmd->szItemClass ? cmd->szItemClass : "",
                        GetItemCheck(cmd->uItemID)});
    return 0;
  }
  LRESULT OnTabChange(int, LPNMHDR pnmh, BOOL&) {
    auto* sel = reinterpret_cast<UINMTABSELCHANGE*>(pnmh);
    asked.push_back(sel->uTabItemIDNew);
    sel->bCancel = veto;
    return 0;
  }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    if (onInit) onInit(*this);
    return TRUE;
  }

  std::vector<Command> commands;
  std::vector<UINT> asked;
  BOOL veto = FALSE;
  std::function<void(ElementsDlg&)> onInit;
};

const char kLayout[] = R"(<layer title="elements" width="400" height="300">
  <header height="20" crbg="336699"></header>
  <body crbg="FFFFFF">
    <check id="101" pos="10,10">remember</check>
    <radio id="111" pos="10,30" group="v">a</radio>
    <radio id="112" pos="60,30" group="v">b</radio>
    <radio id="113" pos="110,30" group="v">c</radio>
    <richtext id="120" pos="10,50,390,90"><a id="7100">go</a> and <a id="7101">back</a></richtext>
    <tabctrl id="130" pos="10,100,-10,-10" tabwidth="60" tabheight="20">
      <tab title="one"><realwnd id="131" pos="0,0,-0,-0"/></tab>
      <tab title="two"><realwnd id="132" pos="5,5,-5,-5"/></tab>
    </tabctrl>
  </body>
</layer>)";

LPARAM Pt(int x, int y) { return MAKELPARAM(x, y); }

class ElementsInView : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg_ = std::make_unique<ElementsDlg>();
    // The dialog's code creates its controls in WM_INITDIALOG, as the console does.
    dlg_->onInit = [this](ElementsDlg& d) {
      for (int id : {131, 132})
        controls_.push_back(::CreateWindowExW(
            0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, d.GetViewHWnd(),
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleW(nullptr),
            nullptr));
    };
    ASSERT_TRUE(dlg_->SetXml(kLayout));
    ASSERT_NE(nullptr, dlg_->Create(nullptr));
    ::ShowWindow(dlg_->m_hWnd, SW_SHOWNOACTIVATE);
    view_ = dlg_->GetViewHWnd();
  }
  void TearDown() override {
    dlg_.reset();
    testenv::PumpFor(0);
  }
  void Click(int x, int y) {
    ::SendMessageW(view_, WM_MOUSEMOVE, 0, Pt(x, y));
    ::SendMessageW(view_, WM_LBUTTONDOWN, MK_LBUTTON, Pt(x, y));
    ::SendMessageW(view_, WM_LBUTTONUP, 0, Pt(x, y));
  }
  void ClickItem(UINT id) {
    const RECT rc = dlg_->FindChildByCmdID(id)->GetRect();
    Click(rc.left + 3, (rc.top + rc.bottom) / 2);
  }
  void Paint() {
    DibCanvas canvas(400, 300);
    ::SendMessageW(view_, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  }

  std::unique_ptr<ElementsDlg> dlg_;
  HWND view_ = nullptr;
  std::vector<HWND> controls_;
};

TEST_F(ElementsInView, CheckBoxIsToggledBeforeTheCommand) {
  ClickItem(101);
  ASSERT_EQ(1u, dlg_->commands.size());
  EXPECT_EQ(101u, dlg_->commands[0].item);
  EXPECT_EQ("check", dlg_->commands[0].itemClass);
  EXPECT_TRUE(dlg_->commands[0].checkAtCommand);
  ClickItem(101);
  ASSERT_EQ(2u, dlg_->commands.size());
  EXPECT_FALSE(dlg_->commands[1].checkAtCommand);
}

TEST_F(ElementsInView, RadioCommandSeesTheGroupAlreadyUpdated) {
  ClickItem(111);
  ClickItem(113);
  ASSERT_EQ(2u, dlg_->commands.size());
  EXPECT_EQ("radio", dlg_->commands[1].itemClass);
  EXPECT_TRUE(dlg_->commands[1].checkAtCommand);
  EXPECT_FALSE(dlg_->GetItemCheck(111));
  EXPECT_FALSE(dlg_->GetItemCheck(112));
  EXPECT_TRUE(dlg_->GetItemCheck(113));
  // Setting the check by code leaves the group alone.
  EXPECT_TRUE(dlg_->SetItemCheck(112, TRUE));
  EXPECT_TRUE(dlg_->GetItemCheck(113));
}

TEST_F(ElementsInView, RichTextLinkClickReachesTheDialog) {
  Paint();  // links are measured by the first paint
  auto* rich = static_cast<CUiRichText*>(dlg_->FindChildByCmdID(120));
  ASSERT_EQ(2u, rich->GetLinks().size());
  const RECT back = rich->GetLinks()[1].rc;
  Click(back.left + 1, back.top + 2);
  // The link's command comes first; the view then sends the element's own, as
  // for any element with an id (layouts give rich text none).
  ASSERT_EQ(2u, dlg_->commands.size());
  EXPECT_EQ(7101u, dlg_->commands[0].item);
  EXPECT_EQ("richtext", dlg_->commands[0].itemClass);
  EXPECT_EQ(120u, dlg_->commands[1].item);
  // A click beside the links is only the element's.
  Click(388, 85);
  ASSERT_EQ(3u, dlg_->commands.size());
  EXPECT_EQ(120u, dlg_->commands[2].item);
}

TEST_F(ElementsInView, TabHeadsAskTheDialogAndHostedControlsFollowTheirPage) {
  ASSERT_EQ(2u, controls_.size());
  auto visible = [](HWND w) { return (::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0; };
  // After creation only the selected page's control shows, placed on its element.
  EXPECT_TRUE(visible(controls_[0]));
  EXPECT_FALSE(visible(controls_[1]));
  RECT rc;
  ::GetWindowRect(controls_[0], &rc);
  ::MapWindowPoints(HWND_DESKTOP, view_, reinterpret_cast<POINT*>(&rc), 2);
  const RECT element = dlg_->FindChildByCmdID(131)->GetRect();
  EXPECT_TRUE(::EqualRect(&rc, &element));

  auto* tab = static_cast<CUiTabCtrl*>(dlg_->FindChildByCmdID(130));
  RECT head;
  ASSERT_TRUE(tab->GetItemRect(1, &head));
  dlg_->veto = TRUE;
  Click(head.left + 5, head.top + 5);
  ASSERT_EQ(1u, dlg_->asked.size());
  EXPECT_EQ(1u, dlg_->asked[0]);
  EXPECT_EQ(0, tab->GetCurSel());
  EXPECT_FALSE(visible(controls_[1]));

  dlg_->veto = FALSE;
  Click(head.left + 5, head.top + 5);
  EXPECT_EQ(1, tab->GetCurSel());
  EXPECT_FALSE(visible(controls_[0]));
  EXPECT_TRUE(visible(controls_[1]));
  EXPECT_TRUE(dlg_->SetTabCurSel(130, 0));
  EXPECT_TRUE(visible(controls_[0]));
  EXPECT_FALSE(dlg_->SetTabCurSel(130, 2));
  EXPECT_EQ(3u, dlg_->asked.size());  // the bad index was never asked about

  // Hiding the tab control hides the selected page's control; showing it again
  // brings back that page's only.
  ASSERT_TRUE(dlg_->SetTabCurSel(130, 1));
  ASSERT_TRUE(dlg_->SetItemVisible(130, FALSE));
  EXPECT_FALSE(visible(controls_[1]));
  ASSERT_TRUE(dlg_->SetItemVisible(130, TRUE));
  EXPECT_TRUE(visible(controls_[1]));
  EXPECT_FALSE(visible(controls_[0]));
}

}  // namespace
