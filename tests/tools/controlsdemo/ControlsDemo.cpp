// The skinned small controls together in a dialog, for a look with scripts/screenshot:
// filtered edit boxes (name, port, the six fields of a MAC address, password), combo
// boxes (one closed, one open), an up-down control on its edit box, an IP address
// field, a list box with a line wider than itself and a rich-edit log.
// Usage: controlsdemo
#include <windows.h>

#include "../ToolStartup.h"
#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CIPAddressCtrlEx.h"
#include "controls/CListBoxEx.h"
#include "controls/CUIResource.h"
#include "controls/CUpDownCtrlEx.h"
#include "controls/RichEditLog.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiStyle.h"

namespace {

// The controls are placed by the layout's real-window elements, by control id.
const char kLayout[] = R"(<layer title="控件" width="640" height="380">
  <header class="mainhead" height="25"><text class="dlgtitle" pos="30,7">小控件一览</text></header>
  <body class="mainbody">
    <dlg class="panel" pos="0,0,-0,-0">
      <text pos="16,14">策略名称：</text>  <realwnd id="1" pos="96,10,296,32"/>
      <text pos="16,46">端口：</text>      <realwnd id="2" pos="96,42,156,64"/>
      <text pos="16,78">MAC 地址：</text>
      <realwnd id="10" pos="96,74,124,96"/>  <realwnd id="11" pos="129,74,157,96"/>
      <realwnd id="12" pos="162,74,190,96"/> <realwnd id="13" pos="195,74,223,96"/>
      <realwnd id="14" pos="228,74,256,96"/> <realwnd id="15" pos="261,74,289,96"/>
      <text pos="16,110">密码：</text>      <realwnd id="3" pos="96,106,296,128"/>
      <text pos="16,142">监测类型：</text>  <realwnd id="20" pos="96,138,296,288"/>
      <text pos="16,238">执行周期：</text>  <realwnd id="21" pos="96,234,296,384"/>
      <text pos="16,174">IP 地址：</text>   <realwnd id="5" pos="96,170,246,192"/>
      <text pos="16,206">间隔天数：</text>  <realwnd id="6" pos="96,202,136,224"/>
      <realwnd id="7" pos="136,202,152,224"/>
      <text pos="320,14">规则列表：</text>  <realwnd id="8" pos="320,34,616,134"/>
      <text pos="320,146">运行日志：</text>  <realwnd id="9" pos="320,166,616,320"/>
    </dlg>
  </body>
  <footer class="mainfoot" height="6"/>
</layer>)";

class ControlsDemo : public CUiDialogImpl<ControlsDemo>, public CWHRoundRectFrameHelper<ControlsDemo> {
 public:
  BEGIN_MSG_MAP_EX(ControlsDemo)
    CHAIN_MSG_MAP(CUiDialogImpl<ControlsDemo>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<ControlsDemo>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    HWND view = GetViewHWnd();
    const DWORD field = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    m_name.Create(view, nullptr, L"每日巡检策略", field, 0, 1);
    m_name.SetLimits(30, 0, 0, FALSE);
    m_port.Create(view, nullptr, L"4667", field, 0, 2);
    m_port.SetInputType(CEditEx::kDigits);
    m_port.SetNumberRange(0, 65535);
    const wchar_t* mac[] = {L"00", L"1A", L"2B", L"3C", L"4D", L"5E"};
    for (int i = 0; i < 6; ++i) {
      m_mac[i].Create(view, nullptr, mac[i], field | ES_UPPERCASE, 0, 10 + i);
      m_mac[i].SetInputType(CEditEx::kDigits, L"ABCDEF");
      m_mac[i].SetLimits(2, CEditEx::kPadOnLeave, '0', TRUE);
    }
    m_password.Create(view, nullptr, L"tamuk", field | ES_PASSWORD, 0, 3);
    for (int i = 0; i < 2; ++i) {
      m_combo[i].Create(view, RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, 20 + i);
      for (const wchar_t* text : {L"文件完整性", L"注册表", L"服务", L"应用程序"}) m_combo[i].AddString(text);
      m_combo[i].SetCurSel(2 * i);
    }
    // The system's address field lays its four fields out once, at its creation size.
    m_ip.Create(view, RECT{0, 0, 150, 22}, nullptr, WS_CHILD | WS_VISIBLE, 0, 5);
    m_ip.SetAddress(MAKEIPADDRESS(192, 168, 10, 25));
    m_days.Create(view, nullptr, L"7", field | ES_NUMBER, 0, 6);
    m_spin.Create(view, RECT{}, nullptr, WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, 0, 7);
    m_spin.SetBuddy(m_days);
    m_spin.SetRange(1, 31);
    m_spin.SetPos(7);
    m_list.Create(view, RECT{}, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL, 0, 8);
    for (const wchar_t* line : {L"允许  C:\\Windows\\System32\\svchost.exe",
                                L"禁止  C:\\Users\\Public\\Downloads\\未知程序的一个很长的名字.exe",
                                L"允许  C:\\Program Files\\Quorvane\\QvAgent.exe"})
      m_list.AddString(line);
    HWND log = RichEditCreate(view, 9, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                              CUIResource::GetSkinBitmap(), 3200);
    for (int i = 0; i < 12; ++i) {  // enough lines for the skinned vertical bar
      const BOOL failed = i % 3 == 2;
      RichEditAppendText(log, L"2026-12-06 10:00:01 ", FALSE, RGB(0, 0, 0));
      RichEditAppendText(log, failed ? L"客户端 192.168.10.25 连接失败" : L"策略已下发", failed,
                         failed ? RGB(0xFF, 0, 0) : RGB(0, 0x80, 0));
      RichEditAppendNewLine(log);
    }
    // Filled while it had no size yet; Wine's rich edit keeps the scroll position of
    // then, past the end of the text once the layout has sized it.
    ::PostMessageW(log, WM_VSCROLL, SB_BOTTOM, 0);
    // Open the second combo box once the dialog shows, to show its items.
    m_combo[1].PostMessage(CB_SHOWDROPDOWN, TRUE);
    return TRUE;
  }

  CEditEx m_name, m_port, m_password, m_days, m_mac[6];
  CComboBoxCtrlEx m_combo[2];
  CIPAddressCtrlEx m_ip;
  CUpDownCtrlEx m_spin;
  CListBoxEx m_list{CUIResource::GetSkinBitmap(), 3100};
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  UiStyle::LoadStyles(101);
  CUIResource::Init();
  {
    ControlsDemo dlg;
    dlg.SetXml(kLayout);
    dlg.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
