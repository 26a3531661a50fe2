// CPlayerFoot: one of the player's feet (0 left, 1 right). It swings with the walk and
// rests during the orb message and the goal; the left foot makes the step sounds,
// a splash near a drop-water point.
#pragma once

#include "actor/player/player_limb.h"

class CPlayerFoot : public CPlayerLimb {
public:
  std::unique_ptr<OstrelLibrary::CSound> footstepSound;  // left foot only
  std::unique_ptr<OstrelLibrary::CSound> puddleSound;    // left foot only
  float puddleRange = 1.75f;

  // Foot 0 is the left foot, 1 the right.
  explicit CPlayerFoot(int side);
  // "CPlayerFoot".
  const std::string& GetName() const override;
  // The two sounds.
  ~CPlayerFoot() override;
  // Walk swing with the step sound, the rest pose during events.
  void Update() override;
  // Toon and outline.
  void Draw() override;

private:
  // A step as the left foot comes back to rest on the ground: a splash near water,
  // a footstep otherwise.
  void PlayStepSound();
};
