// Stage sources into meshes: a small line parser and the solid builders.
#include "stage/stage_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "stage/line_words.h"
#include "stage/nearest_word.h"

#include "mesh/xfile_writer.h"

namespace stagebuild {

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

// A material as D3DMATERIAL9 holds it: ambient as diffuse, grey specular, no glow.
Material SurfaceMaterial(const std::string& name, Rgba diffuse, float specular, float power,
                         const std::string& textureFile = "")
{
  Material m;
  m.name = name;
  m.diffuse = diffuse;
  m.ambient = diffuse;
  m.specular = {specular, specular, specular, 1};
  m.power = power;
  m.textureFile = textureFile;
  return m;
}

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

// The words a line may start with.
const char* const kLineKeywords[] = {"wallheight", "floor",    "wall", "box", "stairs", "ramp",  "actor",
                                     "light",      "ambience", "tint", "sky", "view",   "magic", "detail"};

// A list of known words for the nearest-word search.
template <size_t N>
std::vector<std::string> WordList(const char* const (&names)[N])
{
  return std::vector<std::string>(names, names + N);
}
std::vector<std::string> LineKeywords()
{
  return WordList(kLineKeywords);
}
std::vector<std::string> ActorNames()
{
  return WordList(kStageActorNames);
}
std::vector<std::string> MaterialNames()
{
  return WordList(kStageMaterialNames);
}

// " (did you mean 'floor'?)" when a known word is near the unknown one, else nothing.
std::string Suggestion(const std::string& word, const std::vector<std::string>& known)
{
  const std::string nearest = NearestWord(word, known);
  return nearest.empty() ? "" : " (did you mean '" + nearest + "'?)";
}

// Messages quote what was read: kept to one printable line of reasonable length, so a
// binary file cannot fill a terminal with control bytes.
std::string Printable(const std::string& message)
{
  const size_t kLongest = 160;
  std::string out;
  for (const char c : message.substr(0, kLongest)) out += (c >= ' ' && c <= '~') ? c : '?';
  if (message.size() > kLongest) out += "...";
  return out;
}

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
  // One line without its comment; an empty result means it was understood, and
  // otherwise `problemColumn` says where the problem starts.
  std::string ParseLine(CLineWords& words, int line);
  int problemColumn = 0;
  // The materials the stage uses, coloured by its light, and the sky's bands.
  void Finish();

private:
  std::string ParseSolid(const std::string& keyword, CLineWords& words, CMeshData* solid);
  std::string ParseRise(const std::string& keyword, int material, CLineWords& words, CMeshData* solid);
  std::string ParseLook(const std::string& keyword, CLineWords& words);
  std::string ParseSky(CLineWords& words);
  std::string ParseMagic(CLineWords& words);
  std::string AddToMeshes(const CMeshData& solid, bool detail);
  void AddBoxSolid(CMeshData* mesh, Vec3 lo, Vec3 hi, int material);

  StageGeometry* out;
  int line = 0, keywordColumn = 0;  // where the line being read is
  bool magicGiven = false;
  float wallHeight = 5.0f;
  StageColour light, ambience{0, 0, 0};
  StageColour tints[kStageMaterialCount];
  CMeshData sky;
};

// Three colour components within range.
std::string ReadColour(CLineWords& words, const std::string& what, StageColour* colour)
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
  solid.line = line;
  solid.column = keywordColumn;
  out->solids.push_back(solid);
}

// Each keyword to its reader; solids go into the map, the plain ones into the depth mesh too.
std::string CStageParser::ParseLine(CLineWords& words, int lineNumber)
{
  line = lineNumber;
  problemColumn = 0;
  std::string keyword;
  if (!(words >> keyword)) return "";
  keywordColumn = words.Column();
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
    entry.line = line;
    if (!(words >> entry.name)) return "actor needs a name and x y z";
    entry.column = words.Column();
    if (!IsStageActorName(entry.name))
      return "unknown actor '" + entry.name + "'" + Suggestion(entry.name, ActorNames());
    if (!(words >> entry.x >> entry.y >> entry.z)) return "actor needs a name and x y z";
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
  } else if (keyword == "magic") {
    problem = ParseMagic(words);
  } else if (solidLine) {
    problem = ParseSolid(keyword, words, &solid);
  } else {
    problemColumn = keywordColumn;
    return "unknown line '" + keyword + "'" + Suggestion(keyword, LineKeywords());
  }
  if (!problem.empty()) return problem;
  std::string extra;
  if (words >> extra) return "unexpected '" + extra + "' at the end of the line";
  if (solid.triangles.empty()) return "";
  return AddToMeshes(solid, detail);
}

// A solid with volume into the map (and, unless detail, the depth mesh), within the
// vertices 16-bit indices can address.
std::string CStageParser::AddToMeshes(const CMeshData& solid, bool detail)
{
  problemColumn = keywordColumn;
  for (const Triangle& t : solid.triangles) {
    const Vec3 a = solid.vertices[t.a].position;
    if (Length(Cross(solid.vertices[t.b].position - a, solid.vertices[t.c].position - a)) < 1e-6f) {
      return "a solid with no volume";
    }
  }
  if (out->map.vertices.size() + solid.vertices.size() > kMaxMeshVertices) {
    return "the map mesh passes the engine's limit of " + std::to_string(kMaxMeshVertices) + " vertices here";
  }
  out->map.MergeSharingMaterials(solid);
  if (!detail) out->depthMap.MergeSharingMaterials(solid);
  return "";
}

// magic: the colours the player casts with from the start, or none.
std::string CStageParser::ParseMagic(CLineWords& words)
{
  if (magicGiven) return "a stage has one magic line";
  magicGiven = true;
  std::string word;
  if (!(words >> word)) return "magic needs blue, red, blue red or none";
  if (word == "none") {
    out->magic = kStageMagicNone;
    return "";
  }
  out->magic = kStageMagicNone;
  while (true) {
    if (word == "blue") {
      out->magic |= kStageMagicBlue;
    } else if (word == "red") {
      out->magic |= kStageMagicRed;
    } else {
      problemColumn = words.Column();
      return "unknown magic '" + word + "'" + Suggestion(word, {"blue", "red", "none"});
    }
    if (words.AtEnd()) return "";
    words >> word;
  }
}

// wall, floor and box; stairs and ramps go on to ParseRise.
std::string CStageParser::ParseSolid(const std::string& keyword, CLineWords& words, CMeshData* solid)
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
  if (material < 0) return "unknown material '" + materialName + "'" + Suggestion(materialName, MaterialNames());
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
std::string CStageParser::ParseRise(const std::string& keyword, int material, CLineWords& words, CMeshData* solid)
{
  Footprint f{};
  float y0, y1;
  int steps = 1;
  std::string direction;
  if (!(words >> f.x0 >> f.z0 >> f.x1 >> f.z1 >> y0 >> y1)) return keyword + " needs x0 z0 x1 z1 y0 y1";
  // More steps than a hundred would be thinner than the engine draws well, and cost more than they show.
  if (keyword == "stairs" && (!(words >> steps) || steps < 1 || steps > 100)) return "stairs need a step count";
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
std::string CStageParser::ParseLook(const std::string& keyword, CLineWords& words)
{
  if (keyword == "light") return ReadColour(words, keyword, &light);
  if (keyword == "ambience") return ReadColour(words, keyword, &ambience);
  std::string materialName;
  if (!(words >> materialName)) return "tint needs a material and R G B";
  const int material = MaterialIndex(materialName);
  if (material < 0) return "unknown material '" + materialName + "'" + Suggestion(materialName, MaterialNames());
  return ReadColour(words, keyword, &tints[material]);
}

// Four walls and a roof seen from inside, each wall in bands from the horizon up.
std::string CStageParser::ParseSky(CLineWords& words)
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
    Material m = SurfaceMaterial(kStageMaterialNames[i], {1, 1, 1, 1}, 0.05f, 4, kStageMaterialTextures[i]);
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
    Material m = SurfaceMaterial(std::string(kSkyMaterialPrefix) + std::to_string(band), {0, 0, 0, 1}, 0, 0);
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

// Every line in order; a bad one is noted and the next is read all the same.
std::vector<StageSourceProblem> ParseStageSource(const std::string& text, StageGeometry* out, size_t maxProblems)
{
  *out = StageGeometry();
  CStageParser parser(out);
  std::vector<StageSourceProblem> problems;
  // A byte order mark, as some editors write, does not belong to the first word.
  const size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  int lineNumber = 0;
  for (size_t at = start; at < text.size() && problems.size() < maxProblems;) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    CLineWords words(line);
    std::string problem = parser.ParseLine(words, lineNumber);
    if (problem.empty()) continue;
    if (words.OutOfRange()) problem = "a number beyond the stage's reach (-200 to 200): " + problem;
    problems.push_back(
        {lineNumber, parser.problemColumn > 0 ? parser.problemColumn : words.Column(), Printable(problem)});
  }
  out->lineCount = std::max(lineNumber, 1);
  if (!problems.empty()) return problems;
  if (out->map.triangles.empty()) return {{out->lineCount, 1, "no solids"}};
  parser.Finish();
  out->depthMap.SetMaterialIndex(0);
  out->depthMap.materials = {SurfaceMaterial("depth", {1, 1, 1, 1}, 0, 0)};
  return problems;
}

// The first problem stops the build, named with its line.
bool BuildStageGeometry(const std::string& text, const std::string& sourceName, StageGeometry* out, std::string* error)
{
  const std::vector<StageSourceProblem> problems = ParseStageSource(text, out, 1);
  if (problems.empty()) return true;
  *error = sourceName + ":" + std::to_string(problems[0].line) + ": " + problems[0].message;
  return false;
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

}  // namespace stagebuild
