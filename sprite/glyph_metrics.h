// The metrics of the glyph atlas (res/game/text/glyphs.txt): the size of its cells and
// each glyph's cell and advance, as contentgen writes them.
#pragma once

#include <map>
#include <string>
#include <utility>

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
