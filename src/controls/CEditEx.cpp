#include "controls/CEditEx.h"

#include <cwchar>
#include <cwctype>

#include "controls/EditHelpers.h"
#include "platform/CWindowDCs.h"
#include "platform/WideFormat.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kCaption[] = L"提示";
const wchar_t kFirstLetterWarning[] = L"输入错误:\n首字符为 字母";
const wchar_t kFirstDigitWarning[] = L"输入错误:\n首字符为 数字";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

}  // namespace

HWND CEditEx::Create(HWND owner, const RECT* rc, LPCWSTR name, DWORD style, DWORD exStyle,
                     UINT id, void* param) {
  if (style & ES_UPPERCASE) m_upperCase = TRUE;
  if (!(style & ES_PASSWORD)) style |= ES_MULTILINE;
  HWND wnd = CWindowImpl::Create(owner, rc ? *rc : RECT{0, 0, 0, 0}, name, style, exStyle, id,
                                 param);
  if (wnd) SetFont(UiFontPool::GetFont(0), TRUE);
  m_owner = owner;
  return wnd;
}

BOOL CEditEx::SetInputType(UINT flags, LPCWSTR extra, int) {
  m_validate = TRUE;
  if (flags & kDigits) m_digits = TRUE;
  if (flags & kLetters) m_letters = TRUE;
  if (flags & kLettersDigits) m_lettersDigits = TRUE;
  if (extra) {
    m_extra = extra;
    m_noExtra = m_extra.empty();
  }
  return TRUE;
}

void CEditEx::SetLimits(int maxLength, int mode, char pad, BOOL notifyWhenFull) {
  if (maxLength > 0) {
    m_limitOn = TRUE;
    m_maxLength = maxLength;
  }
  if (mode == kPadOnLeave) {
    m_padOnLeave = TRUE;
    m_padWidth = maxLength;
    m_pad = static_cast<wchar_t>(static_cast<unsigned char>(pad));
  }
  m_notifyFull = notifyWhenFull;
}

BOOL CEditEx::SetNumberRange(int minimum, int maximum) {
  if (minimum == -1 && maximum == -1) {
    m_rangeOn = FALSE;
    return TRUE;
  }
  if (minimum == -1) return FALSE;
  if (minimum > maximum) {
    Warn(L"数字范围设置错误:\n" + qv::FormatW(L"Min=%d ~ Max=%d", minimum, maximum),
         L"设置出错", false);
    m_rangeOn = FALSE;
    return FALSE;
  }
  m_min = minimum;
  m_max = maximum;
  m_rangeOn = TRUE;
  return TRUE;
}

BOOL CEditEx::SetInputMode(UINT flags) {
  // 0x100 (any letter or digit first) takes precedence and adds no rule of its own.
  if (flags & 0x100) return TRUE;
  if (flags & kFirstDigit)
    m_firstDigit = TRUE;
  else if (flags & kFirstLetter)
    m_firstLetter = TRUE;
  return TRUE;
}

LRESULT CEditEx::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = CFieldColors::SetIBeam();
  return TRUE;
}

LRESULT CEditEx::OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&) {
  return m_colors.Answer(reinterpret_cast<HDC>(wParam));
}

LRESULT CEditEx::OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // the edit control paints
  if (!(GetStyle() & ES_MULTILINE)) return 0;
  CRect client;
  GetClientRect(&client);
  TEXTMETRICW tm{};
  {
    CClientDC dc(m_hWnd);
    HFONT font = GetFont();
    HGDIOBJ old = font ? dc.SelectObject(font) : nullptr;
    ::GetTextMetricsW(dc, &tm);
    if (old) dc.SelectObject(old);
  }
  const int margin = (client.Height() - (tm.tmHeight + tm.tmExternalLeading)) / 2;
  CRect format = client;
  format.DeflateRect(0, margin, 0, margin);
  // Not EM_SETRECT: that would invalidate the window from inside its own paint.
  SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
  return 0;
}

std::wstring CEditEx::ClassWarning() const {
  const std::wstring extra = m_noExtra ? std::wstring() : L"、" + m_extra;
  if (m_digits) return L"此编辑框只可以输入:\n数字" + extra;
  if (m_letters)
    return (m_upperCase ? L"此编辑框只可以输入:\n大写字母" : L"此编辑框只可以输入:\n字母") + extra;
  return (m_upperCase ? L"此编辑框只可以输入:\n大写字母、数字" : L"此编辑框只可以输入:\n字母、数字") +
         extra;
}

std::wstring CEditEx::Judge(wchar_t c, const std::wstring& text, int selStart, int selEnd,
                            bool& refused) const {
  refused = true;
  const bool digit = IsDigit(c);
  const bool letter = IsLetter(c);
  if (selStart == 0) {  // c becomes the first character
    if (m_firstLetter && !letter) return kFirstLetterWarning;
    if (m_firstDigit && !digit) return kFirstDigitWarning;
  }
  const std::wstring after = text.substr(0, selStart) + c + text.substr(selEnd);
  if (digit && m_rangeOn) {
    const long long value = std::wcstoll(after.c_str(), nullptr, 10);
    if (value < m_min || value > m_max)
      return qv::FormatW(L"输入数字范围错误:\n nMin=%d ~ nMax=%d", m_min, m_max);
  }
  if (m_validate) {
    bool extra = m_extra.find(c) != std::wstring::npos;
    for (wchar_t e : m_extra) extra = extra || static_cast<wchar_t>(std::towlower(e)) == c;
    bool allowed;
    if (m_digits)
      allowed = digit || extra;
    else if (m_letters)
      allowed = letter || extra;
    else if (m_lettersDigits)
      allowed = digit || letter || extra;
    else
      return std::wstring();  // no class chosen: nothing printable goes in
    if (!allowed) return ClassWarning();
  } else if (m_forbidMode && m_forbidden.find(c) != std::wstring::npos) {
    return L"此编辑框不能包含下列非法字符:\n" + m_forbidden;
  }
  if (m_limitOn && static_cast<int>(after.size()) > m_maxLength)
    return qv::FormatW(L"此编辑框最多只能输入:%d字符.", m_maxLength);
  refused = false;
  return std::wstring();
}

void CEditEx::Warn(const std::wstring& text, LPCWSTR caption, bool refocus) {
  HWND self = m_hWnd;
  UiMessageBox(text.c_str(), caption, MB_OK, nullptr, self ? ::GetAncestor(self, GA_ROOT) : nullptr);
  // The box ran a message loop: the field may be gone.
  if (refocus && self && ::IsWindow(self)) ::SetFocus(self);
}

LRESULT CEditEx::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  const wchar_t c = static_cast<wchar_t>(wParam);
  if (c == L'\t' || c == L'\r') return 0;
  const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (c < 32 || (ctrl && (c == L'c' || c == L'C' || c == L'v' || c == L'V'))) {
    bHandled = FALSE;
    return 0;
  }
  const std::wstring text = GetWindowText();
  int selStart = 0, selEnd = 0;
  GetEditSel(m_hWnd, text, selStart, selEnd);
  bool refused = false;
  const std::wstring warning = Judge(c, text, selStart, selEnd, refused);
  if (refused) {
    if (!warning.empty()) Warn(warning, kCaption, true);
    return 0;
  }
  const int length = static_cast<int>(text.size()) - (selEnd - selStart) + 1;
  if (!m_notifyFull || !std::iswalnum(c) || length != m_padWidth) {
    bHandled = FALSE;
    return 0;
  }
  // The box is full with c: put it in first, so that the owner may move on at once.
  wchar_t typed[2] = {c, 0};
  if (m_upperCase) ::CharUpperBuffW(typed, 1);
  SetFocus();
  ReplaceSel(typed, FALSE);
  NMHDR full{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), kNotifyFull};
  ::SendMessageW(m_owner, WM_NOTIFY, full.idFrom, reinterpret_cast<LPARAM>(&full));
  return 0;
}

LRESULT CEditEx::OnPaste(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (GetStyle() & ES_READONLY) {
    bHandled = FALSE;
    return 0;
  }
  // Pasted text goes through the same checks as typing; line breaks and other control
  // characters are dropped, as typing them inserts nothing into a one-line field.
  std::wstring pasted;
  for (wchar_t c : ClipboardText(m_hWnd))
    if (c >= 32) pasted += c;
  std::wstring text = GetWindowText();
  int selStart = 0, selEnd = 0;
  GetEditSel(m_hWnd, text, selStart, selEnd);
  for (wchar_t c : pasted) {
    bool refused = false;
    const std::wstring warning = Judge(c, text, selStart, selEnd, refused);
    if (refused) {
      if (!warning.empty()) Warn(warning, kCaption, true);
      return 0;
    }
    text.replace(static_cast<size_t>(selStart), static_cast<size_t>(selEnd - selStart), 1, c);
    selEnd = ++selStart;
  }
  if (!pasted.empty()) ReplaceSel(pasted.c_str(), TRUE);
  return 0;
}

LRESULT CEditEx::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_padOnLeave) {
    const std::wstring text = GetWindowText();
    if (static_cast<int>(text.size()) < m_padWidth)
      SetWindowText((std::wstring(static_cast<size_t>(m_padWidth) - text.size(), m_pad) + text).c_str());
  }
  bHandled = FALSE;
  return 0;
}
