// One `.x` model: the D3DX mesh in position + normal + one UV set, a material per
// subset, and each material's colour texture and normal map from the texture cache.
// Meshes never draw themselves: the shaders walk the materials subset by subset.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "d3d9.h"
#include "d3dx9mesh.h"
#include "texture.h"

namespace OstrelLibrary {

class CMesh {
public:
  ID3DXMesh* mesh = nullptr;                              // null when empty
  std::vector<D3DMATERIAL9> materials;                    // subset i uses material i
  std::vector<std::shared_ptr<CTexture>> textures;        // colour texture of material i
  std::vector<std::shared_ptr<CTexture>> normalTextures;  // normal map of material i
  ID3DXBuffer* adjacency = nullptr;                       // kept from the loader, not drawn with
  IDirect3DDevice9* device = nullptr;                     // one reference held
  std::string fileName;                                   // name and extension, no directory

  CMesh() = default;
  ~CMesh();
  CMesh(const CMesh&) = delete;
  CMesh& operator=(const CMesh&) = delete;

  // Loads a `.x` file with its textures and normal maps; false leaves the mesh empty.
  bool Load(IDirect3DDevice9* device, const std::string& path);
  // Empties the mesh and drops the device reference.
  void Release();
};

// "dir/wall.png" with "normal" gives "dir/wall.normal.png"; "" when name has no dot.
std::string InsertBeforeExtension(const std::string& name, const std::string& suffix);

}  // namespace OstrelLibrary
