// The tri-state tree in a dialog, for a look with scripts/screenshot: host groups with
// their hosts in all four check states, a group without a box, and enough rows for the
// skinned scroll bars.
// Usage: treedemo
#include <windows.h>
#include <commctrl.h>

#include "../ToolStartup.h"
#include "controls/CMulStatusTree.h"
#include "controls/CUIResource.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiStyle.h"

namespace {

const char kLayout[] = R"(<layer title="主机" width="360" height="320">
  <header class="mainhead" height="25"><text class="dlgtitle" pos="30,7">选择目标主机</text></header>
  <body class="mainbody">
    <dlg class="panel" pos="0,0,-0,-0"><realwnd id="100" pos="12,10,-12,-10"/></dlg>
  </body>
  <footer class="mainfoot" height="6"/>
</layer>)";

class TreeDemo : public CUiDialogImpl<TreeDemo>, public CWHRoundRectFrameHelper<TreeDemo> {
 public:
  BEGIN_MSG_MAP_EX(TreeDemo)
    CHAIN_MSG_MAP(CUiDialogImpl<TreeDemo>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<TreeDemo>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    m_tree.Create(GetViewHWnd(), RECT{}, nullptr,
                  WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                      TVS_SHOWSELALWAYS, 0, 100);
    HTREEITEM all = m_tree.InsertTextItem(L"全部服务器", TVI_ROOT, TVI_LAST, EM_TVIS_NONE);
    const wchar_t* groups[] = {L"数据库服务器", L"Web 服务器", L"办公终端"};
    for (int g = 0; g < 3; ++g) {
      HTREEITEM group = m_tree.InsertTextItem(groups[g], all, TVI_LAST, EM_TVIS_UNCHECK);
      for (int h = 0; h < 5; ++h) {
        wchar_t ip[32];
        wsprintfW(ip, L"192.168.%d.%d  一台被监控的主机", 10 + g, 20 + h);
        HTREEITEM host = m_tree.InsertTextItem(ip, group, TVI_LAST, EM_TVIS_UNCHECK);
        if (g == 0 || (g == 1 && h % 2 == 0)) m_tree.SetCheck(host, EM_TVIS_CHECK, TRUE);
      }
      m_tree.Expand(group);
    }
    m_tree.Expand(all);
    return TRUE;
  }

  CMulStatusTree m_tree{CUIResource::GetSkinBitmap(), 101};
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  UiStyle::LoadStyles(101);
  CUIResource::Init();
  {
    TreeDemo dlg;
    dlg.SetXml(kLayout);
    dlg.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
