// CGameWoodLift: settling, travel with carrying, the two tests below and drawing.
#include "actor/gimmick/game_wood_lift.h"

#include <cmath>

#include "actor/gimmick/game_metal_lift.h"
#include "actor/gimmick/gimmick_common.h"

namespace {
const std::string gameWoodLiftName = "CGameWoodLift";
const float riseStep = 0.05f;
const float topEnd = 8.0f;
const float switchReach = 15.0f;
// What carried actors are moved by: more than the platform going up and less going
// down, so that their own fall and ground test keep them on it.
const float carryUp = 0.09f;
const float carryDown = -0.01f;
}  // namespace

// At the bottom, not moving.
CGameWoodLift::CGameWoodLift(const D3DXMATRIX& placement)
{
  D3DXMatrixIdentity(&offset);
  railMatrix = placement;
  baseMatrix = placement;
  railMesh = LoadGimmickMesh("res/game/object/wood_lift_rail.x");
  liftSound = LoadPositionalSound("res/sound/lift.wav");
  mesh = LoadGimmickMesh("res/game/object/wood_lift.x");
  radius = 1.5f;
  height = 0.5f;
  world = baseMatrix * offset;
}

// "CGameWoodLift".
const std::string& CGameWoodLift::GetName() const
{
  return gameWoodLiftName;
}

// The sound and the posts; the base lets go of the rest.
CGameWoodLift::~CGameWoodLift()
{
  liftSound.reset();
  railMesh.reset();
}

// A halted stage silences the lift and holds it.
void CGameWoodLift::Update()
{
  if (GimmickSceneHalted()) {
    liftSound->Stop();
    return;
  }
  RefreshPlayerLink();
  SettleOnGround(baseMatrix);
  Travel();
}

// Going down pauses while something is under the platform and resumes once it is gone.
void CGameWoodLift::Travel()
{
  const int on = IsSwitchOnNear(railMatrix, switchReach);
  float step = 0.0f;
  if (on) {
    PlayHeardByPlayer(*this, liftSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
    offset._42 += riseStep;
    step = carryUp;
    if (offset._42 > topEnd) {
      offset._42 = topEnd;
      step = 0.0f;
      liftSound->Stop();
    }
  } else if (offset._42 != 0.0f) {
    if (BlockedBelow() || PlayerBelow()) {
      liftSound->Stop();
    } else {
      PlayHeardByPlayer(*this, liftSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
      offset._42 -= riseStep;
      step = carryDown;
    }
    if (offset._42 < 0.0f) {
      offset._42 = 0.0f;
      liftSound->Stop();
    }
  }
  const std::shared_ptr<CActorBase> rider = player.lock();
  if (rider && PlayerOnTop()) rider->Move(0.0f, step, 0.0f);
  CarryBlocksNear(*this, 0.0f, step, 0.0f);
  world = baseMatrix * offset;
}

// The same square as the metal lift's.
bool CGameWoodLift::PlayerOnTop() const
{
  return IsPlayerOnPlatform(*this, topMargin);
}

// The centre and eight points round it a unit out.
bool CGameWoodLift::BlockedBelow() const
{
  const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
  const float offsets[9][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
  std::string hitName;
  for (const auto& [dx, dz] : offsets) {
    const D3DXVECTOR3 point(world._41 + dx, world._42, world._43 + dz);
    if (IsRayBlocked(point, down, 0.1f, hitName)) return true;
  }
  return false;
}

// The player has no mesh for the rays to meet, so it is tested by its square (a
// generous 2.5 radii) against the platform's and by its distance.
bool CGameWoodLift::PlayerBelow() const
{
  const std::shared_ptr<CActorBase> under = player.lock();
  if (!under || under->world._42 >= world._42) return false;
  const float reach = 2.5f * under->radius + radius;
  if (std::fabs(under->world._41 - world._41) > reach || std::fabs(under->world._43 - world._43) > reach) return false;
  const D3DXVECTOR3 apart = MatrixPosition(under->world) - MatrixPosition(world);
  return D3DXVec3Length(&apart) <= 2.0f * under->height;
}

// Plain wood: no specular settings, no reflection, no overlay.
void CGameWoodLift::Draw()
{
  ToonDrawAt(mesh.get(), world, 0.0f, 0.0f);
  ToonDrawAt(railMesh.get(), railMatrix, 0.0f, 0.0f);
  OutlineAt(mesh.get(), world, outlineWidth);
  OutlineAt(railMesh.get(), railMatrix, outlineWidth);
}
