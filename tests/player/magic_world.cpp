// The magic world: the four switchable effects in the scene, the magic state at hand.
#include "magic_world.h"

#include "sprite/sprite_base.h"

// Built after the player's first frame, which made the magic state.
void MagicWorld::SetUp()
{
  PlayerWorld::SetUp();
  if (HasFatalFailure()) return;
  magic = LockMagicState();
  ASSERT_NE(magic, nullptr);
  blueRay = std::make_shared<CEffectMagicRay>(Blue);
  redRay = std::make_shared<CEffectMagicRay>(Red);
  blueCharge = std::make_shared<CEffectMagicCharge>(Blue);
  redCharge = std::make_shared<CEffectMagicCharge>(Red);
  scene->effects = {blueRay, redRay, blueCharge, redCharge};
  CEffectBase::currentScene = scene;
  CSpriteBase::currentScene = scene;
}

// The effects go with the scene.
void MagicWorld::TearDown()
{
  magic.reset();
  blueRay.reset();
  redRay.reset();
  blueCharge.reset();
  redCharge.reset();
  PlayerWorld::TearDown();
}

// As the window messages set them.
void MagicWorld::Buttons(int left, int right)
{
  application->input.leftButton = left;
  application->input.rightButton = right;
}

// Through the stage's own class and meshes.
std::shared_ptr<CGameMetalBlock> MagicWorld::AddMetalBlock(float x, float y, float z)
{
  D3DXMATRIX placement;
  D3DXMatrixTranslation(&placement, x, y, z);
  auto block = std::make_shared<CGameMetalBlock>(placement);
  scene->actors.push_back(block);
  return block;
}

// The position matrix carries the feet.
void MagicWorld::PlacePlayer(float x, float y, float z)
{
  D3DXMatrixTranslation(&player->position, x, y, z);
}
