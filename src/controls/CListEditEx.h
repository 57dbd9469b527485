#pragma once
// The grid's in-place editor of text cells (format 1): a borderless edit box over the
// cell, its text selected, right-aligned for numbers and upper case with 0x10, whose
// typed and pasted characters pass the cell's number filter. Tab, Enter and Esc end
// the edit with that key, any other loss of focus with none; the end hides the box and
// reports its text to the grid. The window stays until the next edit or the grid's end.
#include <windows.h>

#include <string>

#include "controls/CListEditorState.h"
#include "platform/CEdit.h"
#include "platform/CRect.h"
#include "platform/CWindowImpl.h"

class CListEditEx : public CWindowImpl<CListEditEx, CEdit> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"EDIT")

  CListEditEx() = default;
  ~CListEditEx() override;

  // Opens over the cell (row, column position) with the cell's flags and text; the
  // window, focused, or null.
  HWND Create(HWND hWndGrid, int nItem, int nSubItem, const CRect& rcCell, UINT nFlags,
              LPCWSTR pszText);

  // The cell's number filter on a typed character: TRUE when the box is to insert it;
  // FALSE when it is dropped (the minus key of a 0x80 cell turns the sign instead).
  BOOL IsValidChar(UINT nChar);

  BEGIN_MSG_MAP(CListEditEx)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    MESSAGE_HANDLER(WM_PASTE, OnPaste)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  END_MSG_MAP()

 private:
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTALLKEYS; }
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled);

  CListEditorState m_state;
};
