// Route: live edits of a stage played from its source, as `solverica --stage FILE
// --watch` does, on a scratch copy of the example stage. The player walks and turns,
// then the file is edited while the game runs: a wall moved (the rebuilt map's faces
// are where the new line puts them, the player and the camera's direction kept), a
// gimmick added with a box over the player's place (the gimmick stands in the running
// scene, the player is back at the start), a misspelt word (the band shows the
// checker's report and the stage before runs on), then the word mended (the band gone,
// the stage reloaded).
#include "playthrough.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "actor/actor_base.h"
#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "app/source_stage.h"
#include "app/stage_watch.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "sprite/sprite_stage_error.h"

namespace {

// A whole file's text.
std::string ReadWhole(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// An editor's save: a new file renamed over the old one.
void SaveByRename(const std::string& path, const std::string& text)
{
  std::ofstream(path + ".swp", std::ios::binary) << text;
  std::filesystem::rename(path + ".swp", path);
}

// The other way: the file truncated and written in place.
void SaveInPlace(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The text with one line replaced.
std::string Replaced(std::string text, const std::string& line, const std::string& with)
{
  const size_t at = text.find(line);
  if (at != std::string::npos) text.replace(at, line.size(), with);
  return text;
}

// How far a ray from (x, 1, z) along +z runs before the running map's faces.
float MapDistanceNorth(const std::shared_ptr<CActorBase>& map, float x, float z)
{
  float distance = -1.0f;
  DWORD face = 0;
  if (!map || !map->IntersectWorldRay(D3DXVECTOR3(x, 1.0f, z), D3DXVECTOR3(0, 0, 1), &distance, &face)) return -1.0f;
  return distance;
}

// How many cached meshes and pictures are named through a folder.
size_t CachedUnder(const std::string& folder)
{
  const OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  size_t count = 0;
  for (const auto& entry : graphics->textureCache) count += entry.first.rfind(folder, 0) == 0;
  for (const auto& entry : graphics->meshCache) count += entry.first.rfind(folder, 0) == 0;
  return count;
}

// The band's sprite in the running scene.
const CSpriteStageError* Band(const std::shared_ptr<CSceneGame>& game)
{
  for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
    if (const CSpriteStageError* band = dynamic_cast<const CSpriteStageError*>(sprite.get())) return band;
  }
  return nullptr;
}

// Watching and the built files end with the route, however it ends.
struct EndWatch {
  ~EndWatch()
  {
    StopStageWatch();
    RemoveSourceStage();
  }
};

}  // namespace

TEST_F(PlaythroughTest, AWatchedStageReloadsOnEachSaveAndABrokenSaveShowsTheBandOverTheRunningStage)
{
  DrawEvery(kRouteDrawInterval);
  const std::string source = PlaythroughScratchDir() + "/my-stage.txt";
  const std::string example = ReadWhole(SOLVERICA_EXAMPLE_STAGE);
  ASSERT_NE(example.find("wall -10 10 -2 11"), std::string::npos) << "the example's west half of the dividing wall";
  std::ofstream(source, std::ios::binary) << example;
  std::string report;
  const EndWatch endAtEnd;
  ASSERT_TRUE(BuildSourceStage(source, &report)) << report;
  StartStageWatch();
  application->EndLoop();
  gate = std::make_shared<CDrawGate>(application->FirstScene());
  application->BeginLoop(gate);
  ASSERT_TRUE(SkipOpening());
  ASSERT_NE(Band(Game()), nullptr);
  EXPECT_TRUE(Band(Game())->Lines().empty());
  EXPECT_NEAR(MapDistanceNorth(FindActor("CGameMap"), -6, 0), 10.0f, 0.05f) << "the dividing wall at z 10";

  // Walk west, turn, then move the wall to z 6 by a save through a renamed file.
  ASSERT_TRUE(WalkTo(-4, 2, 0.5f, 400));
  ASSERT_TRUE(FaceDirection(40));
  Frames(20);
  const D3DXVECTOR3 stood = PlayerPosition();
  const float yaw = Camera()->yaw;
  const std::shared_ptr<CSceneGame> first = Game();
  const std::string firstFolder = CurrentSourceStage().folder + "/";
  EXPECT_GT(CachedUnder(firstFolder), 2u) << "the map, its depth mesh and its pictures";
  const std::string moved = Replaced(example, "wall -10 10 -2 11", "wall -10 6 -2 7");
  SaveByRename(source, moved);
  ASSERT_TRUE(WaitFor([&] { return Game() && Game() != first; }, 30, "the stage to reload after the save"));
  EXPECT_NEAR(MapDistanceNorth(FindActor("CGameMap"), -6, 0), 6.0f, 0.05f) << "the wall where it moved to";
  EXPECT_EQ(Game()->cameraEvent, 0) << "no opening flight on a reload";
  EXPECT_EQ(CachedUnder(firstFolder), 0u) << "the first build's meshes and pictures are let go";
  Frames(5);
  EXPECT_NEAR(PlayerPosition().x, stood.x, 0.05f) << "the player stays where they stood";
  EXPECT_NEAR(PlayerPosition().z, stood.z, 0.05f);
  EXPECT_NEAR(Camera()->yaw, yaw, 0.01f) << "the camera looks the same way";

  // A metal block added and a box put over the player, saved in place.
  const std::shared_ptr<CSceneGame> second = Game();
  EXPECT_EQ(FindActor("CGameMetalBlock"), nullptr);
  const std::string added = moved + "actor CGameMetalBlock 5 0 -4\nbox trim -6 0 0 -2 3 4\n";
  SaveInPlace(source, added);
  ASSERT_TRUE(WaitFor([&] { return Game() && Game() != second; }, 30, "the stage to reload after the second save"));
  const std::shared_ptr<CActorBase> block = FindActor("CGameMetalBlock");
  ASSERT_NE(block, nullptr) << "the new gimmick runs in the scene";
  EXPECT_NEAR(block->world._41, 5.0f, 0.01f);
  Frames(5);
  EXPECT_LT(std::fabs(PlayerPosition().x) + std::fabs(PlayerPosition().z), 0.1f)
      << "the box took the player's place: back at the start";

  // A misspelt word: nothing reloads, the band shows the report, the stage runs on.
  const std::shared_ptr<CSceneGame> third = Game();
  ::testing::internal::CaptureStderr();
  SaveInPlace(source, added + "wal 1 2 3 4\n");
  const bool failed = WaitFor([&] { return !StageWatchError().empty(); }, 30, "the build error");
  // Saved again unchanged: built again, but the same report is not said twice.
  SaveByRename(source, added + "wal 1 2 3 4\n");
  Frames(30);
  const std::string said = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(failed);
  EXPECT_EQ(said, StageWatchError()) << "the report once on standard error";
  ASSERT_NE(Band(Game()), nullptr);
  const std::vector<std::string> lines = Band(Game())->Lines();
  ASSERT_FALSE(lines.empty());
  const int badLine = static_cast<int>(std::count(added.begin(), added.end(), '\n')) + 1;
  EXPECT_EQ(lines[0].rfind("my-stage.txt:" + std::to_string(badLine) + ":1: error:", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("'wal'"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("wall"), std::string::npos) << "the nearest known word: " << lines[0];
  const int ticks = Game()->StageTicks();
  Key('W', true);
  Frames(30);
  Key('W', false);
  EXPECT_EQ(Game(), third) << "the last good stage runs on";
  EXPECT_GT(Game()->StageTicks(), ticks);
  EXPECT_GT(PlayerPosition().z, 0.5f) << "and the player walks in it";
  ASSERT_NE(FindActor("CGameMetalBlock"), nullptr);
  Screenshot("stage-watch-band.png");

  // The word mended: the band goes and the stage reloads.
  SaveByRename(source, added + "wall 1 2 3 4\n");
  ASSERT_TRUE(WaitFor([&] { return Game() && Game() != third; }, 30, "the stage to reload after the mend"));
  EXPECT_TRUE(StageWatchError().empty());
  ASSERT_NE(Band(Game()), nullptr);
  EXPECT_TRUE(Band(Game())->Lines().empty());
  EXPECT_NE(FindActor("CGameMetalBlock"), nullptr);
}
