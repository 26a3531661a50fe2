// CEffectBase: the defaults, the name string, billboarding and the cell animation of
// sprite strips.
#include "effect/effect_base.h"

#include "actor/game_camera.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string effectBaseName = "CEffectBase";
}  // namespace

std::weak_ptr<CSceneGame> CEffectBase::currentScene;

// Identity matrices, a zeroed quad.
CEffectBase::CEffectBase() : quad{}
{
  D3DXMatrixIdentity(&world);
  D3DXMatrixIdentity(&baseMatrix);
  D3DXMatrixIdentity(&scaleMatrix);
}

// "CEffectBase".
const std::string& CEffectBase::GetName() const
{
  return effectBaseName;
}

// The texture is shared with the cache; nothing else is owned.
CEffectBase::~CEffectBase() = default;

// The view with its translation removed is a pure rotation; its inverse turns the quad
// to face the camera. Without a camera the view is taken as the identity.
void CEffectBase::Billboard()
{
  D3DXMATRIX view;
  D3DXMatrixIdentity(&view);
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  const CGameCamera* camera = scene ? dynamic_cast<const CGameCamera*>(scene->camera.get()) : nullptr;
  if (camera) view = camera->view;
  view._41 = 0.0f;
  view._42 = 0.0f;
  view._43 = 0.0f;
  D3DXMATRIX inverse;
  if (!D3DXMatrixInverse(&inverse, nullptr, &view)) D3DXMatrixIdentity(&inverse);
  world = inverse * baseMatrix;
}

// The mirrored quad shows its back, so culling is switched off for it.
void CEffectBase::BillboardReflected()
{
  CShaderManager* shaders = CShaderManager::GetInstance();
  Billboard();
  if (!shaders->puddlePass) return;
  D3DXPLANE plane;
  D3DXPlaneFromPointNormal(&plane, &shaders->puddlePoint, &shaders->puddleNormal);
  D3DXMATRIX reflection;
  D3DXMatrixReflect(&reflection, &plane);
  world = world * reflection;
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (device) device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

// Wraps to the first cell.
void CEffectBase::AnimateLoop()
{
  frameIndex += 1;
  if (lastFrame < static_cast<float>(frameIndex)) frameIndex = 0;
  SetCellCoordinates();
}

// Stays on the last cell once finished.
void CEffectBase::AnimateOnce()
{
  frameIndex += 1;
  if (lastFrame < static_cast<float>(frameIndex)) {
    finished = 1;
    frameIndex = static_cast<int>(lastFrame);
  }
  SetCellCoordinates();
}

// Vertex 0 bottom-left, 1 top-left, 2 top-right, 3 bottom-right.
void CEffectBase::SetCellCoordinates()
{
  const float width = TextureWidth();
  if (width <= 0.0f) return;
  const float u0 = static_cast<float>(frameIndex) * frameWidth / width;
  const float u1 = static_cast<float>(frameIndex + 1) * frameWidth / width;
  quad[0].u = u0;
  quad[0].v = 1.0f;
  quad[1].u = u0;
  quad[1].v = 0.0f;
  quad[2].u = u1;
  quad[2].v = 0.0f;
  quad[3].u = u1;
  quad[3].v = 1.0f;
}

// Corners in the order the cell coordinates expect; the first cell is shown until the
// animation moves on.
void CEffectBase::SetQuad(float w, float h, bool bottomAnchored, D3DCOLOR quadColour)
{
  const float bottom = bottomAnchored ? 0.0f : -h * 0.5f;
  const float top = bottomAnchored ? h : h * 0.5f;
  const float xs[4] = {-w * 0.5f, -w * 0.5f, w * 0.5f, w * 0.5f};
  const float ys[4] = {bottom, top, top, bottom};
  for (int i = 0; i < 4; ++i) {
    quad[i].x = xs[i];
    quad[i].y = ys[i];
    quad[i].z = 0.0f;
    quad[i].colour = quadColour;
  }
  SetCellCoordinates();
}

// Through the engine's textured-quad drawing.
void CEffectBase::DrawQuad() const
{
  if (!texture) return;
  OstrelLibrary::CGraphics::GetInstance()->DrawTexturedQuad(quad, *texture, &world);
}

// Only the reflection pass switched culling off.
void CEffectBase::RestoreCullAfterReflection()
{
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (device && CShaderManager::GetInstance()->puddlePass) device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

// Paused or the escape menu open; no scene, nothing halts.
bool CEffectBase::IsSceneHalted()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  return scene && (scene->paused || scene->escapeOpen);
}

// From the image information of the loaded file.
float CEffectBase::TextureWidth() const
{
  return texture && texture->texture ? static_cast<float>(texture->imageInfo.Width) : 0.0f;
}

// From the image information of the loaded file.
float CEffectBase::TextureHeight() const
{
  return texture && texture->texture ? static_cast<float>(texture->imageInfo.Height) : 0.0f;
}

// The cache keeps one copy per path; a missing file gives an empty texture.
std::shared_ptr<OstrelLibrary::CTexture> LoadEffectTexture(const std::string& path)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  return graphics->GetTexture(graphics->device, path);
}
