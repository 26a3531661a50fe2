// CSpriteStageError: while a watched stage source does not build, the checker's report
// (file:line:column, the word it stopped at, what it expected) in a band of runtime text
// on a dark translucent strip along the bottom of the screen, over the running stage.
#pragma once

#include <string>
#include <vector>

#include "sprite/sprite_base.h"
#include "sprite/sprite_font.h"

class CSpriteStageError : public CSpriteBase {
public:
  float textScale = 0.6f;  // about 22 pixels high
  size_t maxLines = 4;     // the first errors; the rest are on standard error

  // Nothing to load but the font.
  CSpriteStageError();
  // Nothing moves.
  void Update() override;
  // The strip and its lines, when there is an error to show.
  void Draw() override;
  // The lines drawn now; empty when the source builds.
  std::vector<std::string> Lines() const;

private:
  CSpriteFont font;
};
