#include "console/LinkRecords.h"

namespace {

const size_t kNameUnits = 64;

}  // namespace

bool ReadStrategyRunState(const unsigned char* payload, size_t length, StrategyRunStateRecord& record) {
  if (!linkpayload::ReadU32(payload, length, 0, record.State)) return false;
  record.StrategyName = linkpayload::ReadText16(payload, length, 4, kNameUnits);
  return true;
}

bool ReadStrategyRunLog(const unsigned char* payload, size_t length, StrategyRunLogRecord& record,
                        size_t reasonUnits) {
  const size_t reasonOffset = 4 + 2 * kNameUnits;
  if (length < reasonOffset || !linkpayload::ReadU32(payload, length, 0, record.Result)) return false;
  record.StrategyName = linkpayload::ReadText16(payload, length, 4, kNameUnits);
  record.Reason = linkpayload::ReadText16(payload, length, reasonOffset, reasonUnits < length ? reasonUnits : length);
  return true;
}

bool ReadClientState(const unsigned char* payload, size_t length, ClientStateRecord& record) {
  return linkpayload::ReadU32(payload, length, 0, record.Address) &&
         linkpayload::ReadU32(payload, length, 4, record.Online);
}
