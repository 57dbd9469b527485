// Modal UI under test: real message boxes built and answered by a modal script, real
// dialogs initialised and clicked inside their own modal loops, the shell's choosers
// answered by a fake with real files behind the chosen paths, and a fixed local clock.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "console/LocalClock.h"
#include "support/FakeShellServices.h"
#include "support/ModalScript.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiMessageBox.h"

namespace {

// A name dialog as the console writes them: an edit box made at initialisation, and a
// save button whose handler checks the name with one box and asks with another.
class NameDlg : public CUiDialogImpl<NameDlg>, public CWHRoundRectFrameHelper<NameDlg> {
 public:
  BEGIN_MSG_MAP_EX(NameDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<NameDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<NameDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()
  NameDlg() {
    SetXml(R"(<layer title="策略名称" width="300" height="120"><body><text id="20" pos="10,10,200,30"/><button id="10" pos="10,80,90,105">保存</button></body></layer>)");
  }
  std::wstring name;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 40, 200, 22, GetViewHWnd(),
                      reinterpret_cast<HMENU>(100), nullptr, nullptr);
    SetItemText(20, L"请输入名称");
    return TRUE;
  }
  LRESULT OnCommand(int, LPNMHDR pnmh, BOOL&) {
    if (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID != 10) return 0;
    wchar_t text[64] = L"";
    ::GetDlgItemTextW(GetViewHWnd(), 100, text, 64);
    if (!*text) {
      UiMessageBox(L"名称不能为空", L"注意");
    } else if (UiMessageBox(L"保存吗？", L"提示", MB_YESNO | MB_ICONQUESTION) == IDYES) {
      name = text;
      EndDialog(IDOK);
    }
    return 0;
  }
};

TEST(ModalUi, ADialogRunsItsHandlersInItsLoopAndTheirBoxesComeNextInTheScript) {
  const struct { const wchar_t* typed; const wchar_t* box; int answer; UINT end; const wchar_t* saved; } rows[] = {
      {L"策略一", L"保存吗", IDYES, IDOK, L"策略一"},  // the handler ends the dialog
      {L"策略二", L"保存吗", IDNO, IDCANCEL, L""},     // left running: the script's code
      {L"策略三", L"保存吗", UiModalScript::kFirstButton, IDOK, L"策略三"},
      {L"", L"名称不能为空", IDOK, IDCANCEL, L""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.box);
    NameDlg dlg;
    ModalScript script;
    HWND frame = nullptr;
    script.ExpectDialog([&](UiDialogDriver& d) {
      EXPECT_EQ(L"请输入名称", d.ItemText(20));  // initialisation ran first
      EXPECT_TRUE(d.IsOpenAndShown());
      EXPECT_TRUE(d.Type(100, row.typed) && d.Click(10));
      // Ended by its handler, the window is still there until the loop returns.
      EXPECT_TRUE(::IsWindowVisible(d.Frame()));
      EXPECT_EQ(row.end != IDOK, d.IsOpenAndShown());
      frame = d.Frame();
    });
    script.ExpectBox(row.box, row.answer);
    EXPECT_EQ(row.end, dlg.DoModal());
    EXPECT_EQ(row.saved, dlg.name);
    ASSERT_EQ(1u, script.Boxes().size());
    EXPECT_EQ(frame, script.Boxes()[0].owner);
  }
}

TEST(ModalUi, WhatTheScriptDidNotForeseeFailsWithItsTextAndEndsAtOnce) {
  // An unanswered question is no yes; an unscripted dialog ends as if never run.
  EXPECT_NONFATAL_FAILURE({ ModalScript s; EXPECT_EQ(-1, UiMessageBox(L"确定删除所选策略吗？", 0, MB_YESNO)); },
                          "确定删除所选策略吗");
  EXPECT_NONFATAL_FAILURE({ ModalScript s; EXPECT_EQ(0u, NameDlg().DoModal()); }, "dialog \"策略名称\" not scripted");
  EXPECT_NONFATAL_FAILURE({ ModalScript s; s.ExpectBox(L"", IDOK); UiMessageBox(L"删除", 0, MB_YESNO); },
                          "has no button 1");
  EXPECT_NONFATAL_FAILURE({ ModalScript s; s.ExpectBox(L"覆盖"); }, "\"覆盖\" never shown");
}

// An export as a page writes it: the save dialog names the file, the page writes it
// and opens it in Notepad.
BOOL ExportReports() {
  std::wstring path;
  if (!ShellServices::Current().ChooseSaveFile({L"report", L"xml", L"XML 文件(*.xml)", L"*.xml", 0}, path))
    return FALSE;
  return testfiles::WriteBytes(path, "<reports/>") && ShellServices::Current().StartProgram(L"notepad.exe", path);
}

TEST(ModalUi, AChosenChinesePathReachesThePageAndTheFile) {
  testenv::TempDir dir;
  const std::wstring chosen = dir.File(L"二月 报告.xml");
  for (bool confirm : {false, true}) {
    SCOPED_TRACE(confirm);
    FakeShellServices fake;
    fake.Choose(ShellServices::kSaveFile, chosen, confirm);
    EXPECT_EQ(confirm, !!ExportReports());
    EXPECT_EQ(confirm, ::GetFileAttributesW(chosen.c_str()) != INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(confirm ? 2u : 1u, fake.Calls().size()) << "Notepad on the file once written";
  }
}

TEST(ModalUi, AFixedClockIsWhatRowIdsAndTimeTextsSay) {
  LocalClock::Fix fix(SYSTEMTIME{2024, 3, 2, 5, 7, 8, 9, 7});
  EXPECT_EQ(L"20240305070809007", LocalClock::RowId());
  EXPECT_EQ(L"2024-03-05 07:08:09", LocalClock::TimeText());
}

}  // namespace
