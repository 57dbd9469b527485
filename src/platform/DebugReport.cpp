#include "platform/DebugReport.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace qv {
namespace {
DebugReportHook g_hook = nullptr;
void* g_hookContext = nullptr;
}  // namespace

void DebugReport(const std::string& text, const char* source, int line) {
  DebugReportInfo info{text, source ? source : "", line};
  if (g_hook) {
    g_hook(info, g_hookContext);
    return;
  }
  char buf[1024];
  std::snprintf(buf, sizeof buf, "%s(%d): report: %s\n", info.source.c_str(), line, text.c_str());
  ::OutputDebugStringA(buf);
}

DebugReportHook SetDebugReportHook(DebugReportHook hook, void* context, void** previousContext) {
  DebugReportHook old = g_hook;
  if (previousContext) *previousContext = g_hookContext;
  g_hook = hook;
  g_hookContext = context;
  return old;
}

void Trace(const char* format, ...) {
  char buf[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  ::OutputDebugStringA(buf);
}

}  // namespace qv
