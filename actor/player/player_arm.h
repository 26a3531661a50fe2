// CPlayerArm: one of the player's arms (0 left, 1 right). It swings with the walk,
// bobs while the player stands idle, rises and spreads during the orb message and the
// goal hops, and casts: it winds up with the charge at the hand, then points at the
// target and fires the magic ray of its colour (left blue, right red).
#pragma once

#include "actor/player/player_limb.h"

class CPlayerArm : public CPlayerLimb {
public:
  D3DXMATRIX shoulderOffset;  // shoulder in the player's frame
  float restAngle = 90.0f;    // x rotation of the hanging arm
  D3DXMATRIX aimMatrix;
  int aimReset = 1;
  float windupStep = 17.0f;
  int windupFrames = 40;
  float orbPitch = 90.0f;
  float orbYaw = 0.0f;
  float goalPitch = 90.0f;
  float goalYaw = 0.0f;
  float pitchStep = 10.0f;
  float yawStep = 2.0f;
  float minPitch = -90.0f;
  float minYaw = -20.0f;
  float maxYaw = 20.0f;
  D3DXMATRIX bobMatrix;
  float bobPhase = 0.0f;
  float bobPhaseStep = 0.03f;
  float bobAmplitude = 0.012f;
  int raised = 0;
  int windupCount = 0;

  // Arm 0 is the left arm, 1 the right.
  explicit CPlayerArm(int side);
  // "CPlayerArm".
  const std::string& GetName() const override;
  ~CPlayerArm() override;
  // Orb pose, or walk swing, casting, hand glow, goal pose and idle bob.
  void Update() override;
  // Toon and outline, with the hand glow in the arm's magic colour.
  void Draw() override;

private:
  // Both arms up and spread while the orb message runs.
  void OrbPose(const D3DXMATRIX& playerWorld);
  // Up and spread during the hops, back down while turning away.
  void GoalPose(int goalPhase, const D3DXMATRIX& playerWorld);
  // The small up-and-down of an idle arm.
  void IdleBob(bool idle);
  // Release, wind-up, or aim and fire; true while this arm's colour is cast.
  bool Cast(const D3DXMATRIX& playerWorld);
  // Aims the raised arm at the target and fires the ray from the hand.
  void AimAndFire(const D3DXMATRIX& playerWorld);
  // Switches this colour's charge effect at the hand.
  void SetCharge(int on);
  // The magic colour of this arm: 2 blue for the left, 1 red for the right.
  int Colour() const;
};
