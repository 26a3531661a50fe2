// CPlayerWalkState: W, A, S and D as movement relative to the camera's heading, the
// push out of walls, the body turning towards the way it walks, and the walk cycle the
// arms and feet animate with. The goal state drives it to walk the player off.
#pragma once

#include "actor/player/state_base.h"
#include "d3dx9math.h"

class CPlayerWalkState : public CStateBase {
public:
  int moving = 0;
  D3DXVECTOR3 moveDirection{0.0f, 0.0f, 0.0f};  // world space, horizontal
  float walkCycle = 1.0f;                       // 0 to 1; 1 is the rest pose
  int cycleWrapped = 0;
  int wasMoving = 1;
  float walkSpeed = 0.1f;
  float goalWalkSpeed = 0.06f;
  float turnSpeed = 10.0f;
  float cycleStep = 0.095f;
  float cycleMax = 1.0f;

  // "CPlayerWalkState".
  const std::string& GetName() const override;
  ~CPlayerWalkState() override;
  // Read input, move, turn, advance the cycle.
  void Update() override;

private:
  // The held keys as a direction, unless an event or a cast holds the player.
  void ReadInput();
  // One step along the direction, after keeping clear of walls.
  void MoveStep();
  // The body turns towards the direction, 10 degrees a frame at most.
  void TurnStep();
  // The walk cycle: 11 frames a cycle while walking, back to rest after a stop.
  void AdvanceCycle();
};
