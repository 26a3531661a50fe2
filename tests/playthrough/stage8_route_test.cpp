// Stage 8 by its route, through the input path only: Continue from a saved 8, blue
// pulls the block onto the button that raises the gatehouse door; in the court red on
// the block underfoot throws the player onto the ledge; both magics swing the rotation
// door; the fist beside the bridge throws the player over the pit; red from south-west
// of the cannon turns it onto the crack wall and its button fires it; from the wood
// lift blue pulls the lever and the lift carries the player to the summit; the final
// orb asks for the ending. Without any of these gimmicks it fails.
#include "stage_route.h"

#include "actor/gimmick/game_cannon.h"
#include "actor/gimmick/game_crack_wall.h"
#include "actor/gimmick/game_door.h"
#include "actor/gimmick/game_liver.h"
#include "actor/gimmick/game_popping_fist.h"
#include "actor/gimmick/game_rotation_door.h"
#include "actor/gimmick/game_wood_lift.h"
#include "actor/player/game_player.h"
#include "app/stage_clock.h"

// From the start of a running stage 8 to the broken crack wall before the lift room.
void StageRoute::CrossStageEightToTheLiftRoom()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto gateBlock = Nearest("CGameMetalBlock", 2.0f, 9.0f);
  const auto gateButton = Nearest("CGameButton", 2.0f, 4.5f);
  const auto gate = NearestAs<CGameDoor>("CGameDoor", -5.0f, 12.5f);
  const auto launcher = Nearest("CGameMetalBlock", 4.0f, 30.5f);
  const auto rotationDoor = NearestAs<CGameRotationDoor>("CGameRotationDoor", -5.0f, 40.5f);
  const auto fist = NearestAs<CGamePoppingFist>("CGamePoppingFist", -9.5f, 52.0f);
  const auto cannon = NearestAs<CGameCannon>("CGameCannon", 2.0f, 54.5f);
  const auto cannonButton = Nearest("CGameButton", -0.5f, 47.0f);
  const auto crackWall = NearestAs<CGameCrackWall>("CGameCrackWall", 6.5f, 58.5f);
  ASSERT_TRUE(gateBlock && gateButton && gate && launcher && rotationDoor && fist);
  ASSERT_TRUE(cannon && cannonButton && crackWall);
  ASSERT_NE(gateBlock, launcher);
  ASSERT_NE(gateButton, cannonButton);

  // ---- blue pulls the block onto the button; the gatehouse door rises ----
  ASSERT_TRUE(WalkTo(gateButton->world._41, gateButton->world._43 - 3.0f, 0.2f, 300));
  ASSERT_TRUE(WaitFor([&] { return gate->offset._42 < 0.5f; }, 200, "the gatehouse door to close"));
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(gateBlock->world._41, 1.5f, gateBlock->world._43), [&] { return gateButton->switchOn != 0; }, 400,
      "the block pulled onto the button"));
  ASSERT_TRUE(WaitFor([&] { return gate->offset._42 > 3.0f; }, 120, "the gatehouse door to rise"));
  Screenshot("route-stage8-gatehouse.png");

  // ---- into the court, up the steps onto the block; thrown onto the ledge ----
  ASSERT_TRUE(WalkTo(-5.0f, 10.0f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(-5.0f, 16.0f, 0.3f, 200));
  ASSERT_TRUE(WalkTo(-3.5f, 30.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(launcher->world._41 - 0.9f, launcher->world._43, 0.2f, 300));
  const float blockTop = launcher->world._42 + 3.0f;
  ASSERT_NEAR(PlayerPosition().y, blockTop + 0.02f, 0.1f) << "standing on the block";
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(launcher->world._41 + 1.3f, blockTop, launcher->world._43),
      [&] { return Player()->world._42 > blockTop + 6.0f; }, 300, "the throw upwards"));
  ASSERT_TRUE(WalkTo(launcher->world._41 - 0.9f, launcher->world._43 + 4.5f, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return Player()->onGround != 0; }, 200, "the landing"));
  EXPECT_GT(PlayerPosition().y, blockTop + 1.0f) << "landed on the ledge";

  // ---- both magics swing the rotation door; into the vestibule ----
  ASSERT_TRUE(WalkTo(rotationDoor->world._41, 35.0f, 0.3f, 300));
  ASSERT_TRUE(CastBothAt(
      D3DXVECTOR3(rotationDoor->world._41, rotationDoor->world._42 + 2.5f, rotationDoor->world._43),
      [&] { return rotationDoor->angle <= -89.0f; }, 400, "the rotation door swung open"));
  Screenshot("route-stage8-rotation-door.png");
  ASSERT_TRUE(WalkTo(rotationDoor->world._41 + 1.7f, 38.0f, 0.2f, 200));
  ASSERT_TRUE(WalkTo(rotationDoor->world._41 + 1.7f, 43.0f, 0.2f, 200));

  // ---- along the bridge; the fist throws the player over the pit ----
  ASSERT_TRUE(WalkTo(-5.5f, 46.0f, 0.3f, 300));
  RideFist(fist, -5.5f, "the bridge fist");
  if (HasFatalFailure()) return;
  EXPECT_GT(PlayerPosition().x, -1.5f) << "over the pit, on the east landing";

  // ---- red from south-west of the cannon turns it onto the crack; its button fires ----
  ASSERT_TRUE(WalkTo(-0.5f, 51.0f, 0.3f, 300));
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(cannon->world._41, cannon->world._42 + 1.2f, cannon->world._43), [&] { return cannon->yaw > 30.0f; },
      400, "the cannon turned towards the crack"));
  ASSERT_TRUE(WalkTo(cannonButton->world._41, cannonButton->world._43, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return crackWall->broken != 0; }, 200, "the crack wall to break"));
  Screenshot("route-stage8-crack-wall.png");
  Frames(30);
  ASSERT_TRUE(WalkTo(crackWall->world._41, 56.5f, 0.3f, 300));
}

// From the start of a running stage 8 to the ending asked for.
void StageRoute::PlayStageEight()
{
  CrossStageEightToTheLiftRoom();
  if (HasFatalFailure()) return;
  const auto lift = NearestAs<CGameWoodLift>("CGameWoodLift", 6.5f, 62.5f);
  const auto lever = NearestAs<CGameLiver>("CGameLiver", 4.0f, 60.0f);
  ASSERT_TRUE(lift && lever);

  // ---- through the broken wall onto the lift; blue pulls the lever; up to the summit ----
  ASSERT_TRUE(WalkTo(lift->world._41, lift->world._43, 0.3f, 300));
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(lever->world._41, lever->world._42 + 0.8f, lever->world._43), [&] { return lever->switchOn != 0; },
      400, "the lever pulled"));
  ASSERT_TRUE(WaitFor([&] { return lift->offset._42 >= 8.0f; }, 300, "the lift up at the summit"));

  // ---- the final orb; the ending asked for ----
  ASSERT_TRUE(WalkTo(lift->world._41, 66.0f, 0.3f, 200));
  ASSERT_TRUE(ReachGoalAndSeeNext(5.0f, 74.0f, "CSceneEnding"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to the ending"));
}

TEST_F(StageRoute, StageEightEverythingTogetherUpToTheFinalOrb)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(8));
  PlayStageEight();
  EXPECT_FALSE(CGameClock::GetInstance().IsFinished()) << "a game begun by Continue makes no whole-game time";
  EXPECT_EQ(RecordsFileText().find("game "), std::string::npos) << RecordsFileText();
}

// The lever pulled from the floor sends the lift up empty; the block on the steps beside
// it still throws the player up onto the summit.
TEST_F(StageRoute, StageEightLeverPulledFromTheFloorLeavesTheThrowFromTheBlock)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(8));
  CrossStageEightToTheLiftRoom();
  if (HasFatalFailure()) return;
  const auto lift = NearestAs<CGameWoodLift>("CGameWoodLift", 6.5f, 62.5f);
  const auto lever = NearestAs<CGameLiver>("CGameLiver", 4.0f, 60.0f);
  const auto block = Nearest("CGameMetalBlock", 11.5f, 62.5f);
  ASSERT_TRUE(lift && lever && block);

  ASSERT_TRUE(WalkTo(8.5f, 57.5f, 0.3f, 300));
  ASSERT_TRUE(CastBlueAt(
      D3DXVECTOR3(lever->world._41, lever->world._42 + 0.8f, lever->world._43), [&] { return lever->switchOn != 0; },
      400, "the lever pulled from the floor"));
  ASSERT_TRUE(WaitFor([&] { return lift->offset._42 >= 8.0f; }, 300, "the empty lift up for good"));

  // Up the steps onto the block's north half, red on its south half: thrown up, then
  // north onto the summit.
  ASSERT_TRUE(WalkTo(9.2f, 59.8f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(11.5f, 59.8f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(block->world._41, block->world._43 + 0.9f, 0.2f, 300));
  const float blockTop = block->world._42 + 3.0f;
  ASSERT_NEAR(PlayerPosition().y, blockTop + 0.02f, 0.1f) << "standing on the block";
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(block->world._41, blockTop, block->world._43 - 1.3f),
      [&] { return Player()->world._42 > blockTop + 7.0f; }, 300, "the throw upwards"));
  ASSERT_TRUE(WalkTo(block->world._41, 66.5f, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return Player()->onGround != 0; }, 200, "the landing"));
  EXPECT_NEAR(PlayerPosition().y, 12.9f, 0.1f) << "on the summit";
  ASSERT_TRUE(ReachGoalAndSeeNext(5.0f, 74.0f, "CSceneEnding"));
}
