// CSpriteFont: lines of text drawn at run time (times, key names, file names) from the
// glyph atlas res/game/text/glyphs.png and its metrics glyphs.txt, through the sprite
// batcher like every other picture. The ink is white, so the draw colour tints it.
// Characters the atlas lacks are drawn as '?'.
#pragma once

#include <memory>
#include <string>

#include "d3d9.h"
#include "engine/texture.h"
#include "sprite/glyph_metrics.h"

enum class TextAlign { Left, Centre, Right };

class CSpriteFont {
public:
  // Loads the atlas (through the texture cache) and its metrics; a missing or damaged
  // pair is named once on standard error and leaves the font drawing nothing.
  CSpriteFont();

  // Whether the atlas and its metrics were read.
  bool IsLoaded() const;
  // The width of a line at a scale (1: the atlas's size, text about 36 pixels high).
  float Measure(const std::string& text, float scale) const;
  // The height of a line at a scale.
  float LineHeight(float scale) const;
  // Draws a line with its top at y, aligned at x as asked; call inside the sprite pass.
  void Draw(const std::string& text, float x, float y, float scale, D3DCOLOR colour,
            TextAlign align = TextAlign::Left) const;

private:
  std::shared_ptr<OstrelLibrary::CTexture> atlas;
  GlyphMetrics metrics;

  // The cell and advance of a code point, '?' for one the atlas lacks.
  const std::pair<int, float>& Glyph(unsigned code) const;
};
