// CPlayerLimb: what the arms and the feet share, the walk swing: three key poses
// blended by the walk cycle, in the sequence rest -> forward/back -> rest -> the
// other -> rest.
#pragma once

#include "actor/actor_base.h"

class CPlayerWalkState;

class CPlayerLimb : public CActorBase {
public:
  int nextPose = 0;
  int currentPose = 0;
  int previousPose = 0;
  D3DXMATRIX poses[3];
  D3DXQUATERNION fromRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXQUATERNION toRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXQUATERNION currentRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXVECTOR3 fromPosition{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 toPosition{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 currentPosition{0.0f, 0.0f, 0.0f};
  int wasWalking = 1;

protected:
  // The pose a limb leaves rest for when it has not swung yet: 1 forward, 2 back.
  int firstSwing = 1;

  // The walk state this part was given, or null.
  std::shared_ptr<CPlayerWalkState> LockWalk() const;
  // world = the pose between the current and the next key pose at the walk cycle.
  void BlendPoses(float cycle);
  // Heads back to rest after a stop and moves on when the cycle wraps.
  void AdvancePoses(int moving, int cycleWrapped);
};
