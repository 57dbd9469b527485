#pragma once
// What the user is told when a command for the monitoring service cannot go out. A
// page that gets this answer has changed nothing and keeps what the user entered, so
// the command can be given again once the service is back.
#include <windows.h>

// Shows the refusal unless `sent`; returns sent != 0.
bool SentOrTellLinkDown(int sent);
// The refusal of a command for a host whose address the service cannot take: told, it
// goes nowhere and changes nothing.
void TellHostAddressUnusable();
