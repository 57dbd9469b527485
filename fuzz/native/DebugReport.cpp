// Debug reports for the native fuzz build: a failed check in a fuzzed reader is a
// finding, so it stops the run.
#include "platform/DebugReport.h"

#include <cstdio>
#include <cstdlib>

namespace qv {

void DebugReport(const std::string& text, const char* source, int line) {
  std::fprintf(stderr, "debug report: %s (%s:%d)\n", text.c_str(), source ? source : "", line);
  std::abort();
}

void Trace(const char*, ...) {}

}  // namespace qv
