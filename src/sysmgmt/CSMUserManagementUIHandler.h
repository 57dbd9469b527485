#pragma once
// The page "用户管理" of the system-management area (layout 519): the console's own
// accounts (table Users) in a grid with an editor below it. An administrator adds,
// modifies and deletes accounts and sets their type, rights and passwords; a custom
// user sees the own account only, read-only, and may change only its password. Every
// operation opens its own connection and updates the grid row by row.
#include <windows.h>

#include <string>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CListCtrlDataEx.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSMUserManagementUIHandler {
 public:
  enum : UINT {
    kGrid = 191,
    kAdd = 192,
    kDelete = 193,
    kSave = 194,
    kType = 195,
    kName = 196,
    kComment = 197,
    kRightsFirst = 198,  // 198 has no bit; 199 to 203 carry 1, 2, 4, 8, 16
    kRightsLast = 203,
    kGridScrollSkin = 2191,
  };
  // The grid's columns.
  enum : int { kColumnCheck, kColumnName, kColumnType, kColumnPassword, kColumnRights };
  static const int kAllRights = 31;

  // One account as the page reads and writes it.
  struct UserRecord {
    std::wstring name;
    std::wstring comment;
    int type = 0;
    int permission = 0;
    int id = 0;
  };

  explicit CSMUserManagementUIHandler(CUiDialogHost* owner);
  ~CSMUserManagementUIHandler();
  CSMUserManagementUIHandler(const CSMUserManagementUIHandler&) = delete;
  CSMUserManagementUIHandler& operator=(const CSMUserManagementUIHandler&) = delete;

  int Init();
  int UnInit();

  // Row texts: "内置管理员", "管理员用户" or "自定义用户" (empty for an unknown type), and
  // "完全控制" or the custom user's areas joined by "；".
  static std::wstring TypeText(const UserRecord& user);
  static std::wstring PermissionText(int type, int permission);

  BEGIN_MSG_MAP_EX(CSMUserManagementUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CLICK, OnGridClick)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCLICKED, OnGridCellClicked)
    COMMAND_HANDLER(kType, CBN_SELCHANGE, OnTypeCommand)
  END_MSG_MAP()

  void OnAddUser();
  void OnDeleteUser();
  // Tells that the account is gone and reads the grid again.
  void UserGone();
  void OnModifyUser();
  void OnRightClicked(UINT item);
  void OnGridResized(const RECT& rect);
  void OnSelectUser();
  void OnChangePassword(int row, int column);
  void OnUserTypeChanged();

  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnGridClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnGridCellClicked(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTypeCommand(WORD code, WORD id, HWND control, BOOL& bHandled);

  void LoadUsers();
  // Reads the grid again after a name another console took.
  void ReadAgainKeepingEntries();
  int FormatUserRow(const UserRecord& user);
  int AddUserRow(BOOL checked, const UserRecord& user, const std::wstring& typeText,
                 const std::wstring& permText, int id);
  void UpdateUserRow(int row, const UserRecord& user);
  int GetCheckedRights();
  // Accounts other than exceptId (-1: none) under the name; -1 after a failure that the
  // user has been told of.
  static int CountUsersByName(const std::wstring& name, int exceptId);
  // The new account's id, -1 on failure.
  int InsertUser(const UserRecord& user);
  // Fills the editor from the account of the row; false when it could not be read.
  bool ShowUser(int row, bool* editable);
  void ClearEditor();
  void SetEditorWritable(bool writable);
  void FocusName();
  int FindRow(unsigned long id) const;
  bool IsProtected(int row) const;
  bool IsAdministrator() const;
  std::wstring EditText(const CEditEx& edit) const;

  CUiDialogHost* m_owner;
  int m_checkedCount = 0;
  int m_currentRow = -1;
  bool m_currentEditable = false;
  CListCtrlDataEx<unsigned long> m_grid;
  CEditEx m_name;
  CEditEx m_comment;
  CComboBoxCtrlEx m_type;
};
