// CToonShader: loading its textures and drawing a mesh material by material.
#include "shader/toon_shader.h"

#include "engine/asset_report.h"
#include "engine/graphics.h"
#include "shader/render_quality.h"
#include "shader/shader_manager.h"

using OstrelLibrary::CGraphics;

CToonShader::~CToonShader()
{
  ReleaseCubeTexture();
}

void CToonShader::ReleaseCubeTexture()
{
  if (cubeTexture) {
    cubeTexture->Release();
    cubeTexture = nullptr;
  }
}

void CToonShader::ReleaseAll()
{
  CShaderBase::ReleaseAll();
  defaultTexture.Release();
  defaultNormalTexture.Release();
  toonTexture.reset();
  realTexture.reset();
  ReleaseCubeTexture();
}

void CToonShader::Load()
{
  ReleaseResources();
  LoadEffect("res/shader/ToonShader.cso");

  CGraphics* graphics = CGraphics::GetInstance();
  IDirect3DDevice9* device = graphics->device;
  if (defaultTexture.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED)) defaultTexture.Fill(0xFFFFFFFF);
  if (defaultNormalTexture.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED)) {
    defaultNormalTexture.Fill(0xFFB0B0FF);
  }
  toonTexture = graphics->GetTexture(device, "res/shader/toon.png");
  realTexture = graphics->GetTexture(device, "res/shader/real.png");
  ReleaseCubeTexture();
  if (FAILED(D3DXCreateCubeTextureFromFileA(device, "res/shader/cube_map.dds", &cubeTexture))) {
    cubeTexture = nullptr;
    OstrelLibrary::ReportUnusableAsset("res/shader/cube_map.dds", "not a cube map the game can read");
  }

  // Bindings need an effect to bind to.
  if (!effect) return;
  effect->SetTexture("g_toon_tex", toonTexture->texture);
  effect->SetTexture("g_cube_tex", cubeTexture);
  ReadyTechniques({"DepthTech", "PuddleReflectTech"});
}

namespace {

// NormalTech and its variants that leave out the normal-map or the sky lookups a mesh
// has no use for (the same picture for fewer texture fetches), by [normal-mapped]
// [reflects the sky][low quality's single shadow tap].
const char* const normalTechniques[2][2][2] = {
    {{"NormalFlatMattTech", "NormalFlatMattLowTech"}, {"NormalFlatTech", "NormalFlatLowTech"}},
    {{"NormalMattTech", "NormalMattLowTech"}, {"NormalTech", "NormalLowTech"}}};

// The index of the quality in force in normalTechniques.
int QualityIndex()
{
  return CurrentRenderQuality() == RenderQuality::Low ? 1 : 0;
}

// The technique for the mesh under the quality in force.
const char* NormalTechnique(const OstrelLibrary::CMesh& mesh, float refPower)
{
  bool normalMapped = false;
  for (const auto& normal : mesh.normalTextures) normalMapped = normalMapped || (normal && normal->texture);
  return normalTechniques[normalMapped ? 1 : 0][refPower != 0.0f ? 1 : 0][QualityIndex()];
}

}  // namespace

void CToonShader::ReadyQualityTechniques()
{
  const int quality = QualityIndex();
  ReadyTechniques({normalTechniques[0][0][quality], normalTechniques[0][1][quality], normalTechniques[1][0][quality],
                   normalTechniques[1][1][quality]});
}

void CToonShader::DrawMesh(const OstrelLibrary::CMesh& mesh, float refPower, float uvScroll)
{
  if (!effect) return;
  effect->SetFloat("g_ref_power", refPower);
  effect->SetFloat("g_moveble_uv", uvScroll);

  CShaderManager* manager = CShaderManager::GetInstance();
  D3DXMATRIX reflection;
  D3DXMatrixIdentity(&reflection);
  if (manager->puddlePass) {
    D3DXPLANE plane;
    D3DXPlaneFromPointNormal(&plane, &manager->puddlePoint, &manager->puddleNormal);
    D3DXMatrixReflect(&reflection, &plane);
  }
  effect->SetMatrix("g_reflect_mat", &reflection);
  effect->SetTechnique(manager->puddlePass ? "PuddleReflectTech" : NormalTechnique(mesh, refPower));

  UINT passes = 0;
  effect->Begin(&passes, 0);
  effect->BeginPass(0);
  for (size_t i = 0; i < mesh.materials.size(); ++i) {
    const D3DMATERIAL9& material = mesh.materials[i];
    const D3DXVECTOR4 diffuse(material.Diffuse.r, material.Diffuse.g, material.Diffuse.b, material.Diffuse.a);
    const D3DXVECTOR4 specular(material.Specular.r, material.Specular.g, material.Specular.b, material.Specular.a);
    const D3DXVECTOR4 emissive(material.Emissive.r, material.Emissive.g, material.Emissive.b, material.Emissive.a);
    effect->SetVector("g_mate_diffuse", &diffuse);
    effect->SetVector("g_mate_specular", &specular);
    effect->SetFloat("g_mate_spe_power", material.Power);
    effect->SetVector("g_mate_emissive", &emissive);
    const OstrelLibrary::CTexture* colour = mesh.textures[i].get();
    const OstrelLibrary::CTexture* normal = mesh.normalTextures[i].get();
    effect->SetTexture("g_mate_diffuse_tex", (colour && colour->texture) ? colour->texture : defaultTexture.texture);
    effect->SetTexture("g_normal_tex", (normal && normal->texture) ? normal->texture : defaultNormalTexture.texture);
    effect->CommitChanges();
    if (mesh.mesh) mesh.mesh->DrawSubset(static_cast<DWORD>(i));
  }
  effect->EndPass();
  effect->End();
}

// The same transform as DrawMesh's techniques, no colour written.
void CToonShader::DrawDepth(const OstrelLibrary::CMesh& mesh)
{
  if (!effect || !mesh.mesh || CShaderManager::GetInstance()->puddlePass) return;
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  effect->SetMatrix("g_reflect_mat", &identity);  // a puddle pass may have left its mirror
  effect->SetTechnique("DepthTech");
  UINT passes = 0;
  effect->Begin(&passes, 0);
  effect->BeginPass(0);
  for (size_t i = 0; i < mesh.materials.size(); ++i) mesh.mesh->DrawSubset(static_cast<DWORD>(i));
  effect->EndPass();
  effect->End();
}
