// CShadowMapShader: the light's depth pass.
#include "shader/shadow_map_shader.h"

#include "engine/graphics.h"
#include "shader/shader_manager.h"

using OstrelLibrary::CGraphics;

CShadowMapShader::CShadowMapShader()
{
  D3DXMatrixIdentity(&lightViewProjection);
}

CShadowMapShader::~CShadowMapShader()
{
  ReleaseResources();
  if (savedTarget) savedTarget->Release();
  if (savedDepth) savedDepth->Release();
}

void CShadowMapShader::ReleaseResources()
{
  shadowTexture.Release();
  shadowDepth.Release();
}

void CShadowMapShader::ReleaseAll()
{
  ReleaseResources();
  CShaderBase::ReleaseAll();
}

void CShadowMapShader::Load()
{
  ReleaseResources();
  if (!effect) {
    LoadEffect("res/shader/ShadowMapShader.cso");
    ReadyTechniques({"Tech", "SolidTech"});
  }
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  // The pass writes depth only: its colour target is one that holds no colour.
  shadowTexture.Create(device, size, size, D3DUSAGE_RENDERTARGET, D3DFMT_NULL, D3DPOOL_DEFAULT);
  // A depth texture, so that the toon effect reads it through the hardware's comparison.
  shadowDepth.CreateSampled(device, size, size);
}

void CShadowMapShader::Resize(UINT newSize)
{
  if (newSize == size) return;
  size = newSize;
  Load();
}

void CShadowMapShader::BeginShadowPass(const D3DXVECTOR3& eye)
{
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  // Without a target there is nowhere to draw: the pass is skipped, drawing stays
  // where it was and the toon effect keeps whatever map it had.
  passRunning = shadowTexture.surface && shadowDepth.surface;
  if (!passRunning) return;

  device->GetRenderTarget(0, &savedTarget);
  device->GetDepthStencilSurface(&savedDepth);
  device->SetRenderTarget(0, shadowTexture.surface);
  device->SetDepthStencilSurface(shadowDepth.surface);
  device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);  // only depth is read

  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  const D3DXVECTOR3 direction(light.Direction.x, light.Direction.y, light.Direction.z);
  const D3DXVECTOR3 at = eye + direction;
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  D3DXMATRIX projection;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixOrthoLH(&projection, 40.0f, 40.0f, 1.0f, 100.0f);
  if (effect) {
    effect->SetMatrix("g_light_view_mat", &view);
    effect->SetMatrix("g_light_projection_mat", &projection);
  }
  lightViewProjection = view * projection;
}

void CShadowMapShader::DrawMesh(const OstrelLibrary::CMesh& mesh)
{
  if (!effect || !passRunning) return;
  // Untextured subsets first, through the technique without the cut-out lookup; then
  // the textured ones. Depth keeps the nearest whatever the order.
  for (int textured = 0; textured < 2; ++textured) {
    bool begun = false;
    for (size_t i = 0; i < mesh.materials.size(); ++i) {
      const OstrelLibrary::CTexture* colour = mesh.textures[i].get();
      const bool hasTexture = colour && colour->texture;
      if (hasTexture != (textured != 0)) continue;
      if (!begun) {
        effect->SetTechnique(textured ? "Tech" : "SolidTech");
        UINT passes = 0;
        effect->Begin(&passes, 0);
        effect->BeginPass(0);
        begun = true;
      }
      effect->SetTexture("g_map_tex", hasTexture ? colour->texture : nullptr);
      effect->CommitChanges();
      if (mesh.mesh) mesh.mesh->DrawSubset(static_cast<DWORD>(i));
    }
    if (begun) {
      effect->EndPass();
      effect->End();
    }
  }
}

void CShadowMapShader::EndShadowPass()
{
  if (!passRunning) return;
  passRunning = false;
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  device->SetRenderTarget(0, savedTarget);
  device->SetDepthStencilSurface(savedDepth);
  if (savedTarget) savedTarget->Release();
  if (savedDepth) savedDepth->Release();
  savedTarget = nullptr;
  savedDepth = nullptr;

  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  if (!toon) return;
  toon->SetMatrix("g_light_vp_mat", &lightViewProjection);
  toon->SetFloat("g_shadow_map_texel_size", 1.0f / static_cast<float>(size));
  toon->SetTexture("g_shadow_tex", shadowDepth.texture);
}
