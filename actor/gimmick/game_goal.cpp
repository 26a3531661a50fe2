// CGameGoal: the goal test, the jingle, the final orb's pulse and drawing.
#include "actor/gimmick/game_goal.h"

#include "app/application.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameGoalName = "CGameGoal";
const int finalStage = 8;
}  // namespace

// The final stage shows the orb for both what is drawn and what rays meet.
CGameGoal::CGameGoal(const D3DXMATRIX& placement)
{
  world = placement;
  radius = 2.3f;
  isFinal = CApplication::GetInstance()->stageNumber == finalStage ? 1 : 0;
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  if (isFinal) {
    mesh = graphics->GetMesh(graphics->device, "res/game/object/final_magic_orb.x");
    visibleMesh = mesh;
  } else {
    mesh = graphics->GetMesh(graphics->device, "res/game/map/goal_collision.x");
    visibleMesh = graphics->GetMesh(graphics->device, "res/game/map/goal.x");
  }
  clearSound = std::make_unique<OstrelLibrary::CSound>();
  clearSound->Load("res/sound/stage_clear.wav");
}

// "CGameGoal".
const std::string& CGameGoal::GetName() const
{
  return gameGoalName;
}

// Its own sound and mesh; the base releases the rest.
CGameGoal::~CGameGoal()
{
  clearSound.reset();
  visibleMesh.reset();
}

// A menu silences the jingle; it does not resume afterwards.
void CGameGoal::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  if (scene->paused || scene->escapeOpen) {
    clearSound->Stop();
    return;
  }
  RefreshPlayerLink();
  CheckGoal();
  PulseGlow();
}

// Distance alone, in three dimensions: the goal can be reached from above or below.
void CGameGoal::CheckGoal()
{
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!owner || !scene || scene->goalReached) return;
  const D3DXVECTOR3 offset(owner->world._41 - world._41, owner->world._42 - world._42, owner->world._43 - world._43);
  if (D3DXVec3Length(&offset) > radius) return;
  scene->goalReached = 1;
  clearSound->Play(0);
}

// Only the final orb pulses.
void CGameGoal::PulseGlow()
{
  if (!isFinal) return;
  if (!glowFalling) {
    glow += 0.03f;
    if (glow > 3.3f) {
      glow = 3.3f;
      glowFalling = 1;
    }
  } else {
    glow -= 0.03f;
    if (glow < 0.6f) {
      glow = 0.6f;
      glowFalling = 0;
    }
  }
}

// The stair takes the soft ramp like the map and no outline; the final orb glows
// yellow with a thin outline.
void CGameGoal::Draw()
{
  CShaderManager* shaders = CShaderManager::GetInstance();
  CToonShader& toon = shaders->toon;
  if (!toon.effect || !visibleMesh) return;
  if (!isFinal) {
    if (toon.realTexture) toon.effect->SetTexture("g_toon_tex", toon.realTexture->texture);
    toon.effect->SetMatrix("g_world_mat", &world);
    toon.DrawMesh(*visibleMesh, 0.0f, 0.0f);
    if (toon.toonTexture) toon.effect->SetTexture("g_toon_tex", toon.toonTexture->texture);
    return;
  }
  const D3DXVECTOR4 yellow(glow, glow, 0.0f, 1.0f);
  toon.effect->SetVector("g_force_emissive", &yellow);
  toon.effect->SetMatrix("g_world_mat", &world);
  toon.DrawMesh(*visibleMesh, reflectPower, 0.0f);
  const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
  toon.effect->SetVector("g_force_emissive", &none);
  if (shaders->outline.effect) {
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    shaders->outline.effect->SetMatrix("g_world_mat", &world);
    shaders->outline.DrawMesh(*visibleMesh, outlineWidth, &black);
  }
}

// The stair casts none: the map's own shadow mesh covers the floor around it.
void CGameGoal::DrawShadow()
{
  if (!isFinal || !visibleMesh) return;
  CShadowMapShader& shadowMap = CShaderManager::GetInstance()->shadowMap;
  if (!shadowMap.effect) return;
  shadowMap.effect->SetMatrix("g_world_mat", &world);
  shadowMap.DrawMesh(*visibleMesh);
}
