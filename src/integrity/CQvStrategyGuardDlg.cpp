#include "integrity/CQvStrategyGuardDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "console/CDirectoryDlg.h"
#include "console/SQLServerLink.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "integrity/CQvStrategyGuardUIHandler.h"
#include "integrity/CQvVerifyLoginDlg.h"
#include "integrity/StrategyTableRow.h"
#include "platform/CGdiObject.h"
#include "uiwin/UiMessageBox.h"

namespace {

using Dlg = CQvStrategyGuardDlg;

const wchar_t kWarning[] = L"警告";
const UINT kInfo = MB_ICONINFORMATION;
const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD kTreeStyle = WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                         TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;
const COLORREF kTransparent = RGB(255, 0, 255);
enum { kImageCategory = 0, kImageTemplate = 1, kImageOnline = 1, kImageOffline = 2 };
const UINT kTemplatePictures[] = {126, 130};
const UINT kServerPictures[] = {126, 131, 128};  // group, online host, offline host

// The buttons that only go back to the panel shown before.
const UINT kBackItems[] = {10008, 10011, 10030, 10006, 10021, 10028, 10007, 10013, 10024, 10009};
const UINT kPanels[] = {Dlg::kPanelTemplates, Dlg::kPanelDevice,  Dlg::kPanelSchedule,
                        Dlg::kPanelOsAttributes, Dlg::kPanelDeviceSummary, Dlg::kPanelServers,
                        Dlg::kPanelSettings,  Dlg::kPanelObjects, Dlg::kPanelSummary,
                        Dlg::kPanelTargetParams, Dlg::kPanelName};

const wchar_t* const kWindowsTemplates[] = {
    L"Windows 2000 Server完整性监测",     L"Windows 2003 Server完整性监测(32)", L"Windows 2003 Server完整性监测(64)",
    L"Windows 2008 Server完整性监测(32)", L"Windows 2008 Server完整性监测(64)"};
const struct {
  const wchar_t* text;
  DWORD type;
  std::vector<const wchar_t*> templates;
} kCategories[] = {
    {L"操作系统完整性监测策略", Dlg::kTypeOs, {L"Linux操作系统完整性监测", L"Unix操作系统完整性监测"}},
    {L"数据库系统完整性监测策略", Dlg::kTypeDatabase,
     {L"Oracle Data Access Components 10.0", L"Microsoft SQL Server 2005", L"Microsoft SQL Server 2008"}},
    {L"Web服务器完整性监测策略", Dlg::kTypeWeb,
     {L"Internet Information Server 6.0", L"Internet Information Server 7.0", L"Weblogic Tuxedo Connecto"}},
    {L"邮件服务器完整性监测策略", Dlg::kTypeMail, {L"Microsoft Exchange Server", L"Lotus Domino/Notes"}},
    {L"文件服务器完整性监测策略", Dlg::kTypeFileServer, {}},
    {L"网络设备/安全设备完整性监测策略", Dlg::kTypeDevice,
     {L"思科网络设备完整性监测", L"华为网络设备完整性监测", L"华为3COM网络设备完整性监测", L"锐捷网络设备完整性监测",
      L"启明星辰安全设备完整性监测", L"网御星云安全设备完整性监测", L"天融信安全设备完整性监测"}},
    {L"自定义服务器完整性监测策略", Dlg::kTypeCustomServer, {}},
    {L"自定义文件系统完整性监测策略", Dlg::kTypeCustomFiles, {}},
    {L"自定义网络设备完整性监测策略", Dlg::kTypeCustomDevice, {}},
    {L"自定义注册表完整性监测策略", Dlg::kTypeCustomRegistry, {}},
};
const wchar_t* const kFilterTexts[] = {L"全部监测", L"只监测列表中的文件类型", L"只监测列表以外的文件类型"};
const wchar_t* const kDefaultFileTypes[] = {L"*.txt", L"*.doc", L"*.xml"};
// What an object row's joined lists may hold.
const size_t kFileTypesChars = 249, kFileTypeChars = 15, kIgnoredChars = 259, kIgnoredFolderChars = 249;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), int(a.size()), b.c_str(), int(b.size())) ==
         CSTR_EQUAL;
}

bool Connect(SQLServerLink& link) { return link.Connect(g_dsnName, g_sqlUserName, g_sqlPassword) != 0; }

void Warn(const wchar_t* text) { UiMessageBox(text, kWarning, kInfo); }
void TellNoConnection() { UiMessageBox(L"连接数据库出错", L"错误", MB_ICONHAND); }

bool LoadImages(CImageList& images, const UINT* bitmaps, size_t count) {
  if (!images.Create(32, 24, ILC_COLOR24 | ILC_MASK, int(count), 1)) return false;
  for (size_t i = 0; i < count; ++i) {
    CBitmap picture(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmaps[i])));
    if (picture.IsNull() || images.Add(picture, kTransparent) < 0) return false;
  }
  return true;
}

std::wstring ComboText(const CComboBoxCtrlEx& combo) {
  const int index = combo.GetCurSel();
  if (index < 0) return combo.GetWindowText();
  std::wstring text(size_t(std::max(0, int(::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)))) + 1, L'\0');
  ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(wcslen(text.c_str()));
  return text;
}

void SelectOrAdd(CComboBoxCtrlEx& combo, const std::wstring& text) {
  LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  combo.SetCurSel(int(index));
}

}  // namespace

CQvStrategyGuardDlg::CQvStrategyGuardDlg(int mode, CQvStrategyGuardUIHandler* page)
    : m_mode(mode),
      m_page(page),
      m_templateTree(CUIResource::GetSkinBitmap(), kTemplateTree + 1),
      m_serverTree(CUIResource::GetSkinBitmap(), kServerTree + 1),
      m_targetTree(CUIResource::GetSkinBitmap(), kTargetTree + 1),
      m_fileTypeTree(CUIResource::GetSkinBitmap(), kFileTypeTree + 1),
      m_ignoreTree(CUIResource::GetSkinBitmap(), kIgnoreTree + 1),
      m_objectGrid(CUIResource::GetSkinBitmap(), kObjectGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_loginTestPort(CQvVerifyLoginDlg::kTelnetPort) {}

// The window goes while the members its messages reach are still there.
CQvStrategyGuardDlg::~CQvStrategyGuardDlg() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

CMulStatusTree& CQvStrategyGuardDlg::TreeById(UINT id) {
  switch (id) {
    case kServerTree: return m_serverTree;
    case kTargetTree: return m_targetTree;
    case kFileTypeTree: return m_fileTypeTree;
    case kIgnoreTree: return m_ignoreTree;
    default: return m_templateTree;
  }
}

std::vector<UINT> CQvStrategyGuardDlg::ItemIds() {
  std::vector<UINT> ids(std::begin(kPanels), std::end(kPanels));
  ids.insert(ids.end(), std::begin(kBackItems), std::end(kBackItems));
  for (int i = 0; i < kAttributeCount; ++i) ids.push_back(kFirstAttribute + i);
  for (UINT i = 0; i < std::size(kFilterTexts); ++i) ids.push_back(kFilterAll + i);
  // The schedule's and settings' numbers, checks, texts and sub-panels, in runs.
  const std::pair<UINT, UINT> runs[] = {{3011, 3016}, {3019, 3024}, {3028, 3029}, {3035, 3038}, {6005, 6025},
                                        {6028, 6037}, {2000, 2010}, {20005, 20009}};
  for (const auto& run : runs)
    for (UINT id = run.first; id <= run.second; ++id) ids.push_back(id);
  const UINT others[] = {
      kItemClose, kItemMaxRestore, kItemMinimize, kItemUpdate, 10005, kTargetTabs, kAttributesTitle, kScheduleName,
      kChosenFolder, kNameEdit, kDescriptorEdit, kDeviceCombo, kDeviceTypeCombo, kLoginTypeCombo, kUserIdEdit,
      kLoginIdEdit, kManageIdEdit, kObjectNameEdit, kObjectDescriptorEdit, kTemplateTree, kServerTree,
      kFileTypeTree, kObjectGrid, kObjectGrid + 1, kObjectGrid + 2, kObjectGrid + 3, kSummaryBox, kTargetTree,
      kIgnoreTree, kTemplateNext, kLoginNext, kOsAttributesNext, kTargetNext, kObjectAdd, kObjectDelete,
      kObjectsNext, kVerifyLogin, kNameNext, kTargetParamsOK, kFileTypeAdd, kFileTypeEdit, kFileTypeDelete,
      kIgnoreAdd, kIgnoreDelete, kTaskModeCombo, kStartCombo, kRuleCombo, kCopyPlaceEdit, kScheduleTabs,
      kScheduleNext, kSettingsFinish, kFinish, kDeviceFinish, kBrowseCopyPlace, kDayForm, kReportCheck};
  ids.insert(ids.end(), std::begin(others), std::end(others));
  return ids;
}

// ---- start

LRESULT CQvStrategyGuardDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_record.Clear();
  CreateControls();
  CreateScheduleControls();
  SQLServerLink link;
  SQLServerLink* connected = Connect(link) ? &link : nullptr;
  if (!connected) TellNoConnection();
  FillTemplateTree(connected);
  FillClients(connected);
  if (connected) link.Disconnect();
  if (m_mode == kModeModify) Prefill();
  return 0;
}

void CQvStrategyGuardDlg::CreateControls() {
  HWND view = GetViewHWnd();
  const struct {
    CEditEx* edit;
    UINT id;
    int limit;
    DWORD extra;
  } edits[] = {
      {&m_nameEdit, kNameEdit, 16, 0},          {&m_descriptorEdit, kDescriptorEdit, 50, 0},
      {&m_userIdEdit, kUserIdEdit, 10, 0},      {&m_loginIdEdit, kLoginIdEdit, 20, ES_PASSWORD},
      {&m_manageIdEdit, kManageIdEdit, 20, ES_PASSWORD}, {&m_objectNameEdit, kObjectNameEdit, 32, 0},
      {&m_objectDescriptorEdit, kObjectDescriptorEdit, 64, 0},
  };
  for (const auto& e : edits) {
    e.edit->Create(view, nullptr, nullptr, kEditStyle | e.extra, 0, e.id);
    e.edit->SetLimits(e.limit, 0, '\0', FALSE);
  }
  const struct {
    CComboBoxCtrlEx* combo;
    UINT id;
    std::vector<const wchar_t*> choices;
  } combos[] = {
      {&m_deviceCombo, kDeviceCombo, {}},
      {&m_deviceTypeCombo, kDeviceTypeCombo, {L"Cisco CLI命令集", L"Cisco Set命令集", L"PIX/ASA防火墙"}},
      {&m_loginTypeCombo, kLoginTypeCombo, {L"Telnet登录", L"SSH登录"}},
  };
  for (const auto& c : combos) {
    c.combo->Create(view, RECT{0, 0, 0, 200}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, c.id);
    for (const wchar_t* choice : c.choices) c.combo->AddString(choice);
    if (!c.choices.empty()) c.combo->SetCurSel(0);
  }

  const bool templatePictures = LoadImages(m_templateImages, kTemplatePictures, std::size(kTemplatePictures));
  const bool serverPictures = LoadImages(m_serverImages, kServerPictures, std::size(kServerPictures));
  for (UINT id : {kTemplateTree, kServerTree, kTargetTree, kFileTypeTree, kIgnoreTree}) {
    const bool lists = id == kFileTypeTree || id == kIgnoreTree;
    CMulStatusTree& tree = TreeById(id);
    tree.Create(view, RECT{}, nullptr, kTreeStyle | (lists ? TVS_EDITLABELS : 0), 0, id);
    if (id == kTemplateTree && templatePictures) tree.SetImageList(m_templateImages, TVSIL_NORMAL);
    if ((id == kServerTree || id == kTargetTree) && serverPictures) tree.SetImageList(m_serverImages, TVSIL_NORMAL);
  }
  for (const wchar_t* type : kDefaultFileTypes) m_fileTypeTree.InsertTextItem(type, TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
  SetItemCheck(kFilterAll, TRUE);

  m_objectGrid.Create(view, nullptr, nullptr, 0, 0, kObjectGrid);
  const struct {
    const wchar_t* title;
    int width;
    UINT format;
  } columns[] = {{L"", 30, ITEM_FORMAT_CHECKBOX}, {L"服务器", 120, 0}, {L"文件对象", 100, 0},
                 {L"筛选方式", 100, 0},        {L"类型列表", 100, 0}, {L"忽略列表", 100, 0}};
  for (const auto& c : columns) m_objectGrid.AddColumn(c.title, c.width, -1, FALSE, FALSE, c.format, ITEM_FLAGS_CENTRE);

  m_summaryBox = RichEditCreate(view, kSummaryBox,
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                CUIResource::GetSkinBitmap(), kSummaryBox + 1);
}

void CQvStrategyGuardDlg::FillTemplateTree(SQLServerLink* link) {
  // Custom objects in the order devices, registry, servers, on the one link.
  std::vector<std::wstring> custom[3];
  const DWORD customTypes[] = {kTypeCustomDevice, kTypeCustomRegistry, kTypeCustomServer};
  const wchar_t* const customSql[] = {L"select distinct EquipStrategyName from EquipStrategyTable",
                                      L"select distinct RegStrategyName from RegStrategyTable",
                                      L"select distinct AppStrategyName from AppStrategyTable"};
  for (int i = 0; link && i < 3; ++i) ReadObjectNames(*link, customSql[i], &custom[i]);

  for (const auto& category : kCategories) {
    const bool isTemplate = category.type == kTypeCustomFiles;
    HTREEITEM root = m_templateTree.InsertItem(category.text, kImageCategory, kImageCategory, TVI_ROOT, TVI_LAST,
                                               isTemplate ? EM_TVIS_UNCHECK : EM_TVIS_NONE);
    m_templateTree.SetItemData(root, category.type);
    auto add = [&](HTREEITEM parent, const wchar_t* text) {
      m_templateTree.InsertItem(text, kImageTemplate, kImageTemplate, parent, TVI_LAST, EM_TVIS_UNCHECK);
    };
    if (category.type == kTypeOs) {
      HTREEITEM windows = m_templateTree.InsertItem(L"Windows操作系统完整性监测", kImageCategory, kImageCategory, root,
                                                    TVI_LAST, EM_TVIS_NONE);
      for (const wchar_t* text : kWindowsTemplates) add(windows, text);
    }
    for (const wchar_t* text : category.templates) add(root, text);
    for (int i = 0; i < 3; ++i)
      if (customTypes[i] == category.type)
        for (const std::wstring& name : custom[i]) add(root, name.c_str());
  }
}

void CQvStrategyGuardDlg::FillClients(SQLServerLink* link) {
  std::vector<Client> servers, devices;
  if (link) {
    ReadClients(*link, 0, &servers);
    ReadClients(*link, 1, &devices);
  }
  for (CMulStatusTree* tree : {&m_serverTree, &m_targetTree}) {
    HTREEITEM root = tree->InsertItem(L"服务器群组", kImageCategory, kImageCategory, TVI_ROOT, TVI_LAST, EM_TVIS_NONE);
    for (const Client& c : servers) {
      HTREEITEM item = tree->InsertItem((c.name.empty() ? c.ip : c.name).c_str(), c.status ? kImageOnline : kImageOffline,
                                        c.status ? kImageOnline : kImageOffline, root, TVI_LAST, EM_TVIS_UNCHECK);
      tree->SetItemData(item, c.name.empty() ? 0 : 1);
    }
    tree->Expand(root, TVE_EXPAND);
    (tree == &m_serverTree ? m_serverRoot : m_targetRoot) = root;
  }
  for (const Client& c : devices) m_deviceCombo.AddString((c.name.empty() ? c.ip : c.name).c_str());
  m_deviceCombo.SetCurSel(0);
}

// ---- messages

LRESULT CQvStrategyGuardDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  static_assert(kItemUpdate == kItemClose + 3, "the header buttons follow the close button");
  const UINT item = CommandItemOf(pnmh);
  if (std::find(std::begin(kBackItems), std::end(kBackItems), item) != std::end(kBackItems)) {
    Back();
    return 0;
  }
  if (OnHeaderButton(item, kItemClose)) return 0;
  switch (item) {
    case 10005:  // "返回" of the first panel leaves, as "退出" does
      EndDialog(IDCANCEL);
      break;
    case IDOK:
    case IDCANCEL:
      break;
    case kTemplateNext: OnTemplateNext(); break;
    case kOsAttributesNext: OnOsAttributesNext(); break;
    case kTargetNext: OnTargetNext(); break;
    case kNameNext: OnNameNext(); break;
    case kLoginNext: OnLoginNext(); break;
    case kVerifyLogin: OnVerifyLogin(); break;
    case kObjectAdd:
    case kObjectModify:
      ShowPanel(kPanelTargetParams);
      SetTabCurSel(kTargetTabs, 0);
      break;
    case kObjectDelete: OnDeleteObjects(); break;
    case kScheduleNext: OnScheduleNext(); break;
    case kSettingsFinish: OnIntegritySettingsFinish(); break;
    case kFinish:
    case kDeviceFinish: OnFinish(); break;
    case kBrowseCopyPlace: OnBrowseCopyPlace(); break;
    case kDayForm:
    case kWeekdayForm: OnDayFormChange(item == kDayForm); break;
    case kReportCheck: OnReportCheck(); break;
    case kObjectsNext: OnSettingsNext(); break;
    case kTargetParamsOK: OnTargetParamsOK(); break;
    case kFileTypeAdd: OnFileTypeAdd(); break;
    case kFileTypeEdit:
      if (HTREEITEM selected = m_fileTypeTree.GetSelectedItem()) {
        m_fileTypeTree.SetFocus();
        m_fileTypeTree.SendMessage(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(selected));
      }
      break;
    case kFileTypeDelete: DeleteCheckedItems(m_fileTypeTree); break;
    case kIgnoreAdd: OnIgnoreAdd(); break;
    case kIgnoreDelete: DeleteCheckedItems(m_ignoreTree); break;
    default:
      bHandled = FALSE;
      break;
  }
  return 0;
}

LRESULT CQvStrategyGuardDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) return 0;  // only "退出" leaves the wizard
  if (const char* skin = CUiDialogImplCore::MaxButtonSkin(m_hWnd, wParam)) SetItemAttribute(kItemMaxRestore, "skin", skin);
  bHandled = FALSE;
  return 0;
}

void CQvStrategyGuardDlg::KeepOnlyChecked(CMulStatusTree& tree, HTREEITEM item, int state, HTREEITEM& remembered) {
  if (state == EM_TVIS_CHECK) {
    if (remembered && remembered != item) tree.SetCheck(remembered, EM_TVIS_UNCHECK, FALSE);
    remembered = item;
  } else if (item == remembered) {
    remembered = nullptr;
  }
}

LRESULT CQvStrategyGuardDlg::OnTemplateCheck(int, LPNMHDR pnmh, BOOL&) {
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  KeepOnlyChecked(m_templateTree, nm->hItem, nm->nState, m_checkedTemplate);
  return 0;
}

// The target server cannot be unchecked, only replaced.
LRESULT CQvStrategyGuardDlg::OnTargetCheck(int, LPNMHDR pnmh, BOOL&) {
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  if (nm->nState != EM_TVIS_CHECK && nm->hItem == m_checkedTarget) {
    m_targetTree.SetCheck(nm->hItem, EM_TVIS_CHECK, FALSE);
    return 0;
  }
  KeepOnlyChecked(m_targetTree, nm->hItem, nm->nState, m_checkedTarget);
  return 0;
}

LRESULT CQvStrategyGuardDlg::OnIgnoreCheck(int, LPNMHDR pnmh, BOOL&) {
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  KeepOnlyChecked(m_ignoreTree, nm->hItem, nm->nState, m_checkedIgnore);
  return 0;
}

// A server's label chooses the folder the object row will watch on it.
LRESULT CQvStrategyGuardDlg::OnTargetLabelClick(int, LPNMHDR pnmh, BOOL&) {
  HTREEITEM item = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh)->hItem;
  TVITEMW tv{};
  tv.mask = TVIF_IMAGE;
  tv.hItem = item;
  if (!item || !m_targetTree.SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ||
      (tv.iImage != kImageOnline && tv.iImage != kImageOffline))
    return 0;
  const std::wstring label = m_targetTree.GetItemText(item);
  std::wstring ip = label;  // an item without a name shows the address
  if (m_targetTree.GetItemData(item) != 0) {
    SQLServerLink link;
    if (!Connect(link) || LookUp(link, L"select ip from client where name=?", label, &ip) < 0) {
      TellNoConnection();
      EndDialog(IDCANCEL);
      return 0;
    }
  }
  std::wstring folder;
  CDirectoryDlg picker(ip, &folder, L"请选择目录");
  if (picker.DoModal(m_hWnd) == IDOK) ChooseTarget(label, ip, folder);
  return 0;
}

void CQvStrategyGuardDlg::ChooseTarget(const std::wstring& server, const std::wstring& ip, const std::wstring& folder) {
  m_targetName = server;
  m_targetIp = ip;
  m_targetFolder = folder;
  SetItemText(kChosenFolder, folder.c_str());
}

// A cancelled edit and a text that is no file pattern keep the old label.
LRESULT CQvStrategyGuardDlg::OnFileTypeEdited(int, LPNMHDR pnmh, BOOL&) {
  const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(pnmh);
  if (!info->item.pszText) return FALSE;
  if (!StartsWith(info->item.pszText, L"*.")) {
    Warn(L"输入的格式不对！");
    return FALSE;
  }
  return TRUE;
}

// ---- panels

void CQvStrategyGuardDlg::ShowPanel(UINT panel) {
  if (panel == m_panel) return;
  m_visited.push_back(m_panel);
  SetItemVisible(m_panel, FALSE);
  SetItemVisible(panel, TRUE);
  m_panel = panel;
}

void CQvStrategyGuardDlg::Back() {
  if (m_visited.empty()) return;
  const UINT panel = m_visited.back();
  m_visited.pop_back();
  SetItemVisible(m_panel, FALSE);
  SetItemVisible(panel, TRUE);
  m_panel = panel;
}

void CQvStrategyGuardDlg::OnTemplateNext() {
  if (!m_checkedTemplate) {
    Warn(L"没有选择策略模版！");
    return;
  }
  const std::wstring text = m_templateTree.GetItemText(m_checkedTemplate);
  StrategyRecord::Put(m_record.SelectedItem, text);
  HTREEITEM root = m_checkedTemplate;
  for (HTREEITEM up = root; up; up = m_templateTree.GetParentItem(up)) root = up;
  const DWORD type = static_cast<DWORD>(m_templateTree.GetItemData(root));
  m_record.StrategyType = type;
  // The bits belong to a Windows template's attribute page, which sets them again on
  // its way; any other template leaves none from an earlier choice.
  const bool windows = type == kTypeOs && StartsWith(text, L"Windows");
  if (!windows) m_record.ItemAttribute = 0;
  if (type == kTypeCustomServer || type == kTypeCustomDevice) {
    SQLServerLink link;
    const int found = Connect(link) ? FindObject(link, type, text) : -1;
    if (found < 0) {
      TellNoConnection();
      EndDialog(IDCANCEL);
      return;
    }
    if (found == 0) {
      Warn(L"所选策略对象不存在！");
      return;
    }
  }
  switch (type) {
    case kTypeOs:
      if (windows) {
        SetItemText(kAttributesTitle, m_record.SelectedItem);
        ShowPanel(kPanelOsAttributes);
      } else {
        ShowPanel(kPanelServers);
      }
      break;
    case kTypeDevice:
    case kTypeCustomDevice:
      ShowPanel(kPanelDevice);
      break;
    case kTypeCustomServer: ShowPanel(kPanelName); break;
    case kTypeCustomFiles: ShowPanel(kPanelObjects); break;
    default: break;  // these templates take no strategy yet
  }
}

void CQvStrategyGuardDlg::OnOsAttributesNext() {
  DWORD bits = 0;
  for (int i = 0; i < kAttributeCount; ++i)
    if (GetItemCheck(kFirstAttribute + i)) bits |= 1u << i;
  if (!bits) {
    Warn(L"请选择项！");
    return;
  }
  m_record.ItemAttribute = bits;
  ShowPanel(kPanelServers);
}

void CQvStrategyGuardDlg::OnTargetNext() {
  std::wstring text;
  int checked = 0;
  for (HTREEITEM item = m_serverTree.GetChildItem(m_serverRoot); item; item = m_serverTree.GetNextSiblingItem(item)) {
    if (m_serverTree.GetCheck(item) != EM_TVIS_CHECK) continue;
    text += m_serverTree.GetItemText(item) + L"    ";
    ++checked;
  }
  SetSummaryText(text);
  if (m_mode == kModeNew && !checked) {
    Warn(L"没有选择项！");
    return;
  }
  if (m_record.StrategyType == kTypeOs) ShowPanel(kPanelName);
}

void CQvStrategyGuardDlg::SetSummaryText(const std::wstring& text) {
  if (!m_summaryBox) return;
  RichEditClear(m_summaryBox);
  RichEditAppendText(m_summaryBox, text.c_str(), FALSE, 0);
}

int CQvStrategyGuardDlg::NameFree(const std::wstring& name) {
  // A modification may keep its own name, but not take another strategy's.
  if (m_mode == kModeModify && SameNoCase(name, m_oldName)) return 1;
  const int exists = StrategyExists(name);
  if (exists < 0) {
    Warn(L"打开数据库失败！");
    return -1;
  }
  if (exists) Warn(L"此策略名已经存在，请重新定义！");
  return exists ? 0 : 1;
}

bool CQvStrategyGuardDlg::TakeName(CEditEx& nameEdit, const wchar_t* noName, CEditEx& descriptorEdit,
                                   const wchar_t* noDescriptor) {
  StrategyRecord::Put(m_record.StrategyName, nameEdit.GetWindowText());
  if (!*m_record.StrategyName) {
    Warn(noName);
    return false;
  }
  if (NameFree(m_record.StrategyName) != 1) return false;
  SetItemText(kScheduleName, m_record.StrategyName);
  StrategyRecord::Put(m_record.StrategyDescriptor, descriptorEdit.GetWindowText());
  if (!*m_record.StrategyDescriptor) {
    Warn(noDescriptor);
    return false;
  }
  return true;
}

void CQvStrategyGuardDlg::OnNameNext() {
  if (!TakeName(m_nameEdit, L"没有策略名！", m_descriptorEdit, L"没有策略描述！")) return;
  if (m_record.StrategyType == kTypeOs || m_record.StrategyType == kTypeCustomServer) ShowPanel(kPanelSchedule);
}

// A device is named by its address or by its host name; an unknown name is refused
// rather than keeping the address an earlier pass found.
bool CQvStrategyGuardDlg::TakeDevice() {
  const std::wstring device = ComboText(m_deviceCombo);
  std::wstring ip = device;
  if (device.find(L'.') == std::wstring::npos) {
    SQLServerLink link;
    const int found = Connect(link) ? LookUp(link, L"select IP from Client where Name=?", device, &ip) : -1;
    if (found < 0) {
      TellNoConnection();
      EndDialog(IDCANCEL);
      return false;
    }
    if (found == 0 || ip.empty()) {
      Warn(L"找不到该设备的IP地址！");
      return false;
    }
  }
  StrategyRecord::Put(m_record.Ip, ip);
  return true;
}

bool CQvStrategyGuardDlg::TakeCredentials() {
  const struct {
    CEditEx* edit;
    wchar_t* field;
    size_t size;
    const wchar_t* missing;
  } fields[] = {{&m_userIdEdit, m_record.UserId, std::size(m_record.UserId), L"没有用户ID"},
                {&m_loginIdEdit, m_record.LoginId, std::size(m_record.LoginId), L"没有登录口令！"},
                {&m_manageIdEdit, m_record.ManageId, std::size(m_record.ManageId), L"没有管理口令！"}};
  for (const auto& f : fields) {
    const std::wstring text = f.edit->GetWindowText().substr(0, f.size - 1);
    wmemcpy(f.field, text.c_str(), text.size() + 1);
    if (text.empty()) {
      Warn(f.missing);
      return false;
    }
  }
  return true;
}

void CQvStrategyGuardDlg::OnLoginNext() {
  if (!TakeName(m_nameEdit, L"没有策略名！", m_descriptorEdit, L"没有策略描述！") || !TakeDevice()) return;
  m_record.DeviceType = m_record.StrategyType == kTypeDevice ? DWORD(std::max(0, m_deviceTypeCombo.GetCurSel())) : 0;
  m_record.LoginType = DWORD(std::max(0, m_loginTypeCombo.GetCurSel()));
  if (!TakeCredentials()) return;
  ShowPanel(kPanelSchedule);
}

void CQvStrategyGuardDlg::OnVerifyLogin() {
  m_record.LoginType = DWORD(std::max(0, m_loginTypeCombo.GetCurSel()));
  if (!TakeCredentials() || !TakeDevice()) return;
  CQvVerifyLoginDlg::LoginParams params;
  params.loginType = m_record.LoginType;
  params.userId = m_record.UserId;
  params.loginId = m_record.LoginId;
  params.manageId = m_record.ManageId;
  params.port = m_loginTestPort;
  CQvVerifyLoginDlg test(m_record.Ip, params);
  test.DoModal(m_hWnd);
}

// ---- object list

void CQvStrategyGuardDlg::OnTargetParamsOK() {
  if (m_targetName.empty() || m_targetFolder.empty()) {
    Warn(L"请选择目标服务器和目录！");
    return;
  }
  for (int row = 0; row < m_objectGrid.GetItemCount(); ++row) {
    if (m_objectGrid.GetItemText(row, kColServer) == m_targetName &&
        m_objectGrid.GetItemText(row, kColFolder) == m_targetFolder) {
      Warn(L"对象已经存在！");
      return;
    }
  }
  std::wstring types;
  for (HTREEITEM item = m_fileTypeTree.GetRootItem(); item; item = m_fileTypeTree.GetNextSiblingItem(item))
    if (m_fileTypeTree.GetCheck(item) == EM_TVIS_CHECK)
      types += m_fileTypeTree.GetItemText(item).substr(0, kFileTypeChars) + L";";
  std::wstring ignored;
  for (HTREEITEM item = m_ignoreTree.GetRootItem(); item; item = m_ignoreTree.GetNextSiblingItem(item))
    ignored += m_ignoreTree.GetItemText(item).substr(0, kIgnoredFolderChars) + L";";
  if (types.size() > kFileTypesChars) {
    Warn(L"选择的文件类型太多，请减少后再试！");
    return;
  }
  if (ignored.size() > kIgnoredChars) {
    Warn(L"忽略的目录太多，请减少后再试！");
    return;
  }
  int filter = 0;
  for (int i = 0; i < int(std::size(kFilterTexts)); ++i)
    if (GetItemCheck(kFilterAll + i)) filter = i;
  const int row = m_objectGrid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
  const std::wstring cells[] = {m_targetName, m_targetFolder, kFilterTexts[filter], types, ignored};
  for (int column = kColServer; column <= kColIgnored; ++column)
    m_objectGrid.SetItemText(row, column, cells[column - kColServer].c_str());

  m_ignoreTree.DeleteAllItems();
  m_checkedIgnore = nullptr;
  m_targetFolder.clear();
  SetItemText(kChosenFolder, L"");
  SetTabCurSel(kTargetTabs, 0);
  Back();
}

void CQvStrategyGuardDlg::OnDeleteObjects() {
  for (int row = m_objectGrid.GetItemCount() - 1; row >= 0; --row)
    if (m_objectGrid.GetItemCheck(row, kColCheck) > 0) m_objectGrid.DeleteItem(row);
}

void CQvStrategyGuardDlg::OnFileTypeAdd() {
  HTREEITEM item = m_fileTypeTree.InsertTextItem(L"*.***", TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
  if (!item) return;
  m_fileTypeTree.SelectItem(item);
  m_fileTypeTree.SetFocus();
  m_fileTypeTree.SendMessage(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
}

void CQvStrategyGuardDlg::OnIgnoreAdd() {
  if (m_targetIp.empty()) {
    Warn(L"请选择目标服务器和目录！");
    return;
  }
  std::wstring folder = m_targetFolder;
  CDirectoryDlg picker(m_targetIp, &folder, L"请选择目录");
  if (picker.DoModal(m_hWnd) != IDOK || folder.empty()) return;
  m_ignoreTree.InsertTextItem(folder.c_str(), TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
}

// The items go after the question: nothing is deleted while the box runs.
void CQvStrategyGuardDlg::DeleteCheckedItems(CMulStatusTree& tree) {
  if (UiMessageBox(L"确定要删除吗？", kWarning, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  std::vector<HTREEITEM> doomed;
  for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
    if (tree.GetCheck(item) == EM_TVIS_CHECK) doomed.push_back(item);
  for (HTREEITEM item : doomed) {
    if (item == m_checkedIgnore) m_checkedIgnore = nullptr;
    tree.DeleteItem(item);
  }
}

void CQvStrategyGuardDlg::OnSettingsNext() {
  if (!TakeName(m_objectNameEdit, L"策略名称不能为空！", m_objectDescriptorEdit, L"策略描述不能为空！")) return;
  std::wstring folders;
  for (int row = 0; row < m_objectGrid.GetItemCount(); ++row)
    folders += m_objectGrid.GetItemText(row, kColFolder) + L"\r\n";
  SetSummaryText(folders);
  if (m_record.StrategyType == kTypeCustomFiles) ShowPanel(kPanelSchedule);
}

// ---- modify mode

void CQvStrategyGuardDlg::Prefill() {
  const Grid* owner = m_page ? &m_page->Grid() : nullptr;
  for (int row = 0; owner && row < owner->GetItemCount(); ++row) {
    if (owner->GetItemCheck(row, CQvStrategyGuardUIHandler::kColName) <= 0) continue;
    m_oldName = owner->GetItemText(row, CQvStrategyGuardUIHandler::kColName);
    m_oldDescriptor = owner->GetItemText(row, CQvStrategyGuardUIHandler::kColDescriptor);
    break;
  }
  std::vector<StrategyTableRow> rows;
  {
    SQLServerLink link;
    if (!Connect(link) || !ReadStrategyRows(link, m_oldName, m_oldDescriptor, &rows)) {
      Warn(L"打开数据库失败！");
      return;
    }
  }
  if (rows.empty()) return;
  const StrategyTableRow& first = rows.front();
  enum { kType = 2, kSelected = 3, kAttribute = 4, kDeviceType = 5, kLoginType = 6, kUserId = 7, kLoginId = 8,
         kManageId = 9, kFolder = 10, kFilter = 11, kFileTypes = 12, kIp = 38, kId = 40, kIgnored = 41 };
  const DWORD type = DWORD(first.Int(kType));
  StrategyRecord::Put(m_record.Id, first.Text(kId));
  CheckStoredTemplate(type, first.Text(kSelected));
  PrefillSchedule(first);

  const bool objects = type == kTypeCustomFiles;
  (objects ? m_objectNameEdit : m_nameEdit).SetWindowText(m_oldName.c_str());
  (objects ? m_objectDescriptorEdit : m_descriptorEdit).SetWindowText(m_oldDescriptor.c_str());
  SQLServerLink link;
  const bool connected = Connect(link) != 0;
  std::wstring label;
  switch (type) {
    case kTypeOs:
      for (int i = 0; i < kAttributeCount; ++i) SetItemCheck(kFirstAttribute + i, (first.Int(kAttribute) >> i) & 1);
      for (const StrategyTableRow& row : rows) {
        if (!connected || !HostLabel(link, row.Text(kIp), &label)) {
          if (!connected) TellNoConnection();
          return;
        }
        for (HTREEITEM item = m_serverTree.GetChildItem(m_serverRoot); item;
             item = m_serverTree.GetNextSiblingItem(item))
          if (m_serverTree.GetItemText(item) == label) m_serverTree.SetCheck(item, EM_TVIS_CHECK, TRUE);
      }
      break;
    case kTypeDevice:
    case kTypeCustomDevice:
      if (!connected || !HostLabel(link, first.Text(kIp), &label)) {
        if (!connected) TellNoConnection();
        EndDialog(IDCANCEL);
        return;
      }
      if (type == kTypeDevice) m_deviceTypeCombo.SetCurSel(first.Int(kDeviceType));
      SelectOrAdd(m_deviceCombo, label);
      m_loginTypeCombo.SetCurSel(first.Int(kLoginType));
      m_userIdEdit.SetWindowText(first.Text(kUserId).c_str());
      m_loginIdEdit.SetWindowText(first.Text(kLoginId).c_str());
      m_manageIdEdit.SetWindowText(first.Text(kManageId).c_str());
      break;
    case kTypeCustomFiles:
      for (const StrategyTableRow& stored : rows) {
        if (!connected || !HostLabel(link, stored.Text(kIp), &label)) {
          if (!connected) TellNoConnection();
          EndDialog(IDCANCEL);
          return;
        }
        const int filter = stored.Int(kFilter);
        const int row = m_objectGrid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
        const std::wstring cells[] = {label, stored.Text(kFolder),
                                      filter >= 0 && filter < 3 ? kFilterTexts[filter] : L"",
                                      stored.Text(kFileTypes), stored.Text(kIgnored)};
        for (int column = kColServer; column <= kColIgnored; ++column)
          m_objectGrid.SetItemText(row, column, cells[column - kColServer].c_str());
      }
      break;
    default:
      break;
  }
}

// The stored template text is cut to the record's field, so a longer item matches by
// its beginning.
void CQvStrategyGuardDlg::CheckStoredTemplate(DWORD type, const std::wstring& selected) {
  const size_t cut = std::size(m_record.SelectedItem) - 1;
  auto matches = [&](HTREEITEM item) { return m_templateTree.GetItemText(item).substr(0, cut) == selected; };
  HTREEITEM category = m_templateTree.GetRootItem();
  while (category && m_templateTree.GetItemData(category) != type) category = m_templateTree.GetNextSiblingItem(category);
  if (!category || selected.empty()) return;
  HTREEITEM found = nullptr;
  if (matches(category)) {
    found = category;
  } else {
    std::vector<HTREEITEM> pending{category};
    while (!pending.empty() && !found) {
      HTREEITEM item = pending.back();
      pending.pop_back();
      m_templateTree.Expand(item, TVE_EXPAND);
      std::vector<HTREEITEM> children;
      for (HTREEITEM child = m_templateTree.GetChildItem(item); child; child = m_templateTree.GetNextSiblingItem(child))
        children.push_back(child);
      for (HTREEITEM child : children)
        if (!found && m_templateTree.GetCheck(child) != EM_TVIS_NONE && matches(child)) found = child;
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
  }
  if (!found) return;
  m_templateTree.SetCheck(found, EM_TVIS_CHECK, FALSE);
  m_checkedTemplate = found;
}

bool CQvStrategyGuardDlg::HostLabel(SQLServerLink& link, const std::wstring& ip, std::wstring* label) {
  const int found = LookUp(link, L"select Name from Client where IP=?", ip, label);
  if (found < 0) {
    TellNoConnection();
    return false;
  }
  if (found == 0 || label->empty()) *label = ip;
  return true;
}
