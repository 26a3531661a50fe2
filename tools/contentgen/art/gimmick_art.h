// The gimmick meshes and their pictures: switches, doors, lifts, the rotation door,
// the cannon and its shell, the crack wall and its pieces, the popping fist, and the
// striped hit-overlay shells of the magic targets. Every mesh stands on y = 0 in its
// own frame; collision meshes follow what is drawn.
#pragma once

#include <string>

namespace contentgen {

class CArtContext;
// Queues every gimmick file under game/object/.
bool GenerateGimmickArt(CArtContext& context, std::string* error);
// Queues the cannon, the crack wall and the popping fist (gimmick_weapon_art.cpp).
bool GenerateWeaponArt(CArtContext& context, std::string* error);

}  // namespace contentgen
