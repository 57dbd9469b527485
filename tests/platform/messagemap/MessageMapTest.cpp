#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CEdit.h"
#include "platform/CWindowImpl.h"
#include "support/StrangerMessage.h"

namespace {

constexpr UINT kFirst = WM_USER + 1;
constexpr UINT kSecond = WM_USER + 2;
constexpr UINT kOuter = WM_USER + 5;
constexpr UINT kInner = WM_USER + 6;
constexpr UINT kDestroyInside = WM_USER + 7;

std::vector<std::string> g_log;

// A plain handler class, chained like the console's page handlers.
class PageHandler {
 public:
  BEGIN_MSG_MAP(PageHandler)
    MESSAGE_HANDLER(kFirst, OnFirst)
    MESSAGE_HANDLER(kSecond, OnSecond)
  ALT_MSG_MAP(1)
    MESSAGE_HANDLER(kFirst, OnAltFirst)
  END_MSG_MAP()

  LRESULT OnFirst(UINT, WPARAM, LPARAM, BOOL&) {
    g_log.push_back("page.first");
    return 11;
  }
  LRESULT OnSecond(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    g_log.push_back("page.second");
    bHandled = wParam != 0;
    return 22;
  }
  LRESULT OnAltFirst(UINT, WPARAM, LPARAM, BOOL&) {
    g_log.push_back("page.alt");
    return 33;
  }
};

class TestWindow : public CWindowImpl<TestWindow> {
 public:
  DECLARE_WND_CLASS(L"QvTestWindow")

  BEGIN_MSG_MAP_EX(TestWindow)
    if (firstMessage == 0) {
      firstMessage = uMsg;
      handleSetAtFirst = (m_hWnd == hWnd);
    }
    MESSAGE_HANDLER(kFirst, OnFirstPassOn)
    MESSAGE_HANDLER(kOuter, OnOuter)
    MESSAGE_HANDLER(kInner, OnInner)
    MESSAGE_HANDLER(kDestroyInside, OnDestroyInside)
    REFLECT_NOTIFICATIONS()
    CHAIN_MSG_MAP_MEMBER(page)
    CHAIN_MSG_MAP_ALT_MEMBER(page, 1)
  END_MSG_MAP()

  LRESULT OnFirstPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    g_log.push_back("window.first");
    bHandled = FALSE;
    return 99;
  }
  LRESULT OnOuter(UINT, WPARAM, LPARAM, BOOL&) {
    g_log.push_back("outer.begin");
    SendMessage(kInner);
    g_log.push_back(IsMsgHandled() ? "outer.handled" : "outer.lost");
    return 5;
  }
  LRESULT OnInner(UINT, WPARAM, LPARAM, BOOL&) {
    g_log.push_back("inner");
    SetMsgHandled(FALSE);
    return 0;
  }
  LRESULT OnDestroyInside(UINT, WPARAM, LPARAM, BOOL&) {
    DestroyWindow();
    g_log.push_back(finalCount == 0 ? "final.deferred" : "final.early");
    return 0;
  }
  void OnFinalMessage(HWND) override {
    ++finalCount;
    g_log.push_back("final");
  }

  PageHandler page;
  UINT firstMessage = 0;
  bool handleSetAtFirst = false;
  int finalCount = 0;
};

// Superclassed EDIT answering reflected notifications, as the console's edit boxes.
class ReflectingEdit : public CWindowImpl<ReflectingEdit, CEdit> {
 public:
  DECLARE_WND_SUPERCLASS(L"QvTestReflectingEdit", CEdit::GetWndClassName())

  BEGIN_MSG_MAP(ReflectingEdit)
    MESSAGE_HANDLER(OCM_DRAWITEM, OnReflected)
    MESSAGE_HANDLER(OCM_NOTIFY, OnReflected)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  LRESULT OnReflected(UINT uMsg, WPARAM, LPARAM lParam, BOOL&) {
    reflected.push_back(uMsg);
    if (uMsg == OCM_NOTIFY) lastCode = reinterpret_cast<LPNMHDR>(lParam)->code;
    return 1;
  }
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    chars += static_cast<wchar_t>(wParam);
    bHandled = FALSE;  // the edit control still inserts it
    return 0;
  }

  std::vector<UINT> reflected;
  UINT lastCode = 0;
  std::wstring chars;
};

class MessageMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    ASSERT_NE(nullptr, window.Create(nullptr, RECT{0, 0, 300, 200}, L"test", WS_OVERLAPPEDWINDOW));
  }
  void TearDown() override {
    if (window.IsWindow()) window.DestroyWindow();
  }
  TestWindow window;
};

TEST_F(MessageMapTest, AttachedOnTheFirstMessageChainedAndAlternateMapsRunUntilOneKeepsTheFlag) {
  EXPECT_EQ(static_cast<UINT>(WM_GETMINMAXINFO), window.firstMessage);
  EXPECT_TRUE(window.handleSetAtFirst);
  EXPECT_EQ(&window, CWindowImplCore::FromHandle(window));
  EXPECT_EQ(0, ::GetWindowLongPtrW(window, GWLP_USERDATA));  // never kept in the user data
  EXPECT_EQ(11, window.SendMessage(kFirst));
  EXPECT_EQ((std::vector<std::string>{"window.first", "page.first"}), g_log);

  g_log.clear();
  EXPECT_EQ(22, window.SendMessage(kSecond, 1));
  EXPECT_EQ((std::vector<std::string>{"page.second"}), g_log);

  // A handler that clears the flag passes the message on: to the default procedure here.
  g_log.clear();
  EXPECT_EQ(0, window.SendMessage(kSecond, 0));
  EXPECT_EQ((std::vector<std::string>{"page.second"}), g_log);

  // An alternate map answers only its own entries; an unknown map id nothing.
  g_log.clear();
  LRESULT result = 0;
  EXPECT_TRUE(window.page.ProcessWindowMessage(nullptr, kFirst, 0, 0, result, 1));
  EXPECT_EQ(33, result);
  EXPECT_FALSE(window.page.ProcessWindowMessage(nullptr, kSecond, 1, 0, result, 1));
  EXPECT_FALSE(window.page.ProcessWindowMessage(nullptr, kFirst, 0, 0, result, 7));
  EXPECT_EQ((std::vector<std::string>{"page.alt"}), g_log);
}

TEST_F(MessageMapTest, HandledFlagIsSavedAroundNestedMessagesAndTheFinalMessageWaits) {
  EXPECT_EQ(5, window.SendMessage(kOuter));
  window.SendMessage(kDestroyInside);
  EXPECT_EQ((std::vector<std::string>{"outer.begin", "inner", "outer.handled", "final.deferred",
                                      "final"}), g_log);
  EXPECT_EQ(1, window.finalCount);
  EXPECT_EQ(nullptr, window.m_hWnd);
}

TEST_F(MessageMapTest, SuperclassedEditGetsItsOwnMessagesAndReflections) {
  ReflectingEdit edit;
  ASSERT_NE(nullptr, edit.Create(window, RECT{10, 10, 200, 40}, L"", WS_CHILD | WS_VISIBLE, 0, 42));
  wchar_t cls[64] = {};
  ::GetClassNameW(edit, cls, 64);
  EXPECT_STREQ(L"QvTestReflectingEdit", cls);

  edit.SendMessage(WM_CHAR, L'中');
  edit.SendMessage(WM_CHAR, L'a');
  EXPECT_EQ(L"中a", edit.chars);
  EXPECT_EQ(L"中a", edit.GetWindowText());  // the EDIT procedure still did its work

  // Reflected to the control (colour and custom-draw requests the same way, through
  // the dialog view's tests).
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = 42;
  dis.hwndItem = edit;
  EXPECT_EQ(1, window.SendMessage(WM_DRAWITEM, 42, reinterpret_cast<LPARAM>(&dis)));
  NMHDR nm{edit, 42, static_cast<UINT>(NM_CUSTOMDRAW)};
  EXPECT_EQ(1, window.SendMessage(WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&nm)));
  EXPECT_EQ((std::vector<UINT>{OCM_DRAWITEM, OCM_NOTIFY}), edit.reflected);
  EXPECT_EQ(static_cast<UINT>(NM_CUSTOMDRAW), edit.lastCode);

  edit.DestroyWindow();

  // A notification without a child window is not reflected anywhere.
  NMHDR orphan{nullptr, 7, 1};
  EXPECT_EQ(0, window.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&orphan)));
}

// A reflected message carries the record of the control's parent: one that a stranger
// made, with a record anywhere, reaches none of the control's handlers.
TEST_F(MessageMapTest, ReflectedMessagesOfStrangersAreNotHeard) {
  ReflectingEdit edit;
  ASSERT_NE(nullptr, edit.Create(window, RECT{10, 10, 200, 40}, L"", WS_CHILD | WS_VISIBLE, 0, 42));
  NMHDR record{edit, 42, static_cast<UINT>(NM_CUSTOMDRAW)};
  const LPARAM ours = reinterpret_cast<LPARAM>(&record);
  const struct { UINT message; stranger::How how; LPARAM to; } cases[] = {
      {OCM_NOTIFY, stranger::kPosted, 0x10},     {OCM_NOTIFY, stranger::kPosted, ours},
      {OCM_NOTIFY, stranger::kSent, 0x10},       {OCM_DRAWITEM, stranger::kPosted, 0x10},
      {OCM_NOTIFY, stranger::kPostedHere, ours}, {OCM_NOTIFY, stranger::kSentHere, ours},
  };
  for (const auto& c : cases) {
    stranger::Deliver(c.how, edit, c.message, 42, c.to);
    EXPECT_TRUE(edit.reflected.empty()) << c.message << " " << stranger::Name(c.how) << " " << c.to;
    edit.reflected.clear();
  }
  // The parent's own reflection still comes through, and the control still answers.
  EXPECT_EQ(1, window.SendMessage(WM_NOTIFY, 42, ours));
  EXPECT_EQ((std::vector<UINT>{OCM_NOTIFY}), edit.reflected);
  edit.SendMessage(WM_CHAR, L'z');
  EXPECT_EQ(L"z", edit.GetWindowText());
  edit.DestroyWindow();
}

TEST_F(MessageMapTest, SubclassingAnExistingControlAndUndoingIt) {
  HWND raw = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, window, nullptr, nullptr,
                               nullptr);
  ReflectingEdit edit;
  WNDPROC before = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(raw, GWLP_WNDPROC));
  ASSERT_TRUE(edit.SubclassWindow(raw));
  EXPECT_FALSE(edit.SubclassWindow(raw));  // once only
  edit.SendMessage(WM_CHAR, L'x');
  EXPECT_EQ(L"x", edit.chars);
  EXPECT_EQ(raw, edit.UnsubclassWindow());
  EXPECT_EQ(before, reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(raw, GWLP_WNDPROC)));
  ::SendMessageW(raw, WM_CHAR, L'y', 0);
  EXPECT_EQ(L"x", edit.chars);
  ::DestroyWindow(raw);
}


}  // namespace
