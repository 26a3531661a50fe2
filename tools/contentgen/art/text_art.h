// The glyph atlas the game sets its runtime text with (times, key names, stage errors):
// printable ASCII and a few signs in the game's font, white with the menus' dark
// outline so that a draw colour tints the ink, one cell a glyph, with a metrics file
// giving each glyph's advance.
#pragma once

#include <string>

namespace contentgen {

class CArtContext;
// game/text/glyphs.png and game/text/glyphs.txt.
bool GenerateTextArt(CArtContext& context, std::string* error);

}  // namespace contentgen
