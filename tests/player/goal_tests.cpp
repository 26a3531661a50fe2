// The goal and the stage-clear sequence: the goal reached by distance alone, the
// jingle, the turn to the viewer, three hops each with the jump sound and landing back
// on the ground, the arms up and the happy eyes, the next stage asked for on the frame
// the player has turned away, the walk-off, the stage number raised and saved at full
// black; and on the last stage the wait for the ending.
#include <cmath>
#include <fstream>
#include <sstream>

#include "actor/gimmick/game_goal.h"
#include "player_world.h"

namespace {

// The save file in the working folder.
std::string SaveText()
{
  std::ifstream file("res/dat/save.dat");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

class GoalTest : public PlayerWorld {
protected:
  // A goal placed at (x, y, z), appended to the stage.
  std::shared_ptr<CGameGoal> PlaceGoal(float x, float y, float z)
  {
    D3DXMATRIX placement;
    D3DXMatrixTranslation(&placement, x, y, z);
    auto goalActor = std::make_shared<CGameGoal>(placement);
    scene->actors.push_back(goalActor);
    return goalActor;
  }
};

TEST_F(GoalTest, TheGoalIsReachedByDistanceAloneAndPlaysItsJingleOnce)
{
  auto above = PlaceGoal(0.0f, 2.33f + 0.02f, 0.0f);  // the player's feet stand at 0.02
  EXPECT_EQ(above->radius, 2.3f);
  EXPECT_NE(above->mesh, nullptr);
  Step(3);
  EXPECT_EQ(scene->goalReached, 0) << "2.33 straight above is too far";
  above->world._42 = 2.28f + 0.02f;
  scene->paused = 1;
  Step(3);
  EXPECT_EQ(scene->goalReached, 0) << "nothing is reached while paused";
  scene->paused = 0;
  Step();
  EXPECT_EQ(scene->goalReached, 1) << "reached from below";
  ASSERT_NE(above->clearSound->buffer, nullptr) << "res/sound/stage_clear.wav";
  EXPECT_EQ(above->clearSound->playing, 1);
  scene->paused = 1;
  Step();
  EXPECT_EQ(above->clearSound->playing, 0) << "a menu silences the jingle";
}

TEST_F(GoalTest, TheSequenceTurnsHopsThreeTimesTurnsAwayAsksForTheNextStageAndWalksOff)
{
  // Walk a little so the player faces +x: it must turn to the viewer (-z) first.
  camera->yaw = 90.0f;
  Hold(1, 0, 0, 0);
  Step(12);
  Hold(0, 0, 0, 0);
  camera->yaw = 0.0f;
  auto upper = std::static_pointer_cast<CPlayerUpperBody>(player->bodyParts[0]);
  auto arm = std::static_pointer_cast<CPlayerArm>(player->bodyParts[1]);
  ASSERT_NE(goal->jumpSound.buffer, nullptr) << "res/sound/jump.wav";

  // Still walking when the goal is reached: the walk state runs before the goal state,
  // so the step already under way is made, at the goal speed, then the player stops.
  Hold(1, 0, 0, 0);
  Step();
  scene->goalReached = 1;
  D3DXVECTOR3 reached = Feet();
  Step();
  const D3DXVECTOR3 lastStep = Feet() - reached;
  EXPECT_NEAR(D3DXVec3Length(&lastStep), 0.06f, 1e-4f);
  EXPECT_EQ(walk->moving, 0);
  const float turnLeft = 180.0f - player->angles.y;
  reached = Feet();  // W stays held throughout: it must change nothing from here
  int frames = 1;
  while (goal->phase == 0 && frames < 60) {
    Step();
    ++frames;
  }
  EXPECT_EQ(goal->phase, 1);
  EXPECT_NEAR(BodyForward(*player).z, -1.0f, 1e-3f) << "facing the viewer";
  EXPECT_EQ(frames, 1 + static_cast<int>(std::ceil(turnLeft / 4.0f)) + 1) << "4 degrees a frame, one to see it done";
  EXPECT_EQ(upper->glee, 1);

  // Three hops, each starting with the jump sound and landing on the ground again.
  int jumps = 0, landings = 0;
  float highest = 0.0f, armPitch = 90.0f, armYaw = 0.0f;
  frames = 0;
  while (goal->phase == 1 && frames < 200) {
    const int hopsBefore = goal->hopCount;
    Step();
    ++frames;
    if (goal->jumpSound.playing) {
      ++jumps;
      goal->jumpSound.Stop();
    }
    highest = std::fmax(highest, player->world._42 - player->position._42);
    if (goal->phase == 1) {
      armPitch = std::fmin(armPitch, arm->goalPitch);
      armYaw = std::fmin(armYaw, arm->goalYaw);
    }
    if (goal->hopCount != hopsBefore) {
      ++landings;
      EXPECT_NEAR(player->world._42, player->position._42, 0.011f) << "hop " << goal->hopCount << " lands";
    }
  }
  EXPECT_EQ(goal->hopCount, 3);
  EXPECT_EQ(jumps, 3);
  EXPECT_EQ(landings, 3);
  EXPECT_EQ(frames, 120) << "40 frames a hop";
  EXPECT_GT(highest, 1.5f) << "a hop rises about two metres";
  EXPECT_EQ(armPitch, -90.0f) << "arms up during the hops";
  EXPECT_EQ(armYaw, -20.0f) << "and spread";
  EXPECT_NEAR(Feet().x, reached.x, 1e-4f);
  EXPECT_NEAR(Feet().z, reached.z, 1e-4f) << "the keys moved nothing";

  // Turning away: the next stage is asked for on the frame the turn ends.
  while (goal->phase == 2 && frames < 400) {
    EXPECT_EQ(scene->requestedScene, scene) << "nothing asked for before the turn ends";
    Step();
    ++frames;
  }
  ASSERT_EQ(goal->phase, 3);
  ASSERT_NE(scene->requestedScene, scene);
  EXPECT_EQ(scene->requestedScene->GetName(), "CSceneGame");
  EXPECT_NEAR(BodyForward(*player).z, 1.0f, 1e-3f) << "facing away";
  EXPECT_EQ(application->fadeOut, 1) << "the scene starts to fade out";
  EXPECT_EQ(application->stageNumber, 1);

  // Walking off at the goal speed along the exit direction; the goal state starts the
  // walk the frame after the turn, and the walk state moves from the frame after that.
  const D3DXVECTOR3 before = Feet();
  Step(11);
  const D3DXVECTOR3 moved = Feet() - before;
  EXPECT_NEAR(std::sqrt(moved.x * moved.x + moved.z * moved.z), 0.6f, 1e-3f);
  EXPECT_GT(moved.z, 0.0f);
  EXPECT_LT(moved.x, 0.0f) << "a little to the left";
  EXPECT_EQ(goal->exitSound.playing, 1);

  // At full black the stage is cleared: stage 2, saved.
  EXPECT_EQ(SaveText(), "1\n");
  application->fadeAlpha = 255;
  Step();
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveText(), "2\r\n");
}

TEST_F(GoalTest, OnTheLastStageTheEndingIsAskedForSixtyFramesAfterTheThirdHopAndNoOtherStage)
{
  application->stageNumber = 8;
  scene->goalReached = 1;
  int frames = 0;
  while (goal->phase != 2 && frames < 300) {
    Step();
    ++frames;
  }
  ASSERT_EQ(goal->phase, 2);
  Step(59);
  EXPECT_EQ(goal->endingRequested, 0);
  Step();
  EXPECT_EQ(goal->endingRequested, 1);
  Step(30);
  EXPECT_EQ(goal->phase, 2) << "the player stays";
  EXPECT_EQ(application->stageNumber, 8);
  ASSERT_NE(scene->requestedScene, nullptr);
  EXPECT_EQ(scene->requestedScene->GetName(), "CSceneEnding");

  // At full black the ending follows; the stage number and the save file stay as they were.
  const std::string savedBefore = SaveText();
  application->fadeAlpha = 255;
  const std::shared_ptr<CSceneBase> next = scene->Update();
  ASSERT_NE(next, nullptr) << "clearing the last stage does not end the program";
  EXPECT_EQ(next->GetName(), "CSceneEnding");
  EXPECT_EQ(application->stageNumber, 8);
  EXPECT_EQ(SaveText(), savedBefore);
}

TEST_F(GoalTest, TheFinalStageShowsTheFinalOrbAndTheOthersTheStair)
{
  auto stair = PlaceGoal(0.0f, 0.0f, 30.0f);
  EXPECT_EQ(stair->isFinal, 0);
  ASSERT_NE(stair->mesh, nullptr);
  ASSERT_NE(stair->visibleMesh, nullptr);
  EXPECT_NE(stair->mesh, stair->visibleMesh) << "collides with the plate, shows the stair";
  EXPECT_NE(stair->mesh->mesh, nullptr) << "res/game/map/goal_collision.x";
  EXPECT_NE(stair->visibleMesh->mesh, nullptr) << "res/game/map/goal.x";
  application->stageNumber = 8;
  auto orb = PlaceGoal(0.0f, 0.0f, 30.0f);
  EXPECT_EQ(orb->isFinal, 1);
  EXPECT_EQ(orb->mesh, orb->visibleMesh);
  EXPECT_NE(orb->mesh->mesh, nullptr) << "res/game/object/final_magic_orb.x";
  const float before = orb->glow;
  orb->PulseGlow();
  EXPECT_NEAR(orb->glow, before + 0.03f, 1e-6f);
  stair->PulseGlow();
  EXPECT_EQ(stair->glow, 0.6f) << "only the final orb pulses";
}
