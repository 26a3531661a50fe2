// Mesh building operations: transforms, merging and normals.
#include "mesh/mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace stagebuild {

// Appends a vertex.
uint32_t CMeshData::AddVertex(Vec3 position, Vec3 normal, Vec2 uv)
{
  vertices.push_back({position, normal, uv});
  return static_cast<uint32_t>(vertices.size() - 1);
}

// Appends a triangle.
void CMeshData::AddTriangle(uint32_t a, uint32_t b, uint32_t c, int material)
{
  triangles.push_back({a, b, c, material});
}

// Appends a quad as two triangles sharing the a-c diagonal.
void CMeshData::AddQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, int material)
{
  AddTriangle(a, b, c, material);
  AddTriangle(a, c, d, material);
}

// Transforms positions and normals; mirrors reverse the winding.
void CMeshData::ApplyTransform(const Transform& transform)
{
  const Transform normalTransform = NormalTransform(transform);
  for (Vertex& v : vertices) {
    v.position = transform.Point(v.position);
    v.normal = Normalize(normalTransform.Direction(v.normal));
  }
  if (Determinant(transform) < 0) {
    for (Triangle& t : triangles) std::swap(t.b, t.c);
  }
}

// One material for all triangles.
void CMeshData::SetMaterialIndex(int material)
{
  for (Triangle& t : triangles) t.material = material;
}

// Appends other with its own materials.
void CMeshData::Merge(const CMeshData& other)
{
  const int materialBase = static_cast<int>(materials.size());
  const uint32_t vertexBase = static_cast<uint32_t>(vertices.size());
  materials.insert(materials.end(), other.materials.begin(), other.materials.end());
  vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
  for (const Triangle& t : other.triangles) {
    triangles.push_back({t.a + vertexBase, t.b + vertexBase, t.c + vertexBase, t.material + materialBase});
  }
}

// Appends other's geometry; its material indices refer to our table.
void CMeshData::MergeSharingMaterials(const CMeshData& other)
{
  const uint32_t vertexBase = static_cast<uint32_t>(vertices.size());
  vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
  for (const Triangle& t : other.triangles) {
    triangles.push_back({t.a + vertexBase, t.b + vertexBase, t.c + vertexBase, t.material});
  }
}

// Face normals weighted by the corner angle, summed per position: the result does not
// depend on how a face was cut into triangles, and UV seams do not show.
void CMeshData::ComputeSmoothNormals()
{
  using Key = std::tuple<float, float, float>;
  std::map<Key, Vec3> sums;
  for (const Triangle& t : triangles) {
    const uint32_t corner[3] = {t.a, t.b, t.c};
    const Vec3 a = vertices[t.a].position, b = vertices[t.b].position, c = vertices[t.c].position;
    const Vec3 face = Normalize(Cross(b - a, c - a));
    for (int k = 0; k < 3; ++k) {
      const Vec3 p = vertices[corner[k]].position;
      const Vec3 e1 = Normalize(vertices[corner[(k + 1) % 3]].position - p);
      const Vec3 e2 = Normalize(vertices[corner[(k + 2) % 3]].position - p);
      const float angle = std::acos(std::clamp(Dot(e1, e2), -1.0f, 1.0f));
      Vec3& sum = sums[Key(p.x, p.y, p.z)];
      sum = sum + face * angle;
    }
  }
  for (Vertex& v : vertices) {
    const auto found = sums.find(Key(v.position.x, v.position.y, v.position.z));
    if (found != sums.end() && Length(found->second) > 0) v.normal = Normalize(found->second);
  }
}

// Splits every triangle onto its own vertices carrying the face normal.
void CMeshData::MakeHardNormals()
{
  std::vector<Vertex> split;
  split.reserve(triangles.size() * 3);
  for (Triangle& t : triangles) {
    const Vec3 a = vertices[t.a].position, b = vertices[t.b].position, c = vertices[t.c].position;
    const Vec3 n = Normalize(Cross(b - a, c - a));
    const uint32_t base = static_cast<uint32_t>(split.size());
    for (const uint32_t index : {t.a, t.b, t.c}) {
      Vertex v = vertices[index];
      v.normal = n;
      split.push_back(v);
    }
    t.a = base;
    t.b = base + 1;
    t.c = base + 2;
  }
  vertices.swap(split);
}

// Multiplies every UV.
void CMeshData::ScaleUv(float su, float sv)
{
  for (Vertex& v : vertices) {
    v.uv.x *= su;
    v.uv.y *= sv;
  }
}

// Axis-aligned bounds of the positions (zero when empty).
void CMeshData::Bounds(Vec3* low, Vec3* high) const
{
  *low = *high = vertices.empty() ? Vec3{} : vertices[0].position;
  for (const Vertex& v : vertices) {
    low->x = std::min(low->x, v.position.x);
    low->y = std::min(low->y, v.position.y);
    low->z = std::min(low->z, v.position.z);
    high->x = std::max(high->x, v.position.x);
    high->y = std::max(high->y, v.position.y);
    high->z = std::max(high->z, v.position.z);
  }
}

}  // namespace stagebuild
