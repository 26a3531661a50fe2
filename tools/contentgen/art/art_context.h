// What every art generator gets: the palette, the font, and where res/ is.
#pragma once

#include <string>

#include "art/palette.h"
#include "image/font.h"

namespace contentgen {

struct CArtContext {
  CPalette palette;
  CFont font;
  std::string resDir;

  // Path of a file under res/.
  std::string Res(const std::string& relative) const { return resDir + "/" + relative; }
};

// The generators, one per area of res/.
bool GenerateShaderArt(const CArtContext& context, std::string* error);
bool GenerateIcon(const CArtContext& context, std::string* error);
bool GeneratePlayer(const CArtContext& context, std::string* error);
bool GenerateTestTree(const CArtContext& context, std::string* error);

}  // namespace contentgen
