// CGameDoor: a portcullis-like door that starts raised. It rises while a switched-on
// button or lever stands within its switch range and sinks back when none does,
// pausing while anything with a mesh lies under it.
#pragma once

#include "actor/actor_base.h"

class CGameDoor : public CActorBase {
public:
  float openHeight = 7.0f;
  float openSpeed = 0.1f;
  D3DXMATRIX offset;                                     // the lift above the base
  D3DXMATRIX railMatrix;                                 // the switch search centre
  D3DXMATRIX baseMatrix;                                 // the closed pose
  std::unique_ptr<OstrelLibrary::CSound> trailingSound;  // looped while the door moves

  explicit CGameDoor(const D3DXMATRIX& placement);
  // "CGameDoor".
  const std::string& GetName() const override;
  // The trailing sound.
  ~CGameDoor() override;
  // Settling, travel, and silence during the opening flight.
  void Update() override;
  // Stone ramp, toon-draw, outline.
  void Draw() override;

  // One step up while a switch is on near, else one down unless something is below.
  void Travel();
  // True when any of five short downward rays from the door's foot meets a mesh.
  bool BlockedBelow() const;
};
