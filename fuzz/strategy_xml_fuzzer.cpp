// libFuzzer target: the strategy export and import file.
#include "StrategyXmlCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* problem = fuzzcheck::CheckStrategyXml(data, size)) {
    std::fprintf(stderr, "strategy_xml check: %s\n", problem);
    std::abort();
  }
  return 0;
}
