// Stage geometry from a stage source (content/stages/stageN.txt): boxes, floor slabs,
// walls, stairs and ramps with world-aligned texture coordinates, merged into the map
// mesh (drawn and collided with) and a plainer depth mesh for the shadow pass, plus
// the actor entries written to the stage file.
//
// Source lines ('#' starts a comment; numbers in world units, y up):
//   wallheight H                          height of the following walls
//   floor MAT x0 z0 x1 z1 top             a slab 0.5 thick whose top is at `top`
//   wall x0 z0 x1 z1                      brick from y 0 to the wall height
//   box MAT x0 y0 z0 x1 y1 z1             any solid box
//   stairs MAT x0 z0 x1 z1 y0 y1 N DIR    N solid steps from y0 to y1 rising towards DIR
//   ramp MAT x0 z0 x1 z1 y0 y1 DIR        a solid wedge rising towards DIR
//   actor NAME x y z                      an entry of the stage file
// MAT is stone, brick, wood or trim; DIR is +x, -x, +z or -z. A line may start with
// `detail`: the solid is drawn and collided with but left out of the depth mesh.
#pragma once

#include <string>
#include <vector>

#include "mesh/mesh.h"

namespace contentgen {

struct StageActorEntry {
  std::string name;
  float x = 0, y = 0, z = 0;
};

struct StageGeometry {
  CMeshData map;                         // every solid, one material per MAT
  CMeshData depthMap;                    // the solids not marked detail, one material
  std::vector<StageActorEntry> actors;   // in source order
};

// The material names in their index order, and the texture each uses.
extern const char* const kStageMaterialNames[4];
extern const char* const kStageMaterialTextures[4];

// Parses a stage source; false with "sourceName:line: problem" on the first bad line.
bool BuildStageGeometry(const std::string& text, const std::string& sourceName, StageGeometry* out,
                        std::string* error);

// The stage file text: one "Name x y z" line per actor.
std::string StageFileText(const std::vector<StageActorEntry>& actors);

class CArtContext;
// The shared map surfaces and, for each stage source there is, its meshes and stage file.
bool GenerateStages(CArtContext& context, std::string* error);

}  // namespace contentgen
