// CSpriteClearTime: the stage's time on the clear screen, below the clear lettering,
// with the stage's best beside it, or a mark when this run has just become the best.
// Drawn with the runtime text in the menus' colours. With the show_timer setting on, the
// running clock stands in the top-right corner while the player has control.
#pragma once

#include <string>

#include "sprite/sprite_base.h"
#include "sprite/sprite_font.h"

class CSpriteClearTime : public CSpriteBase {
public:
  int fadeStep = 12;  // opacity gained per frame after the goal
  float timeY = 262.0f;

  // Invisible until the goal.
  CSpriteClearTime();
  // After the goal it fades in.
  void Update() override;
  // After the goal, unless a menu hides the HUD.
  void Draw() override;

  // The time as drawn ("1:23.45"); "-:--.--" before the goal.
  std::string TimeText() const;
  // The running clock of the corner ("0:12.34"), or nothing while it is not shown:
  // the setting off, the opening flight, a menu, or the goal reached.
  std::string RunningText() const;
  // What stands beside it: "BEST 1:20.00", "NEW BEST!", or nothing for a stage
  // cleared for the first time.
  std::string BesideText() const;

private:
  CSpriteFont font;
};
