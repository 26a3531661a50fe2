// Stage 2 by its route, through the input path only: Continue from a saved 2, blue
// magic pulls a block onto the button that opens the stairwell, up the stairs onto the
// ledge, blue pulls the lever on the high shelf that opens the shrine, and the goal asks
// for stage 3. Without the block, the button, the lever or either door it fails.
#include "stage_route.h"

#include "actor/gimmick/game_door.h"
#include "actor/gimmick/game_liver.h"

// From the start of a running stage 2 to the switch to the next.
void StageRoute::PlayStageTwo()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto button = Nearest("CGameButton", 2.0f, 18.0f);
  const auto stairwell = NearestAs<CGameDoor>("CGameDoor", -8.0f, 18.5f);
  const auto shrine = NearestAs<CGameDoor>("CGameDoor", 0.0f, 33.5f);
  const auto lever = NearestAs<CGameLiver>("CGameLiver", 10.5f, 30.5f);
  ASSERT_TRUE(button && stairwell && shrine && lever);
  ASSERT_NE(stairwell, shrine);

  // ---- through the corridor; the stairwell door has closed ----
  ASSERT_TRUE(WalkTo(0.0f, 11.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(1.5f, 15.3f, 0.2f, 300));
  EXPECT_LT(stairwell->offset._42, 1.0f) << "shut with nothing on its button";

  // ---- blue pulls the block onto the button; the stairwell opens ----
  const auto block = Nearest("CGameMetalBlock", button->world._41, button->world._43 + 3.0f);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(block->world._41, 1.5f, block->world._43), [&] { return button->switchOn != 0; }, 400,
      "the block pulled onto the button"));
  Screenshot("route-stage2-block-on-button.png");
  ASSERT_TRUE(WaitFor([&] { return stairwell->offset._42 > 3.0f; }, 120, "the stairwell door to rise"));

  // ---- through the stairwell, up onto the ledge ----
  ASSERT_TRUE(WalkTo(-8.0f, 16.5f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(-8.0f, 27.5f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 2.42f, 0.05f) << "on the ledge at 2.4";
  EXPECT_LT(shrine->offset._42, 1.0f) << "the shrine stays shut";

  // ---- blue on the lever; the shrine opens for good ----
  ASSERT_TRUE(WalkTo(2.0f, 29.0f, 0.3f, 300));
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(lever->world._41, lever->world._42 + 0.8f, lever->world._43), [&] { return lever->switchOn != 0; },
      400, "the lever pulled"));
  ASSERT_TRUE(WaitFor([&] { return shrine->offset._42 > 3.0f; }, 120, "the shrine door to rise"));
  Screenshot("route-stage2-lever.png");

  // ---- into the shrine, the goal, stage 3 asked for ----
  ASSERT_TRUE(WalkTo(0.0f, 31.0f, 0.3f, 300));
  ASSERT_TRUE(ReachGoalAndSeeNext(0.0f, 38.0f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 3"));
  EXPECT_EQ(application->stageNumber, 3);
}

TEST_F(StageRoute, StageTwoBlueMagicPullsABlockOntoTheButtonAndTheLever)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(2));
  PlayStageTwo();
}
