#pragma once
// Page handler of the safe-tools area ("安全工具", layout 511): a read-only catalogue
// of ten entries, a button per entry on the left and the chosen entry's title and
// description on the right. The entries' texts are the string table's 1028 to 1037
// (titles) and 1041 to 1050 (descriptions). Built for users with the safe-tools
// permission; the main layout has no header button that opens it.
#include <windows.h>

#include <string>

#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSafetoolUIHandler {
 public:
  enum : UINT {
    kFirstButton = 221,
    kLastButton = 230,
    kTitle = 234,
    kDescription = 342,
    kFirstTitleString = 1028,
    kFirstDescriptionString = 1041,
    kDescriptionScrollSkin = 2342,
  };

  explicit CSafetoolUIHandler(CUiDialogHost* owner);
  ~CSafetoolUIHandler();
  CSafetoolUIHandler(const CSafetoolUIHandler&) = delete;
  CSafetoolUIHandler& operator=(const CSafetoolUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CSafetoolUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
  END_MSG_MAP()

  // The buttons 221 to 230: entry 0 to 9.
  void OnTool0() { OnTool(0); }
  void OnTool1() { OnTool(1); }
  void OnTool2() { OnTool(2); }
  void OnTool3() { OnTool(3); }
  void OnTool4() { OnTool(4); }
  void OnTool5() { OnTool(5); }
  void OnTool6() { OnTool(6); }
  void OnTool7() { OnTool(7); }
  void OnTool8() { OnTool(8); }
  void OnTool9() { OnTool(9); }
  // Shows entry 0 to 9.
  void OnTool(int entry);
  int CurrentEntry() const { return m_current; }
  HWND DescriptionPane() const { return m_description; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CUiDialogHost* m_owner;
  int m_current = 0;
  HWND m_description = nullptr;  // a child of the main window's view, gone with it
  std::wstring m_text;
};
