// A file put in its target's place only when whole: on a disk that fills up, into a
// folder that is not there, over a folder or a file marked read-only, or given up before
// the end, the earlier file stays as it was and nothing of the new one is left beside it.
#include <gtest/gtest.h>

#include "platform/FileReplacement.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"

namespace {

TEST(FileReplacement, TakesTheTargetsPlaceOnlyWhenWholeOnDisk) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring target = disk.File(L"目标.xml"), source = disk.File(L"源.bin");
  const std::string big(256 * 1024, 'b');
  ASSERT_TRUE(testfiles::WriteBytes(source, big));
  const struct {
    const char* name;
    std::wstring target;
    bool fill;      // the disk holds about 16 KB more
    bool copy;      // source's bytes rather than big
    DWORD error;    // 0: written
    bool readOnly = false;  // the earlier file is marked read-only
  } rows[] = {
      {"written", target, false, false, 0},
      {"copied", target, false, true, 0},
      {"disk full", target, true, false, ERROR_DISK_FULL},
      {"disk full, copied", target, true, true, ERROR_DISK_FULL},
      {"no such folder", disk.File(L"没有\\x.xml"), false, false, ERROR_PATH_NOT_FOUND},
      {"over a folder", disk.Path(), false, false, ERROR_ACCESS_DENIED},
      {"over a read-only file", target, false, false, ERROR_ACCESS_DENIED, true},
      {"over a read-only file, copied", target, false, true, ERROR_ACCESS_DENIED, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(testfiles::WriteBytes(target, "earlier"));
    if (row.readOnly) {
      ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    if (row.fill) {
      ASSERT_TRUE(disk.LeaveRoom(16 * 1024));
    }
    DWORD error = 12345;
    const bool written = row.copy ? FileReplacement::CopyWhole(source, row.target, &error)
                                  : FileReplacement::WriteWhole(row.target, big, &error);
    EXPECT_EQ(row.error == 0, written);
    EXPECT_EQ(row.error, error);
    EXPECT_EQ(row.error || row.target != target ? "earlier" : big, testfiles::ReadBytes(target));
    EXPECT_EQ(row.readOnly, (::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
    EXPECT_EQ((std::vector<std::wstring>{L"源.bin", L"目标.xml"}), testenv::SmallDisk::Names(disk.Path()));
    ASSERT_TRUE(disk.LeaveRoom(1024 * 1024));  // room again
  }
  ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  // Given up before the end, and a second commit: the earlier file as it was.
  {
    FileReplacement file(target);
    EXPECT_TRUE(file.Write("half"));
  }
  FileReplacement file(target);
  EXPECT_TRUE(file.Write("new") && file.Write("") && file.Commit());
  EXPECT_FALSE(file.Commit() || file.Write("more"));
  EXPECT_EQ("new", testfiles::ReadBytes(target));
  EXPECT_EQ((std::vector<std::wstring>{L"源.bin", L"目标.xml"}), testenv::SmallDisk::Names(disk.Path()));
}

}  // namespace
