// The active-monitoring page and the filter editor, for looking at them with
// scripts/screenshot (data from the data source of CONFIG, see scripts/mkdb):
//   hipsview.exe CONFIG page [PORT] the main window with the area's tab layout given the
//                                   page's tab (it ships without one), the page open;
//                                   its link on PORT (default 4667), so that the pickers
//                                   list what the service stand-in answers there
//   hipsview.exe CONFIG editor N    the editor, new mode, category combo index N (0-3),
//                                   one rule in its list
//   hipsview.exe CONFIG modify ID   the editor on filter ID
//   hipsview.exe CONFIG trust       the trust relations
//   hipsview.exe CONFIG trustedit T the editor of a relation of type T
//   hipsview.exe CONFIG picker N    object picker N: 0 strategy target, 1 object host,
//                                   2 object content (its D:\WebSite\Main checked)
// Every view can be used by hand: boxes show as in the console (see ToolModalHook.h
// for the answers scripts/screenshot-all gives them) and the pickers open.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "../ToolModalHook.h"
#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "integrity/CQvHIPSNRRuleTargetDlg.h"
#include "integrity/CQvHIPSNewRuleDlg.h"
#include "integrity/CQvHIPSTRNRDetailTDlg.h"
#include "integrity/CQvHIPSTRNRTargetDlg.h"
#include "integrity/CQvHIPSTRNewTrustDlg.h"
#include "integrity/CQvHIPSTrustDlg.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiStyle.h"

namespace {

// The area's tab layout with its commented-out tab restored, in a folder the resource
// loader reads before the executable's own resources.
std::wstring WriteTestLayout() {
  std::string xml;
  if (!UiResUtil::LoadUiResource(507, xml, L"xml")) return L"";
  const size_t begin = xml.find("<!-- <tab title=\"\xE4\xB8\xBB");
  if (begin == std::string::npos) return L"";
  const size_t end = xml.find("-->", begin);
  xml.replace(end, 3, "");
  xml.replace(begin, 4, "");
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  const std::wstring dir = std::wstring(base) + L"qv-hipsview";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  HANDLE f = ::CreateFileW((dir + L"\\507.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return L"";
  DWORD written = 0;
  ::WriteFile(f, xml.data(), DWORD(xml.size()), &written, nullptr);
  ::CloseHandle(f);
  return dir;
}

// Opens the integrity area on the page's tab (the fourth) once the main window is up.
class OpenPage : public ToolModalHook {
 protected:
  BOOL OnToolDialogReady(HWND frame, CUiDialogView& view) override {
    if (m_opened || !dynamic_cast<CMainDlg*>(CWindowImplCore::FromHandle(frame))) return FALSE;
    m_opened = true;
    UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, CMainDlg::kItemIntegrity, "button"};
    ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
    auto* areas = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl();
    if (CUiWindow* tabs = areas ? areas->GetItem(1)->FindChildByCmdID(364) : nullptr) tabs->AsTabCtrl()->SetCurSel(3);
    return FALSE;
  }

 private:
  bool m_opened = false;
};

// Fills the editor's fields and one rule, as a user would before the first apply.
class FillEditor : public ToolModalHook {
 public:
  FillEditor(CQvHIPSNewRuleDlg& dlg, int category) : m_dlg(dlg), m_category(category) {}

 protected:
  BOOL OnToolDialogReady(HWND frame, CUiDialogView&) override {
    if (m_category < 0 || frame != m_dlg.m_hWnd) return FALSE;
    using Dlg = CQvHIPSNewRuleDlg;
    m_dlg.Edit(Dlg::kName).SetWindowText(L"示例过滤");
    m_dlg.Combo(Dlg::kCategory).SetCurSel(m_category);
    m_dlg.OnCategoryChanged();
    m_dlg.Edit(Dlg::kTarget).SetWindowText(L"127.0.0.1");
    m_dlg.Edit(Dlg::kRegExp).SetWindowText(m_category == 1 ? L"HKLM\\Software\\Run" : L"C:\\Windows\\*");
    m_dlg.Combo(Dlg::kCompare).SetCurSel(0);
    m_dlg.Combo(Dlg::kResult).SetCurSel(2);
    m_dlg.Edit(Dlg::kString).SetWindowText(L"notepad.exe");
    m_category = -1;  // once: the pickers and boxes are the user's
    m_dlg.OnAddRule();
    return FALSE;
  }

 private:
  CQvHIPSNewRuleDlg& m_dlg;
  int m_category;
};

// Checks one sample folder of the content picker, so that its drive shows partly checked.
class CheckFolder : public ToolModalHook {
 public:
  explicit CheckFolder(CQvHIPSTRNRDetailTDlg& dlg) : m_dlg(dlg) {}

 protected:
  BOOL OnToolDialogReady(HWND frame, CUiDialogView&) override {
    if (frame != m_dlg.m_hWnd) return FALSE;
    CMulStatusTree& tree = m_dlg.Tree().tree;
    HTREEITEM drive = tree.GetNextSiblingItem(tree.GetChildItem(m_dlg.Root()));
    HTREEITEM main = tree.GetChildItem(tree.GetChildItem(drive));
    tree.SelectItem(main);
    tree.SetCheck(main, EM_TVIS_CHECK, TRUE);
    return FALSE;
  }

 private:
  CQvHIPSTRNRDetailTDlg& m_dlg;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc > 1) LoadSysServerPortConfig(qv::WideToAnsi(argv[1]).c_str(), nullptr);
  const std::wstring what = argc > 2 ? argv[2] : L"page";
  const int number = argc > 3 ? int(std::wcstol(argv[3], nullptr, 10)) : 0;
  ::LocalFree(argv);
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionIntegrity;
  CUIResource::Init();
  if (what == L"page") {
    UiResUtil::SetResourceDirectory(WriteTestLayout().c_str());
    OpenPage hook;
    UiModalHook::Scope scope(hook);
    CMainDlg main(static_cast<unsigned short>(number > 0 ? number : 4667));
    main.DoModal(nullptr);
  } else if (what == L"trust" || what == L"trustedit") {
    UiStyle::LoadStyles(101);
    ToolBoxesOnly hook;
    UiModalHook::Scope scope(hook);
    if (what == L"trust") {
      CQvHIPSTrustDlg trust;
      trust.DoModal(nullptr);
    } else {
      int type = number;
      std::wstring host = L"10.0.0.1", content = number ? L"HKLM\\Software\\Run" : L"C:\\Tools\\agent.exe";
      CQvHIPSTRNewTrustDlg editor(1, &type, &host, &content);
      editor.DoModal(nullptr);
    }
  } else if (what == L"picker") {
    UiStyle::LoadStyles(101);
    ToolBoxesOnly boxes;
    UiModalHook::Scope boxesScope(boxes);
    std::wstring result;
    if (number == 0) {
      CQvHIPSNRRuleTargetDlg(&result).DoModal(nullptr);
    } else if (number == 1) {
      CQvHIPSTRNRTargetDlg(&result).DoModal(nullptr);
    } else {
      CQvHIPSTRNRDetailTDlg detail(&result);
      CheckFolder hook(detail);
      UiModalHook::Scope scope(hook);
      detail.DoModal(nullptr);
    }
  } else {
    UiStyle::LoadStyles(101);
    HipsFilterInfo info;
    int id = what == L"modify" ? number : -1;
    if (what == L"modify") {
      info.FilterName = L"示例过滤";
      info.ClientIP = L"127.0.0.1";
      info.RegExp = L"C:\\Windows\\*";
      info.MatchType = 1;
      info.DefaultAction = 2;
      info.DefaultLogFilter = 1;
    }
    CQvHIPSNewRuleDlg dlg(what == L"modify" ? 1 : 0, &info, &id);
    FillEditor hook(dlg, what == L"modify" ? -1 : number);
    UiModalHook::Scope scope(hook);
    dlg.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
