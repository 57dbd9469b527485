#pragma once
// Check of the remote pickers' answer reader, shared by the libFuzzer target and the
// replay test: the first byte picks the answer (drives, directories, entries), the
// rest is the payload. The nesting guard holds over the text it parses
// (XmlGuardCheck.h). Returns null when the listing is sound, else what failed.
#include <cstddef>
#include <cstdint>

#include "XmlGuardCheck.h"
#include "console/LinkRecords.h"
#include "console/RemoteListing.h"
#include "platform/TextConv.h"

namespace fuzzcheck {

inline const char* CheckRemoteListing(const uint8_t* data, size_t size) {
  if (size < 1) return nullptr;
  const RemoteListing::Answer answer = static_cast<RemoteListing::Answer>(data[0] % 3);
  const unsigned char* payload = size > 1 ? data + 1 : nullptr;
  // The text as the reader parses it: 8-bit entries, UTF-16 drives and directories.
  const std::string text = answer == RemoteListing::kEntries
                               ? linkpayload::ReadText8(payload, size - 1, 0)
                               : qv::WideToUtf8(linkpayload::ReadText16(payload, size - 1, 0, (size - 1) / 2));
  if (const char* problem = CheckXmlGuard(text)) return problem;
  RemoteListing listing;
  const bool read = listing.Parse(answer, payload, size - 1);
  if (!read && (listing.DriveMask() != 0 || !listing.Entries().empty())) return "refused answer left a listing";
  if (listing.DriveMask() >> 26) return "drive mask beyond Z:";
  if (answer == RemoteListing::kDrives && !listing.Entries().empty()) return "drive answer gave entries";
  for (const RemoteListing::Entry& e : listing.Entries()) {
    if (e.name.empty()) return "entry without a name";
    if (answer == RemoteListing::kDirectories && e.isFile) return "directory answer gave a file";
    if (e.isFile && e.hasChildren) return "a file with children";
  }
  return nullptr;
}

}  // namespace fuzzcheck
