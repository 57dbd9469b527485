#pragma once
// Check of the file comparison, shared by the libFuzzer target and the replay test:
// the first byte picks the options (leading blanks, letter case), the next two where
// the rest splits into the old and the new file. Both result sides have one row each
// per row; read in order, the rows of each side give back its file's lines; kept rows
// are equal as compared; the page is written. Returns null when that held, else what
// failed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "logcenter/CDiffOptions.h"
#include "logcenter/CFileDiff.h"
#include "logcenter/CFileLine.h"
#include "logcenter/CFilePartition.h"

namespace fuzzcheck {

inline const char* CheckFileDiff(const uint8_t* data, size_t size) {
  if (size < 3) return nullptr;
  CDiffOptions options;
  if (data[0] & 1) options.SetValue(L"indent", L"yes");
  if (data[0] & 2) options.SetValue(L"case", L"no");
  const std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  const size_t split = (data[1] | data[2] << 8) % (rest.size() + 1);
  CFilePartition a, b, outA, outB;
  a.LoadBytes(L"old.txt", rest.substr(0, split), options);
  b.LoadBytes(L"new.txt", rest.substr(split), options);
  CFileDiff diff;
  if (diff.Compare(a, b, outA, outB) != 1) return "comparison failed";
  if (outA.GetLineCount() != outB.GetLineCount()) return "sides of different lengths";
  int nextA = 0, nextB = 0;
  for (int row = 0; row < outA.GetLineCount(); ++row) {
    const int sa = outA.GetLineState(row), sb = outB.GetLineState(row);
    const bool keptOrChanged = (sa == CFileLine::kNormal && sb == CFileLine::kNormal) ||
                               (sa == CFileLine::kChanged && sb == CFileLine::kChanged);
    const bool deleted = sa == CFileLine::kDeleted && sb == CFileLine::kNormal;
    const bool added = sa == CFileLine::kNormal && sb == CFileLine::kAdded;
    if (!keptOrChanged && !deleted && !added) return "row with states that do not pair";
    if (keptOrChanged || deleted) {
      if (outA.GetStoredText(row) != a.GetStoredText(nextA++)) return "old side differs from the old file";
      if (deleted && !outB.GetStoredText(row).empty()) return "deleted line opposite text";
    }
    if (keptOrChanged || added) {
      if (outB.GetStoredText(row) != b.GetStoredText(nextB++)) return "new side differs from the new file";
      if (added && !outA.GetStoredText(row).empty()) return "added line opposite text";
    }
    if (sa == CFileLine::kNormal && sb == CFileLine::kNormal &&
        a.GetLineText(nextA - 1) != b.GetLineText(nextB - 1))
      return "kept lines differ";
  }
  if (nextA != a.GetLineCount() || nextB != b.GetLineCount()) return "lines missing from the result";
  if (diff.WriteHtml(outA, outB).empty()) return "no page";
  return nullptr;
}

}  // namespace fuzzcheck
