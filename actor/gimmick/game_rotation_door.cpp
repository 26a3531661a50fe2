// CGameRotationDoor: the twitch, the swing and drawing.
#include "actor/gimmick/game_rotation_door.h"

#include <algorithm>

#include "actor/colour_symbols.h"
#include "actor/gimmick/gimmick_common.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameRotationDoorName = "CGameRotationDoor";
const float degreesToRadians = 0.017453292f;
const float twitchLimit = -10.0f;
const float openAngle = -90.0f;
}  // namespace

// Closed.
CGameRotationDoor::CGameRotationDoor(const D3DXMATRIX& placement)
{
  D3DXMatrixIdentity(&rotation);
  baseMatrix = placement;
  world = placement;
  doubleHitMesh = LoadGimmickMesh("res/game/object/double_hit_rotation_door.x");
  trailingSound = LoadPositionalSound("res/sound/trailing.wav");
  mesh = LoadGimmickMesh("res/game/object/rotation_door.x");
  blueHitMesh = LoadGimmickMesh("res/game/object/blue_hit_rotation_door.x");
  redHitMesh = LoadGimmickMesh("res/game/object/red_hit_rotation_door.x");
  radius = 3.0f;
  height = 6.0f;
  specularPower = 1.5f;
  specularCamera = 0.3f;
}

// "CGameRotationDoor".
const std::string& CGameRotationDoor::GetName() const
{
  return gameRotationDoorName;
}

// The sound and the double overlay; the base lets go of the rest.
CGameRotationDoor::~CGameRotationDoor()
{
  trailingSound.reset();
  doubleHitMesh.reset();
}

// A halted stage silences the door and holds it.
void CGameRotationDoor::Update()
{
  if (GimmickSceneHalted()) {
    trailingSound->Stop();
    return;
  }
  RefreshPlayerLink();
  SettleOnGround(baseMatrix);
  Twitch();
  SwingOpen();
  world = rotation * baseMatrix;
  StepHitGlow(*this);
}

// Past the twitch range the door no longer falls back: released halfway, it stays.
void CGameRotationDoor::Twitch()
{
  if (angle < twitchLimit || magicColour == Both) return;
  if (magicColour == Red || magicColour == Blue) {
    angle = std::max(angle - turnSpeed, twitchLimit);
  } else {
    angle = std::min(angle + turnSpeed, 0.0f);
  }
  D3DXMatrixRotationY(&rotation, angle * degreesToRadians);
}

// Only both colours at once swing it; the sound runs while they do.
void CGameRotationDoor::SwingOpen()
{
  if (magicColour != Both) {
    trailingSound->Stop();
    return;
  }
  PlayHeardByPlayer(*this, trailingSound.get(), MatrixPosition(world), DSBPLAY_LOOPING);
  angle -= turnSpeed;
  if (angle < openAngle) {
    angle = openAngle;
    trailingSound->Stop();
  }
  D3DXMatrixRotationY(&rotation, angle * degreesToRadians);
}

// Both colours have their own purple overlay; the discs carry their symbols when asked.
void CGameRotationDoor::Draw()
{
  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  if (toon) {
    toon->SetFloat("g_spe_power_magnification", specularPower);
    toon->SetFloat("g_spe_camera_magnification", specularCamera);
  }
  ToonDrawAt(mesh.get(), world, reflectPower, 0.0f);
  if (ColourSymbolsShown()) DrawDoorSymbols(world);
  if (toon) toon->SetFloat("g_spe_power_magnification", 1.0f);
  OutlineAt(mesh.get(), world, 0.025f);
  DrawHitOverlay(world, magicColour == Both ? doubleHitMesh.get() : HitOverlayMesh(*this));
}
