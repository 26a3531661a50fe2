// The glyph metrics reader: every number range-checked, the first unusable line named.
#include "sprite/glyph_metrics.h"

#include <cstdlib>
#include <sstream>

namespace {

// A whole number in [low, high] from a word, or false.
bool ReadInt(const std::string& word, int low, int high, int* value)
{
  char* end = nullptr;
  const long read = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || read < low || read > high) return false;
  *value = static_cast<int>(read);
  return true;
}

}  // namespace

// Line by line: the cell line first, then one glyph line a cell.
bool ParseGlyphMetrics(const std::string& text, GlyphMetrics* metrics, std::string* error)
{
  GlyphMetrics read;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string command, a, b, c, d, extra;
    words >> command >> a >> b >> c >> d >> extra;
    if (command.empty()) continue;
    bool sound = extra.empty();
    if (command == "cell" && read.columns == 0) {
      sound = sound && ReadInt(a, 1, 512, &read.cellWidth) && ReadInt(b, 1, 512, &read.cellHeight) &&
              ReadInt(c, 0, read.cellWidth - 1, &read.originX) && ReadInt(d, 1, 64, &read.columns);
    } else if (command == "glyph" && read.columns > 0 && c.empty()) {
      int code = 0;
      char* end = nullptr;
      const float advance = std::strtof(b.c_str(), &end);
      sound = sound && ReadInt(a, 32, 0x10FFFF, &code) && !b.empty() && *end == '\0' && advance >= 0.0f &&
              advance <= static_cast<float>(read.cellWidth) && read.glyphs.size() < 4096;
      if (sound)
        read.glyphs.emplace(static_cast<unsigned>(code), std::make_pair(static_cast<int>(read.glyphs.size()), advance));
    } else {
      sound = false;
    }
    if (!sound) {
      *error = "line " + std::to_string(number) + ": cannot use \"" + line.substr(0, 80) + "\"";
      return false;
    }
  }
  if (read.columns == 0 || read.glyphs.find('?') == read.glyphs.end()) {
    *error = "no cell line or no glyph for '?'";
    return false;
  }
  *metrics = std::move(read);
  return true;
}
