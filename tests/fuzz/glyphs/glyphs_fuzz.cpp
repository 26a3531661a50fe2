// libFuzzer target for the glyph metrics reader: any bytes are read without running past
// them, and metrics it accepts hold only what the game can draw with: cells inside the
// ranges it checks, advances no wider than a cell, and a '?' to fall back on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sprite/glyph_metrics.h"

// One input: accepted metrics must be drawable.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  GlyphMetrics metrics;
  std::string error;
  if (!ParseGlyphMetrics(std::string(reinterpret_cast<const char*>(data), size), &metrics, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (metrics.cellWidth < 1 || metrics.cellHeight < 1 || metrics.columns < 1) std::abort();
  if (metrics.originX < 0 || metrics.originX >= metrics.cellWidth) std::abort();
  if (metrics.glyphs.find('?') == metrics.glyphs.end()) std::abort();
  for (const auto& glyph : metrics.glyphs) {
    if (glyph.second.first < 0 || glyph.second.second < 0 || glyph.second.second > metrics.cellWidth) std::abort();
  }
  return 0;
}
