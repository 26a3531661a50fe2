// CGameMetalLift: travel along z, carrying, the launch and drawing; the top test and
// block carrying the wood lift shares.
#include "actor/gimmick/game_metal_lift.h"

#include <cmath>

#include "actor/gimmick/gimmick_common.h"
#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameMetalLiftName = "CGameMetalLift";
const float liftStep = 0.04f;
const float farEnd = 15.0f;
const float switchReach = 10.0f;
}  // namespace

// At its start, not moving.
CGameMetalLift::CGameMetalLift(const D3DXMATRIX& placement) : launch(0.0f, 0.0f, 0.0f)
{
  D3DXMatrixIdentity(&offset);
  railMatrix = placement;
  baseMatrix = placement;
  railMesh = LoadGimmickMesh("res/game/object/metal_lift_rail.x");
  liftSound = LoadPositionalSound("res/sound/lift.wav");
  mesh = LoadGimmickMesh("res/game/object/metal_lift.x");
  blueHitMesh = LoadGimmickMesh("res/game/object/blue_hit_lift.x");
  redHitMesh = LoadGimmickMesh("res/game/object/red_hit_lift.x");
  radius = 1.5f;
  height = 0.5f;
  specularPower = 1.8f;
  specularCamera = 0.33f;
  world = baseMatrix * offset;
}

// "CGameMetalLift".
const std::string& CGameMetalLift::GetName() const
{
  return gameMetalLiftName;
}

// The sound and the rail; the base lets go of the rest.
CGameMetalLift::~CGameMetalLift()
{
  liftSound.reset();
  railMesh.reset();
}

// A halted stage silences the lift and holds it.
void CGameMetalLift::Update()
{
  if (GimmickSceneHalted()) {
    liftSound->Stop();
    return;
  }
  RefreshPlayerLink();
  Travel();
  LaunchFromTop();
  StepHitGlow(*this);
}

// The switch is searched for round the rail, not the moving platform; the offset is a
// world translation, so travel is along world z whatever the placement's rotation.
void CGameMetalLift::Travel()
{
  const int on = IsSwitchOnNear(railMatrix, switchReach);
  float step = 0.0f;
  if (on) {
    PlayHeardByPlayer(*this, liftSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
    offset._43 += liftStep;
    step = liftStep;
    if (offset._43 > farEnd) {
      offset._43 = farEnd;
      liftSound->Stop();
      step = 0.0f;
    }
  } else if (offset._43 != 0.0f) {
    PlayHeardByPlayer(*this, liftSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
    offset._43 -= liftStep;
    step = -liftStep;
    if (offset._43 < 0.0f) {
      offset._43 = 0.0f;
      liftSound->Stop();
      step = 0.0f;
    }
  }
  const std::shared_ptr<CActorBase> rider = player.lock();
  const bool launched = launch.x != 0.0f || launch.y != 0.0f || launch.z != 0.0f;
  if (rider && (PlayerOnTop() || launched)) rider->Move(0.0f, 0.0f, step);
  CarryBlocksNear(*this, 0.0f, 0.0f, step);
  world = baseMatrix * offset;
}

// The platform's square widened by the margin.
bool CGameMetalLift::PlayerOnTop() const
{
  return IsPlayerOnPlatform(*this, topMargin);
}

// A player thrown from the lift keeps riding along z with it until the red magic ends.
void CGameMetalLift::LaunchFromTop()
{
  if (player.expired() || magicColour != Red) {
    launch = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return;
  }
  if (!PlayerOnTop()) return;
  launch = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
  const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
  if (magic) magic->launchDirection = launch;
}

// Steel platform, rail, their thin outlines, then the overlay.
void CGameMetalLift::Draw()
{
  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  if (toon) {
    toon->SetFloat("g_spe_power_magnification", specularPower);
    toon->SetFloat("g_spe_camera_magnification", specularCamera);
  }
  ToonDrawAt(mesh.get(), world, reflectPower, 0.0f);
  if (toon) toon->SetFloat("g_spe_power_magnification", 1.0f);
  ToonDrawAt(railMesh.get(), railMatrix, 0.0f, 0.0f);
  OutlineAt(mesh.get(), world, outlineWidth);
  OutlineAt(railMesh.get(), railMatrix, outlineWidth);
  DrawHitOverlay(world, HitOverlayMesh(*this));
}

// Platform and rail.
void CGameMetalLift::DrawShadow()
{
  ShadowAt(mesh.get(), world);
  ShadowAt(railMesh.get(), railMatrix);
}

// Both horizontal axes within radius plus margin, and not below the platform.
bool IsPlayerOnPlatform(const CActorBase& lift, float topMargin)
{
  const std::shared_ptr<CActorBase> rider = lift.player.lock();
  if (!rider) return false;
  const float reach = topMargin + lift.radius;
  return rider->world._42 >= lift.world._42 && std::fabs(rider->world._41 - lift.world._41) <= reach &&
         std::fabs(rider->world._43 - lift.world._43) <= reach;
}

// Three-dimensional distance from the platform's position, beside it as well as on it.
void CarryBlocksNear(const CActorBase& lift, float dx, float dy, float dz)
{
  const D3DXVECTOR3 centre = MatrixPosition(lift.world);
  for (const std::shared_ptr<CActorBase>& block : SceneActorsNamed("CGameMetalBlock")) {
    const D3DXVECTOR3 apart = MatrixPosition(block->world) - centre;
    if (D3DXVec3Length(&apart) <= 2.0f * lift.radius) block->Move(dx, dy, dz);
  }
}
