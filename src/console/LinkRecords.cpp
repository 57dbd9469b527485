#include "console/LinkRecords.h"

namespace {

const size_t kNameUnits = 64;

}  // namespace

bool ReadLinkU32(const void* payload, size_t length, size_t offset, uint32_t& value) {
  if (!payload || offset > length || length - offset < 4) return false;
  const auto* p = static_cast<const unsigned char*>(payload) + offset;
  value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  return true;
}

std::wstring ReadLinkText(const void* payload, size_t length, size_t offset, size_t maxUnits) {
  std::wstring text;
  if (!payload || offset > length) return text;
  const auto* p = static_cast<const unsigned char*>(payload) + offset;
  const size_t units = (length - offset) / 2;
  for (size_t i = 0; i < units && i < maxUnits; ++i) {
    const wchar_t c = static_cast<wchar_t>(p[2 * i] | p[2 * i + 1] << 8);
    if (!c) break;
    text.push_back(c);
  }
  return text;
}

bool ReadStrategyRunState(const void* payload, size_t length, StrategyRunStateRecord& record) {
  if (!ReadLinkU32(payload, length, 0, record.State)) return false;
  record.StrategyName = ReadLinkText(payload, length, 4, kNameUnits);
  return true;
}

bool ReadStrategyRunLog(const void* payload, size_t length, StrategyRunLogRecord& record) {
  const size_t reasonOffset = 4 + 2 * kNameUnits;
  if (length < reasonOffset || !ReadLinkU32(payload, length, 0, record.Result)) return false;
  record.StrategyName = ReadLinkText(payload, length, 4, kNameUnits);
  record.Reason = ReadLinkText(payload, length, reasonOffset, length);
  return true;
}

bool ReadClientState(const void* payload, size_t length, ClientStateRecord& record) {
  return ReadLinkU32(payload, length, 0, record.Address) &&
         ReadLinkU32(payload, length, 4, record.Online);
}
