// The filtered edit box: what typing and pasting leave in the field and the warning
// they raise, the left fill, the full notification and the password field.
#include <windows.h>

#include <string>

#include "ControlHost.h"
#include "controls/CEditEx.h"
#include "support/ModalScript.h"

namespace {

// A field as the console's dialogs set one up; type 0 leaves the classes off.
struct Field {
  UINT type; const wchar_t* extra; int maxLength, mode, min, max; UINT first; DWORD style;
  const wchar_t* forbidden = nullptr;  // refused outright, by a derived field
};
const Field kMac{CEditEx::kDigits, L"ABCDEF", 2, CEditEx::kPadOnLeave, -1, -1, 0, 0};
const Field kHex{CEditEx::kDigits, L"ABCDEF", 0, 0, -1, -1, 0, 0};
const Field kPort{CEditEx::kDigits, nullptr, 5, 0, 0, 65535, 0, 0};
const Field kPassword{CEditEx::kLettersDigits, L"_", 20, 0, -1, -1, CEditEx::kFirstLetter, 0};
const Field kName{0, nullptr, 10, 0, -1, -1, 0, 0};
const Field kUpper{CEditEx::kLetters, nullptr, 0, 0, -1, -1, 0, ES_UPPERCASE};
const Field kDigitFirst{0, nullptr, 0, 0, -1, -1, CEditEx::kFirstDigit, 0};
const Field kPath{0, nullptr, 0, 0, -1, -1, 0, 0, L"\\/:*"};
const Field kSlashDigits{CEditEx::kDigits, L"/", 0, 0, -1, -1, 0, 0, L"/"};

const wchar_t kDigitsOnly[] = L"此编辑框只可以输入:\n数字";
const wchar_t kPortRange[] = L"输入数字范围错误:\n nMin=0 ~ nMax=65535";
const wchar_t kFirstLetter[] = L"输入错误:\n首字符为 字母";
const wchar_t kTenChars[] = L"此编辑框最多只能输入:10字符.";

class Forbidding : public CEditEx {
 public:
  explicit Forbidding(const wchar_t* chars) {
    m_forbidden = chars;
    m_forbidMode = TRUE;
  }
};

class EditEx : public ControlTest {
 protected:
  HWND Make(const Field& f, const wchar_t* text = L"") {
    edit_ = f.forbidden ? &Keep<Forbidding>(f.forbidden) : &Keep<CEditEx>();
    RECT rc{10, 10, 210, 34};
    HWND wnd = edit_->Create(host_, &rc, nullptr, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | f.style, 0, 7);
    if (f.type) edit_->SetInputType(f.type, f.extra);
    edit_->SetLimits(f.maxLength, f.mode, '0', f.mode == CEditEx::kPadOnLeave);
    if (f.min != -1) edit_->SetNumberRange(f.min, f.max);
    if (f.first) edit_->SetInputMode(f.first);
    ::SetWindowTextW(wnd, text);
    ::SetFocus(wnd);
    return wnd;
  }
  void Paste(HWND wnd, const std::wstring& text) {
    ASSERT_TRUE(::OpenClipboard(host_));
    ::EmptyClipboard();
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(::GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(mem);
    ::SetClipboardData(CF_UNICODETEXT, mem);
    ::CloseClipboard();
    ::SendMessageW(wnd, WM_PASTE, 0, 0);
  }

  CEditEx* edit_ = nullptr;
};

// Typed and pasted text is judged as the field would read with it in place of the
// selection; a refusal leaves the text as it was and shows one warning, owned by the
// field's top-level window, after which the field has the focus again.
TEST_F(EditEx, TypingAndPastingAreJudgedAsTheTextWouldBeAfterThem) {
  const struct {
    const char* what; const Field& field; const wchar_t* before; int selStart, selEnd;
    const wchar_t *typed, *after, *warning; bool paste;
  } rows[] = {
      {"hex extras admit their lower case", kHex, L"", 0, 0, L"7aF", L"7aF", nullptr, false},
      {"a letter beyond the extras", kHex, L"7", 1, 1, L"g", L"7", L"此编辑框只可以输入:\n数字、ABCDEF", false},
      {"a letter in a digits field", kPort, L"", 0, 0, L"x", L"", kDigitsOnly, false},
      {"port up to the maximum", kPort, L"6553", 4, 4, L"5", L"65535", nullptr, false},
      {"port beyond the maximum", kPort, L"6553", 4, 4, L"6", L"6553", kPortRange, false},
      {"beyond the maximum typing at the start", kPort, L"1000", 0, 0, L"9", L"1000", kPortRange, false},
      {"a full field", kName, L"甲乙丙丁戊己庚辛壬癸", 10, 10, L"k", L"甲乙丙丁戊己庚辛壬癸", kTenChars, false},
      {"a full field over a selection", kName, L"abcdefghij", 1, 2, L"z", L"azcdefghij", nullptr, false},
      {"underscore after a letter", kPassword, L"", 0, 0, L"a_1", L"a_1", nullptr, false},
      {"an underscore first", kPassword, L"", 0, 0, L"_", L"", kFirstLetter, false},
      {"a digit before the first letter", kPassword, L"ab", 0, 0, L"1", L"ab", kFirstLetter, false},
      {"Chinese first under a digit rule", kDigitFirst, L"", 0, 0, L"中", L"", L"输入错误:\n首字符为 数字", false},
      {"plain fields take Chinese first", kName, L"", 0, 0, L"中文名", L"中文名", nullptr, false},
      {"tab and enter insert nothing, backspace works", kName, L"", 0, 0, L"a\t\rbc\b", L"ab", nullptr, false},
      {"upper-case field and a digit", kUpper, L"", 0, 0, L"1", L"", L"此编辑框只可以输入:\n大写字母", false},
      {"paste without line breaks", kPort, L"15", 1, 1, L"2\r\n3", L"1235", nullptr, true},
      {"paste of letters", kPort, L"1", 1, 1, L"2ab", L"1", kDigitsOnly, true},
      {"a forbidden character", kPath, L"a", 1, 1, L"b:", L"ab", L"此编辑框不能包含下列非法字符:\n\\/:*", false},
      {"a forbidden character pasted", kPath, L"", 0, 0, L"c/d", L"", L"此编辑框不能包含下列非法字符:\n\\/:*", true},
      {"classes checked: the forbidden list rests", kSlashDigits, L"", 0, 0, L"1/2", L"1/2", nullptr, false},
      {"paste beyond the length", kName, L"abcdefgh", 8, 8, L"xyz", L"abcdefgh", kTenChars, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ModalScript script;  // fails the test on any box it was not told of
    if (row.warning) script.ExpectBox(row.warning);
    HWND wnd = Make(row.field, row.before);
    ::SendMessageW(wnd, EM_SETSEL, row.selStart, row.selEnd);
    row.paste ? Paste(wnd, row.typed) : Type(wnd, row.typed);
    EXPECT_EQ(row.after, edit_->GetWindowText());
    if (!row.warning) continue;
    ASSERT_EQ(1u, script.Boxes().size());
    EXPECT_EQ(row.warning, script.Boxes()[0].text);
    EXPECT_EQ(L"提示", script.Boxes()[0].caption);
    EXPECT_EQ(host_.m_hWnd, script.Boxes()[0].owner);
    EXPECT_EQ(wnd, ::GetFocus());
  }
}

TEST_F(EditEx, FillsFromTheLeftOnLeavingAndNotifiesWhenATypedCharFills) {
  HWND wnd = Make(kMac);
  Type(wnd, L"a");
  EXPECT_TRUE(host_.notices.empty());
  ::SendMessageW(wnd, EM_SETSEL, 0, 0);
  Type(wnd, L"7");
  EXPECT_EQ(L"7a", edit_->GetWindowText());
  ASSERT_EQ(1u, host_.notices.size());
  EXPECT_EQ(CEditEx::kNotifyFull, host_.notices[0].code);
  EXPECT_EQ(wnd, host_.notices[0].hwndFrom);
  for (auto pad : {std::make_pair(L"7", L"07"), std::make_pair(L"", L"00"), std::make_pair(L"ab", L"ab")}) {
    ::SetWindowTextW(wnd, pad.first);
    ::SetFocus(wnd);
    ::SetFocus(host_);  // the field loses the focus
    EXPECT_EQ(pad.second, edit_->GetWindowText());
  }
}

TEST_F(EditEx, PasswordFieldStaysMasked) {
  RECT rc{10, 10, 210, 34};
  HWND wnd = Keep<CEditEx>().Create(host_, &rc, nullptr, WS_CHILD | WS_VISIBLE | ES_PASSWORD, 0, 7);
  EXPECT_NE(0, ::SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0));
}

}  // namespace
