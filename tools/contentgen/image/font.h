// Text set with stb_truetype in a font read at run time from a system font package
// (TrueType or CFF-flavoured OpenType). Text is UTF-8; a character the font lacks is
// an error, never a silent blank.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/canvas.h"

namespace contentgen {

// UTF-8 to code points; false on a malformed sequence.
bool DecodeUtf8(const std::string& text, std::vector<uint32_t>* codepoints);

enum class TextAlign { Left, Centre, Right };

class CFont {
public:
  CFont();
  ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  // Reads the font file; false with a message naming the path.
  bool Load(const std::string& path, std::string* error);
  bool IsLoaded() const { return loaded; }

  // The characters of text the font has no glyph for, as UTF-8 (empty when all present).
  std::string MissingCharacters(const std::string& text) const;
  // Advance width of one line at a pixel height (the em size).
  float MeasureWidth(const std::string& text, float pixelHeight) const;

  // Sets one line of text inside the box: the largest pixel height up to maxPixelHeight
  // at which the line fits, vertically centred, aligned as asked. Fills inkBounds (may
  // be null) with the rectangle of pixels actually touched. False with a message when
  // the font lacks a character or the text cannot fit at 4 pixels.
  bool DrawText(CCanvas* canvas, const std::string& text, Rect box, float maxPixelHeight, TextAlign align, Color color,
                Rect* inkBounds, std::string* error) const;

private:
  struct Impl;
  Impl* impl;
  bool loaded = false;
};

}  // namespace contentgen
