// libFuzzer target: the update server's version answer.
#include "UpdateVersionCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckUpdateVersion(data, size)) {
    std::fprintf(stderr, "update_version check: %s\n", problem);
    std::abort();
  }
  return 0;
}
