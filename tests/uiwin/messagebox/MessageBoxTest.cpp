// The message box, run for real (headless): each box is found on the test thread by a
// timer, checked, and ended with a click posted to one of its elements.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "MsgBoxDriver.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CUiIconWnd.h"
#include "uiwin/CUiMsgBox.h"
#include "uiwin/CUiMsgBox2.h"
#include "uiwin/CUiPanel.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

namespace {

using Step = MsgBoxDriver::Step;

struct ButtonSpec {
  std::wstring label;
  UINT id;
};

const UINT kClose = CUiMsgBox::kItemClose;

class MessageBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(UiString::Load(102));
    UiFontPool::SetDefaultFont(UiString::Get(0), -12);
    ASSERT_TRUE(UiSkin::LoadSkins(100));
    ASSERT_TRUE(UiStyle::LoadStyles(101));
  }

  // Opens a box with `open` while the driver runs `steps` on it; returns its result.
  int Run(const std::function<int()>& open, std::vector<Step> steps) {
    size_t count = steps.size();
    MsgBoxDriver driver(std::move(steps));
    int result = open();
    EXPECT_TRUE(driver.SawBox());
    EXPECT_FALSE(driver.UsedFailSafe());
    EXPECT_EQ(count, driver.StepsDone());
    EXPECT_EQ(nullptr, MsgBoxDriver::FindBox());
    return result;
  }
};

RECT WindowRect(const CUiMsgBox& box) {
  RECT rc{};
  ::GetWindowRect(box.m_hWnd, &rc);
  return rc;
}

// The generated bar inside element 60008 and its buttons, left to right.
void ExpectButtons(CUiMsgBox& box, const std::vector<ButtonSpec>& want) {
  auto* bar = dynamic_cast<CUiPanel*>(box.FindChildByCmdID(CUiMsgBox::kItemButtonBar));
  ASSERT_NE(nullptr, bar);
  ASSERT_EQ(1u, bar->GetChildCount());
  auto* inner = dynamic_cast<CUiPanel*>(bar->GetChild(0));
  ASSERT_NE(nullptr, inner);
  ASSERT_EQ(want.size(), inner->GetChildCount());
  int lastRight = INT_MIN;
  int total = 0;
  for (size_t i = 0; i < want.size(); ++i) {
    CUiWindow* b = inner->GetChild(i);
    ASSERT_NE(nullptr, b);
    EXPECT_TRUE(b->IsClass("button"));
    EXPECT_EQ(static_cast<int>(want[i].id), b->GetCmdID()) << i;
    EXPECT_EQ(want[i].label, b->GetInnerText()) << i;
    RECT rc = b->GetRect();
    EXPECT_GE(rc.right - rc.left, 80);
    EXPECT_EQ(25, rc.bottom - rc.top);
    if (i > 0) {
      EXPECT_EQ(lastRight + 20, rc.left) << "20 px between buttons";
    }
    lastRight = rc.right;
    total += rc.right - rc.left;
  }
  if (!want.empty()) {
    total += 20 * static_cast<int>(want.size() - 1);
    RECT in = inner->GetRect();
    RECT out = bar->GetRect();
    EXPECT_EQ(total / 2 * 2, in.right - in.left);
    EXPECT_NEAR((out.left + out.right) / 2, (in.left + in.right) / 2, 1) << "bar centred";
  }
}

const std::vector<std::vector<ButtonSpec>>& ButtonSets() {
  static const std::vector<std::vector<ButtonSpec>> sets = {
      {{L"确定", IDOK}},
      {{L"确定", IDOK}, {L"取消", IDCANCEL}},
      {{L"终止", IDABORT}, {L"重试", IDRETRY}, {L"忽略", IDIGNORE}},
      {{L"是", IDYES}, {L"否", IDNO}, {L"取消", IDCANCEL}},
      {{L"是", IDYES}, {L"否", IDNO}},
      {{L"重试", IDRETRY}, {L"取消", IDCANCEL}},
      {{L"取消", IDCANCEL}, {L"重试", 4}, {L"继续", IDCONTINUE}},
  };
  return sets;
}

TEST(MessageBoxLines, SplitKeepsNonEmptyLinesAndDropsTrailingReturn) {
  struct Case {
    std::wstring text;
    int count;
    std::vector<std::wstring> lines;
  } cases[] = {
      {L"", -1, {}},
      {L"one", 1, {L"one"}},
      {L"one\n", 1, {L"one"}},
      {L"a\n\nb", 2, {L"a", L"b"}},
      {L"a\r\nb\r\n", 2, {L"a", L"b"}},
      {L"\r\n\n\r\n", 0, {}},
      {L"\n", 0, {}},
      {L" \n\t", 2, {L" ", L"\t"}},
      {L"x\ry\n", 1, {L"x\ry"}},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> lines{L"stale"};
    EXPECT_EQ(c.count, CUiMsgBox2::SplitLines(c.text, lines)) << c.text.size();
    EXPECT_EQ(c.lines, lines);
  }
}

TEST_F(MessageBoxTest, EveryButtonSetHasItsLabelsIdsAndOrder) {
  for (UINT set = 0; set < ButtonSets().size(); ++set) {
    const auto& want = ButtonSets()[set];
    for (const ButtonSpec& click : want) {
      int result = Run([&] { return UiMessageBox(L"按钮", L"提示", set); },
                       {[&](CUiMsgBox& box) {
                          ExpectButtons(box, want);
                          return true;
                        },
                        MsgBoxDriver::Click(click.id)});
      EXPECT_EQ(static_cast<int>(click.id), result) << "set " << set;
    }
  }
}

TEST_F(MessageBoxTest, SetsSevenToFifteenAndBit31ShowNoButtonAndCloseWith60001) {
  std::vector<UINT> styles;
  for (UINT set = 7; set < 16; ++set) styles.push_back(set);
  styles.push_back(0x80000000u);
  styles.push_back(0x80000000u | MB_YESNO | MB_ICONQUESTION);
  for (UINT style : styles) {
    int result = Run([&] { return UiMessageBox(L"没有按钮", L"提示", style); },
                     {[](CUiMsgBox& box) {
                        ExpectButtons(box, {});
                        EXPECT_TRUE(box.GetButtons().empty());
                        return true;
                      },
                      MsgBoxDriver::Click(kClose)});
    EXPECT_EQ(60001, result) << std::hex << style;
  }
}

TEST_F(MessageBoxTest, IconFollowsBitsFourToSeven) {
  struct Case {
    UINT style;
    int icon;  // 0: hidden
  } cases[] = {{0x00, 0},     {0x10, 32513}, {0x20, 32514}, {0x30, 32515},
               {0x40, 32516}, {0x50, 0},     {0xF0, 0},     {0x24, 32514}};
  for (const Case& c : cases) {
    int result = Run([&] { return UiMessageBox(L"图标", L"提示", c.style); },
                     {[&](CUiMsgBox& box) {
                        auto* icon = dynamic_cast<CUiIconWnd*>(box.FindChildByCmdID(CUiMsgBox::kItemIcon));
                        EXPECT_NE(nullptr, icon);
                        if (!icon) return true;
                        EXPECT_EQ(c.icon != 0, static_cast<bool>(icon->IsVisible(TRUE)))
                            << std::hex << c.style;
                        if (c.icon) {
                          EXPECT_EQ(c.icon, icon->GetSrc());
                        }
                        return true;
                      },
                      MsgBoxDriver::Click(kClose)});
    EXPECT_EQ(60001, result);
  }
}

TEST_F(MessageBoxTest, LinesStackAtEighteenPixelsAboveTheMinimumHeight) {
  struct Case {
    const wchar_t* text;
    UINT lines;
    int height;
  } cases[] = {{L"", 0, 160}, {L"一行", 1, 160}, {L"第一行\n第二行\n第三行", 3, 18 * 3 + 120}};
  for (const Case& c : cases) {
    int result = Run([&] { return UiMessageBox(c.text, L"提示", MB_OK); },
                     {[&](CUiMsgBox& box) {
                        RECT rc = WindowRect(box);
                        EXPECT_EQ(320, rc.right - rc.left);
                        EXPECT_EQ(c.height, rc.bottom - rc.top) << c.lines;
                        CUiWindow* panel = box.FindChildByCmdID(CUiMsgBox::kItemTextPanel);
                        EXPECT_TRUE(panel && panel->IsVisible(TRUE));
                        EXPECT_FALSE(box.FindChildByCmdID(CUiMsgBox::kItemText)->IsVisible(FALSE));
                        EXPECT_FALSE(box.FindChildByCmdID(CUiMsgBox::kItemCheck)->IsVisible(FALSE));
                        for (UINT i = 0; i < c.lines; ++i) {
                          CUiWindow* line = box.FindChildByCmdID(CUiMsgBox::kItemFirstLine + i);
                          EXPECT_NE(nullptr, line);
                          if (line && panel) {  // a single line sits 10 px down in the minimum height
                            EXPECT_EQ(static_cast<LONG>(18 * i + (c.lines == 1 ? 10 : 0)),
                                      line->GetRect().top - panel->GetRect().top);
                          }
                        }
                        EXPECT_EQ(nullptr, box.FindChildByCmdID(CUiMsgBox::kItemFirstLine + c.lines));
                        return true;
                      },
                      MsgBoxDriver::Click(IDOK)});
    EXPECT_EQ(IDOK, result);
  }
}

TEST_F(MessageBoxTest, WidthIsTheLongestLinePlus110) {
  const std::wstring longest(30, L'宽');
  const std::wstring text = L"短行\n" + longest + L"\n中等长度的一行";
  // The longest line as the msgtext style draws it.
  const UiStyle* style = UiStyle::GetStyle("msgtext");
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, style->font);
  RECT rc{0, 0, 1000, 1000};
  ::DrawTextW(dc, longest.c_str(), -1, &rc, style->textmode | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  ASSERT_GT(rc.right + 110, 320) << "the line must be wider than the minimum";
  int result = Run([&] { return UiMessageBox(text.c_str(), L"提示", MB_OK); },
                   {[&](CUiMsgBox& box) {
                      RECT w = WindowRect(box);
                      EXPECT_EQ(rc.right + 110, w.right - w.left);
                      return true;
                    },
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
}

TEST_F(MessageBoxTest, LongLinesWrapAndStackWithoutOverlap) {
  std::wstring odbc;
  for (int i = 0; i < 40; ++i) odbc += L"[Microsoft][ODBC SQL Server Driver] 连接失败 ";
  std::wstring text = L"错误信息：" + odbc + L"\r\n下一行";
  int result = Run([&] { return UiMessageBox(text.c_str(), L"错误", MB_OK | MB_ICONHAND); },
                   {[](CUiMsgBox& box) {
                      RECT rc = WindowRect(box);
                      EXPECT_LE(rc.right - rc.left, CUiMsgBox2::kWrapWidth + 110);
                      CUiWindow* first = box.FindChildByCmdID(CUiMsgBox::kItemFirstLine);
                      CUiWindow* second = box.FindChildByCmdID(CUiMsgBox::kItemFirstLine + 1);
                      EXPECT_TRUE(first && second);
                      if (!first || !second) return true;
                      RECT a = first->GetRect(), b = second->GetRect();
                      EXPECT_GT(a.bottom - a.top, 5 * 18) << "the long line wraps over many rows";
                      EXPECT_EQ(a.bottom, b.top) << "the next line starts below it";
                      EXPECT_EQ(18, b.bottom - b.top);
                      // Every line lies inside the box, above the buttons.
                      POINT corner{b.left, b.bottom};
                      ::ClientToScreen(box.GetViewHWnd(), &corner);
                      EXPECT_LT(corner.y, rc.bottom - 40);
                      EXPECT_EQ(b.bottom - a.top + 120, rc.bottom - rc.top);
                      return true;
                    },
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
}

TEST_F(MessageBoxTest, LongCaptionWidensTheBox) {
  std::wstring caption(40, L'题');
  int result = Run([&] { return UiMessageBox(L"短", caption.c_str(), MB_OK); },
                   {[&](CUiMsgBox& box) {
                      RECT rc = WindowRect(box);
                      EXPECT_GT(rc.right - rc.left, 320);
                      CUiWindow* title = box.FindChildByCmdID(CUiMsgBox::kItemCaption);
                      CUiWindow* close = box.FindChildByCmdID(kClose);
                      EXPECT_EQ(caption, title->GetInnerText());
                      EXPECT_LE(title->GetRect().right, close->GetRect().left);
                      return true;
                    },
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
}

TEST_F(MessageBoxTest, MarkupAndTokensInTheTextShowLiterally) {
  const wchar_t* text = L"a<b & c\r\n\r\n%str1%\r\n<text>x</text>&amp;\n\n]]>\n";
  const std::vector<std::wstring> want = {L"a<b & c", L"%str1%", L"<text>x</text>&amp;", L"]]>"};
  int result = Run([&] { return UiMessageBox(text, L"<b>&", MB_OK); },
                   {[&](CUiMsgBox& box) {
                      for (size_t i = 0; i < want.size(); ++i) {
                        CUiWindow* line = box.FindChildByCmdID(CUiMsgBox::kItemFirstLine + static_cast<UINT>(i));
                        EXPECT_NE(nullptr, line) << i;
                        if (line) {
                          EXPECT_EQ(want[i], line->GetInnerText()) << i;
                        }
                      }
                      EXPECT_EQ(nullptr, box.FindChildByCmdID(CUiMsgBox::kItemFirstLine + static_cast<UINT>(want.size())));
                      auto* panel = dynamic_cast<CUiPanel*>(box.FindChildByCmdID(CUiMsgBox::kItemTextPanel));
                      EXPECT_EQ(want.size(), panel ? panel->GetChildCount() : 0u);
                      EXPECT_EQ(std::wstring(L"<b>&"), box.FindChildByCmdID(CUiMsgBox::kItemCaption)->GetInnerText());
                      return true;
                    },
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
}

TEST_F(MessageBoxTest, WithoutCaptionTheHeaderShowsTheProductTitle) {
  int result = Run([] { return UiMessageBox(L"无标题", nullptr, MB_OK); },
                   {[](CUiMsgBox& box) {
                      EXPECT_EQ(std::wstring(UiString::Get(1)),
                                box.FindChildByCmdID(CUiMsgBox::kItemCaption)->GetInnerText());
                      return true;
                    },
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
}

TEST_F(MessageBoxTest, EnterEscAndCloseLeaveItOpen) {
  int result = Run([] { return UiMessageBox(L"还开着吗？", L"提示", MB_YESNO | MB_ICONQUESTION); },
                   {[](CUiMsgBox& box) {
                      ::SendMessageW(box.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
                      ::SendMessageW(box.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
                      ::SendMessageW(box.m_hWnd, WM_CLOSE, 0, 0);
                      ::PostMessageW(box.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
                      ::PostMessageW(box.m_hWnd, WM_CLOSE, 0, 0);
                      return true;
                    },
                    [](CUiMsgBox& box) {
                      EXPECT_TRUE(::IsWindowVisible(box.m_hWnd));
                      return true;
                    },
                    [](CUiMsgBox& box) {
                      EXPECT_TRUE(::IsWindowVisible(box.m_hWnd));
                      return true;
                    },
                    MsgBoxDriver::Click(IDNO)});
  EXPECT_EQ(IDNO, result);
}

TEST_F(MessageBoxTest, CheckBoxAnswerIsTheStateAtTheLastClick) {
  // Shown with an answer pointer: visible, 20 px taller, answer written back.
  BOOL answer = 7;
  int result = Run([&] { return UiMessageBox(L"一\n二\n三", L"提示", MB_OK, &answer); },
                   {[](CUiMsgBox& box) {
                      EXPECT_TRUE(box.FindChildByCmdID(CUiMsgBox::kItemCheck)->IsVisible(TRUE));
                      RECT rc = WindowRect(box);
                      EXPECT_EQ(18 * 3 + 120 + 20, rc.bottom - rc.top);
                      return true;
                    },
                    MsgBoxDriver::Click(CUiMsgBox::kItemCheck),
                    [](CUiMsgBox& box) {
                      EXPECT_TRUE(box.GetCheckAnswer());
                      return true;
                    },
                    MsgBoxDriver::Click(CUiMsgBox::kItemCheck), MsgBoxDriver::Click(CUiMsgBox::kItemCheck),
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(TRUE, answer);

  answer = 7;
  result = Run([&] { return UiMessageBox(L"不点", L"提示", MB_OK, &answer); }, {MsgBoxDriver::Click(kClose)});
  EXPECT_EQ(60001, result);
  EXPECT_EQ(FALSE, answer) << "never clicked";
}

// A dialog that opens a message box from inside its own modal run.
class OwnerDlg : public CUiDialogImpl<OwnerDlg>, public CWHRoundRectFrameHelper<OwnerDlg> {
 public:
  BEGIN_MSG_MAP_EX(OwnerDlg)
    CHAIN_MSG_MAP(CUiDialogImpl<OwnerDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<OwnerDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

  int boxResult = 0;
  BOOL enabledAfter = FALSE;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ::SetTimer(m_hWnd, 1, 20, nullptr);
    return TRUE;
  }
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
    ::KillTimer(m_hWnd, 1);
    boxResult = UiMessageBox(L"从对话框打开", L"注意", MB_OKCANCEL | MB_ICONEXCLAMATION);
    enabledAfter = ::IsWindowEnabled(m_hWnd);
    EndDialog(IDOK);
    return 0;
  }
};

TEST_F(MessageBoxTest, BoxFromAModalDialogDisablesAndReenablesItsOwner) {
  OwnerDlg dlg;
  ASSERT_TRUE(dlg.SetXml("<layer width=\"500\" height=\"400\"><body/></layer>"));
  HWND owner = nullptr;
  MsgBoxDriver driver({[&](CUiMsgBox& box) {
                         owner = ::GetWindow(box.m_hWnd, GW_OWNER);
                         EXPECT_EQ(dlg.m_hWnd, owner);
                         EXPECT_FALSE(::IsWindowEnabled(dlg.m_hWnd));
                         RECT b = WindowRect(box), o{};
                         ::GetWindowRect(dlg.m_hWnd, &o);
                         EXPECT_NEAR((o.left + o.right) / 2, (b.left + b.right) / 2, 1);
                         EXPECT_NEAR((o.top + o.bottom) / 2, (b.top + b.bottom) / 2, 1);
                         return true;
                       },
                       MsgBoxDriver::Click(IDCANCEL)});
  EXPECT_EQ(static_cast<UINT>(IDOK), dlg.DoModal());
  EXPECT_TRUE(driver.SawBox());
  EXPECT_FALSE(driver.UsedFailSafe());
  EXPECT_EQ(IDCANCEL, dlg.boxResult);
  EXPECT_TRUE(dlg.enabledAfter);
  EXPECT_NE(nullptr, owner);
}

TEST_F(MessageBoxTest, WithoutOwnerTheBoxIsCentredOnThePrimaryWorkArea) {
  int result = Run([] { return UiMessageBox(L"居中", L"提示", MB_OK, nullptr, nullptr); },
                   {[](CUiMsgBox& box) {
                      if (::GetWindow(box.m_hWnd, GW_OWNER)) return true;  // another window was active
                      MONITORINFO mi{};
                      mi.cbSize = sizeof mi;
                      ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi);
                      RECT b = WindowRect(box);
                      EXPECT_NEAR((mi.rcWork.left + mi.rcWork.right) / 2, (b.left + b.right) / 2, 1);
                      EXPECT_NEAR((mi.rcWork.top + mi.rcWork.bottom) / 2, (b.top + b.bottom) / 2, 1);
                      return true;
                    },
                    MsgBoxDriver::Click(IDOK)});
  EXPECT_EQ(IDOK, result);
}

TEST_F(MessageBoxTest, PlainBoxShowsItsTextInOneElement) {
  int result = Run([] { return UiMessageBoxPlain(L"a<b\n&c", L"注意", MB_OKCANCEL | MB_ICONEXCLAMATION); },
                   {[](CUiMsgBox& box) {
                      CUiWindow* text = box.FindChildByCmdID(CUiMsgBox::kItemText);
                      EXPECT_TRUE(text->IsVisible(TRUE));
                      EXPECT_EQ(std::wstring(L"a<b\n&c"), text->GetInnerText());
                      EXPECT_FALSE(box.FindChildByCmdID(CUiMsgBox::kItemTextPanel)->IsVisible(FALSE));
                      EXPECT_FALSE(box.IsPanelMode());
                      ExpectButtons(box, {{L"确定", IDOK}, {L"取消", IDCANCEL}});
                      return true;
                    },
                    MsgBoxDriver::Click(IDCANCEL)});
  EXPECT_EQ(IDCANCEL, result);
}

TEST_F(MessageBoxTest, BoxesThatCannotBeShownReturnMinusOne) {
  MsgBoxDriver driver({MsgBoxDriver::Click(kClose)}, 300);
  // text of line breaks only
  EXPECT_EQ(-1, UiMessageBox(L"\r\n\n\r\n", L"提示", MB_OK));
  EXPECT_EQ(-1, UiMessageBox(L"\n", nullptr, MB_OK));
  // the panel entry without a text area
  CUiMsgBox box;
  EXPECT_EQ(-1, box.ShowPanelMsg(L"<text>x</text>", nullptr, L"提示", MB_OK, nullptr, nullptr));
  CUiMsgBox2 box2;
  EXPECT_EQ(-1, box2.ShowPanelMsg(L"<text>x</text>", nullptr, L"提示", MB_OK, nullptr, nullptr));
  EXPECT_FALSE(driver.SawBox());
}

TEST_F(MessageBoxTest, HeaderIconResourceLoads) {
  HICON icon = static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), IMAGE_ICON, 16, 16, 0));
  EXPECT_NE(nullptr, icon);
  if (icon) ::DestroyIcon(icon);
}

}  // namespace
