#pragma once
// A stand-in for a dialog and its host view in element tests: a hidden top-level
// window holding a child "view" (control id 1000) that elements use as their
// container window. Both record the WM_NOTIFY records they receive; hosted
// controls are plain child windows of the view.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct UINMTABSELCHANGE;

class ElementHost {
 public:
  struct Notice {
    HWND to;              // the view or the dialog
    UINT code;            // NMHDR code
    WPARAM wParam;        // of the WM_NOTIFY
    UINT_PTR idFrom;
    HWND hwndFrom;
    UINT item;            // uItemID / uTabID / idFrom for invalidations
    RECT rc;              // rcWnd / invalidated rectangle
    DWORD huiWnd;         // element of an invalidation
    UINT tabNew, tabOld;  // tab selection change
    std::string itemClass;
  };

  ElementHost();
  ~ElementHost();
  ElementHost(const ElementHost&) = delete;
  ElementHost& operator=(const ElementHost&) = delete;

  HWND Dialog() const { return dialog_; }
  HWND View() const { return view_; }
  // A child window of the view with that control id.
  HWND AddControl(int id, bool visible);

  std::vector<Notice> Notices(UINT code) const;
  void Clear() { notices_.clear(); }

  // Called for UINM_TAB_SELCHANGE at the view; may set bCancel.
  std::function<void(UINMTABSELCHANGE*)> onTabChange;
  // Called for every WM_NOTIFY at the dialog after it is recorded.
  std::function<void(const NMHDR*)> onDialogNotify;

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND dialog_ = nullptr;
  HWND view_ = nullptr;
  std::vector<Notice> notices_;
};
