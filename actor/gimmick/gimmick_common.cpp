// The gimmicks' shared steps: menus, loading, sounds heard from the player, drawing,
// the hit glow and the actor search.
#include "actor/gimmick/gimmick_common.h"

#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

// No scene counts as halted: nothing may move without a stage to move in.
bool GimmickSceneHalted()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  return !scene || scene->paused || scene->escapeOpen;
}

// The translation row.
D3DXVECTOR3 MatrixPosition(const D3DXMATRIX& matrix)
{
  return D3DXVECTOR3(matrix._41, matrix._42, matrix._43);
}

// Through the graphics' path cache.
std::shared_ptr<OstrelLibrary::CMesh> LoadGimmickMesh(const char* path)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  return graphics->GetMesh(graphics->device, path);
}

// Positional, so the source position and the listener are set at every play.
std::unique_ptr<OstrelLibrary::CSound> LoadPositionalSound(const char* path)
{
  std::unique_ptr<OstrelLibrary::CSound> sound = std::make_unique<OstrelLibrary::CSound>();
  sound->Load3D(path);
  return sound;
}

// The player is the listener of every gimmick sound.
void PlayHeardByPlayer(const CActorBase& actor, OstrelLibrary::CSound* sound, const D3DXVECTOR3& source, DWORD flags)
{
  const std::shared_ptr<CActorBase> listener = actor.player.lock();
  if (!listener || !sound) return;
  sound->Play3D(listener->world, source, flags);
}

// Stop, then play once.
void RestartHeardByPlayer(const CActorBase& actor, OstrelLibrary::CSound* sound, const D3DXVECTOR3& source)
{
  if (!sound) return;
  sound->Stop();
  PlayHeardByPlayer(actor, sound, source, 0);
}

// Nothing without the effect or the mesh.
void ToonDrawAt(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& matrix, float refPower, float uvScroll)
{
  CToonShader& toon = CShaderManager::GetInstance()->toon;
  if (!toon.effect || !mesh) return;
  toon.effect->SetMatrix("g_world_mat", &matrix);
  toon.DrawMesh(*mesh, refPower, uvScroll);
}

// Nothing without the effect or the mesh.
void OutlineAt(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& matrix, float size)
{
  COutlineShader& outline = CShaderManager::GetInstance()->outline;
  if (!outline.effect || !mesh) return;
  const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
  outline.effect->SetMatrix("g_world_mat", &matrix);
  outline.DrawMesh(*mesh, size, &black);
}

// Nothing without the effect or the mesh.
void ShadowAt(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& matrix)
{
  CShadowMapShader& shadowMap = CShaderManager::GetInstance()->shadowMap;
  if (!shadowMap.effect || !mesh) return;
  shadowMap.effect->SetMatrix("g_world_mat", &matrix);
  shadowMap.DrawMesh(*mesh);
}

// Stone gimmicks take the map's ramp; every other actor expects the toon ramp back.
void UseStoneRamp(bool stone)
{
  CToonShader& toon = CShaderManager::GetInstance()->toon;
  const std::shared_ptr<OstrelLibrary::CTexture>& ramp = stone ? toon.realTexture : toon.toonTexture;
  if (toon.effect && ramp) toon.effect->SetTexture("g_toon_tex", ramp->texture);
}

// The scroll wraps at 1; the pulse runs between 0.3 and 1.0 whatever the magic, so
// an overlay starts at whatever phase it has reached.
void StepHitGlow(CActorBase& actor)
{
  if (actor.magicColour != None) {
    actor.hitScroll += 0.0015f;
    if (actor.hitScroll > 1.0f) actor.hitScroll -= 1.0f;
  }
  if (actor.hitGlowFalling == 0) {
    actor.hitGlow += 0.02f;
    if (actor.hitGlow > 1.0f) {
      actor.hitGlow = 1.0f;
      actor.hitGlowFalling = 1;
    }
  } else {
    actor.hitGlow -= 0.02f;
    if (actor.hitGlow < 0.3f) {
      actor.hitGlow = 0.3f;
      actor.hitGlowFalling = 0;
    }
  }
}

// Both has no overlay of its own except on the rotation door, which chooses its own.
const OstrelLibrary::CMesh* HitOverlayMesh(const CActorBase& actor)
{
  if (actor.magicColour == Red) return actor.redHitMesh.get();
  if (actor.magicColour == Blue) return actor.blueHitMesh.get();
  return nullptr;
}

// Copies of the shared pointers, so an actor may act on them freely.
std::vector<std::shared_ptr<CActorBase>> SceneActorsNamed(const std::string& name)
{
  std::vector<std::shared_ptr<CActorBase>> found;
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!scene) return found;
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    if (actor->GetName() == name) found.push_back(actor);
  }
  return found;
}
