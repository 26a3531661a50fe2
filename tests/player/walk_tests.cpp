// Walking: camera-relative keys, the speed of a diagonal, the keys ignored during
// events and menus, the wall clearance and sliding, the body's turn rate, the walk
// cycle, the left foot's step sounds and the idle bob of the arms.
#include <cmath>
#include <vector>

#include "player_world.h"

namespace {

// Horizontal length of a vector.
float Flat(const D3DXVECTOR3& v)
{
  return std::sqrt(v.x * v.x + v.z * v.z);
}

}  // namespace

using WalkTest = PlayerWorld;

TEST_F(WalkTest, WWithDWalksDiagonallyAtTheSpeedOfOneKey)
{
  Hold(1, 0, 0, 1);
  Step(3);
  const D3DXVECTOR3 before = Feet();
  Step(10);
  const D3DXVECTOR3 moved = Feet() - before;
  EXPECT_NEAR(Flat(moved), 1.0f, 1e-3f) << "0.1 a frame";
  EXPECT_NEAR(moved.x, moved.z, 1e-3f) << "half way between W and D";
  EXPECT_NEAR(Feet().y, 0.02f, 1e-3f) << "kept on the floor";
}

TEST_F(WalkTest, KeysFollowTheCameraHeading)
{
  camera->yaw = 90.0f;
  Hold(1, 0, 0, 0);
  Step(2);
  const D3DXVECTOR3 before = Feet();
  Step(5);
  const D3DXVECTOR3 moved = Feet() - before;
  EXPECT_NEAR(moved.x, 0.5f, 1e-3f) << "W heads +x when the camera looks along +x";
  EXPECT_NEAR(moved.z, 0.0f, 1e-3f);
  Hold(0, 1, 0, 0);
  const D3DXVECTOR3 again = Feet();
  Step(5);
  EXPECT_NEAR((Feet() - again).z, 0.5f, 1e-3f) << "A is to the left of that: +z";
}

TEST_F(WalkTest, OppositeKeysStandStill)
{
  Hold(1, 0, 1, 0);
  const D3DXVECTOR3 before = Feet();
  Step(5);
  EXPECT_EQ(walk->moving, 1);
  EXPECT_NEAR(Flat(Feet() - before), 0.0f, 1e-6f);
  EXPECT_EQ(player->angles.y, 0.0f) << "a zero direction does not turn the body";
}

TEST_F(WalkTest, KeysAreIgnoredDuringTheOpeningTheGoalAndTheMenus)
{
  Hold(1, 0, 0, 0);
  const D3DXVECTOR3 before = Feet();
  scene->cameraEvent = 1;
  Step(5);
  EXPECT_NEAR(Flat(Feet() - before), 0.0f, 1e-6f) << "opening";
  scene->cameraEvent = 0;
  scene->paused = 1;
  const float cycle = walk->walkCycle;
  Step(5);
  EXPECT_NEAR(Flat(Feet() - before), 0.0f, 1e-6f) << "paused";
  EXPECT_EQ(walk->walkCycle, cycle) << "the whole player holds still while paused";
  scene->paused = 0;
  scene->goalReached = 1;
  Step(20);
  EXPECT_NEAR(Flat(Feet() - before), 0.0f, 1e-6f) << "after the goal the keys do nothing";
  EXPECT_EQ(walk->moving, 0);
}

TEST_F(WalkTest, WalkingIntoAWallStopsAbout07FromItAndSlidesAlongItAtAnAngle)
{
  AddBlock("CTestWall", "res/test/wall.x", 0.0f, 0.0f, 5.0f);  // near face at z = 4.75
  Hold(1, 0, 0, 0);
  Step(80);
  EXPECT_NEAR(Feet().z, 4.75f - 0.7f, 0.1f);
  EXPECT_NEAR(Feet().x, 0.0f, 1e-4f);

  // At 30 degrees to the wall the player slides along it.
  camera->yaw = 30.0f;
  const D3DXVECTOR3 before = Feet();
  Step(20);
  EXPECT_NEAR(Feet().z, 4.75f - 0.7f, 0.1f) << "still clear of the wall";
  EXPECT_GT(Feet().x - before.x, 0.8f) << "sliding along it";
}

TEST_F(WalkTest, TheBodyTurnsAtMostTenDegreesAFrameAndReversesIn18Frames)
{
  Hold(1, 0, 0, 0);
  Step(3);
  EXPECT_EQ(player->angles.y, 0.0f);
  Hold(0, 0, 1, 0);
  int turning = 0;
  for (int i = 0; i < 30; ++i) {
    const float before = player->angles.y;
    Step();
    const float step = std::fabs(player->angles.y - before);
    EXPECT_LE(step, 10.0f + 1e-4f);
    if (step > 0.0f) ++turning;
  }
  EXPECT_EQ(turning, 18);
  const D3DXVECTOR3 forward = BodyForward(*player);
  EXPECT_NEAR(forward.z, -1.0f, 1e-3f) << "facing the way it walks";
}

TEST_F(WalkTest, TheCycleTakesElevenFramesAndAStopRunsFromHalfToRestInSix)
{
  Hold(1, 0, 0, 0);
  std::vector<int> wraps;
  for (int frame = 0; frame < 40 && wraps.size() < 3; ++frame) {
    Step();
    if (walk->cycleWrapped) wraps.push_back(frame);
  }
  ASSERT_EQ(wraps.size(), 3u);
  EXPECT_EQ(wraps[1] - wraps[0], 11);
  EXPECT_EQ(wraps[2] - wraps[1], 11);
  Step();
  EXPECT_NEAR(walk->walkCycle, 0.095f, 1e-5f) << "a cycle restarts at the first step";

  Hold(0, 0, 0, 0);
  Step();
  EXPECT_EQ(walk->walkCycle, 0.5f);
  for (int i = 0; i < 5; ++i) {
    Step();
    EXPECT_LT(walk->walkCycle, 1.0f);
  }
  Step();
  EXPECT_EQ(walk->walkCycle, 1.0f);
  Step(5);
  EXPECT_EQ(walk->walkCycle, 1.0f) << "resting, no restart";
  EXPECT_EQ(walk->cycleWrapped, 0);
}

TEST_F(WalkTest, TheLeftFootStepsEverySecondCycleAndOnlyOnTheGround)
{
  auto left = std::static_pointer_cast<CPlayerFoot>(player->bodyParts[3]);
  auto right = std::static_pointer_cast<CPlayerFoot>(player->bodyParts[4]);
  ASSERT_NE(left->footstepSound, nullptr);
  ASSERT_NE(left->footstepSound->buffer, nullptr) << "res/sound/footsteps.wav on the null device";
  EXPECT_EQ(right->footstepSound, nullptr) << "the right foot has no sound";

  Hold(1, 0, 0, 0);
  int wraps = 0, steps = 0;
  for (int frame = 0; frame < 66; ++frame) {
    Step();
    if (walk->cycleWrapped) ++wraps;
    if (left->footstepSound->playing) {
      ++steps;
      left->footstepSound->Stop();
    }
  }
  EXPECT_EQ(wraps, 6);
  EXPECT_EQ(steps, 3);

  // Off the floor: falling, the feet still swing but make no sound.
  player->position._43 = 30.0f;
  Step(3);
  left->footstepSound->Stop();
  steps = 0;
  for (int frame = 0; frame < 44; ++frame) {
    Step();
    if (left->footstepSound->playing) {
      ++steps;
      left->footstepSound->Stop();
    }
  }
  EXPECT_EQ(player->onGround, 0);
  EXPECT_EQ(steps, 0);
}

TEST_F(WalkTest, StandingArmsBobAndWalkingArmsDoNot)
{
  auto arm = std::static_pointer_cast<CPlayerArm>(player->bodyParts[1]);
  float highest = 0.0f, lowest = 0.0f;
  for (int i = 0; i < 220; ++i) {
    Step();
    highest = std::fmax(highest, arm->bobMatrix._42);
    lowest = std::fmin(lowest, arm->bobMatrix._42);
  }
  EXPECT_NEAR(highest, 0.012f, 2e-4f);
  EXPECT_NEAR(lowest, -0.012f, 2e-4f);
  Hold(1, 0, 0, 0);
  Step(2);
  EXPECT_EQ(arm->bobMatrix._42, 0.0f);
  EXPECT_EQ(arm->bobPhase, 0.0f);
}
