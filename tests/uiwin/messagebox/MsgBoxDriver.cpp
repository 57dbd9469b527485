#include "MsgBoxDriver.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/CWindowImplCore.h"
#include "uiwin/CUiWindow.h"

namespace {
std::map<UINT_PTR, MsgBoxDriver*>& Drivers() {
  static std::map<UINT_PTR, MsgBoxDriver*> drivers;
  return drivers;
}

BOOL CALLBACK FindBoxProc(HWND wnd, LPARAM param) {
  auto* core = CWindowImplCore::FromHandle(wnd);
  auto* box = core ? dynamic_cast<CUiMsgBox*>(core) : nullptr;
  if (box && ::IsWindowVisible(wnd)) {
    *reinterpret_cast<CUiMsgBox**>(param) = box;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

MsgBoxDriver::MsgBoxDriver(std::vector<Step> steps, DWORD limitMs)
    : steps_(std::move(steps)), start_(::GetTickCount()), limitMs_(limitMs) {
  timer_ = ::SetTimer(nullptr, 0, 15, &MsgBoxDriver::OnTimer);
  Drivers()[timer_] = this;
}

MsgBoxDriver::~MsgBoxDriver() {
  ::KillTimer(nullptr, timer_);
  Drivers().erase(timer_);
}

CUiMsgBox* MsgBoxDriver::FindBox() {
  CUiMsgBox* box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindBoxProc, reinterpret_cast<LPARAM>(&box));
  return box;
}

bool MsgBoxDriver::ClickItem(CUiMsgBox& box, UINT id) {
  CUiWindow* item = box.FindChildByCmdID(id);
  if (!item) return false;
  RECT rc = item->GetRect();
  if (::IsRectEmpty(&rc)) return false;  // a press beside it could drag the window
  LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  HWND view = box.GetViewHWnd();
  ::PostMessageW(view, WM_MOUSEMOVE, 0, pt);
  ::PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, pt);
  ::PostMessageW(view, WM_LBUTTONUP, 0, pt);
  return true;
}

MsgBoxDriver::Step MsgBoxDriver::Click(UINT id) {
  return [id](CUiMsgBox& box) {
    EXPECT_TRUE(ClickItem(box, id)) << "no element " << id << " to click";
    return true;
  };
}

void CALLBACK MsgBoxDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Drivers().find(id);
  if (it != Drivers().end()) it->second->Tick();
}

void MsgBoxDriver::Tick() {
  CUiMsgBox* box = FindBox();
  if (!box) return;
  sawBox_ = true;
  if (::GetTickCount() - start_ > limitMs_) {
    failSafe_ = true;
    box->EndDialog(kFailSafeResult);
    return;
  }
  if (next_ < steps_.size() && steps_[next_](*box)) ++next_;
}
