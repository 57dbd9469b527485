#pragma once
// Partitions from real files or from lines in memory, and a comparison's rows as text.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "logcenter/CFileDiff.h"
#include "logcenter/CFilePartition.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

using Lines = std::vector<std::wstring>;

inline std::string ReadFile(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void Fill(CFilePartition& p, const Lines& lines) {
  for (const auto& line : lines) p.AddLineWithState(line, 0);
}

// One text per row: the left text, the left and the right state, the right text.
inline Lines Rows(const CFilePartition& a, const CFilePartition& b) {
  EXPECT_EQ(a.GetLineCount(), b.GetLineCount());
  Lines rows;
  for (int k = 0; k < a.GetLineCount(); ++k)
    rows.push_back(std::wstring(a.GetStoredText(k)) +
                   std::to_wstring(a.GetLineState(k) * 10 + b.GetLineState(k) + 100).substr(1) +
                   std::wstring(b.GetStoredText(k)));
  return rows;
}

class FileDiffTest : public ::testing::Test {
 protected:
  // Loads `bytes`, written to a file, with one option when it is named.
  int Load(CFilePartition& p, const std::string& bytes, const std::wstring& option = L"",
           const std::wstring& value = L"") {
    const std::wstring path = dir.File(L"f" + std::to_wstring(++files) + L".txt");
    EXPECT_TRUE(testfiles::WriteBytes(path, bytes));
    CDiffOptions options;
    if (!option.empty()) options.SetValue(option, value);
    return p.Load(path, options);
  }
  testenv::TempDir dir;
  int files = 0;
};
