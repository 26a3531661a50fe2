// CEffectParticle and CEffectRing: toon-drawn glowing meshes along the magic beam.
#include "effect/effect_mesh.h"

#include "actor/actor_base.h"
#include "effect/effect_magic_ray.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {

const std::string particleName = "CEffectParticle";
const std::string ringName = "CEffectRing";

// The shared mesh for a path from the engine's cache.
std::shared_ptr<OstrelLibrary::CMesh> LoadEffectMesh(const std::string& path)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  return graphics->GetMesh(graphics->device, path);
}

// Unlit, at the alpha and emissive given, then the toon effect's defaults back.
void DrawGlowingMesh(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& world, float alpha,
                     const D3DXVECTOR4& emissive)
{
  CToonShader& toon = CShaderManager::GetInstance()->toon;
  if (!mesh || !toon.effect) return;
  toon.effect->SetBool("g_light_enable", FALSE);
  toon.effect->SetFloat("g_alpha", alpha);
  toon.effect->SetVector("g_force_emissive", &emissive);
  toon.effect->SetMatrix("g_world_mat", &world);
  toon.DrawMesh(*mesh, 0.0f, 0.0f);
  const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
  toon.effect->SetVector("g_force_emissive", &none);
  toon.effect->SetFloat("g_alpha", 1.0f);
  toon.effect->SetBool("g_light_enable", TRUE);
}

}  // namespace

// Born where the ray put it.
CEffectParticle::CEffectParticle(const D3DXMATRIX& placement, int magicColour)
{
  mesh = LoadEffectMesh(magicColour == Red ? "res/game/effect/red_particle.x" : "res/game/effect/blue_particle.x");
  colour = magicColour;
  baseMatrix = placement;
  world = placement;
}

// "CEffectParticle".
const std::string& CEffectParticle::GetName() const
{
  return particleName;
}

// The growth compounds; the pose stays where the particle was born.
void CEffectParticle::Update()
{
  if (IsSceneHalted()) return;
  D3DXMATRIX grow;
  D3DXMatrixScaling(&grow, growth, growth, growth);
  scaleMatrix = grow * scaleMatrix;
  alpha -= fadeStep;
  if (alpha <= 0.0f) finished = 1;
  world = scaleMatrix * baseMatrix;
}

// Red or blue emissive at the glow strength.
void CEffectParticle::Draw()
{
  const D3DXVECTOR4 emissive = colour == Red ? D3DXVECTOR4(glowStrength, 0.0f, 0.0f, glowStrength)
                                             : D3DXVECTOR4(0.0f, 0.0f, glowStrength, glowStrength);
  DrawGlowingMesh(mesh.get(), world, alpha, emissive);
}

// A locked blue ray flows towards the hand, so its rings run from the head back; all
// other rings run from the hand out. Without a ray of its colour the ring stays put.
CEffectRing::CEffectRing(int magicColour)
{
  mesh = LoadEffectMesh("res/game/effect/ring.x");
  colour = magicColour;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  const CEffectMagicRay* ray = nullptr;
  if (scene) {
    for (const std::shared_ptr<CEffectBase>& effect : scene->effects) {
      if (effect->GetName() == "CEffectMagicRay" && effect->colour == colour) {
        ray = static_cast<const CEffectMagicRay*>(effect.get());
        break;
      }
    }
  }
  if (!ray) return;
  const bool towardsHand = ray->scrollDirection == 1;
  const D3DXMATRIX& from = towardsHand ? ray->headMatrix : ray->originMatrix;
  const D3DXMATRIX& to = towardsHand ? ray->originMatrix : ray->headMatrix;
  D3DXQuaternionRotationMatrix(&startRotation, &from);
  D3DXQuaternionRotationMatrix(&endRotation, &to);
  startPosition = D3DXVECTOR3(from._41, from._42, from._43);
  endPosition = D3DXVECTOR3(to._41, to._42, to._43);
  D3DXMatrixRotationQuaternion(&world, &startRotation);
  world._41 = startPosition.x;
  world._42 = startPosition.y;
  world._43 = startPosition.z;
}

// "CEffectRing".
const std::string& CEffectRing::GetName() const
{
  return ringName;
}

// Slerped turn, straight slide, linear fade.
void CEffectRing::Update()
{
  if (IsSceneHalted()) return;
  progress += 0.01f;
  if (progress > 1.0f) {
    finished = 1;
    return;
  }
  D3DXQuaternionSlerp(&rotation, &startRotation, &endRotation, progress);
  D3DXMatrixRotationQuaternion(&world, &rotation);
  position = startPosition + (endPosition - startPosition) * progress;
  world._41 = position.x;
  world._42 = position.y;
  world._43 = position.z;
  alpha = 1.0f - progress;
}

// The same warm glow for both colours: the ring reads as light on the beam.
void CEffectRing::Draw()
{
  DrawGlowingMesh(mesh.get(), world, alpha, D3DXVECTOR4(0.5f, 0.5f, 0.3f, 1.0f));
}
