// CMesh loading and the mesh cache of CGraphics.
#include "mesh.h"

#include "asset_report.h"

#include "graphics.h"

namespace OstrelLibrary {

CMesh::~CMesh()
{
  Release();
}

void CMesh::Release()
{
  materials.clear();
  textures.clear();
  normalTextures.clear();
  if (adjacency) {
    adjacency->Release();
    adjacency = nullptr;
  }
  if (mesh) {
    mesh->Release();
    mesh = nullptr;
  }
  if (device) {
    device->Release();
    device = nullptr;
  }
  fileName = "";
}

bool CMesh::Load(IDirect3DDevice9* newDevice, const std::string& path)
{
  Release();
  device = newDevice;
  if (device) device->AddRef();

  // Both separators count; the directory keeps its trailing separator for texture paths.
  const size_t separator = path.find_last_of("/\\");
  const std::string directory = separator == std::string::npos ? "" : path.substr(0, separator + 1);
  fileName = separator == std::string::npos ? path : path.substr(separator + 1);

  ID3DXBuffer* materialBuffer = nullptr;
  DWORD materialCount = 0;
  ID3DXMesh* loaded = nullptr;
  if (FAILED(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, device, &adjacency, &materialBuffer, nullptr,
                                &materialCount, &loaded))) {
    return false;
  }

  materials.resize(materialCount);
  textures.resize(materialCount);
  normalTextures.resize(materialCount);
  const D3DXMATERIAL* source =
      materialBuffer ? static_cast<const D3DXMATERIAL*>(materialBuffer->GetBufferPointer()) : nullptr;
  CGraphics* graphics = CGraphics::GetInstance();
  for (DWORD i = 0; i < materialCount; ++i) {
    materials[i] = source[i].MatD3D;
    materials[i].Ambient = materials[i].Diffuse;
    const std::string texturePath = directory + (source[i].pTextureFilename ? source[i].pTextureFilename : "");
    textures[i] = graphics->GetTexture(device, texturePath);
    normalTextures[i] = graphics->GetTexture(device, InsertBeforeExtension(texturePath, "normal"));
  }
  if (materialBuffer) materialBuffer->Release();

  ID3DXMesh* clone = nullptr;
  const HRESULT cloned = loaded->CloneMeshFVF(D3DXMESH_MANAGED | D3DXMESH_NPATCHES,
                                              D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device, &clone);
  loaded->Release();
  if (FAILED(cloned)) {
    // Without the clone nothing can be drawn; an empty mesh is the honest result.
    materials.clear();
    textures.clear();
    normalTextures.clear();
    return false;
  }
  mesh = clone;
  return true;
}

std::string InsertBeforeExtension(const std::string& name, const std::string& suffix)
{
  if (name.empty()) return "";
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return "";
  return name.substr(0, dot) + "." + suffix + name.substr(dot);
}

std::shared_ptr<CMesh> CGraphics::GetMesh(IDirect3DDevice9* device, const std::string& path)
{
  std::shared_ptr<CMesh> created = std::make_shared<CMesh>();
  const auto found = meshCache.find(path);
  if (found != meshCache.end()) return found->second;
  if (!created->Load(device, path)) ReportUnusableAsset(path, "not a mesh the game can read");
  meshCache[path] = created;
  return created;
}

}  // namespace OstrelLibrary
