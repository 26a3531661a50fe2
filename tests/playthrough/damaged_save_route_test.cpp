// Routes: a damaged save file at start-up, then Continue on the title. Each kind of
// damage (a stage past the last, below the first, an empty file, random bytes, a number
// followed by junk, a number too large for any stage) is named in one line on standard
// error, the file is kept aside as save.dat.bad, no message box opens, and Continue
// plays stage 1 with its own map, as a first start does.
#include "playthrough.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "actor/actor_base.h"
#include "scene/scene_game.h"
#include "test_seam.h"

namespace fs = std::filesystem;

using DamagedSaveRouteTest = PlaythroughTest;

TEST_F(DamagedSaveRouteTest, EachDamagedSaveIsSetAsideAndContinuePlaysStageOne)
{
  DrawEvery(kRouteDrawInterval);
  const struct {
    const char* kind;
    std::string bytes;
  } damagedSaves[] = {
      {"past the last stage", "999\r\n"},
      {"below the first", "-3\r\n"},
      {"empty", ""},
      {"random bytes", std::string("\xB7\x1F\x00\xE9Q\x80\x03", 7)},
      {"a number and junk", "5xyz\r\n"},
      {"too large", "18446744073709551621\r\n"},
  };
  for (const auto& [kind, bytes] : damagedSaves) {
    SCOPED_TRACE(kind);
    fs::remove("res/dat/save.dat.bad");
    std::ofstream("res/dat/save.dat", std::ios::binary) << bytes;
    ::testing::internal::CaptureStderr();
    RestartProgram();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("solverica: res/dat/save.dat: damaged save, ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
    EXPECT_FALSE(fs::exists("res/dat/save.dat"));
    std::ifstream aside("res/dat/save.dat.bad", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), std::istreambuf_iterator<char>()), bytes);

    ASSERT_TRUE(ContinueFromTitle());
    EXPECT_EQ(application->stageNumber, 1);
    const std::shared_ptr<CActorBase> map = FindActor("CGameMap");
    ASSERT_TRUE(map && map->mesh && map->mesh->mesh) << "stage 1's map loaded";
    EXPECT_EQ(map->mesh->fileName, "map.1.x");
    EXPECT_NE(FindActor("CGameGoal"), nullptr) << "stage 1's own stage file";
    EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "no message box on the way";
    EXPECT_FALSE(fs::exists("res/dat/save.dat")) << "nothing is written before a stage is cleared";
  }
}
