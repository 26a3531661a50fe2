// The engine's graphics singleton: the Direct3D object and device, the sprite batcher,
// the saved default targets, the texture and mesh caches, and a few drawing helpers.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "d3d9.h"
#include "d3dx9.h"
#include "texture.h"

namespace OstrelLibrary {

class CMesh;

// One world-space vertex of DrawTexturedQuad: D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct TexturedVertex {
  float x, y, z;
  D3DCOLOR colour;
  float u, v;
};
constexpr DWORD TexturedVertexFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class CGraphics {
public:
  IDirect3D9* direct3D = nullptr;
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS presentParameters = {};
  ID3DXSprite* sprite = nullptr;
  IDirect3DSurface9* backBuffer = nullptr;   // render target 0 right after creation
  IDirect3DSurface9* depthBuffer = nullptr;  // the automatic depth-stencil surface
  std::map<std::string, std::shared_ptr<CTexture>> textureCache;
  std::map<std::string, std::shared_ptr<CMesh>> meshCache;

  // The one instance, created empty on first use and kept until exit.
  static CGraphics* GetInstance();

  // Creates the device on the window; full screen keeps the given back-buffer size.
  bool Init(HWND window, unsigned int width, unsigned int height, bool fullScreen);
  // Sets the fixed pipeline state the whole game starts from.
  void SetDefaultStates();
  // Switches blending to additive (the caller restores DESTBLEND itself).
  void SetAdditiveBlend();
  // Draws four world-space vertices as a fan with the texture; false draws nothing.
  bool DrawTexturedQuad(const TexturedVertex* vertices, const CTexture& texture, const D3DXMATRIX* world);
  // Draws a pre-transformed rectangle with whatever texture or effect is bound.
  void DrawScreenQuad(float x, float y, float width, float height);
  // Releases the device objects and empties both caches.
  void Finalize();
  // The shared texture for a path, loaded on first request (a failed load stays cached, empty).
  std::shared_ptr<CTexture> GetTexture(IDirect3DDevice9* device, const std::string& path);
  // Drops the cached textures under a folder that nothing but the cache holds any more
  // (the pictures of a scene that has ended); they load again when next asked for.
  void ReleaseUnheldTextures(const std::string& folder);
  // The shared mesh for a path; defined beside CMesh.
  std::shared_ptr<CMesh> GetMesh(IDirect3DDevice9* device, const std::string& path);
  // The same for cached meshes.
  void ReleaseUnheldMeshes(const std::string& folder);
  // Draws a whole texture through the sprite batcher, placed by the matrix.
  void DrawTexture(const CTexture& texture, const D3DXMATRIX* transform, D3DCOLOR colour);
  // Draws one rectangle of a picture, in the picture's own texels, placed by the matrix.
  void DrawTexturePart(const CTexture& texture, const RECT& source, const D3DXMATRIX* transform, D3DCOLOR colour);

private:
  CGraphics() = default;
};

}  // namespace OstrelLibrary
