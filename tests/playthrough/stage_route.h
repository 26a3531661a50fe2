// The stage routes' shared steps: a stage started by Continue from a save file that
// holds its number, the stage's gimmicks found by class and place, magic cast at a point
// through the mouse buttons, and the goal reached with the next scene seen requested.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "playthrough.h"
#include "actor/actor_base.h"
#include "scene/scene_game.h"

class CGamePoppingFist;

class StageRoute : public PlaythroughTest {
protected:
  // Continue from a save file holding `stage`, the opening skipped; true once it runs.
  bool StartSavedStage(int stage);
  // The running stage's actor of this class nearest (x, z); a test failure if none.
  std::shared_ptr<CActorBase> Nearest(const std::string& name, float x, float z) const;
  template <class T>
  std::shared_ptr<T> NearestAs(const std::string& name, float x, float z) const
  {
    return std::dynamic_pointer_cast<T>(Nearest(name, x, z));
  }
  // Turns the camera to the point, then holds the left (blue), right (red) or both
  // buttons until `done` holds; false, with a report, after maxFrames.
  bool CastBlueAt(const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames, const std::string& what);
  bool CastRedAt(const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames, const std::string& what);
  bool CastBothAt(const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames, const std::string& what);
  // Walks to (x, z) until the goal is reached, then waits for the goal sequence to ask
  // for the next scene; true when it is a scene of that class name.
  bool ReachGoalAndSeeNext(float x, float z, const std::string& nextScene);
  // At the goal: the stage clock stopped at a plausible time, kept as the stage's best
  // (or behind a better one) in the records file.
  void ExpectClockStoppedAndRecorded();

  // Each stage's route from the start of the running stage (opening over) to the
  // switch to the next stage, or to the ending for stage 8; fatal failures end it.
  void PlayStageOne();
  void PlayStageTwo();
  void PlayStageThree();
  void PlayStageFour();
  void PlayStageFive();
  void PlayStageSix();
  void PlayStageSeven();
  void PlayStageEight();

  // Stage 4 as far as the far hall, over both lifts.
  void CrossStageFourToTheFarHall();
  // Stage 8 as far as the broken crack wall before the lift room.
  void CrossStageEightToTheLiftRoom();
  // Walks into a live fist's plane at this x and rides its shove to the landing.
  void RideFist(const std::shared_ptr<CGamePoppingFist>& fist, float fromX, const std::string& what);

  std::shared_ptr<CSceneGame> stage;  // the stage the route is on

private:
  bool Cast(bool blue, bool red, const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames,
            const std::string& what);
};
