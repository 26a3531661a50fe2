// CGameRotationDoor: a heavy door turning about its vertical middle. One magic alone
// only twitches it open by up to 10 degrees and lets it fall back; red and blue held
// on it together swing it open to 90 degrees, where it stays.
#pragma once

#include "actor/actor_base.h"

class CGameRotationDoor : public CActorBase {
public:
  float turnSpeed = 1.0f;  // degrees a frame
  float angle = 0.0f;      // 0 closed to -90 open
  D3DXMATRIX rotation;
  D3DXMATRIX baseMatrix;                                // the closed pose; world = rotation * baseMatrix
  std::shared_ptr<OstrelLibrary::CMesh> doubleHitMesh;  // the overlay while both hold it
  float reflectPower = 0.075f;
  std::unique_ptr<OstrelLibrary::CSound> trailingSound;  // looped while it swings

  explicit CGameRotationDoor(const D3DXMATRIX& placement);
  // "CGameRotationDoor".
  const std::string& GetName() const override;
  // The trailing sound and the double overlay.
  ~CGameRotationDoor() override;
  // Settling, the twitch, the swing, the glow.
  void Update() override;
  // The door, its outline and the overlay of the colour held.
  void Draw() override;

  // One colour opens the door a degree, to 10 at most; none lets it fall back to 0.
  void Twitch();
  // Both colours swing it open a degree a frame, to 90.
  void SwingOpen();
};
