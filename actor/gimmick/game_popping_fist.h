// CGamePoppingFist: a trap in a wall. It glows red ever brighter as the player comes
// near, and when the player crosses its line (along z) it punches out along +x by
// 8.0, shoving the player and any metal block in its reach, then slowly retracts.
#pragma once

#include "actor/actor_base.h"

class CGamePoppingFist : public CActorBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> visibleMesh;  // drawn; mesh is the collision shape
  D3DXMATRIX baseMatrix;                              // the retracted pose
  D3DXMATRIX offset;                                  // only x changes, 0 to 8.0
  int startDelay = 180;                               // frames before the fist is live
  int popping = 0;
  int armed = 1;
  float triggerDistance = 2.0f;
  float popSpeed = 0.5f;
  int glowActive = 1;
  float glow = 0.0f;
  float glowTarget = 0.0f;
  float glowStep = 0.01f;
  float nearDistance = 13.5f;
  float midDistance = 18.0f;
  float farDistance = 21.0f;
  float nearGlow = 1.0f;
  float midGlow = 0.65f;
  float farGlow = 0.4f;
  std::unique_ptr<OstrelLibrary::CSound> popSound;

  explicit CGamePoppingFist(const D3DXMATRIX& placement);
  // "CGamePoppingFist".
  const std::string& GetName() const override;
  // The pop sound and the visible mesh.
  ~CGamePoppingFist() override;
  // The punch and the warning glow.
  void Update() override;
  // The fist with its red glow, no outline.
  void Draw() override;

  // Waits, fires when the player crosses its line, punches out, retracts.
  void Punch();
  // Shoves the player and metal blocks within 4.0 along +x.
  void PushActors();
  // The glow follows the player's distance in three bands; it fades while punching.
  void WarningGlow();
};
