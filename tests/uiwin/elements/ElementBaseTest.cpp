// The element base: string tokens, attributes, the "pos" grammar, loading sizes,
// measuring, state bits, the thread rule and repaint requests.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "ElementTestUtil.h"
#include "platform/TextConv.h"
#include "support/DebugReportCapture.h"
#include "support/ElementHost.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiStatic.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiString.h"

using elemtest::LoadDialog;
using elemtest::Place;

namespace {

// Strings 8801..8803 for the token tests; 8801 itself holds a token that must not be
// expanded again.
void LoadTokenStrings() {
  static bool loaded = false;
  if (loaded) return;
  testenv::TempDir dir;
  const std::string xml =
      "<string><s id=\"8801\">one%str8802%</s><s id=\"8802\">二</s>"
      "<s id=\"8803\"></s></string>";
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"8800.xml"), xml));
  UiResUtil::SetResourceDirectory(dir.Path().c_str());
  ASSERT_TRUE(UiString::Load(8800));
  UiResUtil::SetResourceDirectory(L"");
  loaded = true;
}

struct TokenCase {
  const wchar_t* in;
  const wchar_t* out;
};

TEST(ElementText, StringTokens) {
  LoadTokenStrings();
  DebugReportCapture reports;  // a missing id reports; that is expected here
  const TokenCase cases[] = {
      {L"%str8802%", L"二"},
      // Adjacent tokens; inserted text is not scanned again.
      {L"A%str8801%%str8802%B", L"Aone%str8802%二B"},
      {L"%str8803%x", L"x"},                       // empty string
      {L"a%str999999%b", L"ab"},                   // missing id vanishes
      {L"x%str0%%str8802%", L"x%str0%%str8802%"},  // id 0 stops the scan
      {L"%strab%%str8802%", L"%strab%%str8802%"},  // letters stop the scan
      {L"%str8802%%str8802", L"二%str8802"},       // unclosed token stays
      {L"%str8802abc%!", L"二!"},                  // token ends at the next %
      {L"no tokens", L"no tokens"},
      {L"%str-5%", L"%str-5%"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::wstring(c.out), CUiWindow::ReplaceStringTokens(c.in)) << qv::WideToUtf8(c.in);
}

TEST(ElementText, LoadReplacesTokensInInnerText) {
  LoadTokenStrings();
  auto dlg = LoadDialog("<dlg><text id=\"1\">[%str8802%]</text></dlg>");
  CUiWindow* text = dlg->FindChildByCmdID(1);
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(L"[二]", text->GetInnerText());
}

struct AttrCase {
  const char* name;
  const char* value;
  HRESULT result;
};

TEST(ElementAttributes, ResultsColoursFontKeysAndInvalidWords) {
  // S_FALSE asks for a repaint only, S_OK for a new layout; E_FAIL is unknown or invalid.
  CUiStatic wnd;
  const AttrCase cases[] = {
      {"class", "nosuchclass", S_OK}, {"id", "42", S_FALSE},          {"crbg", "FF0000", S_FALSE},
      {"valign", "middle", S_OK},      {"align", "right", S_OK},       {"pos", "1,2", S_FALSE},
      {"valign", "centre", E_FAIL},    {"align", "middle", E_FAIL},    {"show", "0", E_FAIL},
      {"width", "10", E_FAIL},         {"float", "1", E_FAIL},         {"ID", "1", E_FAIL},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.result, wnd.SetAttribute(c.name, c.value, FALSE)) << c.name << "=" << c.value;
  EXPECT_EQ(0x0000FFu, wnd.GetStyle().crbg);  // RRGGBB text, COLORREF value
  // Invalid alignment words keep the old values.
  EXPECT_EQ(static_cast<DWORD>(UiWndAlign_Middle), wnd.GetVAlign());
  EXPECT_EQ(static_cast<DWORD>(UiWndAlign_Right), wnd.GetHAlign());
  EXPECT_TRUE(wnd.IsVisible(FALSE));  // "show" is read by Load only

  wnd.SetAttribute("crbg", "FFFFF", TRUE);
  EXPECT_EQ(0x0FFFFFu, wnd.GetStyle().crbg);
  wnd.SetAttribute("crbg", "Z03456", TRUE);
  EXPECT_EQ(0x563400u, wnd.GetStyle().crbg);
  wnd.SetAttribute("font", "FF00", TRUE);
  EXPECT_EQ(UiFontPool::GetFont(0xFF00), wnd.GetStyle().font);
  wnd.SetAttribute("font", "1x", TRUE);
  EXPECT_EQ(UiFontPool::GetFont(0), wnd.GetStyle().font);
}

struct PosCase {
  const char* value;
  int count;
  UiPosItem items[4];
};

TEST(ElementPosition, Grammar) {
  const PosCase cases[] = {
      {"10,20", 2, {{0, 0, 10}, {0, 0, 20}}},
      {"0,0,-0,-0", 4, {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0}}},
      {"150,0,-0,-0", 4, {{0, 0, 150}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0}}},
      {"|-50,10", 2, {{1, 1, 50}, {0, 0, 10}}},
      {"|5,-7,,x", 4, {{1, 0, 5}, {0, 1, 7}, {0, 0, 0}, {0, 0, 0}}},
      {"1,2,3,4,5", 4, {{0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 0, 4}}},
      {"-|5,1", 2, {{0, 1, 0}, {0, 0, 1}}},  // bar must come first: "|5" reads as 0
      {"1,2,3", 0, {}},
      {"7", 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    CUiStatic wnd;
    EXPECT_EQ(S_FALSE, wnd.SetAttribute("pos", c.value, TRUE));
    ASSERT_EQ(c.count, wnd.GetPosCount());
    for (int i = 0; i < c.count; ++i) {
      EXPECT_EQ(!!c.items[i].bCenter, !!wnd.GetPosItem(i).bCenter) << i;
      EXPECT_EQ(!!c.items[i].bFar, !!wnd.GetPosItem(i).bFar) << i;
      EXPECT_EQ(c.items[i].nValue, wnd.GetPosItem(i).nValue) << i;
    }
    if (c.count) {
      EXPECT_EQ(static_cast<DWORD>(UiWndPos_WidthAuto | UiWndPos_HeightAuto),
                wnd.GetPositionType() & (UiWndPos_WidthMask | UiWndPos_HeightMask));
    }
  }
  // An empty value changes nothing; an invalid one clears an earlier position.
  CUiStatic wnd;
  wnd.SetAttribute("pos", "1,2", TRUE);
  EXPECT_EQ(S_FALSE, wnd.SetAttribute("pos", "", TRUE));
  EXPECT_EQ(2, wnd.GetPosCount());
  wnd.SetAttribute("pos", "1,2,3", TRUE);
  EXPECT_EQ(0, wnd.GetPosCount());
}

TEST(ElementLoad, SizesFromWidthHeightAndPos) {
  auto dlg = LoadDialog(
      "<dlg>"
      "<text id=\"1\" pos=\"10,20\" width=\"77\" height=\"33\" float=\"1\">Hello</text>"
      "<text id=\"2\" pos=\"1,2,3\" width=\"40\" height=\"30\">x</text>"
      "<text id=\"3\" width=\"full\">Hello</text>"
      "<text id=\"4\" width=\"0\" height=\"abc\">Hello</text>"
      "<text id=\"5\" show=\"0\" float=\"1\">x</text>"
      "</dlg>");
  CUiWindow* w1 = dlg->FindChildByCmdID(1);
  CUiWindow* w2 = dlg->FindChildByCmdID(2);
  CUiWindow* w3 = dlg->FindChildByCmdID(3);
  CUiWindow* w4 = dlg->FindChildByCmdID(4);
  CUiWindow* w5 = dlg->FindChildByCmdID(5);
  ASSERT_TRUE(w1 && w2 && w3 && w4 && w5);

  // A valid pos: auto sizes, and width, height and float are not read.
  EXPECT_EQ(static_cast<DWORD>(UiWndPos_WidthAuto | UiWndPos_HeightAuto), w1->GetPositionType());
  EXPECT_EQ(0, w1->GetFixedWidth());
  // Three items are no position: width and height are read.
  EXPECT_EQ(0, w2->GetPosCount());
  EXPECT_EQ(static_cast<DWORD>(UiWndPos_WidthFixed | UiWndPos_HeightFixed | UiWndPos_NotFloat),
            w2->GetPositionType());
  EXPECT_EQ(40, w2->GetRect().right);
  EXPECT_EQ(30, w2->GetRect().bottom);
  // "full" width with no height: full width, auto height measured from the text.
  EXPECT_EQ(static_cast<DWORD>(UiWndPos_WidthFull | UiWndPos_HeightAuto | UiWndPos_NotFloat),
            w3->GetPositionType());
  EXPECT_EQ(0, w3->GetRect().right);
  EXPECT_GT(w3->GetRect().bottom, 0);
  // 0 and letters are auto: measured from the text.
  EXPECT_EQ(static_cast<DWORD>(UiWndPos_WidthAuto | UiWndPos_HeightAuto | UiWndPos_NotFloat),
            w4->GetPositionType());
  EXPECT_GT(w4->GetRect().right, 0);
  EXPECT_EQ(w3->GetRect().bottom, w4->GetRect().bottom);
  EXPECT_FALSE(w5->IsVisible(FALSE));
  EXPECT_TRUE(w5->GetPositionType() & UiWndPos_Float);
}

TEST(ElementLoad, TwoItemPositionMeasuresTheText) {
  auto dlg = LoadDialog(
      "<dlg><text id=\"1\" pos=\"10,20\">Hello</text><text id=\"2\" pos=\"|-20,-30\">Hello</text>"
      "</dlg>");
  Place(dlg.get(), 0, 0, 300, 200);
  CUiWindow* text = dlg->FindChildByCmdID(1);
  ASSERT_NE(nullptr, text);
  const RECT rc = text->GetRect();
  EXPECT_EQ(10, rc.left);
  EXPECT_EQ(20, rc.top);
  // Measured with the default font on a desktop DC.
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, UiFontPool::GetFont(0));
  RECT want{0, 0, 0, 0};
  ::DrawTextW(dc, L"Hello", -1, &want, DT_SINGLELINE | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  EXPECT_EQ(want.right, rc.right - rc.left);
  EXPECT_EQ(want.bottom, rc.bottom - rc.top);
  EXPECT_GT(want.right, 0);
  // Centre and far edge place the corner; the size is still the measured one.
  const RECT corner = dlg->FindChildByCmdID(2)->GetRect();
  EXPECT_EQ(130, corner.left);
  EXPECT_EQ(170, corner.top);
  EXPECT_EQ(want.right, corner.right - corner.left);

  // A longer text re-measures an auto size; the position stays.
  text->SetInnerText(L"Hello Hello");
  EXPECT_EQ(10, text->GetRect().left);
  EXPECT_GT(text->GetRect().right - 10, want.right);
  text->SetInnerText(nullptr);
  EXPECT_EQ(L"", text->GetInnerText());
}

TEST(ElementState, ModifyStateAndInheritedBits) {
  auto dlg = LoadDialog("<dlg id=\"1\"><dlg id=\"2\"><text id=\"3\">x</text></dlg></dlg>");
  CUiWindow* mid = dlg->FindChildByCmdID(2);
  CUiWindow* leaf = dlg->FindChildByCmdID(3);
  ASSERT_TRUE(mid && leaf);
  EXPECT_EQ(0u, leaf->ModifyState(UiWndState_Hover | UiWndState_Check, 0));
  EXPECT_EQ(static_cast<DWORD>(UiWndState_Hover | UiWndState_Check),
            leaf->ModifyState(UiWndState_PushDown, UiWndState_Hover));
  EXPECT_EQ(static_cast<DWORD>(UiWndState_PushDown | UiWndState_Check), leaf->GetState());
  EXPECT_TRUE(leaf->IsChecked());

  dlg->ModifyState(UiWndState_Disable | UiWndState_Invisible, 0);
  EXPECT_TRUE(leaf->IsVisible(FALSE));
  EXPECT_FALSE(leaf->IsVisible(TRUE));
  EXPECT_FALSE(leaf->IsDisabled(FALSE));
  EXPECT_TRUE(leaf->IsDisabled(TRUE));
  dlg->ModifyState(0, UiWndState_Disable | UiWndState_Invisible);
  EXPECT_TRUE(leaf->IsVisible(TRUE));
  mid->UiSendMessage(WM_SHOWWINDOW, FALSE, 0);
  EXPECT_FALSE(leaf->IsVisible(TRUE));
  mid->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_TRUE(leaf->IsVisible(TRUE));
}

// Records the text colour and font that painting selects.
class ColourProbe : public CUiStatic {
 public:
  using CUiStatic::m_style;
  COLORREF painted = 0;
  HGDIOBJ font = nullptr;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override {
    if (uMsg == WM_PAINT) {
      HDC dc = reinterpret_cast<HDC>(wParam);
      TextDCState saved;
      PrepareTextDC(dc, saved);
      painted = ::GetTextColor(dc);
      font = ::GetCurrentObject(dc, OBJ_FONT);
      RestoreTextDC(dc, saved);
      SetMsgHandled(TRUE);
      return TRUE;
    }
    return CUiStatic::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
  }
};

TEST(ElementPaint, ColoursAndFontsByState) {
  auto dlg = LoadDialog("<dlg/>");
  dlg->Style().crtext = 0x000001;
  dlg->Style().font = UiFontPool::GetFont(0x0004);
  auto* probe = new ColourProbe;
  dlg->Adopt(probe);
  probe->m_style.crdisabled = 0x0000FF;
  probe->m_style.crhover = 0x00FF00;
  probe->m_style.hoverfont = UiFontPool::GetFont(0x0001);
  Place(dlg.get(), 0, 0, 100, 100);
  Place(probe, 0, 0, 50, 20);

  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, 0x123456);
  auto paint = [&] { return dlg->RedrawRegion(dc, nullptr); };
  ASSERT_TRUE(paint());
  EXPECT_EQ(0x000001u, probe->painted);  // inherited from the panel
  EXPECT_EQ(UiFontPool::GetFont(0x0004), probe->font);
  probe->ModifyState(UiWndState_Hover, 0);
  paint();
  EXPECT_EQ(0x00FF00u, probe->painted);
  EXPECT_EQ(UiFontPool::GetFont(0x0001), probe->font);
  // A disabled ancestor makes it paint in crdisabled although its own bit is clear.
  dlg->ModifyState(UiWndState_Disable, 0);
  paint();
  EXPECT_EQ(0x0000FFu, probe->painted);
  EXPECT_EQ(UiFontPool::GetFont(0x0004), probe->font);  // no hover font while disabled
  // Everything selected for painting is put back.
  EXPECT_EQ(0x123456u, ::GetTextColor(dc));
  ::DeleteDC(dc);
}

TEST(ElementThread, SystemMessagesOnlyFromTheElementThread) {
  CUiStatic wnd;
  DebugReportCapture reports;
  std::thread([&] {
    wnd.UiSendMessage(WM_USER + 1, 0, 0);
    wnd.UiSendMessage(WM_DESTROY, 0, 0);
    wnd.UiSendMessage(WM_CLOSE, 0, 0);
  }).join();
  EXPECT_TRUE(reports.Reports().empty());
  std::thread([&] { wnd.UiSendMessage(WM_SHOWWINDOW, FALSE, 0); }).join();
  ASSERT_EQ(1u, reports.Reports().size());
  EXPECT_EQ("bOK", reports.Reports()[0].text);
  EXPECT_EQ("uiwnd", reports.Reports()[0].source);
  EXPECT_FALSE(wnd.IsVisible(FALSE));  // delivered all the same
  wnd.UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  EXPECT_EQ(1u, reports.Reports().size());
}

TEST(ElementNotify, InvalidateRequestOnlyWhileVisible) {
  ElementHost host;
  auto dlg = LoadDialog("<dlg><text id=\"77\">x</text></dlg>");
  CUiWindow* text = dlg->FindChildByCmdID(77);
  ASSERT_NE(nullptr, text);
  const RECT rc{1, 2, 3, 4};
  text->NotifyInvalidateRect(rc);  // no container window yet
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
  dlg->SetContainer(host.View());
  text->NotifyInvalidateRect(rc);
  auto sent = host.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(host.View(), sent[0].to);
  EXPECT_EQ(77u, sent[0].wParam);
  EXPECT_EQ(nullptr, sent[0].hwndFrom);
  EXPECT_EQ(77u, sent[0].idFrom);
  EXPECT_EQ(text->GetHandle(), sent[0].huiWnd);
  EXPECT_TRUE(::EqualRect(&rc, &sent[0].rc));
  dlg->SetVisible(FALSE);
  text->NotifyInvalidateRect(rc);
  EXPECT_EQ(1u, host.Notices(UINM_INVALIDATERECT).size());
}

}  // namespace
