// Shows the element kinds in a dialog for looking at them with scripts/screenshot:
// a tab strip with a selected, a hovered and a plain head over its frame, and a
// rich-text block with bold, italic, underlined runs and a link, beside a check
// box, radios and a progress bar. The close button, Esc and Alt+F4 end it.
#include <windows.h>

#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiStyle.h"
#include "../ToolStartup.h"

namespace {

const char kLayout[] = R"(<layer title="元素预览" width="540" height="360">
  <header height="25" class="mainhead">
    <text pos="10,6" class="dlgtitle">元素预览 Elements</text>
    <imgbtn id="2" pos="-34,0,-4,21" skin="closebtn" tip="关闭"/>
  </header>
  <body class="childbody">
    <dlg pos="6,6,-6,-6" class="panel">
      <tabctrl id="364" pos="0,4,-0,150" tabwidth="122" tabheight="32" tabskin="tabnormalex"
               frameskin="tabpage" tabpos="9" tabspacing="3" framepos="0" text-x="1" text-y="1"
               cursel="1" crtext="000000">
        <tab title="策略管理"><text pos="20,20" crtext="000000">第一页</text></tab>
        <tab title="监测对象"><text pos="20,20" crtext="000000">第二页：选中的标签</text>
          <check id="11" pos="20,50" crtext="000000">下次不再提示</check>
          <radio id="12" pos="20,75" group="demo" crtext="000000">全部主机</radio>
          <radio id="13" pos="120,75" group="demo" crtext="000000">选定主机</radio>
          <progress id="14" pos="240,50,480,66" min="0" max="100" value="62" showpercent="1"
                    crtext="000000"/>
        </tab>
        <tab title="历史副本"><text pos="20,20" crtext="000000">第三页</text></tab>
      </tabctrl>
      <richtext id="20" pos="12,162,-12,-8" linkclass="demolink" crtext="000000"><b>富文本</b>：普通文字，<i>斜体</i>，<u>下划线</u>，<b><i>粗斜体</i></b>。<br/>第二行带一个链接：<a id="7001">查看详情</a>，链接之后的文字接着排，长的内容会在右边界处换行继续显示。</richtext>
    </dlg>
  </body>
  <footer height="6" class="mainfoot"/>
</layer>)";

// The shipped styles plus one for links, which the console's own layouts never need.
void LoadStylesWithLinkClass() {
  std::string styles;
  if (!UiResUtil::LoadUiResource(101, styles, L"xml")) return;
  const size_t end = styles.rfind("</style>");
  if (end == std::string::npos) return;
  styles.insert(end,
                "<class name=\"demolink\" crtext=\"0060C0\" crhover=\"E06000\" font=\"0002\" "
                "hoverfont=\"0002\"/>\n");
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  const std::wstring dir = std::wstring(base) + L"qv-elementsdemo";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring file = dir + L"\\9101.xml";
  HANDLE f = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(f, styles.data(), static_cast<DWORD>(styles.size()), &written, nullptr);
  ::CloseHandle(f);
  UiResUtil::SetResourceDirectory(dir.c_str());
  UiStyle::LoadStyles(9101);
  UiResUtil::SetResourceDirectory(L"");
  ::DeleteFileW(file.c_str());
  ::RemoveDirectoryW(dir.c_str());
}

class CElementsDemoDlg : public CUiDialogImpl<CElementsDemoDlg>,
                         public CWHRoundRectFrameHelper<CElementsDemoDlg> {
 public:
  BEGIN_MSG_MAP_EX(CElementsDemoDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CElementsDemoDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CElementsDemoDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (item == IDOK || item == IDCANCEL)
      EndDialog(item);
    else
      bHandled = FALSE;
    return 0;
  }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    SetItemCheck(11, TRUE);
    SetItemCheck(13, TRUE);
    ::SetTimer(m_hWnd, 1, 300, nullptr);
    return TRUE;
  }
  // Once laid out, the third head is shown as hovered (no real mouse is there).
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
    ::KillTimer(m_hWnd, 1);
    if (CUiWindow* tab = FindChildByCmdID(364)) {
      RECT head;
      if (static_cast<CUiTabCtrl*>(tab)->GetItemRect(2, &head))
        tab->UiSendMessage(WM_MOUSEMOVE, 0,
                           MAKELPARAM((head.left + head.right) / 2, (head.top + head.bottom) / 2));
    }
    RedrawAll();
    return 0;
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  LoadStylesWithLinkClass();

  CElementsDemoDlg dlg;
  UINT result = 0;
  if (dlg.SetXml(kLayout)) result = dlg.DoModal();
  return static_cast<int>(result);
}
