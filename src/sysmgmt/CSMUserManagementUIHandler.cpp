#include "sysmgmt/CSMUserManagementUIHandler.h"

#include <vector>

#include "console/ConnectOrTell.h"
#include "console/CurrentUser.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "sysmgmt/CSMUMPasswordDlg.h"
#include "sysmgmt/SMPageLink.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

// ---- Statements of the page; every value is bound.
const wchar_t kSelectUsers[] = L"select id,name,type,permission from Users";
const wchar_t kSelectOwnUser[] = L"select id,type,permission from Users where name=?";
const wchar_t kSelectUser[] = L"select name,comment,type,permission from Users where id=?";
const wchar_t kCountByName[] = L"select count(*) from Users where name=? and id<>?";
const wchar_t kInsertUser[] =
    L"insert into Users(name,password,comment,type,permission) values(?,?,?,?,?)";
const wchar_t kSelectIdByName[] = L"select id from Users where name=?";
// A custom user's bits 2 and 16 have no check in the editor: they are kept as stored.
const wchar_t kUpdateUser[] =
    L"update Users set name=?,comment=?,type=?,permission=(permission&?)|? where id=?";
const wchar_t kSelectPermission[] = L"select permission from Users where id=?";
const wchar_t kSelectId[] = L"select id from Users where id=?";
const wchar_t kDeleteUser[] = L"delete from Users where id=?";
const wchar_t kSelectPassword[] = L"select password from Users where id=?";
const wchar_t kUpdatePassword[] = L"update Users set password=? where id=?";

const int kHiddenRights = 2 | 16;
const int kNameChars = 10;
const int kCommentChars = 20;

const wchar_t* const kRightNames[] = {L"完整性监测；", L"安全加固；", L"日志中心；", L"报告中心；",
                                      L"安全工具；"};

bool IsBuiltInName(const std::wstring& name) {
  return ::CompareStringOrdinal(name.c_str(), -1, g_defaultUserName, -1, TRUE) == CSTR_EQUAL;
}

using qv::OrEmpty;

void Wipe(std::wstring& secret) {
  ::SecureZeroMemory(&secret[0], secret.size() * sizeof(wchar_t));
  secret.clear();
}

}  // namespace

CSMUserManagementUIHandler::CSMUserManagementUIHandler(CUiDialogHost* owner)
    : m_owner(owner), m_grid(CUIResource::GetSkinBitmap(), kGridScrollSkin, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9) {}

CSMUserManagementUIHandler::~CSMUserManagementUIHandler() = default;

int CSMUserManagementUIHandler::Init() {
  HWND view = m_owner->GetViewHWnd();
  m_grid.Create(view, nullptr, nullptr, 0, 0, kGrid);
  const struct {
    const wchar_t* title;
    int width;
    UINT format;
  } columns[] = {{L"", 40, ITEM_FORMAT_CHECKBOX},
                 {L"用户名", 200, ITEM_FORMAT_NONE},
                 {L"用户类型", 150, ITEM_FORMAT_NONE},
                 {L"密码选项", 80, ITEM_FORMAT_HYPERLINK},
                 {L"用户权限", 250, ITEM_FORMAT_NONE}};
  for (const auto& c : columns) m_grid.AddColumn(c.title, c.width, -1, FALSE, FALSE, c.format, ITEM_FLAGS_CENTRE);

  const DWORD field = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  m_name.Create(view, nullptr, nullptr, field, 0, kName);
  m_name.SetInputType(CEditEx::kLettersDigits, L"_", 1);
  m_name.SetLimits(kNameChars, 0, '0', FALSE);
  m_comment.Create(view, nullptr, nullptr, field, 0, kComment);
  m_comment.SetLimits(kCommentChars, 0, '0', FALSE);
  m_type.Create(view, RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, kType);
  m_type.AddString(L"自定义用户");
  m_type.AddString(L"管理员用户");
  m_type.SetCurSel(-1);

  LoadUsers();
  if (!IsAdministrator()) {
    m_owner->EnableItem(kAdd, FALSE);
    SetEditorWritable(false);
  }
  m_owner->EnableItem(kDelete, FALSE);
  m_owner->EnableItem(kSave, FALSE);
  return 0;
}

int CSMUserManagementUIHandler::UnInit() { return 0; }

LRESULT CSMUserManagementUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->code == UINM_REALWND_RESIZED) {
    auto* resized = reinterpret_cast<UINMREALWNDRESIZED*>(pnmh);
    if (resized->uItemID == kGrid) {
      OnGridResized(resized->rcWnd);
      return 0;
    }
  } else if (pnmh->code == UINM_COMMAND) {
    const UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (item == kAdd) return OnAddUser(), 0;
    if (item == kDelete) return OnDeleteUser(), 0;
    if (item == kSave) return OnModifyUser(), 0;
    if (item > kRightsFirst && item <= kRightsLast) return OnRightClicked(item), 0;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CSMUserManagementUIHandler::OnGridClick(int, LPNMHDR, BOOL&) {
  OnSelectUser();
  return 0;
}

LRESULT CSMUserManagementUIHandler::OnGridCellClicked(int, LPNMHDR pnmh, BOOL&) {
  const auto* notify = reinterpret_cast<const CListNotify*>(pnmh);
  OnChangePassword(notify->m_nItem, notify->m_nSubItem);
  return 0;
}

LRESULT CSMUserManagementUIHandler::OnTypeCommand(WORD, WORD, HWND, BOOL&) {
  OnUserTypeChanged();
  return 0;
}

void CSMUserManagementUIHandler::OnGridResized(const RECT& rect) {
  const int width = rect.right - rect.left;
  const bool maximized = ::IsZoomed(m_owner->GetHWnd()) != FALSE;
  const int widths[] = {maximized ? 80 : 40, 200, maximized ? 200 : 100, maximized ? 200 : 100,
                        width - (maximized ? 680 : 440)};
  for (int i = 0; i < 5; ++i) m_grid.SetColumnWidth(i, widths[i]);
}

// ---------------------------------------------------------------- the grid

void CSMUserManagementUIHandler::LoadUsers() {
  SMPageLink link;
  if (!link.Open()) return;
  const bool admin = IsAdministrator();
  SQLStatement* statement = link.CreateStatement(admin ? kSelectUsers : kSelectOwnUser);
  if (statement && !admin) statement->BindString(0, g_currentUserName.c_str());
  std::vector<UserRecord> users;
  while (statement && statement->Fetch()) {
    UserRecord user;
    user.id = statement->GetInt(0);
    user.name = admin ? OrEmpty(statement->GetString(1)) : g_currentUserName;
    user.type = statement->GetInt(admin ? 2 : 1);
    user.permission = statement->GetInt(admin ? 3 : 2);
    users.push_back(user);
  }
  if (!statement || statement->Failed()) {
    const std::wstring reason = OrEmpty(link.GetLastErrorText());
    link.Disconnect();
    return TellListUnread(kReadUsersFailed, reason.c_str());
  }
  link.Disconnect();
  if (!admin) m_type.EnableWindow(FALSE);
  m_grid.SendMessage(WM_SETREDRAW, FALSE);
  bool whole = true;  // a grid that cannot take another row holds part of the list
  for (size_t i = 0; whole && i < users.size(); ++i)
    whole = FormatUserRow(users[i]) >= 0 || TypeText(users[i]).empty();
  // Part of the accounts would pass for all of them.
  if (!whole) m_grid.DeleteAllItems();
  m_grid.SendMessage(WM_SETREDRAW, TRUE);
  m_grid.Invalidate();
  if (!whole) TellListUnread(kReadUsersFailed, kGridFullReason);
}

std::wstring CSMUserManagementUIHandler::TypeText(const UserRecord& user) {
  if (user.type == kUserTypeAdministrator) return IsBuiltInName(user.name) ? L"内置管理员" : L"管理员用户";
  return user.type == 0 ? L"自定义用户" : L"";
}

std::wstring CSMUserManagementUIHandler::PermissionText(int type, int permission) {
  if (type == kUserTypeAdministrator) return L"完全控制";
  std::wstring text;
  for (int bit = 0; bit < 5; ++bit)
    if (permission & (1 << bit)) text += kRightNames[bit];
  if (!text.empty()) text.pop_back();
  return text;
}

int CSMUserManagementUIHandler::FormatUserRow(const UserRecord& user) {
  const std::wstring typeText = TypeText(user);
  if (typeText.empty()) return -1;
  return AddUserRow(FALSE, user, typeText, PermissionText(user.type, user.permission), user.id);
}

int CSMUserManagementUIHandler::AddUserRow(BOOL checked, const UserRecord& user,
                                           const std::wstring& typeText, const std::wstring& permText,
                                           int id) {
  const int row = m_grid.AddItem(nullptr, -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
  if (row < 0) return row;
  if (checked) m_grid.SetItemCheck(row, kColumnCheck, 1);
  m_grid.SetItemText(row, kColumnName, user.name.c_str());
  m_grid.SetItemText(row, kColumnType, typeText.c_str());
  m_grid.SetItemText(row, kColumnPassword, L"设置");
  m_grid.SetItemText(row, kColumnRights, permText.c_str());
  m_grid.SetItemData(row, static_cast<unsigned long>(id));
  return row;
}

void CSMUserManagementUIHandler::UpdateUserRow(int row, const UserRecord& user) {
  m_grid.SetItemText(row, kColumnName, user.name.c_str());
  m_grid.SetItemText(row, kColumnType, TypeText(user).c_str());
  m_grid.SetItemText(row, kColumnRights, PermissionText(user.type, user.permission).c_str());
}

int CSMUserManagementUIHandler::FindRow(unsigned long id) const {
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    unsigned long data = 0;
    if (m_grid.GetItemData(row, data) && data == id) return row;
  }
  return -1;
}

// The built-in account and the logged-in one are never deleted.
bool CSMUserManagementUIHandler::IsProtected(int row) const {
  unsigned long id = 0;
  m_grid.GetItemData(row, id);
  return IsBuiltInName(m_grid.GetItemText(row, kColumnName)) ||
         static_cast<int>(id) == g_currentUserId;
}

// ---------------------------------------------------------------- the editor

bool CSMUserManagementUIHandler::IsAdministrator() const {
  return g_currentUserType == kUserTypeAdministrator;
}

std::wstring CSMUserManagementUIHandler::EditText(const CEditEx& edit) const {
  return edit.m_hWnd ? edit.GetWindowText() : std::wstring();
}

void CSMUserManagementUIHandler::ClearEditor() {
  if (m_name.m_hWnd) m_name.SetWindowText(L"");
  if (m_comment.m_hWnd) m_comment.SetWindowText(L"");
  if (m_type.m_hWnd) m_type.SetCurSel(-1);
  for (UINT item = kRightsFirst; item <= kRightsLast; ++item) m_owner->SetItemCheck(item, FALSE);
}

void CSMUserManagementUIHandler::SetEditorWritable(bool writable) {
  if (m_name.m_hWnd) m_name.SendMessage(EM_SETREADONLY, !writable);
  if (m_comment.m_hWnd) m_comment.SendMessage(EM_SETREADONLY, !writable);
  if (m_type.m_hWnd) m_type.EnableWindow(writable);
}

void CSMUserManagementUIHandler::FocusName() {
  ::SetFocus(m_name);
  m_name.SetSel(0, -1);
}

int CSMUserManagementUIHandler::GetCheckedRights() {
  int rights = 0;
  for (UINT item = kRightsFirst + 1; item <= kRightsLast; ++item)
    if (m_owner->GetItemCheck(item)) rights |= 1 << (item - kRightsFirst - 1);
  return rights;
}

int CSMUserManagementUIHandler::CountUsersByName(const std::wstring& name, int exceptId) {
  return SMPageLink::CountByName(kCountByName, name, exceptId);
}

bool CSMUserManagementUIHandler::ShowUser(int row, bool* editable) {
  unsigned long id = 0;
  m_grid.GetItemData(row, id);
  SMPageLink link;
  if (!link.Open()) return false;
  SQLStatement* statement = link.CreateStatement(kSelectUser);
  if (statement) statement->BindInt(0, static_cast<int>(id));
  if (!statement || !statement->Fetch()) {
    if (link.RecordGone(statement, L"查询出错")) UserGone();
    return false;
  }
  UserRecord user;
  user.name = OrEmpty(statement->GetString(0));
  user.comment = OrEmpty(statement->GetString(1));
  user.type = statement->GetInt(2);
  user.permission = statement->GetInt(3);
  link.Disconnect();

  m_name.SetWindowText(user.name.c_str());
  m_comment.SetWindowText(user.comment.c_str());
  m_type.SetCurSel(user.type == 0 || user.type == 1 ? user.type : -1);
  for (UINT item = kRightsFirst + 1; item <= kRightsLast; ++item)
    m_owner->SetItemCheck(item, (user.permission >> (item - kRightsFirst - 1)) & 1);
  *editable = !IsBuiltInName(user.name);
  return true;
}

void CSMUserManagementUIHandler::OnSelectUser() {
  int checked = 0, last = -1;
  bool deletable = false;  // a checked row that is neither built in nor logged in
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    if (m_grid.GetItemCheck(row, kColumnCheck) <= 0) continue;
    ++checked;
    last = row;
    if (!IsProtected(row)) deletable = true;
  }
  m_checkedCount = checked;
  m_currentRow = -1;
  m_currentEditable = true;
  if (checked != 1) {
    ClearEditor();
  } else {
    bool editable = false;
    if (!ShowUser(last, &editable)) {
      m_owner->EnableItem(kSave, FALSE);
      m_owner->EnableItem(kDelete, FALSE);
      return;
    }
    m_currentRow = last;
    m_currentEditable = editable;
  }
  const bool admin = IsAdministrator();
  SetEditorWritable(admin && m_currentEditable);
  m_owner->EnableItem(kSave, admin && m_currentRow >= 0 && m_currentEditable);
  m_owner->EnableItem(kDelete, admin && deletable);
}

void CSMUserManagementUIHandler::OnUserTypeChanged() {
  const BOOL administrator = m_type.GetCurSel() == 1;
  for (UINT item = kRightsFirst; item <= kRightsLast; ++item) m_owner->SetItemCheck(item, administrator);
}

// The check box has toggled itself before this runs.
void CSMUserManagementUIHandler::OnRightClicked(UINT item) {
  if (m_type.GetCurSel() == 1)
    m_owner->SetItemCheck(item, TRUE);
  else if (!IsAdministrator())
    m_owner->SetItemCheck(item, !m_owner->GetItemCheck(item));
}

// ---------------------------------------------------------------- add, modify, delete

void CSMUserManagementUIHandler::OnAddUser() {
  if (!IsAdministrator()) {
    UiMessageBox(L"对不起，您没有权限添加用户", L"权限不足", MB_ICONHAND);
    return;
  }
  UserRecord user;
  user.name = EditText(m_name);
  if (user.name.empty()) {
    UiMessageBox(L"请输入用户名", L"错误", MB_ICONHAND);
    return;
  }
  const int count = CountUsersByName(user.name, -1);
  if (count < 0) return;
  if (count > 0) {
    UiMessageBox(L"该用户名已被使用\n请重新输入新的用户名", L"注意", MB_ICONEXCLAMATION);
    ReadAgainKeepingEntries();
    FocusName();
    return;
  }
  user.comment = EditText(m_comment);
  user.type = m_type.GetCurSel();
  if (user.type < 0) {
    UiMessageBox(L"请选择用户类型", L"注意", MB_OK);
    return;
  }
  user.permission = user.type == kUserTypeAdministrator ? kAllRights : GetCheckedRights();
  if (user.permission == 0 &&
      UiMessageBox(L"您确实需要添加一个没有任何权限的用户么？", L"确认", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  user.id = InsertUser(user);
  if (user.id < 0) return;
  if (FormatUserRow(user) < 0) {
    // Stored, but not shown: the user hears why rather than of a success.
    TellError(kGridFullReason);
    return;
  }
  ClearEditor();
  UiMessageBox(L"添加用户成功！", L"成功", MB_OK);
}

int CSMUserManagementUIHandler::InsertUser(const UserRecord& user) {
  SMPageLink link;
  if (!link.Open()) return -1;
  SQLStatement* insert = link.CreateStatement(kInsertUser);
  if (!insert || !insert->BindString(0, user.name.c_str()) || !insert->BindEmptyString(1) ||
      !insert->BindString(2, user.comment.c_str()) || !insert->BindInt(3, user.type) ||
      !insert->BindInt(4, user.permission) || !insert->Execute()) {
    link.ShowError(L"插入数据错误");
    return -1;
  }
  // The database gives the id: read it back rather than guess it.
  SQLStatement* select = link.CreateStatement(kSelectIdByName);
  if (select) select->BindString(0, user.name.c_str());
  if (!select || !select->Fetch()) {
    link.ShowError(L"查询出错");
    return -1;
  }
  return select->GetInt(0);
}

void CSMUserManagementUIHandler::OnModifyUser() {
  if (!IsAdministrator()) {
    UiMessageBox(L"对不起，您没有权限修改用户信息", L"权限不足", MB_ICONHAND);
    return;
  }
  if (m_checkedCount != 1 || m_currentRow < 0 || !m_currentEditable) return;
  const int row = m_currentRow;
  UserRecord user;
  user.name = EditText(m_name);
  if (user.name.empty()) {
    UiMessageBox(L"请输入用户名", L"注意", MB_ICONEXCLAMATION);
    return;
  }
  if (IsBuiltInName(user.name)) {
    UiMessageBox(L"该用户信息不能修改", L"注意", MB_ICONEXCLAMATION);
    return;
  }
  unsigned long id = 0;
  m_grid.GetItemData(row, id);
  user.id = static_cast<int>(id);
  const int count = CountUsersByName(user.name, user.id);
  if (count < 0) return;
  if (count > 0) {
    UiMessageBox(L"该用户名已被使用\n请重新输入用户名", L"注意", MB_ICONEXCLAMATION);
    ReadAgainKeepingEntries();
    FocusName();
    return;
  }
  user.comment = EditText(m_comment);
  user.type = m_type.GetCurSel();
  if (user.type < 0) {
    UiMessageBox(L"请选择用户类型", L"注意", MB_ICONEXCLAMATION);
    return;
  }
  const bool administrator = user.type == kUserTypeAdministrator;
  const int rights = administrator ? kAllRights : GetCheckedRights();
  if (rights == 0 &&
      UiMessageBox(L"你确定要将要取消他所有权限吗？", L"注意", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;

  SMPageLink link;
  if (!link.Open()) return;
  const int updated = ExecuteOnRecord(
      link, {kSelectId, [&](SQLStatement& st) { return st.BindInt(0, user.id) != 0; }},
      {kUpdateUser, [&](SQLStatement& st) {
         return st.BindString(0, user.name.c_str()) && st.BindString(1, user.comment.c_str()) &&
                st.BindInt(2, user.type) && st.BindInt(3, administrator ? 0 : kHiddenRights) && st.BindInt(4, rights) &&
                st.BindInt(5, user.id);
       }});
  if (updated < 0) return link.ShowError(L"修改数据库错误", MB_OK);
  if (updated == 0) {
    link.Disconnect();
    return UserGone();
  }
  SQLStatement* select = link.CreateStatement(kSelectPermission);
  if (select) select->BindInt(0, user.id);
  user.permission = select && select->Fetch() ? select->GetInt(0) : rights;
  link.Disconnect();
  UpdateUserRow(row, user);
  UiMessageBox(L"修改成功", L"成功", MB_OK);
}

void CSMUserManagementUIHandler::OnDeleteUser() {
  if (!IsAdministrator()) {
    UiMessageBox(L"对不起，您没有权限删除用户", L"权限不足", MB_ICONHAND);
    return;
  }
  // What to delete is taken before any box lets the grid change.
  struct Target {
    unsigned long id;
    std::wstring name;
  };
  std::vector<Target> targets;
  bool kept = false;
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    if (m_grid.GetItemCheck(row, kColumnCheck) != 1) continue;
    if (IsProtected(row)) {
      kept = true;
      continue;
    }
    unsigned long id = 0;
    m_grid.GetItemData(row, id);
    targets.push_back({id, m_grid.GetItemText(row, kColumnName)});
  }
  const wchar_t kKeptNotice[] = L"内置管理员和当前登录的用户不能删除";
  if (targets.empty()) {
    if (kept) UiMessageBox(kKeptNotice, L"注意", MB_ICONEXCLAMATION);
    return;
  }
  if (UiMessageBox(L"确定删除选中的用户吗？", L"确认", MB_YESNO | MB_ICONQUESTION) != IDYES) return;

  std::vector<std::wstring> failed;
  bool gone = false;
  {
    SMPageLink link;
    if (!link.Open()) return;
    for (const Target& target : targets) {
      auto bindId = [&](SQLStatement& st) { return st.BindInt(0, static_cast<int>(target.id)) != 0; };
      const int deleted = ExecuteOnRecord(link, {kSelectId, bindId}, {kDeleteUser, bindId});
      if (deleted > 0) {
        const int row = FindRow(target.id);
        if (row >= 0) m_grid.DeleteItem(row);
      } else if (deleted == 0) {
        gone = true;
      } else {
        failed.push_back(target.name);
      }
    }
  }
  for (const std::wstring& name : failed)
    UiMessageBox(qv::FormatW(L"删除用户 %ls失败", name.c_str()).c_str(), L"错误", MB_ICONEXCLAMATION);
  if (kept) UiMessageBox(kKeptNotice, L"注意", MB_ICONEXCLAMATION);
  if (gone) return UserGone();
  OnSelectUser();
}

// The name may be another console's new account, which the grid then shows. The
// accounts checked stay checked (the one being modified stays the current one, when it
// is still there), and the editor keeps what the user entered.
void CSMUserManagementUIHandler::ReadAgainKeepingEntries() {
  std::vector<unsigned long> checked;
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    unsigned long id = 0;
    if (m_grid.GetItemCheck(row, kColumnCheck) > 0 && m_grid.GetItemData(row, id)) checked.push_back(id);
  }
  unsigned long current = 0;
  const bool hadCurrent = m_currentRow >= 0 && m_grid.GetItemData(m_currentRow, current);
  m_grid.DeleteAllItems();
  LoadUsers();
  m_checkedCount = 0;
  bool deletable = false;
  for (unsigned long id : checked) {
    const int row = FindRow(id);
    if (row < 0) continue;
    m_grid.SetItemCheck(row, kColumnCheck, 1);
    ++m_checkedCount;
    if (!IsProtected(row)) deletable = true;
  }
  m_currentRow = hadCurrent && m_checkedCount == 1 ? FindRow(current) : -1;
  const bool admin = IsAdministrator();
  m_owner->EnableItem(kSave, admin && m_currentRow >= 0 && m_currentEditable);
  m_owner->EnableItem(kDelete, admin && deletable);
}

// The account is no longer in the table: the grid is read again and the editor emptied.
void CSMUserManagementUIHandler::UserGone() {
  TellRecordGone([this] {
    m_grid.DeleteAllItems();
    LoadUsers();
    OnSelectUser();
  });
}

// ---------------------------------------------------------------- password

void CSMUserManagementUIHandler::OnChangePassword(int row, int column) {
  if (column != kColumnPassword || row < 0 || row >= m_grid.GetItemCount()) return;
  unsigned long data = 0;
  m_grid.GetItemData(row, data);
  const int id = static_cast<int>(data);
  if (!IsAdministrator() && id != g_currentUserId) {
    UiMessageBox(L"对不起，您没有权限修改此用户的密码", L"权限不足", MB_ICONHAND);
    return;
  }
  std::wstring password;
  {
    SMPageLink link;
    if (!link.Open()) return;
    SQLStatement* select = link.CreateStatement(kSelectPassword);
    if (select) select->BindInt(0, id);
    if (!select || !select->Fetch()) {
      if (link.RecordGone(select, L"查询错误")) UserGone();
      return;
    }
    password = OrEmpty(select->GetString(0));
  }
  CSMUMPasswordDlg dialog(password);
  if (dialog.DoModal(m_owner->GetHWnd()) == IDOK) {
    SMPageLink link;
    if (link.Open()) {
      const int updated = ExecuteOnRecord(
          link, {kSelectId, [&](SQLStatement& st) { return st.BindInt(0, id) != 0; }},
          {kUpdatePassword, [&](SQLStatement& st) { return st.BindString(0, password.c_str()) && st.BindInt(1, id); }});
      if (updated > 0) {
        link.Disconnect();
        UiMessageBox(L"修改密码成功", L"成功", MB_ICONASTERISK);
      } else if (updated == 0) {
        link.Disconnect();
        UserGone();
      } else {
        link.ShowError(L"修改错误");
      }
    }
  }
  Wipe(password);
}
