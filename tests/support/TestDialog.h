#pragma once
// A dialog class as the console writes them: element notifications first, then the
// frame map, then the rounded-frame map, then its own messages. It records what
// reaches it instead of acting on it.
#include <windows.h>

#include <string>
#include <vector>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"

struct ViewEvent {
  UINT code;
  UINT item;  // the element of a command, the new page of a tab change
  std::string itemClass;
  BOOL checked;  // the item's check state when its command arrived
};

class TestDialog : public CUiDialogImpl<TestDialog>, public CWHRoundRectFrameHelper<TestDialog> {
 public:
  explicit TestDialog(UINT layout = 0) : CUiDialogImpl<TestDialog>(layout) {}

  BEGIN_MSG_MAP_EX(TestDialog)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnViewNotify)
    CHAIN_MSG_MAP(CUiDialogImpl<TestDialog>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<TestDialog>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    MESSAGE_HANDLER(WM_NOTIFY, OnOtherNotify)
  END_MSG_MAP()

  LRESULT OnOtherNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
    otherNotifies.push_back({static_cast<UINT>(nm->idFrom), nm->code});
    return 0x55;
  }

  LRESULT OnViewNotify(int, LPNMHDR pnmh, BOOL& bHandled) {
    ViewEvent e{pnmh->code, 0, "", FALSE};
    if (pnmh->code == UINM_COMMAND) {
      const UINMCOMMAND* cmd = reinterpret_cast<const UINMCOMMAND*>(pnmh);
      e.item = cmd->uItemID;
      e.itemClass = cmd->szItemClass ? cmd->szItemClass : "(null)";
      e.checked = GetItemCheck(e.item);
    } else if (pnmh->code == UINM_TAB_SELCHANGE) {
      UINMTABSELCHANGE* sel = reinterpret_cast<UINMTABSELCHANGE*>(pnmh);
      e.item = sel->uTabItemIDNew;
      sel->bCancel = vetoTabChange;
    } else if (pnmh->code != UINM_MOUSEHOVER && pnmh->code != UINM_MOUSELEAVE &&
               pnmh->code != UINM_REALWND_RESIZED) {
      bHandled = FALSE;  // tooltip requests and the like
      return 0;
    }
    events.push_back(e);
    return 0;
  }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ++initCount;
    RECT client{}, view{};
    ::GetClientRect(m_hWnd, &client);
    ::GetClientRect(GetViewHWnd(), &view);
    viewCoveredAtInit = ::EqualRect(&client, &view);
    if (onInit) onInit(*this);
    return TRUE;
  }
  LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
    sysCommands.push_back(static_cast<UINT>(wParam));
    return 0;
  }
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    commands.push_back({static_cast<UINT>(wParam), static_cast<UINT>(lParam)});
    return 0;
  }

  // Commands for one element id.
  int CountCommands(UINT item) const {
    int n = 0;
    for (const ViewEvent& e : events) n += e.code == UINM_COMMAND && e.item == item;
    return n;
  }
  int CountEvents(UINT code) const {
    int n = 0;
    for (const ViewEvent& e : events) n += e.code == code;
    return n;
  }

  std::vector<ViewEvent> events;
  std::vector<UINT> sysCommands;
  std::vector<std::pair<UINT, UINT>> commands;
  std::vector<std::pair<UINT, UINT>> otherNotifies;
  void (*onInit)(TestDialog&) = nullptr;
  int initCount = 0;
  BOOL viewCoveredAtInit = FALSE;
  BOOL vetoTabChange = FALSE;
  void* context = nullptr;  // whatever a test's init callback wants to keep
};
