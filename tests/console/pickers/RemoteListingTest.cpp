// Reading the agents' listing answers: bounded by the payload, by attribute order only,
// Chinese names intact in both encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/RemoteListing.h"

namespace {

std::vector<unsigned char> Utf16(const std::wstring& text, bool nul = true) {
  std::vector<unsigned char> bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  if (nul) bytes.insert(bytes.end(), 2, 0);
  return bytes;
}

std::vector<unsigned char> Utf8(const std::string& text) {
  std::vector<unsigned char> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

TEST(RemoteListing, ReadsEachAnswerWithinItsPayload) {
  const struct {
    const char* what;
    RemoteListing::Answer answer;
    std::vector<unsigned char> payload;
    bool ok;
    uint32_t mask;
    std::wstring entries;  // name/file/children;...
  } rows[] = {
      {"drives, names not looked at", RemoteListing::kDrives, Utf16(L"<r><x m=\"12\" z=\"1\"/></r>"), true, 12, L""},
      {"drives beyond Z dropped", RemoteListing::kDrives, Utf16(L"<r><x m=\"4294967295\"/></r>"), true,
       (1u << 26) - 1, L""},
      {"drive mask not a number", RemoteListing::kDrives, Utf16(L"<r><x m=\"C\"/></r>"), false, 0, L""},
      {"drive mask too large", RemoteListing::kDrives, Utf16(L"<r><x m=\"4294967296\"/></r>"), false, 0, L""},
      {"no NUL: ends with the payload", RemoteListing::kDirectories,
       Utf16(L"<d><e n=\"日志\" s=\"1\"/><e n=\"a\" s=\"2\"/></d>", false), true, 0, L"日志/0/1;a/0/0;"},
      {"odd length: the half character dropped", RemoteListing::kDirectories,
       [] { auto p = Utf16(L"<d><e n=\"x\"/></d>", false); p.push_back('<'); return p; }(), true, 0, L"x/0/0;"},
      {"text after the NUL not read", RemoteListing::kDirectories, Utf16(L"<d/>\0<e n=\"x\"/>"), true, 0, L""},
      {"nameless children skipped", RemoteListing::kDirectories, Utf16(L"<d><e/><e n=\"\"/></d>"), true, 0, L""},
      {"entries in UTF-8", RemoteListing::kEntries,
       Utf8("<f><e n=\"\xE6\x97\xA5\xE5\xBF\x97.txt\" f=\"1\" c=\"1\"/><e n=\"b\" f=\"0\" c=\"1\"/></f>"), true, 0,
       L"日志.txt/1/0;b/0/1;"},
      {"unclosed root", RemoteListing::kEntries, Utf8("<f><e n=\"a\" f=\"1\"/>"), false, 0, L""},
      {"cut inside a tag", RemoteListing::kDirectories, Utf16(L"<d><e n=\"a", false), false, 0, L""},
      {"empty", RemoteListing::kDirectories, Utf16(L""), false, 0, L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    RemoteListing listing;
    EXPECT_EQ(row.ok, listing.Parse(row.answer, row.payload.data(), row.payload.size()));
    EXPECT_EQ(row.mask, listing.DriveMask());
    std::wstring entries;
    for (const auto& e : listing.Entries())
      entries += e.name + L"/" + (e.isFile ? L"1" : L"0") + L"/" + (e.hasChildren ? L"1" : L"0") + L";";
    EXPECT_EQ(row.entries, entries);
  }
}

}  // namespace
