// One Direct3D texture: loaded from an image file, or created empty (render targets,
// the fade texel). Held by value in its owner or shared through CGraphics' cache.
#pragma once

#include <string>

#include "d3d9.h"
#include "d3dx9.h"

namespace OstrelLibrary {

class CTexture {
public:
  IDirect3DTexture9* texture = nullptr;  // null = empty
  IDirect3DSurface9* surface = nullptr;  // level 0, also used as a render target
  D3DXIMAGE_INFO imageInfo = {};
  RECT sourceRect = {};                // the whole image: every sprite draw's source
  POINT keptOrigin = {};               // where texel 0, 0 sits in the file's picture
  std::string path;                    // the file it came from, "" otherwise
  IDirect3DDevice9* device = nullptr;  // one reference held

  CTexture() = default;
  ~CTexture();
  CTexture(const CTexture&) = delete;
  CTexture& operator=(const CTexture&) = delete;

  // Loads an image file at its own size with a full mip chain; false leaves it empty.
  bool LoadFromFile(IDirect3DDevice9* device, const std::string& path);
  // Creates an empty texture with one level (render targets, the fade texel).
  bool Create(IDirect3DDevice9* device, UINT width, UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool);
  // Drops the texture, its surface and the device reference, and forgets the image.
  void Release();
  // Writes one ARGB colour into every texel of level 0.
  bool Fill(D3DCOLOR colour);

private:
  // Keeps only the part of a screen picture that shows something (see texture.cpp).
  void LeaveOutEmptyBorder();
};

}  // namespace OstrelLibrary
