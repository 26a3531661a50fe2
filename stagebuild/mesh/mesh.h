// The in-memory mesh the generator builds before writing it as a .x file: vertices
// with position, normal and one UV set, triangles tagged with a material, and the
// materials (the D3DMATERIAL9 fields plus a texture file name).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/vec.h"

namespace stagebuild {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};

// One material, as D3DMATERIAL9 plus the texture the .x file names.
struct Material {
  std::string name;
  Rgba diffuse{1, 1, 1, 1};
  Rgba ambient{1, 1, 1, 1};
  Rgba specular{0, 0, 0, 1};
  Rgba emissive{0, 0, 0, 1};
  float power = 0;
  std::string textureFile;  // file name beside the .x, or empty
};

struct Vertex {
  Vec3 position;
  Vec3 normal;
  Vec2 uv;
};

// Corner indices in clockwise order seen from the front, as Direct3D culls.
struct Triangle {
  uint32_t a = 0, b = 0, c = 0;
  int material = 0;
};

class CMeshData {
public:
  std::vector<Vertex> vertices;
  std::vector<Triangle> triangles;
  std::vector<Material> materials;

  // Appends a vertex and returns its index.
  uint32_t AddVertex(Vec3 position, Vec3 normal, Vec2 uv);
  // Appends a triangle with the given material index.
  void AddTriangle(uint32_t a, uint32_t b, uint32_t c, int material = 0);
  // Appends a quad a-b-c-d (clockwise from the front) as two triangles.
  void AddQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, int material = 0);

  // Moves every vertex by the transform; a mirroring transform flips the winding
  // so faces still point out.
  void ApplyTransform(const Transform& transform);
  // Sets every triangle to one material index.
  void SetMaterialIndex(int material);
  // Appends another mesh; its materials are added after ours and its triangles renumbered.
  void Merge(const CMeshData& other);
  // Appends another mesh whose triangles keep their material indices (shared material table).
  void MergeSharingMaterials(const CMeshData& other);

  // Smooth normals: each vertex gets the area-weighted mean of the faces that use it.
  // Vertices at the same position but split for UV seams are averaged together.
  void ComputeSmoothNormals();
  // Hard normals: every triangle gets its own three vertices with the face normal.
  void MakeHardNormals();
  // Scales UVs (for tiling textures).
  void ScaleUv(float su, float sv);

  // Smallest and largest corner of the vertex positions.
  void Bounds(Vec3* low, Vec3* high) const;
};

}  // namespace stagebuild
