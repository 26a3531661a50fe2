// COutlineShader: the outline pass of one mesh.
#include "shader/outline_shader.h"

#include "shader/shader_manager.h"

void COutlineShader::Load()
{
  ReleaseResources();
  LoadEffect("res/shader/OutlineShader.cso");
  ReadyTechniques({"Tech"});
}

void COutlineShader::DrawMesh(const OstrelLibrary::CMesh& mesh, float size, const D3DXVECTOR4* colour)
{
  if (!effect || CShaderManager::GetInstance()->puddlePass) return;
  effect->SetVector("g_outline_color", colour);
  effect->SetFloat("g_outline_size", size);
  effect->SetTechnique("Tech");
  UINT passes = 0;
  effect->Begin(&passes, 0);
  effect->BeginPass(0);
  for (size_t i = 0; i < mesh.materials.size(); ++i) {
    effect->CommitChanges();
    if (mesh.mesh) mesh.mesh->DrawSubset(static_cast<DWORD>(i));
  }
  effect->EndPass();
  effect->End();
}
