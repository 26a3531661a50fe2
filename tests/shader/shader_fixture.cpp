// The shader tests' device set-up, camera and mesh helpers.
#include "shader_fixture.h"

#include <cstdlib>

using OstrelLibrary::CGraphics;
using OstrelLibrary::CMesh;

void ShaderTest::SetUp()
{
  RenderTest::SetUp();
  if (HasFatalFailure()) return;
  shaders = CShaderManager::GetInstance();
  shaders->toon.Load();
  shaders->outline.Load();
  shaders->blur.Load();
  shaders->shadowMap.Load();
  shaders->puddle.Load();
  ASSERT_NE(shaders->toon.effect, nullptr);
  ASSERT_NE(shaders->outline.effect, nullptr);
  ASSERT_NE(shaders->blur.effect, nullptr);
  ASSERT_NE(shaders->shadowMap.effect, nullptr);
  ASSERT_NE(shaders->puddle.effect, nullptr);
  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  shaders->toon.effect->SetValue("g_light_direction", &light.Direction, 12);
  shaders->toon.effect->SetValue("g_light_color", &light.Diffuse, 16);
  SetCamera(D3DXVECTOR3(0.0f, 10.0f, -10.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
}

void ShaderTest::TearDown()
{
  // The shaders hold device resources: give them back before the device goes.
  if (shaders) shaders->ReleaseAll();
  RenderTest::TearDown();
}

void ShaderTest::SetCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& target)
{
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &target, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, 1280.0f / 720.0f, 0.5f, 200.0f);
  ID3DXEffect* effects[] = {shaders->toon.effect, shaders->outline.effect, shaders->puddle.effect};
  for (ID3DXEffect* effect : effects) {
    effect->SetMatrix("g_view_mat", &view);
    effect->SetMatrix("g_projection_mat", &projection);
  }
  shaders->toon.effect->SetValue("g_camera_pos", &eye, 12);
}

POINT ShaderTest::Project(const D3DXVECTOR3& world) const
{
  const D3DXMATRIX viewProjection = view * projection;
  D3DXVECTOR3 clip;
  D3DXVec3TransformCoord(&clip, &world, &viewProjection);
  return POINT{static_cast<LONG>((clip.x + 1.0f) * 0.5f * 1280.0f), static_cast<LONG>((1.0f - clip.y) * 0.5f * 720.0f)};
}

void ShaderTest::DrawToon(const CMesh& mesh, const D3DXMATRIX& world, float refPower)
{
  shaders->toon.effect->SetMatrix("g_world_mat", &world);
  shaders->toon.DrawMesh(mesh, refPower, 0.0f);
}

void ShaderTest::DrawShadow(const CMesh& mesh, const D3DXMATRIX& world)
{
  shaders->shadowMap.effect->SetMatrix("g_world_mat", &world);
  shaders->shadowMap.DrawMesh(mesh);
}

void ShaderTest::CastShadow(const CMesh& mesh, const D3DXMATRIX& world)
{
  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  const D3DXVECTOR3 direction(light.Direction.x, light.Direction.y, light.Direction.z);
  shaders->shadowMap.BeginShadowPass(D3DXVECTOR3(0.0f, 0.0f, 0.0f) - direction * 75.0f);
  DrawShadow(mesh, world);
  shaders->shadowMap.EndShadowPass();
}

std::shared_ptr<CMesh> ShaderTest::Mesh(const std::string& path)
{
  return CGraphics::GetInstance()->GetMesh(device, path);
}

void MeshBounds(const CMesh& mesh, D3DXVECTOR3* low, D3DXVECTOR3* high)
{
  *low = D3DXVECTOR3(1e9f, 1e9f, 1e9f);
  *high = D3DXVECTOR3(-1e9f, -1e9f, -1e9f);
  void* data = nullptr;
  if (!mesh.mesh || FAILED(mesh.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data))) return;
  const DWORD count = mesh.mesh->GetNumVertices();
  const DWORD stride = mesh.mesh->GetNumBytesPerVertex();
  for (DWORD i = 0; i < count; ++i) {
    const float* p = reinterpret_cast<const float*>(static_cast<const char*>(data) + i * stride);
    low->x = std::min(low->x, p[0]);
    low->y = std::min(low->y, p[1]);
    low->z = std::min(low->z, p[2]);
    high->x = std::max(high->x, p[0]);
    high->y = std::max(high->y, p[1]);
    high->z = std::max(high->z, p[2]);
  }
  mesh.mesh->UnlockVertexBuffer();
}

std::string ScreenshotDir()
{
  const char* chosen = std::getenv("SOLVERICA_SCREENSHOTS");
  return chosen ? chosen : TestScratchDir();
}
