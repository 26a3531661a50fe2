// CTexture: loading, creating, filling and releasing one Direct3D texture.
#include "texture.h"

#include "screen_picture.h"

#include <algorithm>

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

// The bounding box of the texels unlike the first, grown by one texel and kept inside
// the picture; the whole picture when the first texel is not fully transparent.
RECT KeptPartOfLayer(const D3DCOLOR* texels, UINT width, UINT height, size_t pitchInTexels)
{
  const RECT whole = {0, 0, (LONG)width, (LONG)height};
  if (width == 0 || height == 0 || (texels[0] >> 24) != 0) return whole;
  const D3DCOLOR empty = texels[0];
  LONG left = (LONG)width, top = (LONG)height, right = 0, bottom = 0;
  for (UINT y = 0; y < height; ++y) {
    const D3DCOLOR* const row = texels + (size_t)y * pitchInTexels;
    for (UINT x = 0; x < width; ++x) {
      if (row[x] == empty) continue;
      left = std::min(left, (LONG)x);
      right = std::max(right, (LONG)x + 1);
      top = std::min(top, (LONG)y);
      bottom = (LONG)y + 1;
    }
  }
  if (right == 0) return {0, 0, 1, 1};  // nothing shows: one empty texel
  return {std::max<LONG>(left - 1, 0), std::max<LONG>(top - 1, 0), std::min<LONG>(right + 1, (LONG)width),
          std::min<LONG>(bottom + 1, (LONG)height)};
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
  if (IsScreenPicture(path) && imageInfo.Format == D3DFMT_A8R8G8B8) LeaveOutEmptyBorder();
  return true;
}

// A screen picture is drawn with alpha blending, so its transparent texels leave the
// screen as it was: the texture keeps the rectangle that shows something, with a border of the empty
// colour (which is also what every texel left out is), and is drawn that far in, so that
// every pixel samples the same texels as before. The file's size stays the picture's.
void CTexture::LeaveOutEmptyBorder()
{
  D3DLOCKED_RECT whole;
  if (FAILED(texture->LockRect(0, &whole, nullptr, D3DLOCK_READONLY))) return;
  const D3DCOLOR* const texels = static_cast<const D3DCOLOR*>(whole.pBits);
  const size_t pitch = (size_t)whole.Pitch / sizeof(D3DCOLOR);
  const RECT kept = KeptPartOfLayer(texels, imageInfo.Width, imageInfo.Height, pitch);
  const UINT width = (UINT)(kept.right - kept.left), height = (UINT)(kept.bottom - kept.top);
  IDirect3DTexture9* part = nullptr;
  D3DLOCKED_RECT target;
  const bool smaller = (size_t)width * height * 4 <= (size_t)imageInfo.Width * imageInfo.Height * 3;
  if (!smaller ||
      FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &part, nullptr)) ||
      FAILED(part->LockRect(0, &target, nullptr, D3DLOCK_DISCARD))) {
    if (part) part->Release();
    texture->UnlockRect(0);
    return;
  }
  for (UINT y = 0; y < height; ++y) {
    const D3DCOLOR* const from = texels + (size_t)(kept.top + y) * pitch + kept.left;
    std::copy(from, from + width,
              reinterpret_cast<D3DCOLOR*>(static_cast<BYTE*>(target.pBits) + (size_t)y * target.Pitch));
  }
  part->UnlockRect(0);
  texture->UnlockRect(0);
  surface->Release();
  texture->Release();
  texture = part;
  texture->GetSurfaceLevel(0, &surface);
  sourceRect = {0, 0, (LONG)width, (LONG)height};
  keptOrigin = {kept.left, kept.top};
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
  keptOrigin = {};
}

// Writes the colour into every texel of level 0, row by row at the locked pitch.
bool CTexture::Fill(D3DCOLOR colour)
{
  if (!texture) return false;
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
  for (LONG y = 0; y < sourceRect.bottom; ++y) {
    DWORD* const row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + (size_t)y * locked.Pitch);
    for (LONG x = 0; x < sourceRect.right; ++x) row[x] = colour;
  }
  texture->UnlockRect(0);
  return true;
}

}  // namespace OstrelLibrary
