// CPlayerGoalState: the four phases of the stage-clear sequence.
#include "actor/player/player_goal_state.h"

#include "actor/player/game_player.h"
#include "actor/player/player_walk_state.h"
#include "app/application.h"
#include "scene/scene_ending.h"
#include "scene/scene_game.h"

namespace {
const std::string goalStateName = "CPlayerGoalState";
// Frames waited on the last stage before the ending is asked for.
const int endingWait = 60;
}  // namespace

// Both sounds are plain (not positioned).
CPlayerGoalState::CPlayerGoalState()
{
  D3DXMatrixIdentity(&hopMatrix);
  jumpSound.Load("res/sound/jump.wav");
  exitSound.Load("res/sound/zazaza.wav");
}

// "CPlayerGoalState".
const std::string& CPlayerGoalState::GetName() const
{
  return goalStateName;
}

// The sounds release themselves.
CPlayerGoalState::~CPlayerGoalState() = default;

// Nothing before the goal; a stage is cleared once, so the phases never go back.
void CPlayerGoalState::Update()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!scene || !scene->goalReached) return;
  switch (phase) {
  case 0:
    TurnToViewer();
    break;
  case 1:
    Hop();
    break;
  case 2:
    Finish();
    break;
  default:
    WalkOff();
    break;
  }
}

// The camera swings back to its default heading meanwhile, so the viewer is at -z.
void CPlayerGoalState::TurnToViewer()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CPlayerWalkState> walk = LockWalkState();
  if (!player) return;
  if (walk) walk->moving = 0;
  D3DXVECTOR3 viewer(0.0f, 0.0f, -1.0f);
  D3DXVECTOR3 forward = BodyForward(*player);
  const float step = ::TurnStep(viewer, forward, 4.0f, 0.1f);
  player->angles.y += step;
  if (step == 0.0f) phase = 1;
}

// Each hop rises and falls by 0.01 a frame from 0.2 to -0.2 (40 frames). Adding the
// speed before lowering it leaves the body 0.2 higher after every hop, so each landing
// puts the offset back on the ground.
void CPlayerGoalState::Hop()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CPlayerWalkState> walk = LockWalkState();
  if (!player) return;
  if (walk) walk->moving = 0;
  if (hopVelocity == hopSpeed) jumpSound.Restart();
  hopMatrix._42 += hopVelocity;
  hopVelocity -= 0.01f;
  if (hopVelocity <= -hopSpeed) {
    hopVelocity = hopSpeed;
    hopMatrix._42 = 0.0f;
    hopCount += 1;
    if (hopCount >= 3) phase = 2;
  }
  player->world = hopMatrix * player->position;
  player->world = player->bodyRotation * player->world;
}

// The last stage waits for the ending; the others turn away and ask for the next stage
// on the frame the turn ends.
void CPlayerGoalState::Finish()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CPlayerWalkState> walk = LockWalkState();
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!player || !scene) return;
  if (walk) walk->moving = 0;
  if (CApplication::GetInstance()->stageNumber == 8) {
    endingDelay += 1;
    if (endingDelay >= endingWait && !endingRequested) {
      scene->RequestScene(std::make_shared<CSceneEnding>());
      endingRequested = 1;
    }
    return;
  }
  D3DXVECTOR3 away(0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 forward = BodyForward(*player);
  const float step = ::TurnStep(away, forward, 4.0f, 0.1f);
  player->angles.y += step;
  if (step == 0.0f) {
    phase = 3;
    scene->RequestScene(std::make_shared<CSceneGame>());
  }
}

// The walk state does the walking, at its goal speed.
void CPlayerGoalState::WalkOff()
{
  const std::shared_ptr<CPlayerWalkState> walk = LockWalkState();
  if (!exitSound.playing) exitSound.Play(0);
  if (!walk) return;
  walk->moveDirection = exitDirection;
  walk->moving = 1;
}
