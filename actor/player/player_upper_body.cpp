// CPlayerUpperBody: following the player and drawing head, eyes and body.
#include "actor/player/player_upper_body.h"

#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string upperBodyName = "CPlayerUpperBody";

// A toon draw of a mesh at a matrix; nothing for a missing mesh.
void DrawToonAt(CToonShader& toon, const std::shared_ptr<OstrelLibrary::CMesh>& mesh, const D3DXMATRIX& matrix)
{
  if (!mesh || !toon.effect) return;
  toon.effect->SetMatrix("g_world_mat", &matrix);
  toon.DrawMesh(*mesh, 0.0f, 0.0f);
}

// A black outline of a mesh at a matrix.
void DrawOutlineAt(COutlineShader& outline, const std::shared_ptr<OstrelLibrary::CMesh>& mesh, const D3DXMATRIX& matrix)
{
  if (!mesh || !outline.effect) return;
  const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
  outline.effect->SetMatrix("g_world_mat", &matrix);
  outline.DrawMesh(*mesh, 0.025f, &black);
}
}  // namespace

// The head sits 1.0 above the player's feet.
CPlayerUpperBody::CPlayerUpperBody()
{
  D3DXMatrixIdentity(&headMatrix);
  D3DXMatrixTranslation(&headOffset, 0.0f, 1.0f, 0.0f);
  D3DXMatrixIdentity(&eyeMatrix);
  D3DXMatrixIdentity(&bodyMatrix);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  headMesh = graphics->GetMesh(graphics->device, "res/game/player/player_head.x");
  defaultEyeMesh = graphics->GetMesh(graphics->device, "res/game/player/player_default_eye.x");
  gleeEyeMesh = graphics->GetMesh(graphics->device, "res/game/player/player_glee_eye.x");
  bodyMesh = graphics->GetMesh(graphics->device, "res/game/player/player_body.x");
}

// "CPlayerUpperBody".
const std::string& CPlayerUpperBody::GetName() const
{
  return upperBodyName;
}

// Its own meshes; the base releases the rest.
CPlayerUpperBody::~CPlayerUpperBody()
{
  bodyMesh.reset();
  gleeEyeMesh.reset();
  defaultEyeMesh.reset();
  headMesh.reset();
}

// Head and eyes share one matrix; the body is the player's world.
void CPlayerUpperBody::Update()
{
  RefreshPlayerLink();
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!owner) return;
  glee = (scene && (scene->orbObtained || scene->goalReached)) ? 1 : 0;
  headMatrix = headOffset * owner->world;
  eyeMatrix = headMatrix;
  bodyMatrix = owner->world;
}

// The eyes get no outline: they are painted on the head.
void CPlayerUpperBody::Draw()
{
  CShaderManager* shaders = CShaderManager::GetInstance();
  DrawToonAt(shaders->toon, headMesh, headMatrix);
  DrawToonAt(shaders->toon, glee ? gleeEyeMesh : defaultEyeMesh, eyeMatrix);
  DrawToonAt(shaders->toon, bodyMesh, bodyMatrix);
  DrawOutlineAt(shaders->outline, headMesh, headMatrix);
  DrawOutlineAt(shaders->outline, bodyMesh, bodyMatrix);
}

// The eyes are too small to cast a shadow.
void CPlayerUpperBody::DrawShadow()
{
  CShadowMapShader& shadowMap = CShaderManager::GetInstance()->shadowMap;
  if (!shadowMap.effect) return;
  if (headMesh) {
    shadowMap.effect->SetMatrix("g_world_mat", &headMatrix);
    shadowMap.DrawMesh(*headMesh);
  }
  if (bodyMesh) {
    shadowMap.effect->SetMatrix("g_world_mat", &bodyMatrix);
    shadowMap.DrawMesh(*bodyMesh);
  }
}
