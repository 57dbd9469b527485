#pragma once
// The update server's answer (update.txt: the newest version's text) and how versions
// compare. Plain C++ with no platform calls; CAutoUpdater does the requests.
#include <cstdint>
#include <string>

class UpdateVersion {
 public:
  // Reads a whole answer of at most `limit` bytes through read(buffer, &size), which
  // reads at most size bytes, sets size to the count and returns true when more than
  // 0 came; false with size 0 is the end, false with size left non-zero a broken read
  // (nothing read counts then). False when the answer is longer than `limit`, with
  // bytes holding its first `limit` bytes.
  template <class Read>
  static bool ReadAnswer(Read&& read, uint32_t limit, std::string& bytes);

  static bool IsDigits(const std::wstring& text);
  // 1, 0 or -1 as a is newer, equal or older than b; -21 or -22 when a or b is
  // malformed (no part, an empty or non-digit part, more than four, one over 32 bits).
  static int Compare(const std::wstring& a, const std::wstring& b);
};

template <class Read>
bool UpdateVersion::ReadAnswer(Read&& read, uint32_t limit, std::string& bytes) {
  bytes.assign(size_t(limit) + 1, '\0');
  uint32_t total = 0;
  while (total <= limit) {
    uint32_t got = limit + 1 - total;
    if (!read(&bytes[total], &got)) {
      if (got != 0) total = 0;  // a broken read: nothing trustworthy came
      break;
    }
    total += got;
  }
  bytes.resize(total > limit ? limit : total);
  return total <= limit;
}
