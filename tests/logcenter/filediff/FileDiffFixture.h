#pragma once
// Partitions from real files or from lines in memory, and a comparison's rows as text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logcenter/CFileDiff.h"
#include "logcenter/CFilePartition.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

using Lines = std::vector<std::wstring>;

inline std::string ReadFile(const std::wstring& path) {
  std::string bytes;
  if (FILE* f = _wfopen(path.c_str(), L"rb")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    fclose(f);
  }
  return bytes;
}

inline void Fill(CFilePartition& p, const Lines& lines) {
  for (const auto& line : lines) p.AddLineWithState(line, 0);
}

// One text per row: left text, a mark for the two states, right text. "=" kept,
// "~" changed, "-" deleted (opposite a blank), "+" added (opposite a blank).
inline Lines Rows(const CFilePartition& a, const CFilePartition& b) {
  EXPECT_EQ(a.GetLineCount(), b.GetLineCount());
  Lines rows;
  for (int k = 0; k < a.GetLineCount(); ++k) {
    const int sa = a.GetLineState(k), sb = b.GetLineState(k);
    const wchar_t* mark = sa == 0 && sb == 0 ? L"=" : sa == 1 && sb == 1 ? L"~"
                        : sa == 3 && sb == 0 ? L"-" : sa == 0 && sb == 2 ? L"+" : L"?";
    rows.push_back(a.GetStoredText(k) + mark + b.GetStoredText(k));
  }
  return rows;
}

class FileDiffTest : public ::testing::Test {
 protected:
  // Loads `bytes`, written to a file, with the options' items ("indent;yes").
  int Load(CFilePartition& p, const std::string& bytes, const Lines& options = {}) {
    const std::wstring path = dir.File(L"f" + std::to_wstring(++files) + L".txt");
    EXPECT_TRUE(testfiles::WriteBytes(path, bytes));
    CDiffOptions o;
    for (const auto& item : options) o.SetValue(item.substr(0, item.find(L';')), item.substr(item.find(L';') + 1));
    return p.Load(path, o);
  }
  testenv::TempDir dir;
  int files = 0;
};
