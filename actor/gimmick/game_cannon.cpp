// CGameCannon: aiming, the trigger latch, the shell's flight and burst, drawing.
#include "actor/gimmick/game_cannon.h"

#include "actor/gimmick/gimmick_common.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameCannonName = "CGameCannon";
const float degreesToRadians = 0.017453292f;
const int longestFlight = 240;
}  // namespace

// Facing +z until magic turns it; the shell's velocity is fixed: up and forward at 45
// degrees in the cannon's frame.
CGameCannon::CGameCannon(const D3DXMATRIX& placement)
{
  visibleMesh = LoadGimmickMesh("res/game/object/cannon.x");
  baseMatrix = placement;
  D3DXMatrixIdentity(&rotation);
  shellMesh = LoadGimmickMesh("res/game/object/shell.x");
  D3DXMatrixIdentity(&shellMatrix);
  const D3DXVECTOR3 upAndForward(0.0f, 1.0f, 1.0f);
  D3DXVec3Normalize(&shellVelocity, &upAndForward);
  shellVelocity *= shellSpeed;
  shotSound = LoadPositionalSound("res/sound/shot.wav");
  blastSound = LoadPositionalSound("res/sound/blast.wav");
  world = placement;
  mesh = LoadGimmickMesh("res/game/object/cannon_collision.x");
  blueHitMesh = LoadGimmickMesh("res/game/object/blue_hit_cannon.x");
  redHitMesh = LoadGimmickMesh("res/game/object/red_hit_cannon.x");
  radius = 1.0f;
  height = 2.3f;
  specularPower = 2.5f;
}

// "CGameCannon".
const std::string& CGameCannon::GetName() const
{
  return gameCannonName;
}

// The sounds and the cannon's own meshes; the base lets go of the rest.
CGameCannon::~CGameCannon()
{
  blastSound.reset();
  shotSound.reset();
  shellMesh.reset();
  visibleMesh.reset();
}

// A halted stage silences both sounds and holds the shell in the air.
void CGameCannon::Update()
{
  if (GimmickSceneHalted()) {
    shotSound->Stop();
    blastSound->Stop();
    return;
  }
  RefreshPlayerLink();
  SettleOnGround(baseMatrix);
  Aim();
  world = rotation * baseMatrix;
  Trigger();
  FlyShell();
  StepHitGlow(*this);
}

// A copy: the crack wall compares it with its own name.
std::string CGameCannon::GetHitName() const
{
  return hitName;
}

// Horizontal only, measured from the cannon's unturned place.
void CGameCannon::Aim()
{
  if (magicColour == None) return;
  const std::shared_ptr<CActorBase> target = player.lock();
  if (!target) return;
  D3DXMatrixRotationY(&rotation, yaw * degreesToRadians);
  const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 forward;
  D3DXVec3TransformNormal(&forward, &ahead, &rotation);
  D3DXVec3Normalize(&forward, &forward);
  D3DXVECTOR3 wanted(target->world._41 - baseMatrix._41, 0.0f, target->world._43 - baseMatrix._43);
  if (magicColour == Red) wanted = -wanted;
  yaw += TurnStep(wanted, forward, turnStep, turnDeadZone);
  D3DXMatrixRotationY(&rotation, yaw * degreesToRadians);
}

// Holding the switch on fires once; the cannon re-arms only with the switch off and
// no shell in flight.
void CGameCannon::Trigger()
{
  if (IsSwitchOnNear(world, switchRange)) {
    if (switchLatch == 0) {
      switchLatch = 1;
      shellActive = 1;
      fireRequest = 1;
    }
  } else if (shellActive == 0 && switchLatch == 1) {
    switchLatch = 0;
  }
  if (!fireRequest) return;
  D3DXMATRIX muzzle;
  D3DXMatrixTranslation(&muzzle, 0.0f, 2.1f, 1.5f);
  shellMatrix = muzzle * world;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (scene) scene->AddFugitiveDust(MatrixPosition(shellMatrix), 1.75f, 0.5f);
  RestartHeardByPlayer(*this, shotSound.get(), MatrixPosition(world));
  flightFrames = 0;
  fireRequest = 0;
}

// The shell keeps the course it was fired on; its probe looks level along the
// cannon's facing at the shot, not along its rising path. The blast is heard from the
// cannon and seen at the shell.
void CGameCannon::FlyShell()
{
  if (!shellActive) {
    hitName.clear();
    return;
  }
  flightFrames += 1;
  if (flightFrames > longestFlight) shellActive = 0;
  D3DXMATRIX step;
  D3DXMatrixTranslation(&step, shellVelocity.x, shellVelocity.y, shellVelocity.z);
  shellMatrix = step * shellMatrix;
  const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 probe;
  D3DXVec3TransformNormal(&probe, &ahead, &shellMatrix);
  hitName.clear();
  if (!IsRayBlocked(MatrixPosition(shellMatrix), probe, shellProbe, hitName)) {
    hitName.clear();
    return;
  }
  RestartHeardByPlayer(*this, blastSound.get(), MatrixPosition(world));
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (scene) scene->AddBlast(shellMatrix);
  shellActive = 0;
}

// The shell shares the cannon's reflection; the overlay goes over the cannon alone.
void CGameCannon::Draw()
{
  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  if (toon) {
    toon->SetFloat("g_spe_power_magnification", specularPower);
    toon->SetFloat("g_spe_camera_magnification", specularCamera);
  }
  ToonDrawAt(visibleMesh.get(), world, reflectPower, 0.0f);
  OutlineAt(visibleMesh.get(), world, 0.025f);
  if (shellActive) {
    ToonDrawAt(shellMesh.get(), shellMatrix, reflectPower, 0.0f);
    OutlineAt(shellMesh.get(), shellMatrix, 0.025f);
  }
  if (toon) toon->SetFloat("g_spe_power_magnification", 1.0f);
  DrawHitOverlay(world, HitOverlayMesh(*this));
}

// The visible cannon, and the shell while it flies.
void CGameCannon::DrawShadow()
{
  ShadowAt(visibleMesh.get(), world);
  if (shellActive) ShadowAt(shellMesh.get(), shellMatrix);
}
