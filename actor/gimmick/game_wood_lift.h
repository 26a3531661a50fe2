// CGameWoodLift: a wooden platform rising up to 8.0 between four posts while a
// switched-on switch stands within 15.0 of its rail, and sinking back when none does.
// It never comes down onto anything below it, the player included. It carries the
// player standing on it and metal blocks near it; magic does nothing to it.
#pragma once

#include "actor/actor_base.h"

class CGameWoodLift : public CActorBase {
public:
  D3DXMATRIX offset;      // only y changes, 0 to 8.0
  D3DXMATRIX railMatrix;  // where the posts are drawn; the switch search centre
  D3DXMATRIX baseMatrix;  // the start pose, dropped onto the floor once
  float topMargin = 0.45f;
  float outlineWidth = 0.005f;
  std::shared_ptr<OstrelLibrary::CMesh> railMesh;
  std::unique_ptr<OstrelLibrary::CSound> liftSound;

  explicit CGameWoodLift(const D3DXMATRIX& placement);
  // "CGameWoodLift".
  const std::string& GetName() const override;
  // The lift sound and the posts.
  ~CGameWoodLift() override;
  // Settling and travel.
  void Update() override;
  // Platform and posts with thin outlines; no overlay.
  void Draw() override;

  // One step up, or down when nothing is below, with what it carries.
  void Travel();
  // True when the player stands over the platform's square.
  bool PlayerOnTop() const;
  // True when any of nine short downward rays from the platform's underside meets a mesh.
  bool BlockedBelow() const;
  // True when the player stands under the platform, near enough to be crushed.
  bool PlayerBelow() const;
};
