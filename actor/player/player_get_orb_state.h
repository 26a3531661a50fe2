// CPlayerGetOrbState: while the message of a collected magic orb is up, the player
// stops and turns to face the viewer (the camera swings back to its default heading
// meanwhile, so the viewer is at -z).
#pragma once

#include "actor/player/state_base.h"

class CPlayerGetOrbState : public CStateBase {
public:
  // "CPlayerGetOrbState".
  const std::string& GetName() const override;
  ~CPlayerGetOrbState() override;
  // Stops the walk and turns towards (0, 0, -1), 5 degrees a frame at most.
  void Update() override;
};
