#pragma once
// The "realwnd" element: reserves a rectangle for a real child window of the
// host view whose control id equals the element's "id". The element keeps the
// window's place, size and visibility in step with itself and tells the view
// (UINM_REALWND_RESIZED) when it has moved; it never creates or destroys it.

#include "uiwin/CUiWindow.h"

class CUiRealWnd : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL NeedRedrawWhenStateChange() override { return FALSE; }
  CUiRealWnd* AsRealWnd() override { return this; }

  // The hosted window: the container's child with the element's id, or NULL.
  HWND GetRealHWnd() const;
  BOOL ShowRealWindow(BOOL bShow);

  // Placement notifies the dialog, whose handler may reload the layout and
  // delete this element; that message is answered without touching it again.
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowPosChanged(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnShowWindow(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam);
};
