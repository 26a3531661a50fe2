// Stage 5 by its route, through the input path only: Continue from a saved 5, both
// magics at once swing the rotation door ahead of the start, the player goes up the
// gallery's stairs onto the balcony, both magics swing the second door, and the goal
// asks for stage 6. Without either rotation door it fails.
#include "stage_route.h"

#include "actor/gimmick/game_rotation_door.h"

// From the start of a running stage 5 to the switch to the next.
void StageRoute::PlayStageFive()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto first = NearestAs<CGameRotationDoor>("CGameRotationDoor", 0.0f, 12.5f);
  const auto second = NearestAs<CGameRotationDoor>("CGameRotationDoor", 0.0f, 32.5f);
  ASSERT_TRUE(first && second);
  ASSERT_NE(first, second);

  // ---- one colour only twitches the first door; both swing it open ----
  ASSERT_TRUE(WalkTo(0.0f, 5.0f, 0.3f, 300));
  const D3DXVECTOR3 firstMiddle(first->world._41, first->world._42 + 2.5f, first->world._43);
  ASSERT_TRUE(CastBlueAt(
      firstMiddle, [&] { return first->angle <= -10.0f; }, 200, "the twitch"));
  ASSERT_TRUE(WaitFor([&] { return first->angle == 0.0f; }, 60, "the door to fall back"));
  ASSERT_TRUE(CastBothAt(
      firstMiddle, [&] { return first->angle <= -89.0f; }, 400, "the first door swung open"));
  Screenshot("route-stage5-first-door.png");

  // ---- beside the open door into the gallery, up the stairs onto the balcony ----
  ASSERT_TRUE(WalkTo(1.7f, 10.0f, 0.2f, 200));
  ASSERT_TRUE(WalkTo(1.7f, 16.0f, 0.2f, 200));
  ASSERT_TRUE(WalkTo(8.0f, 17.0f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(8.0f, 28.0f, 0.3f, 300));
  ASSERT_NEAR(PlayerPosition().y, second->world._42 + 0.02f, 0.1f) << "on the balcony";

  // ---- the second door, then the sanctum and the goal ----
  ASSERT_TRUE(WalkTo(0.0f, 27.5f, 0.3f, 300));
  ASSERT_TRUE(CastBothAt(
      D3DXVECTOR3(second->world._41, second->world._42 + 2.5f, second->world._43),
      [&] { return second->angle <= -89.0f; }, 400, "the second door swung open"));
  ASSERT_TRUE(WalkTo(1.7f, 30.0f, 0.2f, 200));
  ASSERT_TRUE(WalkTo(1.7f, 35.0f, 0.2f, 200));
  ASSERT_TRUE(ReachGoalAndSeeNext(0.0f, 38.0f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 6"));
  EXPECT_EQ(application->stageNumber, 6);
}

TEST_F(StageRoute, StageFiveBothMagicsSwingTheRotationDoors)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(5));
  PlayStageFive();
}
