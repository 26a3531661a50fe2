// Stage 6 by its route, through the input path only: Continue from a saved 6, the
// first cannon already faces its crack wall and its button fires it; the second and the
// third are turned round with red cast from north of them before their buttons fire
// them; the goal behind the last wall asks for stage 7. Without any cannon, button or
// crack wall it fails.
#include "stage_route.h"

#include <cmath>

#include "actor/gimmick/game_cannon.h"
#include "actor/gimmick/game_crack_wall.h"

namespace {

// The cannon faces -z, give or take its dead zone.
bool FacesSouth(const CGameCannon& cannon)
{
  return std::fabs(std::fabs(cannon.yaw) - 180.0f) < 2.0f;
}

}  // namespace

// From the start of a running stage 6 to the switch to the next.
void StageRoute::PlayStageSix()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto firstCannon = NearestAs<CGameCannon>("CGameCannon", 0.0f, 8.0f);
  const auto firstWall = NearestAs<CGameCrackWall>("CGameCrackWall", 0.0f, 13.5f);
  const auto firstButton = Nearest("CGameButton", -5.0f, 6.0f);
  const auto secondCannon = NearestAs<CGameCannon>("CGameCannon", 12.5f, 19.0f);
  const auto secondWall = NearestAs<CGameCrackWall>("CGameCrackWall", 12.5f, 13.5f);
  const auto secondButton = Nearest("CGameButton", 8.0f, 25.0f);
  const auto lastCannon = NearestAs<CGameCannon>("CGameCannon", 12.5f, -4.0f);
  const auto lastWall = NearestAs<CGameCrackWall>("CGameCrackWall", 12.5f, -9.5f);
  const auto lastButton = Nearest("CGameButton", 15.0f, -1.0f);
  ASSERT_TRUE(firstCannon && firstWall && firstButton && secondCannon && secondWall && secondButton);
  ASSERT_TRUE(lastCannon && lastWall && lastButton);

  // ---- the first button fires the first cannon straight into its wall ----
  ASSERT_TRUE(WalkTo(firstButton->world._41, firstButton->world._43, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return firstWall->broken != 0; }, 200, "the first wall to break"));
  Screenshot("route-stage6-first-wall.png");
  Frames(30);

  // ---- red from north of the second cannon turns it to the cracked doorway ----
  ASSERT_TRUE(WalkTo(-2.5f, 11.5f, 0.3f, 400));  // round the first cannon
  ASSERT_TRUE(WalkTo(0.0f, 17.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(secondCannon->world._41, secondCannon->world._43 + 6.0f, 0.3f, 400));
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(secondCannon->world._41, 1.2f, secondCannon->world._43), [&] { return FacesSouth(*secondCannon); },
      400, "the second cannon turned round"));
  ASSERT_TRUE(WalkTo(secondButton->world._41, secondButton->world._43, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return secondWall->broken != 0; }, 200, "the second wall to break"));
  Frames(30);

  // ---- down the east corridor; the third cannon likewise ----
  ASSERT_TRUE(WalkTo(9.5f, 16.0f, 0.3f, 400));  // round the second cannon
  ASSERT_TRUE(WalkTo(12.5f, 11.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(lastCannon->world._41, lastCannon->world._43 + 6.0f, 0.3f, 400));
  ASSERT_TRUE(CastRedAt(
      D3DXVECTOR3(lastCannon->world._41, 1.2f, lastCannon->world._43), [&] { return FacesSouth(*lastCannon); }, 400,
      "the third cannon turned round"));
  ASSERT_TRUE(WalkTo(lastButton->world._41, lastButton->world._43, 0.3f, 300));
  ASSERT_TRUE(WaitFor([&] { return lastWall->broken != 0; }, 200, "the last wall to break"));
  Screenshot("route-stage6-last-wall.png");
  Frames(30);

  // ---- past the cannon into the keep's heart, the goal, stage 7 asked for ----
  ASSERT_TRUE(WalkTo(15.0f, -7.0f, 0.3f, 300));
  ASSERT_TRUE(ReachGoalAndSeeNext(12.5f, -14.0f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 7"));
  EXPECT_EQ(application->stageNumber, 7);
}

TEST_F(StageRoute, StageSixCannonsTurnedWithRedBreakTheCrackWalls)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(6));
  PlayStageSix();
}
