// CGameMap: loading the stage's two meshes by stage number, drawing them.
#include "actor/game_map.h"

#include <cstdio>

#include "app/application.h"
#include "app/source_stage.h"
#include "app/stage_watch.h"
#include "engine/graphics.h"
#include "shader/shader_manager.h"

namespace {
const std::string gameMapName = "CGameMap";
}  // namespace

// The number goes into a two-character buffer, so only 0 to 9 can name a file.
std::string StageMeshName(const std::string& baseName, int stageNumber)
{
  if (stageNumber < 0 || stageNumber > 9) return "";
  char digit[2] = {};
  std::snprintf(digit, sizeof digit, "%d", stageNumber);
  return OstrelLibrary::InsertBeforeExtension(baseName, digit);
}

// A missing file leaves an empty mesh: no floor, nothing to collide with.
CGameMap::CGameMap()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const int stage = CApplication::GetInstance()->stageNumber;
  const SourceStage& source = CurrentSourceStage();
  const std::string meshName = source.active ? source.mapMesh : StageMeshName("res/game/map/map.x", stage);
  const std::string depthName = source.active ? source.depthMesh : StageMeshName("res/game/map/depth_map.x", stage);
  if (!meshName.empty()) mesh = graphics->GetMesh(graphics->device, meshName);
  if (!depthName.empty()) depthMesh = graphics->GetMesh(graphics->device, depthName);
}

// "CGameMap".
const std::string& CGameMap::GetName() const
{
  return gameMapName;
}

// The depth mesh goes before the base releases the rest.
CGameMap::~CGameMap()
{
  depthMesh.reset();
}

// Nothing moves.
void CGameMap::Update()
{
}

// Depth first: the tower is opaque, so each seen pixel of it is shaded once. The stone
// wants the softer ramp; the toon ramp goes back for the actors after it.
void CGameMap::Draw()
{
  CToonShader& toon = CShaderManager::GetInstance()->toon;
  if (!toon.effect || !mesh) return;
  NoteSourceStageDrawn();
  NoteStageWatchDrawn();
  if (toon.realTexture) toon.effect->SetTexture("g_toon_tex", toon.realTexture->texture);
  toon.effect->SetMatrix("g_world_mat", &world);
  toon.DrawDepth(*mesh);
  toon.DrawMesh(*mesh, 0.0f, 0.0f);
  if (toon.toonTexture) toon.effect->SetTexture("g_toon_tex", toon.toonTexture->texture);
}

// The simpler mesh is enough for the shadow map.
void CGameMap::DrawShadow()
{
  CShadowMapShader& shadowMap = CShaderManager::GetInstance()->shadowMap;
  if (!shadowMap.effect || !depthMesh) return;
  shadowMap.effect->SetMatrix("g_world_mat", &world);
  shadowMap.DrawMesh(*depthMesh);
}
