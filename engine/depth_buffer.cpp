// CDepthBuffer: a D24S8 surface for off-screen passes.
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

// Drops the surface and the device reference.
void CDepthBuffer::Release()
{
  if (surface) {
    surface->Release();
    surface = nullptr;
  }
  desc = {};
  if (device) {
    device->Release();
    device = nullptr;
  }
}

}  // namespace OstrelLibrary
