// stb_truetype glyph rasterising and simple one-line layout.
#include "image/font.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>

#include "core/output.h"

namespace contentgen {

struct CFont::Impl {
  std::vector<uint8_t> data;
  stbtt_fontinfo info{};
};

namespace {

// Appends one code point as UTF-8.
void AppendUtf8(std::string* out, uint32_t cp)
{
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

// Strict decoder: rejects stray continuation bytes and truncated sequences.
bool DecodeUtf8(const std::string& text, std::vector<uint32_t>* codepoints)
{
  codepoints->clear();
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    int extra = 0;
    uint32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size() && extra > 0) return false;
    for (int k = 1; k <= extra; ++k) {
      const uint8_t next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    codepoints->push_back(cp);
    i += 1 + extra;
  }
  return true;
}

// An empty font; Load fills it.
CFont::CFont() : impl(new Impl)
{
}

// Frees the font data.
CFont::~CFont()
{
  delete impl;
}

// Reads the file and lets stb find the first font in it.
bool CFont::Load(const std::string& path, std::string* error)
{
  loaded = false;
  if (!ReadFile(path, &impl->data) || impl->data.empty()) {
    *error = path + ": cannot read the font file";
    return false;
  }
  const int offset = stbtt_GetFontOffsetForIndex(impl->data.data(), 0);
  if (offset < 0 || !stbtt_InitFont(&impl->info, impl->data.data(), offset)) {
    *error = path + ": not a font stb_truetype can read";
    return false;
  }
  loaded = true;
  return true;
}

// Characters without a glyph (spaces always count as present).
std::string CFont::MissingCharacters(const std::string& text) const
{
  std::vector<uint32_t> cps;
  if (!DecodeUtf8(text, &cps)) return text;
  std::string missing;
  for (const uint32_t cp : cps) {
    if (cp == ' ') continue;
    if (!loaded || stbtt_FindGlyphIndex(&impl->info, static_cast<int>(cp)) == 0) AppendUtf8(&missing, cp);
  }
  return missing;
}

// Sum of advances and kerning.
float CFont::MeasureWidth(const std::string& text, float pixelHeight) const
{
  std::vector<uint32_t> cps;
  if (!loaded || !DecodeUtf8(text, &cps)) return 0;
  const float scale = stbtt_ScaleForMappingEmToPixels(&impl->info, pixelHeight);
  float width = 0;
  for (size_t i = 0; i < cps.size(); ++i) {
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&impl->info, static_cast<int>(cps[i]), &advance, &bearing);
    width += advance * scale;
    if (i + 1 < cps.size()) {
      width +=
          scale * stbtt_GetCodepointKernAdvance(&impl->info, static_cast<int>(cps[i]), static_cast<int>(cps[i + 1]));
    }
  }
  return width;
}

// Fit, place, then rasterise glyph by glyph with sub-pixel x positions.
bool CFont::DrawText(CCanvas* canvas, const std::string& text, Rect box, float maxPixelHeight, TextAlign align,
                     Color color, Rect* inkBounds, std::string* error) const
{
  std::vector<uint32_t> cps;
  if (!loaded) {
    *error = "no font loaded for \"" + text + "\"";
    return false;
  }
  if (!DecodeUtf8(text, &cps)) {
    *error = "text is not valid UTF-8: \"" + text + "\"";
    return false;
  }
  const std::string missing = MissingCharacters(text);
  if (!missing.empty()) {
    *error = "the font has no glyph for \"" + missing + "\" in \"" + text + "\"";
    return false;
  }
  int ascent = 0, descent = 0, lineGap = 0;
  stbtt_GetFontVMetrics(&impl->info, &ascent, &descent, &lineGap);
  const float boxW = box.x1 - box.x0, boxH = box.y1 - box.y0;
  // Largest size whose advance width and ascent-to-descent height fit the box.
  float size = maxPixelHeight;
  for (;; size -= 0.5f) {
    if (size < 4) {
      *error = "\"" + text + "\" does not fit its " + std::to_string(static_cast<int>(boxW)) + "x" +
               std::to_string(static_cast<int>(boxH)) + " box";
      return false;
    }
    const float scale = stbtt_ScaleForMappingEmToPixels(&impl->info, size);
    if (MeasureWidth(text, size) <= boxW && (ascent - descent) * scale <= boxH) break;
  }
  const float scale = stbtt_ScaleForMappingEmToPixels(&impl->info, size);
  const float width = MeasureWidth(text, size);
  float penX = box.x0;
  if (align == TextAlign::Centre) penX = box.x0 + (boxW - width) * 0.5f;
  if (align == TextAlign::Right) penX = box.x1 - width;
  const float lineHeight = (ascent - descent) * scale;
  const float baseline = box.y0 + (boxH - lineHeight) * 0.5f + ascent * scale;

  Rect ink{1e30f, 1e30f, -1e30f, -1e30f};
  for (size_t i = 0; i < cps.size(); ++i) {
    const int cp = static_cast<int>(cps[i]);
    const float floorX = std::floor(penX);
    const float shiftX = penX - floorX;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(&impl->info, cp, scale, scale, shiftX, 0, &x0, &y0, &x1, &y1);
    const int w = x1 - x0, h = y1 - y0;
    if (w > 0 && h > 0) {
      std::vector<uint8_t> glyph(static_cast<size_t>(w) * h);
      stbtt_MakeCodepointBitmapSubpixel(&impl->info, glyph.data(), w, h, w, scale, scale, shiftX, 0, cp);
      const int originX = static_cast<int>(floorX) + x0;
      const int originY = static_cast<int>(std::lround(baseline)) + y0;
      for (int gy = 0; gy < h; ++gy) {
        for (int gx = 0; gx < w; ++gx) {
          const uint8_t coverage = glyph[static_cast<size_t>(gy) * w + gx];
          if (coverage == 0) continue;
          const int px = originX + gx, py = originY + gy;
          canvas->BlendPixel(px, py, color, coverage / 255.0f);
          ink.x0 = std::min(ink.x0, static_cast<float>(px));
          ink.y0 = std::min(ink.y0, static_cast<float>(py));
          ink.x1 = std::max(ink.x1, static_cast<float>(px + 1));
          ink.y1 = std::max(ink.y1, static_cast<float>(py + 1));
        }
      }
    }
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&impl->info, cp, &advance, &bearing);
    penX += advance * scale;
    if (i + 1 < cps.size())
      penX += scale * stbtt_GetCodepointKernAdvance(&impl->info, cp, static_cast<int>(cps[i + 1]));
  }
  if (inkBounds) *inkBounds = ink;
  return true;
}

}  // namespace contentgen
