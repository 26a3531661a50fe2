// CBlurShader: the bright pass, blurs, the bloom pyramid and the composite.
#include "shader/blur_shader.h"

#include "engine/graphics.h"
#include "shader/render_quality.h"

using OstrelLibrary::CGraphics;
using OstrelLibrary::CTexture;

namespace {

// Normal alpha blending, as every pass that reads it expects.
void SetNormalBlend(IDirect3DDevice9* device)
{
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// A texture's size as floats.
float Width(const CTexture& texture)
{
  return static_cast<float>(texture.imageInfo.Width);
}
float Height(const CTexture& texture)
{
  return static_cast<float>(texture.imageInfo.Height);
}

}  // namespace

void CBlurShader::Load()
{
  ReleaseResources();
  LoadEffect("res/shader/BlurShader.cso");
  // The glow of every frame and the puddle's blur; the plain copy and the full-size
  // bright pass are only the tests' reference.
  ReadyTechniques(
      {"BrightDownTech", "ShrinkTech", "XBlurTech", "YBlurTech", "FoldTech", "CompositeTech", "AverageBlurTech"});
  CGraphics* graphics = CGraphics::GetInstance();
  IDirect3DDevice9* device = graphics->device;
  const UINT width = graphics->presentParameters.BackBufferWidth;
  const UINT height = graphics->presentParameters.BackBufferHeight;
  UINT levelWidth = width / 4;
  UINT levelHeight = height / 4;
  for (int i = 0; i < kLevelCount; ++i) {
    LevelA(i).Create(device, levelWidth, levelHeight, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
    LevelB(i).Create(device, levelWidth, levelHeight, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
    levelWidth /= 2;
    levelHeight /= 2;
  }
  CreateSceneTarget();
}

void CBlurShader::ReleaseAll()
{
  CShaderBase::ReleaseAll();
  for (OstrelLibrary::CTexture& level : levels) level.Release();
  sceneTarget.Release();
  compositeTarget.Release();
  glow = nullptr;
}

void CBlurShader::CreateSceneTarget()
{
  CGraphics* graphics = CGraphics::GetInstance();
  // At low quality the 3D pass draws a quarter of the pixels, and so does the
  // composite, into an 8-bit target of the same size that one plain copy scales up.
  UINT width = 0;
  UINT height = 0;
  SceneTargetSize(&width, &height);
  sceneTarget.Release();
  sceneTarget.Create(graphics->device, width, height, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT);
  compositeTarget.Release();
  if (CurrentRenderQuality() == RenderQuality::Low) {
    compositeTarget.Create(graphics->device, width, height, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
  }
}

void CBlurShader::DrawPass(const char* technique, const CTexture& input, float width, float height)
{
  if (!effect || !input.texture) return;
  effect->SetTexture("g_input_tex", input.texture);
  const D3DXVECTOR4 texelSize(1.0f / Width(input), 1.0f / Height(input), 0.0f, 0.0f);
  effect->SetVector("g_texel_size", &texelSize);
  effect->SetTechnique(technique);
  UINT passes = 0;
  effect->Begin(&passes, 0);
  effect->BeginPass(0);
  CGraphics::GetInstance()->DrawScreenQuad(0.0f, 0.0f, width, height);
  effect->EndPass();
  effect->End();
}

void CBlurShader::DrawInto(const char* technique, const CTexture& input, CTexture& output, const RECT* area)
{
  if (!effect || !output.surface) return;
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  IDirect3DSurface9* saved = nullptr;
  device->GetRenderTarget(0, &saved);
  device->SetRenderTarget(0, output.surface);
  if (area) {
    device->SetScissorRect(area);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
  }
  DrawPass(technique, input, Width(output), Height(output));
  if (area) device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
  device->SetRenderTarget(0, saved);
  if (saved) saved->Release();
}

void CBlurShader::DrawCopy(const CTexture& input, float width, float height, const D3DXVECTOR4* colour)
{
  if (!effect) return;
  effect->SetVector("g_color", colour);
  DrawPass("NormalTech", input, width, height);
}

void CBlurShader::DrawBright(const CTexture& input, CTexture& output)
{
  DrawInto("BrightFilteringTech", input, output);
}

void CBlurShader::DrawBrightDown(const CTexture& input, CTexture& output)
{
  DrawInto("BrightDownTech", input, output);
}

void CBlurShader::DrawAverage(const CTexture& input, CTexture& output, const RECT* area)
{
  SetNormalBlend(CGraphics::GetInstance()->device);
  DrawInto("AverageBlurTech", input, output, area);
}

void CBlurShader::DrawXBlur(const CTexture& input, float width, float height)
{
  DrawPass("XBlurTech", input, width, height);
}

void CBlurShader::DrawYBlur(const CTexture& input, float width, float height)
{
  DrawPass("YBlurTech", input, width, height);
}

void CBlurShader::BuildBloom(const CTexture& bright, CTexture* pyramid)
{
  glow = nullptr;
  if (!effect) return;
  IDirect3DDevice9* device = CGraphics::GetInstance()->device;
  SetNormalBlend(device);
  IDirect3DSurface9* saved = nullptr;
  device->GetRenderTarget(0, &saved);
  int made = 0;
  for (; made < kLevelCount; ++made) {
    CTexture& a = pyramid[2 * made];
    CTexture& b = pyramid[2 * made + 1];
    // A level whose targets could not be made ends the pyramid there.
    if (!a.surface || !b.surface) break;
    const CTexture& source = made == 0 ? bright : pyramid[2 * made - 1];
    device->SetRenderTarget(0, b.surface);
    if (&source != &b) DrawPass("ShrinkTech", source, Width(b), Height(b));
    device->SetRenderTarget(0, a.surface);
    DrawXBlur(b, Width(a), Height(a));
    device->SetRenderTarget(0, b.surface);
    DrawYBlur(a, Width(b), Height(b));
  }
  // Fold the levels into one from the smallest up, each sum into its level's A (free
  // again after the blur), so that the full-screen composite reads one glow texture.
  effect->SetTexture("g_glow_tex", nullptr);
  for (int i = made - 1; i >= 0; --i) {
    CTexture& a = pyramid[2 * i];
    device->SetRenderTarget(0, a.surface);
    DrawPass("FoldTech", pyramid[2 * i + 1], Width(a), Height(a));
    effect->SetTexture("g_glow_tex", a.texture);
    glow = &a;
  }
  device->SetRenderTarget(0, saved);
  if (saved) saved->Release();
}

void CBlurShader::DrawComposite(const CTexture& image, float width, float height)
{
  if (!effect) return;
  effect->SetTexture("g_glow_tex", glow ? glow->texture : nullptr);
  DrawPass("CompositeTech", image, width, height);
}

void CBlurShader::Apply()
{
  CGraphics* graphics = CGraphics::GetInstance();
  DrawBrightDown(sceneTarget, LevelB(0));
  BuildBloom(LevelB(0), levels);
  const float width = static_cast<float>(graphics->presentParameters.BackBufferWidth);
  const float height = static_cast<float>(graphics->presentParameters.BackBufferHeight);
  if (!compositeTarget.surface) {
    DrawComposite(sceneTarget, width, height);
    return;
  }
  IDirect3DDevice9* device = graphics->device;
  IDirect3DSurface9* saved = nullptr;
  device->GetRenderTarget(0, &saved);
  device->SetRenderTarget(0, compositeTarget.surface);
  DrawComposite(sceneTarget, Width(compositeTarget), Height(compositeTarget));
  device->SetRenderTarget(0, saved);
  if (saved) saved->Release();
  DrawPass("ShrinkTech", compositeTarget, width, height);
}
