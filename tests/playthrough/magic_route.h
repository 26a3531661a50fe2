// What the magic routes share: a stage reached through the title's Continue with the
// save file holding its number, the test arena linked in as stage 3 (its map meshes
// beside the stage maps and its stage file in res/dat, undone afterwards), the mouse
// buttons held through the window messages, and the stage's magic objects by kind.
#pragma once

#include <filesystem>

#include "actor/gimmick/game_metal_block.h"
#include "actor/player/player_magic_state.h"
#include "effect/effect_magic_charge.h"
#include "effect/effect_magic_ray.h"
#include "playthrough.h"
#include "sprite/sprite_alignment.h"

class MagicRoute : public PlaythroughTest {
protected:
  // Puts the scratch res/ back as it was when the arena was linked in.
  void TearDown() override;

  // Writes the save file, reads it as start-up does, then Continue from the title;
  // true once the stage runs.
  bool ContinueAtStage(int stage);
  // The generated arena under res/test/stage/ becomes stage 3 for this test.
  void LinkArenaAsStageThree();
  // Presses or releases a mouse button through the window messages (held across frames).
  void Button(int virtualKey, bool down);

  // The scene's ray or charge of a colour, or null.
  CEffectMagicRay* Ray(int colour) const;
  CEffectMagicCharge* Charge(int colour) const;
  // The stage's n-th metal block in list order, or null.
  CGameMetalBlock* Block(int n) const;
  // The scene's crosshair, or null.
  CSpriteAlignment* Crosshair() const;
  // The player's magic state, or null.
  CPlayerMagicState* Magic() const;
  // Three-dimensional distance between the player and an actor.
  float DistanceTo(const CActorBase& actor) const;

private:
  std::filesystem::path gameLink;  // the scratch res/game symlink's target, when replaced
};
