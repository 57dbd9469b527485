// A console-like window built by the framework itself from a layout that uses the
// console's skins and styles (window frame, caption and area buttons, tab heads,
// panels, buttons), for looking at them with scripts/screenshot.
#include <windows.h>
#include <objbase.h>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

namespace {

const char kLayout[] = R"(<layer title="skins" width="800" height="570" resize="1">
  <header class="mainhead" height="25">
    <text class="dlgtitle" pos="30,7">%str1%</text>
    <imgbtn id="101" class="linkimage" skin="closebtn" pos="-34,4"/>
    <imgbtn id="102" class="linkimage" skin="maxbtn" pos="-72,4"/>
    <imgbtn id="103" class="linkimage" skin="minbtn" pos="-110,4"/>
    <imgbtn id="104" class="linkimage" skin="updatebtn" pos="-148,4"/>
  </header>
  <body class="mainbody">
    <imgbtn id="105" class="linkimage" skin="tabbtnsm" pos="10,4"/>
    <imgbtn id="106" class="linkimage" skin="tabbtnig" pos="116,4"/>
    <imgbtn id="108" class="linkimage" skin="tabbtnlog" pos="222,4"/>
    <imgbtn id="109" class="linkimage" skin="tabbtnreport" pos="328,4"/>
    <dlg pos="0,53,-0,-25" crbg="FBFCFD">
      <tabctrl id="364" pos="0,4,-0,-1" tabwidth="122" tabheight="32" tabskin="tabnormalex"
               tabpos="9" tabspacing="3" framepos="0" text-x="1" text-y="1">
        <tab title="监测策略">
          <dlg class="panel" pos="8,8,-8,228"><text pos="10,10">panel</text></dlg>
          <button id="112" class="normalbtn" pos="8,240,96,260">新建策略</button>
          <button id="113" class="normalbtn" pos="105,240,193,260">修改策略</button>
          <button id="114" class="normalbtn" pos="202,240,290,260">删除策略</button>
          <dlg class="ctlframe" pos="8,280,300,302"><text pos="4,4">C:\Reports</text></dlg>
          <imgbtn id="120" skin="browsebtn" pos="304,281"/>
          <imgbtn id="121" skin="browsedetailbtn" pos="328,281"/>
          <img skin="MonitorCountBK" pos="400,240"/>
          <text class="changecount" pos="403,252">12</text>
        </tab>
        <tab title="策略对象"><dlg class="panel" pos="8,8,-8,-8"/></tab>
        <tab title="历史副本"><dlg class="panel" pos="8,8,-8,-8"/></tab>
      </tabctrl>
    </dlg>
    <text pos="0,-20">状态栏</text>
  </body>
  <footer class="mainfoot" height="6"/>
</layer>)";

class SkinDialog : public CUiDialogImpl<SkinDialog>, public CWHRoundRectFrameHelper<SkinDialog> {
 public:
  BEGIN_MSG_MAP_EX(SkinDialog)
  CHAIN_MSG_MAP(CUiDialogImpl<SkinDialog>)
  CHAIN_MSG_MAP(CWHRoundRectFrameHelper<SkinDialog>)
  END_MSG_MAP()
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  CoInitialize(nullptr);
  UiString::Load(102);
  const wchar_t* face = UiString::Get(0);
  UiFontPool::SetDefaultFont(face ? face : L"宋体", -12);
  UiSkin::LoadSkins(100);
  UiStyle::LoadStyles(101);
  SkinDialog dlg;
  dlg.SetXml(kLayout);
  dlg.DoModal(nullptr);
  CoUninitialize();
  return 0;
}
