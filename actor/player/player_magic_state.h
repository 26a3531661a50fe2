// CPlayerMagicState: the player's second state. It reads the two mouse buttons (left
// blue, right red), keeps the casting flags the arms, the camera and the walk read,
// leans and turns the body for a cast, releases the rays, and carries the player up
// when a repelled block or lift under it launches it.
#pragma once

#include "actor/player/magic_buttons.h"
#include "actor/player/state_base.h"
#include "d3dx9math.h"

class CPlayerMagicState : public CStateBase {
public:
  int blueUnlocked;  // from stage 2, or by the blue orb
  int redUnlocked;   // from stage 3, or by the red orb
  int blueCasting = 0;
  int redCasting = 0;
  int turnPending = 1;  // the body still has to face the camera for a red cast
  int tiltPhase = 0;    // 0 none, 1 lean for blue, 4 back from it, 3 lean for red, 2 back
  D3DXMATRIX launchMatrix;
  D3DXVECTOR3 launchDirection{0.0f, 0.0f, 0.0f};  // gimmicks write (0, 1, 0) to launch
  D3DXVECTOR3 launchRest{0.0f, 0.0f, 0.0f};       // no launch; never changed
  float launchSpeed = 0.0f;
  float launchAccelSign = 1.0f;
  float launchAccel = 0.002f;
  float launchMaxSpeed = 0.1475f;
  float launchMaxHeight = 11.0f;
  float launchMinSpeed = 0.0125f;
  int hovering = 0;
  D3DXMATRIX hoverMatrix;
  float hoverPhase = 0.0f;
  float hoverPhaseStep = -0.06f;
  float hoverAmplitude = 0.01f;
  float launchNoHit = -1.0f;

  // The unlocks follow the stage number the application holds.
  CPlayerMagicState();
  // "CPlayerMagicState".
  const std::string& GetName() const override;
  ~CPlayerMagicState() override;
  // Lean, start casting and turn, release, launch.
  void Update() override;

  // True while the launch direction is away from rest.
  bool IsLaunching() const;

private:
  // The body leans back towards the casting hand and straightens again.
  void Lean();
  // A held button starts its colour; the body turns to the camera's heading.
  void StartAndTurn();
  // A released button, or a scene event, releases the colour's ray.
  void Release();
  // Rises, slows and hovers; the offset becomes the player's own once it ends.
  void Launch();
  // True when something lies within the player's radius along the launch.
  bool LaunchBlocked() const;

  CMagicButtons buttons;  // the colours asked for, held or toggled
};
