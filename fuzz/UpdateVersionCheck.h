#pragma once
// Check of the update server's answer, shared by the libFuzzer target and the replay
// test: the first byte seeds how the body arrives (the sizes of the reads, perhaps a
// broken one), the rest is the body of update.txt. The answer is read as the updater
// reads it, widened from the code page and compared with the running version both
// ways. The body is also judged as a downloaded executable (ExecutableLayout), which
// must read only inside it. Returns null when that held, else what failed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/TextConv.h"
#include "sysmgmt/ExecutableLayout.h"
#include "sysmgmt/UpdateVersion.h"

namespace fuzzcheck {

inline const char* CheckUpdateVersion(const uint8_t* data, size_t size) {
  if (size < 1) return nullptr;
  uint32_t rng = data[0] * 2654435761u + 1;
  const unsigned char* body = data + 1;
  const size_t total = size - 1;
  const bool breaks = data[0] & 0x80;  // the connection fails after the body
  const uint32_t limit = 4096;
  size_t at = 0;
  bool broke = false;
  auto read = [&](char* buffer, uint32_t* n) {
    if (at == total) {
      if (breaks) broke = true;
      *n = breaks ? *n : 0;
      return false;
    }
    rng ^= rng << 13, rng ^= rng >> 17, rng ^= rng << 5;
    size_t chunk = 1 + rng % 600;
    if (chunk > *n) chunk = *n;
    if (chunk > total - at) chunk = total - at;
    std::memcpy(buffer, body + at, chunk);
    at += chunk;
    *n = static_cast<uint32_t>(chunk);
    return true;
  };
  std::string bytes;
  const bool whole = UpdateVersion::ReadAnswer(read, limit, bytes);
  if (bytes.size() > limit) return "answer longer than the limit";
  if (whole != (total <= limit)) return "length limit not applied";
  if (whole && !broke && bytes != std::string(reinterpret_cast<const char*>(body), total))
    return "answer differs from the body";
  if (broke && !bytes.empty()) return "a broken read kept bytes";

  const std::wstring offered = qv::AnsiToWide(bytes);
  const std::wstring running = L"1.0.0.1";
  const int there = UpdateVersion::Compare(offered, running), back = UpdateVersion::Compare(running, offered);
  if (there != 1 && there != 0 && there != -1 && there != -21) return "comparison out of range";
  if (there == -21 ? back != -22 : back != -there) return "comparison not symmetric";
  if (there != -21 && UpdateVersion::Compare(offered, offered) != 0) return "version not equal to itself";

  bool outside = false;
  auto readBody = [&](uint64_t offset, void* out, size_t length) {
    if (offset > total || length > total - offset) return outside = true, false;
    std::memcpy(out, body + offset, length);
    return true;
  };
  const ExecutableLayout::Verdict verdict = ExecutableLayout::Check(readBody, total);
  const bool executable = verdict == ExecutableLayout::kWhole;
  if (outside) return "executable layout read past the file";
  if (verdict == ExecutableLayout::kUnreadable) return "a file read whole judged unreadable";
  if (total >= 2 && (body[0] != 'M' || body[1] != 'Z') && verdict != ExecutableLayout::kNotExecutable)
    return "a file without the program mark not judged another kind";
  if (executable && (total < 64 || body[0] != 'M')) return "a file without headers judged whole";
  return nullptr;
}

}  // namespace fuzzcheck
