#pragma once
// The read-only rich-edit log that pages use for run logs and result texts: created in
// the console's font with fixed line spacing, filled by appending runs of text in a
// weight and colour of their own. Appends always go to the end, whatever the user has
// selected; the user's selection stays on its text, and the view follows the newest
// row, from the start of the lines, unless the user has scrolled away from it, down or
// sideways (then it stays where the user put it). The log has no length limit of its
// own; a page that appends for as long as it runs keeps it to its latest lines. Appends
// and dropped lines leave nothing to undo.
// Needs the rich-edit library (CUIResource::Init).
#include <windows.h>

// A "RichEdit20W" child with that style and id and no size yet, its scroll bars skinned
// with the given skin and id: the skin's frame takes its place and control id in the
// parent, so a layout places the frame. A thumb dragged to the end of its bar shows the
// end of the text that way, however long. Null when it cannot be made.
HWND RichEditCreate(HWND parent, UINT id, DWORD style, HBITMAP skin, UINT skinId);
// Appends text at the end, bold or not, in colour (0x00BBGGRR); earlier text keeps its
// format. Returns the replace message's answer.
LRESULT RichEditAppendText(HWND edit, LPCWSTR text, BOOL bold, COLORREF colour);
// Appends a line break in the format of the text before it.
LRESULT RichEditAppendNewLine(HWND edit);
// Empties the log and leaves it read-only.
void RichEditClear(HWND edit);
// Shows the start of the text: the first row at the top, the lines from their start, the
// caret before the first character. A text filled whole opens so.
void RichEditShowStart(HWND edit);
// Once more than `lines` + `batch` rows stand before the last row (the one the next text
// goes on), or more than `chars` characters and their share of the batch (chars *
// batch / lines), drops the oldest lines so that at most `lines` rows and
// `chars` characters stay: a cut costs the control in proportion to what it keeps, so it
// is made once a batch, not once a line. Rows are counted as the control shows them,
// and only whole lines go: a line wrapped over rows goes whole or stays whole, and the
// newest line stays even when it alone is longer. Returns the characters dropped.
LONG RichEditKeepLastLines(HWND edit, int lines, LONG chars, int batch);
