#pragma once
// Owner-draw mix-in for a control whose host reflects the owner-draw requests back to
// it: OCM_DRAWITEM, OCM_MEASUREITEM, OCM_COMPAREITEM and OCM_DELETEITEM become calls of
// T's DrawItem, MeasureItem, CompareItem and DeleteItem. T declares the ones it needs;
// the others keep the defaults below. T chains this map where it wants the requests
// answered.
#include <windows.h>

#include "platform/CWindowDCs.h"
#include "platform/MessageMap.h"

template <class T>
class COwnerDraw {
 public:
  BEGIN_MSG_MAP(COwnerDraw)
    MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(OCM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(OCM_COMPAREITEM, OnCompareItem)
    MESSAGE_HANDLER(OCM_DELETEITEM, OnDeleteItem)
  END_MSG_MAP()

  // Draws nothing.
  void DrawItem(LPDRAWITEMSTRUCT) {}
  // The text height of a device context of the item's window inside T's window; with
  // no such window, of the screen's context with its default font.
  void MeasureItem(LPMEASUREITEMSTRUCT item) {
    CClientDC dc(::GetDlgItem(static_cast<T*>(this)->m_hWnd, static_cast<int>(item->CtlID)));
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    item->itemHeight = static_cast<UINT>(tm.tmHeight);
  }
  // Every pair is equal: the control keeps its insertion order.
  int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
  void DeleteItem(LPDELETEITEMSTRUCT) {}

 private:
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    static_cast<T*>(this)->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
  }
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    static_cast<T*>(this)->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    return TRUE;
  }
  LRESULT OnCompareItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    return static_cast<T*>(this)->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
  }
  LRESULT OnDeleteItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    static_cast<T*>(this)->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
    return TRUE;
  }
};
