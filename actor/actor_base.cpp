// CActorBase: defaults, the release order, magic, the weak links, the base shadow draw
// and move, and TurnStep.
#include "actor/actor_base.h"

#include <algorithm>
#include <cmath>

#include "actor/colour_symbols.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string actorBaseName = "CActorBase";
const std::string rotationDoorName = "CGameRotationDoor";
}  // namespace

std::weak_ptr<CSceneGame> CActorBase::currentScene;

// Identity world; every other member has its default in the class.
CActorBase::CActorBase() : aimDirection(0.0f, 0.0f, 0.0f)
{
  D3DXMatrixIdentity(&world);
}

// "CActorBase".
const std::string& CActorBase::GetName() const
{
  return actorBaseName;
}

// Links first, then the sound, then the meshes.
CActorBase::~CActorBase()
{
  camera.reset();
  magicState.reset();
  walkState.reset();
  player.reset();
  sound.reset();
  redHitMesh.reset();
  blueHitMesh.reset();
  mesh.reset();
}

// The main mesh at world into the shadow map; nothing without a mesh.
void CActorBase::DrawShadow()
{
  CShadowMapShader& shadowMap = CShaderManager::GetInstance()->shadowMap;
  if (!mesh || !shadowMap.effect) return;
  shadowMap.effect->SetMatrix("g_world_mat", &world);
  shadowMap.DrawMesh(*mesh);
}

// Adds the offset to the translation row.
void CActorBase::Move(float dx, float dy, float dz)
{
  world._41 += dx;
  world._42 += dy;
  world._43 += dz;
}

// A copy of the shared mesh pointer.
std::shared_ptr<OstrelLibrary::CMesh> CActorBase::GetActorMesh() const
{
  return mesh;
}

// The newer colour replaces the older, except that a rotation door holding one colour
// and receiving the other (or already holding both) holds both.
void CActorBase::SetMagic(int colour)
{
  int result = colour;
  if (GetName() == rotationDoorName && colour != None) {
    if ((colour == Blue && magicColour == Red) || magicColour == Both || (colour == Red && magicColour == Blue)) {
      result = Both;
    }
  }
  magicColour = result;
}

// Red, blue or purple emissive at a quarter of the glow; colour None sets nothing.
void CActorBase::ApplyMagicEmissive() const
{
  ID3DXEffect* effect = CShaderManager::GetInstance()->toon.effect;
  if (!effect) return;
  const float g = hitGlow * 0.25f;
  D3DXVECTOR4 emissive(0.0f, 0.0f, 0.0f, 1.0f);
  if (magicColour == Red) {
    emissive.x = g;
  } else if (magicColour == Blue) {
    emissive.z = g;
  } else if (magicColour == Both) {
    emissive.x = g;
    emissive.z = g;
  } else {
    return;
  }
  effect->SetVector("g_force_emissive", &emissive);
}

// Nothing is drawn for colour None or without a mesh; the world matrix is set again
// because the outline pass before it may have moved the toon effect's. The colour's
// symbols go over the glow when the player asked for them.
void CActorBase::DrawHitOverlay(const D3DXMATRIX& matrix, const OstrelLibrary::CMesh* overlay, int times) const
{
  if (magicColour == None || !overlay) return;
  ID3DXEffect* effect = CShaderManager::GetInstance()->toon.effect;
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (!effect || !device) return;
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  effect->SetBool("g_light_enable", FALSE);
  effect->SetFloat("g_alpha", hitGlow);
  ApplyMagicEmissive();
  effect->SetMatrix("g_world_mat", &matrix);
  for (int i = 0; i < times; ++i) CShaderManager::GetInstance()->toon.DrawMesh(*overlay, 0.0f, hitScroll);
  if (ColourSymbolsShown()) DrawHitSymbols(*overlay, magicColour);
  const D3DXVECTOR4 noEmissive(0.0f, 0.0f, 0.0f, 0.0f);
  effect->SetVector("g_force_emissive", &noEmissive);
  effect->SetFloat("g_alpha", 1.0f);
  effect->SetBool("g_light_enable", TRUE);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// Asks the scene only when the link is empty or its player is gone.
void CActorBase::RefreshPlayerLink()
{
  if (!player.expired()) return;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  player = scene->GetPlayer();
}

// Asks the scene only when the link is empty or its camera is gone.
void CActorBase::RefreshCameraLink()
{
  if (!camera.expired()) return;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  camera = scene->GetCamera();
}

// A weak copy: the player owns its states.
void CActorBase::SetWalkState(const std::shared_ptr<CStateBase>& state)
{
  walkState = state;
}

// A weak copy: the player owns its states.
void CActorBase::SetMagicState(const std::shared_ptr<CStateBase>& state)
{
  magicState = state;
}

// Turns by at most maxStep towards `to`; the side comes from the cross product's y,
// and anything not clearly to the left (opposite vectors included) turns right.
float TurnStep(D3DXVECTOR3& from, D3DXVECTOR3& to, float maxStep, float deadZone)
{
  D3DXVec3Normalize(&from, &from);
  D3DXVec3Normalize(&to, &to);
  const float d = std::clamp(D3DXVec3Dot(&from, &to), -1.0f, 1.0f);
  const float angle = std::acos(d) * 57.2957764f;
  if (angle < deadZone) return 0.0f;
  D3DXVECTOR3 c;
  D3DXVec3Cross(&c, &to, &from);
  D3DXVec3Normalize(&c, &c);
  const float step = std::min(maxStep, angle);
  return c.y <= -0.9f ? -step : step;
}
