// libFuzzer target: file comparison over any bytes, up to the page.
#include "FileDiffCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckFileDiff(data, size)) {
    std::fprintf(stderr, "file_diff check: %s\n", problem);
    std::abort();
  }
  return 0;
}
