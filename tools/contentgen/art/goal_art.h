// The goal meshes: the glowing stair through a golden ring that ends every stage
// before the last, its simple collision mesh, and the final magic orb.
#pragma once

#include <string>

namespace contentgen {

class CArtContext;
// Writes game/map/goal.x, game/map/goal_collision.x and game/object/final_magic_orb.x.
bool GenerateGoalArt(CArtContext& context, std::string* error);

}  // namespace contentgen
