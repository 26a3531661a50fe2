// CDepthBuffer: a D24S8 surface (or depth texture) for off-screen passes.
#include "depth_buffer.h"

namespace OstrelLibrary {

// Destruction releases whatever is held.
CDepthBuffer::~CDepthBuffer()
{
  Release();
}

// Replaces any previous surface with a new one of the given size.
bool CDepthBuffer::Create(IDirect3DDevice9* newDevice, UINT width, UINT height)
{
  Release();
  device = newDevice;
  if (!device) return false;
  device->AddRef();
  if (FAILED(device->CreateDepthStencilSurface(width, height, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &surface,
                                               nullptr)))
    return false;
  surface->GetDesc(&desc);
  return true;
}

// Replaces any previous surface with a depth texture's level 0.
bool CDepthBuffer::CreateSampled(IDirect3DDevice9* newDevice, UINT width, UINT height)
{
  Release();
  device = newDevice;
  if (!device) return false;
  device->AddRef();
  if (FAILED(device->CreateTexture(width, height, 1, D3DUSAGE_DEPTHSTENCIL, D3DFMT_D24S8, D3DPOOL_DEFAULT, &texture,
                                   nullptr)))
    return false;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return false;
  surface->GetDesc(&desc);
  return true;
}

// Drops the surface, the texture and the device reference.
void CDepthBuffer::Release()
{
  if (surface) {
    surface->Release();
    surface = nullptr;
  }
  if (texture) {
    texture->Release();
    texture = nullptr;
  }
  desc = {};
  if (device) {
    device->Release();
    device = nullptr;
  }
}

}  // namespace OstrelLibrary
