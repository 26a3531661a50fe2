// CGameCannon: a cannon that magic turns on the spot (blue towards the player, red
// away) and a switch fires: each time a switch near it comes on it fires one shell,
// which flies straight on, 45 degrees upwards along the cannon's facing, and bursts
// against the first actor in its way. A crack wall hit by a shell breaks.
#pragma once

#include "actor/actor_base.h"

class CGameCannon : public CActorBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> visibleMesh;  // what is drawn; mesh is the collision shape
  D3DXMATRIX baseMatrix;                              // the unturned pose
  D3DXMATRIX rotation;
  float yaw = 0.0f;  // degrees
  float turnStep = 1.0f;
  float turnDeadZone = 0.5f;
  float reflectPower = 0.1f;
  int shellActive = 0;
  int fireRequest = 0;
  int switchLatch = 0;  // the switch was seen on and its shot was made
  std::string hitName;  // what the shell hit this frame
  std::shared_ptr<OstrelLibrary::CMesh> shellMesh;
  D3DXMATRIX shellMatrix;
  D3DXVECTOR3 shellVelocity;  // per frame, in the shell's own frame
  float shellSpeed = 0.3f;
  float shellProbe = 0.5f;
  int flightFrames = 0;
  std::unique_ptr<OstrelLibrary::CSound> shotSound;
  std::unique_ptr<OstrelLibrary::CSound> blastSound;

  explicit CGameCannon(const D3DXMATRIX& placement);
  // "CGameCannon".
  const std::string& GetName() const override;
  // The two sounds and the two meshes of its own.
  ~CGameCannon() override;
  // Settling, aiming, the trigger, the shell, the glow.
  void Update() override;
  // Cannon, shell in flight, and the overlay.
  void Draw() override;
  // Cannon and shell in flight into the shadow map.
  void DrawShadow() override;

  // The class name of what the shell burst against this frame, else empty.
  std::string GetHitName() const;
  // While magic holds the cannon, a degree a frame towards or away from the player.
  void Aim();
  // One shot for each time a switch comes on near the cannon.
  void Trigger();
  // The shell's frame of flight and its burst.
  void FlyShell();
};
