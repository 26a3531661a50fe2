// A depth-stencil surface for off-screen passes whose target is not the back buffer's size.
#pragma once

#include "d3d9.h"

namespace OstrelLibrary {

class CDepthBuffer {
public:
  IDirect3DSurface9* surface = nullptr;
  IDirect3DTexture9* texture = nullptr;  // only when made readable by shaders
  D3DSURFACE_DESC desc = {};
  IDirect3DDevice9* device = nullptr;  // one reference held

  CDepthBuffer() = default;
  ~CDepthBuffer();
  CDepthBuffer(const CDepthBuffer&) = delete;
  CDepthBuffer& operator=(const CDepthBuffer&) = delete;

  // Creates a D24S8 surface of the given size on the device.
  bool Create(IDirect3DDevice9* device, UINT width, UINT height);
  // Creates a D24S8 depth texture of the given size; surface is its level 0, and shaders
  // read texture through depth comparison (a shadow map).
  bool CreateSampled(IDirect3DDevice9* device, UINT width, UINT height);
  // Drops the surface and the device reference.
  void Release();
};

}  // namespace OstrelLibrary
