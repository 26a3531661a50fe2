// CGameLiver: a floor lever. Blue magic pulls its handle over, a degree a frame; at
// the end it clicks and switches on for the rest of the stage. A pull broken off
// halfway leaves the handle where it got to.
#pragma once

#include "actor/actor_base.h"

class CGameLiver : public CActorBase {
public:
  D3DXMATRIX foundationMatrix;
  float reflectPower = 0.1f;                           // of the handle
  std::unique_ptr<OstrelLibrary::CSound> enableSound;  // the click at the end
  std::shared_ptr<OstrelLibrary::CMesh> foundationMesh;
  std::shared_ptr<OstrelLibrary::CMesh> handleMesh;
  std::shared_ptr<OstrelLibrary::CMesh> blueHitHandleMesh;  // the overlay while blue holds it
  float angle = 0.0f;                                       // 0 to -90 degrees
  D3DXMATRIX rotation;
  D3DXMATRIX pivotMatrix;  // the handle's hinge
  D3DXMATRIX handleMatrix;

  explicit CGameLiver(const D3DXMATRIX& placement);
  // "CGameLiver".
  const std::string& GetName() const override;
  // The click sound.
  ~CGameLiver() override;
  // The pull and the glow.
  void Update() override;
  // Foundation, handle, outlines, and the doubled blue overlay.
  void Draw() override;
  // Foundation and handle into the shadow map.
  void DrawShadow() override;

  // One degree of pull while blue magic holds a lever not yet on.
  void PullStep();
};
