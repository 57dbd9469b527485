// libFuzzer target: the remote pickers' drive, directory and file answers.
#include "native/LinkRecordsNative.h"
#include "RemoteListingCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckRemoteListing(data, size)) {
    std::fprintf(stderr, "remote_listing check: %s\n", problem);
    std::abort();
  }
  return 0;
}
