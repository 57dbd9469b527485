#pragma once
// A HIPS change (a filter's deletion, the editor's apply, a trust relation's addition,
// change and removal) goes to the agent of its host; a host without an address has no
// agent to tell, and its change is stored alone. The pages write through StoreAndTell, so
// a change counts only once the host has heard of it.
#include <windows.h>

#include <string>

// Sends payload as messageId to the agent of clientIp. True when sent or when the host
// has no address (what is taken back from it was never sent); false when the link did
// not take it.
bool HipsTellHost(const std::wstring& clientIp, UINT messageId, const std::string& payload);
// Whether something new for clientIp can reach its agent at all; told to the user when
// it cannot, so that a filter or relation is never stored that no agent will enforce.
bool HipsHostAddressOrTell(const std::wstring& clientIp);
