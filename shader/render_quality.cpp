// RenderQuality: the choice from the renderer's name and the setting, and what each
// quality changes in the shaders.
#include "shader/render_quality.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "engine/graphics.h"
#include "shader/shader_manager.h"

namespace {

RenderQuality currentQuality = RenderQuality::High;

// The text in lower case.
std::string Lower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

RenderQuality ChooseRenderQuality(const std::string& rendererName, const char* setting)
{
  const std::string asked = setting ? Lower(setting) : std::string();
  if (asked == "low") return RenderQuality::Low;
  if (asked == "high") return RenderQuality::High;
  const std::string renderer = Lower(rendererName);
  for (const char* software : {"llvmpipe", "softpipe", "swiftshader"}) {
    if (renderer.find(software) != std::string::npos) return RenderQuality::Low;
  }
  return RenderQuality::High;
}

RenderQuality CurrentRenderQuality()
{
  return currentQuality;
}

void SceneTargetSize(unsigned* width, unsigned* height)
{
  const OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const unsigned divisor = currentQuality == RenderQuality::Low ? 2 : 1;
  *width = graphics->presentParameters.BackBufferWidth / divisor;
  *height = graphics->presentParameters.BackBufferHeight / divisor;
}

void ApplyRenderQuality(RenderQuality quality)
{
  currentQuality = quality;
  CShaderManager* shaders = CShaderManager::GetInstance();
  shaders->blur.CreateSceneTarget();
  shaders->puddle.ReleaseTargets();  // made again at the new size when next needed
  shaders->shadowMap.Resize(quality == RenderQuality::High ? CShadowMapShader::kSize : CShadowMapShader::kLowSize);
  if (shaders->toon.effect) shaders->toon.effect->SetInt("g_soft_shadow", quality == RenderQuality::High ? 1 : 0);
  shaders->toon.ReadyQualityTechniques();
}

void ApplyRenderQualityForDevice()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  D3DADAPTER_IDENTIFIER9 identifier = {};
  if (graphics->direct3D) graphics->direct3D->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier);
  ApplyRenderQuality(ChooseRenderQuality(identifier.Description, std::getenv("SOLVERICA_QUALITY")));
}
