// CPuddleShader: the reflection pass and the puddle draw.
#include "shader/puddle_shader.h"

#include "engine/graphics.h"
#include "shader/render_quality.h"
#include "shader/shader_manager.h"

using OstrelLibrary::CGraphics;

CPuddleShader::~CPuddleShader()
{
  if (savedTarget) savedTarget->Release();
  if (savedDepth) savedDepth->Release();
}

void CPuddleShader::ReleaseAll()
{
  CShaderBase::ReleaseAll();
  ReleaseTargets();
  puddleMesh.reset();
  waveTexture.reset();
}

void CPuddleShader::Load()
{
  ReleaseResources();
  LoadEffect("res/shader/PuddleShader.cso");
  CGraphics* graphics = CGraphics::GetInstance();
  IDirect3DDevice9* device = graphics->device;
  puddleMesh = graphics->GetMesh(device, "res/shader/puddle.x");
  waveTexture = graphics->GetTexture(device, "res/shader/puddle_wave.png");
  if (!effect) return;
  ReadyTechniques({"Tech"});
  effect->SetTexture("g_wave_tex", waveTexture->texture);
  // Projected position (-1..1, y up) to texture coordinates (0..1, v down).
  D3DXMATRIX scaling;
  D3DXMATRIX translation;
  D3DXMatrixScaling(&scaling, 0.5f, -0.5f, 1.0f);
  D3DXMatrixTranslation(&translation, 0.5f, 0.5f, 0.0f);
  const D3DXMATRIX textureMatrix = scaling * translation;
  effect->SetMatrix("g_tex_mat", &textureMatrix);
}

void CPuddleShader::CreateTargets()
{
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  // The puddle reads its reflection by screen position, so any size fits; a finer one
  // than the scene itself would only cost memory and drawing.
  UINT width = 0;
  UINT height = 0;
  SceneTargetSize(&width, &height);
  if (!reflectionTarget.texture) {
    reflectionTarget.Create(device, width, height, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT);
  }
  if (!reflectionDepth.surface) reflectionDepth.Create(device, width, height);
  if (!blurTarget.texture && CurrentRenderQuality() == RenderQuality::High) {
    blurTarget.Create(device, width, height, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT);
  }
}

void CPuddleShader::ReleaseTargets()
{
  reflectionTarget.Release();
  reflectionDepth.Release();
  blurTarget.Release();
}

void CPuddleShader::BlurReflection()
{
  if (CurrentRenderQuality() == RenderQuality::Low) return;
  CShaderManager::GetInstance()->blur.DrawAverage(reflectionTarget, blurTarget);
}

const OstrelLibrary::CTexture& CPuddleShader::BlurredReflection() const
{
  return blurTarget.texture ? blurTarget : reflectionTarget;
}

void CPuddleShader::BeginReflection(const D3DLIGHT9& light)
{
  CreateTargets();
  CShaderManager::GetInstance()->puddlePass = 1;
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  // Without its targets the mirrored drawing would land on the screen: it goes
  // nowhere instead (everything drawn in between is clipped away by a zero viewport).
  passRunning = reflectionTarget.surface && reflectionDepth.surface;
  device->GetRenderTarget(0, &savedTarget);
  device->GetDepthStencilSurface(&savedDepth);
  if (passRunning) {
    device->SetRenderTarget(0, reflectionTarget.surface);
    device->SetDepthStencilSurface(reflectionDepth.surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, clearColour, 1.0f, 0);
  } else {
    D3DVIEWPORT9 nowhere = {0, 0, 0, 0, 0.0f, 1.0f};
    device->SetViewport(&nowhere);
  }
  if (!effect) return;
  effect->SetValue("g_light_direction", &light.Direction, 12);
  effect->SetValue("g_ambient", &light.Ambient, 16);
}

void CPuddleShader::EndReflection()
{
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  // Binding the target again also gives back its full viewport.
  device->SetRenderTarget(0, savedTarget);
  device->SetDepthStencilSurface(savedDepth);
  if (savedTarget) savedTarget->Release();
  if (savedDepth) savedDepth->Release();
  savedTarget = nullptr;
  savedDepth = nullptr;
  passRunning = false;
  CShaderManager::GetInstance()->puddlePass = 0;
}

void CPuddleShader::DrawMesh()
{
  if (!effect || !puddleMesh || !puddleMesh->mesh) return;
  effect->SetTechnique("Tech");
  UINT passes = 0;
  effect->Begin(&passes, 0);
  effect->BeginPass(0);
  effect->CommitChanges();
  puddleMesh->mesh->DrawSubset(0);
  effect->EndPass();
  effect->End();
}
