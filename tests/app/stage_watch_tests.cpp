// Watching a played stage source: --watch on the command line, a file's changes seen
// the ways editors save (a new file renamed over it, the file truncated and written, a
// moment without it), standing room on the built solids, a rebuild that keeps the last
// good stage when the source breaks, and the band's lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "app/source_stage.h"
#include "app/stage_watch.h"

namespace {

// A file of the test's with this text; its path.
std::string WriteWatched(const std::string& name, const std::string& text)
{
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A box solid.
stagebuild::StageSolid Box(float x0, float y0, float z0, float x1, float y1, float z1)
{
  stagebuild::StageSolid solid;
  solid.lo = stagebuild::Vec3{x0, y0, z0};
  solid.hi = stagebuild::Vec3{x1, y1, z1};
  return solid;
}

const char kHall[] =
    "floor stone -5 -5 5 5 0\r\nwall -5 4 5 5\r\nsky -20 -20 20 20 -5 30\r\n"
    "# the goal by the wall\r\nactor CGameGoal 3 0 3\r\nmagic none\r\n";

}  // namespace

TEST(StageWatch, WatchGoesWithStageOnly)
{
  const char* watched[] = {"--stage", "a.txt", "--watch"};
  const CommandLineResult played = ParseCommandLine(3, watched);
  EXPECT_EQ(played.action, CommandLineAction::Run);
  EXPECT_TRUE(played.watchStage);
  EXPECT_FALSE(ParseCommandLine(2, watched).watchStage);

  const char* alone[] = {"--watch"};
  const CommandLineResult failed = ParseCommandLine(1, alone);
  EXPECT_EQ(failed.action, CommandLineAction::Fail);
  EXPECT_NE(failed.message.find("give --stage FILE"), std::string::npos) << failed.message;
  const char* checking[] = {"--watch", "--check-stage", "a.txt"};
  EXPECT_EQ(ParseCommandLine(3, checking).action, CommandLineAction::Fail);
  EXPECT_NE(HelpText().find("--watch"), std::string::npos);
}

TEST(StageWatch, ChangesAreSeenForRenamedAndRewrittenFilesAtMostOncePerInterval)
{
  const std::string path = WriteWatched("watched.txt", "one\n");
  CFileChangeWatch watch(path, 200);
  EXPECT_FALSE(watch.Changed(1000)) << "the version there at the start is not a change";

  // An editor's save: a new file renamed over the old, the same size.
  const std::string temporary = WriteWatched("watched.txt.tmp", "two\n");
  std::filesystem::rename(temporary, path);
  EXPECT_FALSE(watch.Changed(1100)) << "looked at most once per interval";
  EXPECT_TRUE(watch.Changed(1200));
  EXPECT_FALSE(watch.Changed(1400)) << "each version once";

  // Truncated and written in place, longer.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "three, longer\n";
  EXPECT_TRUE(watch.Changed(1600));

  // A moment without the file is no version; the one written after it is.
  std::filesystem::remove(path);
  EXPECT_FALSE(watch.Changed(1800));
  WriteWatched("watched.txt", "four\n");
  EXPECT_TRUE(watch.Changed(2000));
  EXPECT_EQ(watch.Seen(), StampOf(path));
  EXPECT_NE(StampOf(path), StampOf(path + ".none"));
}

TEST(StageWatch, StandingRoomNeedsAFloorUnderfootAndNoSolidInTheBody)
{
  std::vector<stagebuild::StageSolid> solids = {Box(-5, -1, -5, 5, 0, 5), Box(2, 0, -5, 3, 6, 5)};
  EXPECT_TRUE(IsStandingRoom(solids, 0, 0, 0));
  EXPECT_TRUE(IsStandingRoom(solids, 0, 1.5f, 0)) << "in the air above the floor";
  EXPECT_FALSE(IsStandingRoom(solids, 0, 4.0f, 0)) << "too far above any floor";
  EXPECT_FALSE(IsStandingRoom(solids, 2.5f, 0, 0)) << "inside the wall";
  EXPECT_FALSE(IsStandingRoom(solids, 1.8f, 0, 0)) << "the body would reach into the wall";
  EXPECT_TRUE(IsStandingRoom(solids, 1.6f, 0, 0));
  EXPECT_TRUE(IsStandingRoom(solids, 2.5f, 6.0f, 0)) << "on top of the wall";
  EXPECT_FALSE(IsStandingRoom(solids, 8.0f, 0, 0)) << "off the floor";

  stagebuild::StageSolid ramp = Box(-5, 0, 6, 5, 2, 10);
  ramp.rampAxis = 2;  // rising towards +z
  solids.push_back(ramp);
  EXPECT_TRUE(IsStandingRoom(solids, 0, 1.0f, 8.0f)) << "half-way up the ramp";
  EXPECT_FALSE(IsStandingRoom(solids, 0, 0.0f, 9.0f)) << "under the ramp's top";
}

TEST(StageWatch, ARebuildReplacesTheStageAndABrokenSourceKeepsTheLastGoodOne)
{
  const std::string path = WriteWatched("rebuilt.txt", kHall);
  std::string report;
  ASSERT_TRUE(BuildSourceStage(path, &report)) << report;
  const std::string firstFolder = CurrentSourceStage().folder;
  EXPECT_EQ(CurrentSourceStage().solids.size(), 2u);
  EXPECT_EQ(SourceStageNumber(), 1);

  // The wall moves and red magic is given: a fresh folder, the old one gone.
  std::string moved = kHall;
  moved.replace(moved.find("wall -5 4 5 5"), 13, "wall -5 1 5 2");
  moved.replace(moved.find("magic none"), 10, "magic red");
  WriteWatched("rebuilt.txt", moved);
  ASSERT_TRUE(RebuildSourceStage(&report)) << report;
  const SourceStage rebuilt = CurrentSourceStage();
  EXPECT_NE(rebuilt.folder, firstFolder);
  EXPECT_FALSE(std::filesystem::exists(firstFolder));
  EXPECT_TRUE(std::filesystem::exists(rebuilt.mapMesh));
  EXPECT_FLOAT_EQ(rebuilt.solids[1].lo.z, 1.0f);
  EXPECT_EQ(SourceStageNumber(), 2);

  // A misspelt word: the report names the place, the stage built before stays.
  WriteWatched("rebuilt.txt", moved + "wal 1 2 3 4\r\n");
  report.clear();
  EXPECT_FALSE(RebuildSourceStage(&report));
  EXPECT_NE(report.find("rebuilt.txt:7:1:"), std::string::npos) << report;
  EXPECT_NE(report.find("wall"), std::string::npos) << "the nearest known word: " << report;
  EXPECT_TRUE(CurrentSourceStage().active);
  EXPECT_EQ(CurrentSourceStage().folder, rebuilt.folder);
  EXPECT_TRUE(std::filesystem::exists(rebuilt.mapMesh));
  EXPECT_EQ(CurrentSourceStage().solids.size(), 2u);

  // A file gone is the same: nothing replaced.
  std::filesystem::remove(path);
  EXPECT_FALSE(RebuildSourceStage(&report));
  EXPECT_EQ(CurrentSourceStage().folder, rebuilt.folder);
  RemoveSourceStage();
  EXPECT_FALSE(std::filesystem::exists(rebuilt.folder));
}
