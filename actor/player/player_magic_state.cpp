// CPlayerMagicState: the four steps of a frame.
#include "actor/player/player_magic_state.h"

#include <cmath>

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "app/application.h"
#include "app/settings.h"
#include "app/source_stage.h"
#include "scene/scene_game.h"

namespace {

const std::string magicStateName = "CPlayerMagicState";

// True while the opening, the goal or the orb message runs.
bool SceneEvent(const CSceneGame& scene)
{
  return scene.cameraEvent || scene.goalReached || scene.orbObtained;
}

}  // namespace

// Blue from stage 2 on, red from stage 3 on; a stage played from its source says which.
CPlayerMagicState::CPlayerMagicState()
{
  const int stage = CApplication::GetInstance()->stageNumber;
  blueUnlocked = stage >= 2 ? 1 : 0;
  redUnlocked = stage >= 3 ? 1 : 0;
  const SourceStage& source = CurrentSourceStage();
  if (source.active) {
    blueUnlocked = (source.magic & Blue) ? 1 : 0;
    redUnlocked = (source.magic & Red) ? 1 : 0;
  }
  D3DXMatrixIdentity(&launchMatrix);
  D3DXMatrixIdentity(&hoverMatrix);
}

// "CPlayerMagicState".
const std::string& CPlayerMagicState::GetName() const
{
  return magicStateName;
}

// Nothing of its own.
CPlayerMagicState::~CPlayerMagicState() = default;

// Always in this order, after reading the buttons once.
void CPlayerMagicState::Update()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  const bool event = scene && SceneEvent(*scene);
  buttons.Update(CApplication::GetInstance()->input, RunSettings().magicToggle, event);
  Lean();
  StartAndTurn();
  Release();
  Launch();
}

// Any component away from rest is a launch.
bool CPlayerMagicState::IsLaunching() const
{
  return launchDirection.x != launchRest.x || launchDirection.y != launchRest.y || launchDirection.z != launchRest.z;
}

// 0.9 degrees a frame of pitch and roll, 20 frames out to 18 degrees and 20 back.
void CPlayerMagicState::Lean()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player || tiltPhase == 0) return;
  float& pitch = player->angles.x;
  float& roll = player->angles.z;
  if (tiltPhase == 1) {
    pitch -= 0.9f;
    roll -= 0.9f;
    if (roll < -18.0f) {
      pitch = roll = -18.0f;
      tiltPhase = 4;
    }
  } else if (tiltPhase == 4) {
    pitch += 0.9f;
    roll += 0.9f;
    if (roll > 0.0f) {
      pitch = roll = 0.0f;
      tiltPhase = 0;
    }
  } else if (tiltPhase == 3) {
    pitch -= 0.9f;
    roll += 0.9f;
    if (roll > 18.0f) {
      pitch = -18.0f;
      roll = 18.0f;
      tiltPhase = 2;
    }
  } else if (tiltPhase == 2) {
    pitch += 0.9f;
    roll -= 0.9f;
    if (roll < 0.0f) {
      pitch = roll = 0.0f;
      tiltPhase = 0;
    }
  }
}

// Blue keeps the body on the camera's heading for the whole cast; red turns it once.
void CPlayerMagicState::StartAndTurn()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!scene || SceneEvent(*scene)) return;
  if (blueUnlocked && buttons.Blue()) {
    if (!blueCasting && tiltPhase == 0) tiltPhase = 1;
    blueCasting = 1;
  }
  if (redUnlocked && buttons.Red()) {
    if (!redCasting && tiltPhase == 0) tiltPhase = 3;
    redCasting = 1;
  }
  if (!blueCasting && !(redCasting && turnPending)) return;

  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CGameCamera> camera = LockCamera();
  if (!player || !camera) return;
  const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 cameraForward;
  D3DXVec3TransformNormal(&cameraForward, &ahead, &camera->orientation);
  cameraForward.y = 0.0f;
  D3DXMATRIX yaw;
  D3DXMatrixRotationY(&yaw, player->angles.y * 0.017453292f);
  D3DXVECTOR3 bodyForward;
  D3DXVec3TransformNormal(&bodyForward, &ahead, &yaw);
  const float step = ::TurnStep(cameraForward, bodyForward, 8.0f, 0.1f);
  if (step == 0.0f) turnPending = 0;
  player->angles.y += step;
}

// Repeats every frame the condition holds; releasing an idle ray changes nothing.
// Letting go of red also ends a launch.
void CPlayerMagicState::Release()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!scene) return;
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  const bool event = SceneEvent(*scene);
  if ((blueUnlocked && !buttons.Blue()) || event) {
    scene->FireMagicRay(0, 2, identity);
    if (blueCasting) tiltPhase = 4;
    blueCasting = 0;
    turnPending = 1;
  }
  if ((redUnlocked && !buttons.Red()) || event) {
    scene->FireMagicRay(0, 1, identity);
    if (redCasting) tiltPhase = 2;
    redCasting = 0;
    turnPending = 1;
    launchDirection = launchRest;
  }
}

// Accelerates to 0.1475 a frame, then slows to 0.0125; from 11.0 up the player bobs.
void CPlayerMagicState::Launch()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player) return;
  if (!IsLaunching()) {
    player->position = player->position * launchMatrix;
    D3DXMatrixIdentity(&launchMatrix);
    D3DXMatrixIdentity(&hoverMatrix);
    hoverPhase = 0.0f;
    launchSpeed = 0.0f;
    hovering = 0;
    launchAccelSign = 1.0f;
    return;
  }
  D3DXVec3Normalize(&launchDirection, &launchDirection);
  if (LaunchBlocked()) return;
  launchSpeed += launchAccel * launchAccelSign;
  launchDirection *= launchSpeed;
  if (launchAccelSign >= 1.0f && launchSpeed > launchMaxSpeed) {
    launchSpeed = launchMaxSpeed;
    launchAccelSign = -1.0f;
  }
  if (launchAccelSign < 1.0f && launchSpeed < launchMinSpeed) launchSpeed = launchMinSpeed;
  if (launchMatrix._42 >= launchMaxHeight) hovering = 1;
  D3DXMATRIX step;
  if (hovering) {
    hoverMatrix._42 = hoverAmplitude * std::sin(hoverPhase);
    hoverPhase += hoverPhaseStep;
    step = hoverMatrix;
  } else {
    D3DXMatrixTranslation(&step, launchDirection.x, launchDirection.y, launchDirection.z);
  }
  launchMatrix = step * launchMatrix;
}

// Every actor with a mesh counts, whatever its class.
bool CPlayerMagicState::LaunchBlocked() const
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!player || !scene) return false;
  const D3DXVECTOR3 origin(player->world._41, player->world._42, player->world._43);
  std::string scratch;
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    if (player->RayDistance(actor, origin, launchDirection, player->radius, scratch) != launchNoHit) return true;
  }
  return false;
}
