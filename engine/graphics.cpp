// CGraphics: device creation, the fixed pipeline defaults, the texture cache and the
// small drawing helpers every other part of the game uses.
#include "graphics.h"

#include <algorithm>
#include <cstring>

#include "asset_report.h"

namespace OstrelLibrary {

namespace {

// A float handed to a render state as its bit pattern.
DWORD FloatBits(float value)
{
  DWORD bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

// One pre-transformed vertex of DrawScreenQuad: D3DFVF_XYZRHW | D3DFVF_TEX1.
struct ScreenVertex {
  float x, y, z, rhw;
  float u, v;
};

// No picture asked for (a material without a texture), or a normal map that is not
// there: the flat texel stands in for it by design, so neither is worth a word.
bool IsOptionalPicture(const std::string& path)
{
  if (path.empty() || path.back() == '/' || path.back() == '\\') return true;
  return path.find(".normal.") != std::string::npos && AssetIsMissing(path);
}

}  // namespace

// Created on first use, zero-filled, and kept until the process ends.
CGraphics* CGraphics::GetInstance()
{
  static CGraphics* instance = new CGraphics();
  return instance;
}

// Creates the Direct3D object and the device (three attempts), the sprite batcher, and
// keeps the default render target and depth buffer.
bool CGraphics::Init(HWND window, unsigned int width, unsigned int height, bool fullScreen)
{
  direct3D = Direct3DCreate9(D3D_SDK_VERSION);
  if (!direct3D) return false;
  D3DDISPLAYMODE displayMode;
  if (FAILED(direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode))) return false;

  presentParameters = {};
  presentParameters.BackBufferCount = 2;
  presentParameters.MultiSampleType = D3DMULTISAMPLE_NONE;
  presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  presentParameters.hDeviceWindow = window;
  presentParameters.EnableAutoDepthStencil = TRUE;
  presentParameters.AutoDepthStencilFormat = D3DFMT_D24S8;
  presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  if (fullScreen) {
    presentParameters.Windowed = FALSE;
    presentParameters.BackBufferWidth = width;
    presentParameters.BackBufferHeight = height;
    presentParameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  } else {
    // Zero size: the device takes the window's client area.
    presentParameters.Windowed = TRUE;
    presentParameters.BackBufferWidth = 0;
    presentParameters.BackBufferHeight = 0;
    presentParameters.BackBufferFormat = displayMode.Format;
  }

  const D3DDEVTYPE types[3] = {D3DDEVTYPE_HAL, D3DDEVTYPE_HAL, D3DDEVTYPE_REF};
  const DWORD behaviours[3] = {D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING};
  bool created = false;
  for (int attempt = 0; attempt < 3 && !created; ++attempt)
    created = SUCCEEDED(direct3D->CreateDevice(D3DADAPTER_DEFAULT, types[attempt], window, behaviours[attempt],
                                               &presentParameters, &device));
  if (!created) {
    MessageBoxA(window, "Direct3Dの初期化に失敗しました", "Direct3D初期化失敗", MB_ICONERROR);
    return false;
  }

  D3DXCreateSprite(device, &sprite);
  device->GetRenderTarget(0, &backBuffer);
  device->GetDepthStencilSurface(&depthBuffer);
  return true;
}

// The fixed pipeline state the game starts from, in this order.
void CGraphics::SetDefaultStates()
{
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
  device->SetRenderState(D3DRS_DESTBLENDALPHA, D3DBLEND_INVSRCALPHA);

  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);

  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
  device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
  device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, 0xFFFFFFFF);

  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  light.Specular = {1.0f, 1.0f, 1.0f, 0.0f};
  light.Ambient = {0.3f, 0.3f, 0.3f, 0.0f};
  D3DXVECTOR3 direction(0.5f, -1.0f, 0.3f);
  D3DXVec3Normalize(&direction, &direction);
  light.Direction = direction;
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);

  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);

  device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
  device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  device->SetRenderState(D3DRS_FOGSTART, FloatBits(40.0f));
  device->SetRenderState(D3DRS_FOGEND, FloatBits(100.0f));
}

// Additive blending for glowing effects; the caller puts DESTBLEND back.
void CGraphics::SetAdditiveBlend()
{
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
}

// Draws four world-space vertices as a fan, unlit; nothing (and false) without all inputs.
bool CGraphics::DrawTexturedQuad(const TexturedVertex* vertices, const CTexture& texture, const D3DXMATRIX* world)
{
  if (!vertices || !texture.texture || !world) return false;
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetFVF(TexturedVertexFVF);
  device->SetTexture(0, texture.texture);
  device->SetTransform(D3DTS_WORLD, world);
  device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(TexturedVertex));
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  return true;
}

// A pre-transformed strip over x..x+width, y..y+height with the whole texture range.
void CGraphics::DrawScreenQuad(float x, float y, float width, float height)
{
  const ScreenVertex quad[4] = {
      {x, y, 0.0f, 1.0f, 0.0f, 0.0f},
      {x + width, y, 0.0f, 1.0f, 1.0f, 0.0f},
      {x, y + height, 0.0f, 1.0f, 0.0f, 1.0f},
      {x + width, y + height, 0.0f, 1.0f, 1.0f, 1.0f},
  };
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

// Releases the device objects in a fixed order, then empties the caches.
void CGraphics::Finalize()
{
  if (backBuffer) {
    backBuffer->Release();
    backBuffer = nullptr;
  }
  if (depthBuffer) {
    depthBuffer->Release();
    depthBuffer = nullptr;
  }
  if (sprite) {
    sprite->Release();
    sprite = nullptr;
  }
  if (device) {
    device->Release();
    device = nullptr;
  }
  if (direct3D) {
    direct3D->Release();
    direct3D = nullptr;
  }
  textureCache.clear();
  meshCache.clear();
}

// The cached texture for a path; the first request loads it, and a failed load stays
// cached as an empty texture so the file is not tried again.
std::shared_ptr<CTexture> CGraphics::GetTexture(IDirect3DDevice9* textureDevice, const std::string& path)
{
  std::shared_ptr<CTexture> texture = std::make_shared<CTexture>();
  const auto found = textureCache.find(path);
  if (found != textureCache.end()) return found->second;
  if (!texture->LoadFromFile(textureDevice, path) && !IsOptionalPicture(path))
    ReportUnusableAsset(path, "not a picture the game can read");
  textureCache.emplace(path, texture);
  return texture;
}

namespace {

// Only entries whose one holder is the cache go, so nothing still drawn is touched.
template <class Cache>
void EraseUnheld(Cache& cache, const std::string& folder)
{
  for (auto entry = cache.begin(); entry != cache.end();) {
    if (entry->first.rfind(folder, 0) == 0 && entry->second.use_count() == 1)
      entry = cache.erase(entry);
    else
      ++entry;
  }
}

}  // namespace

void CGraphics::ReleaseUnheldTextures(const std::string& folder)
{
  EraseUnheld(textureCache, folder);
}

void CGraphics::ReleaseUnheldMeshes(const std::string& folder)
{
  EraseUnheld(meshCache, folder);
}

// Draws the whole texture through the sprite batcher (a layer's kept part where it lies in
// the picture); an empty texture draws nothing.
void CGraphics::DrawTexture(const CTexture& texture, const D3DXMATRIX* transform, D3DCOLOR colour)
{
  if (!texture.texture || !sprite) return;
  sprite->SetTransform(transform);
  const D3DXVECTOR3 at((float)texture.keptOrigin.x, (float)texture.keptOrigin.y, 0.0f);
  sprite->Draw(texture.texture, &texture.sourceRect, nullptr, &at, colour);
}

// A picture without its empty border (see CTexture) has nothing to show outside its kept
// part: the rectangle is cut to that part and drawn where that part of it lies.
void CGraphics::DrawTexturePart(const CTexture& texture, const RECT& source, const D3DXMATRIX* transform,
                                D3DCOLOR colour)
{
  if (!texture.texture || !sprite) return;
  const LONG x = texture.keptOrigin.x, y = texture.keptOrigin.y;
  const RECT kept = {std::max<LONG>(source.left - x, 0), std::max<LONG>(source.top - y, 0),
                     std::min<LONG>(source.right - x, texture.sourceRect.right),
                     std::min<LONG>(source.bottom - y, texture.sourceRect.bottom)};
  if (kept.right <= kept.left || kept.bottom <= kept.top) return;
  const D3DXVECTOR3 at((float)(kept.left + x - source.left), (float)(kept.top + y - source.top), 0.0f);
  sprite->SetTransform(transform);
  sprite->Draw(texture.texture, &kept, nullptr, &at, colour);
}

}  // namespace OstrelLibrary
