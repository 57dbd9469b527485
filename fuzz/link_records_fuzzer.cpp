// libFuzzer target: the service link's record readers.
#include "native/LinkRecordsNative.h"
#include "LinkRecordsCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckLinkRecords(data, size)) {
    std::fprintf(stderr, "link_records check: %s\n", problem);
    std::abort();
  }
  return 0;
}
