// CGameButton: the press test, the plate's travel, the click and drawing.
#include "actor/gimmick/game_button.h"

#include "actor/gimmick/gimmick_common.h"
#include "scene/scene_game.h"

namespace {
const std::string gameButtonName = "CGameButton";
const float otherReach = 2.0f;
const float pressStep = 0.025f;
const float bottomScale = 0.6f;
}  // namespace

// Up and off; the foundation is what other actors collide with.
CGameButton::CGameButton(const D3DXMATRIX& placement)
{
  world = placement;
  baseMatrix = placement;
  foundationMatrix = placement;
  switchMatrix = placement;
  D3DXMatrixIdentity(&scaleMatrix);
  pressSound = LoadPositionalSound("res/sound/obj_enable.wav");
  foundationMesh = LoadGimmickMesh("res/game/object/button_foundation.x");
  switchMesh = LoadGimmickMesh("res/game/object/button_switch.x");
  mesh = foundationMesh;
  radius = 0.85f;
}

// "CGameButton".
const std::string& CGameButton::GetName() const
{
  return gameButtonName;
}

// The sound before the meshes the base lets go of.
CGameButton::~CGameButton()
{
  pressSound.reset();
  switchMesh.reset();
  foundationMesh.reset();
}

// A halted stage leaves the plate where it is.
void CGameButton::Update()
{
  if (GimmickSceneHalted()) return;
  RefreshPlayerLink();
  PressStep();
  ReleaseStep();
}

// Buttons never press each other, and the camera and other mesh-less actors press
// nothing; the player has no mesh but counts, within its own radius.
bool CGameButton::IsPressed() const
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return false;
  const D3DXVECTOR3 centre = MatrixPosition(baseMatrix);
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    const std::string& name = actor->GetName();
    if (name == gameButtonName) continue;
    const bool isPlayer = name == "CGamePlayer";
    if (!isPlayer && (!actor->mesh || !actor->mesh->mesh)) continue;
    const D3DXVECTOR3 offset = MatrixPosition(actor->world) - centre;
    if (D3DXVec3Length(&offset) <= (isPlayer ? actor->radius : otherReach)) return true;
  }
  return false;
}

// The click sounds once, when the plate first reaches the bottom.
void CGameButton::PressStep()
{
  if (!IsPressed()) return;
  pressScale -= pressStep;
  if (pressScale < bottomScale) {
    pressScale = bottomScale;
    if (switchOn == 0) RestartHeardByPlayer(*this, pressSound.get(), MatrixPosition(world));
    switchOn = 1;
  }
  D3DXMatrixScaling(&scaleMatrix, 1.0f, pressScale, 1.0f);
  switchMatrix = scaleMatrix * baseMatrix;
}

// The click sounds once, when the plate is back at the top.
void CGameButton::ReleaseStep()
{
  if (IsPressed()) return;
  pressScale += pressStep;
  if (pressScale > 1.0f) {
    pressScale = 1.0f;
    if (switchOn == 1) RestartHeardByPlayer(*this, pressSound.get(), MatrixPosition(world));
    switchOn = 0;
  }
  D3DXMatrixScaling(&scaleMatrix, 1.0f, pressScale, 1.0f);
  switchMatrix = scaleMatrix * baseMatrix;
}

// Foundation and plate, then their outlines.
void CGameButton::Draw()
{
  ToonDrawAt(foundationMesh.get(), foundationMatrix, 0.0f, 0.0f);
  ToonDrawAt(switchMesh.get(), switchMatrix, 0.0f, 0.0f);
  OutlineAt(foundationMesh.get(), foundationMatrix, 0.025f);
  OutlineAt(switchMesh.get(), switchMatrix, 0.025f);
}

// Both plates at their own matrices.
void CGameButton::DrawShadow()
{
  ShadowAt(foundationMesh.get(), foundationMatrix);
  ShadowAt(switchMesh.get(), switchMatrix);
}
