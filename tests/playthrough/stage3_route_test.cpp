// Stage 3 by its route, through the input path only: Continue from a saved 3, red magic
// pushes the block into the socket onto its button and the door opens; in the launch
// hall the player climbs the steps onto the block, red on the block underfoot throws it
// up, and released it drifts onto the ledge; the goal asks for stage 4. Without the
// block, the button or the door it fails.
#include "stage_route.h"

#include "actor/game_camera.h"
#include "actor/gimmick/game_door.h"
#include "actor/player/game_player.h"

// From the start of a running stage 3 to the switch to the next.
void StageRoute::PlayStageThree()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto button = Nearest("CGameButton", -6.0f, 10.0f);
  const auto door = NearestAs<CGameDoor>("CGameDoor", 6.0f, 16.5f);
  const auto pushed = Nearest("CGameMetalBlock", -6.0f, 2.0f);
  const auto launcher = Nearest("CGameMetalBlock", 0.0f, 34.5f);
  ASSERT_TRUE(button && door && pushed && launcher);
  ASSERT_NE(pushed, launcher);

  // ---- behind the block, red pushes it north into the socket ----
  ASSERT_TRUE(WalkTo(pushed->world._41, pushed->world._43 - 5.0f, 0.2f, 400));
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 < 0.5f; }, 200, "the door to close"));
  // Pushed until it drops clear of the rim, down onto the button (it rests on its plate).
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(pushed->world._41, 1.5f, pushed->world._43), [&] { return pushed->world._42 < -0.6f; }, 600,
      "the block pushed down into the socket"));
  ASSERT_TRUE(WaitFor([&] { return button->switchOn != 0; }, 60, "the button under the block"));
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 > 3.0f; }, 120, "the door to rise"));
  Screenshot("route-stage3-socket.png");

  // ---- through the door into the launch hall, up the steps onto the block ----
  ASSERT_TRUE(WalkTo(6.0f, 14.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(6.0f, 27.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(-4.5f, 30.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(-4.5f, 34.0f, 0.3f, 200));
  // On its west half: the camera behind can then look down at its east half.
  ASSERT_TRUE(WalkTo(launcher->world._41 - 0.9f, launcher->world._43, 0.2f, 200));
  const float blockTop = launcher->world._42 + 3.0f;
  ASSERT_NEAR(PlayerPosition().y, blockTop + 0.02f, 0.1f) << "standing on the block";

  // ---- red on the block underfoot: thrown up; released, onto the ledge ----
  // The launch rides in the player's world matrix; its position takes it on only when
  // red is let go. At the pitch's 45 down the aim meets the block's east half.
  ASSERT_TRUE(LookAt(D3DXVECTOR3(launcher->world._41 + 1.3f, blockTop, launcher->world._43)));
  Frames(1);
  ASSERT_EQ(Camera()->aimedName, "CGameMetalBlock") << "aimed at the block underfoot";
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(launcher->world._41 + 1.3f, blockTop, launcher->world._43),
      [&] { return Player()->world._42 > blockTop + 8.0f; }, 300, "the throw upwards"));
  ASSERT_TRUE(WalkTo(launcher->world._41, launcher->world._43 + 5.0f, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return Player()->onGround != 0; }, 200, "the landing"));
  EXPECT_GT(PlayerPosition().y, blockTop + 1.0f) << "landed on the ledge, not back on the block";
  Screenshot("route-stage3-ledge.png");

  // ---- into the shrine, the goal, stage 4 asked for ----
  ASSERT_TRUE(WalkTo(0.0f, 46.0f, 0.3f, 300));
  ASSERT_TRUE(ReachGoalAndSeeNext(0.0f, 50.0f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 4"));
  EXPECT_EQ(application->stageNumber, 4);
}

TEST_F(StageRoute, StageThreeRedPushesABlockIntoTheSocketAndThrowsThePlayerUp)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(3));
  PlayStageThree();
}
