#include "reinforce/CSRReinforceStrategyUIHandler.h"

#include <algorithm>

#include "console/ConnectOrTell.h"
#include "console/RecordGone.h"
#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "platform/DebugReport.h"
#include "platform/TextConv.h"
#include "reinforce/CSRSecurityReinforceDlg.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kSqlSelectPolicies[] = L"select policyName,policyDoc,policyObjective from reinforcingPolicy";
const wchar_t kSqlPolicyNamed[] = L"select policyName from reinforcingPolicy where policyName=?";
const wchar_t kSqlDeletePolicy[] = L"delete from reinforcingPolicy where policyName=?";

// Width of the columns other than the description.
const int kFixedColumnsWidth = 480;

using qv::OrEmpty;

void ReportFailure(const char* what, SQLServerLink& link) {
  qv::DebugReport(std::string(what) + ": " + qv::WideToUtf8(OrEmpty(link.GetLastErrorText())),
                  "reinforce", __LINE__);
}

}  // namespace

CSRReinforceStrategyUIHandler::CSRReinforceStrategyUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollSkin, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9) {}

CSRReinforceStrategyUIHandler::~CSRReinforceStrategyUIHandler() = default;

int CSRReinforceStrategyUIHandler::Init() {
  HWND view = m_owner->GetViewHWnd();
  m_grid.Create(view, nullptr, nullptr, 0, 0, kGrid);
  m_grid.AddColumn(L"策略名称", 190, -1, FALSE, FALSE, ITEM_FORMAT_HYPERLINK, ITEM_FLAGS_LEFT);
  m_grid.AddColumn(L"策略描述", 390, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT);
  m_grid.AddColumn(L"策略目标", 135, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"当前状态", 135, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  LoadPolicies();
  m_logBox = RichEditCreate(view, kLogBox,
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL,
                            CUIResource::GetSkinBitmap(), kLogScrollSkin);
  // Nothing is checked yet: neither edit nor delete has a row to act on.
  OnGridCheckChanged();
  return 0;
}

LRESULT CSRReinforceStrategyUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (const UINMREALWNDRESIZED* resized = RealWndResizedOf(pnmh, kGrid)) {
    OnGridResized(resized->rcWnd);
    return 0;
  }
  switch (CommandItemOf(pnmh)) {
    case kNewPolicy:
      OnNewPolicy();
      return 0;
    case kEditPolicy:
      OnEditPolicy();
      return 0;
    case kDeletePolicy:
      OnDeletePolicy();
      return 0;
    case kImportPolicy:
      OnImportPolicy();
      return 0;
    case kExportPolicy:
      OnExportPolicy();
      return 0;
    case kStartReinforce:
      OnStartReinforce();
      return 0;
    case kPauseReinforce:
      OnPauseReinforce();
      return 0;
    case kEndReinforce:
      OnEndReinforce();
      return 0;
    default:
      bHandled = FALSE;
      return 0;
  }
}

LRESULT CSRReinforceStrategyUIHandler::OnGridNotify(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->hwndFrom != m_grid.m_hWnd) {
    bHandled = FALSE;
    return 0;
  }
  OnGridCheckChanged();
  return 0;
}

void CSRReinforceStrategyUIHandler::OnGridResized(const RECT& rect) {
  m_grid.SetColumnWidth(kColumnDoc, std::max(0, static_cast<int>(rect.right - rect.left) - kFixedColumnsWidth));
}

void CSRReinforceStrategyUIHandler::OnGridCheckChanged() {
  const int checked = std::max(0, m_grid.GetCheckedCount(kColumnName));
  m_owner->EnableItem(kEditPolicy, checked == 1);
  m_owner->EnableItem(kDeletePolicy, checked > 0);
}

void CSRReinforceStrategyUIHandler::OnNewPolicy() { RunWizard(true); }

void CSRReinforceStrategyUIHandler::OnEditPolicy() {
  if (CheckedRows().empty()) return;
  RunWizard(false);
}

void CSRReinforceStrategyUIHandler::RunWizard(bool isNew) {
  CSRSecurityReinforceDlg wizard(isNew, this);
  wizard.DoModal(m_owner->GetHWnd());
}

void CSRReinforceStrategyUIHandler::OnDeletePolicy() {
  if (UiMessageBox(L"您确认删除么？", L"确认删除？", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  const std::vector<int> rows = CheckedRows();
  std::vector<std::wstring> names;
  names.reserve(rows.size());
  for (int row : rows) names.push_back(m_grid.GetItemText(row, kColumnName));
  std::wstring error;
  bool gone = false;
  if (!DeletePolicies(names, &error, &gone)) {
    TellError(error.c_str());
    return;
  }
  if (gone) return PolicyGone();  // the list read again shows what the others are now
  // Bottom-up, so that the rows still to go keep their indices.
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) m_grid.DeleteItem(*row);
  OnGridCheckChanged();
}

void CSRReinforceStrategyUIHandler::PolicyGone() {
  TellRecordGone([this] { ReloadPolicies(); });
}

void CSRReinforceStrategyUIHandler::ReloadPolicies() {
  m_grid.DeleteAllItems();
  LoadPolicies();
  OnGridCheckChanged();
}

std::vector<int> CSRReinforceStrategyUIHandler::CheckedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemCheck(row, kColumnName) > 0) rows.push_back(row);
  return rows;
}

// ---- statements

void CSRReinforceStrategyUIHandler::LoadPolicies() {
  SQLServerLink link;
  if (!Connect(link)) {
    ReportFailure("policy list: no connection", link);
    return;
  }
  SQLStatement* query = link.CreateStatement(kSqlSelectPolicies);
  if (!query) {
    ReportFailure("policy list: statement refused", link);
    return;
  }
  bool whole = true;
  while (query->Fetch()) {
    const int row = m_grid.AddItem(OrEmpty(query->GetString(0)), -1, ITEM_FORMAT_CHECKBOX);
    if (row < 0) {  // the grid cannot grow
      whole = false;
      break;
    }
    m_grid.SetItemText(row, kColumnDoc, OrEmpty(query->GetString(1)));
    m_grid.SetItemText(row, kColumnObjective, OrEmpty(query->GetString(2)));
  }
  // Part of the policies would pass for all of them.
  if (!whole || query->Failed()) m_grid.DeleteAllItems();
  if (!whole) ReportFailure("policy list: the grid cannot grow", link);
  if (query->Failed()) ReportFailure("policy list: query failed", link);
}

bool CSRReinforceStrategyUIHandler::DeletePolicies(const std::vector<std::wstring>& names,
                                                   std::wstring* error, bool* gone) {
  SQLServerLink link;
  if (!Connect(link)) {
    *error = OrEmpty(link.GetLastErrorText());
    return false;
  }
  return RunInTransaction(
      link,
      [&] {
        bool done = true;
        for (size_t i = 0; done && i < names.size(); ++i) {
          auto bindName = [&](SQLStatement& st) { return st.BindString(0, names[i].c_str()) != 0; };
          const int deleted = ExecuteOnRecord(link, {kSqlPolicyNamed, bindName}, {kSqlDeletePolicy, bindName});
          done = deleted >= 0;
          if (deleted == 0) *gone = true;  // another console's delete: the others still go
        }
        return done;
      },
      error);
}
