// CGameTorch: the crackle, the fire request, settling and drawing.
#include "actor/gimmick/game_torch.h"

#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameTorchName = "CGameTorch";
}  // namespace

// The crackle is positioned: it is heard from the player's place.
CGameTorch::CGameTorch(const D3DXMATRIX& placement)
{
  world = placement;
  height = 0.6f;
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  mesh = graphics->GetMesh(graphics->device, "res/game/object/torch.x");
  torchSound = std::make_unique<OstrelLibrary::CSound>();
  torchSound->Load3D("res/sound/torch_fire.wav");
}

// "CGameTorch".
const std::string& CGameTorch::GetName() const
{
  return gameTorchName;
}

// Its own sound; the base releases the rest.
CGameTorch::~CGameTorch()
{
  torchSound.reset();
}

// The fire is asked for before settling, so it comes the frame after the torch lands.
void CGameTorch::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  if (scene->paused || scene->escapeOpen) {
    torchSound->Stop();
    return;
  }
  RefreshPlayerLink();
  TorchSound();
  LightFire();
  SettleOnGround(world);
}

// Looping while the player is within hearing and nothing scripted runs.
void CGameTorch::TorchSound()
{
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!owner || !scene) return;
  const D3DXVECTOR3 at(world._41, world._42, world._43);
  const D3DXVECTOR3 offset = D3DXVECTOR3(owner->world._41, owner->world._42, owner->world._43) - at;
  if (D3DXVec3Length(&offset) > hearingDistance || scene->cameraEvent || scene->goalReached || scene->orbObtained) {
    torchSound->Stop();
    return;
  }
  torchSound->Play3D(owner->world, at, DSBPLAY_LOOPING);
}

// Only a settled torch has its fire.
void CGameTorch::LightFire()
{
  if (!settled || !fireRequest) return;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  scene->AddTorchFire(world);
  fireRequest = 0;
}

// Toon with the usual black outline.
void CGameTorch::Draw()
{
  if (!mesh) return;
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (shaders->toon.effect) {
    shaders->toon.effect->SetMatrix("g_world_mat", &world);
    shaders->toon.DrawMesh(*mesh, 0.0f, 0.0f);
  }
  if (shaders->outline.effect) {
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    shaders->outline.effect->SetMatrix("g_world_mat", &world);
    shaders->outline.DrawMesh(*mesh, 0.025f, &black);
  }
}
