// Stage sources into meshes: a small line parser and the solid builders.
#include "art/stage_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "art/model_helpers.h"

namespace contentgen {

const char* const kStageMaterialNames[kStageMaterialCount] = {"stone", "brick",  "wood", "trim",
                                                              "metal", "marble", "tile"};
const char* const kStageMaterialTextures[kStageMaterialCount] = {"stone_floor.png", "brick_wall.png",  "wood_floor.png",
                                                                 "stone_trim.png",  "metal_plate.png", "marble.png",
                                                                 "floor_tile.png"};

// The top of a wedge climbs linearly along its axis; a box is flat.
float StageSolid::TopAt(float x, float z) const
{
  if (rampAxis < 0) return hi.y;
  const float a = rampAxis == 0 ? (x - lo.x) / (hi.x - lo.x) : (z - lo.z) / (hi.z - lo.z);
  const float along = std::clamp(rampSign > 0 ? a : 1.0f - a, 0.0f, 1.0f);
  return lo.y + (hi.y - lo.y) * along;
}

namespace {

// One texture repeat every this many units, on every face.
const float kTileSize = 4.0f;
// Thickness of a floor slab below its top.
const float kSlabThickness = 0.5f;

// World-aligned texture coordinates, chosen by the axis the face mostly looks along,
// so that neighbouring solids continue each other's pattern.
Vec2 PlanarUv(Vec3 p, Vec3 n)
{
  const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  if (ay >= ax && ay >= az) return {p.x / kTileSize, p.z / kTileSize};
  if (ax >= az) return {p.z / kTileSize, -p.y / kTileSize};
  return {p.x / kTileSize, -p.y / kTileSize};
}

// A flat convex face as a fan, wound so that it faces along its normal.
void AddFace(CMeshData* mesh, const std::vector<Vec3>& corners, int material)
{
  Vec3 n = Cross(corners[1] - corners[0], corners[2] - corners[0]);
  n = Normalize(n);
  std::vector<uint32_t> ids;
  for (const Vec3& p : corners) ids.push_back(mesh->AddVertex(p, n, PlanarUv(p, n)));
  for (size_t i = 1; i + 1 < ids.size(); ++i) mesh->AddTriangle(ids[0], ids[i], ids[i + 1], material);
}

// An axis-aligned box between two corners; each face's corners are listed so that
// their cross product points out of the box, as the front faces of every mesh do.
void AddBox(CMeshData* mesh, Vec3 lo, Vec3 hi, int material)
{
  const Vec3 p[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                     {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
  AddFace(mesh, {p[0], p[3], p[2], p[1]}, material);  // -z
  AddFace(mesh, {p[4], p[5], p[6], p[7]}, material);  // +z
  AddFace(mesh, {p[0], p[4], p[7], p[3]}, material);  // -x
  AddFace(mesh, {p[1], p[2], p[6], p[5]}, material);  // +x
  AddFace(mesh, {p[3], p[7], p[6], p[2]}, material);  // +y
  AddFace(mesh, {p[0], p[1], p[5], p[4]}, material);  // -y
}

// A point of the rectangle x0..x1, z0..z1 given as (along, across) for a rising
// direction: along runs 0 at the low end to 1 at the high end.
struct Footprint {
  float x0, z0, x1, z1;
  int axis;  // 0: x, 2: z
  int sign;  // +1 rising towards +axis
  // World x, z of (along, across) in 0..1.
  Vec3 At(float along, float across, float y) const
  {
    const float a = sign > 0 ? along : 1.0f - along;
    if (axis == 0) return {x0 + (x1 - x0) * a, y, z0 + (z1 - z0) * across};
    return {x0 + (x1 - x0) * across, y, z0 + (z1 - z0) * a};
  }
};

// A wedge: flat bottom at y0, rising from y0 at the low end to y1 at the high end.
void AddRamp(CMeshData* mesh, const Footprint& f, float y0, float y1, int material)
{
  const Vec3 lowA = f.At(0, 0, y0), lowB = f.At(0, 1, y0);
  const Vec3 highA = f.At(1, 0, y0), highB = f.At(1, 1, y0);
  const Vec3 topA = f.At(1, 0, y1), topB = f.At(1, 1, y1);
  const Vec3 centre = f.At(0.5f, 0.5f, (y0 + y1) * 0.5f);
  // Each face is wound by checking against a point inside the wedge.
  auto face = [&](std::vector<Vec3> corners) {
    const Vec3 n = Cross(corners[1] - corners[0], corners[2] - corners[0]);
    if (Dot(n, corners[0] - centre) < 0) std::reverse(corners.begin(), corners.end());
    AddFace(mesh, corners, material);
  };
  face({lowA, lowB, highB, highA});  // bottom
  face({lowA, topA, topB, lowB});    // slope
  face({highA, highB, topB, topA});  // high end
  face({lowA, highA, topA});         // sides
  face({lowB, topB, highB});
}

// Reads a direction token.
bool ParseDirection(const std::string& token, Footprint* f)
{
  if (token.size() != 2 || (token[0] != '+' && token[0] != '-') || (token[1] != 'x' && token[1] != 'z')) return false;
  f->sign = token[0] == '+' ? 1 : -1;
  f->axis = token[1] == 'x' ? 0 : 2;
  return true;
}

// Index of a material name, or -1.
int MaterialIndex(const std::string& name)
{
  for (int i = 0; i < kStageMaterialCount; ++i) {
    if (name == kStageMaterialNames[i]) return i;
  }
  return -1;
}

}  // namespace

namespace {

// The names the game's actor factory knows; anything else it would skip without a word.
const char* const kStageActorNames[] = {"CGameMetalBlock", "CGameLiver",         "CGameWoodLift", "CGameTorch",
                                        "CGameGoal",       "CGameButton",        "CGameDoor",     "CGameRotationDoor",
                                        "CGameMetalLift",  "CGamePoppingFist",   "CGameMagicOrb", "CGameCannon",
                                        "CGameCrackWall",  "CGameDropWaterPoint"};

// Largest colour component a stage may ask for; more only washes everything out.
const float kMaxColour = 4.0f;

// A colour of the look lines: three components.
struct StageColour {
  float r = 1, g = 1, b = 1;
};

// Reads one source line after another into the geometry, with the stage's look.
class CStageParser {
public:
  explicit CStageParser(StageGeometry* geometry) : out(geometry) {}
  // One line without its comment; an empty result means it was understood.
  std::string ParseLine(std::istringstream& words);
  // The materials the stage uses, coloured by its light, and the sky's bands.
  void Finish();

private:
  std::string ParseSolid(const std::string& keyword, std::istringstream& words, CMeshData* solid);
  std::string ParseRise(const std::string& keyword, int material, std::istringstream& words, CMeshData* solid);
  std::string ParseLook(const std::string& keyword, std::istringstream& words);
  std::string ParseSky(std::istringstream& words);
  void AddBoxSolid(CMeshData* mesh, Vec3 lo, Vec3 hi, int material);

  StageGeometry* out;
  float wallHeight = 5.0f;
  StageColour light, ambience{0, 0, 0};
  StageColour tints[kStageMaterialCount];
  CMeshData sky;
};

// Three colour components within range.
std::string ReadColour(std::istringstream& words, const std::string& what, StageColour* colour)
{
  if (!(words >> colour->r >> colour->g >> colour->b)) return what + " needs R G B";
  for (const float c : {colour->r, colour->g, colour->b}) {
    if (!(c >= 0 && c <= kMaxColour)) return "colour components must be 0 to 4";
  }
  return "";
}

// A solid box both drawn and walked on.
void CStageParser::AddBoxSolid(CMeshData* mesh, Vec3 lo, Vec3 hi, int material)
{
  AddBox(mesh, lo, hi, material);
  StageSolid solid;
  solid.lo = lo;
  solid.hi = hi;
  out->solids.push_back(solid);
}

// Each keyword to its reader; solids go into the map, the plain ones into the depth mesh too.
std::string CStageParser::ParseLine(std::istringstream& words)
{
  std::string keyword;
  if (!(words >> keyword)) return "";
  bool detail = false;
  if (keyword == "detail") {
    detail = true;
    if (!(words >> keyword)) return "detail without a solid";
  }
  const bool solidLine =
      keyword == "wall" || keyword == "floor" || keyword == "box" || keyword == "stairs" || keyword == "ramp";
  if (detail && !solidLine) return "detail goes only before a solid";
  std::string problem;
  CMeshData solid;
  if (keyword == "wallheight") {
    if (!(words >> wallHeight) || wallHeight <= 0) return "wallheight needs a positive height";
  } else if (keyword == "actor") {
    StageActorEntry entry;
    if (!(words >> entry.name >> entry.x >> entry.y >> entry.z)) return "actor needs a name and x y z";
    if (!IsStageActorName(entry.name)) return "unknown actor '" + entry.name + "'";
    out->actors.push_back(entry);
  } else if (keyword == "light" || keyword == "ambience" || keyword == "tint") {
    problem = ParseLook(keyword, words);
  } else if (keyword == "sky") {
    problem = ParseSky(words);
  } else if (keyword == "view") {
    if (out->hasView) return "a stage has one view";
    Vec3& e = out->viewEye;
    Vec3& t = out->viewTarget;
    if (!(words >> e.x >> e.y >> e.z >> t.x >> t.y >> t.z)) return "view needs eye x y z and target x y z";
    out->hasView = true;
  } else if (solidLine) {
    problem = ParseSolid(keyword, words, &solid);
  } else {
    return "unknown line '" + keyword + "'";
  }
  if (!problem.empty()) return problem;
  std::string extra;
  if (words >> extra) return "unexpected '" + extra + "' at the end of the line";
  if (solid.triangles.empty()) return "";
  for (const Triangle& t : solid.triangles) {
    const Vec3 a = solid.vertices[t.a].position;
    if (Length(Cross(solid.vertices[t.b].position - a, solid.vertices[t.c].position - a)) < 1e-6f) {
      return "a solid with no volume";
    }
  }
  out->map.MergeSharingMaterials(solid);
  if (!detail) out->depthMap.MergeSharingMaterials(solid);
  return "";
}

// wall, floor and box; stairs and ramps go on to ParseRise.
std::string CStageParser::ParseSolid(const std::string& keyword, std::istringstream& words, CMeshData* solid)
{
  if (keyword == "wall") {
    float x0, z0, x1, z1;
    if (!(words >> x0 >> z0 >> x1 >> z1)) return "wall needs x0 z0 x1 z1";
    AddBoxSolid(solid, {std::min(x0, x1), 0, std::min(z0, z1)}, {std::max(x0, x1), wallHeight, std::max(z0, z1)}, 1);
    return "";
  }
  std::string materialName;
  if (!(words >> materialName)) return keyword + " needs a material";
  const int material = MaterialIndex(materialName);
  if (material < 0) return "unknown material '" + materialName + "'";
  if (keyword == "floor") {
    float x0, z0, x1, z1, top;
    if (!(words >> x0 >> z0 >> x1 >> z1 >> top)) return "floor needs x0 z0 x1 z1 top";
    AddBoxSolid(solid, {std::min(x0, x1), top - kSlabThickness, std::min(z0, z1)},
                {std::max(x0, x1), top, std::max(z0, z1)}, material);
    return "";
  }
  if (keyword == "box") {
    float x0, y0, z0, x1, y1, z1;
    if (!(words >> x0 >> y0 >> z0 >> x1 >> y1 >> z1)) return "box needs x0 y0 z0 x1 y1 z1";
    AddBoxSolid(solid, {std::min(x0, x1), std::min(y0, y1), std::min(z0, z1)},
                {std::max(x0, x1), std::max(y0, y1), std::max(z0, z1)}, material);
    return "";
  }
  return ParseRise(keyword, material, words, solid);
}

// stairs and ramps: a footprint, two heights, a step count for stairs, a direction.
std::string CStageParser::ParseRise(const std::string& keyword, int material, std::istringstream& words,
                                    CMeshData* solid)
{
  Footprint f{};
  float y0, y1;
  int steps = 1;
  std::string direction;
  if (!(words >> f.x0 >> f.z0 >> f.x1 >> f.z1 >> y0 >> y1)) return keyword + " needs x0 z0 x1 z1 y0 y1";
  if (keyword == "stairs" && (!(words >> steps) || steps < 1)) return "stairs need a step count";
  if (!(words >> direction) || !ParseDirection(direction, &f)) return "direction must be +x, -x, +z or -z";
  if (f.x0 > f.x1) std::swap(f.x0, f.x1);
  if (f.z0 > f.z1) std::swap(f.z0, f.z1);
  if (y1 <= y0) return keyword + " must rise: y1 above y0";
  if (keyword == "ramp") {
    AddRamp(solid, f, y0, y1, material);
    StageSolid wedge;
    wedge.lo = {f.x0, y0, f.z0};
    wedge.hi = {f.x1, y1, f.z1};
    wedge.rampAxis = f.axis;
    wedge.rampSign = f.sign;
    out->solids.push_back(wedge);
    return "";
  }
  // Each step is a solid column from y0, so the stairs have no hollow underneath.
  for (int k = 0; k < steps; ++k) {
    const float top = y0 + (y1 - y0) * static_cast<float>(k + 1) / steps;
    const Vec3 a = f.At(static_cast<float>(k) / steps, 0, y0);
    const Vec3 b = f.At(static_cast<float>(k + 1) / steps, 1, top);
    AddBoxSolid(solid, {std::min(a.x, b.x), y0, std::min(a.z, b.z)}, {std::max(a.x, b.x), top, std::max(a.z, b.z)},
                material);
  }
  return "";
}

// light, ambience and tint.
std::string CStageParser::ParseLook(const std::string& keyword, std::istringstream& words)
{
  if (keyword == "light") return ReadColour(words, keyword, &light);
  if (keyword == "ambience") return ReadColour(words, keyword, &ambience);
  std::string materialName;
  if (!(words >> materialName)) return "tint needs a material and R G B";
  const int material = MaterialIndex(materialName);
  if (material < 0) return "unknown material '" + materialName + "'";
  return ReadColour(words, keyword, &tints[material]);
}

// Four walls and a roof seen from inside, each wall in bands from the horizon up.
std::string CStageParser::ParseSky(std::istringstream& words)
{
  if (!sky.triangles.empty()) return "a stage has one sky";
  float x0, z0, x1, z1, y0, y1;
  if (!(words >> x0 >> z0 >> x1 >> z1 >> y0 >> y1)) return "sky needs x0 z0 x1 z1 y0 y1";
  if (x0 > x1) std::swap(x0, x1);
  if (z0 > z1) std::swap(z0, z1);
  if (y1 <= y0 || x1 <= x0 || z1 <= z0) return "sky must enclose a volume: y1 above y0";
  for (int band = 0; band < kSkyBands; ++band) {
    const float lo = y0 + (y1 - y0) * band / kSkyBands, hi = y0 + (y1 - y0) * (band + 1) / kSkyBands;
    const Vec3 p[8] = {{x0, lo, z0}, {x1, lo, z0}, {x1, hi, z0}, {x0, hi, z0},
                       {x0, lo, z1}, {x1, lo, z1}, {x1, hi, z1}, {x0, hi, z1}};
    // The box's faces wound the other way round: they face inwards.
    AddFace(&sky, {p[1], p[2], p[3], p[0]}, band);  // south, facing +z
    AddFace(&sky, {p[7], p[6], p[5], p[4]}, band);  // north
    AddFace(&sky, {p[3], p[7], p[4], p[0]}, band);  // west
    AddFace(&sky, {p[5], p[6], p[2], p[1]}, band);  // east
  }
  AddFace(&sky, {{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}}, kSkyBands - 1);  // roof, facing down
  return "";
}

// Only the surfaces used, in their index order, each under the stage's light; the sky last.
void CStageParser::Finish()
{
  int remap[kStageMaterialCount];
  bool used[kStageMaterialCount] = {};
  for (const Triangle& t : out->map.triangles) used[t.material] = true;
  for (int i = 0; i < kStageMaterialCount; ++i) {
    remap[i] = static_cast<int>(out->map.materials.size());
    if (!used[i]) continue;
    Material m = MakeTexturedMaterial(kStageMaterialNames[i], kStageMaterialTextures[i], 0.05f, 4);
    m.diffuse = {tints[i].r * light.r, tints[i].g * light.g, tints[i].b * light.b, 1};
    m.ambient = m.diffuse;
    m.emissive = {ambience.r * tints[i].r, ambience.g * tints[i].g, ambience.b * tints[i].b, 1};
    out->map.materials.push_back(m);
  }
  for (Triangle& t : out->map.triangles) t.material = remap[t.material];
  if (sky.triangles.empty()) return;
  const int first = static_cast<int>(out->map.materials.size());
  for (Triangle& t : sky.triangles) t.material += first;
  out->map.MergeSharingMaterials(sky);
  for (int band = 0; band < kSkyBands; ++band) {
    // Unlit: no diffuse colour, only the band's glow, which the generator sets.
    Material m = MakeMaterial(std::string(kSkyMaterialPrefix) + std::to_string(band), {0, 0, 0, 1}, 0, 0);
    m.ambient = m.diffuse;
    out->map.materials.push_back(m);
  }
}

}  // namespace

// One of the factory's class names.
bool IsStageActorName(const std::string& name)
{
  for (const char* known : kStageActorNames) {
    if (name == known) return true;
  }
  return false;
}

// The lines in order; the first bad one stops the build with its number.
bool BuildStageGeometry(const std::string& text, const std::string& sourceName, StageGeometry* out, std::string* error)
{
  *out = StageGeometry();
  CStageParser parser(out);
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  auto fail = [&](const std::string& problem) {
    *error = sourceName + ":" + std::to_string(lineNumber) + ": " + problem;
    return false;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    const std::string problem = parser.ParseLine(words);
    if (!problem.empty()) return fail(problem);
  }
  if (out->map.triangles.empty()) return fail("no solids");
  parser.Finish();
  out->depthMap.SetMaterialIndex(0);
  out->depthMap.materials = {MakeMaterial("depth", {1, 1, 1, 1}, 0, 0)};
  return true;
}

// "Name x y z" per line, the numbers as %g writes them.
std::string StageFileText(const std::vector<StageActorEntry>& actors)
{
  std::string text;
  char buffer[64];
  for (const StageActorEntry& entry : actors) {
    std::snprintf(buffer, sizeof buffer, " %g %g %g\n", entry.x, entry.y, entry.z);
    text += entry.name + buffer;
  }
  return text;
}

}  // namespace contentgen
