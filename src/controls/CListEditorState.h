#pragma once
// What the grid's three in-place editors share: the cell being edited, the key that
// ended the edit, the editor's font (a copy of the system message font, made at each
// start) and the one report of the end to the grid (LIST_NOTIFY_ENDEDIT). An edit ends
// once: the editor hides and tells the grid, when the grid is still there.
#include <windows.h>

#include <string>

#include "platform/CGdiObject.h"

class CListEditorState {
 public:
  // Starts an edit of a cell (row, column position). FALSE when the font cannot be made.
  BOOL Begin(HWND hWndGrid, int nItem, int nSubItem, UINT nFlags);
  // The editor could not be shown: the edit is over without a report.
  void Abandon() { m_bOpen = FALSE; }
  BOOL IsOpen() const { return m_bOpen; }
  UINT Flags() const { return m_nFlags; }
  HFONT Font() const { return m_font; }
  HWND Grid() const { return m_hWndGrid; }

  // Tab, Enter and Esc end the edit: the key is kept and the focus goes to the grid,
  // whose taking it ends the edit. FALSE for any other character.
  BOOL OnExitKey(wchar_t c);
  // Ends an open edit: hides the editor, then reports the value to the grid (pDate for
  // a date editor only). FALSE when no edit was open.
  BOOL End(HWND hWndEditor, const std::wstring& strText, SYSTEMTIME* pDate);

  // A copy of the system's message font; the caller owns it.
  static HFONT CreateMessageFont();

 private:
  HWND m_hWndGrid = nullptr;
  int m_nItem = -1;
  int m_nSubItem = -1;
  UINT m_nFlags = 0;
  WORD m_nExitKey = 0;  // 0 when the edit ends by a loss of focus
  BOOL m_bOpen = FALSE;
  CFont m_font;
};
