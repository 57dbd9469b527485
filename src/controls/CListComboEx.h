#pragma once
// The grid's in-place editor of combo cells (format 3): a combo box over the cell with
// the cell's choices, sorted. A drop-down list (the default) opens on the choice equal
// to the cell's text, with none selected when no choice equals it; with flag 0x200 the
// box has a text field that takes typed text through the cell's number filter. Its
// face is drawn over the cell beneath: the selected choice in the highlight colours
// and a drop button, hot under the mouse. Tab, Enter and Esc end the edit with that
// key, any other loss of focus with none; the end hides the box and reports its value
// to the grid: the text field's text, the chosen item, or, when nothing was chosen,
// the cell's text as it was.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CListEditorState.h"
#include "platform/CComboBox.h"
#include "platform/CContainedWindow.h"
#include "platform/CRect.h"
#include "platform/CWindowImpl.h"

class CListComboEx : public CWindowImpl<CListComboEx, CComboBox> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"COMBOBOX")

  CListComboEx() : m_wndEdit(this, 1) {}
  ~CListComboEx() override;

  // Opens over the cell (row, column position) with the cell's flags, text and choices;
  // bThemed draws the button with visual styles where they are on. The window, focused,
  // or null.
  HWND Create(HWND hWndGrid, int nItem, int nSubItem, const CRect& rcCell, UINT nFlags,
              LPCWSTR pszText, BOOL bThemed, const std::vector<std::wstring>& aItems);

  // The cell's number filter on a character typed into the text field; as
  // CListEditEx::IsValidChar. A drop-down list without a field takes every character.
  BOOL IsValidChar(UINT nChar);

  BEGIN_MSG_MAP(CListComboEx)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(OCM_COMMAND, OnReflectedCommand)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouse)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    DEFAULT_REFLECTION_HANDLER()
  ALT_MSG_MAP(1)  // the text field
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_CHAR, OnEditChar)
    MESSAGE_HANDLER(WM_PASTE, OnEditPaste)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnEditKillFocus)
  END_MSG_MAP()

 private:
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTALLKEYS; }
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnEditChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnEditPaste(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnEditKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouse(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);

  // Ends an open edit with the box's value.
  void EndEdit();
  void AfterFocusLoss(HWND hWndFocus);
  // The window, or a window of its own (text field, drop-down list).
  bool IsOwnWindow(HWND hWnd) const;
  void CloseTheme();

  CListEditorState m_state;
  CContainedWindow m_wndEdit;
  std::wstring m_strText;  // the cell's text at the start
  BOOL m_bThemed = FALSE;
  HANDLE m_hTheme = nullptr;
  BOOL m_bTracking = FALSE;   // a mouse-leave notice is asked for
  BOOL m_bMouseSeen = FALSE;
  BOOL m_bSwapButtons = FALSE;
  CRect m_rcItem;             // the selection field
  CRect m_rcButton;
  COLORREF m_rgbHighlight = 0;
  COLORREF m_rgbHighlightText = 0;
};
