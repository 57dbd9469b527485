#include "console/CurrentUser.h"

std::wstring g_currentUserName;
std::wstring g_currentUserComment;
int g_currentUserId = 0;
int g_currentUserType = 0;
int g_currentUserPermission = 0;

const wchar_t* const g_defaultUserName = L"tamuk";
