// The D3DX9 utility subset for textures and sprites, standing in for <d3dx9.h>.
// Math comes from d3dx9math.h; textures are decoded by d3dx9_texture.cpp (stb_image
// for PNG/JPEG/BMP/TGA, our own DDS reader) and sprites batched by d3dx9_sprite.cpp.
#pragma once

#include "windows.h"
#include "d3d9.h"
#include "d3dx9math.h"

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

#define D3DX_FILTER_NONE 0x00000001
#define D3DX_FILTER_POINT 0x00000002
#define D3DX_FILTER_LINEAR 0x00000003
#define D3DX_FILTER_BOX 0x00000005

#define D3DXERR_INVALIDDATA ((HRESULT)0x88760B59)

enum D3DXIMAGE_FILEFORMAT : DWORD {
  D3DXIFF_BMP = 0,
  D3DXIFF_JPG = 1,
  D3DXIFF_TGA = 2,
  D3DXIFF_PNG = 3,
  D3DXIFF_DDS = 4,
};

// What a texture file held, as reported by the loaders.
struct D3DXIMAGE_INFO {
  UINT Width;
  UINT Height;
  UINT Depth;
  UINT MipLevels;
  D3DFORMAT Format;
  D3DRESOURCETYPE ResourceType;
  D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct PALETTEENTRY {
  BYTE peRed, peGreen, peBlue, peFlags;
};

// ---- textures ---------------------------------------------------------------------
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR srcFile, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colourKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, IDirect3DTexture9** texture);

HRESULT D3DXCreateCubeTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, IDirect3DCubeTexture9** cubeTexture);

// ---- sprites -------------------------------------------------------------------------
#define D3DXSPRITE_DONOTSAVESTATE (1 << 0)
#define D3DXSPRITE_DONOTMODIFY_RENDERSTATE (1 << 1)
#define D3DXSPRITE_OBJECTSPACE (1 << 2)
#define D3DXSPRITE_BILLBOARD (1 << 3)
#define D3DXSPRITE_ALPHABLEND (1 << 4)
#define D3DXSPRITE_SORT_TEXTURE (1 << 5)
#define D3DXSPRITE_SORT_DEPTH_FRONTTOBACK (1 << 6)
#define D3DXSPRITE_SORT_DEPTH_BACKTOFRONT (1 << 7)

// Batches textured screen rectangles and draws them in call order at End (or Flush).
class ID3DXSprite : public IUnknown {
public:
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
  virtual HRESULT GetTransform(D3DXMATRIX* transform) = 0;
  virtual HRESULT SetTransform(const D3DXMATRIX* transform) = 0;
  virtual HRESULT Begin(DWORD flags) = 0;
  virtual HRESULT Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* centre,
                       const D3DXVECTOR3* position, D3DCOLOR colour) = 0;
  virtual HRESULT Flush() = 0;
  virtual HRESULT End() = 0;
  virtual HRESULT OnLostDevice() = 0;
  virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXSprite* LPD3DXSPRITE;

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);
