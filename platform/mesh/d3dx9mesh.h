// D3DX meshes, standing in for the mesh part of <d3dx9.h>: `.x` files loaded into
// GL buffers with CPU copies kept for ray queries and buffer locks (16-bit indices,
// 32-byte vertices, position first), drawn subset by subset through the device.
#pragma once

#include "d3d9.h"
#include "d3dx9effect.h"
#include "d3dx9math.h"
#include "windows.h"

#define D3DXMESH_32BIT 0x001
#define D3DXMESH_MANAGED 0x220
#define D3DXMESH_NPATCHES 0x4000

// A material of a loaded mesh, as the material buffer holds it.
struct D3DXMATERIAL {
  D3DMATERIAL9 MatD3D;
  LPSTR pTextureFilename;
};

// One subset: which faces and vertices carry one attribute (material) id.
struct D3DXATTRIBUTERANGE {
  DWORD AttribId;
  DWORD FaceStart;
  DWORD FaceCount;
  DWORD VertexStart;
  DWORD VertexCount;
};

class ID3DXMesh : public IUnknown {
public:
  virtual HRESULT DrawSubset(DWORD attributeId) = 0;
  virtual DWORD GetNumFaces() = 0;
  virtual DWORD GetNumVertices() = 0;
  virtual DWORD GetFVF() = 0;
  virtual DWORD GetNumBytesPerVertex() = 0;
  virtual DWORD GetOptions() = 0;
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
  virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* tableSize) = 0;
  virtual HRESULT LockVertexBuffer(DWORD flags, LPVOID* data) = 0;
  virtual HRESULT UnlockVertexBuffer() = 0;
  virtual HRESULT LockIndexBuffer(DWORD flags, LPVOID* data) = 0;
  virtual HRESULT UnlockIndexBuffer() = 0;
  virtual HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) = 0;
};
typedef ID3DXMesh* LPD3DXMESH;
typedef ID3DXMesh ID3DXBaseMesh;

// Loads a `.x` file (text or binary). Materials come back as D3DXMATERIAL records
// whose texture names live in the same buffer; adjacency as three DWORDs a face.
HRESULT D3DXLoadMeshFromXA(LPCSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                           ID3DXMesh** mesh);

// The nearest face the ray hits (both sides count): face index, barycentrics and the
// distance in units of rayDir's length. allHits and hitCount may be null.
HRESULT D3DXIntersect(ID3DXBaseMesh* mesh, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, BOOL* hit,
                      DWORD* faceIndex, FLOAT* u, FLOAT* v, FLOAT* distance, ID3DXBuffer** allHits, DWORD* hitCount);
