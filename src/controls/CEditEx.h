#pragma once
// The console's text field: a single-line edit box in the console's colours, its text
// centred vertically, that checks what the user types or pastes against an input type
// (character classes plus extra characters, a first-character rule, a maximum length, a
// numeric range) and refuses a wrong character with a Chinese warning owned by the
// box's top-level window. It can fill its text from the left to a fixed width when it
// loses the focus, and tell its owner (WM_NOTIFY, code -1501) when a typed character
// fills it. Text set by the owner is not filtered.
#include <windows.h>

#include <string>

#include "controls/CFieldColors.h"
#include "platform/CEdit.h"
#include "platform/CWindowImpl.h"

class CEditEx : public CWindowImpl<CEditEx, CEdit> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"EDIT")

  // SetInputType flags (the first set one, in this order, decides the class).
  enum : UINT { kDigits = 0x1, kLetters = 0x10, kLettersDigits = 0x100 };
  // SetInputMode flags: the first character's rule.
  enum : UINT { kFirstDigit = 0x1, kFirstLetter = 0x10 };
  // SetLimits mode: fill from the left on focus loss.
  enum : int { kPadOnLeave = 1 };
  // WM_NOTIFY code sent to the owner when a typed character fills the box.
  static constexpr UINT kNotifyFull = static_cast<UINT>(-1501);

  CEditEx() = default;

  // ES_UPPERCASE in the style switches on the capital-letter wording. The window gets
  // ES_MULTILINE as well so that its formatting rectangle can centre the text, except a
  // password field (ES_PASSWORD): an edit control masks single-line text only. The owner
  // receives the full notification. rc may be null (placed later by a layout).
  HWND Create(HWND owner, const RECT* rc, LPCWSTR name = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT id = 0, void* param = nullptr);

  // Switches class checking on; extra characters are allowed besides the classes (their
  // lower-case forms too). Returns 1.
  BOOL SetInputType(UINT flags, LPCWSTR extra = nullptr, int extraLength = 0);
  // maxLength > 0 limits the text; mode kPadOnLeave fills with pad up to maxLength on
  // focus loss; notifyWhenFull sends -1501 when a typed letter or digit fills the box.
  void SetLimits(int maxLength, int mode, char pad, BOOL notifyWhenFull);
  // (-1, -1) switches the range off. A bad range is reported and leaves it off.
  BOOL SetNumberRange(int minimum, int maximum);
  // Adds a first-character rule; never clears one. Returns 1.
  BOOL SetInputMode(UINT flags);

  BEGIN_MSG_MAP(CEditEx)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(OCM_CTLCOLOREDIT, OnCtlColor)
    MESSAGE_HANDLER(OCM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    MESSAGE_HANDLER(WM_PASTE, OnPaste)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 protected:
  // Characters refused while class checking is off and the mode is on. Nothing sets
  // them here: a field that needs them derives and fills them.
  std::wstring m_forbidden;
  BOOL m_forbidMode = FALSE;

 private:
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled);

  // Why c may not replace text[selStart, selEnd): the warning to show, "" when c may go
  // in. refused is false when c may go in; a refusal may come without a warning.
  std::wstring Judge(wchar_t c, const std::wstring& text, int selStart, int selEnd,
                     bool& refused) const;
  std::wstring ClassWarning() const;
  void Warn(const std::wstring& text, LPCWSTR caption, bool refocus);

  CFieldColors m_colors;
  std::wstring m_extra;
  BOOL m_validate = FALSE;
  BOOL m_upperCase = FALSE;
  BOOL m_digits = FALSE;
  BOOL m_letters = FALSE;
  BOOL m_lettersDigits = FALSE;
  BOOL m_noExtra = TRUE;
  BOOL m_padOnLeave = FALSE;
  BOOL m_notifyFull = FALSE;
  BOOL m_firstDigit = FALSE;
  BOOL m_firstLetter = FALSE;
  BOOL m_rangeOn = FALSE;
  BOOL m_limitOn = FALSE;
  int m_min = 0;
  int m_max = 0;
  int m_maxLength = 0;
  int m_padWidth = 0;
  wchar_t m_pad = L'0';
  HWND m_owner = nullptr;
};
