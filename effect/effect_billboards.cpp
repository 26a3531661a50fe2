// The billboard effects: blast, landing dust, water drop and torch flame.
#include "effect/effect_billboards.h"

#include <algorithm>
#include <cstdlib>

#include "actor/actor_base.h"
#include "actor/player/game_player.h"
#include "app/game_random.h"
#include "scene/scene_game.h"

namespace {

const std::string blastName = "CEffectBlast";
const std::string dustName = "CEffectFugitiveDust";
const std::string dropName = "CEffectDropWater";
const std::string fireName = "CEffectTorchFire";

// A pure translation to the matrix's translation row.
D3DXMATRIX TranslationOf(const D3DXMATRIX& matrix)
{
  D3DXMATRIX result;
  D3DXMatrixTranslation(&result, matrix._41, matrix._42, matrix._43);
  return result;
}

// One step of a strip that advances every frameDelay frames and ends after its last cell.
void StepOnce(CEffectBase& effect)
{
  effect.frameTimer += 1;
  if (effect.frameTimer >= effect.frameDelay) {
    effect.frameTimer = 0;
    effect.AnimateOnce();
  }
}

}  // namespace

// 18 cells of 128 pixels, two frames each, a seventh of the picture's size.
CEffectBlast::CEffectBlast(const D3DXMATRIX& placement)
{
  baseMatrix = TranslationOf(placement);
  texture = LoadEffectTexture("res/game/effect/blast.png");
  lastFrame = 17.0f;
  frameWidth = 128.0f;
  frameDelay = 2;
  SetQuad(TextureWidth() / 18.0f / 7.0f, TextureHeight() / 7.0f, false);
}

// "CEffectBlast".
const std::string& CEffectBlast::GetName() const
{
  return blastName;
}

// Held while the scene is halted.
void CEffectBlast::Update()
{
  if (IsSceneHalted()) return;
  Billboard();
  StepOnce(*this);
}

// Depth off: the blast is never hidden behind the geometry it breaks.
void CEffectBlast::Draw()
{
  if (finished) return;
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (!device) return;
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  DrawQuad();
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

// The cloud stands on its bottom edge, `drop` below the position, scaled in x and y.
CEffectFugitiveDust::CEffectFugitiveDust(const D3DXVECTOR3& position, float scale, float dropBy) : drop(dropBy)
{
  D3DXMatrixTranslation(&baseMatrix, position.x, position.y, position.z);
  baseMatrix._42 -= dropBy;
  size = scale;
  D3DXMatrixScaling(&scaleMatrix, scale, scale, 1.0f);
  texture = LoadEffectTexture("res/game/effect/fugitive_dust.png");
  lastFrame = 11.0f;
  frameWidth = 180.0f;
  frameDelay = 2;
  SetQuad(TextureWidth() / 12.0f / 100.0f, TextureHeight() / 100.0f, true);
}

// "CEffectFugitiveDust".
const std::string& CEffectFugitiveDust::GetName() const
{
  return dustName;
}

// The scale is applied in the quad's own frame, before the billboard turn.
void CEffectFugitiveDust::Update()
{
  if (IsSceneHalted()) return;
  Billboard();
  world = scaleMatrix * world;
  StepOnce(*this);
}

// Nothing once the last cell has been shown.
void CEffectFugitiveDust::Draw()
{
  if (finished) return;
  DrawQuad();
}

// Cell 0 while falling, cell 1 when splashing; starts invisible.
CEffectDropWater::CEffectDropWater(const D3DXMATRIX& placement) : dropSound(std::make_unique<OstrelLibrary::CSound>())
{
  baseMatrix = TranslationOf(placement);
  D3DXMatrixIdentity(&splashMatrix);
  texture = LoadEffectTexture("res/game/effect/drop_water.png");
  lastFrame = 1.0f;
  frameWidth = 371.0f;
  SetQuad(TextureWidth() * 0.5f / 1000.0f, TextureHeight() / 1000.0f, false, 0x00FFFFFF);
  dropSound->Load3D("res/sound/drop_water.wav");
}

// "CEffectDropWater".
const std::string& CEffectDropWater::GetName() const
{
  return dropName;
}

// The drop owns its sound.
CEffectDropWater::~CEffectDropWater()
{
  dropSound.reset();
}

// Falling, then splashing, then the vertex alpha and the cell.
void CEffectDropWater::Update()
{
  if (IsSceneHalted()) return;
  if (frameIndex == fallFrame) {
    alpha = std::min(alpha + alphaStep, 255);
    baseMatrix._42 -= fallSpeed;
    if (HitsSurface()) {
      SplashSound();
      frameIndex = splashFrame;
      baseMatrix._42 += splashLift;
    }
  }
  if (frameIndex == splashFrame) {
    D3DXMATRIX growth;
    D3DXMatrixScaling(&growth, splashGrowth, splashGrowth, splashGrowth);
    splashMatrix = growth * splashMatrix;
    alpha -= alphaStep;
    if (alpha <= 0) finished = 1;
  }
  const D3DCOLOR vertexColour = (static_cast<D3DCOLOR>(std::max(alpha, 0)) << 24) | 0x00FFFFFF;
  for (OstrelLibrary::TexturedVertex& vertex : quad) vertex.colour = vertexColour;
  SetCellCoordinates();
}

// Straight down from the drop, in each actor's own space; the first hit within a step wins.
bool CEffectDropWater::HitsSurface() const
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return false;
  const D3DXVECTOR3 origin(baseMatrix._41, baseMatrix._42, baseMatrix._43);
  const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    float distance = 0.0f;
    if (actor->IntersectWorldRay(origin, down, &distance, nullptr) && distance <= fallSpeed) return true;
  }
  return false;
}

// Restarted at the drop with the player as listener.
void CEffectDropWater::SplashSound()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  const std::shared_ptr<CActorBase> player = scene ? scene->GetPlayer().lock() : nullptr;
  if (!scene || !player || scene->cameraEvent || scene->goalReached || scene->orbObtained) return;
  const D3DXVECTOR3 at(baseMatrix._41, baseMatrix._42, baseMatrix._43);
  const D3DXVECTOR3 offset = at - D3DXVECTOR3(player->world._41, player->world._42, player->world._43);
  if (D3DXVec3Length(&offset) > hearingDistance) return;
  dropSound->Stop();
  dropSound->Play3D(player->world, at, 0);
}

// Mirrored in the puddle like the torches; grows while it splashes.
void CEffectDropWater::Draw()
{
  BillboardReflected();
  world = splashMatrix * world;
  DrawQuad();
  RestoreCullAfterReflection();
}

// Fires of different torches start at different cells.
CEffectTorchFire::CEffectTorchFire(const D3DXMATRIX& torch) : torchMatrix(torch)
{
  baseMatrix = torch;
  texture = LoadEffectTexture("res/game/effect/fire.png");
  lastFrame = 32.0f;
  frameWidth = 30.0f;
  frameIndex = GameRandom().Below(32);
  SetQuad(TextureWidth() / 33.0f / 50.0f, TextureHeight() / 50.0f, true);
}

// "CEffectTorchFire".
const std::string& CEffectTorchFire::GetName() const
{
  return fireName;
}

// One cell a frame, standing above the torch's head.
void CEffectTorchFire::Update()
{
  if (IsSceneHalted()) return;
  D3DXMatrixTranslation(&baseMatrix, torchMatrix._41, torchMatrix._42 + flameHeight, torchMatrix._43);
  Billboard();
  AnimateLoop();
}

// Drawn twice over itself so the additive flame burns brighter.
void CEffectTorchFire::Draw()
{
  BillboardReflected();
  DrawQuad();
  DrawQuad();
  RestoreCullAfterReflection();
}
