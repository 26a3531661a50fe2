// CShaderBase: effect loading and the report of a failed compile.
#include "shader/shader_base.h"

#include "app/application.h"
#include "engine/asset_report.h"
#include "engine/graphics.h"

CShaderBase::~CShaderBase()
{
  if (effect) {
    effect->Release();
    effect = nullptr;
  }
}

void CShaderBase::ReleaseResources()
{
  if (effect) {
    effect->Release();
    effect = nullptr;
  }
}

void CShaderBase::ReleaseAll()
{
  CShaderBase::ReleaseResources();
}

void CShaderBase::LoadEffect(const std::string& path)
{
  ReleaseResources();
  ID3DXBuffer* errors = nullptr;
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  const HRESULT result =
      D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors);
  if (FAILED(result)) {
    OstrelLibrary::ReportUnusableAsset(path, "not an effect that compiles");
    // The compiler's own words are the most useful message; without any, name the file.
    std::string text = "シェーダの読み込みに失敗しました: " + path;
    if (errors && errors->GetBufferSize() > 1) text = static_cast<const char*>(errors->GetBufferPointer());
    MessageBoxA(CApplication::GetInstance()->window, text.c_str(), "シェーダコンパイル失敗", MB_OK);
    effect = nullptr;
  }
  if (errors) errors->Release();
}

void CShaderBase::ReadyTechniques(std::initializer_list<const char*> names)
{
  if (!effect) return;
  for (const char* name : names) effect->ValidateTechnique(name);
}
