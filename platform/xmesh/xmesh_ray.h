// Ray queries against a triangle mesh, as D3DXIntersect answers them: the nearest hit
// (both sides of a triangle count), its face index, barycentrics U and V (hit = V0 +
// U(V1 - V0) + V(V2 - V0)) and the distance in units of the direction's length (hit =
// origin + dist * direction), or every hit. A bounding volume hierarchy built once per
// mesh answers exactly as the plain loop over all faces, which is kept as the reference.
// Rules shared by both: a hit needs dist >= 0; the nearest is the smallest dist, and on
// equal dist the lowest face index; all hits come in face order. Faces with a vertex that
// is not finite, or an index past the vertex count, are never hit.
// Depends on the D3DX math types and xmesh_data.h.
#pragma once

#include <cstdint>
#include <vector>

#include "d3dx9math.h"
#include "xmesh_data.h"

// One ray-triangle hit, as D3DXINTERSECTINFO.
struct XMeshHit {
  uint32_t faceIndex;
  float u;
  float v;
  float dist;
};

class CXMeshRayIndex {
public:
  // Copies the triangles and builds the hierarchy (three indices per face).
  void Build(const D3DXVECTOR3* positions, uint32_t vertexCount, const uint32_t* indices, uint32_t faceCount);
  // Builds over a loaded mesh.
  void Build(const XMeshData& mesh);
  // Nearest hit through the hierarchy; false when the ray hits nothing.
  bool Nearest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, XMeshHit* hit) const;
  // Every hit through the hierarchy, in face order.
  void All(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, std::vector<XMeshHit>* hits) const;
  // Nearest hit by testing every face in order (the reference the hierarchy must match).
  bool NearestByLoop(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, XMeshHit* hit) const;
  // Every hit by testing every face in order.
  void AllByLoop(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, std::vector<XMeshHit>* hits) const;
  // Faces the index was built over.
  uint32_t FaceCount() const { return static_cast<uint32_t>(faceTris_.size()); }
  // Nodes in the hierarchy (for the benchmark's report).
  uint32_t NodeCount() const { return static_cast<uint32_t>(nodes_.size()); }

  // A triangle as the test reads it: first corner and the two edges from it.
  struct Tri {
    float v0[3];
    float e1[3];
    float e2[3];
  };
  // An axis-aligned box, slightly larger than what it bounds.
  struct Box {
    float min[3];
    float max[3];
  };
  // A hierarchy node: a leaf holds faces [first, first + count) of the leaf order; an inner
  // node's children are the next node and node `second`.
  struct Node {
    Box box;
    uint32_t firstOrSecond;
    uint16_t count;  // 0 for an inner node
    uint16_t axis;   // split axis of an inner node
  };

private:
  void BuildNodes();
  uint32_t BuildRange(uint32_t first, uint32_t count, std::vector<float>* centroids);

  std::vector<Tri> faceTris_;  // face order, for the loop
  std::vector<Box> faceBoxes_;
  std::vector<uint8_t> faceValid_;
  std::vector<Node> nodes_;
  std::vector<uint32_t> leafFaces_;  // face index of each leaf slot
  std::vector<Tri> leafTris_;        // the same triangles in leaf order, for cache-friendly leaves
  std::vector<Box> leafBoxes_;
};
