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
//   light R G B                           the stage's light on every surface (1 1 1: none)
//   ambience R G B                        glow added to every surface, unshadowed
//   tint MAT R G B                        this stage's colour of one surface
//   sky x0 z0 x1 z1 y0 y1                 an open sky round the stage: walls and a roof
//                                         of shaded bands, seen from inside, never walked on
//   view ex ey ez tx ty tz                where a picture of the stage's puzzle is taken from
//   magic blue|red|blue red|none          the colours the player casts from the start
//                                         (both when there is no such line)
// MAT is stone, brick, wood, trim, metal, marble or tile; DIR is +x, -x, +z or -z; colour
// components are 0 to 4. A line may start with `detail`: the solid is drawn and collided
// with but left out of the depth mesh. Only the surfaces a stage uses go into its mesh.
#pragma once

#include <string>
#include <vector>

#include "mesh/mesh.h"

namespace stagebuild {

struct StageActorEntry {
  std::string name;
  float x = 0, y = 0, z = 0;
  int line = 0, column = 0;  // where the source names it (its class name)
};

// One solid as the walk check sees it: a box, or a wedge rising along an axis.
struct StageSolid {
  Vec3 lo, hi;               // bounds; a wedge rises from lo.y to hi.y
  int rampAxis = -1;         // -1: a box; 0: rising along x; 2: along z
  int rampSign = 1;          // +1: rising towards +axis
  int line = 0, column = 0;  // the source line that made it
  // The height of the top at a point of the footprint.
  float TopAt(float x, float z) const;
};

struct StageGeometry {
  CMeshData map;                        // every solid, one material per MAT used
  CMeshData depthMap;                   // the solids not marked detail, one material
  std::vector<StageActorEntry> actors;  // in source order
  std::vector<StageSolid> solids;       // every solid that can be stood on or walked into
  bool hasView = false;                 // a `view` line gave the picture's eye and target
  Vec3 viewEye, viewTarget;
  int magic = 3;      // the colours the player casts with from the start (kStageMagic bits)
  int lineCount = 1;  // lines in the source
};

// The bits of StageGeometry::magic, as the game's magic colours number them.
const int kStageMagicNone = 0;
const int kStageMagicRed = 1;
const int kStageMagicBlue = 2;

// One problem of a stage source and where it starts (1-based line and column).
struct StageSourceProblem {
  int line = 0, column = 0;
  std::string message;
};

const int kStageMaterialCount = 7;
// The material names in their index order, and the texture each uses.
extern const char* const kStageMaterialNames[kStageMaterialCount];
extern const char* const kStageMaterialTextures[kStageMaterialCount];

// The sky's materials are named this and their band number, horizon first; they glow
// with no light of their own, and the generator gives them the palette's sky colours.
const char kSkyMaterialPrefix[] = "sky_band";
const int kSkyBands = 6;

// One of the class names the game's actor factory creates.
bool IsStageActorName(const std::string& name);

// Parses a stage source, reading on past bad lines; up to maxProblems problems in line
// order. Only with none is the geometry whole (materials, depth mesh).
std::vector<StageSourceProblem> ParseStageSource(const std::string& text, StageGeometry* out, size_t maxProblems);

// Parses a stage source; false with "sourceName:line: problem" on the first bad line.
bool BuildStageGeometry(const std::string& text, const std::string& sourceName, StageGeometry* out, std::string* error);

// The stage file text: one "Name x y z" line per actor.
std::string StageFileText(const std::vector<StageActorEntry>& actors);

}  // namespace stagebuild
