// ID3DXMesh on OpenGL: the loaded model's vertices and 16-bit indices in GL buffers,
// with CPU copies kept for buffer locks and ray queries. Subsets draw only inside an
// effect pass (every mesh of the game is drawn through an effect). D3DXIntersect
// answers through a bounding volume hierarchy built once per mesh, and again after a
// locked vertex buffer was written.
#include "d3dx9mesh.h"

#include "d3d9_internal.h"
#include "platform_file.h"
#include "xmesh_data.h"
#include "xmesh_ray.h"

#include <cstring>
#include <vector>

namespace {

// What the loader and CloneMeshFVF hand out: positions, normals and one UV set.
constexpr DWORD kMeshFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// One CPU copy's lock state: one lock at a time, remembering whether it could write.
struct CBufferLock {
  bool locked = false;
  bool writes = false;
  // Hands out the memory unless it is locked already.
  HRESULT Lock(DWORD flags, void* memory, LPVOID* data)
  {
    if (!data || locked) return D3DERR_INVALIDCALL;
    locked = true;
    writes = (flags & D3DLOCK_READONLY) == 0;
    *data = memory;
    return D3D_OK;
  }
  // Ends the lock; false when there was none.
  bool Unlock()
  {
    if (!locked) return false;
    locked = false;
    return true;
  }
};

// The geometry shared by a mesh and its clones' copies, with its GL buffers.
class D3DXMeshImpl : public ID3DXMesh {
public:
  D3DXMeshImpl(D3D9Device* device_, const XMeshData& data, DWORD options_)
      : device(device_), options(options_), attributeTable(data.attributeTable), attributes(data.attributes)
  {
    device->AddRef();
    data.PackVertices(&vertices);
    data.CopyIndices16(&indices);
    vertexCount = data.VertexCount();
    Upload();
  }

  // A copy of another mesh's geometry, with buffers of its own.
  D3DXMeshImpl(D3D9Device* device_, const D3DXMeshImpl& source, DWORD options_)
      : device(device_),
        options(options_),
        vertices(source.vertices),
        indices(source.indices),
        vertexCount(source.vertexCount),
        attributeTable(source.attributeTable),
        attributes(source.attributes)
  {
    device->AddRef();
    Upload();
  }

  ~D3DXMeshImpl() override
  {
    if (device->HasContext()) {
      if (vertexArray) glDeleteVertexArrays(1, &vertexArray);
      if (vertexBuffer) glDeleteBuffers(1, &vertexBuffer);
      if (indexBuffer) glDeleteBuffers(1, &indexBuffer);
    }
    device->Release();
  }

  HRESULT DrawSubset(DWORD attributeId) override
  {
    if (!device->effectProgram || !vertexArray) return D3DERR_INVALIDCALL;
    for (const XMeshAttributeRange& range : attributeTable) {
      if (range.attribId != attributeId) continue;
      if (range.faceCount == 0) return D3D_OK;
      if (!device->BindTargets()) return D3DERR_INVALIDCALL;
      device->ApplyRenderStates();
      glUseProgram(device->effectProgram);
      glBindVertexArray(vertexArray);
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(range.faceCount * 3), GL_UNSIGNED_SHORT,
                     reinterpret_cast<const void*>(static_cast<uintptr_t>(range.faceStart) * 3 * sizeof(uint16_t)));
      glBindVertexArray(0);
      return D3D_OK;
    }
    // A subset with no faces draws nothing, as in D3DX.
    return D3D_OK;
  }

  DWORD GetNumFaces() override { return static_cast<DWORD>(indices.size() / 3); }
  DWORD GetNumVertices() override { return vertexCount; }
  DWORD GetFVF() override { return kMeshFVF; }
  DWORD GetNumBytesPerVertex() override { return kXMeshVertexStride; }
  DWORD GetOptions() override { return options; }

  HRESULT GetDevice(IDirect3DDevice9** out) override
  {
    if (!out) return D3DERR_INVALIDCALL;
    *out = device;
    device->AddRef();
    return D3D_OK;
  }

  HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* tableSize) override
  {
    if (!tableSize) return D3DERR_INVALIDCALL;
    if (!table) {
      *tableSize = static_cast<DWORD>(attributeTable.size());
      return D3D_OK;
    }
    const size_t count = std::min<size_t>(*tableSize, attributeTable.size());
    for (size_t i = 0; i < count; ++i) {
      const XMeshAttributeRange& range = attributeTable[i];
      table[i] =
          D3DXATTRIBUTERANGE{range.attribId, range.faceStart, range.faceCount, range.vertexStart, range.vertexCount};
    }
    *tableSize = static_cast<DWORD>(count);
    return D3D_OK;
  }

  HRESULT LockVertexBuffer(DWORD flags, LPVOID* data) override { return vertexLock.Lock(flags, vertices.data(), data); }

  HRESULT UnlockVertexBuffer() override { return EndLock(&vertexLock); }

  HRESULT LockIndexBuffer(DWORD flags, LPVOID* data) override { return indexLock.Lock(flags, indices.data(), data); }

  HRESULT UnlockIndexBuffer() override { return EndLock(&indexLock); }

  // Ends a buffer lock; what a lock that could write changed goes to the GPU and the
  // ray index is rebuilt on the next query.
  HRESULT EndLock(CBufferLock* lock)
  {
    if (!lock->Unlock()) return D3DERR_INVALIDCALL;
    if (lock->writes) {
      Upload();
      rayIndexBuilt = false;
    }
    return D3D_OK;
  }

  HRESULT CloneMeshFVF(DWORD cloneOptions, DWORD fvf, IDirect3DDevice9* target, ID3DXMesh** clone) override
  {
    if (!clone) return D3DERR_INVALIDCALL;
    *clone = nullptr;
    // Only the layout every mesh already has can be asked for.
    if (fvf != kMeshFVF || !target) return D3DERR_INVALIDCALL;
    *clone = new D3DXMeshImpl(static_cast<D3D9Device*>(target), *this, cloneOptions);
    return D3D_OK;
  }

  // The nearest hit, through the hierarchy (built on first use after a change).
  bool Intersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, XMeshHit* hit)
  {
    BuildRayIndex();
    return rayIndex.Nearest(origin, direction, hit);
  }

  // Every hit, in face order.
  void IntersectAll(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, std::vector<XMeshHit>* hits)
  {
    BuildRayIndex();
    rayIndex.All(origin, direction, hits);
  }

private:
  // Sends the CPU copies to GL and sets up the attribute slots every effect reads.
  void Upload()
  {
    if (!device->HasContext() || vertices.empty() || indices.empty()) return;
    if (!vertexArray) {
      glGenVertexArrays(1, &vertexArray);
      glGenBuffers(1, &vertexBuffer);
      glGenBuffers(1, &indexBuffer);
    }
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size()), vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint16_t)), indices.data(),
                 GL_STATIC_DRAW);
    const GLsizei stride = static_cast<GLsizei>(kXMeshVertexStride);
    glEnableVertexAttribArray(D3D9_ATTRIBUTE_POSITION);
    glVertexAttribPointer(D3D9_ATTRIBUTE_POSITION, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(0));
    glEnableVertexAttribArray(D3D9_ATTRIBUTE_NORMAL);
    glVertexAttribPointer(D3D9_ATTRIBUTE_NORMAL, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(D3D9_ATTRIBUTE_TEXCOORD);
    glVertexAttribPointer(D3D9_ATTRIBUTE_TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(24));
    glDisableVertexAttribArray(D3D9_ATTRIBUTE_COLOR);
    glVertexAttrib4f(D3D9_ATTRIBUTE_COLOR, 1.0f, 1.0f, 1.0f, 1.0f);
    glBindVertexArray(0);
  }

  // The hierarchy over the current vertices and indices.
  void BuildRayIndex()
  {
    if (rayIndexBuilt) return;
    std::vector<D3DXVECTOR3> positions(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) {
      std::memcpy(&positions[i], vertices.data() + static_cast<size_t>(i) * kXMeshVertexStride, sizeof(D3DXVECTOR3));
    }
    const std::vector<uint32_t> wide(indices.begin(), indices.end());
    rayIndex.Build(positions.data(), vertexCount, wide.data(), static_cast<uint32_t>(wide.size() / 3));
    rayIndexBuilt = true;
  }

  D3D9Device* device;
  DWORD options;
  std::vector<uint8_t> vertices;  // kXMeshVertexStride bytes each, position first
  std::vector<uint16_t> indices;  // three per face
  uint32_t vertexCount = 0;
  std::vector<XMeshAttributeRange> attributeTable;
  std::vector<uint32_t> attributes;
  GLuint vertexArray = 0;
  GLuint vertexBuffer = 0;
  GLuint indexBuffer = 0;
  CBufferLock vertexLock;
  CBufferLock indexLock;
  CXMeshRayIndex rayIndex;
  bool rayIndexBuilt = false;
};

// The material records followed by their texture names, in one buffer.
ID3DXBuffer* MakeMaterialBuffer(const std::vector<XMeshMaterial>& materials)
{
  size_t names = 0;
  for (const XMeshMaterial& material : materials) names += material.textureFileName.size() + 1;
  ID3DXBuffer* buffer = nullptr;
  D3DXCreateBuffer(static_cast<DWORD>(materials.size() * sizeof(D3DXMATERIAL) + names), &buffer);
  auto* records = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
  char* text = reinterpret_cast<char*>(records + materials.size());
  for (size_t i = 0; i < materials.size(); ++i) {
    const XMeshMaterial& source = materials[i];
    D3DMATERIAL9& target = records[i].MatD3D;
    target.Diffuse = source.diffuse;
    target.Ambient = source.ambient;
    target.Specular = source.specular;
    target.Emissive = source.emissive;
    target.Power = source.power;
    records[i].pTextureFilename = nullptr;
    if (!source.textureFileName.empty()) {
      std::memcpy(text, source.textureFileName.c_str(), source.textureFileName.size() + 1);
      records[i].pTextureFilename = text;
      text += source.textureFileName.size() + 1;
    }
  }
  return buffer;
}

}  // namespace

HRESULT D3DXLoadMeshFromXA(LPCSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                           ID3DXMesh** mesh)
{
  if (adjacency) *adjacency = nullptr;
  if (materials) *materials = nullptr;
  if (effectInstances) *effectInstances = nullptr;
  if (materialCount) *materialCount = 0;
  if (!mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  if (!filename || !device) return D3DERR_INVALIDCALL;

  std::vector<uint8_t> bytes;
  if (!PlatformReadFile(filename, &bytes)) return E_FAIL;
  XMeshData data;
  std::string error;
  if (!LoadXMesh(bytes.data(), bytes.size(), &data, &error)) return E_FAIL;

  if (adjacency) {
    std::vector<uint32_t> neighbours;
    data.ComputeAdjacency(&neighbours);
    D3DXCreateBuffer(static_cast<DWORD>(neighbours.size() * sizeof(DWORD)), adjacency);
    if (!neighbours.empty()) std::memcpy((*adjacency)->GetBufferPointer(), neighbours.data(), neighbours.size() * 4);
  }
  if (materials) *materials = MakeMaterialBuffer(data.materials);
  if (materialCount) *materialCount = static_cast<DWORD>(data.materials.size());
  *mesh = new D3DXMeshImpl(static_cast<D3D9Device*>(device), data, options);
  return D3D_OK;
}

HRESULT D3DXIntersect(ID3DXBaseMesh* mesh, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, BOOL* hit,
                      DWORD* faceIndex, FLOAT* u, FLOAT* v, FLOAT* distance, ID3DXBuffer** allHits, DWORD* hitCount)
{
  if (!mesh || !rayPos || !rayDir || !hit) return D3DERR_INVALIDCALL;
  D3DXMeshImpl* impl = static_cast<D3DXMeshImpl*>(mesh);
  XMeshHit nearest = {};
  *hit = impl->Intersect(*rayPos, *rayDir, &nearest) ? TRUE : FALSE;
  if (faceIndex) *faceIndex = *hit ? nearest.faceIndex : 0;
  if (u) *u = *hit ? nearest.u : 0.0f;
  if (v) *v = *hit ? nearest.v : 0.0f;
  if (distance) *distance = *hit ? nearest.dist : 0.0f;
  if (allHits || hitCount) {
    std::vector<XMeshHit> hits;
    impl->IntersectAll(*rayPos, *rayDir, &hits);
    if (hitCount) *hitCount = static_cast<DWORD>(hits.size());
    if (allHits) {
      *allHits = nullptr;
      if (!hits.empty()) {
        D3DXCreateBuffer(static_cast<DWORD>(hits.size() * sizeof(XMeshHit)), allHits);
        std::memcpy((*allHits)->GetBufferPointer(), hits.data(), hits.size() * sizeof(XMeshHit));
      }
    }
  }
  return D3D_OK;
}
