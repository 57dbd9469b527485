#pragma once
// The page "漏洞修复" of the reinforcement area (layout 554): a static screen. The patch
// grid 316 shows one fixed patch under a group row, the target edit 322 takes any text,
// the image button 323 opens the target picker (whose choice is not kept), and
// "漏洞扫描" (320) and "立即修复" (321) do nothing. Nothing is read or written.
#include <windows.h>

#include "controls/CEditEx.h"
#include "controls/CListCtrlDataEx.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSRBugFixesUIHandler {
 public:
  enum : UINT {
    kGrid = 316,
    kGridScrollSkin = 317,  // the skinned scroll bars take 317 to 319
    kScan = 320,
    kFixNow = 321,
    kTarget = 322,
    kChooseTarget = 323,
  };
  // Tag of the group row.
  enum : DWORD { kGroupTag = 1 };

  explicit CSRBugFixesUIHandler(CUiDialogHost* owner);
  ~CSRBugFixesUIHandler();
  CSRBugFixesUIHandler(const CSRBugFixesUIHandler&) = delete;
  CSRBugFixesUIHandler& operator=(const CSRBugFixesUIHandler&) = delete;

  // Makes the grid with its two rows and the target edit; always 0.
  int Init();

  const CListCtrlDataEx<unsigned long>& GetGrid() const { return m_grid; }
  HWND GetTargetEdit() const { return m_target.m_hWnd; }

  BEGIN_MSG_MAP_EX(CSRBugFixesUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
  END_MSG_MAP()

  void OnScan() {}
  void OnFixNow() {}
  // Runs the target picker; the edit keeps its text whatever is chosen.
  void OnChooseTarget();
  void OnGridResized(const RECT& rect);

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CUiDialogHost* m_owner;
  CListCtrlDataEx<unsigned long> m_grid;
  CEditEx m_target;
};
