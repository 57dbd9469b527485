#include "integrity/CQvStrategyObjectUIHandler.h"

#include <unordered_map>
#include <new>

#include "console/ConnectOrTell.h"
#include "console/CurrentUser.h"
#include "console/ListReadFailure.h"
#include "console/LocalClock.h"
#include "console/RecordGone.h"
#include "controls/CUIResource.h"
#include "integrity/CQvSubStrategyObjectDlg.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

using Page = CQvStrategyObjectUIHandler;

const DWORD kGridStyle = 0x4001000D;
const struct {
  UINT grid, scroll;
  const wchar_t* columns[3];
  int nameWidth;
  const wchar_t* initError;
  UINT readError;  // the list's text in the string table
} kLists[Page::kListCount] = {
    {Page::kIpGrid, 1550, {L"名称", L"IP范围", L"说明"}, 100, L"初始化IP数据时出错", kReadIpObjectsFailed},
    {Page::kMacGrid, 1553, {L"名称", L"MAC地址", L"说明"}, 100, L"初始化MAC数据时出错", kReadMacObjectsFailed},
    {Page::kServiceGrid, 1556, {L"名称", L"服务内容", L"说明"}, 100, L"初始化Sever数据时出错",
     kReadServiceObjectsFailed},
    {Page::kAppGrid, 1559, {L"策略名称", L"策略内容", L"策略说明"}, 100, L"初始化 自定义应用策略数据 时出错",
     kReadAppObjectsFailed},
    {Page::kDeviceGrid, 1562, {L"策略名称", L"策略内容", L"策略说明"}, 100, L"初始化 自定义设备策略数据 时出错",
     kReadDeviceObjectsFailed},
    {Page::kRegGrid, 15621, {L"注册表策略名称", L"策略内容", L"策略说明"}, 150,
     L"初始化 自定义注册表应用策略数据 时出错", kReadRegObjectsFailed},
};

// The buttons of the lists' panels.
const struct {
  UINT item;
  int (Page::*operation)();
} kCommands[] = {
    {1520, &Page::AddIpObject},      {1521, &Page::ModifyIpObject},      {1522, &Page::DeleteIpObjects},
    {1523, &Page::AddMacObject},     {1524, &Page::ModifyMacObject},     {1525, &Page::DeleteMacObjects},
    {1526, &Page::AddServiceObject}, {1527, &Page::ModifyServiceObject}, {1528, &Page::DeleteServiceObjects},
    {1529, &Page::AddAppObject},     {1530, &Page::ModifyAppObject},     {1531, &Page::DeleteAppObjects},
    {1532, &Page::AddDeviceObject},  {1533, &Page::ModifyDeviceObject},  {1534, &Page::DeleteDeviceObjects},
    {1535, &Page::AddRegObject},     {1536, &Page::ModifyRegObject},     {1537, &Page::DeleteRegObjects},
};

void ShowFailure(bool connected, const std::wstring& error) {
  if (!connected)
    UiMessageBox(L"连接数据库 StrategyObject.db 出错", L"错误", MB_ICONSTOP);
  else
    TellError(error.c_str());
}

bool SameNameIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x += 32;
    if (y >= L'A' && y <= L'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::wstring CQvStrategyObjectUIHandler::ServiceText(const ServiceObjectRecord& r) {
  std::wstring text;
  if (!r.tcp.empty()) text += L"TCP " + r.tcp + L" ";
  if (!r.udp.empty()) text += L"UDP " + r.udp + L" ";
  if (!r.icmp.empty()) text += L"ICMP " + r.icmp;
  return text;
}

std::wstring CQvStrategyObjectUIHandler::DevicePart(const std::wstring& query, const std::wstring& manage) {
  if (!query.empty() && !manage.empty()) return query + L";" + manage;
  return query.empty() ? manage : query;
}

namespace {

void AppendPart(std::wstring& text, const std::wstring& part, const wchar_t* separator) {
  if (!text.empty()) text += separator;
  text += part;
}

}  // namespace

const int CQvStrategyObjectUIHandler::kEditorKinds[kListCount] = {0, 1, 5, 2, 4, 3};

CQvStrategyObjectUIHandler::CQvStrategyObjectUIHandler(CUiDialogHost* owner)
    : CUiDialogImpl<CQvStrategyObjectUIHandler>(0),
      m_owner(owner),
      m_creator(g_currentUserName),
      m_ipGrid(CUIResource::GetSkinBitmap(), kLists[kIp].scroll, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_macGrid(CUIResource::GetSkinBitmap(), kLists[kMac].scroll, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_serviceGrid(CUIResource::GetSkinBitmap(), kLists[kService].scroll, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_appGrid(CUIResource::GetSkinBitmap(), kLists[kApp].scroll, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_deviceGrid(CUIResource::GetSkinBitmap(), kLists[kDevice].scroll, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_regGrid(CUIResource::GetSkinBitmap(), kLists[kReg].scroll, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_grids{&m_ipGrid, &m_macGrid, &m_serviceGrid, &m_appGrid, &m_deviceGrid, &m_regGrid} {
  for (int& row : m_ticked) row = -1;
}

// The grids are children of the main window's view; they go before it does.
CQvStrategyObjectUIHandler::~CQvStrategyObjectUIHandler() {
  for (int list = kListCount - 1; list >= 0; --list)
    if (::IsWindow(m_grids[list]->m_hWnd)) m_grids[list]->DestroyWindow();
}

// Every grid gets its window first, so that no button acts on a grid without one.
int CQvStrategyObjectUIHandler::Init() {
  const HWND view = m_owner ? m_owner->GetViewHWnd() : nullptr;
  for (int list = 0; list < kListCount; ++list) {
    Grid& grid = *m_grids[list];
    grid.Create(view, nullptr, nullptr, kGridStyle, 0, kLists[list].grid);
    grid.AddColumn(L"", 40, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
    for (int column = 0; column < 3; ++column)
      grid.AddColumn(kLists[list].columns[column], column ? (column == 1 ? 300 : 260) : kLists[list].nameWidth, -1,
                     FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  }
  // A list that cannot be read says so alone; without a database none can be read.
  int loaded = 1;
  for (int list = 0; list < kListCount; ++list) {
    bool connected = true;
    if (Load(List(list), &connected)) continue;
    loaded = 0;
    if (connected) continue;
    UiMessageBox(kLists[list].initError, L"错误", MB_ICONSTOP);
    return 0;
  }
  return loaded;
}

LRESULT CQvStrategyObjectUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->code == UINM_TAB_SELCHANGE) {
    auto* change = reinterpret_cast<UINMTABSELCHANGE*>(pnmh);
    if (change->uTabID != kTabCtrl) {
      bHandled = FALSE;
      return 0;
    }
    if (!OnTabChange(int(change->uTabItemIDOld), int(change->uTabItemIDNew))) change->bCancel = TRUE;
    return 0;
  }
  const UINT item = CommandItemOf(pnmh);
  for (const auto& command : kCommands) {
    if (command.item != item) continue;
    (this->*command.operation)();
    return 0;
  }
  bHandled = FALSE;
  return 0;
}

BOOL CQvStrategyObjectUIHandler::OnTabChange(int oldTab, int newTab) {
  m_previousTab = oldTab;
  m_currentTab = newTab;
  return TRUE;
}

LRESULT CQvStrategyObjectUIHandler::OnListClick(List list, LPNMHDR pnmh) {
  const auto* click = reinterpret_cast<const CListNotify*>(pnmh);
  const int row = click->m_nItem;
  if (click->m_nSubItem != 0 || row < 0) return 0;
  int& ticked = m_ticked[list];
  if (ticked < 0) {
    ticked = row;
  } else if (ticked != row) {
    GridOf(list).SetItemCheck(ticked, 0, 0);
    ticked = row;
  } else {
    GridOf(list).SetItemCheck(ticked, 0, 0);
    ticked = -1;
  }
  return 0;
}

void CQvStrategyObjectUIHandler::SetRow(Grid& grid, int row, const Row& cells) {
  for (int column = 0; column < 3; ++column) {
    grid.SetItemText(row, column + 1, cells[column].c_str());
    grid.SetItemFlags(row, column + 1, ITEM_FLAGS_LEFT);
  }
}

int CQvStrategyObjectUIHandler::FirstTicked(List list) const {
  const Grid& grid = *m_grids[list];
  for (int row = 0; row < grid.GetItemCount(); ++row)
    if (grid.GetItemCheck(row, 0) == 1) return row;
  return -1;
}

// ---- load: one list row per name, the items of a multi-row object joined

int CQvStrategyObjectUIHandler::Load(List list, bool* connected) {
  std::vector<Row> rows;
  bool linked = true;
  if (!connected) connected = &linked;
  std::wstring error;
  if (!ReadRows(list, &rows, connected, &error)) {
    if (*connected)
      TellListUnread(kLists[list].readError, error.c_str());
    else
      ShowFailure(false, error);
    return 0;
  }
  Grid& grid = GridOf(list);
  const bool multi = list >= kApp;
  std::unordered_map<std::wstring, size_t> byName;
  std::vector<Row> shown;
  shown.reserve(multi ? 64 : rows.size());
  for (Row& row : rows) {
    if (multi) {
      auto found = byName.find(row[0]);
      if (found != byName.end()) {
        AppendPart(shown[found->second][1], row[1], list == kDevice ? L"  " : L" ");
        continue;
      }
      byName.emplace(row[0], shown.size());
    }
    shown.push_back(std::move(row));
  }
  // Scroll bars and paint once, after the last row.
  grid.SendMessage(WM_SETREDRAW, FALSE);
  bool whole = true;  // a grid that cannot take another row holds part of the list
  for (size_t i = 0; whole && i < shown.size(); ++i) {
    const int row = grid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
    whole = row >= 0;
    if (whole) SetRow(grid, row, shown[i]);
  }
  // Part of the list would pass for all of it.
  if (!whole) grid.DeleteAllItems();
  grid.SendMessage(WM_SETREDRAW, TRUE);
  grid.Invalidate();
  if (!whole) TellListUnread(kLists[list].readError, kGridFullReason);
  return whole ? 1 : 0;
}

// ---- delete: every table row of each ticked name

int CQvStrategyObjectUIHandler::Delete(List list) {
  Grid& grid = GridOf(list);
  std::vector<std::wstring> names;
  for (int row = 0; row < grid.GetItemCount(); ++row)
    if (grid.GetItemCheck(row, 0) > 0) names.push_back(grid.GetItemText(row, 1));
  if (names.empty()) {
    UiMessageBox(L"请选择要删除的策略", L"提示", MB_OK);
    return 0;
  }
  bool anyGone = false;
  for (const std::wstring& name : names) {
    bool connected = true, gone = false;
    std::wstring error;
    if (!DeleteNamed(list, name, &connected, &error, &gone)) {
      anyGone = anyGone || gone;
      if (gone) continue;
      ShowFailure(connected, error);
      return 0;
    }
    for (int row = grid.GetItemCount() - 1; row >= 0; --row)
      if (SameNameIgnoringAsciiCase(grid.GetItemText(row, 1), name)) grid.DeleteItem(row);
    m_ticked[list] = -1;
  }
  if (anyGone) ObjectGone(list);
  return anyGone ? 0 : 1;
}

void CQvStrategyObjectUIHandler::ObjectGone(List list) {
  TellRecordGone([this, list] { ReloadList(list); });
}

void CQvStrategyObjectUIHandler::ReloadList(List list, bool keepTick) {
  const int ticked = keepTick ? FirstTicked(list) : -1;
  const std::wstring name = ticked >= 0 ? GridOf(list).GetItemText(ticked, 1) : std::wstring();
  GridOf(list).DeleteAllItems();
  m_ticked[list] = -1;
  Load(list);
  const int row = ticked >= 0 ? RowOfName(list, name) : -1;
  if (row < 0) return;
  GridOf(list).SetItemCheck(row, 0, 1);
  m_ticked[list] = row;
}

int CQvStrategyObjectUIHandler::RowOfName(List list, const std::wstring& name) const {
  const Grid& grid = *m_grids[list];
  for (int row = 0; row < grid.GetItemCount(); ++row)
    if (SameNameIgnoringAsciiCase(grid.GetItemText(row, 1), name)) return row;
  return -1;
}

// ---- add and modify

// The list may be read again while the editor is open: a modified object's row is found
// by its name after, and stays ticked.
int CQvStrategyObjectUIHandler::RunEditor(List list, int mode, void* record) {
  CQvSubStrategyObjectDlg editor(kEditorKinds[list], mode, record, [this, list] { ReloadList(list, true); });
  return editor.DoModal(nullptr) == IDOK ? 1 : 0;
}

int CQvStrategyObjectUIHandler::Add(List list) { return list < kApp ? AddSingle(list) : AddMulti(list); }

int CQvStrategyObjectUIHandler::Modify(List list) { return list < kApp ? ModifySingle(list) : ModifyMulti(list); }

int CQvStrategyObjectUIHandler::AddSingle(List list) {
  ObjectRecord record;
  ServiceObjectRecord service;
  if (!RunEditor(list, CQvSubStrategyObjectDlg::kAdd, list == kService ? static_cast<void*>(&service) : &record))
    return 0;
  record.createTime = record.modifyTime = service.createTime = service.modifyTime = LocalClock::TimeText();
  record.creator = service.creator = m_creator;
  bool connected = true;
  std::wstring error;
  if (!InsertSingle(list, record, service, &connected, &error)) {
    ShowFailure(connected, error);
    return 0;
  }
  Grid& grid = GridOf(list);
  const Row cells = list == kService ? Row{service.name, ServiceText(service), service.explain}
                                     : Row{record.name, record.content, record.explain};
  SetRow(grid, grid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE), cells);
  return 1;
}

int CQvStrategyObjectUIHandler::ModifySingle(List list) {
  const int row = FirstTicked(list);
  if (row < 0) {
    UiMessageBox(L"请选中要修改的策略", L"提示", MB_OK);
    return 0;
  }
  ObjectRecord record;
  ServiceObjectRecord service;
  bool found = false, connected = true;
  std::wstring error;
  const std::wstring oldName = GridOf(list).GetItemText(row, 1);
  if (!ReadSingle(list, oldName, &record, &service, &found, &connected, &error)) {
    ShowFailure(connected, error);
    return 0;
  }
  if (!found) {
    ObjectGone(list);
    return 0;
  }
  if (!RunEditor(list, CQvSubStrategyObjectDlg::kModify, list == kService ? static_cast<void*>(&service) : &record))
    return 0;
  record.modifyTime = service.modifyTime = LocalClock::TimeText();
  bool gone = false;
  if (!UpdateSingle(list, record, service, &connected, &error, &gone)) {
    if (gone)
      ObjectGone(list);
    else
      ShowFailure(connected, error);
    return 0;
  }
  const int shown = RowOfName(list, oldName);
  if (shown >= 0)
    SetRow(GridOf(list), shown, list == kService ? Row{service.name, ServiceText(service), service.explain}
                                                 : Row{record.name, record.content, record.explain});
  return 1;
}

int CQvStrategyObjectUIHandler::AddMulti(List list) {
  bool connected = true;
  std::wstring error;
  Row cells;
  const int ok = list == kDevice ? AddChain<DeviceObjectNode>(list, &cells, &connected, &error)
                                 : AddChain<ClientObjectNode>(list, &cells, &connected, &error);
  if (!ok) {
    if (!connected || !error.empty()) ShowFailure(connected, error);
    return 0;
  }
  Grid& grid = GridOf(list);
  SetRow(grid, grid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE), cells);
  return 1;
}

// The new object through the editor, then its rows written; the chain freed either way.
template <class Node>
int CQvStrategyObjectUIHandler::AddChain(List list, Row* cells, bool* connected, std::wstring* error) {
  auto* head = new (std::nothrow) Node;
  if (!head) return 0;
  bool gone = false;  // nothing to be gone: a new object
  const bool ok = RunEditor(list, CQvSubStrategyObjectDlg::kAdd, head) &&
                  WriteChain(list, head, nullptr, connected, error, &gone);
  if (ok) *cells = RowOf(list, head);
  FreeChain(list, head);
  return ok ? 1 : 0;
}

bool CQvStrategyObjectUIHandler::WriteChain(List list, ClientObjectNode* head, const std::wstring* oldName,
                                            bool* connected, std::wstring* error, bool* gone) {
  return WriteClientChain(list, head, oldName, m_creator, connected, error, gone);
}

bool CQvStrategyObjectUIHandler::WriteChain(List, DeviceObjectNode* head, const std::wstring* oldName,
                                            bool* connected, std::wstring* error, bool* gone) {
  return WriteDeviceChain(head, oldName, m_creator, connected, error, gone);
}

CQvStrategyObjectUIHandler::Row CQvStrategyObjectUIHandler::RowOf(List, const ClientObjectNode* head) {
  Row cells{head->name, L"", head->explain};
  for (const ClientObjectNode* node = head; node; node = node->next) AppendPart(cells[1], node->path, L" ");
  return cells;
}

CQvStrategyObjectUIHandler::Row CQvStrategyObjectUIHandler::RowOf(List, const DeviceObjectNode* head) {
  Row cells{head->name, L"", head->explain};
  for (const DeviceObjectNode* node = head; node; node = node->next)
    AppendPart(cells[1], DevicePart(node->queryOrder, node->manageOrder), L"  ");
  return cells;
}

int CQvStrategyObjectUIHandler::ModifyMulti(List list) {
  const int row = FirstTicked(list);
  if (row < 0) {
    UiMessageBox(L"请选中要修改的策略", L"提示", MB_OK);
    return 0;
  }
  const std::wstring oldName = GridOf(list).GetItemText(row, 1);
  bool found = false, connected = true, gone = false;
  std::wstring error;
  Row cells;
  int ok = 0;
  if (list == kDevice) {
    auto* head = new (std::nothrow) DeviceObjectNode;
    if (!head) return 0;
    ok = ReadDeviceChain(oldName, head, &found, &connected, &error);
    if (ok && found && RunEditor(list, CQvSubStrategyObjectDlg::kModify, head)) {
      ok = WriteChain(list, head, &oldName, &connected, &error, &gone) ? 2 : 0;
      cells = RowOf(list, head);
    }
    FreeChain(list, head);
  } else {
    auto* head = new (std::nothrow) ClientObjectNode;
    if (!head) return 0;
    ok = ReadClientChain(list, oldName, head, &found, &connected, &error);
    if (ok && found && RunEditor(list, CQvSubStrategyObjectDlg::kModify, head)) {
      ok = WriteChain(list, head, &oldName, &connected, &error, &gone) ? 2 : 0;
      cells = RowOf(list, head);
    }
    FreeChain(list, head);
  }
  if (!ok && !gone) {
    ShowFailure(connected, error);
    return 0;
  }
  if (!found || gone) {
    ObjectGone(list);
    return 0;
  }
  if (ok != 2) return 0;  // cancelled
  const int shown = RowOfName(list, oldName);
  if (shown >= 0) SetRow(GridOf(list), shown, cells);
  return 1;
}
