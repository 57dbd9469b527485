// The filtered edit box: what typing and pasting leave in the field, the left fill,
// the full notification and the password field.
#include <windows.h>

#include <string>

#include "ControlHost.h"
#include "controls/CEditEx.h"
#include "support/ModalScript.h"

namespace {

const UINT kId = 77;

// The field kinds the console's dialogs set up.
enum Kind { kMac, kHex, kPort, kPassword, kName, kDigits, kUpperLetters, kFirstDigit };

void SetUpKind(CEditEx& edit, Kind kind) {
  switch (kind) {
    case kMac:
      edit.SetInputType(CEditEx::kDigits, L"ABCDEF");
      edit.SetLimits(2, CEditEx::kPadOnLeave, '0', TRUE);
      break;
    case kHex:
      edit.SetInputType(CEditEx::kDigits, L"ABCDEF");
      break;
    case kPort:
      edit.SetInputType(CEditEx::kDigits);
      edit.SetLimits(5, 0, 0, FALSE);
      edit.SetNumberRange(0, 65535);
      break;
    case kPassword:
      edit.SetInputType(CEditEx::kLettersDigits, L"_");
      edit.SetLimits(20, 0, 0, FALSE);
      edit.SetInputMode(CEditEx::kFirstLetter);
      break;
    case kName:
      edit.SetLimits(10, 0, 0, FALSE);
      break;
    case kDigits:
      edit.SetInputType(CEditEx::kDigits);
      break;
    case kUpperLetters:
      edit.SetInputType(CEditEx::kLetters);
      break;
    case kFirstDigit:
      edit.SetInputMode(CEditEx::kFirstDigit);
      break;
  }
}

class EditEx : public ControlTest {
 protected:
  HWND Make(Kind kind, const wchar_t* text = L"") {
    edit_ = &Keep<CEditEx>();
    const DWORD upper = kind == kUpperLetters ? ES_UPPERCASE : 0;
    RECT rc{10, 10, 210, 34};
    HWND wnd = edit_->Create(host_, &rc, nullptr, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | upper,
                            0, kId);
    EXPECT_NE(nullptr, wnd);
    SetUpKind(*edit_, kind);
    ::SetWindowTextW(wnd, text);
    ::SetFocus(wnd);
    return wnd;
  }
  std::wstring Text() const { return edit_->GetWindowText(); }

  CEditEx* edit_ = nullptr;
};

struct TypingRow {
  const char* what;
  Kind kind;
  const wchar_t* before;
  int selStart, selEnd;
  const wchar_t* typed;
  const wchar_t* after;
  const wchar_t* warning;  // null: none
};

const wchar_t kDigitsOnly[] = L"此编辑框只可以输入:\n数字";
const wchar_t kPortRange[] = L"输入数字范围错误:\n nMin=0 ~ nMax=65535";
const wchar_t kFirstLetter[] = L"输入错误:\n首字符为 字母";

// What typing leaves in the field (the selection replaced at the caret) and the one
// warning it raises, owned by the field's top-level window.
TEST_F(EditEx, TypingIsJudgedAsTheTextWouldBeAfterIt) {
  const TypingRow rows[] = {
      {"hex extras admit their lower case", kHex, L"", 0, 0, L"7aF", L"7aF", nullptr},
      {"a letter beyond the extras", kHex, L"7", 1, 1, L"g", L"7", L"此编辑框只可以输入:\n数字、ABCDEF"},
      {"a letter in a digits field", kDigits, L"", 0, 0, L"x", L"", kDigitsOnly},
      {"port up to the maximum", kPort, L"6553", 4, 4, L"5", L"65535", nullptr},
      {"port beyond the maximum", kPort, L"6553", 4, 4, L"6", L"6553", kPortRange},
      {"beyond the maximum typing at the start", kPort, L"1000", 0, 0, L"9", L"1000", kPortRange},
      {"within the range typing at the start", kPort, L"553", 0, 0, L"6", L"6553", nullptr},
      {"a full field", kName, L"甲乙丙丁戊己庚辛壬癸", 10, 10, L"k", L"甲乙丙丁戊己庚辛壬癸", L"此编辑框最多只能输入:10字符."},
      {"a full field takes one over a selection", kName, L"abcdefghij", 1, 2, L"z", L"azcdefghij", nullptr},
      {"underscore after a letter", kPassword, L"", 0, 0, L"a_1", L"a_1", nullptr},
      {"a digit first", kPassword, L"", 0, 0, L"1", L"", kFirstLetter},
      {"an underscore first", kPassword, L"", 0, 0, L"_", L"", kFirstLetter},
      {"a digit put before the first letter", kPassword, L"ab", 0, 0, L"1", L"ab", kFirstLetter},
      {"Chinese first with a digit rule", kFirstDigit, L"", 0, 0, L"中", L"", L"输入错误:\n首字符为 数字"},
      {"plain name fields take Chinese", kName, L"", 0, 0, L"中文名", L"中文名", nullptr},
      {"tab and enter insert nothing, backspace works", kName, L"", 0, 0, L"a\t\rbc\b", L"ab", nullptr},
      {"upper-case field", kUpperLetters, L"", 0, 0, L"ab", L"AB", nullptr},
      {"upper-case field refuses a digit", kUpperLetters, L"", 0, 0, L"1", L"", L"此编辑框只可以输入:\n大写字母"},
  };
  for (const TypingRow& row : rows) {
    SCOPED_TRACE(row.what);
    ModalScript script;
    if (row.warning) script.ExpectBox(row.warning);
    HWND wnd = Make(row.kind, row.before);
    ::SendMessageW(wnd, EM_SETSEL, row.selStart, row.selEnd);
    Type(wnd, row.typed);
    EXPECT_EQ(row.after, Text());
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
  EXPECT_EQ(L"7a", Text());
  ASSERT_EQ(1u, host_.notices.size());
  EXPECT_EQ(CEditEx::kNotifyFull, host_.notices[0].code);
  EXPECT_EQ(kId, host_.notices[0].idFrom);
  EXPECT_EQ(wnd, host_.notices[0].from);

  for (const wchar_t* text : {L"7", L"", L"ab"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
    ::SetWindowTextW(wnd, text);
    ::SetFocus(wnd);
    ::SetFocus(host_);
    const std::wstring padded = std::wstring(2 - std::min<size_t>(2, wcslen(text)), L'0') + text;
    EXPECT_EQ(padded, Text());
  }
}

TEST_F(EditEx, PasswordFieldStaysMasked) {
  auto& edit = Keep<CEditEx>();
  RECT rc{10, 10, 210, 34};
  HWND wnd = edit.Create(host_, &rc, nullptr, WS_CHILD | WS_VISIBLE | ES_PASSWORD, 0, kId);
  ASSERT_NE(nullptr, wnd);
  EXPECT_NE(0, ::SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0));
}

void SetClipboardText(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(::OpenClipboard(owner));
  ::EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(::GlobalLock(mem), text.c_str(), bytes);
  ::GlobalUnlock(mem);
  ::SetClipboardData(CF_UNICODETEXT, mem);
  ::CloseClipboard();
}

// Pasting goes in whole at the caret or not at all, under the typing rules.
TEST_F(EditEx, PasteObeysTheTypingRules) {
  const TypingRow rows[] = {
      {"line breaks dropped", kPort, L"15", 1, 1, L"2\r\n3", L"1235", nullptr},
      {"letters in a digits field", kDigits, L"1", 1, 1, L"2ab", L"1", kDigitsOnly},
      {"beyond the length", kName, L"abcdefgh", 8, 8, L"xyz", L"abcdefgh", L"此编辑框最多只能输入:10字符."},
      {"a digit first", kPassword, L"", 0, 0, L"1a", L"", kFirstLetter},
  };
  for (const TypingRow& row : rows) {
    SCOPED_TRACE(row.what);
    ModalScript script;
    if (row.warning) script.ExpectBox(row.warning);
    HWND wnd = Make(row.kind, row.before);
    ::SendMessageW(wnd, EM_SETSEL, row.selStart, row.selEnd);
    SetClipboardText(host_, row.typed);
    ::SendMessageW(wnd, WM_PASTE, 0, 0);
    EXPECT_EQ(row.after, Text());
    EXPECT_EQ(row.warning ? 1u : 0u, script.Boxes().size());
  }
}

TEST_F(EditEx, ABadRangeIsRefusedAndLeavesTheRangeOff) {
  HWND wnd = Make(kDigits);
  ModalScript script;
  script.ExpectBox(L"nMax=5").ExpectBox(L"数字范围设置错误:\nMin=10 ~ Max=5");
  ASSERT_TRUE(edit_->SetNumberRange(0, 5));
  EXPECT_FALSE(edit_->SetNumberRange(-1, 5));
  Type(wnd, L"9");  // the range 0..5 still holds
  EXPECT_EQ(L"", Text());
  EXPECT_FALSE(edit_->SetNumberRange(10, 5));
  Type(wnd, L"99");
  EXPECT_EQ(L"99", Text());
  ASSERT_EQ(2u, script.Boxes().size());
  EXPECT_EQ(L"设置出错", script.Boxes()[1].caption);
}

}  // namespace
