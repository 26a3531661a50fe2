// libFuzzer target: any bytes into the .x reader. A failed load must leave the mesh empty;
// a successful one must hold together (indices in range, faces sorted by material, the
// attribute table covering every face), and on small meshes the ray hierarchy must answer
// as the loop over all faces. Any broken promise traps. Seeds: corpus/ next to this file;
// dictionary: xfile.dict (-dict=xfile.dict).
#include <cstdint>
#include <cstring>
#include <string>

#include "xmesh_data.h"
#include "xmesh_ray.h"

namespace {

// Stops the run on a broken promise so libFuzzer records the input.
void Require(bool condition)
{
  if (!condition) __builtin_trap();
}

// Checks what every successful load promises.
void CheckMesh(const XMeshData& mesh)
{
  Require(mesh.VertexCount() <= kXMeshMaxVertices);
  Require(mesh.normals.size() == mesh.positions.size() && mesh.uvs.size() == mesh.positions.size());
  Require(mesh.indices.size() == 3 * static_cast<size_t>(mesh.FaceCount()));
  Require(mesh.FaceCount() > 0 && !mesh.materials.empty());
  for (const uint32_t index : mesh.indices) Require(index < mesh.VertexCount());
  uint32_t covered = 0;
  for (size_t f = 0; f < mesh.attributes.size(); ++f) {
    Require(mesh.attributes[f] < mesh.materials.size());
    Require(f == 0 || mesh.attributes[f - 1] <= mesh.attributes[f]);
  }
  for (const XMeshAttributeRange& range : mesh.attributeTable) {
    Require(range.faceStart == covered);
    for (uint32_t f = range.faceStart; f < range.faceStart + range.faceCount; ++f) {
      Require(mesh.attributes[f] == range.attribId);
      for (int k = 0; k < 3; ++k) {
        const uint32_t v = mesh.indices[3 * f + k];
        Require(v >= range.vertexStart && v < range.vertexStart + range.vertexCount);
      }
    }
    covered += range.faceCount;
  }
  Require(covered == mesh.FaceCount());
}

// Casts a few rays derived from the mesh itself through both searches.
void CheckRays(const XMeshData& mesh)
{
  if (mesh.FaceCount() > 2000) return;  // keep executions fast
  CXMeshRayIndex index;
  index.Build(mesh);
  for (uint32_t i = 0; i < 8; ++i) {
    const D3DXVECTOR3 a = mesh.positions[mesh.indices[(3 * i) % mesh.indices.size()]];
    const D3DXVECTOR3 b = mesh.positions[mesh.indices[(7 * i + 1) % mesh.indices.size()]];
    const D3DXVECTOR3 origin = a * 2.0f - b + D3DXVECTOR3(0.125f * i, 0.5f, -0.25f);
    const D3DXVECTOR3 direction = b - origin;
    XMeshHit fromTree{}, fromLoop{};
    const bool treeHit = index.Nearest(origin, direction, &fromTree);
    const bool loopHit = index.NearestByLoop(origin, direction, &fromLoop);
    Require(treeHit == loopHit);
    if (treeHit) {
      Require(fromTree.faceIndex == fromLoop.faceIndex);
      Require(std::memcmp(&fromTree, &fromLoop, sizeof fromTree) == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  XMeshData mesh;
  std::string error;
  if (!LoadXMesh(data, size, &mesh, &error)) {
    Require(!error.empty() && mesh.positions.empty() && mesh.indices.empty() && mesh.materials.empty());
    return 0;
  }
  CheckMesh(mesh);
  CheckRays(mesh);
  return 0;
}
