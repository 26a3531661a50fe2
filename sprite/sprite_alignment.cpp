// CSpriteAlignment: the crosshair's frame and drawing.
#include "sprite/sprite_alignment.h"

#include "actor/colour_symbols.h"
#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "sprite/sprite_symbols.h"

namespace {

// The classes a magic ray can hold.
bool IsAimTarget(const std::string& name)
{
  return name == "CGameMetalBlock" || name == "CGameLiver" || name == "CGameMetalLift" || name == "CGameCannon" ||
         name == "CGameRotationDoor";
}

}  // namespace

// The picture's top-left corner puts its middle on the back buffer's.
CSpriteAlignment::CSpriteAlignment()
{
  texture = LoadSpriteTexture("res/game/sprite/alignment.png");
  const OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const float x = static_cast<float>(graphics->presentParameters.BackBufferWidth) * 0.5f - PictureWidth(texture) * 0.5f;
  const float y =
      static_cast<float>(graphics->presentParameters.BackBufferHeight) * 0.5f - PictureHeight(texture) * 0.5f;
  D3DXMatrixTranslation(&positionMatrix, x, y, 0.0f);
  transform = positionMatrix;
}

// Once ready it stays ready. Without a camera in the list the state keeps its value.
void CSpriteAlignment::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  if (!magicReady) {
    const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
    if (magic) magicReady = magic->blueUnlocked;
  }
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    if (actor->GetName() != "CGameCamera") continue;
    state = IsAimTarget(static_cast<const CGameCamera&>(*actor).aimedName) ? 1 : 0;
    break;
  }
  const D3DXVECTOR3& scale = state == 1 ? aimScale : normalScale;
  colour = state == 1 ? 0xFFFF0000 : 0xFFFFFFFF;
  D3DXMatrixScaling(&scaleMatrix, scale.x, scale.y, scale.z);
  transform = scaleMatrix * positionMatrix;
}

// Hidden during menus, the opening, the goal and the orb message; the symbols of the
// colours holding a target stand beside it when asked for.
void CSpriteAlignment::Draw()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || !magicReady) return;
  if (scene->paused || scene->escapeOpen || scene->cameraEvent || scene->goalReached || scene->orbObtained) return;
  DrawPicture(texture, transform, colour);
  if (ColourSymbolsShown()) {
    const float size = PictureWidth(texture);
    DrawLockSymbols(*scene, transform._41 + size * transform._11 * 0.5f, transform._42 + size * transform._22 * 0.5f);
  }
}
