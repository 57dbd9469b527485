// Opens a layout in a dialog, the way the console runs its windows, for looking at the
// frame, the header and the text with scripts/screenshot.
//   layoutview              a built-in dialog
//   layoutview 557          the layout resource of that id
//   layoutview Z:\x.xml     a layout file (UTF-8)
// The close button (item 2), Esc and Alt+F4 end it.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiStyle.h"
#include "../ToolStartup.h"

namespace {

const char kDemoLayout[] = R"(<layer title="布局预览" width="420" height="260">
  <header height="25" class="mainhead">
    <text pos="10,6" class="dlgtitle">布局预览 Layout preview</text>
    <imgbtn id="2" pos="-34,0,-4,21" skin="closebtn" tip="关闭"/>
  </header>
  <body class="childbody">
    <dlg pos="10,10,-10,-10" class="panel">
      <text pos="12,12" crtext="000000">这是对话框的正文。</text>
      <text pos="12,36" crtext="000000">The body of a dialog: a panel with two lines of text,</text>
      <text pos="12,54" crtext="000000">and two buttons at the bottom right.</text>
      <button id="1" pos="-180,-36,-100,-12" class="normalbtn">确定</button>
      <button id="2" pos="-90,-36,-10,-12" class="normalbtn">取消</button>
    </dlg>
  </body>
  <footer height="6" class="mainfoot"/>
</layer>)";

class CLayoutViewDlg : public CUiDialogImpl<CLayoutViewDlg>,
                       public CWHRoundRectFrameHelper<CLayoutViewDlg> {
 public:
  BEGIN_MSG_MAP_EX(CLayoutViewDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CLayoutViewDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CLayoutViewDlg>)
  END_MSG_MAP()

  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (item == IDOK || item == IDCANCEL)
      EndDialog(item);
    else
      bHandled = FALSE;
    return 0;
  }
};

BOOL LoadLayout(CLayoutViewDlg& dlg, const wchar_t* arg) {
  if (!arg || !*arg) return dlg.SetXml(kDemoLayout);
  wchar_t* end = nullptr;
  unsigned long id = std::wcstoul(arg, &end, 10);
  if (end && !*end) return dlg.Load(static_cast<UINT>(id));
  HANDLE file = ::CreateFileW(arg, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
  ::CloseHandle(file);
  return dlg.SetXml(text.c_str());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  UiStyle::LoadStyles(101);

  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  CLayoutViewDlg dlg;
  UINT result = 0;
  if (LoadLayout(dlg, argc > 1 ? argv[1] : nullptr)) result = dlg.DoModal();
  ::LocalFree(argv);
  return static_cast<int>(result);
}
