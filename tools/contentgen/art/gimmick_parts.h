// Building blocks of the gimmick models: boxes between two corners, rods between two
// points, the striped overlay shells and the stripe pictures they scroll.
#pragma once

#include <string>

#include "art/palette.h"
#include "image/canvas.h"
#include "mesh/mesh.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

// The stripe pictures of the overlay shells, beside the meshes in game/object/.
inline constexpr const char* kBlueStripes = "gimmick_hit_blue.png";
inline constexpr const char* kRedStripes = "gimmick_hit_red.png";
inline constexpr const char* kBothStripes = "gimmick_hit_both.png";

// A box from corner (x0, y0, z0) to (x1, y1, z1) with rounded edges (bevel 0: sharp).
CMeshData BoxBetween(float x0, float y0, float z0, float x1, float y1, float z1, int material, float bevel = 0.0f);
// A round rod of the radius from the point (0, y0, z0) tilted about x by `tilt`
// degrees from straight up towards +z, `length` long.
CMeshData TiltedRod(float radius, float length, float y0, float z0, float tilt, int material);
// The shape grown into an overlay shell: every triangle uses the stripe material of
// the file, lit by nothing and scrolled along v by the game.
CMeshData HitShell(CMeshData shape, const std::string& stripeFile);
// Diagonal stripes in the colour, transparent between them, for the overlay shells.
CCanvas DrawHitStripes(Color colour);

}  // namespace contentgen
