// The ending's pictures: the climb inside the tower, the tower taking off, the tower in
// space and the credit pages.
#pragma once

#include <string>

#include "art/art_context.h"

namespace contentgen {

// res/ending/*.png, the credit pages endroll.1.png to endroll.5.png among them.
bool GenerateEndingArt(CArtContext& context, std::string* error);

}  // namespace contentgen
