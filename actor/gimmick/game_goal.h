// CGameGoal: the end of a stage. When the player comes within its radius it tells the
// game scene the goal is reached and plays the stage-clear jingle. It collides and is
// aimed at through a simple mesh and draws a richer one; on the last stage it is the
// final magic orb, glowing yellow.
#pragma once

#include "actor/actor_base.h"

class CGameGoal : public CActorBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> visibleMesh;
  std::unique_ptr<OstrelLibrary::CSound> clearSound;
  int isFinal = 0;
  float glow = 0.6f;
  float reflectPower = 0.55f;
  float outlineWidth = 0.01f;
  int glowFalling = 0;

  // Placed by the stage file; the look depends on the stage number.
  explicit CGameGoal(const D3DXMATRIX& placement);
  // "CGameGoal".
  const std::string& GetName() const override;
  // The jingle and the visible mesh.
  ~CGameGoal() override;
  // The goal test and, on the last stage, the glow pulse.
  void Update() override;
  // The stair with the soft ramp, or the final orb with glow and outline.
  void Draw() override;
  // Only the final orb casts a shadow.
  void DrawShadow() override;

  // Sets the scene's goal flag once the player is near enough.
  void CheckGoal();
  // The final orb's glow between 0.6 and 3.3.
  void PulseGlow();
};
