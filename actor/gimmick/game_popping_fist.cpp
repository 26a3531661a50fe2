// CGamePoppingFist: the punch, the push, the warning glow and drawing.
#include "actor/gimmick/game_popping_fist.h"

#include <algorithm>
#include <cmath>

#include "actor/gimmick/gimmick_common.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string gamePoppingFistName = "CGamePoppingFist";
const float fullReach = 8.0f;
const float retractSpeed = 0.05f;
}  // namespace

// Retracted, armed, waiting out its start delay.
CGamePoppingFist::CGamePoppingFist(const D3DXMATRIX& placement)
{
  visibleMesh = LoadGimmickMesh("res/game/object/popping_fist.x");
  baseMatrix = placement;
  D3DXMatrixIdentity(&offset);
  popSound = LoadPositionalSound("res/sound/popping.wav");
  mesh = LoadGimmickMesh("res/game/object/collision_popping_fist.x.x");
  radius = 2.0f;
  height = 3.0f;
  world = baseMatrix * offset;
}

// "CGamePoppingFist".
const std::string& CGamePoppingFist::GetName() const
{
  return gamePoppingFistName;
}

// The sound and the visible mesh; the base lets go of the rest.
CGamePoppingFist::~CGamePoppingFist()
{
  popSound.reset();
  visibleMesh.reset();
}

// A halted stage silences the fist and holds it.
void CGamePoppingFist::Update()
{
  if (GimmickSceneHalted()) {
    popSound->Stop();
    return;
  }
  RefreshPlayerLink();
  Punch();
  WarningGlow();
}

// Only the z distance is tested: the fist fires whenever the player crosses its
// plane, however far along x or y. It cannot fire again before it is fully back.
void CGamePoppingFist::Punch()
{
  if (startDelay >= 1) {
    startDelay -= 1;
    return;
  }
  const std::shared_ptr<CActorBase> target = player.lock();
  if (armed && target && std::fabs(target->world._43 - world._43) < triggerDistance) {
    popping = 1;
    armed = 0;
    glowActive = 0;
    RestartHeardByPlayer(*this, popSound.get(), MatrixPosition(world));
  }
  if (popping) {
    PushActors();
    offset._41 += popSpeed;
    if (offset._41 > fullReach) {
      offset._41 = fullReach;
      popping = 0;
    }
  } else {
    offset._41 -= retractSpeed;
    if (offset._41 < 0.0f) {
      offset._41 = 0.0f;
      armed = 1;
      glowActive = 1;
    }
  }
  world = baseMatrix * offset;
}

// Measured from where the fist was before this frame's move; the player moves through
// its own Move, which shifts its position.
void CGamePoppingFist::PushActors()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  const D3DXVECTOR3 fist = MatrixPosition(world);
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    const std::string& name = actor->GetName();
    if (name != "CGameMetalBlock" && name != "CGamePlayer") continue;
    const D3DXVECTOR3 apart = MatrixPosition(actor->world) - fist;
    if (D3DXVec3Length(&apart) <= 2.0f * radius) actor->Move(popSpeed, 0.0f, 0.0f);
  }
}

// Bands of 13.5, 18.0 and 21.0; the glow eases towards its band's level.
void CGamePoppingFist::WarningGlow()
{
  if (!glowActive) {
    glow = std::max(glow - glowStep, 0.0f);
    return;
  }
  const std::shared_ptr<CActorBase> target = player.lock();
  if (!target) return;
  const D3DXVECTOR3 apart = MatrixPosition(target->world) - MatrixPosition(world);
  const float d = D3DXVec3Length(&apart);
  glowTarget = d < nearDistance ? nearGlow : d < midDistance ? midGlow : d < farDistance ? farGlow : 0.0f;
  if (glow < glowTarget) {
    glow = std::min(glow + glowStep, glowTarget);
  } else {
    glow = std::max(glow - glowStep, glowTarget);
  }
}

// The red emissive is the warning; the fist has no outline.
void CGamePoppingFist::Draw()
{
  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  if (!toon) return;
  const D3DXVECTOR4 red(glow, 0.0f, 0.0f, 0.0f);
  toon->SetVector("g_force_emissive", &red);
  ToonDrawAt(visibleMesh.get(), world, 0.0f, 0.0f);
  const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
  toon->SetVector("g_force_emissive", &none);
}
