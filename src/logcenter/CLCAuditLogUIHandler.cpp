#include "logcenter/CLCAuditLogUIHandler.h"

#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/SysServerPortConfig.h"
#include "logcenter/CLCAuditLogDetailDlg.h"
#include "platform/CAppModule.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const UINT kDetailIcon = 139;
const COLORREF kIconMask = RGB(255, 0, 255);
const wchar_t kAllTypes[] = L"所有审计类型";
const wchar_t* const kTypes[] = {L"文件审计",         L"进程审计",         L"注册表审计",
                                 L"网络信息审计",     L"系统账号审计",     L"系统服务审计",
                                 L"应用服务配置审计", L"网络设备配置审计", kAllTypes};

const LCLogColumn kColumns[] = {
    {L"策略名", 100, ITEM_FORMAT_NONE, 0, -1},
    {L"日志类型", 150, ITEM_FORMAT_NONE, 0, -1},
    {L"日志内容", 400, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT, -1},
    {L"细节", 50, ITEM_FORMAT_HYPERLINK, 0, 0},
};

// The search button (1232) is the page's own: its query asks for the type first.
const LCLogPageConfig kConfig = {
    CLCAuditLogUIHandler::kStartEdit, CLCAuditLogUIHandler::kEndEdit, CLCAuditLogUIHandler::kHostEdit,
    CLCAuditLogUIHandler::kKeywordEdit, CLCAuditLogUIHandler::kGrid, 11130,
    CLCAuditLogUIHandler::kItemPickStart, CLCAuditLogUIHandler::kItemPickEnd, CLCAuditLogUIHandler::kItemPickHost, 0,
    L"审计日志", kColumns, 4, 3, &kAuditLogStatement,
    L"请选择开始时间", L"请选择结束时间", L"请选择主机名", nullptr, kReadAuditLogFailed};

using qv::OrEmpty;

}  // namespace

CLCAuditLogUIHandler::CLCAuditLogUIHandler(CUiDialogHost* owner) : m_owner(owner), m_page(owner, kConfig) {}

CLCAuditLogUIHandler::~CLCAuditLogUIHandler() = default;

int CLCAuditLogUIHandler::Init() {
  m_page.Init();
  m_type.Create(m_owner->GetViewHWnd(), RECT{0, 0, 0, 0}, nullptr, CComboBoxCtrlEx::kPageStyle, 0, kTypeCombo);
  for (const wchar_t* type : kTypes) m_type.AddString(type);
  HINSTANCE instance = g_module.GetResourceInstance();
  m_icons.Attach(::ImageList_LoadImageW(instance ? instance : ::GetModuleHandleW(nullptr),
                                        MAKEINTRESOURCEW(kDetailIcon), 16, 0, kIconMask, IMAGE_BITMAP,
                                        LR_CREATEDIBSECTION));
  m_page.GetGrid().SetImageList(m_icons);
  return 1;
}

int CLCAuditLogUIHandler::UnInit() { return 1; }

LRESULT CLCAuditLogUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID == kItemSearch)
    OnQuery();
  else
    bHandled = FALSE;  // the fields' pickers are the log page's
  return 0;
}

void CLCAuditLogUIHandler::OnQuery() {
  LCLogFilter filter;
  if (!m_page.ReadFilter(filter)) return;
  const int chosen = m_type.GetCurSel();
  std::wstring type = chosen >= 0 ? m_type.GetLBText(chosen) : std::wstring();
  if (type.empty() || type == kAllTypes) {
    m_page.ShowGrid();
    if (UiMessageBox(L"是否查看全部日志?\n点击确定 查看所有日志类型。点击取消 请选择需要查看的日志类型", L"提示",
                     MB_OKCANCEL) != IDOK)
      return;
    type.clear();
  }
  filter.type = type;
  const int rows = m_page.Fill(LCLogQuery(kAuditLogStatement, filter));
  if (rows < 0) return;
  m_listed = Listed{filter, m_page.HostName(), m_page.HostMac()};
  if (rows == 0) UiMessageBox(qv::FormatW(L"暂时没有此主机的 %ls 日志", type).c_str(), L"提示", MB_OK);
}

LRESULT CLCAuditLogUIHandler::OnDetailClicked(int, LPNMHDR pnmh, BOOL& bHandled) {
  // Only the grid's own notification, while it sends it, names a row of ours.
  const CListNotify* notify = reinterpret_cast<const CListNotify*>(pnmh);
  if (pnmh->hwndFrom != m_page.GetGrid().m_hWnd || notify->m_nSubItem != kDetailColumn) {
    bHandled = FALSE;
    return 0;
  }
  const int row = notify->m_nItem;
  if (row >= 0 && row < m_page.GetGrid().GetItemCount()) OnShowDetail(row);
  return 0;
}

void CLCAuditLogUIHandler::OnShowDetail(int row) {
  CLCLogPage::Grid& grid = m_page.GetGrid();
  const std::wstring strategy = grid.GetItemText(row, 0);
  const std::wstring type = grid.GetItemText(row, 1);
  const std::wstring content = grid.GetItemText(row, 2);
  std::wstring detail;
  if (!ReadDetail(strategy, type, content, detail)) return;
  CLCAuditLogDetailDlg dialog(HostText(), strategy, type, content, detail);
  dialog.DoModal(m_owner->GetHWnd());
}

BOOL CLCAuditLogUIHandler::ReadDetail(const std::wstring& strategy, const std::wstring& type,
                                      const std::wstring& content, std::wstring& detail) {
  SQLServerLink link;
  if (!Connect(link)) {
    CLCLogPage::ShowDatabaseError(false, nullptr);
    return FALSE;
  }
  SQLStatement* statement = LCAuditDetailQuery(m_listed.filter, strategy, type, content).Prepare(link);
  // Oldest first: the last row read is the latest detail.
  while (statement && statement->Fetch())
    detail = qv::FormatW(L"%ls  %ls  详情\n", OrEmpty(statement->GetString(0)), OrEmpty(statement->GetString(1)));
  const bool failed = !statement || statement->Failed();
  const std::wstring diagnosis = failed ? OrEmpty(link.GetLastErrorText()) : L"";
  link.ReleaseStatement(statement);
  link.Disconnect();
  if (failed) CLCLogPage::ShowDatabaseError(true, diagnosis.c_str());
  return !failed;
}

std::wstring CLCAuditLogUIHandler::HostText() const {
  std::wstring text;
  if (!m_listed.name.empty()) text += m_listed.name + L" ";
  if (!m_listed.filter.host.empty()) text += L"IP:" + m_listed.filter.host + L" ";
  if (!m_listed.mac.empty()) text += L"MAC:" + m_listed.mac;
  return text;
}
