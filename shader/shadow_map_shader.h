// The shadow map: every actor's depth as seen from light 0, once per game frame, into
// a 1024 x 1024 float target and its depth texture (512 x 512 at low quality), which the
// toon effect then reads.
#pragma once

#include "engine/depth_buffer.h"
#include "engine/mesh.h"
#include "engine/texture.h"
#include "shader/shader_base.h"

class CShadowMapShader : public CShaderBase {
public:
  static constexpr UINT kSize = 1024;    // the full picture's map
  static constexpr UINT kLowSize = 512;  // the low quality's: a quarter of the texels to fill

  OstrelLibrary::CTexture shadowTexture;     // colourless (NULL) render target
  OstrelLibrary::CDepthBuffer shadowDepth;   // its depth buffer, a texture the toon effect compares against
  IDirect3DSurface9* savedTarget = nullptr;  // bound before the pass
  IDirect3DSurface9* savedDepth = nullptr;
  D3DXMATRIX lightViewProjection;  // of the last pass
  UINT size = kSize;               // the map's side in texels, over the same 40 x 40 units

  CShadowMapShader();
  ~CShadowMapShader() override;
  // Loads the effect (once) and creates the target and its depth buffer.
  void Load() override;
  // Makes the map the given size (anew only when it changes).
  void Resize(UINT newSize);
  // Releases the target and depth buffer; the effect stays.
  void ReleaseResources() override;
  // Releases the target, the depth buffer and the effect.
  void ReleaseAll() override;
  // Redirects drawing into the shadow map and sets the light's matrices for an eye.
  void BeginShadowPass(const D3DXVECTOR3& eye);
  // Draws a mesh's depth; nothing without an effect.
  void DrawMesh(const OstrelLibrary::CMesh& mesh);
  // Restores the saved targets and hands the map to the toon effect.
  void EndShadowPass();

private:
  bool passRunning = false;  // the pass bound the shadow target and must restore
};
