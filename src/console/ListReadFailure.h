#pragma once
// What the user is told when a list cannot be read whole: which list, from the string
// table (a text with one "%ls" for the reason, "读取IP地址对象失败：%ls"), and why: the
// database's diagnostic, or that the grid could not take another row. A list that
// fails shows nothing rather than part of itself, and fails alone: the other lists of
// its page are read as always.
#include <windows.h>

class SQLServerLink;

// The lists' texts in the string table.
enum ListReadText : UINT {
  kReadIpObjectsFailed = 2140,
  kReadMacObjectsFailed = 2141,
  kReadServiceObjectsFailed = 2142,
  kReadAppObjectsFailed = 2143,
  kReadDeviceObjectsFailed = 2144,
  kReadRegObjectsFailed = 2145,
  kReadLatestEventsFailed = 2146,
  kReadHipsFiltersFailed = 2147,
  kReadTrustFailed = 2148,
  kReadUsersFailed = 2149,
  kReadStrategiesFailed = 2150,
  kReadCopyHostsFailed = 2151,  // the history copies' tree: hosts and their strategies
  kReadHostsFailed = 2152,
  kReadCopiesFailed = 2153,
  kReadAuditLogFailed = 2154,
  kReadHipsLogFailed = 2155,
  kReadSystemLogFailed = 2156,
  kReadReportsFailed = 2157,
  kReadServicesFailed = 2158,
  kReadStartupsFailed = 2159,
  kReadSharesFailed = 2160,
  kReadPeripheralsFailed = 2161,
  kReadNetRulesFailed = 2162,
  kReadNetChoicesFailed = 2163,  // the network rule editor's addresses and ports
  kReadServersFailed = 2164,
  kReadDevicesFailed = 2165,
  kReadTargetsFailed = 2166,  // a stored strategy's targets
  kReadHipsRulesFailed = 2167,  // a HIPS filter's rules in its editor
  kReadChangeCountsFailed = 2168,  // the change overview's counters
};

// The reason given when a grid cannot take another row.
extern const wchar_t kGridFullReason[];

// Shows "<what failed>：<reason>" with the caption ("错误" unless given) and the error icon.
void TellListUnread(UINT textId, const wchar_t* reason, const wchar_t* caption = L"错误");
// The same with the link's last diagnostic as the reason; the link is closed before the
// box comes up (see ConnectOrTell.h).
void TellListUnread(UINT textId, SQLServerLink& link, const wchar_t* caption = L"错误");
