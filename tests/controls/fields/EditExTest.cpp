// The filtered edit box: what typing and pasting leave in the field, the left fill,
// the full notification and the password field.
#include <windows.h>

#include <memory>
#include <string>

#include "ControlHost.h"
#include "controls/CEditEx.h"
#include "support/TestEnv.h"

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
    edit_ = std::make_unique<CEditEx>();
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

  std::unique_ptr<CEditEx> edit_;
};

struct TypingRow {
  const char* what;
  Kind kind;
  const wchar_t* before;
  int selStart, selEnd;
  const wchar_t* typed;
  const wchar_t* after;
};

// Typing that the filter lets through, with the selection replaced at the caret.
TEST_F(EditEx, AcceptedTypingLandsAtTheCaret) {
  const TypingRow rows[] = {
      {"hex extras admit their lower case", kHex, L"", 0, 0, L"7aF", L"7aF"},
      {"port up to the maximum", kPort, L"6553", 4, 4, L"5", L"65535"},
      {"a full port takes a digit over a selection", kPort, L"12345", 1, 2, L"9", L"19345"},
      {"underscore after a letter", kPassword, L"", 0, 0, L"a_1", L"a_1"},
      {"plain name fields take Chinese", kName, L"", 0, 0, L"中文名", L"中文名"},
      {"tab and enter insert nothing, backspace works", kName, L"", 0, 0, L"a\t\rbc\b", L"ab"},
      {"typing at the start", kPort, L"553", 0, 0, L"6", L"6553"},
      {"upper-case field", kUpperLetters, L"", 0, 0, L"ab", L"AB"},
  };
  for (const TypingRow& row : rows) {
    SCOPED_TRACE(row.what);
    HWND wnd = Make(row.kind, row.before);
    ::SendMessageW(wnd, EM_SETSEL, row.selStart, row.selEnd);
    Type(wnd, row.typed);
    EXPECT_EQ(row.after, Text());
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
  CEditEx edit;
  RECT rc{10, 10, 210, 34};
  HWND wnd = edit.Create(host_, &rc, nullptr, WS_CHILD | WS_VISIBLE | ES_PASSWORD, 0, kId);
  ASSERT_NE(nullptr, wnd);
  EXPECT_NE(0, ::SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0));
}

TEST_F(EditEx, PasteDropsLineBreaksAndKeepsTheCaretPlace) {
  HWND wnd = Make(kPort, L"15");
  ::SendMessageW(wnd, EM_SETSEL, 1, 1);
  ASSERT_TRUE(::OpenClipboard(host_));
  ::EmptyClipboard();
  const wchar_t text[] = L"2\r\n3";
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  memcpy(::GlobalLock(mem), text, sizeof text);
  ::GlobalUnlock(mem);
  ::SetClipboardData(CF_UNICODETEXT, mem);
  ::CloseClipboard();
  ::SendMessageW(wnd, WM_PASTE, 0, 0);
  EXPECT_EQ(L"1235", Text());
}

}  // namespace
