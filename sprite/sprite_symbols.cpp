// The HUD's colour symbols: the two pictures, placed by their centres.
#include "sprite/sprite_symbols.h"

#include "effect/effect_magic_ray.h"
#include "scene/scene_game.h"
#include "sprite/sprite_base.h"

namespace {

// How far from the crosshair's centre the lock symbols stand, in pixels.
const float lockOffset = 44.0f;

// The symbol picture of a colour (1 red, 2 blue), or null.
std::shared_ptr<OstrelLibrary::CTexture> SymbolPicture(int colour)
{
  if (colour == 2) return LoadSpriteTexture("res/game/sprite/symbol_blue.png");
  if (colour == 1) return LoadSpriteTexture("res/game/sprite/symbol_red.png");
  return nullptr;
}

// Whether the scene's ray of a colour is out and holding a target.
bool RayHolds(const CSceneGame& scene, int colour)
{
  for (const std::shared_ptr<CEffectBase>& effect : scene.effects) {
    if (!effect || effect->colour != colour || effect->GetName() != "CEffectMagicRay") continue;
    const CEffectMagicRay& ray = static_cast<const CEffectMagicRay&>(*effect);
    if (ray.active && ray.locked) return true;
  }
  return false;
}

}  // namespace

// Translated so that the picture's centre lands on the point.
void DrawColourSymbol(int colour, float x, float y, int alpha)
{
  const std::shared_ptr<OstrelLibrary::CTexture> picture = SymbolPicture(colour);
  if (!picture) return;
  D3DXMATRIX place;
  D3DXMatrixTranslation(&place, x - PictureWidth(picture) * 0.5f, y - PictureHeight(picture) * 0.5f, 0.0f);
  const int opacity = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
  DrawPicture(picture, place, static_cast<D3DCOLOR>(opacity) << 24 | 0xFFFFFF);
}

// Blue on the left and red on the right, as the hands that cast them.
void DrawLockSymbols(const CSceneGame& scene, float x, float y)
{
  if (RayHolds(scene, 2)) DrawColourSymbol(2, x - lockOffset, y, 255);
  if (RayHolds(scene, 1)) DrawColourSymbol(1, x + lockOffset, y, 255);
}
