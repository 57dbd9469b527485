// The message box, run for real (headless): each box is found on the test thread by a
// timer, checked, and ended with a click posted to one of its elements.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "console/ShellServices.h"
#include "uiwin/CUiIconWnd.h"
#include "uiwin/CUiMsgBox.h"
#include "uiwin/CUiMsgBox2.h"
#include "uiwin/CUiPanel.h"
#include "platform/CWindowImplCore.h"
#include "support/ElementLoad.h"
#include "support/TestDialog.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiString.h"

namespace {

using Step = std::function<bool(CUiMsgBox&)>;  // true when done, else run again next tick
const UINT kClose = CUiMsgBox::kItemClose;

BOOL CALLBACK FindBoxProc(HWND wnd, LPARAM param) {
  auto* found = dynamic_cast<CUiMsgBox*>(CWindowImplCore::FromHandle(wnd));
  if (!found || !::IsWindowVisible(wnd)) return TRUE;
  *reinterpret_cast<CUiMsgBox**>(param) = found;
  return FALSE;
}

// The open message box of this thread, or null.
CUiMsgBox* FindBox() {
  CUiMsgBox* box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindBoxProc, reinterpret_cast<LPARAM>(&box));
  return box;
}

// A step that runs a check once.
Step Check(std::function<void(CUiMsgBox&)> check) {
  return [check](CUiMsgBox& box) {
    check(box);
    return true;
  };
}

// A step that posts a mouse move, press and release at the centre of an element.
Step Click(UINT id) {
  return [id](CUiMsgBox& box) {
    CUiWindow* item = box.FindChildByCmdID(id);
    const RECT rc = item ? item->GetRect() : RECT{};
    EXPECT_FALSE(::IsRectEmpty(&rc)) << "no element " << id << " to click";
    const LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    for (UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
      ::PostMessageW(box.GetViewHWnd(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, pt);
    return true;
  };
}

// While it lives, a thread timer runs the steps on the boxes this thread opens, one
// step per tick; a box still open after the limit is ended with 7777, so that a test
// fails instead of hanging.
class BoxDriver {
 public:
  explicit BoxDriver(std::vector<Step> steps, DWORD limitMs = 5000)
      : steps_(std::move(steps)), start_(::GetTickCount()), limit_(limitMs) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 15, &BoxDriver::Tick);
  }
  ~BoxDriver() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  // All steps run on a box that was never ended by the limit.
  void ExpectDone() const {
    EXPECT_EQ(steps_.size(), done);
    EXPECT_FALSE(failSafe);
    EXPECT_EQ(nullptr, FindBox());
  }
  bool saw = false, failSafe = false;
  size_t done = 0;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    BoxDriver* d = current_;
    CUiMsgBox* box = d ? FindBox() : nullptr;
    if (!box) return;
    d->saw = true;
    if (::GetTickCount() - d->start_ > d->limit_) {
      d->failSafe = true;
      box->EndDialog(7777);
    } else if (d->done < d->steps_.size() && d->steps_[d->done](*box)) {
      ++d->done;
    }
  }
  static BoxDriver* current_;
  std::vector<Step> steps_;
  DWORD start_, limit_;
  UINT_PTR timer_;
};
BoxDriver* BoxDriver::current_ = nullptr;

class MessageBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { elemload::LoadShippedLook(); }
  // Opens a box with `open` while `check` runs on it and `click` ends it; its result.
  static int Run(const std::function<int()>& open, const std::function<void(CUiMsgBox&)>& check,
                 UINT click = IDOK) {
    BoxDriver driver({Check(check), Click(click)});
    const int result = open();
    driver.ExpectDone();
    return result;
  }
};

std::wstring ItemText(CUiMsgBox& box, UINT id) {
  CUiWindow* item = box.FindChildByCmdID(id);
  return item ? item->GetInnerText() : L"<none>";
}

// The labels and ids of the generated button bar, left to right.
std::wstring Buttons(CUiMsgBox& box) {
  auto* bar = dynamic_cast<CUiPanel*>(box.FindChildByCmdID(CUiMsgBox::kItemButtonBar));
  auto* inner = bar && bar->GetChildCount() == 1 ? dynamic_cast<CUiPanel*>(bar->GetChild(0)) : nullptr;
  if (!inner) return L"<no bar>";
  std::wstring out;
  for (size_t i = 0; i < inner->GetChildCount(); ++i)
    out += inner->GetChild(i)->GetInnerText() + std::to_wstring(inner->GetChild(i)->GetCmdID()) + L" ";
  return out;
}

TEST(MessageBoxLines, SplitKeepsNonEmptyLinesAndDropsTrailingReturn) {
  const struct {
    std::wstring text;
    int count;
    std::vector<std::wstring> lines;
  } cases[] = {
      {L"", -1, {}},         {L"one\n", 1, {L"one"}},           {L"a\n\nb", 2, {L"a", L"b"}},
      {L"a\r\nb\r\n", 2, {L"a", L"b"}},   {L"\r\n\n\r\n", 0, {}}, {L"\n", 0, {}},
      {L" \n\t", 2, {L" ", L"\t"}},       {L"x\ry\n", 1, {L"x\ry"}},
  };
  for (const auto& c : cases) {
    std::vector<std::wstring> lines{L"stale"};
    EXPECT_EQ(c.count, CUiMsgBox2::SplitLines(c.text, lines)) << c.text.size();
    EXPECT_EQ(c.lines, lines);
  }
}

TEST_F(MessageBoxTest, EveryButtonSetAnswersWithTheClickedButton) {
  const std::vector<std::vector<std::pair<const wchar_t*, UINT>>> sets = {
      {{L"确定", IDOK}}, {{L"确定", IDOK}, {L"取消", IDCANCEL}},
      {{L"终止", IDABORT}, {L"重试", IDRETRY}, {L"忽略", IDIGNORE}},
      {{L"是", IDYES}, {L"否", IDNO}, {L"取消", IDCANCEL}}, {{L"是", IDYES}, {L"否", IDNO}},
      {{L"重试", IDRETRY}, {L"取消", IDCANCEL}}, {{L"取消", IDCANCEL}, {L"重试", 4}, {L"继续", IDCONTINUE}},
  };
  for (UINT set = 0; set < sets.size(); ++set) {
    std::wstring want;
    for (const auto& b : sets[set]) want += b.first + std::to_wstring(b.second) + L" ";
    for (const auto& click : sets[set]) {
      SCOPED_TRACE(std::to_string(set) + " " + std::to_string(click.second));
      EXPECT_EQ(static_cast<int>(click.second), Run([&] { return UiMessageBox(L"按钮", L"提示", set); },
                    [&](CUiMsgBox& box) { EXPECT_EQ(want, Buttons(box)); }, click.second));
    }
  }
  // Sets 7 to 15 and bit 31 show no button: only the close button ends the box.
  for (UINT style : {7u, 15u, 0x80000000u, 0x80000024u}) {  // the last with yes/no and an icon
    SCOPED_TRACE(style);
    EXPECT_EQ(60001, Run([&] { return UiMessageBox(L"没有按钮", L"提示", style); },
                         [](CUiMsgBox& box) { EXPECT_EQ(L"", Buttons(box)); }, kClose));
  }
}

TEST_F(MessageBoxTest, MarkupAndTokensInTheTextShowLiterally) {
  const wchar_t* text = L"a<b & c\r\n\r\n%str1%\r\n<text>x</text>&amp;\n\n]]>\n";
  const std::vector<std::wstring> want = {L"a<b & c", L"%str1%", L"<text>x</text>&amp;", L"]]>"};
  Run([&] { return UiMessageBox(text, L"<b>&", MB_OK | MB_ICONQUESTION); },
      [&](CUiMsgBox& box) {
        EXPECT_EQ(32514, static_cast<CUiIconWnd*>(box.FindChildByCmdID(CUiMsgBox::kItemIcon))->GetSrc());
        for (UINT i = 0; i < want.size(); ++i)
          EXPECT_EQ(want[i], ItemText(box, CUiMsgBox::kItemFirstLine + i)) << i;
        auto* panel = dynamic_cast<CUiPanel*>(box.FindChildByCmdID(CUiMsgBox::kItemTextPanel));
        EXPECT_EQ(want.size(), panel ? panel->GetChildCount() : 0u);
        EXPECT_FALSE(box.FindChildByCmdID(CUiMsgBox::kItemCheck)->IsVisible(FALSE));
        EXPECT_EQ(L"<b>&", ItemText(box, CUiMsgBox::kItemCaption));
      });
}

TEST_F(MessageBoxTest, LongLinesWrapAndStackWithoutOverlapAndALongCaptionWidensTheBox) {
  std::wstring odbc = L"错误信息：";
  for (int i = 0; i < 40; ++i) odbc += L"[Microsoft][ODBC SQL Server Driver] 连接失败 ";
  const std::wstring caption(40, L'题');
  Run([&] { return UiMessageBox((odbc + L"\r\n下一行").c_str(), caption.c_str(), MB_OK | MB_ICONHAND); },
      [&](CUiMsgBox& box) {
        RECT rc;
        ::GetWindowRect(box.m_hWnd, &rc);
        EXPECT_LE(rc.right - rc.left, CUiMsgBox2::kWrapWidth + 110);
        CUiWindow* first = box.FindChildByCmdID(CUiMsgBox::kItemFirstLine);
        CUiWindow* second = box.FindChildByCmdID(CUiMsgBox::kItemFirstLine + 1);
        ASSERT_TRUE(first && second);
        const RECT a = first->GetRect(), b = second->GetRect();
        EXPECT_GT(a.bottom - a.top, 5 * 18) << "the long line wraps over many rows";
        EXPECT_EQ(a.bottom, b.top) << "the next line starts below it";
        POINT corner{b.left, b.bottom};  // every line lies inside the box, above the buttons
        ::ClientToScreen(box.GetViewHWnd(), &corner);
        EXPECT_LT(corner.y, rc.bottom - 40);
        CUiWindow* title = box.FindChildByCmdID(CUiMsgBox::kItemCaption);
        EXPECT_EQ(caption, title->GetInnerText());
        EXPECT_LE(title->GetRect().right, box.FindChildByCmdID(kClose)->GetRect().left);
      });
}

TEST_F(MessageBoxTest, EnterEscAndCloseLeaveItOpen) {
  // Without a caption the header shows the product title.
  const Step keys = Check([](CUiMsgBox& box) {
    EXPECT_EQ(std::wstring(UiString::Get(1)), ItemText(box, CUiMsgBox::kItemCaption));
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) ::SendMessageW(box.m_hWnd, WM_KEYDOWN, key, 0);
    ::SendMessageW(box.m_hWnd, WM_CLOSE, 0, 0);
    ::PostMessageW(box.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(box.m_hWnd, WM_CLOSE, 0, 0);
  });
  BoxDriver driver(
      {keys, [](CUiMsgBox& box) { return ::IsWindowVisible(box.m_hWnd) != FALSE; }, Click(IDNO)});
  EXPECT_EQ(IDNO, UiMessageBox(L"还开着吗？", nullptr, MB_YESNO | MB_ICONQUESTION));
  driver.ExpectDone();
}

TEST_F(MessageBoxTest, CheckBoxAnswerIsTheStateAtTheLastClick) {
  BOOL answer = 7;
  const Step visible =
      Check([](CUiMsgBox& box) { EXPECT_TRUE(box.FindChildByCmdID(CUiMsgBox::kItemCheck)->IsVisible(TRUE)); });
  const Step check = Click(CUiMsgBox::kItemCheck);
  BoxDriver driver({visible, check, check, check, Click(IDOK)});
  EXPECT_EQ(IDOK, UiMessageBox(L"一\n二\n三", L"提示", MB_OK, &answer));
  driver.ExpectDone();
  EXPECT_EQ(TRUE, answer);
  answer = 7;
  EXPECT_EQ(60001, Run([&] { return UiMessageBox(L"不点", L"提示", MB_OK, &answer); },
                       [](CUiMsgBox&) {}, kClose));
  EXPECT_EQ(FALSE, answer) << "never clicked";
}

// A dialog's modal run opens a box from a timer and ends with its answer.
TestDialog* g_owner = nullptr;
BOOL g_ownerEnabledAfter = FALSE;
void CALLBACK OpenBoxFromOwner(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  const int answer =
      UiMessageBox(L"从对话框打开", L"注意", MB_OKCANCEL | MB_ICONEXCLAMATION, nullptr, g_owner->m_hWnd);
  g_ownerEnabledAfter = ::IsWindowEnabled(g_owner->m_hWnd);
  g_owner->EndDialog(static_cast<UINT>(answer));
}

TEST_F(MessageBoxTest, BoxFromAModalDialogIsCentredOnItAndDisablesItMeanwhile) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml("<layer width=\"500\" height=\"400\"><body/></layer>"));
  g_owner = &dlg;
  dlg.onInit = [](TestDialog&) { ::SetTimer(nullptr, 0, 20, &OpenBoxFromOwner); };
  const Step centred = Check([&](CUiMsgBox& box) {
    EXPECT_EQ(dlg.m_hWnd, ::GetWindow(box.m_hWnd, GW_OWNER));
    EXPECT_FALSE(::IsWindowEnabled(dlg.m_hWnd));
    RECT b, o;
    ::GetWindowRect(box.m_hWnd, &b);
    ::GetWindowRect(dlg.m_hWnd, &o);
    EXPECT_NEAR((o.left + o.right) / 2, (b.left + b.right) / 2, 1);
    EXPECT_NEAR((o.top + o.bottom) / 2, (b.top + b.bottom) / 2, 1);
  });
  BoxDriver driver({centred, Click(IDCANCEL)});
  EXPECT_EQ(static_cast<UINT>(IDCANCEL), dlg.DoModal());
  driver.ExpectDone();
  EXPECT_TRUE(g_ownerEnabledAfter);
}

// A dialog over another that it holds (a wizard over the main window), an edit box of
// the dialog focused; then a box, for the held window (a page's, which passes the main
// window), or with the held window active (the tray menu activates the main window), or
// with no window of the thread active (a notice while the user is elsewhere), or for the
// held window while the system's box or folder chooser over the dialog has the input
// (the tray's about box while the user picks a report's folder).
enum class BoxFor { kHeldParent, kHeldActive, kNothingActive, kOverSystemBox, kOverFolderChooser };
struct HeldDialog {
  BoxFor boxFor;
  TestDialog below, over;
  HWND edit = nullptr;
  BOOL activeAsAsked = FALSE;
  BOOL overEnabledAfter = FALSE;
  HWND focusAfter = nullptr;
  HWND system = nullptr;  // the system's window the box came over
  BOOL systemEnabledAfter = FALSE;
};
HeldDialog* g_held = nullptr;

BOOL CALLBACK FindOwnedBy(HWND wnd, LPARAM param) {
  auto* look = reinterpret_cast<std::pair<HWND, HWND>*>(param);
  if (::GetWindow(wnd, GW_OWNER) != look->first || !::IsWindowVisible(wnd)) return TRUE;
  look->second = wnd;
  return FALSE;
}

// Once the system's window stands over the dialog: the box for the held window, then the
// system's window closed as by the user.
void CALLBACK OpenBoxOverSystem(HWND, UINT, UINT_PTR id, DWORD) {
  HeldDialog& h = *g_held;
  std::pair<HWND, HWND> look{h.over.m_hWnd, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedBy, reinterpret_cast<LPARAM>(&look));
  if (!look.second) return;  // not up yet
  ::KillTimer(nullptr, id);
  h.system = look.second;
  UiMessageBox(L"服务通知", L"提示", MB_OK, nullptr, h.below.m_hWnd);
  h.systemEnabledAfter = ::IsWindowEnabled(h.system);
  ::PostMessageW(h.system, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK OpenBoxOverHeld(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  HeldDialog& h = *g_held;
  ::SetFocus(h.edit);
  if (h.boxFor == BoxFor::kHeldActive) ::SetActiveWindow(h.below.m_hWnd);
  if (h.boxFor == BoxFor::kNothingActive) ::SetActiveWindow(nullptr);
  h.activeAsAsked = ::GetActiveWindow() == (h.boxFor == BoxFor::kHeldActive ? h.below.m_hWnd
                                            : h.boxFor == BoxFor::kNothingActive ? nullptr : h.over.m_hWnd);
  if (h.boxFor == BoxFor::kOverSystemBox || h.boxFor == BoxFor::kOverFolderChooser) {
    ::SetTimer(nullptr, 0, 20, &OpenBoxOverSystem);
    std::wstring folder;
    if (h.boxFor == BoxFor::kOverSystemBox)
      UiSystemMessageBox(L"请选择", L"警告", MB_OK, h.over.m_hWnd);
    else
      ShellServices::Current().ChooseFolder(nullptr, folder);
  } else {
    UiMessageBox(L"服务通知", L"提示", MB_OK, nullptr, h.boxFor == BoxFor::kHeldParent ? h.below.m_hWnd : nullptr);
  }
  h.overEnabledAfter = ::IsWindowEnabled(h.over.m_hWnd);
  h.focusAfter = ::GetFocus();
  h.over.EndDialog(IDOK);
}

void CALLBACK OpenDialogOverBelow(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  HeldDialog& h = *g_held;
  h.over.onInit = [](TestDialog& d) {
    g_held->edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 60, 160, 22,
                                     d.GetViewHWnd(), nullptr, nullptr, nullptr);
    ::SetTimer(nullptr, 0, 20, &OpenBoxOverHeld);
  };
  h.over.DoModal(h.below.m_hWnd);
  h.below.EndDialog(IDOK);
}

TEST_F(MessageBoxTest, ABoxIsOwnedByTheDialogThatHasTheInputHoldsItAndGivesItsFocusBack) {
  for (BoxFor boxFor : {BoxFor::kHeldParent, BoxFor::kHeldActive, BoxFor::kNothingActive, BoxFor::kOverSystemBox,
                        BoxFor::kOverFolderChooser}) {
    SCOPED_TRACE(static_cast<int>(boxFor));
    HeldDialog h;
    h.boxFor = boxFor;
    g_held = &h;
    ASSERT_TRUE(h.below.SetXml("<layer width=\"600\" height=\"450\"><body/></layer>"));
    ASSERT_TRUE(h.over.SetXml("<layer width=\"500\" height=\"400\"><body/></layer>"));
    h.below.onInit = [](TestDialog&) { ::SetTimer(nullptr, 0, 20, &OpenDialogOverBelow); };
    const Step held = Check([&](CUiMsgBox& box) {
      EXPECT_EQ(h.system ? h.system : h.over.m_hWnd, ::GetWindow(box.m_hWnd, GW_OWNER));
      if (h.system) EXPECT_FALSE(::IsWindowEnabled(h.system)) << "the system's window takes input under the box";
      EXPECT_FALSE(::IsWindowEnabled(h.over.m_hWnd));
      EXPECT_FALSE(::IsWindowEnabled(h.below.m_hWnd));
    });
    BoxDriver driver({held, Click(IDOK)});
    EXPECT_EQ(UINT(IDOK), h.below.DoModal());
    driver.ExpectDone();
    EXPECT_TRUE(h.activeAsAsked);
    if (h.system) EXPECT_TRUE(h.systemEnabledAfter);
    EXPECT_TRUE(h.overEnabledAfter);
    EXPECT_EQ(h.edit, h.focusAfter);
  }
}

TEST_F(MessageBoxTest, PlainBoxShowsItsTextInOneElement) {
  EXPECT_EQ(IDCANCEL,
            Run([] { return UiMessageBoxPlain(L"a<b\n&c", L"注意", MB_OKCANCEL | MB_ICONEXCLAMATION); },
                [](CUiMsgBox& box) {
                  EXPECT_TRUE(box.FindChildByCmdID(CUiMsgBox::kItemText)->IsVisible(TRUE));
                  EXPECT_EQ(L"a<b\n&c", ItemText(box, CUiMsgBox::kItemText));
                  EXPECT_FALSE(box.FindChildByCmdID(CUiMsgBox::kItemTextPanel)->IsVisible(FALSE));
                  EXPECT_EQ(L"确定1 取消2 ", Buttons(box));
                },
                IDCANCEL));
}

TEST_F(MessageBoxTest, BoxesThatCannotBeShownReturnMinusOne) {
  BoxDriver driver({Click(kClose)}, 300);
  EXPECT_EQ(-1, UiMessageBox(L"\r\n\n\r\n", L"提示", MB_OK));  // line breaks only
  EXPECT_EQ(-1, UiMessageBox(L"\n", nullptr, MB_OK));
  // the panel entry without a text area
  CUiMsgBox box;
  EXPECT_EQ(-1, box.ShowPanelMsg(L"<text>x</text>", nullptr, L"提示", MB_OK, nullptr, nullptr));
  CUiMsgBox2 box2;
  EXPECT_EQ(-1, box2.ShowPanelMsg(L"<text>x</text>", nullptr, L"提示", MB_OK, nullptr, nullptr));
  EXPECT_FALSE(driver.saw);
}

}  // namespace
