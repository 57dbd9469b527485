#include "integrity/CQvSubStrategyObjectDlg.h"

#include <commctrl.h>

#include <new>
#include <utility>

#include "console/CDirectoryDlg.h"
#include "console/CServerDlg.h"
#include "console/ConnectOrTell.h"
#include "console/SQLServerLink.h"
#include "controls/CUIResource.h"
#include "integrity/StrategyObjectText.h"
#include "uiwin/UiMessageBox.h"

namespace {

using Dlg = CQvSubStrategyObjectDlg;
using Text = StrategyObjectText;

const DWORD kBordered = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
const DWORD kListStyle = WS_CHILD | WS_TABSTOP | 0x000D;
const int kNameChars = 20;
const int kExplainChars = 50;
const int kRegPathChars = 100;
const int kCommandChars = 30;
const COLORREF kGridColours[] = {0xCFBBA2, 0xCDFAFF, 0xF5C2A9};

const UINT kMacFieldIds[6] = {1309, 1326, 1327, 1328, 1329, 1330};

// Per kind: its panel, name edit, explanation edit, and the texts of the OK check.
const struct {
  UINT panel;
  const wchar_t* nameMessage;
  const wchar_t* contentMessage;
} kKinds[Dlg::kKindCount] = {
    {1500, L"请输入 IP策略名称", L"请输入 IP策略范围"},
    {1501, L"请输入 MAC策略名称", L"请输入 MAC策略范围"},
    {1503, L"请输入 自定义应用策略名称", L"请输入 自定义应用策略内容"},
    {15041, L"请输入自定义注册表策略名称", L"请输入 自定义注册表策略内容"},
    {1504, L"请输入 自定义设备策略名称", L"请输入 自定义设备策略内容"},
};

void Hint(const wchar_t* text) { UiMessageBox(text, L"提示", MB_OK); }
void Error(const wchar_t* text) { UiMessageBox(text, L"错误", MB_ICONSTOP); }

std::wstring TextOf(const CWindow& window) { return window.m_hWnd ? window.GetWindowText() : std::wstring(); }

unsigned long AddressOf(const CIPAddressCtrlEx& control) {
  DWORD address = 0;
  ::SendMessageW(control.m_hWnd, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  return address;
}

void SetAddress(CIPAddressCtrlEx& control, unsigned long address) {
  if (address)
    ::SendMessageW(control.m_hWnd, IPM_SETADDRESS, 0, address);
  else
    ::SendMessageW(control.m_hWnd, IPM_CLEARADDRESS, 0, 0);
}

template <class Node>
Node* NodeAt(Node* head, int index) {
  while (head && index-- > 0) head = head->next;
  return head;
}

// Unlinks and deletes the node at index, keeping head and tail right.
template <class Node>
void RemoveNode(Node*& head, Node*& tail, int index) {
  Node* previous = nullptr;
  Node* node = head;
  for (; node && index > 0; --index) previous = node, node = node->next;
  if (!node) return;
  (previous ? previous->next : head) = node->next;
  if (tail == node) tail = previous;
  delete node;
}

template <class Node>
void Append(Node*& head, Node*& tail, Node* node) {
  node->next = nullptr;
  (tail ? tail->next : head) = node;
  tail = node;
}

// A content row: its check box, then the entry's text.
int AddListRow(Dlg::Grid& list, const std::wstring& text) {
  const int row = list.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
  list.SetItemText(row, 1, text.c_str());
  list.SetItemFlags(row, 1, ITEM_FLAGS_LEFT);
  return row;
}

// The load of a modify: the page's items copied into the working chain with their rows;
// the page keeps its head alone.
template <class Node, class RowText>
void CopyChain(Node* pageHead, Node*& head, Node*& tail, Dlg::Grid& list, const wchar_t* failure, RowText rowText) {
  for (const Node* from = pageHead; from; from = from->next) {
    auto* node = new (std::nothrow) Node(*from);
    if (!node) {
      Error(failure);
      break;
    }
    Append(head, tail, node);
    AddListRow(list, rowText(*node));
  }
  FreeObjectChain(pageHead->next);
  pageHead->next = nullptr;
}

}  // namespace

Dlg::ClientPanel::ClientPanel(UINT scroll, const wchar_t* title, const wchar_t* addFailure)
    : list(CUIResource::GetSkinBitmap(), scroll, kGridColours[0], kGridColours[1], kGridColours[2]),
      title(title),
      addFailure(addFailure) {}

CQvSubStrategyObjectDlg::CQvSubStrategyObjectDlg(int kind, int mode, void* record, std::function<void()> readList)
    : CUiDialogImpl<CQvSubStrategyObjectDlg>(kLayoutId),
      m_kind(kind),
      m_mode(mode),
      m_record(record),
      m_readList(std::move(readList)),
      m_ipList(CUIResource::GetSkinBitmap(), kIpScroll, kGridColours[0], kGridColours[1], kGridColours[2]),
      m_macList(CUIResource::GetSkinBitmap(), kMacScroll, kGridColours[0], kGridColours[1], kGridColours[2]),
      m_app(kAppScroll, L"自定义应用策略", L"内存分配失败:自定义应用策略->添加功能"),
      m_reg(kRegScroll, L"自定义注册表应用策略", L"内存分配失败:自定义注册表应用策略->添加功能"),
      m_devList(CUIResource::GetSkinBitmap(), kDevScroll, kGridColours[0], kGridColours[1], kGridColours[2]),
      m_portList(CUIResource::GetSkinBitmap(), kPortScroll, kGridColours[0], kGridColours[1], kGridColours[2]),
      m_icmpList(CUIResource::GetSkinBitmap(), kIcmpScroll, kGridColours[0], kGridColours[1], kGridColours[2]) {}

// The window goes while the controls its messages reach are still there; chains not
// handed over are the editor's.
CQvSubStrategyObjectDlg::~CQvSubStrategyObjectDlg() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  FreeWorkingChains();
}

Dlg::Grid& CQvSubStrategyObjectDlg::List(int kind) {
  switch (kind) {
    case kIp: return m_ipList;
    case kMac: return m_macList;
    case kApp: return m_app.list;
    case kReg: return m_reg.list;
    case kDevice: return m_devList;
    default: return m_portList;
  }
}

// ---- creation

LRESULT CQvSubStrategyObjectDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_kind < 0 || m_kind >= kKindCount) return TRUE;
  CreateControls();
  SetItemVisible(kKinds[m_kind].panel, TRUE);
  if (m_kind <= kMac)
    m_object = static_cast<ObjectRecord*>(m_record);
  else if (m_kind == kDevice)
    m_deviceHead = static_cast<DeviceObjectNode*>(m_record);
  else
    m_clientHead = static_cast<ClientObjectNode*>(m_record);
  if (m_mode == kModify && m_record) {
    if (m_kind <= kMac)
      LoadIpMac();
    else if (m_kind == kDevice)
      LoadDevices();
    else
      LoadClients(m_kind);
  }
  return TRUE;
}

void CQvSubStrategyObjectDlg::CreateEdit(CEditEx& edit, HWND view, UINT id, int limit, DWORD extraStyle) {
  edit.Create(view, nullptr, nullptr, kBordered | extraStyle, 0, id);
  if (limit) edit.SetLimits(limit, 0, '0', FALSE);
}

void CQvSubStrategyObjectDlg::CreateList(Grid& list, UINT id) {
  list.Create(GetViewHWnd(), nullptr, nullptr, kListStyle, 0, id);
  list.AddColumn(L"", 40, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  list.AddColumn(L"", 260, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT);
  list.ShowHeader(FALSE);
}

void CQvSubStrategyObjectDlg::CreateControls() {
  const HWND view = GetViewHWnd();
  switch (m_kind) {
    case kIp: {
      CreateEdit(m_ipName, view, kIpName, kNameChars);
      const RECT places[3] = {{71, 49, 199, 67}, {291, 49, 419, 67}, {486, 49, 614, 67}};
      const UINT addresses[3] = {kIpAddress, kIpStart, kIpEnd};
      for (int i = 0; i < 3; ++i) {
        m_ipAddresses[i].Create(view, places[i], nullptr, WS_CHILD | WS_VISIBLE, 0, addresses[i]);
        CreateEdit(m_ipMasks[i], view, addresses[i] + 1, 0);
        m_ipMasks[i].SetInputType(CEditEx::kDigits);
        m_ipMasks[i].SetNumberRange(0, 32);
      }
      CreateEdit(m_ipExplain, view, kIpExplain, kExplainChars);
      CreateList(m_ipList, kIpList);
      break;
    }
    case kMac:
      CreateEdit(m_macName, view, kMacName, kNameChars);
      for (int i = 0; i < 6; ++i) {
        m_macFields[i].Create(view, nullptr, nullptr, WS_CHILD | WS_VISIBLE | ES_UPPERCASE | ES_AUTOHSCROLL, 0,
                              kMacFieldIds[i]);
        m_macFields[i].SetInputType(CEditEx::kDigits, L"ABCDEF", 6);
        m_macFields[i].SetLimits(2, CEditEx::kPadOnLeave, '0', TRUE);
      }
      CreateEdit(m_macExplain, view, kMacExplain, kExplainChars);
      CreateList(m_macList, kMacList);
      break;
    case kApp:
    case kReg: {
      ClientPanel& panel = Panel(m_kind);
      const bool app = m_kind == kApp;
      CreateEdit(panel.name, view, app ? kAppName : kRegName, kNameChars);
      CreateEdit(panel.client, view, app ? kAppClient : kRegClient, 0, ES_READONLY);
      CreateEdit(panel.path, view, app ? kAppPath : kRegPath, app ? 0 : kRegPathChars, app ? ES_READONLY : 0);
      CreateEdit(panel.explain, view, app ? kAppExplain : kRegExplain, kExplainChars);
      CreateList(panel.list, app ? kAppList : kRegList);
      break;
    }
    case kDevice:
      CreateEdit(m_devName, view, kDevName, kNameChars);
      CreateEdit(m_devManage, view, kDevManage, kCommandChars);
      CreateEdit(m_devQuery, view, kDevQuery, kCommandChars);
      CreateEdit(m_devExplain, view, kDevExplain, kExplainChars);
      CreateList(m_devList, kDevList);
      break;
  }
}

// ---- commands

LRESULT CQvSubStrategyObjectDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (!RunCommand(CommandItemOf(pnmh))) bHandled = FALSE;
  return 0;
}

bool CQvSubStrategyObjectDlg::RunCommand(UINT item) {
  switch (item) {
    case kItemClose: OnCancel(); break;
    case kItemMaxRestore: SendMessage(WM_SYSCOMMAND, ::IsZoomed(m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, 0); break;
    case kItemMinimize: SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case kItemOK: OnOK(); break;
    case kItemCancel: OnCancel(); break;
    case kIpAdd: OnIpAdd(); break;
    case kIpModify: OnIpModify(); break;
    case kIpDelete: OnIpDelete(); break;
    case kMacAdd: OnMacAdd(); break;
    case kMacModify: OnMacModify(); break;
    case kMacDelete: OnMacDelete(); break;
    case kPortAdd: OnPortAdd(); break;
    case kPortModify: OnPortModify(); break;
    case kPortDelete: OnPortDelete(); break;
    case kAppPickClient: OnPickClient(kApp); break;
    case kAppPickFolder: OnPickFolder(kApp); break;
    case kAppAdd: OnClientAdd(kApp); break;
    case kAppModify: OnClientModify(kApp); break;
    case kAppDelete: OnClientDelete(kApp); break;
    case kDevAdd: OnDeviceAdd(); break;
    case kDevModify: OnDeviceModify(); break;
    case kDevDelete: OnDeviceDelete(); break;
    case kRegPickClient: OnPickClient(kReg); break;
    case kRegAdd: OnClientAdd(kReg); break;
    case kRegModify: OnClientModify(kReg); break;
    case kRegDelete: OnClientDelete(kReg); break;
    default: return false;
  }
  return true;
}

LRESULT CQvSubStrategyObjectDlg::OnMacFieldFull(int idCtrl, LPNMHDR, BOOL& bHandled) {
  for (int i = 0; i < 6; ++i) {
    if (kMacFieldIds[i] != UINT(idCtrl)) continue;
    ::SetFocus(i < 5 ? m_macFields[i + 1].m_hWnd : m_macList.m_hWnd);
    return 0;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CQvSubStrategyObjectDlg::OnListClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled) {
  const auto* click = reinterpret_cast<const CListNotify*>(pnmh);
  const int row = click->m_nItem, column = click->m_nSubItem;
  switch (idCtrl) {
    case kIpList: OnIpListClick(row, column); break;
    case kMacList: OnMacListClick(row, column); break;
    case kIcmpList: OnIcmpListClick(row, column); break;
    case kPortList: OnPortListClick(row, column); break;
    case kAppList: OnClientListClick(kApp, row, column); break;
    case kDevList: OnDeviceListClick(row, column); break;
    case kRegList: OnClientListClick(kReg, row, column); break;
    default: bHandled = FALSE; break;
  }
  return 0;
}

LRESULT CQvSubStrategyObjectDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  return FollowMaxButton(wParam, kItemMaxRestore, bHandled);
}

// ---- OK and cancel

void CQvSubStrategyObjectDlg::OnOK() {
  SQLServerLink link;
  if (!ConnectOrTell(link, L"连接数据库 StrategyObject.db 出错")) return;
  if (m_kind < 0 || m_kind >= kKindCount) {
    EndDialog(IDCANCEL);  // nothing to hand back
    return;
  }
  CEditEx* const names[kKindCount] = {&m_ipName, &m_macName, &m_app.name, &m_reg.name, &m_devName};
  CEditEx* const explains[kKindCount] = {&m_ipExplain, &m_macExplain, &m_app.explain, &m_reg.explain, &m_devExplain};
  const std::wstring name = TextOf(*names[m_kind]);
  if (name.empty()) {
    link.Disconnect();
    Hint(kKinds[m_kind].nameMessage);
    return;
  }
  bool check = true;
  int except = -1;
  if (m_kind <= kMac) {
    if (m_mode == kModify && m_object) except = m_object->number;
  } else if (m_mode == kModify) {
    // Keeping the name needs no check; a rename must not merge two objects.
    const std::wstring* old = m_kind == kDevice ? (m_deviceHead ? &m_deviceHead->name : nullptr)
                                                : (m_clientHead ? &m_clientHead->name : nullptr);
    check = !old || *old != name;
  }
  if (check) {
    bool taken = false;
    std::wstring error;
    const bool asked = NameTaken(link, m_kind, name, except, &taken, &error);
    link.Disconnect();
    if (!asked) {
      TellError(error.c_str());
      return;
    }
    if (taken) {
      UiMessageBox(L"名称重复了！！！", L"错误", MB_OK);
      if (m_readList) m_readList();
      return;
    }
  }
  link.Disconnect();
  if (List(m_kind).GetItemCount() == 0) {
    Hint(kKinds[m_kind].contentMessage);
    return;
  }
  HandBack(name, TextOf(*explains[m_kind]));
  EndDialog(IDOK);
}

void CQvSubStrategyObjectDlg::HandBack(const std::wstring& name, const std::wstring& explain) {
  if (m_kind <= kMac) {
    if (!m_object) return;
    std::vector<std::wstring> rows;
    const Grid& list = List(m_kind);
    for (int row = 0; row < list.GetItemCount(); ++row) rows.push_back(list.GetItemText(row, 1));
    m_object->name = name;
    m_object->content = Text::Join(rows, L";");
    m_object->explain = explain;
    return;
  }
  // The page's head takes the first working node's place and leads the chain.
  auto handOver = [&](auto* pageHead, auto*& head, auto*& tail) {
    for (auto* node = head; node; node = node->next) node->name = name, node->explain = explain;
    if (!pageHead || !head) return;
    auto* first = head;
    *pageHead = *first;  // every field, the next pointer too
    delete first;
    if (tail == first) tail = pageHead;
    head = tail = nullptr;  // the page owns them now
  };
  if (m_kind == kDevice)
    handOver(m_deviceHead, m_devHead, m_devTail);
  else
    handOver(m_clientHead, Panel(m_kind).head, Panel(m_kind).tail);
}

void CQvSubStrategyObjectDlg::OnCancel() {
  FreeWorkingChains();
  EndDialog(IDCANCEL);
}

void CQvSubStrategyObjectDlg::FreeWorkingChains() {
  for (ClientPanel* panel : {&m_app, &m_reg}) {
    FreeObjectChain(panel->head);
    panel->head = panel->tail = nullptr;
  }
  FreeObjectChain(m_devHead);
  m_devHead = m_devTail = nullptr;
}

// ---- list helpers

int CQvSubStrategyObjectDlg::AddRow(Grid& list, const std::wstring& text) { return AddListRow(list, text); }

int CQvSubStrategyObjectDlg::FindRow(const Grid& list, const std::wstring& text, int except, int column) {
  for (int row = 0; row < list.GetItemCount(); ++row)
    if (row != except && list.GetItemText(row, column) == text) return row;
  return -1;
}

int CQvSubStrategyObjectDlg::FirstChecked(const Grid& list) {
  for (int row = 0; row < list.GetItemCount(); ++row)
    if (list.GetItemCheck(row, 0) > 0) return row;
  return -1;
}

bool CQvSubStrategyObjectDlg::DeleteChecked(Grid& list, const std::function<void(int row)>& before) {
  bool any = false;
  for (int row = 0; row < list.GetItemCount();) {
    if (list.GetItemCheck(row, 0) <= 0) {
      ++row;
      continue;
    }
    if (before) before(row);
    list.DeleteItem(row);
    any = true;
  }
  return any;
}

// ---- IP panel

void CQvSubStrategyObjectDlg::ClearIpControls() {
  for (int i = 0; i < 3; ++i) {
    SetAddress(m_ipAddresses[i], 0);
    m_ipMasks[i].SetWindowText(L"");
  }
}

void CQvSubStrategyObjectDlg::OnIpAdd() {
  Text::IpPart parts[3];
  for (int i = 0; i < 3; ++i) parts[i] = {AddressOf(m_ipAddresses[i]), TextOf(m_ipMasks[i])};
  if (parts[0].address) {
    const std::wstring single = Text::PartText(parts[0]);
    if (FindRow(m_ipList, single) >= 0) return Hint(L"添加的IP范围已经存在");
    AddRow(m_ipList, single);
  }
  if (parts[1].address || parts[2].address) {
    const std::wstring range = Text::RangeText(parts[1], parts[2]);
    if (FindRow(m_ipList, range) >= 0) return Hint(L"添加的IP范围已经存在");
    AddRow(m_ipList, range);
  }
  m_ipSelected = -1;
  ClearIpControls();
}

void CQvSubStrategyObjectDlg::OnIpModify() {
  if (m_ipSelected < 0) return Hint(L"请左击列表项选择策略内容进行修改");
  Text::IpPart parts[3];
  for (int i = 0; i < 3; ++i) parts[i] = {AddressOf(m_ipAddresses[i]), TextOf(m_ipMasks[i])};
  if (parts[0].address) {
    const std::wstring single = Text::PartText(parts[0]);
    if (FindRow(m_ipList, single, m_ipSelected) >= 0) return Hint(L"要修改的IP范围已经存在");
    m_ipList.SetItemText(m_ipSelected, 1, single.c_str());
  }
  if (parts[1].address || parts[2].address) {
    const std::wstring range = Text::RangeText(parts[1], parts[2]);
    if (FindRow(m_ipList, range, m_ipSelected) >= 0) return Hint(L"修改后的IP范围已经存在");
    m_ipList.SetItemText(m_ipSelected, 1, range.c_str());
  }
  ::SetFocus(m_ipList);
  m_ipSelected = -1;
  ClearIpControls();
}

void CQvSubStrategyObjectDlg::OnIpDelete() {
  ClearIpControls();
  m_ipSelected = -1;
  if (!DeleteChecked(m_ipList)) Hint(L"请选择要删除的策略");
}

void CQvSubStrategyObjectDlg::OnIpListClick(int row, int column) {
  m_ipSelected = row;
  if (column < 1 || row < 0 || row >= m_ipList.GetItemCount()) return;
  ClearIpControls();
  const Text::IpEntry entry = Text::ParseEntry(m_ipList.GetItemText(row, 1));
  const int first = entry.range ? 1 : 0;
  for (int i = 0; i < (entry.range ? 2 : 1); ++i) {
    SetAddress(m_ipAddresses[first + i], entry.parts[i].address);
    m_ipMasks[first + i].SetWindowText(entry.parts[i].mask.c_str());
  }
}

// ---- MAC panel

void CQvSubStrategyObjectDlg::ClearMacFields() {
  for (CEditEx& field : m_macFields) field.SetWindowText(L"");
}

bool CQvSubStrategyObjectDlg::ReadMac(std::wstring* mac) {
  std::wstring fields[6];
  for (int i = 0; i < 6; ++i) {
    if (!(fields[i] = TextOf(m_macFields[i])).empty()) continue;
    Hint(L"请规范填写MAC地址");
    return false;
  }
  *mac = Text::JoinMac(fields);
  return true;
}

void CQvSubStrategyObjectDlg::OnMacAdd() {
  std::wstring mac;
  if (!ReadMac(&mac)) return;
  if (FindRow(m_macList, mac) >= 0) return Hint(L"要添加的MAC地址已经存在");
  AddRow(m_macList, mac);
  ClearMacFields();
  m_macSelected = -1;
}

void CQvSubStrategyObjectDlg::OnMacModify() {
  if (m_macSelected < 0) return;
  std::wstring mac;
  if (!ReadMac(&mac)) return;
  if (FindRow(m_macList, mac, m_macSelected) >= 0) return Hint(L"修改后的MAC地址已经存在");
  m_macList.SetItemText(m_macSelected, 1, mac.c_str());
  ClearMacFields();
  m_macSelected = -1;
}

void CQvSubStrategyObjectDlg::OnMacDelete() {
  ClearMacFields();
  m_macSelected = -1;
  if (!DeleteChecked(m_macList)) Hint(L"请选择要删除的策略");
}

void CQvSubStrategyObjectDlg::OnMacListClick(int row, int column) {
  m_macSelected = row;
  if (column < 1 || row < 0 || row >= m_macList.GetItemCount()) return;
  std::wstring fields[6];
  Text::SplitMac(m_macList.GetItemText(row, 1), fields);
  for (int i = 0; i < 6; ++i) m_macFields[i].SetWindowText(fields[i].c_str());
}

void CQvSubStrategyObjectDlg::LoadIpMac() {
  const bool ip = m_kind == kIp;
  (ip ? m_ipName : m_macName).SetWindowText(m_object->name.c_str());
  (ip ? m_ipExplain : m_macExplain).SetWindowText(m_object->explain.c_str());
  for (const std::wstring& piece : Text::Split(m_object->content, L';')) AddRow(List(m_kind), piece);
  m_object->name.clear();
  m_object->content.clear();
  m_object->explain.clear();
}

// ---- application and registry panels

void CQvSubStrategyObjectDlg::OnPickClient(int kind) {
  ClientPanel& panel = Panel(kind);
  std::wstring ip;
  CServerDlg picker(&ip, panel.title);
  if (picker.DoModal(m_hWnd) != IDOK) return;
  if (ip.empty()) return Hint(L"请选中服务器");
  panel.clientIp = ip;
  std::wstring name, error;
  bool connected = false;
  if (!ClientName(ip, &name, &connected, &error))
    connected ? TellError(error.c_str()) : TellNoConnection();
  panel.client.SetWindowText((name.empty() ? ip : name).c_str());
}

void CQvSubStrategyObjectDlg::OnPickFolder(int kind) {
  ClientPanel& panel = Panel(kind);
  if (panel.clientIp.empty()) return Hint(L"请选择服务器");
  std::wstring path;
  CDirectoryDlg picker(panel.clientIp, &path, panel.title);
  if (picker.DoModal(m_hWnd) != IDOK || path.empty()) return;
  if (path.size() > size_t(kMaxPathChars)) return Hint(L"路径太长，最多259个字符");
  panel.path.SetWindowText(path.c_str());
}

void CQvSubStrategyObjectDlg::OnClientAdd(int kind) {
  ClientPanel& panel = Panel(kind);
  if (TextOf(panel.client).empty()) return Hint(L"请选择服务器");
  const std::wstring path = TextOf(panel.path);
  for (ClientObjectNode* node = panel.head; node; node = node->next)
    if (node->clientIp == panel.clientIp && node->path == path) return Hint(L"策略内容已经存在");
  auto* node = new (std::nothrow) ClientObjectNode;
  if (!node) return Error(panel.addFailure);
  node->clientIp = panel.clientIp;
  node->clientName = TextOf(panel.client);
  node->path = path;
  Append(panel.head, panel.tail, node);
  AddRow(panel.list, path);
  panel.selected = -1;
  panel.client.SetWindowText(L"");
  panel.path.SetWindowText(L"");
}

void CQvSubStrategyObjectDlg::OnClientModify(int kind) {
  ClientPanel& panel = Panel(kind);
  if (TextOf(panel.client).empty()) return Hint(L"请选择服务器");
  const std::wstring path = TextOf(panel.path);
  if (path.empty()) return Hint(L"请选择文件夹的路径");
  ClientObjectNode* selected = NodeAt(panel.head, panel.selected);
  if (panel.selected < 0 || !selected) return;
  for (ClientObjectNode* node = panel.head; node; node = node->next)
    if (node != selected && node->clientIp == panel.clientIp && node->path == path)
      return Hint(L"策略内容已经存在");
  selected->clientName = TextOf(panel.client);
  selected->clientIp = panel.clientIp;
  selected->path = path;
  panel.list.SetItemText(panel.selected, 1, path.c_str());
  panel.selected = -1;
  panel.client.SetWindowText(L"");
  panel.path.SetWindowText(L"");
}

void CQvSubStrategyObjectDlg::OnClientDelete(int kind) {
  ClientPanel& panel = Panel(kind);
  panel.client.SetWindowText(L"");
  panel.path.SetWindowText(L"");
  const int row = FirstChecked(panel.list);
  if (row < 0) return Hint(L"请选择要删除的策略");
  RemoveNode(panel.head, panel.tail, row);
  panel.list.DeleteItem(row);
  panel.selected = -1;
}

void CQvSubStrategyObjectDlg::OnClientListClick(int kind, int row, int column) {
  ClientPanel& panel = Panel(kind);
  panel.selected = row;
  panel.client.SetWindowText(L"");
  panel.path.SetWindowText(L"");
  const ClientObjectNode* node = row >= 0 ? NodeAt(panel.head, row) : nullptr;
  if (column < 1 || !node) return;
  panel.client.SetWindowText(node->clientName.c_str());
  panel.path.SetWindowText(node->path.c_str());
  panel.clientIp = node->clientIp;
}

void CQvSubStrategyObjectDlg::LoadClients(int kind) {
  ClientPanel& panel = Panel(kind);
  CopyChain(m_clientHead, panel.head, panel.tail, panel.list, L"内存分配失败:自定义应用策略->添加功能",
            [](const ClientObjectNode& node) { return node.path; });
  if (panel.head) {
    panel.name.SetWindowText(panel.head->name.c_str());
    panel.explain.SetWindowText(panel.head->explain.c_str());
  }
}

// ---- device panel

void CQvSubStrategyObjectDlg::ClearDeviceControls() {
  SetItemCheck(kDevManageCheck, FALSE);
  SetItemCheck(kDevQueryCheck, FALSE);
  m_devManage.SetWindowText(L"");
  m_devQuery.SetWindowText(L"");
}

bool CQvSubStrategyObjectDlg::ReadDeviceCommands(std::wstring* manage, std::wstring* query) {
  manage->clear();
  query->clear();
  if (GetItemCheck(kDevManageCheck) && (*manage = TextOf(m_devManage)).empty()) {
    Hint(L"请输入管理模式命令");
    return false;
  }
  if (GetItemCheck(kDevQueryCheck) && (*query = TextOf(m_devQuery)).empty()) {
    Hint(L"请输入查询配置命令");
    return false;
  }
  return true;
}

void CQvSubStrategyObjectDlg::OnDeviceAdd() {
  std::wstring manage, query;
  if (!ReadDeviceCommands(&manage, &query)) return;
  for (DeviceObjectNode* node = m_devHead; node; node = node->next)
    if (node->queryOrder == query && node->manageOrder == manage) return Hint(L"策略内容已经存在");
  auto* node = new (std::nothrow) DeviceObjectNode;
  if (!node) return Error(L"内存分配失败:自定义设备策略配置->添加功能");
  node->manageOrder = manage;
  node->queryOrder = query;
  Append(m_devHead, m_devTail, node);
  AddRow(m_devList, Text::DeviceRow(manage, query));
  m_devSelected = -1;
  ClearDeviceControls();
}

void CQvSubStrategyObjectDlg::OnDeviceModify() {
  DeviceObjectNode* selected = m_devSelected >= 0 ? NodeAt(m_devHead, m_devSelected) : nullptr;
  if (!selected) return Hint(L"请点击要修改的项");
  std::wstring manage, query;
  if (!ReadDeviceCommands(&manage, &query)) return;
  for (DeviceObjectNode* node = m_devHead; node; node = node->next)
    if (node != selected && node->queryOrder == query && node->manageOrder == manage)
      return Hint(L"策略内容已经存在");
  selected->manageOrder = manage;
  selected->queryOrder = query;
  m_devList.SetItemText(m_devSelected, 1, Text::DeviceRow(manage, query).c_str());
  m_devSelected = -1;
  ClearDeviceControls();
}

void CQvSubStrategyObjectDlg::OnDeviceDelete() {
  ClearDeviceControls();
  if (!DeleteChecked(m_devList, [this](int row) { RemoveNode(m_devHead, m_devTail, row); }))
    return Hint(L"请选择要删除的策略");
  m_devSelected = -1;
}

void CQvSubStrategyObjectDlg::OnDeviceListClick(int row, int column) {
  m_devSelected = row;
  ClearDeviceControls();
  const DeviceObjectNode* node = row >= 0 ? NodeAt(m_devHead, row) : nullptr;
  if (column < 1 || !node) return;
  if (!node->manageOrder.empty()) {
    SetItemCheck(kDevManageCheck, TRUE);
    m_devManage.SetWindowText(node->manageOrder.c_str());
  }
  if (!node->queryOrder.empty()) {
    SetItemCheck(kDevQueryCheck, TRUE);
    m_devQuery.SetWindowText(node->queryOrder.c_str());
  }
}

void CQvSubStrategyObjectDlg::LoadDevices() {
  CopyChain(m_deviceHead, m_devHead, m_devTail, m_devList, L"内存分配失败:自定义设备策略配置->初始化",
            [](const DeviceObjectNode& node) { return Text::DeviceRow(node.manageOrder, node.queryOrder); });
  if (m_devHead) {
    m_devName.SetWindowText(m_devHead->name.c_str());
    m_devExplain.SetWindowText(m_devHead->explain.c_str());
  }
}
