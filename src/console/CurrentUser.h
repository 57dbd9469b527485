#pragma once
// The console user logged in: set once by a successful login from the user's Users
// row, read-only afterwards. Which areas the main window builds, whether the update
// and the administrator's pages are open, and who is named as creator follow from it.
#include <string>

// Bits of g_currentUserPermission: the areas besides system management.
enum UserPermission : int {
  kPermissionIntegrity = 1,
  kPermissionReinforce = 2,
  kPermissionLogCenter = 4,
  kPermissionReportCenter = 8,
  kPermissionSafeTools = 16,
};
const int kUserTypeAdministrator = 1;

extern std::wstring g_currentUserName;  // as typed at the login
extern std::wstring g_currentUserComment;
extern int g_currentUserId;
extern int g_currentUserType;  // kUserTypeAdministrator, else a custom user
extern int g_currentUserPermission;

// The built-in administrator account: the login pre-fills it and user management
// protects it.
extern const wchar_t* const g_defaultUserName;
