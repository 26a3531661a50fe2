// Stage 4 by its route, through the input path only: Continue from a saved 4, from the
// wood lift red pushes the block onto the button and the lift carries the player up
// to the gallery; on the metal lift in the landing's notch red pushes the second block
// into the corner onto its button and the lift carries the player over the chasm; on
// the far wood lift blue pulls the lever and the lift carries the player up to the
// loft; the goal asks for stage 5. Without any lift, block, button or the lever it
// fails.
#include "stage_route.h"

#include "actor/gimmick/game_liver.h"
#include "actor/gimmick/game_metal_lift.h"
#include "actor/gimmick/game_wood_lift.h"
#include "actor/player/game_player.h"

// From the start of a running stage 4 over both lifts into the far hall.
void StageRoute::CrossStageFourToTheFarHall()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto workshopLift = NearestAs<CGameWoodLift>("CGameWoodLift", 5.0f, 8.0f);
  const auto workshopBlock = Nearest("CGameMetalBlock", 0.0f, 8.0f);
  const auto workshopButton = Nearest("CGameButton", -6.5f, 8.0f);
  const auto metalLift = NearestAs<CGameMetalLift>("CGameMetalLift", -5.0f, 23.5f);
  const auto landingBlock = Nearest("CGameMetalBlock", -9.5f, 20.5f);
  const auto landingButton = Nearest("CGameButton", -10.5f, 16.5f);
  ASSERT_TRUE(workshopLift && workshopBlock && workshopButton && metalLift && landingBlock && landingButton);
  ASSERT_NE(workshopLift, NearestAs<CGameWoodLift>("CGameWoodLift", 4.5f, 44.5f));
  ASSERT_NE(workshopBlock, landingBlock);

  // ---- onto the wood lift; red pushes the block west onto the button ----
  ASSERT_TRUE(WalkTo(workshopLift->world._41, workshopLift->world._43, 0.3f, 400));
  const float floorY = PlayerPosition().y;
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(workshopBlock->world._41, 1.5f, workshopBlock->world._43),
      [&] { return workshopButton->switchOn != 0; }, 600, "the block pushed onto the button"));
  ASSERT_TRUE(WaitFor([&] { return workshopLift->offset._42 >= 8.0f; }, 300, "the lift up at the gallery"));
  EXPECT_GT(PlayerPosition().y, floorY + 7.5f) << "carried up with the lift";
  Screenshot("route-stage4-workshop-lift.png");

  // ---- through the gallery onto the landing and the metal lift ----
  ASSERT_TRUE(WalkTo(5.0f, 12.5f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(5.0f, 18.0f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(metalLift->world._41, 21.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(metalLift->world._41, metalLift->world._43, 0.3f, 200));
  EXPECT_EQ(metalLift->offset._43, 0.0f) << "waiting in its notch";

  // ---- red pushes the second block into the corner onto its button; over the chasm ----
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(landingBlock->world._41, landingBlock->world._42 + 1.5f, landingBlock->world._43),
      [&] { return landingButton->switchOn != 0; }, 900, "the block pushed onto the corner button"));
  ASSERT_TRUE(WaitFor([&] { return metalLift->offset._43 >= 15.0f; }, 450, "the metal lift over the chasm"));
  EXPECT_GT(PlayerPosition().z, 37.0f) << "carried across";
  Screenshot("route-stage4-metal-lift.png");
  ASSERT_TRUE(WalkTo(metalLift->world._41, 41.0f, 0.3f, 300));
}

// From the start of a running stage 4 to the switch to stage 5.
void StageRoute::PlayStageFour()
{
  CrossStageFourToTheFarHall();
  if (HasFatalFailure()) return;
  const auto loftLift = NearestAs<CGameWoodLift>("CGameWoodLift", 4.5f, 44.5f);
  const auto lever = NearestAs<CGameLiver>("CGameLiver", -0.5f, 44.5f);
  ASSERT_TRUE(loftLift && lever);

  // ---- onto the far wood lift; blue pulls the lever from it; up to the loft ----
  ASSERT_TRUE(WalkTo(loftLift->world._41, loftLift->world._43, 0.3f, 400));
  EXPECT_EQ(loftLift->offset._42, 0.0f) << "the loft lift waits below";
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(lever->world._41, lever->world._42 + 0.8f, lever->world._43), [&] { return lever->switchOn != 0; },
      400, "the lever pulled"));
  ASSERT_TRUE(WaitFor([&] { return loftLift->offset._42 >= 8.0f; }, 300, "the lift up at the loft"));
  Screenshot("route-stage4-loft.png");

  // ---- onto the loft, the goal, stage 5 asked for ----
  ASSERT_TRUE(WalkTo(loftLift->world._41, 47.5f, 0.3f, 200));
  ASSERT_TRUE(ReachGoalAndSeeNext(5.0f, 49.5f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 5"));
  EXPECT_EQ(application->stageNumber, 5);
}

TEST_F(StageRoute, StageFourLiftsSwitchedByButtonsAndTheLeverClimbToTheLoft)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(4));
  PlayStageFour();
}

// The lever pulled from the floor sends the loft lift up empty; the block on the steps
// beside the loft still throws the player up onto it.
TEST_F(StageRoute, StageFourLeverPulledFromTheFloorLeavesTheThrowFromTheBlock)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(4));
  CrossStageFourToTheFarHall();
  if (HasFatalFailure()) return;
  const auto loftLift = NearestAs<CGameWoodLift>("CGameWoodLift", 4.5f, 44.5f);
  const auto lever = NearestAs<CGameLiver>("CGameLiver", -0.5f, 44.5f);
  const auto block = Nearest("CGameMetalBlock", -0.5f, 50.0f);
  ASSERT_TRUE(loftLift && lever && block);

  ASSERT_TRUE(WalkTo(-4.0f, 41.5f, 0.3f, 300));
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(lever->world._41, lever->world._42 + 0.8f, lever->world._43), [&] { return lever->switchOn != 0; },
      400, "the lever pulled from the floor"));
  ASSERT_TRUE(WaitFor([&] { return loftLift->offset._42 >= 8.0f; }, 300, "the empty lift up for good"));

  // Up the steps onto the block's east half, red on its west half: thrown up, then
  // east onto the loft.
  ASSERT_TRUE(WalkTo(-8.5f, 50.0f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(block->world._41 + 0.9f, block->world._43, 0.2f, 300));
  const float blockTop = block->world._42 + 3.0f;
  ASSERT_NEAR(PlayerPosition().y, blockTop + 0.02f, 0.1f) << "standing on the block";
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(block->world._41 - 1.3f, blockTop, block->world._43),
      [&] { return Player()->world._42 > blockTop + 7.0f; }, 300, "the throw upwards"));
  ASSERT_TRUE(WalkTo(3.0f, block->world._43, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return Player()->onGround != 0; }, 200, "the landing"));
  EXPECT_GT(PlayerPosition().y, 16.4f) << "on the loft (or the goal's plinth on it)";
  ASSERT_TRUE(ReachGoalAndSeeNext(5.0f, 49.5f, "CSceneGame"));
}
