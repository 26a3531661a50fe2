// Route: stage 1 from the title to the goal. Start from the title, skip the opening
// with Space, look round with the mouse, walk through the corridor into the great hall,
// climb the stairs, go down and up the ramp, reach the goal, watch the three hops and
// the walk-off, and see stage 2 requested and saved.
#include "playthrough.h"

#include <cmath>

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_walk_state.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"

namespace {

// The goal stage 1 places, from its stage source.
const D3DXVECTOR3 goalPlace(0.0f, 2.7f, 34.5f);

// The player's goal state, or null.
std::shared_ptr<CPlayerGoalState> GoalState()
{
  return LockGoalState();
}

}  // namespace

TEST_F(PlaythroughTest, StageOneFromTheTitleToTheGoal)
{
  // ---- the title: click, then Start ----
  DrawEvery(20);  // drawing is not what this route tests; screenshots draw their frame
  Frames(30);
  Screenshot("route-stage1-00-title.png");
  Click();
  Frames(1);
  ASSERT_NE(Title(), nullptr);
  ASSERT_EQ(Title()->titleState, 1) << "the click opened the menu";
  Frames(6);
  ClickButton("res/title/char/start.png");
  ASSERT_TRUE(WaitFor([&] { return Game() != nullptr; }, 80, "the stage to start after Start"));
  EXPECT_EQ(application->stageNumber, 1);

  // ---- the opening flight from the goal, then Space ----
  const std::shared_ptr<CSceneGame> stage = Game();
  ASSERT_NE(Player(), nullptr);
  ASSERT_NE(Camera(), nullptr);
  EXPECT_EQ(stage->cameraEvent, 1);
  Frames(60);
  EXPECT_EQ(stage->cameraEvent, 1) << "the flight takes 334 frames";
  EXPECT_GT(Camera()->openingBlend, 0.15f);
  Screenshot("route-stage1-01-opening-flight.png");
  Key(VK_SPACE, true);
  Frames(1);  // the snapshot sees the edge
  Key(VK_SPACE, false);
  Frames(1);  // the camera takes it: black at once, the opening over
  EXPECT_EQ(stage->cameraEvent, 0);
  EXPECT_EQ(stage->paused, 0) << "Space during the opening does not pause";
  EXPECT_GE(application->fadeAlpha, 250);
  EXPECT_EQ(application->fadeOut, 0);
  ASSERT_TRUE(WaitFor([&] { return application->fadeAlpha == 0; }, 60, "the stage to fade in"));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f) << "standing on the entrance hall floor";
  Screenshot("route-stage1-02-start.png");

  // ---- looking round with the mouse ----
  ASSERT_TRUE(FaceDirection(120.0f));
  Frames(1);
  Screenshot("route-stage1-03-look-east.png");
  ASSERT_TRUE(LookAt(D3DXVECTOR3(0.0f, 6.0f, 12.0f)));
  EXPECT_LT(Camera()->pitch, 0.0f) << "looking up";
  ASSERT_TRUE(FaceDirection(0.0f));
  for (int i = 0; i < 3; ++i) {  // far down: the pitch stops at 45
    MoveMouse(0, 40 * 6);
    Frames(1);
  }
  Frames(1);
  EXPECT_EQ(Camera()->pitch, 45.0f);
  MoveMouse(0, -35 * 6);
  Frames(2);
  EXPECT_EQ(Camera()->pitch, 10.0f);

  // ---- through the corridor into the great hall ----
  ASSERT_TRUE(WalkTo(0.0f, 12.0f, 0.3f, 400));
  Frames(1);
  Screenshot("route-stage1-04-corridor.png");
  ASSERT_TRUE(WalkTo(0.0f, 21.5f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f);
  Frames(12);  // the walk cycle comes to rest
  Screenshot("route-stage1-05-great-hall.png");

  // ---- up the stairs ----
  ASSERT_TRUE(WalkTo(0.0f, 30.2f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 2.42f, 0.05f) << "on the dais at 2.4";
  ASSERT_TRUE(FaceDirection(180.0f));
  Frames(2);
  Screenshot("route-stage1-06-top-of-stairs.png");

  // ---- down the ramp and up again ----
  ASSERT_TRUE(WalkTo(10.0f, 30.5f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(10.0f, 19.0f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.25f) << "at the foot of the ramp";
  ASSERT_TRUE(WalkTo(10.0f, 30.5f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 2.42f, 0.05f) << "back on the dais by the ramp";

  // ---- the goal ----
  ASSERT_TRUE(WalkTo(0.0f, 32.0f, 0.3f, 400, [&] { return stage->goalReached != 0; }));
  ASSERT_TRUE(WalkTo(goalPlace.x, goalPlace.z, 0.3f, 200, [&] { return stage->goalReached != 0; }));
  ASSERT_EQ(stage->goalReached, 1);
  {
    const D3DXVECTOR3 at = PlayerPosition();
    const D3DXVECTOR3 offset(at.x - goalPlace.x, at.y - goalPlace.y, at.z - goalPlace.z);
    EXPECT_LE(D3DXVec3Length(&offset), 2.3f + 0.11f) << "reached within the goal's radius (plus one step)";
  }

  // Keys do nothing now: the player only turns to the viewer.
  const D3DXVECTOR3 reachedAt = PlayerPosition();
  Key('W', true);
  ASSERT_TRUE(WaitFor([&] { return GoalState() && GoalState()->phase == 1; }, 60, "the turn to the viewer"));
  Key('W', false);
  EXPECT_NEAR(PlayerPosition().x, reachedAt.x, 0.11f);
  EXPECT_NEAR(PlayerPosition().z, reachedAt.z, 0.11f) << "W is ignored after the goal";
  Frames(12);
  Screenshot("route-stage1-07-goal-hop.png");
  ASSERT_TRUE(WaitFor([&] { return GoalState()->phase == 2; }, 130, "three hops"));
  EXPECT_EQ(GoalState()->hopCount, 3);
  EXPECT_EQ(Camera()->yaw, 0.0f) << "the camera swung back to its default heading";

  // The next stage is asked for on the frame the player has turned away.
  ASSERT_TRUE(WaitFor([&] { return GoalState()->phase == 3; }, 60, "the turn away"));
  EXPECT_NE(stage->requestedScene, stage);
  ASSERT_NE(stage->requestedScene, nullptr);
  EXPECT_EQ(stage->requestedScene->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 1) << "raised only at full black";
  Frames(20);
  Screenshot("route-stage1-08-walk-off.png");
  EXPECT_GT(PlayerPosition().z, reachedAt.z) << "walking off, away from the viewer";

  // ---- full black: stage 2 requested and saved ----
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 60, "the switch to the next stage"));
  EXPECT_EQ(CurrentScene()->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveFileText(), "2\r\n");
}
