// libFuzzer target: the connection settings file.
#include "SysServerPortCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckSysServerPort(data, size)) {
    std::fprintf(stderr, "sysserver_config check: %s\n", problem);
    std::abort();
  }
  return 0;
}
