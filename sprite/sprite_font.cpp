// CSpriteFont: the glyph metrics reader and the drawing of a line glyph by glyph.
#include "sprite/sprite_font.h"

#include "platform_file.h"
#include "platform_text.h"
#include "d3dx9.h"
#include "sprite/sprite_base.h"

#include <cstdio>
#include <vector>

namespace {

const char* const atlasPath = "res/game/text/glyphs.png";
const char* const metricsPath = "res/game/text/glyphs.txt";
const std::pair<int, float> noGlyph = {-1, 0.0f};

// The code points of UTF-8 text; a broken sequence gives '?' for its first byte.
std::vector<unsigned> CodePoints(const std::string& text)
{
  std::vector<unsigned> codes;
  for (size_t at = 0; at < text.size();) {
    uint32_t code = 0;
    const size_t length = DecodeUtf8At(text, at, &code);
    codes.push_back(length ? code : '?');
    at += length ? length : 1;
  }
  return codes;
}

}  // namespace

// Both files or neither: a font without its metrics draws nothing.
CSpriteFont::CSpriteFont()
{
  std::vector<uint8_t> bytes;
  std::string error = "cannot be read";
  if (PlatformReadFile(metricsPath, &bytes) &&
      ParseGlyphMetrics(std::string(bytes.begin(), bytes.end()), &metrics, &error)) {
    atlas = LoadSpriteTexture(atlasPath);
    if (PictureWidth(atlas) >= metrics.cellWidth * metrics.columns) return;
    error = std::string("its picture ") + atlasPath + " is missing or too small";
  }
  static bool reported = false;
  if (!reported) std::fprintf(stderr, "solverica: %s: %s; text will not show\n", metricsPath, error.c_str());
  reported = true;
  atlas.reset();
  metrics = GlyphMetrics();
}

// Loaded when the atlas is held.
bool CSpriteFont::IsLoaded() const
{
  return atlas != nullptr;
}

// The '?' cell for anything the atlas lacks.
const std::pair<int, float>& CSpriteFont::Glyph(unsigned code) const
{
  auto found = metrics.glyphs.find(code);
  if (found == metrics.glyphs.end()) found = metrics.glyphs.find('?');
  return found == metrics.glyphs.end() ? noGlyph : found->second;
}

// The sum of the advances.
float CSpriteFont::Measure(const std::string& text, float scale) const
{
  float width = 0.0f;
  if (!IsLoaded()) return width;
  for (const unsigned code : CodePoints(text)) width += Glyph(code).second;
  return width * scale;
}

// One cell's height.
float CSpriteFont::LineHeight(float scale) const
{
  return static_cast<float>(metrics.cellHeight) * scale;
}

// Each glyph's cell placed so that its pen start falls on the pen.
void CSpriteFont::Draw(const std::string& text, float x, float y, float scale, D3DCOLOR colour, TextAlign align) const
{
  if (!IsLoaded()) return;
  float pen = x;
  if (align == TextAlign::Centre) pen -= Measure(text, scale) * 0.5f;
  if (align == TextAlign::Right) pen -= Measure(text, scale);
  for (const unsigned code : CodePoints(text)) {
    const std::pair<int, float>& glyph = Glyph(code);
    if (code != ' ') {
      const LONG left = glyph.first % metrics.columns * metrics.cellWidth;
      const LONG top = glyph.first / metrics.columns * metrics.cellHeight;
      const RECT cell = {left, top, left + metrics.cellWidth, top + metrics.cellHeight};
      D3DXMATRIX matrix;
      D3DXMatrixScaling(&matrix, scale, scale, 1.0f);
      matrix._41 = pen - metrics.originX * scale;
      matrix._42 = y;
      DrawPicturePart(atlas, cell, matrix, colour);
    }
    pen += glyph.second * scale;
  }
}
