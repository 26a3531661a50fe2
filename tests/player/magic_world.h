// The player's small world with magic: the scene's four magic effects (blue ray, red
// ray, blue charge, red charge, in the scene's order), metal blocks from the generated
// content, and the mouse buttons as the input snapshot carries them.
#pragma once

#include "actor/gimmick/game_metal_block.h"
#include "actor/player/player_magic_state.h"
#include "effect/effect_magic_charge.h"
#include "effect/effect_magic_ray.h"
#include "player_world.h"

class MagicWorld : public PlayerWorld {
protected:
  void SetUp() override;
  void TearDown() override;

  // Held mouse buttons for the next frames.
  void Buttons(int left, int right);
  // A metal block standing at (x, y, z), appended to the actor list.
  std::shared_ptr<CGameMetalBlock> AddMetalBlock(float x, float y, float z);
  // Puts the player's feet at (x, y, z).
  void PlacePlayer(float x, float y, float z);

  std::shared_ptr<CPlayerMagicState> magic;
  std::shared_ptr<CEffectMagicRay> blueRay;
  std::shared_ptr<CEffectMagicRay> redRay;
  std::shared_ptr<CEffectMagicCharge> blueCharge;
  std::shared_ptr<CEffectMagicCharge> redCharge;
};
