// Routes: Continue after a restart of the program loads stage 2. In the first the save
// file holds 2 as the game writes it; the program starts again at the title, a click
// opens the menu, Continue is clicked by its picture, and stage 2 runs with its own map
// and goal while the save file is left as it was; then the player walks into its hall.
// In the second stage 1 is cleared by walking, so the game writes the save file itself,
// and the restart and Continue follow.
#include "playthrough.h"

#include <fstream>

#include "actor/game_camera.h"
#include "actor/game_map.h"
#include "actor/player/game_player.h"
#include "actor/player/player_foot.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"

namespace {

// The goal stage 2 places, from its stage source.
const D3DXVECTOR3 goalPlace(0.0f, 2.7f, 40.0f);

}  // namespace

using ContinueRouteTest = PlaythroughTest;

TEST_F(ContinueRouteTest, ContinueAfterARestartLoadsStageTwo)
{
  DrawEvery(kRouteDrawInterval);  // drawing is not what this route tests; screenshots draw their frame

  // ---- the save file of a cleared stage 1, then a restart ----
  std::ofstream("res/dat/save.dat", std::ios::binary) << "2\r\n";
  RestartProgram();
  EXPECT_EQ(application->stageNumber, 2) << "start-up read the save file";

  // ---- the title: click, then Continue ----
  ASSERT_TRUE(ContinueFromTitle());

  // ---- stage 2 with its own map and goal ----
  EXPECT_EQ(CurrentScene()->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 2);
  const std::shared_ptr<CActorBase> map = FindActor("CGameMap");
  ASSERT_NE(map, nullptr);
  ASSERT_NE(map->mesh, nullptr);
  ASSERT_NE(map->mesh->mesh, nullptr) << "the map mesh loaded";
  EXPECT_GT(map->mesh->mesh->GetNumVertices(), 0u);
  EXPECT_GT(map->mesh->mesh->GetNumFaces(), 0u);
  EXPECT_EQ(map->mesh->fileName, "map.2.x");
  const std::shared_ptr<CGameMap> gameMap = std::dynamic_pointer_cast<CGameMap>(map);
  ASSERT_NE(gameMap, nullptr);
  ASSERT_NE(gameMap->depthMesh, nullptr);
  EXPECT_EQ(gameMap->depthMesh->fileName, "depth_map.2.x");
  const std::shared_ptr<CActorBase> goal = FindActor("CGameGoal");
  ASSERT_NE(goal, nullptr) << "the stage file's goal entry";
  EXPECT_NEAR(goal->world._41, goalPlace.x, 0.01f);
  EXPECT_NEAR(goal->world._42, goalPlace.y, 0.01f);
  EXPECT_NEAR(goal->world._43, goalPlace.z, 0.01f);
  EXPECT_EQ(SaveFileText(), "2\r\n") << "Continue leaves the save file alone";

  // ---- the opening, then the landing ----
  ASSERT_TRUE(SkipOpening());
  EXPECT_NEAR(PlayerPosition().x, 0.0f, 0.05f);
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f) << "standing on the landing floor";
  EXPECT_NEAR(PlayerPosition().z, 0.0f, 0.05f);
  Frames(2);
  Screenshot("route-stage2-continue.png");

  // ---- the puddle on the landing: steps splash, the player is mirrored ----
  const std::shared_ptr<CActorBase> puddle = FindActor("CGameDropWaterPoint");
  ASSERT_NE(puddle, nullptr) << "the stage file's puddle";
  const auto* foot = dynamic_cast<const CPlayerFoot*>(Player()->bodyParts[3].get());
  ASSERT_NE(foot, nullptr);
  ASSERT_TRUE(WalkTo(4.0f, 4.9f, 0.3f, 300));
  EXPECT_EQ(foot->puddleSound->playing, 1) << "a step within reach of the puddle splashes";
  ASSERT_TRUE(FaceDirection(0.0f));
  MoveMouse(0, 6 * 50);  // look steeply down onto the water (the pitch stops at 45)
  Frames(3);
  Screenshot("puddle.png");
  MoveMouse(0, -6 * 45);

  // ---- through the corridor into the workshop hall, to the closed stairwell ----
  // (stage 2 played to its goal is the stage route's business)
  ASSERT_TRUE(WalkTo(0.0f, 11.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(0.0f, 18.0f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f) << "on the hall floor";
}

TEST_F(ContinueRouteTest, StageOneClearedThenARestartAndContinueLoadStageTwo)
{
  DrawEvery(kRouteDrawInterval);

  // ---- stage 1 by the stairs to its goal ----
  ASSERT_TRUE(StartNewGame());
  ASSERT_TRUE(SkipOpening());
  const std::shared_ptr<CSceneGame> first = Game();
  ASSERT_TRUE(WalkTo(0.0f, 12.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(0.0f, 21.5f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(0.0f, 30.2f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(0.0f, 34.5f, 0.3f, 400, [&] { return first->goalReached != 0; }));
  ASSERT_EQ(first->goalReached, 1);
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != first; }, 400, "the switch to the next stage"));
  ASSERT_EQ(application->stageNumber, 2);
  ASSERT_EQ(SaveFileText(), "2\r\n") << "the game saved the cleared stage";

  // ---- restart, Continue: stage 2 again, from the saved file ----
  RestartProgram();
  EXPECT_EQ(application->stageNumber, 2) << "start-up read the save file the game wrote";
  ASSERT_TRUE(ContinueFromTitle());
  EXPECT_EQ(CurrentScene()->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 2);
  const std::shared_ptr<CActorBase> map = FindActor("CGameMap");
  ASSERT_NE(map, nullptr);
  ASSERT_NE(map->mesh, nullptr);
  ASSERT_NE(map->mesh->mesh, nullptr) << "the map mesh loaded";
  EXPECT_GT(map->mesh->mesh->GetNumVertices(), 0u);
  EXPECT_EQ(map->mesh->fileName, "map.2.x");
  EXPECT_EQ(SaveFileText(), "2\r\n");
}
