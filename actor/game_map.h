// CGameMap: the stage's own geometry. One mesh is drawn and is what every ray of the
// collision queries lands on; a simpler mesh is drawn into the shadow map. It never moves.
#pragma once

#include "actor/actor_base.h"

class CGameMap : public CActorBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> depthMesh;

  // Loads map.N.x and depth_map.N.x for the application's stage number.
  CGameMap();
  // "CGameMap".
  const std::string& GetName() const override;
  ~CGameMap() override;
  // The map has no behaviour.
  void Update() override;
  // The mesh with the softer "real" ramp, without an outline.
  void Draw() override;
  // The depth mesh into the shadow map.
  void DrawShadow() override;
};

// "res/game/map/map.x" with the stage number: "res/game/map/map.3.x" for 3; "" when the
// number does not fit one digit.
std::string StageMeshName(const std::string& baseName, int stageNumber);
