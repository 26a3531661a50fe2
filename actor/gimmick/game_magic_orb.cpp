// CGameMagicOrb: the pillars, the glow pulse, the pickup, the flight into the player
// and drawing.
#include "actor/gimmick/game_magic_orb.h"

#include <cmath>

#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/application.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameMagicOrbName = "CGameMagicOrb";
const float degreesToRadians = 0.017453292f;

// True while the pause or escape menu holds the stage.
bool SceneHalted(const std::shared_ptr<CSceneGame>& scene)
{
  return !scene || scene->paused || scene->escapeOpen;
}

// The magic state's flag for the orb's colour; before the player's first frame there is
// no magic state and nothing to unlock.
void UnlockMagic(const std::shared_ptr<CActorBase>& owner, int kind)
{
  const CGamePlayer* gamePlayer = dynamic_cast<const CGamePlayer*>(owner.get());
  if (!gamePlayer) return;
  const std::shared_ptr<CStateBase> state = gamePlayer->GetMagicState().lock();
  if (!state) return;
  CPlayerMagicState* magic = static_cast<CPlayerMagicState*>(state.get());
  if (kind == Red) {
    magic->redUnlocked = 1;
  } else {
    magic->blueUnlocked = 1;
  }
}
}  // namespace

// Only the stage number decides the colour: blue teaches attraction on stage 1, every
// later orb grants repulsion.
CGameMagicOrb::CGameMagicOrb(const D3DXMATRIX& placement) : beamQuad{}
{
  world = placement;
  drawMatrix = placement;
  radius = 1.5f;
  kind = CApplication::GetInstance()->stageNumber == 1 ? Blue : Red;
  D3DXMatrixIdentity(&bobMatrix);
  D3DXMatrixIdentity(&beamMatrix);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  if (kind == Red) {
    mesh = graphics->GetMesh(graphics->device, "res/game/object/red_magic_orb.x");
    beamTexture = graphics->GetTexture(graphics->device, "res/game/effect/red_ray.png");
  } else {
    mesh = graphics->GetMesh(graphics->device, "res/game/object/blue_magic_orb.x");
  }
  for (OstrelLibrary::TexturedVertex& vertex : beamQuad) vertex.colour = 0xFFFFFFFF;
}

// "CGameMagicOrb".
const std::string& CGameMagicOrb::GetName() const
{
  return gameMagicOrbName;
}

// The pillar picture; the base releases the mesh.
CGameMagicOrb::~CGameMagicOrb()
{
  beamTexture.reset();
}

// A menu freezes the orb: an orb touched while paused is taken after resuming.
void CGameMagicOrb::Update()
{
  if (SceneHalted(currentScene.lock())) return;
  RefreshPlayerLink();
  AnimateBeam();
  PulseGlow();
  CheckPickup();
  FlyToPlayer();
}

// The nudges add up, so the red orb drifts up and down round a point a little above
// where it was placed.
void CGameMagicOrb::AnimateBeam()
{
  if (kind != Red) return;
  beamScroll += beamScrollStep;
  const float s = beamScroll;
  const float corners[4][4] = {{-beamHalfWidth, 0.0f, 0.0f, s},
                               {-beamHalfWidth, beamHeight, 0.0f, s + beamHeight},
                               {beamHalfWidth, beamHeight, 1.0f, s + beamHeight},
                               {beamHalfWidth, 0.0f, 1.0f, s}};
  for (int i = 0; i < 4; ++i) {
    beamQuad[i].x = corners[i][0];
    beamQuad[i].y = corners[i][1];
    beamQuad[i].z = 0.0f;
    beamQuad[i].u = corners[i][2];
    beamQuad[i].v = corners[i][3];
  }
  D3DXMatrixTranslation(&bobMatrix, 0.0f, std::sin(bobPhase) * bobAmplitude, 0.0f);
  bobPhase += bobStep;
  drawMatrix = bobMatrix * drawMatrix;
}

// Up to 3.0, then down to 0.5, by 0.05 a frame.
void CGameMagicOrb::PulseGlow()
{
  if (!glowFalling) {
    glow += 0.05f;
    if (glow > 3.0f) {
      glow = 3.0f;
      glowFalling = 1;
    }
  } else {
    glow -= 0.05f;
    if (glow < 0.5f) {
      glow = 0.5f;
      glowFalling = 0;
    }
  }
}

// Measured from the drawn pose, in three dimensions.
void CGameMagicOrb::CheckPickup()
{
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!owner || !scene || taken) return;
  const D3DXVECTOR3 offset(owner->world._41 - drawMatrix._41, owner->world._42 - drawMatrix._42,
                           owner->world._43 - drawMatrix._43);
  if (D3DXVec3Length(&offset) > radius) return;
  UnlockMagic(owner, kind);
  scene->orbObtained = 1;
  taken = 1;
}

// Towards the chest, 0.5 above the feet, 0.05 a frame; within 0.1 it is gone.
void CGameMagicOrb::FlyToPlayer()
{
  if (!taken) return;
  const std::shared_ptr<CActorBase> owner = player.lock();
  if (!owner) return;
  D3DXVECTOR3 toChest(owner->world._41 - drawMatrix._41, owner->world._42 + 0.5f - drawMatrix._42,
                      owner->world._43 - drawMatrix._43);
  if (D3DXVec3Length(&toChest) < 0.1f) {
    destroyed = 1;
    return;
  }
  D3DXVec3Normalize(&toChest, &toChest);
  drawMatrix._41 += toChest.x * 0.05f;
  drawMatrix._42 += toChest.y * 0.05f;
  drawMatrix._43 += toChest.z * 0.05f;
  D3DXMATRIX shrink;
  D3DXMatrixScaling(&shrink, 0.95f, 0.95f, 0.95f);
  drawMatrix = shrink * drawMatrix;
}

// The glow in the orb's colour, a thin outline, then the pillars added on top.
void CGameMagicOrb::Draw()
{
  CShaderManager* shaders = CShaderManager::GetInstance();
  CToonShader& toon = shaders->toon;
  if (toon.effect && mesh) {
    const D3DXVECTOR4 emissive =
        kind == Red ? D3DXVECTOR4(glow, 0.0f, 0.0f, 1.0f) : D3DXVECTOR4(0.0f, 0.0f, glow, 1.0f);
    toon.effect->SetVector("g_force_emissive", &emissive);
    toon.effect->SetMatrix("g_world_mat", &drawMatrix);
    toon.DrawMesh(*mesh, reflectPower, 0.0f);
    const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
    toon.effect->SetVector("g_force_emissive", &none);
  }
  if (shaders->outline.effect && mesh) {
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    shaders->outline.effect->SetMatrix("g_world_mat", &drawMatrix);
    shaders->outline.DrawMesh(*mesh, outlineWidth, &black);
  }
  if (kind != Red || taken || !beamTexture) return;
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->SetAdditiveBlend();
  beamAngle = 0.0f;
  for (int i = 0; i < 4; ++i) {
    D3DXMATRIX turn, drop;
    D3DXMatrixRotationY(&turn, beamAngle * degreesToRadians);
    D3DXMatrixTranslation(&drop, 0.0f, -1.0f, 0.0f);
    beamMatrix = turn * drop * drawMatrix;
    beamAngle += 90.0f;
    graphics->DrawTexturedQuad(beamQuad, *beamTexture, &beamMatrix);
  }
  graphics->device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  graphics->device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  graphics->device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// The drawn pose, so the shadow shrinks with the orb.
void CGameMagicOrb::DrawShadow()
{
  if (!mesh) return;
  CShadowMapShader& shadowMap = CShaderManager::GetInstance()->shadowMap;
  if (!shadowMap.effect) return;
  shadowMap.effect->SetMatrix("g_world_mat", &drawMatrix);
  shadowMap.DrawMesh(*mesh);
}
