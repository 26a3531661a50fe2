// CWholeGameTime: the whole game's time as the ending's last credit page shows it, in
// two lines of runtime text under the page: the time, then the best before it or a mark
// for a new best. Nothing when the game was not played from New Game to the end.
#pragma once

#include <string>

#include "d3d9.h"
#include "sprite/sprite_font.h"

class CWholeGameTime {
public:
  // The first line ("WHOLE GAME 12:34.56"); empty when the run was not timed.
  std::string TimeText() const;
  // The second line ("BEST 12:00.00", "NEW BEST!"); empty for a first time.
  std::string BesideText() const;
  // Both lines centred on x, the first one's top at y, at an opacity.
  void Draw(float x, float y, int alpha) const;

private:
  CSpriteFont font;
};
