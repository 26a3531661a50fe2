// CPlayerArm: the walk swing, the orb and goal poses, the idle bob and drawing.
#include "actor/player/player_arm.h"

#include <cmath>

#include "actor/player/game_player.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_walk_state.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string playerArmName = "CPlayerArm";
const float degreesToRadians = 0.017453292f;

// Rotation about x by degrees, then the shoulder offset.
D3DXMATRIX SwungPose(float degrees, const D3DXMATRIX& shoulder)
{
  D3DXMATRIX rotation;
  D3DXMatrixRotationX(&rotation, degrees * degreesToRadians);
  return rotation * shoulder;
}
}  // namespace

// Hanging, swung forward by 65 degrees, swung back by 65 degrees.
CPlayerArm::CPlayerArm(int side)
{
  partSide = side;
  firstSwing = side == 0 ? 2 : 1;
  D3DXMatrixTranslation(&shoulderOffset, side == 0 ? -0.35f : 0.35f, 0.8f, 0.0f);
  D3DXMatrixIdentity(&aimMatrix);
  D3DXMatrixIdentity(&bobMatrix);
  poses[0] = SwungPose(restAngle, shoulderOffset);
  poses[1] = SwungPose(restAngle - 65.0f, shoulderOffset);
  poses[2] = SwungPose(restAngle + 65.0f, shoulderOffset);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  mesh = graphics->GetMesh(graphics->device, "res/game/player/player_arm.x");
}

// "CPlayerArm".
const std::string& CPlayerArm::GetName() const
{
  return playerArmName;
}

// The base releases the mesh and the links.
CPlayerArm::~CPlayerArm() = default;

// The orb pose replaces everything else for the frame; otherwise swing, then the goal
// pose over it, then the bob.
void CPlayerArm::Update()
{
  RefreshPlayerLink();
  RefreshCameraLink();
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  const std::shared_ptr<CPlayerWalkState> walk = LockWalk();
  if (!owner || !scene) return;

  if (scene->orbObtained) {
    OrbPose(owner->world);
    return;
  }
  if (walk) {
    BlendPoses(walk->walkCycle);
    AdvancePoses(walk->moving, walk->cycleWrapped);
  }
  world = world * owner->world;

  if (scene->goalReached) {
    const std::shared_ptr<CPlayerGoalState> goal = LockGoalState();
    if (goal) GoalPose(goal->phase, owner->world);
  }
  IdleBob(walk && !walk->moving && !scene->goalReached);
}

// Toon with the hand glow (blue left, red right), then a black outline.
void CPlayerArm::Draw()
{
  if (player.expired() || !mesh) return;
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (shaders->toon.effect) {
    const D3DXVECTOR4 glow = partSide == 0 ? D3DXVECTOR4(0.0f, 0.0f, hitGlow, 1.0f) : D3DXVECTOR4(hitGlow, 0.0f, 0.0f, 1.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &glow);
    shaders->toon.effect->SetMatrix("g_world_mat", &world);
    shaders->toon.DrawMesh(*mesh, 0.0f, 0.0f);
    const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &none);
  }
  if (shaders->outline.effect) {
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    shaders->outline.effect->SetMatrix("g_world_mat", &world);
    shaders->outline.DrawMesh(*mesh, 0.025f, &black);
  }
}

// The angles are not reset afterwards: a second orb finds the arms already up.
void CPlayerArm::OrbPose(const D3DXMATRIX& playerWorld)
{
  orbPitch = std::fmax(orbPitch - pitchStep, minPitch);
  if (partSide == 0) {
    orbYaw = std::fmax(orbYaw - yawStep, minYaw);
  } else {
    orbYaw = std::fmin(orbYaw + yawStep, maxYaw);
  }
  D3DXMATRIX yawRotation, pitchRotation;
  D3DXMatrixRotationY(&yawRotation, orbYaw * degreesToRadians);
  D3DXMatrixRotationX(&pitchRotation, orbPitch * degreesToRadians);
  world = yawRotation * pitchRotation * shoulderOffset * playerWorld;
}

// Phase 3 keeps the walk swing; the other phases hold the goal pose.
void CPlayerArm::GoalPose(int goalPhase, const D3DXMATRIX& playerWorld)
{
  if (goalPhase == 3) return;
  if (goalPhase == 1) {
    goalPitch = std::fmax(goalPitch - pitchStep, minPitch);
    if (partSide == 0) {
      goalYaw = std::fmax(goalYaw - yawStep, minYaw);
    } else {
      goalYaw = std::fmin(goalYaw + yawStep, maxYaw);
    }
  } else if (goalPhase == 2) {
    goalPitch = std::fmin(goalPitch + pitchStep, restAngle);
    if (std::fabs(goalYaw) <= yawStep) {
      goalYaw = 0.0f;
    } else {
      goalYaw += goalYaw > 0.0f ? -yawStep : yawStep;
    }
  }
  D3DXMATRIX yawRotation, pitchRotation;
  D3DXMatrixRotationY(&yawRotation, goalYaw * degreesToRadians);
  D3DXMatrixRotationX(&pitchRotation, goalPitch * degreesToRadians);
  world = yawRotation * pitchRotation * shoulderOffset * playerWorld;
}

// Only a standing arm with nothing else to do bobs; anything else resets the phase.
void CPlayerArm::IdleBob(bool idle)
{
  if (!idle) {
    bobMatrix._42 = 0.0f;
    bobPhase = 0.0f;
    return;
  }
  bobMatrix._42 = std::sin(bobPhase) * bobAmplitude;
  bobPhase += bobPhaseStep;
  world = bobMatrix * world;
}
