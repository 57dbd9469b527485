#include "reinforce/CSRBugFixesUIHandler.h"

#include <algorithm>

#include "controls/CUIResource.h"
#include "reinforce/target.h"
#include "uiwin/CUiDialogHost.h"

namespace {

// Width of the three columns after the description.
const int kFixedColumnsWidth = 300;

}  // namespace

CSRBugFixesUIHandler::CSRBugFixesUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollSkin, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9) {}

CSRBugFixesUIHandler::~CSRBugFixesUIHandler() = default;

int CSRBugFixesUIHandler::Init() {
  HWND view = m_owner->GetViewHWnd();
  m_grid.Create(view, nullptr, nullptr, 0, 0, kGrid);
  m_grid.AddColumn(L"漏洞描述", 360, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"补丁编号", 100, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"补丁大小", 100, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_RIGHT);
  m_grid.AddColumn(L"发布日期", 100, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_RIGHT);

  const int group = m_grid.AddItem(L"重要安全补丁", -1, ITEM_FORMAT_GROUP, ITEM_FLAGS_LEFT);
  const int patch = m_grid.AddItem(L"Windows更新程序");
  m_grid.SetItemText(patch, 1, L"KB972187");
  m_grid.SetItemText(patch, 2, L"512.78KB");
  m_grid.SetItemText(patch, 3, L"2009-10-12");
  m_grid.AddItemTag(group, kGroupTag);

  m_target.Create(view, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                  0, kTarget);
  return 0;
}

LRESULT CSRBugFixesUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (const UINMREALWNDRESIZED* resized = RealWndResizedOf(pnmh, kGrid)) {
    OnGridResized(resized->rcWnd);
    return 0;
  }
  switch (CommandItemOf(pnmh)) {
    case kScan:
      OnScan();
      return 0;
    case kFixNow:
      OnFixNow();
      return 0;
    case kChooseTarget:
      OnChooseTarget();
      return 0;
    default:
      bHandled = FALSE;
      return 0;
  }
}

void CSRBugFixesUIHandler::OnChooseTarget() {
  target picker;
  picker.DoModal(m_owner->GetHWnd());
}

void CSRBugFixesUIHandler::OnGridResized(const RECT& rect) {
  m_grid.SetColumnWidth(0, std::max(0, static_cast<int>(rect.right - rect.left) - kFixedColumnsWidth));
}
