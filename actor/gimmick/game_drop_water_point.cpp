// CGameDropWaterPoint: ripples, drops, the reflection pass and the puddle surface.
#include "actor/gimmick/game_drop_water_point.h"

#include "app/game_random.h"
#include "effect/effect_base.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string dropWaterPointName = "CGameDropWaterPoint";

// The horizontal-and-vertical distance between two translation rows.
float Distance(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
  const D3DXVECTOR3 offset(a._41 - b._41, a._42 - b._42, a._43 - b._43);
  return D3DXVec3Length(&offset);
}

// One component of the ripple scroll, kept within 0..1.
float WrapUnit(float value)
{
  if (value < 0.0f) return value + 1.0f;
  if (value > 1.0f) return value - 1.0f;
  return value;
}
}  // namespace

// The reflection range is the inherited radius.
CGameDropWaterPoint::CGameDropWaterPoint(const D3DXMATRIX& placement)
{
  world = placement;
  radius = 5.0f;
}

// "CGameDropWaterPoint".
const std::string& CGameDropWaterPoint::GetName() const
{
  return dropWaterPointName;
}

// Nothing of its own.
CGameDropWaterPoint::~CGameDropWaterPoint() = default;

// The first drop falls in the first frame; later ones every 180 to 359 frames.
void CGameDropWaterPoint::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || scene->paused || scene->escapeOpen) return;
  ScrollRipples();
  dropTimer -= 1;
  if (dropTimer > 0) return;
  D3DXMATRIX start = world;
  start._42 = dropHeight;
  scene->AddDropWater(start);
  dropTimer = dropInterval + GameRandom().Below(dropInterval);
}

// Both offsets wrap, so the wave texture scrolls for ever.
void CGameDropWaterPoint::ScrollRipples()
{
  rippleOffset.x = WrapUnit(rippleOffset.x + rippleSpeed.x);
  rippleOffset.y = WrapUnit(rippleOffset.y + rippleSpeed.y);
}

// Holding Q hides the puddle; inside another puddle's reflection none is drawn, so
// two puddles never mirror each other.
void CGameDropWaterPoint::Draw()
{
  if (GetAsyncKeyState('Q') & 0x8000) return;
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (shaders->puddlePass) return;
  CPuddleShader& puddle = shaders->puddle;
  // Out of view, none of it is drawn, and its reflection need not be either.
  RECT area = {};
  if (!puddle.ReadArea(world, &area)) return;
  RenderReflection(area);
  puddle.BlurReflection(area);
  if (!puddle.effect) return;
  puddle.effect->SetTexture("g_reflect_tex", puddle.reflectionTarget.texture);
  // At the light setting there is no blurred copy: the sharp reflection stands in, since
  // a target never made would mix black into the water.
  puddle.effect->SetTexture("g_blur_tex", puddle.BlurredReflection().texture);
  puddle.effect->SetValue("g_tex_offset", &rippleOffset, 8);
  puddle.effect->SetMatrix("g_world_mat", &world);
  puddle.DrawMesh();
}

// A puddle has no shadow to cast.
void CGameDropWaterPoint::DrawShadow()
{
}

// The mirror plane runs through the puddle; actors first, then the effects added on.
void CGameDropWaterPoint::RenderReflection(const RECT& area)
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  CShaderManager* shaders = CShaderManager::GetInstance();
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  shaders->puddlePoint = D3DXVECTOR3(world._41, world._42, world._43);
  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  shaders->puddle.BeginReflection(light, area);
  for (size_t i = 0; i < scene->actors.size(); ++i) {
    if (ReflectsActor(*scene->actors[i])) scene->actors[i]->Draw();
  }
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  for (size_t i = 0; i < scene->effects.size(); ++i) {
    if (ReflectsEffect(*scene->effects[i])) scene->effects[i]->Draw();
  }
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  shaders->puddle.EndReflection();
}

// The map is the floor the puddle lies on; mirroring it would fill the puddle.
bool CGameDropWaterPoint::ReflectsActor(const CActorBase& actor) const
{
  if (actor.world._42 < world._42 - depthTolerance) return false;
  if (Distance(actor.world, world) > radius) return false;
  const std::string& name = actor.GetName();
  return name != "CGameMap" && name != "CGameDebug" && name != "CGameCamera" && name != dropWaterPointName;
}

// A ray crossing the room shows in the water wherever it starts.
bool CGameDropWaterPoint::ReflectsEffect(const CEffectBase& effect) const
{
  if (effect.world._42 < world._42 - depthTolerance) return false;
  return Distance(effect.world, world) <= radius || effect.GetName() == "CEffectMagicRay";
}
