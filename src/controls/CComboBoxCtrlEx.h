#pragma once
// The console's drop-down list: a real owner-drawn combo box that paints its own closed
// face (a thin black frame, the cream fill, the selected text centred and a drop button
// from a three-cell bitmap: normal, hovered, pressed) and draws the items of its open
// list in the console's normal and selected colours. Pages create it with the style
// child | vertical scroll | drop-down list | owner-drawn fixed | has strings and use the
// usual combo-box calls. Its host reflects the owner-draw messages back to it. The
// pressed look lasts while the button is held, the hovered one until the mouse leaves.
// Disabled, its text and button are drawn grey.
// A window that forwards the combo's notifications and list colour requests to map 1
// gets the open list's scroll bars skinned (SetScrollSkin): the list's skinned frame
// is placed below the box when it opens and hidden when it closes.
#include <windows.h>

#include <string>

#include "controls/CFieldColors.h"
#include "platform/CComboBox.h"
#include "platform/CDoubleBufferImpl.h"
#include "platform/CGdiObject.h"
#include "platform/COwnerDraw.h"
#include "platform/CWindowImpl.h"

class CComboBoxCtrlEx : public CWindowImpl<CComboBoxCtrlEx, CComboBox>,
                        public CDoubleBufferImpl<CComboBoxCtrlEx>,
                        public COwnerDraw<CComboBoxCtrlEx> {
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
  // Skin for the open list's scroll bars, put on when the list first asks its colours
  // through map 1: the list is opened and closed once here so that it asks.
  void SetScrollSkin(HBITMAP skin, UINT skinId);

  // Empties the box without a word to anyone per entry: an owner-drawn box tells its
  // owner of each entry it deletes, a trip through the maps of the box and its host
  // that made a box of a site's 4,000 devices cost the window's close a fifth of a
  // second. Called before the box goes with a long list.
  void ResetContentUnheard();

  void DoPaint(CDCHandle dc);
  void DrawItem(const DRAWITEMSTRUCT* item);

  BEGIN_MSG_MAP(CComboBoxCtrlEx)
    CHAIN_MSG_MAP(CDoubleBufferImpl<CComboBoxCtrlEx>)
    MESSAGE_HANDLER(WM_ENABLE, OnEnable)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColorEdit)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    REFLECTED_COMMAND_CODE_HANDLER(CBN_EDITUPDATE, OnEditUpdate)
    CHAIN_MSG_MAP(COwnerDraw<CComboBoxCtrlEx>)
    DEFAULT_REFLECTION_HANDLER()
  ALT_MSG_MAP(1)  // the messages of the combo that a forwarding window hands on
    MESSAGE_HANDLER(WM_CTLCOLORLISTBOX, OnCtlColorListBox)
    COMMAND_CODE_HANDLER(CBN_DROPDOWN, OnDropDown)
    COMMAND_CODE_HANDLER(CBN_CLOSEUP, OnCloseUp)
  END_MSG_MAP()

 private:
  LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    Invalidate(FALSE);  // the face changes its look
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnCtlColorEdit(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnEditUpdate(WORD, WORD, HWND, BOOL&);
  LRESULT OnCtlColorListBox(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDropDown(WORD, WORD, HWND hWndCtl, BOOL& bHandled);
  LRESULT OnCloseUp(WORD, WORD, HWND hWndCtl, BOOL& bHandled);
  // The skinned frame around this combo's open list, or null.
  HWND ListFrame() const;

  HWND m_dropList = nullptr;  // the open list, once its scroll bars are skinned
  HBITMAP m_scrollSkin = nullptr;
  COLORREF m_bkColor = CFieldColors::kBackground;
  COLORREF m_textColor = CFieldColors::kText;
  COLORREF m_selBkColor = RGB(0xFF, 0x8C, 0x00);
  COLORREF m_selTextColor = RGB(0xFF, 0xFF, 0xFF);
  HBITMAP m_button = nullptr;  // from the bitmap pool, shared by every combo
  CBrush m_bkBrush;
  int m_visibleItems = 6;  // most height of the skinned list, in dropped-rectangle heights
  UINT m_scrollSkinId = 0;
  BOOL m_pressed = FALSE;  // the button is held down
  BOOL m_hovered = FALSE;  // the mouse is over the button strip
};
