// CGameMetalBlock: its frame under magic and gravity, and its drawing.
#include "actor/gimmick/game_metal_block.h"

#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {

const std::string metalBlockName = "CGameMetalBlock";

// The translation row of a matrix.
D3DXVECTOR3 PositionOf(const D3DXMATRIX& matrix)
{
  return D3DXVECTOR3(matrix._41, matrix._42, matrix._43);
}

// Flattened to the floor plane and normalised.
D3DXVECTOR3 Horizontal(D3DXVECTOR3 direction)
{
  direction.y = 0.0f;
  D3DXVec3Normalize(&direction, &direction);
  return direction;
}

}  // namespace

// A 3-unit cube standing on its origin.
CGameMetalBlock::CGameMetalBlock(const D3DXMATRIX& placement) : trailingSound(std::make_unique<OstrelLibrary::CSound>())
{
  world = placement;
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  mesh = graphics->GetMesh(graphics->device, "res/game/object/metal_block.x");
  blueHitMesh = graphics->GetMesh(graphics->device, "res/game/object/blue_hit_block.x");
  redHitMesh = graphics->GetMesh(graphics->device, "res/game/object/red_hit_block.x");
  radius = 1.5f;
  height = 1.5f;
  fallSpeed = 0.2f;
  specularPower = 2.15f;
  specularCamera = 0.35f;
  sound = std::make_unique<OstrelLibrary::CSound>();
  sound->Load3D("res/sound/block_landing.wav");
  trailingSound->Load3D("res/sound/trailing.wav");
}

// "CGameMetalBlock".
const std::string& CGameMetalBlock::GetName() const
{
  return metalBlockName;
}

// The block owns the scraping sound; the base deletes the landing sound.
CGameMetalBlock::~CGameMetalBlock()
{
  trailingSound.reset();
}

// Frozen and silent while the scene is halted.
void CGameMetalBlock::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || scene->paused || scene->escapeOpen) {
    trailingSound->Stop();
    return;
  }
  RefreshPlayerLink();
  const std::shared_ptr<CActorBase> owner = player.lock();
  if (magicColour != None && owner) {
    trailingSound->Play3D(owner->world, PositionOf(world), DSBPLAY_LOOPING);
  } else {
    trailingSound->Stop();
  }
  AttractStep();
  RepelStep();
  FallAndLand(world, cornerOffset);
  PlayLandingFeedback(PositionOf(world), 3.5f, 1.0f);
  if (magicColour != None) {
    hitScroll += 0.0015f;
    if (hitScroll > 1.0f) hitScroll -= 1.0f;
  }
  if (!hitGlowFalling) {
    hitGlow += 0.02f;
    if (hitGlow > 1.0f) {
      hitGlow = 1.0f;
      hitGlowFalling = 1;
    }
  } else {
    hitGlow -= 0.02f;
    if (hitGlow < 0.3f) {
      hitGlow = 0.3f;
      hitGlowFalling = 0;
    }
  }
}

// Along the reversed line of sight, or straight at the player when the player is above
// the block's middle; it stops (and falls silent) 3.0 from the player.
void CGameMetalBlock::AttractStep()
{
  if (magicColour != Blue) return;
  const std::shared_ptr<CActorBase> owner = player.lock();
  if (!owner) return;
  const D3DXVECTOR3 playerAt = PositionOf(owner->world);
  const D3DXVECTOR3 blockAt = PositionOf(world);
  D3DXVECTOR3 direction = -aimDirection;
  if (playerAt.y > blockAt.y + height * 0.5f) direction = playerAt - blockAt;
  direction = Horizontal(direction);
  const D3DXVECTOR3 between = playerAt - blockAt;
  if (D3DXVec3Length(&between) <= 2.0f * radius) {
    trailingSound->Stop();
    return;
  }
  ProbeWalls(direction);
  Slide(direction);
}

// A player standing on the block is launched instead of the block moving.
void CGameMetalBlock::RepelStep()
{
  if (magicColour != Red) return;
  const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
  const std::shared_ptr<CActorBase> owner = player.lock();
  const D3DXVECTOR3 direction = Horizontal(aimDirection);
  if (owner) {
    const D3DXVECTOR3 p = PositionOf(owner->world);
    const D3DXVECTOR3 b = PositionOf(world);
    const bool onTop =
        p.y >= b.y + height && p.x >= b.x - radius && p.x <= b.x + radius && p.z >= b.z - radius && p.z <= b.z + radius;
    if (onTop) {
      if (magic) magic->launchDirection = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
      trailingSound->Stop();
      return;
    }
  }
  ProbeWalls(direction);
  Slide(direction);
}

// Four corners at mid height along the way, then the centre in the four axis
// directions with the full half-width as clearance.
void CGameMetalBlock::ProbeWalls(const D3DXVECTOR3& direction)
{
  const D3DXVECTOR3 at = PositionOf(world);
  const float y = at.y + height * 0.5f;
  const D3DXVECTOR3 corners[4] = {{at.x + cornerOffset, y, at.z + cornerOffset},
                                  {at.x + cornerOffset, y, at.z - cornerOffset},
                                  {at.x - cornerOffset, y, at.z - cornerOffset},
                                  {at.x - cornerOffset, y, at.z + cornerOffset}};
  for (const D3DXVECTOR3& corner : corners) PushOutOfWall(world, 0.1f, corner, direction);
  const D3DXVECTOR3 axes[4] = {{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}, {-1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}};
  for (const D3DXVECTOR3& axis : axes) PushOutOfWall(world, radius, at, axis);
}

// Pre-multiplied, so the step is taken in world space.
void CGameMetalBlock::Slide(const D3DXVECTOR3& direction)
{
  D3DXMATRIX step;
  D3DXMatrixTranslation(&step, direction.x * pushSpeed, direction.y * pushSpeed, direction.z * pushSpeed);
  world = step * world;
}

// Specular for metal, a black outline, and the overlay while magic is held.
void CGameMetalBlock::Draw()
{
  CShaderManager* shaders = CShaderManager::GetInstance();
  CToonShader& toon = shaders->toon;
  if (!mesh) return;
  if (toon.effect) {
    toon.effect->SetFloat("g_spe_power_magnification", specularPower);
    toon.effect->SetFloat("g_spe_camera_magnification", specularCamera);
    toon.effect->SetMatrix("g_world_mat", &world);
    toon.DrawMesh(*mesh, reflectPower, 0.0f);
    toon.effect->SetFloat("g_spe_power_magnification", 1.0f);
  }
  if (shaders->outline.effect) {
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    shaders->outline.effect->SetMatrix("g_world_mat", &world);
    shaders->outline.DrawMesh(*mesh, 0.025f, &black);
  }
  const OstrelLibrary::CMesh* overlay = nullptr;
  if (magicColour == Red) overlay = redHitMesh.get();
  if (magicColour == Blue) overlay = blueHitMesh.get();
  DrawHitOverlay(world, overlay);
}
