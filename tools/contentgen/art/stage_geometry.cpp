// Stage sources into meshes: a small line parser and the solid builders.
#include "art/stage_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "art/model_helpers.h"

namespace contentgen {

const char* const kStageMaterialNames[4] = {"stone", "brick", "wood", "trim"};
const char* const kStageMaterialTextures[4] = {"stone_floor.png", "brick_wall.png", "wood_floor.png",
                                               "stone_trim.png"};

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
  int axis;   // 0: x, 2: z
  int sign;   // +1 rising towards +axis
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
  face({lowA, lowB, highB, highA});   // bottom
  face({lowA, topA, topB, lowB});     // slope
  face({highA, highB, topB, topA});   // high end
  face({lowA, highA, topA});          // sides
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
  for (int i = 0; i < 4; ++i) {
    if (name == kStageMaterialNames[i]) return i;
  }
  return -1;
}

}  // namespace

// Each solid goes into the map; the plain ones go into the depth mesh too.
bool BuildStageGeometry(const std::string& text, const std::string& sourceName, StageGeometry* out,
                        std::string* error)
{
  *out = StageGeometry();
  float wallHeight = 5.0f;
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
    std::string keyword;
    if (!(words >> keyword)) continue;
    bool detail = false;
    if (keyword == "detail") {
      detail = true;
      if (!(words >> keyword)) return fail("detail without a solid");
    }
    CMeshData solid;
    if (keyword == "wallheight") {
      if (!(words >> wallHeight) || wallHeight <= 0) return fail("wallheight needs a positive height");
      continue;
    } else if (keyword == "actor") {
      StageActorEntry entry;
      if (!(words >> entry.name >> entry.x >> entry.y >> entry.z)) return fail("actor needs a name and x y z");
      out->actors.push_back(entry);
      continue;
    } else if (keyword == "wall") {
      float x0, z0, x1, z1;
      if (!(words >> x0 >> z0 >> x1 >> z1)) return fail("wall needs x0 z0 x1 z1");
      AddBox(&solid, {std::min(x0, x1), 0, std::min(z0, z1)}, {std::max(x0, x1), wallHeight, std::max(z0, z1)}, 1);
    } else if (keyword != "floor" && keyword != "box" && keyword != "stairs" && keyword != "ramp") {
      return fail("unknown line '" + keyword + "'");
    } else {
      std::string materialName;
      if (!(words >> materialName)) return fail(keyword + " needs a material");
      const int material = MaterialIndex(materialName);
      if (material < 0) return fail("unknown material '" + materialName + "'");
      if (keyword == "floor") {
        float x0, z0, x1, z1, top;
        if (!(words >> x0 >> z0 >> x1 >> z1 >> top)) return fail("floor needs x0 z0 x1 z1 top");
        AddBox(&solid, {std::min(x0, x1), top - kSlabThickness, std::min(z0, z1)},
               {std::max(x0, x1), top, std::max(z0, z1)}, material);
      } else if (keyword == "box") {
        float x0, y0, z0, x1, y1, z1;
        if (!(words >> x0 >> y0 >> z0 >> x1 >> y1 >> z1)) return fail("box needs x0 y0 z0 x1 y1 z1");
        AddBox(&solid, {std::min(x0, x1), std::min(y0, y1), std::min(z0, z1)},
               {std::max(x0, x1), std::max(y0, y1), std::max(z0, z1)}, material);
      } else {
        Footprint f{};
        float y0, y1;
        int steps = 1;
        std::string direction;
        if (!(words >> f.x0 >> f.z0 >> f.x1 >> f.z1 >> y0 >> y1)) return fail(keyword + " needs x0 z0 x1 z1 y0 y1");
        if (keyword == "stairs" && (!(words >> steps) || steps < 1)) return fail("stairs need a step count");
        if (!(words >> direction) || !ParseDirection(direction, &f)) return fail("direction must be +x, -x, +z or -z");
        if (f.x0 > f.x1) std::swap(f.x0, f.x1);
        if (f.z0 > f.z1) std::swap(f.z0, f.z1);
        if (y1 <= y0) return fail(keyword + " must rise: y1 above y0");
        if (keyword == "ramp") {
          AddRamp(&solid, f, y0, y1, material);
        } else {
          // Each step is a solid column from y0, so the stairs have no hollow underneath.
          for (int k = 0; k < steps; ++k) {
            const float top = y0 + (y1 - y0) * static_cast<float>(k + 1) / steps;
            const Vec3 a = f.At(static_cast<float>(k) / steps, 0, y0);
            const Vec3 b = f.At(static_cast<float>(k + 1) / steps, 1, top);
            AddBox(&solid, {std::min(a.x, b.x), y0, std::min(a.z, b.z)}, {std::max(a.x, b.x), top, std::max(a.z, b.z)},
                   material);
          }
        }
      }
    }
    for (const Triangle& t : solid.triangles) {
      const Vec3 a = solid.vertices[t.a].position;
      if (Length(Cross(solid.vertices[t.b].position - a, solid.vertices[t.c].position - a)) < 1e-6f) {
        return fail("a solid with no volume");
      }
    }
    out->map.MergeSharingMaterials(solid);
    if (!detail) out->depthMap.MergeSharingMaterials(solid);
  }
  for (int i = 0; i < 4; ++i) {
    out->map.materials.push_back(MakeTexturedMaterial(kStageMaterialNames[i], kStageMaterialTextures[i], 0.05f, 4));
  }
  out->depthMap.SetMaterialIndex(0);
  out->depthMap.materials = {MakeMaterial("depth", {1, 1, 1, 1}, 0, 0)};
  if (out->map.triangles.empty()) return fail("no solids");
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
