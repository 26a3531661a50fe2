// CTexture: loading, creating, filling and releasing one Direct3D texture.
#include "texture.h"

#include "screen_picture.h"

namespace OstrelLibrary {

// Destruction releases whatever is held.
CTexture::~CTexture()
{
  Release();
}

// Pictures of the title, the ending, the menus and the HUD are only ever drawn texel
// for pixel.
bool IsScreenPicture(const std::string& path)
{
  for (const char* folder : {"res/title/", "res/ending/", "res/game/sprite/"}) {
    if (path.find(folder) != std::string::npos) return true;
  }
  return false;
}

// Loads an image at its own size with a full mip chain (one level for a screen
// picture); on failure the texture stays empty.
bool CTexture::LoadFromFile(IDirect3DDevice9* newDevice, const std::string& newPath)
{
  Release();
  device = newDevice;
  if (device) device->AddRef();
  path = newPath;
  const UINT mipLevels = IsScreenPicture(path) ? 1 : D3DX_DEFAULT;
  if (FAILED(D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, mipLevels,
                                          0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &imageInfo,
                                          nullptr, &texture)))
    return false;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return false;
  sourceRect = {0, 0, (LONG)imageInfo.Width, (LONG)imageInfo.Height};
  return true;
}

// Creates an empty single-level texture and records its size and format.
bool CTexture::Create(IDirect3DDevice9* newDevice, UINT width, UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool)
{
  Release();
  device = newDevice;
  if (device) device->AddRef();
  if (FAILED(D3DXCreateTexture(device, width, height, 1, usage, format, pool, &texture))) return false;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return false;
  D3DSURFACE_DESC desc;
  surface->GetDesc(&desc);
  imageInfo.Width = desc.Width;
  imageInfo.Height = desc.Height;
  imageInfo.Format = desc.Format;
  imageInfo.MipLevels = texture->GetLevelCount();
  sourceRect = {0, 0, (LONG)desc.Width, (LONG)desc.Height};
  return true;
}

// Releases the device, surface and texture references and forgets the image.
void CTexture::Release()
{
  if (device) {
    device->Release();
    device = nullptr;
  }
  if (surface) {
    surface->Release();
    surface = nullptr;
  }
  if (texture) {
    texture->Release();
    texture = nullptr;
  }
  path = "";
  imageInfo = {};
  sourceRect = {};
}

// Writes the colour into every texel of level 0, row by row at the locked pitch.
bool CTexture::Fill(D3DCOLOR colour)
{
  if (!texture) return false;
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
  for (UINT y = 0; y < imageInfo.Height; ++y) {
    DWORD* const row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + (size_t)y * locked.Pitch);
    for (UINT x = 0; x < imageInfo.Width; ++x) row[x] = colour;
  }
  texture->UnlockRect(0);
  return true;
}

}  // namespace OstrelLibrary
