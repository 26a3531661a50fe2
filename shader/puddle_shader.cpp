// CPuddleShader: the reflection pass and the puddle draw.
#include "shader/puddle_shader.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

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
  MeasureMesh();
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

void CPuddleShader::BlurReflection(const RECT& area)
{
  if (CurrentRenderQuality() == RenderQuality::Low) return;
  CShaderManager::GetInstance()->blur.DrawAverage(reflectionTarget, blurTarget, &area);
}

void CPuddleShader::MeasureMesh()
{
  if (!puddleMesh || !puddleMesh->mesh) return;
  ID3DXMesh* mesh = puddleMesh->mesh;
  const DWORD count = mesh->GetNumVertices();
  const DWORD stride = mesh->GetNumBytesPerVertex();
  void* data = nullptr;
  if (count == 0 || stride < sizeof(D3DXVECTOR3) || FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)) || !data)
    return;
  // The position leads every vertex.
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  D3DXVECTOR3 low = *reinterpret_cast<const D3DXVECTOR3*>(bytes);
  D3DXVECTOR3 high = low;
  for (DWORD i = 1; i < count; ++i) {
    const D3DXVECTOR3& p = *reinterpret_cast<const D3DXVECTOR3*>(bytes + i * stride);
    low = D3DXVECTOR3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = D3DXVECTOR3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
  }
  mesh->UnlockVertexBuffer();
  boxMin = low;
  boxMax = high;
}

bool CPuddleShader::ReadArea(const D3DXMATRIX& world, RECT* area)
{
  UINT width = 0;
  UINT height = 0;
  SceneTargetSize(&width, &height);
  // The camera the puddle's own effect will draw with.
  D3DXMATRIX view;
  D3DXMATRIX projection;
  if (!effect || FAILED(effect->GetValue("g_view_mat", &view, sizeof(view))) ||
      FAILED(effect->GetValue("g_projection_mat", &projection, sizeof(projection)))) {
    *area = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    return true;
  }
  return PuddleReadArea(boxMin, boxMax, world * view * projection, width, height, area);
}

bool PuddleReadArea(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax, const D3DXMATRIX& worldViewProjection,
                    UINT width, UINT height, RECT* area)
{
  const RECT whole = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
  *area = whole;
  float left = FLT_MAX;
  float right = -FLT_MAX;
  float top = -FLT_MAX;  // y up, as projected
  float bottom = FLT_MAX;
  int behind = 0;
  for (int corner = 0; corner < 8; ++corner) {
    const D3DXVECTOR4 point((corner & 1) ? boxMax.x : boxMin.x, (corner & 2) ? boxMax.y : boxMin.y,
                            (corner & 4) ? boxMax.z : boxMin.z, 1.0f);
    D3DXVECTOR4 clip;
    D3DXVec4Transform(&clip, &point, &worldViewProjection);
    // A corner at or behind the eye projects nowhere sensible.
    if (clip.w <= 1e-4f) {
      ++behind;
      continue;
    }
    left = std::min(left, clip.x / clip.w);
    right = std::max(right, clip.x / clip.w);
    bottom = std::min(bottom, clip.y / clip.w);
    top = std::max(top, clip.y / clip.w);
  }
  if (behind == 8) return false;
  if (behind > 0) return true;  // the box crosses the eye's plane: read it all
  if (right < -1.0f || left > 1.0f || top < -1.0f || bottom > 1.0f) return false;
  // The shader bends its look-up by up to 2 % of the target each way; the blur reaches
  // 4 texels and its filter one more, and a pixel is added for rounding.
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const float marginX = std::ceil(0.02f * w) + 8.0f;
  const float marginY = std::ceil(0.02f * h) + 8.0f;
  const auto clampTo = [](float value, float high) { return static_cast<LONG>(std::clamp(value, 0.0f, high)); };
  area->left = clampTo(std::floor((left * 0.5f + 0.5f) * w - marginX), w);
  area->right = clampTo(std::ceil((right * 0.5f + 0.5f) * w + marginX), w);
  area->top = clampTo(std::floor((0.5f - top * 0.5f) * h - marginY), h);
  area->bottom = clampTo(std::ceil((0.5f - bottom * 0.5f) * h + marginY), h);
  return area->right > area->left && area->bottom > area->top;
}

const OstrelLibrary::CTexture& CPuddleShader::BlurredReflection() const
{
  return blurTarget.texture ? blurTarget : reflectionTarget;
}

void CPuddleShader::BeginReflection(const D3DLIGHT9& light, const RECT& area)
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
    // Only the part the puddle reads is cleared and drawn; the rest is never looked at.
    device->SetScissorRect(&area);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
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
  device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
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
