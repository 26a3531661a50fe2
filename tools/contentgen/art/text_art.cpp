// The glyph atlas: each glyph set at one size on the same baseline in a cell of its own,
// the outline grown over the whole sheet at once (the cells leave it room), and the
// advances written beside it in the order of the cells.
#include "art/text_art.h"

#include <cstdio>
#include <string>
#include <vector>

#include "art/art_context.h"
#include "art/lettering.h"

namespace contentgen {

namespace {

const int kColumns = 16;
const int kCellWidth = 48;
const int kCellHeight = 56;
const int kOriginX = 6;  // where the pen starts inside a cell: room for the outline
const float kPixelHeight = 36;
const float kOutline = 3.5f;

// Printable ASCII, then the multiplication sign (replay speeds) and the ellipsis.
std::vector<std::string> AtlasCharacters()
{
  std::vector<std::string> characters;
  for (char c = ' '; c <= '~'; ++c) characters.emplace_back(1, c);
  characters.push_back("\xC3\x97");
  characters.push_back("\xE2\x80\xA6");
  return characters;
}

// The code point of a one-character UTF-8 string.
unsigned CodePoint(const std::string& character)
{
  std::vector<uint32_t> codes;
  return DecodeUtf8(character, &codes) && codes.size() == 1 ? codes[0] : 0;
}

}  // namespace

// One cell per character, white ink over the grown outline; the metrics list the cell
// size, the pen's start in a cell and every glyph's advance, cell by cell.
bool GenerateTextArt(CArtContext& context, std::string* error)
{
  const std::vector<std::string> characters = AtlasCharacters();
  const int rows = (static_cast<int>(characters.size()) + kColumns - 1) / kColumns;
  CCanvas ink(kColumns * kCellWidth, rows * kCellHeight);
  ink.Clear({0, 0, 0, 0});
  std::string metrics = "# The glyph atlas glyphs.png: cells of WIDTH x HEIGHT, " + std::to_string(kColumns) +
                        " a row, the pen starting ORIGIN pixels into a cell;\n"
                        "# then one glyph a line in the order of the cells: its code point and its advance.\n";
  metrics += "cell " + std::to_string(kCellWidth) + " " + std::to_string(kCellHeight) + " " + std::to_string(kOriginX) +
             " " + std::to_string(kColumns) + "\n";
  for (size_t i = 0; i < characters.size(); ++i) {
    const float x = static_cast<float>(static_cast<int>(i) % kColumns * kCellWidth + kOriginX);
    const float y = static_cast<float>(static_cast<int>(i) / kColumns * kCellHeight);
    const std::string& character = characters[i];
    if (character != " ") {
      const Rect box{x, y, x + kCellWidth * 2.0f, y + kCellHeight};
      if (!context.font.DrawText(&ink, character, box, kPixelHeight, TextAlign::Left, Color{1, 1, 1, 1}, nullptr,
                                 error)) {
        return false;
      }
    }
    char line[64];
    std::snprintf(line, sizeof line, "glyph %u %.2f\n", CodePoint(character),
                  context.font.MeasureWidth(character, kPixelHeight));
    metrics += line;
  }
  CCanvas atlas = GrowAlpha(ink, kOutline, context.palette.Get("outline"));
  atlas.Composite(ink, 0, 0);
  if (!context.AddPng("game/text/glyphs.png", atlas, error)) return false;
  context.AddFile("game/text/glyphs.txt", std::vector<uint8_t>(metrics.begin(), metrics.end()));
  return true;
}

}  // namespace contentgen
