#include "integrity/CQvHIPSTrustDlg.h"

#include "console/AgentMessageId.h"
#include "console/ConnectOrTell.h"
#include "console/LinkRecords.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/StoreAndTell.h"
#include "controls/CUIResource.h"
#include "integrity/CQvHIPSTRNewTrustDlg.h"
#include "integrity/HipsCheckedRows.h"
#include "integrity/HipsTellHost.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t* const kTypes[] = {L"文件/程序", L"注册表"};

// A relation that cannot be read cannot be told to its host: the command is refused. The
// link is closed before the box.
void ShowReadError(SQLServerLink& link) { TellListUnread(kReadTrustFailed, link); }

// The relation's record to its host (see HipsTellHost).
bool Tell(UINT messageId, int type, const std::wstring& host, const std::wstring& content) {
  std::string record;
  AppendHipsTrustRecord(record, uint32_t(type), content);
  return HipsTellHost(host, messageId, record);
}

// Statements. ReadTrust: 1 read, 0 no such row, -1 not readable.
int ReadTrust(SQLServerLink& link, int id, int& type, std::wstring& host, std::wstring& content);
int ChooseTrustId(SQLServerLink& link);
int WriteTrust(SQLServerLink& link, bool insert, int id, int type, const std::wstring& host,
               const std::wstring& content);
int DeleteTrust(SQLServerLink& link, int id);

}  // namespace

CQvHIPSTrustDlg::CQvHIPSTrustDlg()
    : CUiDialogImpl<CQvHIPSTrustDlg>(kLayoutId),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollId, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9) {}

LRESULT CQvHIPSTrustDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_grid.Create(GetViewHWnd(), nullptr, nullptr,
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, kGrid);
  m_grid.AddColumn(L"", 40, -1, FALSE, FALSE, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"对象类型", 150, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"信任对象", 200, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"信任内容", 300, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  EnableItem(kItemModify, FALSE);
  EnableItem(kItemDelete, FALSE);
  LoadTrust();
  return 0;
}

void CQvHIPSTrustDlg::LoadTrust() {
  SQLServerLink link;
  if (!ConnectOrTell(link)) return;
  SQLStatement* statement = link.CreateStatement(L"select id,type,ClientIP,Content from Trust");
  bool whole = true;  // a grid that cannot take another row holds part of the list
  while (whole && statement && statement->Fetch()) {
    const int type = statement->GetInt(1);
    // Relations of a type the dialog has no text for are not listed.
    whole = AddRow(statement->GetInt(0), type, statement->GetAsText(2), statement->GetAsText(3)) >= 0 || type < 0 ||
            type >= 2;
  }
  if (!whole || !statement || statement->Failed()) {
    // Part of the relations would pass for all of them.
    m_grid.DeleteAllItems();
    const wchar_t* error = link.GetLastErrorText();
    const std::wstring reason = !whole ? kGridFullReason : qv::OrEmpty(error);
    link.Disconnect();
    TellListUnread(kReadTrustFailed, reason.c_str());
  }
}

// A relation another console deleted: told, then the list is read again.
void CQvHIPSTrustDlg::TrustGone() {
  TellRecordGone([this] { ReloadTrust(); });
}

void CQvHIPSTrustDlg::ReloadTrust(bool keepChecks) {
  const std::vector<int> checked = keepChecks ? CheckedIds() : std::vector<int>();
  m_grid.DeleteAllItems();
  LoadTrust();
  for (int id : checked) {
    const int row = RowOfId(id);
    if (row >= 0) m_grid.SetItemCheck(row, kColCheck, 1);
  }
  BOOL handled = TRUE;
  OnListCheckChanged(kGrid, nullptr, handled);
}

std::vector<int> CQvHIPSTrustDlg::CheckedIds() const {
  std::vector<int> ids;
  unsigned long data = 0;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemCheck(row, kColCheck) == 1 && m_grid.GetItemData(row, data)) ids.push_back(int(data));
  return ids;
}

int CQvHIPSTrustDlg::RowOfId(int id) const {
  unsigned long data = 0;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemData(row, data) && int(data) == id) return row;
  return -1;
}

LRESULT CQvHIPSTrustDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->code == UINM_REALWND_RESIZED) {
    const auto* resized = reinterpret_cast<UINMREALWNDRESIZED*>(pnmh);
    if (resized->uItemID == kGrid) OnSize(resized->rcWnd);
    bHandled = resized->uItemID == kGrid;
    return 0;
  }
  if (pnmh->code != UINM_COMMAND) {
    bHandled = FALSE;
    return 0;
  }
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kItemNew: OnNewTrust(); break;
    case kItemModify: OnModifyTrust(); break;
    case kItemDelete: OnDeleteTrust(); break;
    case kItemClose: EndDialog(IDCANCEL); break;
    case kItemMaxRestore: SendMessage(WM_SYSCOMMAND, ::IsZoomed(m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, 0); break;
    case kItemMinimise: SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case kItemEndOk: EndDialog(IDOK); break;
    case kItemEndCancel: EndDialog(IDCANCEL); break;
    default: bHandled = FALSE; break;
  }
  return 0;
}

LRESULT CQvHIPSTrustDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    EndDialog(IDCANCEL);
    return 0;
  }
  return FollowMaxButton(wParam, kItemMaxRestore, bHandled);
}

void CQvHIPSTrustDlg::OnSize(const RECT& rect) {
  const bool maximised = ::IsZoomed(m_hWnd) != 0;
  const int width = rect.right - rect.left;
  const int widths[2][4] = {{40, 150, 200, width - 390}, {80, 250, 350, width - 680}};
  for (int column = 0; column < 4; ++column) m_grid.SetColumnWidth(column, widths[maximised][column]);
}

LRESULT CQvHIPSTrustDlg::OnListCheckChanged(int, LPNMHDR, BOOL&) {
  m_checkedCount = CountHipsCheckedRows(m_grid, m_checkedRow);
  EnableItem(kItemModify, m_checkedCount == 1);
  EnableItem(kItemDelete, m_checkedCount > 0);
  return 1;
}

int CQvHIPSTrustDlg::AddRow(int id, int type, const std::wstring& host, const std::wstring& content) {
  if (type < 0 || type >= 2) return -1;
  const int row = m_grid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
  if (row < 0) return -1;
  SetRow(row, type, host, content);
  m_grid.SetItemData(row, static_cast<unsigned long>(id));
  return row;
}

void CQvHIPSTrustDlg::SetRow(int row, int type, const std::wstring& host, const std::wstring& content) {
  m_grid.SetItemText(row, kColType, kTypes[type == 1]);
  m_grid.SetItemText(row, kColHost, host.c_str());
  m_grid.SetItemText(row, kColContent, content.c_str());
}

// The editor stores the relation and tells its host before it closes: refused, it stays
// open with what was entered.
void CQvHIPSTrustDlg::OnNewTrust() {
  int type = -1;
  std::wstring host, content;
  {
    SQLServerLink check;
    if (!ConnectOrTell(check)) return;
  }
  int id = -1;
  auto store = [&](int newType, const std::wstring& newHost, const std::wstring& newContent) {
    if (!HipsHostAddressOrTell(newHost)) return false;
    SQLServerLink link;  // opened at OK: the id is chosen on what the table holds now
    if (!ConnectOrTell(link)) return false;
    return StoreAndTell(
        link,
        [&] { return (id = ChooseTrustId(link)) >= 0 && WriteTrust(link, true, id, newType, newHost, newContent) > 0; },
        [&] { return Tell(AGENT_MSG_HIPS_TRUST_ADD, newType, newHost, newContent); });
  };
  CQvHIPSTRNewTrustDlg editor(0, &type, &host, &content, -1, store, [this] { ReloadTrust(true); });
  if (editor.DoModal(m_hWnd) != IDOK) return;
  if (AddRow(id, type, host, content) < 0 && type >= 0 && type < 2)
    TellError(kGridFullReason);
}

// A relation moved to another host is first taken back from the old one.
void CQvHIPSTrustDlg::OnModifyTrust() {
  if (m_checkedRow < 0) return;
  SQLServerLink link;
  if (!ConnectOrTell(link)) return;
  unsigned long data = 0;
  if (!m_grid.GetItemData(m_checkedRow, data)) return;
  const int id = int(data);
  int type = 0;
  std::wstring host, content;
  const int read = ReadTrust(link, id, type, host, content);
  if (read < 0) return ShowReadError(link);
  link.Disconnect();  // the editor waits on the user
  if (read == 0) return TrustGone();
  const int oldType = type;
  const std::wstring oldHost = host, oldContent = content;
  CQvHIPSTRNewTrustDlg* editing = nullptr;
  bool gone = false;
  auto store = [&](int newType, const std::wstring& newHost, const std::wstring& newContent) {
    if (!HipsHostAddressOrTell(newHost)) return false;
    const bool oldUntold = newHost != oldHost && !HipsHostAddressUsable(oldHost);
    if (oldUntold && !HipsUntoldRemovalChosen()) return false;
    // A relation moved to another host is first taken back from the old one; one no
    // longer in the table is told to neither host.
    auto tell = [&] {
      return (newHost == oldHost || oldUntold || Tell(AGENT_MSG_HIPS_DELETE, oldType, oldHost, oldContent)) &&
             Tell(AGENT_MSG_HIPS_TRUST_MODIFY, newType, newHost, newContent);
    };
    SQLServerLink atOk;
    if (!ConnectOrTell(atOk)) return false;
    const int stored =
        StoreAndTellRecord(atOk, [&] { return WriteTrust(atOk, false, id, newType, newHost, newContent); }, tell);
    gone = stored == 0;
    if (gone) editing->EndDialog(IDCANCEL);
    return stored > 0;
  };
  // The list may be read again while the editor is open: the row is found by its id after,
  // and stays checked.
  CQvHIPSTRNewTrustDlg editor(1, &type, &host, &content, id, store, [this] { ReloadTrust(true); });
  editing = &editor;
  const UINT ended = editor.DoModal(m_hWnd);
  if (gone) TrustGone();
  if (ended != IDOK) return;
  const int row = RowOfId(id);
  if (row >= 0) SetRow(row, type, host, content);
  UiMessageBox(L"修改信任关系成功", L"成功", MB_ICONINFORMATION);
}

// Per checked row, top-down: a row goes once its host has heard of it. A row that cannot
// be read, whose send the link cannot take, or any other failure, stops the walk. One
// already gone from the table has nothing to tell; one whose host the service cannot
// address goes untold only when the user chooses so.
void CQvHIPSTrustDlg::OnDeleteTrust() {
  if (UiMessageBox(L"您确认删除么？", L"确认删除", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  SQLServerLink link;
  if (!ConnectOrTell(link)) return;
  // Every question and message comes with the link closed; it is opened again to go on.
  const std::vector<int> ids = CheckedIds();
  unsigned long data = 0;
  bool anyGone = false;
  for (int id : ids) {
    if (!ConnectOrTell(link)) break;
    int type = 0;
    std::wstring host, content;
    const int read = ReadTrust(link, id, type, host, content);
    if (read < 0) {
      ShowReadError(link);
      break;
    }
    if (read == 0) {  // another console deleted it: nothing to delete or tell
      anyGone = true;
      continue;
    }
    const bool untold = !HipsHostAddressUsable(host);
    if (untold) {
      link.Disconnect();
      if (!HipsUntoldRemovalChosen() || !ConnectOrTell(link)) break;
    }
    const int stored = StoreAndTellRecord(link, [&] { return DeleteTrust(link, id); },
                                          [&] { return untold || NotifyTrustDeleted(type, host, content); });
    anyGone = anyGone || stored == 0;
    if (stored < 0) break;
    if (stored == 0) continue;
    for (int row = 0; row < m_grid.GetItemCount(); ++row)
      if (m_grid.GetItemData(row, data) && int(data) == id) m_grid.DeleteItem(row);
  }
  link.Disconnect();
  if (anyGone) return TrustGone();
  BOOL handled = TRUE;
  OnListCheckChanged(kGrid, nullptr, handled);
}

int CQvHIPSTrustDlg::NotifyTrustDeleted(int type, const std::wstring& host, const std::wstring& content) {
  return Tell(AGENT_MSG_HIPS_DELETE, type, host, content);
}

// ---- Statements

namespace {

const wchar_t kSqlTrustById[] = L"select id from Trust where id=?";

int ReadTrust(SQLServerLink& link, int id, int& type, std::wstring& host, std::wstring& content) {
  SQLStatement* statement = link.CreateStatement(L"select type,ClientIP,Content from Trust where id=?");
  if (!statement || !statement->BindInt(0, id) || !statement->SetMaxRows(1)) return -1;
  if (!statement->Fetch()) return statement->Failed() ? -1 : 0;
  type = statement->GetInt(0);
  host = statement->GetAsText(1);
  content = statement->GetAsText(2);
  link.ReleaseStatement(statement);
  return 1;
}

// 0 while free, else the smallest free id above a used one; -1 when it cannot be read.
int ChooseTrustId(SQLServerLink& link) {
  for (const wchar_t* sql : {L"select count(*) from Trust", L"select count(*) from Trust where id=0"}) {
    SQLStatement* statement = link.CreateStatement(sql);
    if (!statement || !statement->Fetch()) return -1;
    const int count = statement->GetInt(0);
    link.ReleaseStatement(statement);
    if (count == 0) return 0;
  }
  SQLStatement* statement = link.CreateStatement(
      L"select id+1 from Trust a where not exists ( select 1 from Trust where id=a.id+1 ) order by id asc");
  if (!statement || !statement->SetMaxRows(1) || !statement->Fetch()) return -1;
  const int id = statement->GetInt(0);
  link.ReleaseStatement(statement);
  return id;
}

// 1 written, 0 an update that found no row, -1 failed; the insert as one.
int WriteTrust(SQLServerLink& link, bool insert, int id, int type, const std::wstring& host,
               const std::wstring& content) {
  const int first = insert ? 1 : 0;  // the id leads the insert and ends the update
  auto bind = [&](SQLStatement& s) {
    return s.BindInt(insert ? 0 : 3, id) && s.BindInt(first, type) && s.BindString(first + 1, host.c_str()) &&
           s.BindString(first + 2, content.c_str());
  };
  if (!insert)
    return ExecuteOnRecord(link, {kSqlTrustById, [&](SQLStatement& s) { return s.BindInt(0, id) != 0; }},
                           {L"update Trust set type=?,ClientIP=?,Content=? where id=?", bind});
  SQLStatement* statement = link.CreateStatement(L"insert into Trust (id,type,ClientIP,Content) values(?,?,?,?)");
  const int done = statement && bind(*statement) && statement->Execute() ? 1 : -1;
  link.ReleaseStatement(statement);
  return done;
}

// 1 deleted, 0 no such row, -1 failed.
int DeleteTrust(SQLServerLink& link, int id) {
  auto bindId = [&](SQLStatement& s) { return s.BindInt(0, id) != 0; };
  return ExecuteOnRecord(link, {kSqlTrustById, bindId}, {L"delete from Trust where id=?", bindId});
}

}  // namespace
