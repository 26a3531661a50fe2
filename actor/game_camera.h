// CGameCamera: the third-person camera of a stage. It flies the opening from the goal
// to the player, then orbits the player under mouse look (the cursor pinned to the
// window centre), swings back to its default heading after the goal, casts the aim ray
// through the screen centre, and hands the view and projection to the device and the
// effects. It draws nothing.
#pragma once

#include <memory>
#include <string>

#include "actor/actor_base.h"

class CGameCamera : public CActorBase {
public:
  D3DXVECTOR3 eye{0.0f, 5.0f, -15.0f};
  D3DXVECTOR3 lookAt{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
  D3DXVECTOR3 eyeOffset{0.0f, 2.5f, -5.0f};    // from the player, before rotation
  D3DXVECTOR3 lookAtOffset{0.0f, 2.5f, 0.0f};  // from the player
  float pitch = 0.0f;                          // degrees; positive looks down
  float yaw = 0.0f;
  float roll = 0.0f;
  D3DXMATRIX orientation;
  D3DXMATRIX yawMatrix;
  D3DXMATRIX view;
  D3DXMATRIX projection;
  float openingBlend = 0.0f;
  float openingSpeed = 0.003f;  // the flight lasts 334 frames
  D3DXQUATERNION openingStartRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXQUATERNION openingEndRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXQUATERNION openingRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXVECTOR3 openingStartPosition{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 openingEndPosition{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 openingPosition{0.0f, 0.0f, 0.0f};
  int openingPrepared = 0;
  std::weak_ptr<CActorBase> goal;
  int captureGoalView = 1;
  D3DXVECTOR3 goalViewPosition{0.0f, 0.0f, 0.0f};
  D3DXMATRIX goalViewMatrix;
  D3DXVECTOR3 aimPoint{0.0f, 0.0f, 0.0f};
  std::string aimedName;
  int yawLimitMode = 0;  // 0 none, 1 [start, start + range], 2 [start - range, start]
  float yawMin = 0.0f;
  float yawMax = 0.0f;
  float yawRange = 110.0f;

  CGameCamera();
  // "CGameCamera".
  const std::string& GetName() const override;
  ~CGameCamera() override;
  // The frame's steps in their fixed order.
  void Update() override;
  // The camera draws nothing.
  void Draw() override;
  // Nor casts a shadow.
  void DrawShadow() override;

  // The yaw alone as a rotation, rebuilt now: W/A/S/D turn with it.
  D3DXMATRIX& GetYawMatrix();

private:
  // Player and goal links.
  void RefreshLinks();
  // The flight from the goal to the player, ended by its fade or by Space.
  void FlyOpening();
  // Pitch and yaw run back to 0 during the orb message and after the goal.
  void ReturnToCentre();
  // A cast limits which way the camera may turn.
  void UpdateYawLimits();
  // The cursor's offset from its home turns the camera; the cursor goes home.
  void MouseLook();
  // Clamps pitch (and yaw to its limits) and builds the orientation.
  void ClampAndOrient();
  // Eye and look-at behind and above the player.
  void Follow();
  // Keeps looking at where the goal was reached.
  void GoalView();
  // The actor under the screen centre.
  void CastAimRay();
  // View and projection on the device and the effects.
  void ApplyMatrices();
};
