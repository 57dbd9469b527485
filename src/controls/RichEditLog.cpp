#include "controls/RichEditLog.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "controls/CSkinScrollWnd.h"
#include "platform/CWindow.h"
#include "platform/TextConv.h"
#include "uiwin/UiFontPool.h"

namespace {

LONG TextLength(HWND edit) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
  return static_cast<LONG>(::SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

void Select(HWND edit, LONG from, LONG to) {
  CHARRANGE range{from, to};
  ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// The top of the row that a character is on, in the control's client coordinates.
LONG RowTop(HWND edit, LONG at) {
  POINTL point{};
  ::SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), at);
  return point.y;
}

// The view shows the row of the newest text (the scroll bars say nothing while the
// control has no use for them).
bool ShowsNewest(HWND edit) {
  const LONG end = TextLength(edit);
  RECT client{};
  ::GetClientRect(edit, &client);
  return RowTop(edit, end > 0 ? end - 1 : 0) < client.bottom;
}

// Every row is this high (RichEditCreate), in twips.
const LONG kRowTwips = 255;

// The layout has given the control its place: it can show a row. Before that (a
// dialog's control is filled as the dialog starts) moving the caret scrolls it to
// wherever the caret is, and the place stays once the control has its size.
bool Placed(HWND edit) {
  RECT client{};
  ::GetClientRect(edit, &client);
  HDC dc = ::GetDC(edit);
  const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ::ReleaseDC(edit, dc);
  return client.bottom - client.top >= ::MulDiv(kRowTwips, dpi, 1440);
}

// What the user sees and has selected while the log changes under it. Moving the caret
// to the end or cutting the start scrolls the control and takes the selection (the
// caret's move scrolls sideways too, to the end of a long line, and so does Wine's
// scroll to the bottom); this puts back the user's selection (moved with the text it
// covers) and view. The view follows the newest row, showing the start of the lines,
// when it did so before; else it stays on the place the user scrolled to, down or
// sideways. A control not placed yet shows the start of its text: no user has scrolled
// it, and it opens so. A shown control does not paint meanwhile: one repaint at the
// end, not one per step. (Redraw goes back on by showing the window, so a hidden one is
// left alone.)
class UserView {
 public:
  explicit UserView(HWND edit)
      : edit_(edit), placed_(Placed(edit)), shown_((::GetWindowLongW(edit, GWL_STYLE) & WS_VISIBLE) != 0) {
    ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection_));
    ::SendMessageW(edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_));
    following_ = placed_ && scroll_.x == 0 && ShowsNewest(edit);
    if (shown_) ::SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
  }
  ~UserView() {
    // The caret alone is not a selection: it stays where the next text goes.
    const LONG from = selection_.cpMin - cut_, to = selection_.cpMax - cut_;
    if (to > from && to > 0) Select(edit_, from > 0 ? from : 0, to);
    if (!placed_) {
      scroll_ = POINT{0, 0};
    } else if (following_) {
      ::SendMessageW(edit_, WM_VSCROLL, SB_BOTTOM, 0);
      ::SendMessageW(edit_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_));
      scroll_.x = 0;
    } else {
      scroll_.y = scroll_.y > cutHeight_ ? scroll_.y - cutHeight_ : 0;
    }
    ::SendMessageW(edit_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_));
    if (!shown_) return;
    ::SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(edit_, nullptr, FALSE);
  }
  UserView(const UserView&) = delete;
  UserView& operator=(const UserView&) = delete;

  // The first `count` characters went, `height` pixels of rows with them.
  void Cut(LONG count, LONG height) {
    cut_ = count;
    cutHeight_ = height;
  }

 private:
  HWND edit_;
  bool placed_, following_ = false, shown_;
  CHARRANGE selection_{};
  POINT scroll_{};
  LONG cut_ = 0, cutHeight_ = 0;
};

LRESULT Append(HWND edit, LPCWSTR text, DWORD mask, BOOL bold, COLORREF colour) {
  UserView view(edit);
  const LONG end = TextLength(edit);
  Select(edit, end, end);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = mask;
  format.dwEffects = bold ? CFE_BOLD : 0;
  format.crTextColor = colour;
  // The empty selection only: with SCF_WORD the word before the caret would change too.
  ::SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(qv::OrEmpty(text)));
}

// The character at a position, 0 past the end.
wchar_t CharAt(HWND edit, LONG at) {
  wchar_t text[2] = L"";
  TEXTRANGEW range{{at, at + 1}, text};
  ::SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  return text[0];
}

LONG RowOf(HWND edit, LONG at) { return static_cast<LONG>(::SendMessageW(edit, EM_EXLINEFROMCHAR, 0, at)); }

LONG RowStart(HWND edit, LONG row) { return static_cast<LONG>(::SendMessageW(edit, EM_LINEINDEX, row, 0)); }

// The start of the line that holds a character: the start of its first row.
LONG LineStart(HWND edit, LONG at) {
  LONG row = RowOf(edit, at), start = RowStart(edit, row);
  while (row > 0 && start > 0 && CharAt(edit, start - 1) != L'\r') start = RowStart(edit, --row);
  return start;
}

// How far the view has scrolled, in pixels.
POINT ScrollOf(HWND edit) {
  RECT format{};
  ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  POINTL first{};
  ::SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
  return POINT{format.left - first.x, format.top - first.y};
}

// Wine's rich edit gives a scroll bar a range of at most 0xFFFF, a longer extent scaled
// down to it, but a page in pixels, and reads a thumb position in that scale: the thumb
// at the end of its track stopped short of the end of a long text, so far that its end
// could not be shown. There the view goes to the end along that bar; the other way it
// stays.
LRESULT CALLBACK ThumbReachesTheEnd(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  const int code = LOWORD(wParam);
  if ((message == WM_HSCROLL || message == WM_VSCROLL) && (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) &&
      lParam) {
    SCROLLINFO bar{sizeof bar, SIF_ALL, 0, 0, 0, 0, 0};
    if (::SendMessageW(reinterpret_cast<HWND>(lParam), SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&bar)) &&
        bar.nTrackPos > bar.nMin && bar.nTrackPos >= bar.nMax - std::max(static_cast<int>(bar.nPage) - 1, 0)) {
      // Its own scroll to the bottom goes to the end both ways. (Past 16 bits the scroll
      // position it tells is scaled too; where its first character stands is not.)
      const POINT view = ScrollOf(edit);
      ::DefSubclassProc(edit, WM_VSCROLL, SB_BOTTOM, 0);
      POINT end = ScrollOf(edit);
      (message == WM_HSCROLL ? end.y : end.x) = message == WM_HSCROLL ? view.y : view.x;
      ::SendMessageW(edit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&end));
      return 0;
    }
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(edit, ThumbReachesTheEnd, 0);
  return ::DefSubclassProc(edit, message, wParam, lParam);
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
  para.dyLineSpacing = kRowTwips;
  edit.SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
  edit.SetFont(UiFontPool::GetFont(0), TRUE);
  // Under the skin's hook, which passes the bars' messages on.
  ::SetWindowSubclass(edit, ThumbReachesTheEnd, 0, 0);
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

void RichEditShowStart(HWND edit) {
  Select(edit, 0, 0);
  POINT start{0, 0};
  ::SendMessageW(edit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&start));
}

LONG RichEditKeepLastLines(HWND edit, int lines, LONG chars, int batch) {
  if (lines < 0 || chars < 0 || batch < 0) return 0;
  // The last row is the one the next text goes on.
  const LONG rows = static_cast<LONG>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  const LONG length = TextLength(edit);
  const LONG charBatch = lines > 0 ? static_cast<LONG>(static_cast<long long>(chars) * batch / lines) : 0;
  if (rows - 1 <= lines + batch && length <= chars + charBatch) return 0;
  // The first row that may stay under both bounds.
  LONG first = rows - 1 - lines > 0 ? rows - 1 - lines : 0;
  if (length > chars) {
    LONG row = RowOf(edit, length - chars);
    if (RowStart(edit, row) < length - chars) ++row;
    first = row > first ? row : first;
  }
  // Only whole lines go (a wrapped line shows on several rows), and never the newest.
  const LONG newest = LineStart(edit, length > 0 ? length - 1 : 0);
  LONG cut = newest;
  for (LONG row = first; row < rows; ++row) {
    const LONG start = RowStart(edit, row);
    if (start >= newest) break;
    if (start > 0 && CharAt(edit, start - 1) == L'\r') {
      cut = start;
      break;
    }
  }
  if (cut <= 0) return 0;
  UserView view(edit);
  view.Cut(cut, RowTop(edit, cut) - RowTop(edit, 0));
  // Not undoable: the replace empties the undo list, and what it took goes with it. (With
  // the undo list switched off instead, Wine's rich edit keeps each dropped line break.)
  Select(edit, 0, cut);
  ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  return cut;
}
