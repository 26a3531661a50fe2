// CGamePlayer: the player character. It has no mesh of its own: five body parts draw
// it. Its behaviour lives in states that all run every frame (walk, magic, goal,
// orb pickup). The core
// combines the position and the body rotation into the world matrix, applies gravity
// and landing, and publishes itself and the camera in the process-wide links.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "actor/actor_base.h"
#include "actor/player/state_base.h"

class CGameCamera;
class CPlayerWalkState;
class CPlayerGoalState;
class CPlayerMagicState;

class CGamePlayer : public CActorBase {
public:
  // Written on the player's first update; the states, parts and effects lock them.
  static std::weak_ptr<CGamePlayer> playerLink;
  static std::weak_ptr<CActorBase> cameraLink;

  D3DXMATRIX position;      // a pure translation: where the player stands
  D3DXMATRIX bodyRotation;  // yaw, pitch and roll of angles, rebuilt every frame
  D3DXVECTOR3 angles;       // pitch (x), yaw (y), roll (z) of the body, degrees
  int needsInit = 1;
  float footprint = 0.3f;  // half side of the square of ground rays
  float dustScale = 0.75f;
  float dustDrop = 0.12f;
  float shadowPower = 0.35f;
  std::vector<std::shared_ptr<CStateBase>> states;
  std::vector<std::shared_ptr<CActorBase>> bodyParts;  // upper body, arm 0, arm 1, foot 0, foot 1

  // The five body parts, the landing sound; standing at the origin.
  CGamePlayer();
  // "CGamePlayer".
  const std::string& GetName() const override;
  // The body parts, then the states.
  ~CGamePlayer() override;
  // Set-up on the first frame, world matrix, states, body parts, gravity, landing.
  void Update() override;
  // The body parts with the lighter shadow term.
  void Draw() override;
  // The body parts into the shadow map.
  void DrawShadow() override;
  // Carriers move the position, not the world; the world follows next frame.
  void Move(float dx, float dy, float dz) override;

  // The first state with that name, or an empty link.
  std::weak_ptr<CStateBase> GetWalkState() const;
  std::weak_ptr<CStateBase> GetMagicState() const;
  std::weak_ptr<CStateBase> GetGoalState() const;
  // The point the camera follows: the launch offset times the position.
  D3DXMATRIX& GetFollowMatrix();

  // True while red magic throws the player (no gravity, no push out of blocks).
  bool IsLaunching() const;

private:
  // The links, the states, the body parts' state links.
  void SetUpOnce();
  // The first state of the given name.
  std::weak_ptr<CStateBase> FindState(const std::string& name) const;
};

// The player through the process-wide link, or null.
std::shared_ptr<CGamePlayer> LockPlayer();
// The player's walk state through the process-wide link, or null.
std::shared_ptr<CPlayerWalkState> LockWalkState();
// The player's magic state through the process-wide link, or null.
std::shared_ptr<CPlayerMagicState> LockMagicState();
// The player's goal state through the process-wide link, or null.
std::shared_ptr<CPlayerGoalState> LockGoalState();
// The camera through the process-wide link, or null.
std::shared_ptr<CGameCamera> LockCamera();
// The forward direction (0, 0, 1) turned by the player's body.
D3DXVECTOR3 BodyForward(const CGamePlayer& player);
