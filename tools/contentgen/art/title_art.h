// The title screen's pictures and the in-game menu pictures.
#pragma once

#include <string>

#include "art/art_context.h"

namespace contentgen {

// res/title/picture/*.png and res/title/char/*.png.
bool GenerateTitleArt(CArtContext& context, std::string* error);
// The pause and return-to-title menus under res/game/sprite/.
bool GenerateMenuArt(CArtContext& context, std::string* error);

}  // namespace contentgen
