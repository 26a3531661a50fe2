// CGameLiver: the pull, the click and drawing.
#include "actor/gimmick/game_liver.h"

#include "actor/gimmick/gimmick_common.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameLiverName = "CGameLiver";
const float degreesToRadians = 0.017453292f;
const float pulledAngle = -90.0f;
}  // namespace

// The hinge sits 0.3 above the placement; world stays the placement until the handle turns.
CGameLiver::CGameLiver(const D3DXMATRIX& placement)
{
  world = placement;
  foundationMatrix = placement;
  enableSound = LoadPositionalSound("res/sound/obj_enable.wav");
  foundationMesh = LoadGimmickMesh("res/game/object/liver_foundation.x");
  handleMesh = LoadGimmickMesh("res/game/object/liver_handle.x");
  blueHitHandleMesh = LoadGimmickMesh("res/game/object/blue_hit_liver_handle.x");
  D3DXMatrixIdentity(&rotation);
  D3DXMATRIX lift;
  D3DXMatrixTranslation(&lift, 0.0f, 0.3f, 0.0f);
  pivotMatrix = lift * placement;
  handleMatrix = rotation * pivotMatrix;
  mesh = LoadGimmickMesh("res/game/object/liver.x");
  radius = 1.0f;
  specularPower = 3.7f;
  specularCamera = 0.5f;
}

// "CGameLiver".
const std::string& CGameLiver::GetName() const
{
  return gameLiverName;
}

// The sound and the lever's own meshes; the base lets go of the rest.
CGameLiver::~CGameLiver()
{
  enableSound.reset();
  blueHitHandleMesh.reset();
  handleMesh.reset();
  foundationMesh.reset();
}

// A halted stage silences the click.
void CGameLiver::Update()
{
  if (GimmickSceneHalted()) {
    if (enableSound) enableSound->Stop();
    return;
  }
  RefreshPlayerLink();
  PullStep();
  StepHitGlow(*this);
}

// Only blue pulls, and never back: no spring returns the handle. The collision mesh
// follows the handle from its first turn on.
void CGameLiver::PullStep()
{
  if (magicColour != Blue || switchOn != 0) return;
  angle -= 1.0f;
  if (angle < pulledAngle) {
    angle = pulledAngle;
    RestartHeardByPlayer(*this, enableSound.get(), MatrixPosition(world));
    switchOn = 1;
  }
  D3DXMatrixRotationX(&rotation, angle * degreesToRadians);
  handleMatrix = rotation * pivotMatrix;
  world = handleMatrix;
}

// The overlay is drawn twice over, so the thin handle glows as strongly as a block.
void CGameLiver::Draw()
{
  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  ToonDrawAt(foundationMesh.get(), foundationMatrix, 0.0f, 0.0f);
  if (toon) {
    toon->SetFloat("g_spe_power_magnification", specularPower);
    toon->SetFloat("g_spe_camera_magnification", specularCamera);
  }
  ToonDrawAt(handleMesh.get(), handleMatrix, reflectPower, 0.0f);
  if (toon) toon->SetFloat("g_spe_power_magnification", 1.0f);
  OutlineAt(foundationMesh.get(), foundationMatrix, 0.025f);
  OutlineAt(handleMesh.get(), handleMatrix, 0.025f);
  if (magicColour == Blue) DrawHitOverlay(handleMatrix, blueHitHandleMesh.get(), 2);
}

// Foundation and handle at their own matrices.
void CGameLiver::DrawShadow()
{
  ShadowAt(foundationMesh.get(), foundationMatrix);
  ShadowAt(handleMesh.get(), handleMatrix);
}
