// The magic routes' helpers.
#include "magic_route.h"

#include <fstream>

#include "actor/player/game_player.h"
#include "engine/graphics.h"
#include "engine/mesh.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "test_seam.h"

namespace fs = std::filesystem;

// The arena's files: the map meshes go beside the stage maps, the stage file to dat/.
void MagicRoute::LinkArenaAsStageThree()
{
  const fs::path game = "res/game";
  ASSERT_TRUE(fs::is_symlink(game)) << "the scratch res/game links the generated content";
  gameLink = fs::read_symlink(game);
  const fs::path arena = gameLink.parent_path() / "test" / "stage";
  fs::remove(game);
  fs::create_directories(game / "map");
  for (const fs::directory_entry& entry : fs::directory_iterator(gameLink)) {
    if (entry.path().filename() != "map") fs::create_symlink(entry.path(), game / entry.path().filename());
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(gameLink / "map")) {
    const std::string name = entry.path().filename().string();
    if (name != "map.3.x" && name != "depth_map.3.x") fs::create_symlink(entry.path(), game / "map" / name);
  }
  fs::create_symlink(arena / "map.3.x", game / "map" / "map.3.x");
  fs::create_symlink(arena / "depth_map.3.x", game / "map" / "depth_map.3.x");
  fs::copy_file(arena / "map.3.dat", "res/dat/map.3.dat", fs::copy_options::overwrite_existing);
}

// The link back, the stage file gone, and the arena's meshes out of the cache so a
// later stage 3 loads its own.
void MagicRoute::TearDown()
{
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, false);
  PlaythroughTest::TearDown();
  if (gameLink.empty()) return;
  fs::remove_all("res/game");
  fs::create_symlink(gameLink, "res/game");
  fs::remove("res/dat/map.3.dat");
  const fs::path built = gameLink.parent_path() / "dat" / "map.3.dat";
  if (fs::exists(built)) fs::copy_file(built, "res/dat/map.3.dat");
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->meshCache.erase("res/game/map/map.3.x");
  graphics->meshCache.erase("res/game/map/depth_map.3.x");
}

// As a player who cleared the stage before would: the saved number, then Continue.
bool MagicRoute::ContinueAtStage(int stage)
{
  std::ofstream("res/dat/save.dat", std::ios::binary) << stage << "\r\n";
  application->LoadSaveData();
  Frames(30);
  Click();
  Frames(1);
  if (!Title() || Title()->titleState != 1) {
    ADD_FAILURE() << Report("the click to open the title menu");
    return false;
  }
  Frames(6);
  ClickButton("res/title/char/continue.png");
  return WaitFor([&] { return Game() != nullptr; }, 80, "the stage to start after Continue");
}

// Through the window messages, as the mouse would.
void MagicRoute::Button(int virtualKey, bool down)
{
  Win32TestMouseButton(virtualKey, down);
}

// The first ray of the colour in the effect list.
CEffectMagicRay* MagicRoute::Ray(int colour) const
{
  const std::shared_ptr<CSceneGame> game = Game();
  if (!game) return nullptr;
  for (const std::shared_ptr<CEffectBase>& effect : game->effects) {
    if (effect->GetName() == "CEffectMagicRay" && effect->colour == colour) {
      return static_cast<CEffectMagicRay*>(effect.get());
    }
  }
  return nullptr;
}

// The first charge of the colour in the effect list.
CEffectMagicCharge* MagicRoute::Charge(int colour) const
{
  const std::shared_ptr<CSceneGame> game = Game();
  if (!game) return nullptr;
  for (const std::shared_ptr<CEffectBase>& effect : game->effects) {
    if (effect->GetName() == "CEffectMagicCharge" && effect->colour == colour) {
      return static_cast<CEffectMagicCharge*>(effect.get());
    }
  }
  return nullptr;
}

// Counted in list order, as the stage file placed them.
CGameMetalBlock* MagicRoute::Block(int n) const
{
  const std::shared_ptr<CSceneGame> game = Game();
  if (!game) return nullptr;
  for (const std::shared_ptr<CActorBase>& actor : game->actors) {
    if (actor->GetName() != "CGameMetalBlock") continue;
    if (n-- == 0) return static_cast<CGameMetalBlock*>(actor.get());
  }
  return nullptr;
}

// Sprites keep the base name, so the kind is asked of the object.
CSpriteAlignment* MagicRoute::Crosshair() const
{
  const std::shared_ptr<CSceneGame> game = Game();
  if (!game) return nullptr;
  for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
    if (auto* crosshair = dynamic_cast<CSpriteAlignment*>(sprite.get())) return crosshair;
  }
  return nullptr;
}

// Through the process-wide player link.
CPlayerMagicState* MagicRoute::Magic() const
{
  return LockMagicState().get();
}

// From the player's world position to the actor's.
float MagicRoute::DistanceTo(const CActorBase& actor) const
{
  const CGamePlayer* player = Player();
  if (!player) return 999.0f;
  const D3DXVECTOR3 d(player->world._41 - actor.world._41, player->world._42 - actor.world._42,
                      player->world._43 - actor.world._43);
  return D3DXVec3Length(&d);
}
