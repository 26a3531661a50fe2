// CGameMetalLift: a steel platform sliding along world z on a rail, up to 15.0 from
// its start while a switched-on switch stands within 10.0 of the rail, and back when
// none does. It carries the player standing on it and the metal blocks near it. It is
// a magic target: red magic on it throws the player standing on it upwards.
#pragma once

#include "actor/actor_base.h"

class CGameMetalLift : public CActorBase {
public:
  D3DXMATRIX offset;      // only z changes, 0 to 15.0
  D3DXMATRIX railMatrix;  // where the rail is drawn; the switch search centre
  D3DXMATRIX baseMatrix;  // the start pose; world = baseMatrix * offset
  D3DXVECTOR3 launch;     // the launch given to the player last frame
  float topMargin = 0.45f;
  float reflectPower = 0.35f;
  float outlineWidth = 0.005f;
  std::shared_ptr<OstrelLibrary::CMesh> railMesh;
  std::unique_ptr<OstrelLibrary::CSound> liftSound;

  explicit CGameMetalLift(const D3DXMATRIX& placement);
  // "CGameMetalLift".
  const std::string& GetName() const override;
  // The lift sound and the rail.
  ~CGameMetalLift() override;
  // Travel, the launch, the glow.
  void Update() override;
  // Platform and rail, outlines, and the hit overlay.
  void Draw() override;
  // Platform and rail into the shadow map.
  void DrawShadow() override;

  // One step along z with what it carries.
  void Travel();
  // True when the player stands over the platform's square (a margin wider than it).
  bool PlayerOnTop() const;
  // Red magic throws the player standing on the platform straight up.
  void LaunchFromTop();
};

// The shared top test of both lifts: the player at or above the platform's y and over
// its square widened by the margin.
bool IsPlayerOnPlatform(const CActorBase& lift, float topMargin);
// Every metal block within 3.0 of the platform moves with it.
void CarryBlocksNear(const CActorBase& lift, float dx, float dy, float dz);
