// The list every stage shares and the one-a-frame loading of it.
#include "scene/stage_preload.h"

#include "engine/graphics.h"

// The game scene's sprites but the two whose picture depends on the stage (its title and
// the magic's explanation), the two rays and charges, the player's parts.
const std::vector<std::string>& CStagePreload::Paths()
{
  static const std::vector<std::string> paths = {
      "res/game/sprite/alignment.png",
      "res/game/sprite/click_to_close.png",
      "res/game/sprite/space_skip.png",
      "res/game/sprite/stage_clear.png",
      "res/game/sprite/text_box.png",
      "res/game/sprite/do_you_to_title.png",
      "res/game/sprite/no.png",
      "res/game/sprite/pause.png",
      "res/game/sprite/restart.png",
      "res/game/sprite/retry.png",
      "res/game/sprite/to_title.png",
      "res/game/sprite/yes.png",
      "res/game/sprite/title_end.png",
      "res/game/sprite/title_ray.png",
      "res/game/effect/blue_charge.png",
      "res/game/effect/red_charge.png",
      "res/game/effect/blue_ray.png",
      "res/game/effect/red_ray.png",
      "res/game/player/player_arm.x",
      "res/game/player/player_left_foot.x",
      "res/game/player/player_right_foot.x",
      "res/game/player/player_body.x",
      "res/game/player/player_head.x",
      "res/game/player/player_default_eye.x",
      "res/game/player/player_glee_eye.x",
  };
  return paths;
}

// One load at most per call: an asset already cached (a stage played before) costs a lookup.
bool CStagePreload::LoadNext()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  if (!graphics->device) return false;
  const std::vector<std::string>& paths = Paths();
  while (next < paths.size()) {
    const std::string& path = paths[next++];
    const bool isMesh = path.ends_with(".x");
    if (isMesh ? graphics->meshCache.count(path) != 0 : graphics->textureCache.count(path) != 0) continue;
    if (isMesh)
      graphics->GetMesh(graphics->device, path);
    else
      graphics->GetTexture(graphics->device, path);
    return true;
  }
  return false;
}
