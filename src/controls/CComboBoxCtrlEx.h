#pragma once
// The console's drop-down list: a real owner-drawn combo box that paints its own closed
// face (a thin black frame, the cream fill, the selected text centred and a drop button
// from a three-cell bitmap: normal, hovered, pressed) and draws the items of its open
// list in the console's normal and selected colours. Pages create it with the style
// child | vertical scroll | drop-down list | owner-drawn fixed | has strings and use the
// usual combo-box calls. Its host reflects the owner-draw messages back to it. The
// pressed look lasts while the button is held, the hovered one until the mouse leaves.
#include <windows.h>

#include <string>

#include "controls/CFieldColors.h"
#include "platform/CComboBox.h"
#include "platform/CDoubleBufferImpl.h"
#include "platform/CGdiObject.h"
#include "platform/CWindowImpl.h"

class CComboBoxCtrlEx : public CWindowImpl<CComboBoxCtrlEx, CComboBox>,
                        public CDoubleBufferImpl<CComboBoxCtrlEx> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"COMBOBOX")

  static constexpr UINT kDefaultButtonBitmap = 125;
  // The style the console's pages create it with.
  static constexpr DWORD kPageStyle = 0x40200213;

  CComboBoxCtrlEx();

  // buttonBitmap 0 takes the default drop button.
  HWND Create(HWND parent, const RECT& rc, LPCWSTR name = nullptr, DWORD style = kPageStyle,
              DWORD exStyle = 0, UINT id = 0, void* param = nullptr, UINT buttonBitmap = 0);
  void SetColors(COLORREF text, COLORREF selectedText, COLORREF background,
                 COLORREF selectedBackground);

  void DoPaint(CDCHandle dc);
  void DrawItem(const DRAWITEMSTRUCT* item);
  void MeasureItem(MEASUREITEMSTRUCT* item);

  BEGIN_MSG_MAP(CComboBoxCtrlEx)
    CHAIN_MSG_MAP(CDoubleBufferImpl<CComboBoxCtrlEx>)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColorEdit)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(OCM_COMMAND, OnReflectedCommand)
    MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(OCM_MEASUREITEM, OnMeasureItem)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnCtlColorEdit(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&);

  COLORREF m_bkColor = CFieldColors::kBackground;
  COLORREF m_textColor = CFieldColors::kText;
  COLORREF m_selBkColor = RGB(0xFF, 0x8C, 0x00);
  COLORREF m_selTextColor = RGB(0xFF, 0xFF, 0xFF);
  HBITMAP m_button = nullptr;  // from the bitmap pool, shared by every combo
  CBrush m_bkBrush;
  BOOL m_pressed = FALSE;  // the button is held down
  BOOL m_hovered = FALSE;  // the mouse is over the button strip
};
