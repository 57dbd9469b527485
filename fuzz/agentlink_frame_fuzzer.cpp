// libFuzzer target for the service link's frame reassembly.
#include "AgentLinkFrameCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = agentlink_check::CheckStream(data, size)) {
    std::fprintf(stderr, "agentlink frame check: %s\n", problem);
    std::abort();
  }
  return 0;
}
