// CGameDoor: travel, the blocked test and drawing.
#include "actor/gimmick/game_door.h"

#include "actor/gimmick/gimmick_common.h"
#include "scene/scene_game.h"

namespace {
const std::string gameDoorName = "CGameDoor";
}  // namespace

// Raised at the start: with no switch on near, it closes as the stage begins.
CGameDoor::CGameDoor(const D3DXMATRIX& placement)
{
  D3DXMatrixTranslation(&offset, 0.0f, openHeight, 0.0f);
  railMatrix = placement;
  baseMatrix = placement;
  world = baseMatrix * offset;
  trailingSound = LoadPositionalSound("res/sound/trailing.wav");
  mesh = LoadGimmickMesh("res/game/object/door.x");
  radius = 1.0f;
  height = 4.0f;
  fallSpeed = 1.0f;
}

// "CGameDoor".
const std::string& CGameDoor::GetName() const
{
  return gameDoorName;
}

// The sound before the base lets go of the rest.
CGameDoor::~CGameDoor()
{
  trailingSound.reset();
}

// The opening flight is silent even though the door already moves.
void CGameDoor::Update()
{
  if (GimmickSceneHalted()) {
    if (trailingSound) trailingSound->Stop();
    return;
  }
  RefreshPlayerLink();
  SettleOnGround(baseMatrix);
  Travel();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (scene && scene->cameraEvent && trailingSound) trailingSound->Stop();
}

// The door stays above whatever lies under it; the player has no mesh and does not stop it.
void CGameDoor::Travel()
{
  const int on = IsSwitchOnNear(railMatrix, switchRange);
  if (on) {
    PlayHeardByPlayer(*this, trailingSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
    offset._42 += openSpeed;
    if (offset._42 > openHeight) {
      offset._42 = openHeight;
      trailingSound->Stop();
    }
  } else if (offset._42 != 0.0f) {
    if (BlockedBelow()) {
      trailingSound->Stop();
    } else {
      PlayHeardByPlayer(*this, trailingSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
      offset._42 -= openSpeed;
    }
    if (offset._42 < 0.0f) {
      offset._42 = 0.0f;
      trailingSound->Stop();
    }
  }
  world = baseMatrix * offset;
}

// The centre, its front and back, and the two ends of the door.
bool CGameDoor::BlockedBelow() const
{
  const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
  const float offsets[5][2] = {{0.0f, 0.0f}, {0.0f, 0.5f}, {0.0f, -0.5f}, {-1.8f, 0.0f}, {1.8f, 0.0f}};
  std::string hitName;
  for (const auto& [dx, dz] : offsets) {
    const D3DXVECTOR3 point(world._41 + dx, world._42, world._43 + dz);
    if (IsRayBlocked(point, down, 0.1f, hitName)) return true;
  }
  return false;
}

// The door is stone: it takes the map's softer ramp.
void CGameDoor::Draw()
{
  UseStoneRamp(true);
  ToonDrawAt(mesh.get(), world, 0.0f, 0.0f);
  UseStoneRamp(false);
  OutlineAt(mesh.get(), world, 0.025f);
}
