#pragma once
// Checks of the service link's record readers over one payload, shared by the libFuzzer
// target and the replay test: every reader (and the hardening checklist's option mask)
// is run over the whole payload (the mask's text also through the nesting guard's
// check, XmlGuardCheck.h) and must stay
// inside it, accept exactly the payloads long enough for its fixed part, and give texts
// no longer than their fields and the payload allow. The first byte picks the offset
// of the free text reads. Returns null when everything held, else what failed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "XmlGuardCheck.h"
#include "console/LinkRecords.h"
#include "reinforce/ReinforceOptionMask.h"

namespace fuzzcheck {

inline bool NoNul(const std::wstring& s) { return s.find(L'\0') == std::wstring::npos; }

inline const char* CheckLinkRecords(const uint8_t* data, size_t size) {
  const unsigned char* p = size ? data : nullptr;

  StrategyRunStateRecord state{};
  const bool stateRead = ReadStrategyRunState(p, size, state);
  if (stateRead != (size >= 4)) return "run state: accepted or refused wrongly";
  if (stateRead && (state.StrategyName.size() > 64 || state.StrategyName.size() > (size - 4) / 2 ||
                    !NoNul(state.StrategyName)))
    return "run state: name longer than its field";

  StrategyRunLogRecord log{};
  const bool logRead = ReadStrategyRunLog(p, size, log);
  if (logRead != (size >= 132)) return "run log: accepted or refused wrongly";
  if (logRead && (log.StrategyName.size() > 64 || !NoNul(log.StrategyName) ||
                  log.Reason.size() > (size - 132) / 2 || !NoNul(log.Reason)))
    return "run log: text longer than its field";

  ClientStateRecord client{};
  if (ReadClientState(p, size, client) != (size >= 8)) return "client state: accepted or refused wrongly";
  uint32_t dataPort = 0, commandPort = 0;
  if (linkpayload::ReadServerPorts(p, size, &dataPort, &commandPort) != (size >= 8))
    return "server ports: accepted or refused wrongly";

  const size_t offset = size ? data[0] % (size + 2) : 0;
  const std::string text8 = linkpayload::ReadText8(p, size, offset);
  if (offset < size ? text8.size() > size - offset : !text8.empty()) return "8-bit text past the payload";
  if (text8.find('\0') != std::string::npos) return "8-bit text holds its terminator";
  for (size_t units : {size_t(0), size_t(1), size_t(64), size})
    for (size_t at : {offset, size_t(0)}) {
      const std::wstring text16 = linkpayload::ReadText16(p, size, at, units);
      if (text16.size() > units || (at <= size ? text16.size() > (size - at) / 2 : !text16.empty()) ||
          !NoNul(text16))
        return "16-bit text past its field or the payload";
    }
  uint32_t mask = 0;
  ReinforceOptionMask::Parse(reinterpret_cast<const char*>(p), size, &mask);
  // The mask's text as it parses it: up to the first terminator.
  const std::string_view whole(reinterpret_cast<const char*>(p), p ? size : 0);
  if (const char* problem = CheckXmlGuard(whole.substr(0, whole.find('\0')))) return problem;

  uint32_t word = 0;
  if (linkpayload::ReadU32(p, size, offset, word) != (offset <= size && size - offset >= 4))
    return "u32 read accepted or refused wrongly";
  return nullptr;
}

}  // namespace fuzzcheck
