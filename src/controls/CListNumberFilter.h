#pragma once
// The character filter of the grid's text cells (the text editor and the combo box's
// text field), by the cell's flags: a cell of whole (0x20) or decimal (0x40) numbers
// takes digits, one point in a decimal cell, one minus and, with 0x100, one each of
// "<", "=", ">" leading the number ("<" and ">" before "="). With 0x80 the minus key
// turns the number's sign instead of typing a minus. Pasted text is judged as typing
// is, the whole of it at once. Other cells take everything.
#include <windows.h>

#include <string>

class CListNumberFilter {
 public:
  // Whether a cell with these flags may hold the text.
  static bool IsValidText(UINT nFlags, const std::wstring& strText);
  // Whether c may replace text[nStart, nEnd). Control characters (backspace, the
  // clipboard keys) always may; they insert nothing themselves.
  static bool IsValidChar(UINT nFlags, const std::wstring& strText, int nStart, int nEnd, wchar_t c);
  // The minus key of a cell with 0x80 and a number in it.
  static bool TogglesSign(UINT nFlags, wchar_t c);
  // The number with its sign turned ("%ld", or "%lf" in a decimal cell); leading
  // comparison characters stay. nShift: +1 when the number was 0 or positive, else -1.
  static std::wstring Negate(UINT nFlags, const std::wstring& strText, int& nShift);

  // On an edit window: TRUE when c is to be inserted as usual; otherwise it is dropped
  // (after turning the sign, for the minus key of a 0x80 cell).
  static BOOL OnChar(HWND hEdit, UINT nFlags, wchar_t c);
  // In a number cell: pastes the clipboard's text (control characters left out) when
  // the result is valid, else nothing; TRUE. FALSE for other cells, which paste as usual.
  static BOOL OnPaste(HWND hEdit, UINT nFlags);
};
