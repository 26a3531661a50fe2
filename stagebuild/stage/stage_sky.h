// The colours of a stage's sky bands: a blend from the horizon's haze up to the deep
// blue overhead. The content generator takes them from the game's palette; a stage the
// game builds from a player's source takes the same colours from DefaultStageSky (a
// content test holds the two equal).
#pragma once

#include "mesh/mesh.h"

namespace stagebuild {

struct StageSky {
  Rgba horizon, high, zenith;
};

// The palette's sky_horizon, sky_high and sky_zenith.
StageSky DefaultStageSky();

// Gives each sky band material of the map its glow, by its band number.
void ColourStageSky(const StageSky& sky, CMeshData* map);

}  // namespace stagebuild
