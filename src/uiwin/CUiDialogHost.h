#pragma once
// What a page needs of the window whose layout it fills: the layout's items by command
// id, the window's handle, and its end. Every dialog of the template is one, so a page
// that is owned by a window knows it only through this, and no area needs the class of
// the main window that owns it.
#include <windows.h>

class CUiWindow;

class CUiDialogHost {
 public:
  virtual HWND GetHWnd() const = 0;
  virtual BOOL IsWindow() const = 0;
  virtual HWND GetViewHWnd() const = 0;
  virtual CUiWindow* FindChildByCmdID(UINT nCmdID) = 0;
  virtual BOOL SetItemText(UINT nCmdID, LPCWSTR pszText) = 0;
  virtual BOOL EnableItem(UINT nCmdID, BOOL bEnable) = 0;
  virtual BOOL SetItemCheck(UINT nCmdID, BOOL bCheck) = 0;
  virtual BOOL GetItemCheck(UINT nCmdID) = 0;
  virtual BOOL SetTabCurSel(UINT nCmdID, int nIndex) = 0;
  virtual BOOL EndDialog(UINT nCode) = 0;
  virtual BOOL DestroyWindow() = 0;

 protected:
  ~CUiDialogHost() = default;
};
