// The game scene's HUD pictures (the stage banner and its ray, the skip hint, the
// stage-clear lettering, the orb message box and its two messages) and the stage
// objects of the orb and torch.
#pragma once

#include <string>

namespace contentgen {

class CArtContext;
// Every picture of the HUD under game/sprite/.
bool GenerateHudArt(CArtContext& context, std::string* error);
// game/object/blue_magic_orb.x, red_magic_orb.x and torch.x.
bool GenerateObjectArt(CArtContext& context, std::string* error);

}  // namespace contentgen
