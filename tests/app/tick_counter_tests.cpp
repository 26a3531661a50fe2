// Tests of the benchmark's tick counter: the count reaches the file as ticks are
// counted, a second counter on the file goes on from it, and without a usable file
// nothing is counted.
#include "app/tick_counter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// The count the file holds, as the benchmark reads it (8 bytes, native order).
uint64_t CountInFile(const std::filesystem::path& path)
{
  uint64_t count = 0;
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(&count), sizeof count);
  return file ? count : UINT64_MAX;
}

}  // namespace

TEST(TickCounter, TicksReachTheFileWhileCountingAndAfter)
{
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "solverica-tick-counter-test";
  std::filesystem::remove(path);
  {
    CTickCounter counter(path.c_str());
    ASSERT_TRUE(counter.IsCounting());
    EXPECT_EQ(CountInFile(path), 0u);  // made empty, then zero-filled to its 8 bytes
    for (int i = 0; i < 3; ++i) counter.Count();
    EXPECT_EQ(CountInFile(path), 3u);  // seen by a reader while the counter lives
  }
  EXPECT_EQ(CountInFile(path), 3u);
  CTickCounter again(path.c_str());
  again.Count();
  EXPECT_EQ(CountInFile(path), 4u);
  std::filesystem::remove(path);
}

TEST(TickCounter, NoFileCountsNothing)
{
  for (const char* path : {static_cast<const char*>(nullptr), "", "/nonexistent-folder/ticks"}) {
    CTickCounter counter(path);
    EXPECT_FALSE(counter.IsCounting()) << (path ? path : "(null)");
    counter.Count();  // harmless
  }
}
