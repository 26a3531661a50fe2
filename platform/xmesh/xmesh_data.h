// The loaded form of a .x model, independent of any graphics API: one merged
// triangle mesh with per-vertex position, normal and UV, faces sorted by material,
// the materials in file order and D3DX-style attribute ranges. The device layer
// turns it into an ID3DXMesh; ray queries use it directly (xmesh_ray.h).
// Limits: at most kXMeshMaxVertices vertices (16-bit indices); frame hierarchies are
// flattened (no animation, no skinning). Depends on the D3DX math types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "d3dx9math.h"

// 16-bit index buffers cannot address more vertices than this.
constexpr uint32_t kXMeshMaxVertices = 65535;

// Bytes per vertex in the packed layout the game locks: position, normal, one UV set.
constexpr uint32_t kXMeshVertexStride = 32;

// Adjacency entry for an edge no other face shares.
constexpr uint32_t kXMeshNoNeighbour = 0xFFFFFFFFu;

// One material as D3DMATERIAL9 holds it, plus the texture file named in the model.
struct XMeshMaterial {
  D3DCOLORVALUE diffuse;   // the .x faceColor
  D3DCOLORVALUE ambient;   // .x has none: black
  D3DCOLORVALUE specular;  // specularColor, alpha 1
  D3DCOLORVALUE emissive;  // emissiveColor, alpha 1
  float power;
  std::string textureFileName;  // as written in the file; empty when the material names none
};

// The faces and vertices one subset spans, as D3DXATTRIBUTERANGE.
struct XMeshAttributeRange {
  uint32_t attribId;
  uint32_t faceStart;
  uint32_t faceCount;
  uint32_t vertexStart;
  uint32_t vertexCount;
};

struct XMeshData {
  std::vector<D3DXVECTOR3> positions;  // one entry per vertex
  std::vector<D3DXVECTOR3> normals;    // one per vertex; zero where the file gave none
  std::vector<D3DXVECTOR2> uvs;        // one per vertex; zero where the file gave none
  std::vector<uint32_t> indices;       // three per face, each below kXMeshMaxVertices
  std::vector<uint32_t> attributes;    // one per face: the material index, never decreasing
  std::vector<XMeshMaterial> materials;
  std::vector<XMeshAttributeRange> attributeTable;  // one per material that has faces, in order
  bool hasNormals = false;
  bool hasUvs = false;

  // Number of triangles.
  uint32_t FaceCount() const { return static_cast<uint32_t>(attributes.size()); }
  // Number of vertices.
  uint32_t VertexCount() const { return static_cast<uint32_t>(positions.size()); }
  // True when every index fits a 16-bit index buffer.
  bool IndicesFitSixteenBits() const;
  // The indices as a 16-bit index buffer holds them; false (and nothing written) if one does not fit.
  bool CopyIndices16(std::vector<uint16_t>* out) const;
  // The vertices interleaved as position, normal, UV (kXMeshVertexStride bytes each).
  void PackVertices(std::vector<uint8_t>* out) const;
  // Three entries per face: the face across each edge (corner k to k+1), or kXMeshNoNeighbour.
  // Vertices at the same position count as one point, so split vertices do not cut edges.
  void ComputeAdjacency(std::vector<uint32_t>* out) const;
};

// Loads a .x file held in memory (text or binary, 32- or 64-bit floats). On failure returns
// false, leaves *mesh empty and puts a one-line reason in *error.
bool LoadXMesh(const uint8_t* data, size_t size, XMeshData* mesh, std::string* error);
