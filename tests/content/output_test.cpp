// Atomic writing: the target holds the new bytes, no temporary file is left behind,
// unchanged bytes are not rewritten, and a failure leaves nothing half-written.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/output.h"

using namespace contentgen;
namespace fs = std::filesystem;

namespace {

// A fresh empty directory per test.
fs::path FreshDir(const std::string& name)
{
  const fs::path dir = fs::temp_directory_path() / ("contentgen_output_test_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// Number of entries in a directory.
int EntryCount(const fs::path& dir)
{
  int n = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    (void)entry;
    ++n;
  }
  return n;
}

}  // namespace

TEST(WriteFileAtomic, WritesAndLeavesNoTemporaryFile)
{
  const fs::path dir = FreshDir("write");
  const std::string path = (dir / "sub" / "a.bin").string();
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(path, {1, 2, 3}, &error)) << error;
  std::vector<uint8_t> back;
  ASSERT_TRUE(ReadFile(path, &back));
  EXPECT_EQ(back, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(EntryCount(dir / "sub"), 1);

  ASSERT_TRUE(WriteFileAtomic(path, {4, 5}, &error));
  ASSERT_TRUE(ReadFile(path, &back));
  EXPECT_EQ(back, (std::vector<uint8_t>{4, 5}));
  EXPECT_EQ(EntryCount(dir / "sub"), 1);
}

TEST(WriteFileAtomic, SameBytesAreNotRewritten)
{
  const fs::path dir = FreshDir("same");
  const std::string path = (dir / "a.bin").string();
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(path, {9, 9}, &error));
  const int before = WrittenFileCount();
  const auto stamp = fs::last_write_time(path);
  ASSERT_TRUE(WriteFileAtomic(path, {9, 9}, &error));
  EXPECT_EQ(WrittenFileCount(), before);
  EXPECT_EQ(fs::last_write_time(path), stamp);
}

TEST(WriteFileAtomic, FailureNamesThePathAndLeavesNothing)
{
  const fs::path dir = FreshDir("fail");
  const std::string blocker = (dir / "file").string();
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(blocker, {1}, &error));
  // A directory cannot be created where a file is.
  const std::string path = (dir / "file" / "inside.bin").string();
  EXPECT_FALSE(WriteFileAtomic(path, {1, 2}, &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(EntryCount(dir), 1);
  // A target that is a directory cannot be replaced; the temporary file is removed.
  fs::create_directories(dir / "dir" / "x");
  EXPECT_FALSE(WriteFileAtomic((dir / "dir").string(), {1}, &error));
  EXPECT_EQ(EntryCount(dir), 2);
}
