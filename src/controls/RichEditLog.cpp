#include "controls/RichEditLog.h"

#include <richedit.h>

#include "controls/CSkinScrollWnd.h"
#include "platform/CWindow.h"
#include "uiwin/UiFontPool.h"

namespace {

// Puts the caret after the last character, where the next run goes.
void CaretToEnd(HWND edit) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
  const LRESULT end = ::SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  CHARRANGE range{static_cast<LONG>(end), static_cast<LONG>(end)};
  ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

LRESULT Append(HWND edit, LPCWSTR text, DWORD mask, BOOL bold, COLORREF colour) {
  CaretToEnd(edit);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = mask;
  format.dwEffects = bold ? CFE_BOLD : 0;
  format.crTextColor = colour;
  // The empty selection only: with SCF_WORD the word before the caret would change too.
  ::SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text ? text : L""));
}

// The character at a position, 0 past the end.
wchar_t CharAt(HWND edit, LONG at) {
  wchar_t text[2] = L"";
  TEXTRANGEW range{{at, at + 1}, text};
  ::SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  return text[0];
}

}  // namespace

HWND RichEditCreate(HWND parent, UINT id, DWORD style, HBITMAP skin, UINT skinId) {
  CWindow edit;
  if (!edit.Create(L"RichEdit20W", parent, RECT{0, 0, 0, 0}, nullptr, style, 0, id)) return nullptr;
  // Without this, typing and replacing stop at 32,767 characters.
  edit.SendMessage(EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  PARAFORMAT2 para{};
  para.cbSize = sizeof para;
  para.dwMask = PFM_LINESPACING;
  para.bLineSpacingRule = 4;  // exactly dyLineSpacing twips
  para.dyLineSpacing = 255;
  edit.SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
  edit.SetFont(UiFontPool::GetFont(0), TRUE);
  SkinWndScroll(edit, skin, skinId);
  return edit;
}

LRESULT RichEditAppendText(HWND edit, LPCWSTR text, BOOL bold, COLORREF colour) {
  return Append(edit, text, CFM_BOLD | CFM_COLOR, bold, colour);
}

LRESULT RichEditAppendNewLine(HWND edit) { return Append(edit, L"\r\n", 0, FALSE, 0); }

void RichEditClear(HWND edit) {
  ::SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  ::SendMessageW(edit, WM_CLEAR, 0, 0);
  ::SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
}

void RichEditKeepLastLines(HWND edit, int lines) {
  // The last row is the one the next text goes on.
  const LONG rows = static_cast<LONG>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  if (lines < 0 || rows - 1 <= lines) return;
  // A wrapped line shows on several rows: only whole lines go.
  LONG cut = 0;
  for (LONG row = rows - 1 - lines; row < rows && cut <= 0; ++row) {
    const LONG start = static_cast<LONG>(::SendMessageW(edit, EM_LINEINDEX, row, 0));
    if (start > 0 && CharAt(edit, start - 1) == L'\r') cut = start;
  }
  if (cut <= 0) return;
  // Not undoable: the replace empties the undo list, and what it took goes with it. (With
  // the undo list switched off instead, Wine's rich edit keeps each dropped line break.)
  CHARRANGE range{0, cut};
  ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}
