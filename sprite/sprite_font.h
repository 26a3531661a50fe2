// CSpriteFont: lines of text drawn at run time (times, key names, file names) from the
// glyph atlas res/game/text/glyphs.png and its metrics glyphs.txt, through the sprite
// batcher like every other picture. The ink is white, so the draw colour tints it.
// Characters the atlas lacks are drawn as '?'.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "d3d9.h"
#include "engine/texture.h"

// Where a glyph sits in the atlas and how far it moves the pen, in atlas pixels.
struct GlyphMetrics {
  int cellWidth = 0;
  int cellHeight = 0;
  int originX = 0;  // the pen's start inside a cell
  int columns = 0;
  std::map<unsigned, std::pair<int, float>> glyphs;  // code point: cell index, advance
};

// Reads glyphs.txt ("cell W H ORIGIN COLUMNS", then "glyph CODE ADVANCE" a cell, '#'
// comments, CR LF welcome). False with the line and what was wrong in `error`.
bool ParseGlyphMetrics(const std::string& text, GlyphMetrics* metrics, std::string* error);

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
