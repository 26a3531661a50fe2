// The stage routes' shared steps.
#include "stage_route.h"

#include <cmath>
#include <fstream>

#include "app/records.h"
#include "app/stage_clock.h"
#include "test_seam.h"

// The save file as the game writes it, then a restart and Continue.
bool StageRoute::StartSavedStage(int number)
{
  std::ofstream("res/dat/save.dat", std::ios::binary) << number << "\r\n";
  RestartProgram();
  if (!ContinueFromTitle() || !SkipOpening()) return false;
  stage = Game();
  if (application->stageNumber != number) {
    ADD_FAILURE() << "Continue started stage " << application->stageNumber << ", not " << number;
    return false;
  }
  return stage != nullptr;
}

// Horizontal distance decides; the first of equals wins.
std::shared_ptr<CActorBase> StageRoute::Nearest(const std::string& name, float x, float z) const
{
  std::shared_ptr<CActorBase> nearest;
  float best = 1e9f;
  if (Game()) {
    for (const std::shared_ptr<CActorBase>& actor : Game()->actors) {
      if (!actor || actor->GetName() != name) continue;
      const float d = std::hypot(actor->world._41 - x, actor->world._43 - z);
      if (d < best) {
        best = d;
        nearest = actor;
      }
    }
  }
  if (!nearest) ADD_FAILURE() << "the stage has no " << name;
  return nearest;
}

bool StageRoute::CastBlueAt(const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames,
                            const std::string& what)
{
  return Cast(true, false, point, done, maxFrames, what);
}

bool StageRoute::CastRedAt(const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames,
                           const std::string& what)
{
  return Cast(false, true, point, done, maxFrames, what);
}

bool StageRoute::CastBothAt(const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames,
                            const std::string& what)
{
  return Cast(true, true, point, done, maxFrames, what);
}

// The buttons go down together and come up together, whatever happened.
bool StageRoute::Cast(bool blue, bool red, const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames,
                      const std::string& what)
{
  if (!LookAt(point)) return false;
  if (blue) Win32TestMouseButton(VK_LBUTTON, true);
  if (red) Win32TestMouseButton(VK_RBUTTON, true);
  const bool held = WaitFor(done, maxFrames, what);
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, false);
  Frames(2);
  return held;
}

// The goal state asks for the next scene once the player has turned away (about 200
// frames after the goal); at full black the loop switches to it.
bool StageRoute::ReachGoalAndSeeNext(float x, float z, const std::string& nextScene)
{
  if (!WalkTo(x, z, 0.3f, 600, [&] { return stage->goalReached != 0; })) return false;
  if (!WaitFor([&] { return stage->goalReached != 0; }, 60, "the goal")) return false;
  if (!WaitFor([&] { return stage->requestedScene && stage->requestedScene != stage; }, 400,
               "the next scene to be asked for")) {
    return false;
  }
  EXPECT_EQ(stage->requestedScene->GetName(), nextScene);
  ExpectClockStoppedAndRecorded();
  return stage->requestedScene->GetName() == nextScene;
}

// The best can only be this run's time or an earlier, better one of the same test.
void StageRoute::ExpectClockStoppedAndRecorded()
{
  const int number = application->stageNumber;
  const int ticks = stage->StageTicks();
  EXPECT_TRUE(stage->clock.IsStopped()) << "stage " << number;
  EXPECT_GT(ticks, 120) << "stage " << number << ": a route takes more than two seconds of play";
  EXPECT_LT(ticks, 15000) << "stage " << number << ": and less than four minutes";
  EXPECT_EQ(stage->clearTime.ticks, ticks);
  const int best = GameRecords().StageBest(number);
  EXPECT_GT(best, 0);
  EXPECT_LE(best, ticks);
  const std::string line = "stage " + std::to_string(number) + " " + std::to_string(best) + "  # " + FormatClock(best);
  EXPECT_NE(RecordsFileText().find(line), std::string::npos) << line << " in\n" << RecordsFileText();
}
