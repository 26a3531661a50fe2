// CPlayerWalkState: the four steps of a frame.
#include "actor/player/player_walk_state.h"

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/application.h"
#include "scene/scene_game.h"

namespace {
const std::string walkStateName = "CPlayerWalkState";
}  // namespace

// "CPlayerWalkState".
const std::string& CPlayerWalkState::GetName() const
{
  return walkStateName;
}

// Nothing of its own.
CPlayerWalkState::~CPlayerWalkState() = default;

// Always in this order; each step does nothing when the player is gone.
void CPlayerWalkState::Update()
{
  ReadInput();
  MoveStep();
  TurnStep();
  AdvanceCycle();
}

// During the opening, the goal and the orb message the keys change nothing, so the
// other states can steer. A cast of either colour stops the player.
void CPlayerWalkState::ReadInput()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!player || !scene) return;
  if (scene->cameraEvent || scene->goalReached || scene->orbObtained) return;
  const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
  if (magic && (magic->blueCasting || magic->redCasting)) {
    moving = 0;
    return;
  }

  const std::shared_ptr<CGameCamera> camera = LockCamera();
  if (!camera) return;
  const InputSnapshot& input = CApplication::GetInstance()->input;
  const D3DXMATRIX& yaw = camera->GetYawMatrix();
  const struct {
    int held;
    D3DXVECTOR3 local;
  } keys[] = {{input.keyW, {0.0f, 0.0f, 1.0f}},
              {input.keyS, {0.0f, 0.0f, -1.0f}},
              {input.keyA, {-1.0f, 0.0f, 0.0f}},
              {input.keyD, {1.0f, 0.0f, 0.0f}}};
  moveDirection = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  moving = 0;
  for (const auto& key : keys) {
    if (!key.held) continue;
    D3DXVECTOR3 turned;
    D3DXVec3TransformNormal(&turned, &key.local, &yaw);
    moveDirection += turned;
    moving = 1;
  }
}

// Opposite keys cancel to a zero direction: the normalised zero vector stays zero, so
// the player stands.
void CPlayerWalkState::MoveStep()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!player || !moving) return;
  moveDirection.y = 0.0f;
  D3DXVec3Normalize(&moveDirection, &moveDirection);

  const D3DXVECTOR3 origin(player->world._41, player->world._42 + 0.5f * player->height, player->world._43);
  player->PushOutOfWall(player->position, player->radius, origin, moveDirection);

  const float speed = (scene && scene->goalReached) ? goalWalkSpeed : walkSpeed;
  moveDirection *= speed;
  D3DXMATRIX step;
  D3DXMatrixTranslation(&step, moveDirection.x, moveDirection.y, moveDirection.z);
  player->position = step * player->position;
}

// TurnStep normalises the direction in place; a zero direction gives no turn.
void CPlayerWalkState::TurnStep()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player || !moving) return;
  if (D3DXVec3LengthSq(&moveDirection) == 0.0f) return;
  D3DXVECTOR3 forward = BodyForward(*player);
  player->angles.y += ::TurnStep(moveDirection, forward, turnSpeed, 0.1f);
}

// A stop jumps to the middle of the cycle and runs to rest without restarting.
void CPlayerWalkState::AdvanceCycle()
{
  if (!LockPlayer()) return;
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (cycleWrapped) {
    walkCycle = 0.0f;
    cycleWrapped = 0;
  }
  walkCycle += cycleStep;
  if (moving) {
    wasMoving = 1;
    if (walkCycle >= cycleMax) {
      walkCycle = cycleMax;
      cycleWrapped = 1;
    }
    return;
  }
  if (wasMoving && !(scene && scene->goalReached)) {
    walkCycle = 0.5f;
    wasMoving = 0;
  }
  if (walkCycle > cycleMax) {
    walkCycle = cycleMax;
  } else if (walkCycle == cycleMax) {
    cycleWrapped = 1;
  }
}
