// libFuzzer target: the report list file.
#include "ReportListCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckReportList(data, size)) {
    std::fprintf(stderr, "report_list check: %s\n", problem);
    std::abort();
  }
  return 0;
}
