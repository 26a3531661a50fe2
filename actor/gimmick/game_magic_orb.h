// CGameMagicOrb: a magic orb on the way. Touching it unlocks a magic in the player's
// magic state (blue on stage 1, red on every later stage, whatever the stage file
// says) and starts the orb message; it then flies into the player's chest, shrinking,
// and asks to be removed. The red orb bobs and stands in four scrolling light pillars.
#pragma once

#include "actor/actor_base.h"
#include "engine/graphics.h"
#include "engine/texture.h"

class CGameMagicOrb : public CActorBase {
public:
  D3DXMATRIX drawMatrix;  // where it is drawn; the pickup measures from here
  int kind = Blue;        // the magic it grants
  int taken = 0;
  int glowFalling = 0;
  float glow = 0.6f;
  float reflectPower = 0.55f;
  float outlineWidth = 0.01f;
  D3DXMATRIX bobMatrix;
  float bobPhase = 0.0f;
  float bobStep = 0.03f;
  float bobAmplitude = 0.01f;
  std::shared_ptr<OstrelLibrary::CTexture> beamTexture;  // red orb only
  OstrelLibrary::TexturedVertex beamQuad[4];
  D3DXMATRIX beamMatrix;
  float beamAngle = 0.0f;
  float beamScroll = 0.0f;
  float beamScrollStep = 0.06f;
  float beamHalfWidth = 0.15f;
  float beamHeight = 2.0f;

  // Placed by the stage file; the colour comes from the stage number.
  explicit CGameMagicOrb(const D3DXMATRIX& placement);
  // "CGameMagicOrb".
  const std::string& GetName() const override;
  ~CGameMagicOrb() override;
  // Beam, glow, pickup and flight, unless a menu holds the stage.
  void Update() override;
  // The glowing orb with its outline, and the red orb's pillars until it is taken.
  void Draw() override;
  // The orb at its drawn pose into the shadow map.
  void DrawShadow() override;

  // The red orb's pillars scroll and the orb bobs; a blue orb stays still.
  void AnimateBeam();
  // The glow between 0.5 and 3.0.
  void PulseGlow();
  // Unlocks the magic and starts the orb message once the player is near.
  void CheckPickup();
  // Flies towards the chest, 5 % smaller each frame, until removed.
  void FlyToPlayer();
};
