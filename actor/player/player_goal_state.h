// CPlayerGoalState: the stage-clear sequence after the goal is reached: turn to the
// viewer, three hops with the jump sound, turn away, ask for the next stage (or, after
// the last stage, the ending) and walk off while the screen fades.
#pragma once

#include "actor/player/state_base.h"
#include "d3dx9math.h"
#include "engine/sound.h"

class CPlayerGoalState : public CStateBase {
public:
  int phase = 0;  // 0 turn to viewer, 1 hop, 2 turn away (or wait for the ending), 3 walk off
  float hopSpeed = 0.2f;
  float hopVelocity = 0.2f;
  D3DXMATRIX hopMatrix;
  int hopCount = 0;
  D3DXVECTOR3 exitDirection{-0.2f, 0.0f, 1.0f};
  int endingRequested = 0;
  int endingDelay = 0;
  OstrelLibrary::CSound jumpSound;
  OstrelLibrary::CSound exitSound;

  // Loads the jump and the walk-off sounds.
  CPlayerGoalState();
  // "CPlayerGoalState".
  const std::string& GetName() const override;
  ~CPlayerGoalState() override;
  // One phase step per frame while the scene's goal flag is set.
  void Update() override;

private:
  // Turns towards the viewer; hops when facing it.
  void TurnToViewer();
  // One frame of a hop; the world matrix is replaced so the parts follow.
  void Hop();
  // Turns away and asks for the next stage, or waits and asks for the ending.
  void Finish();
  // Keeps the walk state walking along the exit direction.
  void WalkOff();
};
