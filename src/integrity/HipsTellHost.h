#pragma once
// A HIPS change (a filter's deletion, the editor's apply, a trust relation's addition,
// change and removal) goes to the agent of its host. The pages write through
// StoreAndTell, so a change counts only once the host has heard of it, and they ask
// HipsHostAddressOrTell first: a change for a host the service cannot address is refused.
// Taking one back from such a host cannot be told either, but refusing it would leave the
// row for ever: the user hears that the host cannot be told and chooses
// (HipsUntoldRemovalChosen), since the host may still enforce what it was once sent.
#include <windows.h>

#include <string>

// Sends payload as messageId to the agent of clientIp. False when the link did not take
// it, or when the host has no address the service can take (nothing is sent then).
bool HipsTellHost(const std::wstring& clientIp, UINT messageId, const std::string& payload);
// Whether a command for clientIp can reach its agent at all; told to the user when it
// cannot ("客户端IP地址无效，命令未发送！"), and the command is then not given.
bool HipsHostAddressOrTell(const std::wstring& clientIp);
// Whether the service can address clientIp's agent at all.
bool HipsHostAddressUsable(const std::wstring& clientIp);
// Asks whether a filter or relation of a host the service cannot address is to be taken
// back all the same, with nothing sent to the host.
bool HipsUntoldRemovalChosen();
