#pragma once
// Debug assertion reports: a failed check is reported and the program goes on.
// Tests install a hook to see the reports instead of the debugger output.
#include <string>

namespace qv {

struct DebugReportInfo {
  std::string text;    // the failed expression or the message
  std::string source;  // file (or component) that reported it
  int line;
};

using DebugReportHook = void (*)(const DebugReportInfo& info, void* context);

// Reports to the hook when one is set, else to the debugger output.
void DebugReport(const std::string& text, const char* source, int line);
// Returns the hook that was set before; pass nullptr to restore the default.
DebugReportHook SetDebugReportHook(DebugReportHook hook, void* context,
                                   void** previousContext = nullptr);
// Framework trace output (debugger only, never the hook).
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qv

#define QV_ASSERT(expr) \
  ((expr) ? (void)0 : ::qv::DebugReport(#expr, __FILE__, __LINE__))
