#pragma once
// The element-access half of a host view: the item operations that dialogs and page
// handlers call by an element's command id. T supplies the three roots (GetRoot),
// the repaint requests (InvalidateItem) and the window handle.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/TextConv.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiPanel.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/CUiWindow.h"

class TiXmlElement;

template <class T>
class CUiViewImpl {
 public:
  // Header, then body, then footer; the first element found (shown, with bShownOnly) wins.
  CUiWindow* FindChildByCmdID(UINT nCmdID, BOOL bShownOnly = FALSE) {
    T* self = static_cast<T*>(this);
    for (int i = 0; i < 3; ++i) {
      CUiWindow* found = self->GetRoot(i).FindChildByCmdID(nCmdID, bShownOnly);
      if (found) return found;
    }
    return nullptr;
  }
  // What a click on the id reaches: of one id on several panels the shown one, else the
  // first (which the caller finds hidden).
  CUiWindow* FindClickableByCmdID(UINT nCmdID) {
    CUiWindow* shown = FindChildByCmdID(nCmdID, TRUE);
    return shown ? shown : FindChildByCmdID(nCmdID);
  }

  BOOL SetItemText(UINT nCmdID, LPCWSTR pszText) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    if (!item) return FALSE;
    item->TestMainThread();
    T* self = static_cast<T*>(this);
    self->InvalidateItem(item, TRUE);
    item->SetInnerText(qv::OrEmpty(pszText));
    self->InvalidateItem(item, TRUE);
    return TRUE;
  }

  // The attribute is applied as at run time; an attribute the element rejects still
  // answers TRUE. A link target is taken from layouts only: callers cannot point an
  // element at something to open.
  BOOL SetItemAttribute(UINT nCmdID, LPCSTR pszName, LPCSTR pszValue) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    if (!item || !pszName) return FALSE;
    item->TestMainThread();
    T* self = static_cast<T*>(this);
    self->InvalidateItem(item, TRUE);
    if (std::strcmp(pszName, "href") != 0) item->SetAttribute(pszName, pszValue ? pszValue : "", FALSE);
    self->InvalidateItem(item, TRUE);
    return TRUE;
  }

  BOOL SetItemIntAttribute(UINT nCmdID, LPCSTR pszName, UINT nValue) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", nValue);
    return SetItemAttribute(nCmdID, pszName, text);
  }

  BOOL EnableItem(UINT nCmdID, BOOL bEnable) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    if (!item) return FALSE;
    item->TestMainThread();
    if (bEnable)
      item->ModifyState(0, UiWndState_Disable);
    else
      item->ModifyState(UiWndState_Disable, UiWndState_Hover);
    static_cast<T*>(this)->InvalidateItem(item, TRUE);
    return TRUE;
  }

  BOOL IsItemEnabled(UINT nCmdID, BOOL bCheckParent) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    return item && !item->IsDisabled(bCheckParent);
  }

  // Repaints the area whether or not the element is visible afterwards.
  BOOL SetItemVisible(UINT nCmdID, BOOL bShow) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    if (!item) return FALSE;
    HUIWND handle = item->GetHandle();
    item->UiSendMessage(WM_SHOWWINDOW, bShow ? TRUE : FALSE, 0);
    item = UiWnds::GetWindow(handle);
    if (item) static_cast<T*>(this)->InvalidateItem(item, FALSE);
    return TRUE;
  }

  // No radio-group handling: the other radios keep their state.
  BOOL SetItemCheck(UINT nCmdID, BOOL bCheck) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    if (!item) return FALSE;
    item->TestMainThread();
    if (bCheck)
      item->ModifyState(UiWndState_Check, 0);
    else
      item->ModifyState(0, UiWndState_Check);
    static_cast<T*>(this)->InvalidateItem(item, TRUE);
    return TRUE;
  }

  BOOL GetItemCheck(UINT nCmdID) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    return item && item->IsChecked();
  }

  BOOL SetTabCurSel(UINT nCmdID, int nIndex) {
    CUiWindow* item = FindChildByCmdID(nCmdID);
    CUiTabCtrl* tabs = item ? item->AsTabCtrl() : nullptr;
    return tabs ? tabs->SetCurSel(nIndex) : FALSE;
  }

  // Replaces the children of a container element by the top-level elements of an
  // XML fragment (UTF-8). Text from outside the program belongs in the fragment only
  // through UiXmlText::Escape.
  BOOL SetPanelXml(UINT nCmdID, LPCSTR pszXml) {
    return static_cast<T*>(this)->ReplacePanelChildren(nCmdID, pszXml);
  }
};
