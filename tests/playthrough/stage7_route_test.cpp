// Stage 7 by its route, through the input path only: Continue from a saved 7, along
// the west ledge past the torch into the fist's plane: it pops and shoves the player
// over the trench onto the east landing; along the narrow ledge into the second fist's
// plane, which throws the player over the deep gap onto the far landing; the goal asks
// for stage 8. Without either fist it fails.
#include "stage_route.h"

#include "actor/gimmick/game_popping_fist.h"
#include "actor/player/game_player.h"

// Stands still in the fist's plane once it pops, until the shove has landed the player.
void StageRoute::RideFist(const std::shared_ptr<CGamePoppingFist>& fist, float fromX, const std::string& what)
{
  ASSERT_TRUE(WaitFor([&] { return fist->startDelay == 0 && fist->armed != 0; }, 300, "the fist to be live"));
  ASSERT_TRUE(WalkTo(fromX, fist->world._43, 0.3f, 200, [&] { return fist->popping != 0; }));
  ASSERT_EQ(fist->popping, 1) << "the fist popped as the player stepped into its plane";
  ASSERT_TRUE(WaitFor([&] { return fist->popping == 0; }, 60, "the shove of " + what));
  ASSERT_TRUE(WaitFor([&] { return Player()->onGround != 0; }, 120, "the landing after " + what));
}

// From the start of a running stage 7 to the switch to stage 8.
void StageRoute::PlayStageSeven()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  const auto westFist = NearestAs<CGamePoppingFist>("CGamePoppingFist", -9.5f, 21.0f);
  const auto ledgeFist = NearestAs<CGamePoppingFist>("CGamePoppingFist", 2.5f, 40.0f);
  ASSERT_TRUE(westFist && ledgeFist);
  ASSERT_NE(westFist, ledgeFist);

  // ---- up the west ledge; its fist shoves the player over the trench ----
  ASSERT_TRUE(WalkTo(-5.5f, 5.0f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(-5.5f, 17.0f, 0.3f, 400));
  const float ledgeY = PlayerPosition().y;
  RideFist(westFist, -5.5f, "the west fist");
  if (HasFatalFailure()) return;
  EXPECT_GT(PlayerPosition().x, -1.5f) << "over the trench";
  EXPECT_LT(PlayerPosition().y, ledgeY - 0.3f) << "down on the east landing";
  EXPECT_GT(PlayerPosition().y, ledgeY - 1.0f) << "not down in the trench";
  Screenshot("route-stage7-east-landing.png");

  // ---- along the narrow ledge; the second fist throws the player over the gap ----
  ASSERT_TRUE(WalkTo(6.0f, 27.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(5.2f, 35.0f, 0.3f, 300));
  const float narrowY = PlayerPosition().y;
  RideFist(ledgeFist, 5.2f, "the ledge fist");
  if (HasFatalFailure()) return;
  EXPECT_GT(PlayerPosition().x, 11.0f) << "over the deep gap";
  EXPECT_NEAR(PlayerPosition().y, narrowY - 1.0f, 0.1f) << "on the far landing";
  Screenshot("route-stage7-far-landing.png");

  // ---- the goal, stage 8 asked for ----
  ASSERT_TRUE(ReachGoalAndSeeNext(16.0f, 43.5f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 8"));
  EXPECT_EQ(application->stageNumber, 8);
}

TEST_F(StageRoute, StageSevenPoppingFistsThrowThePlayerOverTheTrenchAndTheGap)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(7));
  PlayStageSeven();
}
