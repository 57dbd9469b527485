#include "reinforce/CSRSecurityReinforceDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>

#include "console/AgentLinkPayloadInfo.h"
#include "console/CAgentLink.h"
#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "controls/CUIResource.h"
#include "platform/WideFormat.h"
#include "reinforce/CSRReinforceStrategyUIHandler.h"
#include "reinforce/ReinforceOptionMask.h"
#include "reinforce/target.h"
#include "uiwin/UiMessageBox.h"

namespace {

using Dlg = CSRSecurityReinforceDlg;

const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD kTreeStyle = WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                         TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;
// What the policy's columns take.
const int kNameChars = 64;
const int kDocChars = 260;

// The buttons that only lead to another page.
const struct {
  UINT item;
  UINT page;
} kMoves[] = {
    {10003, Dlg::kPageName},         {10005, Dlg::kPageTarget},      {10007, Dlg::kPageTemplate},
    {10008, Dlg::kPageDrivers},      {10009, Dlg::kPageServices},    {10010, Dlg::kPageShares},
    {10011, Dlg::kPageStartups},     {10012, Dlg::kPagePeripherals}, {10013, Dlg::kPageDrivers},
    {10014, Dlg::kPageNetRules},     {10015, Dlg::kPageShares},      {10019, Dlg::kPageSystemOptions},
    {10020, Dlg::kPagePeripherals},  {10022, Dlg::kPageNetRules},    {10026, Dlg::kPageUserOptions},
    {10027, Dlg::kPageNetRules},     {10032, Dlg::kPageSystemOptions}, {10034, Dlg::kPageUserOptions},
};
// Buttons that do nothing: "返回" of the first page, "添加", "修改" and "删除" of the checklists.
const UINT kIdleItems[] = {10001, 10023, 10024, 10025, 10028, 10029, 10030};

// The template tree in display order: parent by index, -1 the root; number -1 for a
// group without a box.
const struct {
  const wchar_t* text;
  int parent;
  int number;
} kTemplates[] = {
    {L"操作系统安全加固策略", -1, -1},
    {L"Windows操作系统安全加固策略", 0, -1},
    {L"Windows 2000 Server安全加固模版", 1, 0},
    {L"Windows 2003 Server安全加固模版", 1, 1},
    {L"Windows 2008 Server安全加固模版", 1, 2},
    {L"Linux操作系统安全加固策略", 0, 3},
    {L"Unix操作系统安全加固策略", 0, 4},
    {L"数据库系统安全加固策略", -1, 5},
    {L"Web服务器安全加固策略", -1, 6},
    {L"邮件服务器安全加固策略", -1, 7},
    {L"文件服务器安全加固策略", -1, 8},
    {L"网络设备/安全设备安全加固策略", -1, 9},
};
const int kTemplateCount = 10;

struct Column {
  const wchar_t* title;
  int width;
  UINT format;
  UINT flags;
};
const UINT kCentre = ITEM_FLAGS_CENTRE;

// The inventory grids with their first three columns, in the order of Dlg::Inventory,
// then the drivers' grid, which has no table.
const struct {
  UINT id;
  Column columns[3];
} kInventoryGrids[] = {
    {Dlg::kServiceGrid, {{L"服务名称", 100, 0, kCentre}, {L"服务描述", 150, 0, kCentre}, {L"服务路径", 300, 0, kCentre}}},
    {Dlg::kStartupGrid, {{L"启动项目", 100, 0, kCentre}, {L"启动程序", 200, 0, kCentre}, {L"启动项路径", 350, 0, kCentre}}},
    {Dlg::kShareGrid, {{L"共享名称", 100, 0, kCentre}, {L"共享类型", 100, 0, kCentre}, {L"共享路径", 450, 0, kCentre}}},
    {Dlg::kPeripheralGrid, {{L"外设类型", 100, 0, kCentre}, {L"显示名称", 100, 0, kCentre}, {L"驱动路径", 450, 0, kCentre}}},
    {Dlg::kDriverGrid, {{L"驱动名称", 100, 0, kCentre}, {L"驱动类型", 100, 0, kCentre}, {L"驱动路径", 450, 0, kCentre}}},
};
const Column kChoiceColumn = {L"设置", 100, ITEM_FORMAT_COMBO, kCentre};
const std::vector<std::wstring>& Choices() {
  static const std::vector<std::wstring> choices = {L"启用", L"移回"};  // by stored value
  return choices;
}

const Column kCheckColumn = {L"", 50, ITEM_FORMAT_CHECKBOX, kCentre};
const Column kOptionColumns[] = {kCheckColumn, {L"加固选项", 300, 0, ITEM_FLAGS_LEFT}, {L"选项描述", 390, 0, ITEM_FLAGS_LEFT}};
const wchar_t* const kSystemOptions[] = {
    L"禁止显示上次登录的用户名", L"重命名&禁用默认系统来宾账户", L"启用交互登录显示信息框",
    L"禁止共享资源远程扫描", L"限制匿名访问的共享资源和注册表资源", L"启用系统密码修改时间要求",
    L"启用系统密码强制历史对比要求", L"启用系统密码登录失败检测与锁定要求", L"启用阻挡系统账户远程被扫描要求",
    L"关闭Everyone映射到匿名用户设置", L"启动Windows系统审核", L"彻底删除系统文件共享功能",
};
const wchar_t* const kUserOptions[] = {
    L"重命名&禁用默认系统管理员账户", L"重命名&禁用默认系统来宾账户", L"启用系统密码复杂性要求",
    L"启用系统密码长度最小值要求", L"启用系统密码修改时间要求", L"启用系统密码强制历史对比要求",
    L"启用系统密码登录失败检测与锁定要求", L"启用阻挡系统账户远程被扫描要求", L"关闭Everyone映射到匿名用户设置",
    L"启用系统账户防火墙",
};

void AddColumns(Dlg::Grid& grid, std::initializer_list<Column> columns) {
  for (const Column& c : columns) grid.AddColumn(c.title, c.width, -1, FALSE, FALSE, c.format, c.flags);
}

}  // namespace

CSRSecurityReinforceDlg::CSRSecurityReinforceDlg(bool isNew, CSRReinforceStrategyUIHandler* ownerPage)
    : CUiDialogImpl<CSRSecurityReinforceDlg>(kLayoutId),
      m_targetTree(CUIResource::GetSkinBitmap(), kTargetTree + 1),
      m_templateTree(CUIResource::GetSkinBitmap(), kTemplateTree + 1),
      m_serviceGrid(CUIResource::GetSkinBitmap(), kServiceGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_startupGrid(CUIResource::GetSkinBitmap(), kStartupGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_driverGrid(CUIResource::GetSkinBitmap(), kDriverGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_shareGrid(CUIResource::GetSkinBitmap(), kShareGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_peripheralGrid(CUIResource::GetSkinBitmap(), kPeripheralGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_ruleGrid(CUIResource::GetSkinBitmap(), kRuleGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_systemOptionGrid(CUIResource::GetSkinBitmap(), kSystemOptionGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_userOptionGrid(CUIResource::GetSkinBitmap(), kUserOptionGrid + 1, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_isNew(isNew),
      m_ownerPage(ownerPage) {}

// The window goes while the members its messages reach are still there.
CSRSecurityReinforceDlg::~CSRSecurityReinforceDlg() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

CSRSecurityReinforceDlg::Grid& CSRSecurityReinforceDlg::GridById(UINT id) {
  Grid* grids[] = {&m_serviceGrid, &m_startupGrid, &m_driverGrid, &m_shareGrid,
                   &m_peripheralGrid, &m_ruleGrid, &m_systemOptionGrid, &m_userOptionGrid};
  const size_t index = (id - kServiceGrid) / 4;
  return index < 8 ? *grids[index] : m_ruleGrid;
}

CSRSecurityReinforceDlg::Grid& CSRSecurityReinforceDlg::InventoryGrid(Inventory which) {
  return GridById(kInventoryGrids[which].id);
}

CComboBoxCtrlEx& CSRSecurityReinforceDlg::ComboById(UINT id) {
  switch (id) {
    case kAddressCombo:
      return m_addressCombo;
    case kLocalPortCombo:
      return m_localPortCombo;
    case kPeerPortCombo:
      return m_peerPortCombo;
    case kDirectionCombo:
      return m_directionCombo;
    default:
      return m_listTypeCombo;
  }
}

// ---- start

LRESULT CSRSecurityReinforceDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  if (!m_isNew) {
    // Only an existing policy can be edited: without a checked row there is none.
    const Grid* owner = m_ownerPage ? &m_ownerPage->GetGrid() : nullptr;
    for (int row = 0; owner && row < owner->GetItemCount() && m_editRow < 0; ++row)
      if (owner->GetItemCheck(row, CSRReinforceStrategyUIHandler::kColumnName) > 0) m_editRow = row;
    if (m_editRow < 0) {
      EndDialog(IDCANCEL);
      return 0;
    }
  }
  CreateControls();
  InitNetRuleList();
  if (InitNetSecurity()) LoadNetRules(kListTypeCombo);
  OnNetRuleGridCheck();
  if (!m_isNew) LoadPolicy();
  return 0;
}

void CSRSecurityReinforceDlg::CreateControls() {
  HWND view = GetViewHWnd();
  m_nameEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kNameEdit);
  m_nameEdit.SetLimits(kNameChars, 0, '\0', FALSE);
  m_docEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kDocEdit);
  m_docEdit.SetLimits(kDocChars, 0, '\0', FALSE);

  const bool pictures = target::LoadServerImages(m_images) != FALSE;
  for (CMulStatusTree* tree : {&m_targetTree, &m_templateTree}) {
    tree->Create(view, RECT{}, nullptr, kTreeStyle, 0, tree == &m_targetTree ? kTargetTree : kTemplateTree);
    if (pictures) tree->SetImageList(m_images, TVSIL_NORMAL);
  }
  m_targetRoot = target::InsertServerKinds(m_targetTree);
  FillTemplateTree();
  CreateGrids();
}

void CSRSecurityReinforceDlg::FillTemplateTree() {
  std::vector<HTREEITEM> items;
  m_templates.assign(kTemplateCount, nullptr);
  for (const auto& node : kTemplates) {
    const bool box = node.number >= 0;
    const int image = box ? target::kImageServer : target::kImageGroup;
    HTREEITEM parent = node.parent < 0 ? TVI_ROOT : items[node.parent];
    HTREEITEM item = m_templateTree.InsertItem(node.text, image, image, parent, TVI_LAST,
                                               box ? EM_TVIS_UNCHECK : EM_TVIS_NONE);
    items.push_back(item);
    if (!box) continue;
    m_templateTree.SetItemData(item, static_cast<DWORD_PTR>(node.number));
    m_templates[node.number] = item;
  }
}

void CSRSecurityReinforceDlg::CreateGrids() {
  HWND view = GetViewHWnd();
  for (const auto& inventory : kInventoryGrids) {
    Grid& grid = GridById(inventory.id);
    grid.Create(view, nullptr, nullptr, 0, 0, inventory.id);
    const Column* c = inventory.columns;
    AddColumns(grid, {c[0], c[1], c[2], kChoiceColumn});
  }
  m_ruleGrid.Create(view, nullptr, nullptr, 0, 0, kRuleGrid);
  AddColumns(m_ruleGrid, {kCheckColumn,
                          {L"策略名称", 200, 0, kCentre},
                          {L"交互地址", 200, 0, kCentre},
                          {L"本地交互端口", 100, 0, kCentre},
                          {L"对端交互端口", 100, 0, kCentre},
                          {L"交互方向", 100, 0, kCentre}});
  const struct {
    Grid* grid;
    UINT id;
    const wchar_t* const* rows;
    size_t count;
  } checklists[] = {{&m_systemOptionGrid, kSystemOptionGrid, kSystemOptions, std::size(kSystemOptions)},
                    {&m_userOptionGrid, kUserOptionGrid, kUserOptions, std::size(kUserOptions)}};
  for (const auto& list : checklists) {
    list.grid->Create(view, nullptr, nullptr, 0, 0, list.id);
    AddColumns(*list.grid, {kOptionColumns[0], kOptionColumns[1], kOptionColumns[2]});
    for (size_t i = 0; i < list.count; ++i) {
      const int row = list.grid->AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
      list.grid->SetItemText(row, 1, list.rows[i]);
    }
  }
}

void CSRSecurityReinforceDlg::LoadPolicy() {
  const Grid& owner = m_ownerPage->GetGrid();
  m_oldName = owner.GetItemText(m_editRow, CSRReinforceStrategyUIHandler::kColumnName);
  m_nameEdit.SetWindowText(m_oldName.c_str());
  m_docEdit.SetWindowText(owner.GetItemText(m_editRow, CSRReinforceStrategyUIHandler::kColumnDoc).c_str());
  CheckFirstChild(m_targetTree, m_targetRoot,
                  owner.GetItemText(m_editRow, CSRReinforceStrategyUIHandler::kColumnObjective), m_targetChecked);
  int number = -1;
  bool found = false;
  std::wstring error;
  if (!ReadTemplate(m_oldName, &number, &found, &error)) {
    TellError(error.c_str());
    return;  // the database is out of reach: the lists would say the same
  }
  if (!found) return PolicyGone();
  if (number >= 0 && number < kTemplateCount) {
    m_templateTree.SetCheck(m_templates[number], EM_TVIS_CHECK, TRUE);
    m_templateChecked = m_templates[number];
  }
  for (int which = 0; which < kInventoryCount; ++which) LoadInventory(static_cast<Inventory>(which));
}

void CSRSecurityReinforceDlg::CheckFirstChild(CMulStatusTree& tree, HTREEITEM parent, const std::wstring& text,
                                              HTREEITEM& remembered) {
  for (HTREEITEM item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item)) {
    if (tree.GetItemText(item) != text) continue;
    tree.SetCheck(item, EM_TVIS_CHECK, TRUE);
    remembered = item;
    return;
  }
}

void CSRSecurityReinforceDlg::LoadInventory(Inventory which) {
  // By Inventory.
  static const UINT kReadFailed[kInventoryCount] = {kReadServicesFailed, kReadStartupsFailed, kReadSharesFailed,
                                                    kReadPeripheralsFailed};
  std::vector<InventoryRow> rows;
  std::wstring error;
  const bool read = ReadInventory(which, &rows, &error);
  if (!FillInventory(which, rows)) TellListUnread(kReadFailed[which], kGridFullReason);
  if (!read) TellListUnread(kReadFailed[which], error.c_str());
}

bool CSRSecurityReinforceDlg::FillInventory(Inventory which, const std::vector<InventoryRow>& rows) {
  Grid& grid = InventoryGrid(which);
  grid.DeleteAllItems();
  for (const InventoryRow& source : rows) {
    const int row = grid.AddItem(source.cells[0].c_str());
    if (row < 0) {
      grid.DeleteAllItems();  // part of the list would pass for all of it
      return false;
    }
    grid.SetItemText(row, 1, source.cells[1].c_str());
    grid.SetItemText(row, 2, source.cells[2].c_str());
    // Another stored value shows no choice and stays as it is.
    grid.SetItemCombo(row, 3, ITEM_FORMAT_COMBO, kCentre, Choices());
    grid.SetItemComboIndex(row, 3, source.enabled);
  }
  return true;
}

// ---- commands

LRESULT CSRSecurityReinforceDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  static_assert(kItemUpdate == kItemClose + 3, "the header buttons follow the close button");
  const UINT item = CommandItemOf(pnmh);
  for (const auto& move : kMoves) {
    if (move.item != item) continue;
    ShowPage(move.page);
    return 0;
  }
  if (std::find(std::begin(kIdleItems), std::end(kIdleItems), item) != std::end(kIdleItems) ||
      OnHeaderButton(item, kItemClose))
    return 0;
  switch (item) {
    case kNameNext:
      OnNameNext();
      break;
    case kTargetNext:
      OnTargetNext();
      break;
    case kTemplateNext:
      OnTemplateNext();
      break;
    case kServicesNext:
      OnServicesNext();
      break;
    case kRuleAdd:
      OnNetRuleAdd();
      break;
    case kRuleModify:
      OnNetRuleModify();
      break;
    case kRuleDelete:
      OnNetRuleDelete();
      break;
    case kRuleOK:
      OnAddNetRule();
      break;
    case kUserOptionsNext:
      OnUserOptionsNext();
      break;
    case kFinish:
      SavePolicy();
      break;
    default:
      bHandled = FALSE;  // Enter and Escape (1, 2) among them: the wizard ignores both
      break;
  }
  return 0;
}

void CSRSecurityReinforceDlg::ShowPage(UINT page) {
  if (page == m_page) return;
  SetItemVisible(m_page, FALSE);
  SetItemVisible(page, TRUE);
  m_page = page;
}

void CSRSecurityReinforceDlg::OnNameNext() {
  const std::wstring name = m_nameEdit.GetWindowText();
  if (name.empty()) {
    UiMessageBox(L"没有策略名！", L"警告", MB_ICONINFORMATION);
    return;
  }
  // Editing, the policy's own old name is no clash: it is the row being rewritten.
  bool taken = false;
  std::wstring error;
  if (!PolicyNameTaken(name, m_isNew ? nullptr : &m_oldName, &taken, &error)) {
    TellError(error.c_str());
    return;
  }
  if (taken) {
    UiMessageBox(L"名称重复了！！！", L"错误", MB_OK);
    ReadOwnerList();
    return;
  }
  if (m_docEdit.GetWindowText().empty()) {
    UiMessageBox(L"没有策略描述！", L"警告", MB_ICONINFORMATION);
    return;
  }
  ShowPage(kPageTarget);
}

HTREEITEM CSRSecurityReinforceDlg::SingleCheck(const CMulStatusTree& tree) {
  HTREEITEM first = tree.GetFirstCheckedItem();
  return first && !tree.GetNextCheckedItem(first) ? first : nullptr;
}

void CSRSecurityReinforceDlg::OnTargetNext() {
  if (!SingleCheck(m_targetTree)) {
    UiMessageBox(L"没有选择!!!", L"警告", MB_ICONINFORMATION);
    return;
  }
  ShowPage(kPageTemplate);
}

void CSRSecurityReinforceDlg::OnTemplateNext() {
  if (!SingleCheck(m_templateTree)) {
    UiMessageBox(L"没有选择!!!", L"警告", MB_ICONINFORMATION);
    return;
  }
  ShowPage(kPageServices);
}

LRESULT CSRSecurityReinforceDlg::OnTargetTreeCheck(int, LPNMHDR pnmh, BOOL&) {
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  target::KeepSingleCheck(m_targetTree, m_targetChecked, nm->hItem, nm->nState);
  return 0;
}

LRESULT CSRSecurityReinforceDlg::OnTemplateTreeCheck(int, LPNMHDR pnmh, BOOL&) {
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  target::KeepSingleCheck(m_templateTree, m_templateChecked, nm->hItem, nm->nState);
  return 0;
}

void CSRSecurityReinforceDlg::OnServicesNext() {
  m_serviceGrid.EndEdit();
  std::vector<std::pair<std::wstring, int>> choices;
  const std::vector<std::wstring>& texts = Choices();
  for (int row = 0; row < m_serviceGrid.GetItemCount(); ++row) {
    const auto choice = std::find(texts.begin(), texts.end(), m_serviceGrid.GetItemText(row, 3));
    if (choice != texts.end())
      choices.emplace_back(m_serviceGrid.GetItemText(row, 0), static_cast<int>(choice - texts.begin()));
  }
  std::wstring error;
  bool gone = false;
  if (!StoreServiceChoices(choices, &error, &gone)) {
    TellError(error.c_str());
    return;
  }
  // The choices for the services still there are stored; the page stays, with the list
  // as it is now.
  if (gone) return TellRecordGone([this] { LoadInventory(kServices); });
  ShowPage(kPageStartups);
}

void CSRSecurityReinforceDlg::OnUserOptionsNext() {
  const Grid* counted[] = {&m_serviceGrid, &m_startupGrid, &m_shareGrid, &m_peripheralGrid, &m_ruleGrid};
  for (UINT i = 0; i < std::size(counted); ++i)
    SetItemText(kSummaryFirst + i, qv::FormatW(L"%d项", counted[i]->GetItemCount()).c_str());
  ShowPage(kPageSummary);
}

void CSRSecurityReinforceDlg::SavePolicy() {
  const std::wstring name = m_nameEdit.GetWindowText();
  const std::wstring doc = m_docEdit.GetWindowText();
  HTREEITEM kind = m_targetTree.GetFirstCheckedItem();
  HTREEITEM model = m_templateTree.GetFirstCheckedItem();
  const std::wstring objective = kind ? m_targetTree.GetItemText(kind) : std::wstring();
  const int number = model ? static_cast<int>(m_templateTree.GetItemData(model)) : -1;
  std::wstring error;
  bool gone = false;
  if (!StorePolicy(name, doc, objective, number, m_isNew ? nullptr : &m_oldName, &error, &gone)) {
    if (gone) return PolicyGone();
    TellError(error.c_str());
    return;
  }
  if (m_ownerPage) {
    Grid& owner = m_ownerPage->GetGrid();
    const int row = m_isNew ? owner.AddItem(name.c_str(), -1, ITEM_FORMAT_CHECKBOX) : m_editRow;
    if (row >= 0) {
      owner.SetItemText(row, CSRReinforceStrategyUIHandler::kColumnName, name.c_str());
      owner.SetItemText(row, CSRReinforceStrategyUIHandler::kColumnDoc, doc.c_str());
      owner.SetItemText(row, CSRReinforceStrategyUIHandler::kColumnObjective, objective.c_str());
    }
  }
  EndDialog(IDCANCEL);
}

LRESULT CSRSecurityReinforceDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) return 0;  // Alt+F4 and the system menu do not close the wizard
  return FollowMaxButton(wParam, kItemMaxRestore, bHandled);
}

// ---- messages nothing in the console sends

LRESULT CSRSecurityReinforceDlg::OnReloadInventory(UINT uMsg, WPARAM, LPARAM, BOOL&) {
  LoadInventory(static_cast<Inventory>(uMsg - kReloadServices));
  return 0;
}

// The text is trusted only while the service link hands it over, with its length.
LRESULT CSRSecurityReinforceDlg::OnOptionBits(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (!CAgentLink::IsDelivering(uMsg, wParam, lParam)) return 0;
  const auto* payload = reinterpret_cast<const AgentLinkPayloadInfo*>(wParam);
  uint32_t mask = 0;
  if (ReinforceOptionMask::Parse(reinterpret_cast<const char*>(lParam), payload->length, &mask))
    CheckOptionRows(uMsg == kSystemOptionBits ? m_systemOptionGrid : m_userOptionGrid, mask);
  return 0;
}

void CSRSecurityReinforceDlg::CheckOptionRows(Grid& grid, unsigned long mask) {
  const int rows = std::min(grid.GetItemCount(), 32);
  for (int row = 0; row < rows; ++row)
    if (mask & (1ul << row)) grid.SetItemCheck(row, 0, 1);
}

void CSRSecurityReinforceDlg::ReadOwnerList() {
  if (!m_ownerPage) return;
  m_ownerPage->ReloadPolicies();
  if (m_isNew) return;
  Grid& owner = m_ownerPage->GetGrid();
  m_editRow = -1;
  for (int row = 0; row < owner.GetItemCount() && m_editRow < 0; ++row)
    if (owner.GetItemText(row, CSRReinforceStrategyUIHandler::kColumnName) == m_oldName) m_editRow = row;
  if (m_editRow < 0) return;
  owner.SetItemCheck(m_editRow, CSRReinforceStrategyUIHandler::kColumnName, 1);
  m_ownerPage->OnGridCheckChanged();
}

// The policy being edited has no row left: the wizard ends and the page reads its list
// again.
void CSRSecurityReinforceDlg::PolicyGone() {
  if (m_ownerPage)
    m_ownerPage->PolicyGone();
  else
    TellRecordGone(nullptr);
  EndDialog(IDCANCEL);
}
