// CPlayerLimb: the swing between key poses and the pose sequence.
#include "actor/player/player_limb.h"

#include "actor/player/player_walk_state.h"

// The link holds the base type; the player gives every part its walk state.
std::shared_ptr<CPlayerWalkState> CPlayerLimb::LockWalk() const
{
  const std::shared_ptr<CStateBase> state = walkState.lock();
  if (!state || state->GetName() != "CPlayerWalkState") return nullptr;
  return std::static_pointer_cast<CPlayerWalkState>(state);
}

// Rotation by slerp, position along a straight line.
void CPlayerLimb::BlendPoses(float cycle)
{
  const D3DXMATRIX& from = poses[currentPose];
  const D3DXMATRIX& to = poses[nextPose];
  D3DXQuaternionRotationMatrix(&fromRotation, &from);
  D3DXQuaternionRotationMatrix(&toRotation, &to);
  D3DXQuaternionSlerp(&currentRotation, &fromRotation, &toRotation, cycle);
  D3DXMatrixRotationQuaternion(&world, &currentRotation);
  fromPosition = D3DXVECTOR3(from._41, from._42, from._43);
  toPosition = D3DXVECTOR3(to._41, to._42, to._43);
  currentPosition = fromPosition + (toPosition - fromPosition) * cycle;
  world._41 = currentPosition.x;
  world._42 = currentPosition.y;
  world._43 = currentPosition.z;
}

// From rest a limb swings to the other side than last time; from a swing it rests.
void CPlayerLimb::AdvancePoses(int moving, int cycleWrapped)
{
  if (moving) {
    wasWalking = 1;
  } else if (wasWalking && nextPose != 0) {
    previousPose = currentPose;
    currentPose = nextPose;
    nextPose = 0;
    wasWalking = 0;
  }
  if (!cycleWrapped) return;
  previousPose = currentPose;
  currentPose = nextPose;
  if (currentPose != 0) {
    nextPose = 0;
  } else if (previousPose == 1) {
    nextPose = 2;
  } else if (previousPose == 2) {
    nextPose = 1;
  } else {
    nextPose = firstSwing;
  }
}
