// Face adjacency of a loaded mesh, as the loader's adjacency buffer holds it: for each
// face edge the first other face (lowest index) sharing that edge, ignoring winding.
// Vertices split for normals or UVs are joined back by exact position first.
// Depends on xmesh_data.h.
#include <cstring>
#include <unordered_map>

#include "xmesh_data.h"

namespace {

// Hash of a position's exact bits.
struct PositionKey {
  uint32_t bits[3];
  bool operator==(const PositionKey& o) const { return std::memcmp(bits, o.bits, sizeof bits) == 0; }
};

// Mixes the three words of a position key.
struct PositionHash {
  size_t operator()(const PositionKey& k) const
  {
    return (static_cast<size_t>(k.bits[0]) * 73856093u) ^ (static_cast<size_t>(k.bits[1]) * 19349663u) ^
           (static_cast<size_t>(k.bits[2]) * 83492791u);
  }
};

}  // namespace

// Maps vertices to point representatives, collects the faces on each undirected edge, then
// picks each edge's first other face.
void XMeshData::ComputeAdjacency(std::vector<uint32_t>* out) const
{
  std::vector<uint32_t> point(positions.size());
  std::unordered_map<PositionKey, uint32_t, PositionHash> firstAt;
  for (uint32_t v = 0; v < positions.size(); ++v) {
    PositionKey key{};
    std::memcpy(key.bits, &positions[v].x, sizeof key.bits);
    point[v] = firstAt.emplace(key, v).first->second;
  }
  const auto edgeKey = [&](uint32_t f, int k) {
    const uint32_t a = point[indices[3 * f + k]], b = point[indices[3 * f + (k + 1) % 3]];
    return a < b ? (static_cast<uint64_t>(a) << 32) | b : (static_cast<uint64_t>(b) << 32) | a;
  };
  // Each edge keeps the two lowest faces on it: enough to name "the first other face".
  std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> facesOnEdge;
  for (uint32_t f = 0; f < FaceCount(); ++f) {
    for (int k = 0; k < 3; ++k) {
      const auto [it, added] = facesOnEdge.emplace(edgeKey(f, k), std::make_pair(f, kXMeshNoNeighbour));
      if (!added && it->second.second == kXMeshNoNeighbour && it->second.first != f) it->second.second = f;
    }
  }
  out->assign(3 * static_cast<size_t>(FaceCount()), kXMeshNoNeighbour);
  for (uint32_t f = 0; f < FaceCount(); ++f) {
    for (int k = 0; k < 3; ++k) {
      const std::pair<uint32_t, uint32_t>& faces = facesOnEdge[edgeKey(f, k)];
      (*out)[3 * f + k] = faces.first != f ? faces.first : faces.second;
    }
  }
}
