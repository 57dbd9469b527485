// Objects that go before their windows or elements, dialog commands from hosted controls,
// the modal owner, and pictures that cannot be decoded.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/CWindowImpl.h"
#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CUiLine.h"
#include "uiwin/UiPngPool.h"

namespace {

template <int N>  // each N its own anonymous window class
struct Probe : CWindowImpl<Probe<N>> {
  BEGIN_MSG_MAP(Probe)
    MESSAGE_HANDLER(WM_USER, OnUser)
  END_MSG_MAP()
  LRESULT OnUser(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam) delete this;
    return 7;
  }
};

template <int... N>
int OpenEach(std::integer_sequence<int, N...>) {
  auto open = [](auto&& p) { return p.Create(nullptr) && p.DestroyWindow(); };
  return (0 + ... + int(open(Probe<N>())));
}

struct Dlg : CUiDialogImpl<Dlg> {
  BEGIN_MSG_MAP_EX(Dlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnItem)
    CHAIN_MSG_MAP(CUiDialogImpl<Dlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
  END_MSG_MAP()
  LRESULT OnItem(int, LPNMHDR nm, BOOL&) { return items.push_back(reinterpret_cast<UINMCOMMAND*>(nm)->uItemID), 0; }
  LRESULT OnInit(UINT, WPARAM, LPARAM, BOOL&) { return probeEnabled = ::IsWindowEnabled(probe), EndDialog(1); }
  std::vector<UINT> items;
  HWND probe = nullptr;
  BOOL probeEnabled = TRUE;
};

struct Doomed : CUiLine {  // deletes itself in its first handler
  ~Doomed() override { SetMsgHandled(FALSE); }  // what the freed flag may well read
  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_USER, OnGo)
    UI_MESSAGE_HANDLER(WM_USER, OnAfter)
  UI_END_MSG_MAP()
  LRESULT OnGo(UINT, WPARAM, LPARAM) {
    delete this;
    return 5;
  }
  LRESULT OnAfter(UINT, WPARAM, LPARAM) {
    ADD_FAILURE() << "ran on a deleted element";
    return 0;
  }
};

HWND Wnd(const wchar_t* cls, DWORD style, HWND parent = nullptr, int id = 0) {
  return ::CreateWindowExW(0, cls, L"", style, 0, 0, 60, 20, parent, reinterpret_cast<HMENU>(id), nullptr, nullptr);
}

}  // namespace

TEST(Lifetime, ObjectGoneBeforeItsWindowIsReportedAndLetGo) {
  for (int row = 0; row < 4; ++row) {  // own class or subclassed edit; deleted outside or in a handler
    SCOPED_TRACE(row);
    DebugReportCapture reports;
    auto* p = new Probe<0>;
    HWND h = row < 2 ? p->Create(nullptr) : Wnd(L"EDIT", WS_POPUP);
    if (row >= 2) EXPECT_TRUE(p->SubclassWindow(h));
    if (row % 2) {
      EXPECT_EQ(7, ::SendMessageW(h, WM_USER, 1, 0));
    } else {
      delete p;
    }
    EXPECT_EQ(1u, reports.Reports().size());
    wchar_t text[8] = {};
    EXPECT_TRUE(::SetWindowTextW(h, L"abc") && ::GetWindowTextW(h, text, 8) == 3 && ::DestroyWindow(h));
  }
  EXPECT_EQ(70, OpenEach(std::make_integer_sequence<int, 70>()));
}

TEST(Lifetime, OnlyClicksOfItemsOneAndTwoEndTheDialogAndTheOwnersTopLevelIsDisabled) {
  HWND top = Wnd(L"STATIC", WS_POPUP), child = Wnd(L"STATIC", WS_CHILD, top);
  Dlg d;
  d.probe = top;
  ASSERT_TRUE(d.SetXml("<layer width=\"80\" height=\"40\"><body/></layer>"));
  EXPECT_EQ(1u, d.DoModal(child));
  EXPECT_TRUE(!d.probeEnabled && ::IsWindowEnabled(top) && ::IsWindowEnabled(child));
  ASSERT_TRUE(d.Create(top));
  for (int id : {1, 2}) {  // the edit tells of a change, the button of a click
    for (HWND c : {Wnd(L"EDIT", WS_CHILD, d.GetViewHWnd(), id), Wnd(L"BUTTON", WS_CHILD, d.GetViewHWnd(), id)}) {
      ::SetWindowTextW(c, L"z");
      ::SendMessageW(c, BM_CLICK, 0, 0);
    }
  }
  EXPECT_EQ((std::vector<UINT>{1, 2}), d.items);
  ::DestroyWindow(top);
}

TEST(Lifetime, HandlerMayDeleteItsElementAndUndecodablePngIsNotKept) {
  auto* doomed = new Doomed;
  const HUIWND h = doomed->GetHandle();
  EXPECT_EQ(5, doomed->UiSendMessage(WM_USER));
  EXPECT_EQ(nullptr, UiWnds::GetWindow(h));
  testenv::TempDir dir;
  UiResUtil::SetResourceDirectory(dir.Path().c_str());
  std::string good;
  ASSERT_TRUE(UiResUtil::LoadPeResource(50, good, L"png") && testfiles::WriteBytes(dir.File(L"9301.png"), "\x89PNG?"));
  EXPECT_EQ(nullptr, UiPngPool::Get(9301));
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"9301.png"), good));
  EXPECT_NE(nullptr, UiPngPool::Get(9301));
  UiResUtil::SetResourceDirectory(L"");
}
