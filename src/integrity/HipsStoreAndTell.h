#pragma once
// What every HIPS change shares (a filter's deletion, the editor's apply, a trust
// relation's addition, change and removal): it counts only once the agent of its host
// has heard of it. The rows are written in one transaction, the host is told, and only
// then is the transaction committed; a send that the service link cannot take rolls the
// rows back after the user is told, so nothing has changed and the caller keeps what was
// entered. A host without an address has no agent to tell: its change is stored alone.
#include <windows.h>

#include <functional>
#include <string>

class SQLServerLink;

// Sends payload as messageId to the agent of clientIp. True when sent or when the host
// has no address; false when the link did not take it.
bool HipsTellHost(const std::wstring& clientIp, UINT messageId, const std::string& payload);

// write runs the statements on link (false on a database failure), tell the sends (false
// when the link did not take one). Each failure is shown once the rows are rolled back
// (no lock is held while the user reads): the link's as SentOrTellLinkDown does, the
// database's, the commit's too, as "错误信息：%s" with caption. True once committed.
bool HipsStoreAndTell(SQLServerLink& link, const std::function<bool()>& write, const std::function<bool()>& tell,
                      const wchar_t* caption = L"错误");
