// The wizard itself: its controls, the template and server trees, and the messages that
// reach them. Its panels, objects, modify-mode prefill, schedule, save and statements
// are in the CQvStrategyGuardDlg*.cpp files beside this one.
#include "integrity/CQvStrategyGuardDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "console/CDirectoryDlg.h"
#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "integrity/CQvVerifyLoginDlg.h"
#include "platform/CGdiObject.h"
#include "platform/WideFormat.h"
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
const wchar_t* const kDefaultFileTypes[] = {L"*.txt", L"*.doc", L"*.xml"};

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The link is closed while the user reads, and opened again for the lists still to come.
void TellReadFailure(SQLServerLink& link, UINT list) {
  TellListUnread(list, link);
  Connect(link);
}

// The link is closed while the user reads, and opened again to read the list; a list
// that cannot be read for want of a connection stays as it was.
void TellGoneAndReadAgain(SQLServerLink& link, const std::wstring& text, const std::function<void()>& reread) {
  link.Disconnect();
  TellRecordGone(text, [&] {
    if (!Connect(link)) {
      link.Disconnect();
      TellNoConnection();
      return;
    }
    reread();
  });
  link.Disconnect();
}

bool LoadImages(CImageList& images, const UINT* bitmaps, size_t count) {
  if (!images.Create(32, 24, ILC_COLOR24 | ILC_MASK, int(count), 1)) return false;
  for (size_t i = 0; i < count; ++i) {
    CBitmap picture(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmaps[i])));
    if (picture.IsNull() || images.Add(picture, kTransparent) < 0) return false;
  }
  return true;
}

}  // namespace

const wchar_t* const CQvStrategyGuardDlg::kFilterTexts[3] = {L"全部监测", L"只监测列表中的文件类型",
                                                            L"只监测列表以外的文件类型"};

void CQvStrategyGuardDlg::Warn(const wchar_t* text) { UiMessageBox(text, kWarning, kInfo); }

CQvStrategyGuardDlg::CQvStrategyGuardDlg(int mode, CQvStrategyGuardUIHandler* page)
    : m_mode(mode),
      m_page(page),
      m_templateTree(CUIResource::GetSkinBitmap(), kTemplateTree + 1),
      m_serverTree(CUIResource::GetSkinBitmap(), kServerTree + 1),
      m_targetTree(CUIResource::GetSkinBitmap(), kTargetTree + 1),
      m_fileTypeTree(CUIResource::GetSkinBitmap(), kFileTypeTree + 1),
      m_ignoreTree(CUIResource::GetSkinBitmap(), kIgnoreTree + 1),
      m_objectGrid(CUIResource::GetSkinBitmap(), kObjectGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_loginTestPort(CQvVerifyLoginDlg::kTelnetPort),
      m_filling(L"QuorvaneWizardHostsFill") {}

// The window goes while the members its messages reach are still there.
CQvStrategyGuardDlg::~CQvStrategyGuardDlg() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  while (LetGoSome()) {
  }
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
  if (m_mode == kModeModify) {
    m_filling.Finish();  // the stored targets are checked among the hosts
    Prefill();
  }
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
  const UINT customFailed[] = {kReadDeviceObjectsFailed, kReadRegObjectsFailed, kReadAppObjectsFailed};
  for (int i = 0; link && i < 3; ++i)
    if (!ReadObjectNames(*link, customSql[i], &custom[i])) TellReadFailure(*link, customFailed[i]);

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

// The hosts are read at once; they go into the two server trees and the device box, all
// on later panels, from the window's idle time, and at once when the user leaves the
// first panel: the wizard opens on a site of 20,000 hosts as on a small one.
void CQvStrategyGuardDlg::FillClients(SQLServerLink* link) {
  if (link) {
    if (!ReadClients(*link, 0, &m_servers)) TellReadFailure(*link, kReadServersFailed);
    if (!ReadClients(*link, 1, &m_devices)) TellReadFailure(*link, kReadDevicesFailed);
  }
  // Open from the start: a group expanded after the first slice stays closed in the tree
  // that slice did not reach, and shows its hosts behind a "+".
  m_serverRoot = m_serverTree.InsertOpenGroup(L"服务器群组", kImageCategory);
  m_targetRoot = m_targetTree.InsertOpenGroup(L"服务器群组", kImageCategory);
  if (AddClientsUnseen(::GetTickCount() + IdleSlices::kSliceMs))
    m_filling.Start(m_hWnd, [this](DWORD until) { return AddClientsUnseen(until); });
}

// At once: the user is waiting on the panel that shows them. The target tree's checked
// host is checked again as it comes.
void CQvStrategyGuardDlg::ReadServersAgain(SQLServerLink& link) {
  std::vector<Client> servers;
  if (!ReadClients(link, 0, &servers)) {
    TellReadFailure(link, kReadServersFailed);
    return;
  }
  m_filling.Finish();
  const std::vector<CheckedServer> checked = CheckedServers();
  m_targetToCheck = m_checkedTarget ? m_targetTree.GetItemText(m_checkedTarget) : std::wstring();
  m_checkedTarget = nullptr;
  m_serverItems.clear();
  for (CMulStatusTree* tree : {&m_serverTree, &m_targetTree}) tree->DeleteAllUnheard();
  m_serverRoot = m_serverTree.InsertOpenGroup(L"服务器群组", kImageCategory);
  m_targetRoot = m_targetTree.InsertOpenGroup(L"服务器群组", kImageCategory);
  m_servers.swap(servers);
  m_serversIn[0] = m_serversIn[1] = 0;
  while (AddClientsUnseen(0)) {
  }
  m_targetToCheck.clear();
  for (const CheckedServer& server : checked) {
    const auto items = m_serverItems.equal_range(server.label);
    for (auto item = items.first; item != items.second; ++item) m_serverTree.SetCheck(item->second, EM_TVIS_CHECK, TRUE);
  }
}

std::vector<CQvStrategyGuardDlg::CheckedServer> CQvStrategyGuardDlg::CheckedServers() const {
  std::vector<CheckedServer> servers;
  TVITEMW tv{};
  tv.mask = TVIF_STATE | TVIF_PARAM;
  tv.stateMask = TVIS_STATEIMAGEMASK;
  for (tv.hItem = m_serverTree.GetChildItem(m_serverRoot); tv.hItem;
       tv.hItem = m_serverTree.GetNextSiblingItem(tv.hItem)) {
    if (!m_serverTree.SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ||
        (tv.state & TVIS_STATEIMAGEMASK) != INDEXTOSTATEIMAGEMASK(EM_TVIS_CHECK))
      continue;
    servers.push_back({m_serverTree.GetItemText(tv.hItem), tv.lParam != 0, std::wstring()});
  }
  return servers;
}

bool CQvStrategyGuardDlg::ServerAddresses(SQLServerLink& link, std::vector<CheckedServer>* servers,
                                          std::vector<std::wstring>* gone) {
  for (CheckedServer& server : *servers) {
    const int found = ServerAddress(link, server.label, server.named, &server.ip);
    if (found < 0) {
      TellError(link);
      return false;
    }
    if (found == 0) gone->push_back(server.label);
  }
  return true;
}

std::wstring CQvStrategyGuardDlg::HostsGoneText(const std::vector<std::wstring>& names) {
  std::wstring joined;
  for (const std::wstring& name : names) joined += (joined.empty() ? L"" : L"”、“") + name;
  return qv::FormatW(L"主机“%ls”已被删除，列表将重新读取。", joined.c_str());
}

void CQvStrategyGuardDlg::ServersGone(SQLServerLink& link, const std::wstring& text) {
  TellGoneAndReadAgain(link, text, [&] { ReadServersAgain(link); });
}

// The template tree is read again; its one check was the object's.
void CQvStrategyGuardDlg::ObjectGone(SQLServerLink& link, const std::wstring& name) {
  TellGoneAndReadAgain(link, qv::FormatW(L"策略对象“%ls”已被删除，列表将重新读取。", name.c_str()), [&] {
    m_checkedTemplate = nullptr;
    m_templateTree.DeleteAllItems();
    FillTemplateTree(&link);
  });
}

// Servers into each tree in turn, then the devices, while the slice lasts.
bool CQvStrategyGuardDlg::AddClients(DWORD until) {
  size_t added = 0;
  do {
    if (m_serversIn[0] < m_servers.size() || m_serversIn[1] < m_servers.size()) {
      const int which = m_serversIn[0] < m_servers.size() ? 0 : 1;
      const Client& c = m_servers[m_serversIn[which]++];
      const int image = c.status ? kImageOnline : kImageOffline;
      const std::wstring& label = c.name.empty() ? c.ip : c.name;
      const HTREEITEM item = (which ? m_targetTree : m_serverTree)
                                 .InsertItem(label.c_str(), image, image, which ? m_targetRoot : m_serverRoot,
                                             TVI_LAST, EM_TVIS_UNCHECK, c.name.empty() ? 0 : 1);
      if (item && !which) m_serverItems.emplace(label, item);
      if (item && which && !m_targetToCheck.empty() && label == m_targetToCheck) {
        m_targetTree.SetCheck(item, EM_TVIS_CHECK, FALSE);
        m_checkedTarget = item;
        m_targetToCheck.clear();
      }
    } else if (m_devicesIn < m_devices.size()) {
      const Client& c = m_devices[m_devicesIn++];
      m_deviceCombo.AddString((c.name.empty() ? c.ip : c.name).c_str());
      if (m_devicesIn == 1) m_deviceCombo.SetCurSel(0);
    } else {
      break;
    }
  } while (++added < IdleSlices::kSliceEntries && IdleSlices::Within(until));
  const bool more = m_serversIn[1] < m_servers.size() || m_devicesIn < m_devices.size();
  if (!more) {
    std::vector<Client>().swap(m_servers);
    std::vector<Client>().swap(m_devices);
    m_serversIn[0] = m_serversIn[1] = m_devicesIn = 0;
  }
  return more;
}

// Below their expanded groups the trees would measure and draw again after every host.
bool CQvStrategyGuardDlg::AddClientsUnseen(DWORD until) {
  m_serverTree.SetRedraw(FALSE);
  m_targetTree.SetRedraw(FALSE);
  const bool more = AddClients(until);
  m_serverTree.SetRedraw(TRUE);
  m_targetTree.SetRedraw(TRUE);
  return more;
}

// The server trees hold a site's hosts twice, and the device box its devices: under Wine
// the window leaves the screen only once everything in it is destroyed, so the view with
// them waits outside it and goes after it (LetGoSome), and nothing more comes into them.
LRESULT CQvStrategyGuardDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  m_filling.Stop();
  if (::IsWindow(GetViewHWnd())) ::SetParent(GetViewHWnd(), HWND_MESSAGE);
  return 0;
}

// A part at a time: a tree of a whole site takes tens of milliseconds to go. They go
// unheard, before the view takes them item by item.
bool CQvStrategyGuardDlg::LetGoSome() {
  const HWND view = GetViewHWnd();
  if (::IsWindow(m_hWnd) || !::IsWindow(view)) return false;
  for (CMulStatusTree* tree : {&m_serverTree, &m_targetTree}) {
    if (!tree->IsWindow()) continue;
    tree->DestroyUnheard();
    return true;
  }
  m_deviceCombo.ResetContentUnheard();
  ::DestroyWindow(view);
  return false;
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
  return FollowMaxButton(wParam, kItemMaxRestore, bHandled);
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

// A server's label chooses the folder the object row will watch on it. One another
// console deleted since the tree showed it is told, and the tree read again.
LRESULT CQvStrategyGuardDlg::OnTargetLabelClick(int, LPNMHDR pnmh, BOOL&) {
  HTREEITEM item = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh)->hItem;
  TVITEMW tv{};
  tv.mask = TVIF_IMAGE;
  tv.hItem = item;
  if (!item || !m_targetTree.SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ||
      (tv.iImage != kImageOnline && tv.iImage != kImageOffline))
    return 0;
  const std::wstring label = m_targetTree.GetItemText(item);
  std::wstring ip;
  {
    SQLServerLink link;
    const int found = Connect(link) ? ServerAddress(link, label, m_targetTree.GetItemData(item) != 0, &ip) : -1;
    if (found < 0) {
      link.Disconnect();
      TellNoConnection();
      EndDialog(IDCANCEL);
      return 0;
    }
    if (found == 0) {
      ServersGone(link, HostsGoneText({label}));
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
