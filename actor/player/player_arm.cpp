// CPlayerArm: the walk swing, the orb and goal poses, the idle bob and drawing.
#include "actor/player/player_arm.h"

#include <cmath>

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_magic_state.h"
#include "actor/player/player_walk_state.h"
#include "effect/effect_magic_charge.h"
#include "effect/effect_magic_ray.h"
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

// The orb pose replaces everything else for the frame; otherwise swing, the cast over
// it, the hand glow, the goal pose, then the bob.
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

  const bool casting = Cast(owner->world);
  hitGlow = casting ? std::fmin(hitGlow + 0.03f, 1.75f) : std::fmax(hitGlow - 0.09f, 0.0f);
  if (scene->goalReached) {
    const std::shared_ptr<CPlayerGoalState> goal = LockGoalState();
    if (goal) GoalPose(goal->phase, owner->world);
  }
  const std::shared_ptr<CStateBase> state = magicState.lock();
  const CPlayerMagicState* magic = static_cast<const CPlayerMagicState*>(state.get());
  const bool anyCast = magic && (magic->blueCasting || magic->redCasting);
  IdleBob(walk && !walk->moving && !anyCast && !scene->goalReached);
}

// Toon with the hand glow (blue left, red right), then a black outline.
void CPlayerArm::Draw()
{
  if (player.expired() || !mesh) return;
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (shaders->toon.effect) {
    const D3DXVECTOR4 glow =
        partSide == 0 ? D3DXVECTOR4(0.0f, 0.0f, hitGlow, 1.0f) : D3DXVECTOR4(hitGlow, 0.0f, 0.0f, 1.0f);
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

// Letting go (or losing the camera) puts the arm back and releases its ray; a held
// button circles the arm about the shoulder for 41 frames, then aims and fires.
bool CPlayerArm::Cast(const D3DXMATRIX& playerWorld)
{
  const std::shared_ptr<CStateBase> state = magicState.lock();
  const CPlayerMagicState* magic = static_cast<const CPlayerMagicState*>(state.get());
  const bool casting = magic && (partSide == 0 ? magic->blueCasting : magic->redCasting);
  if (camera.expired() || !casting) {
    if (raised == 0 && windupCount == 0 && aimReset == 1) return false;
    raised = 0;
    windupCount = 0;
    aimReset = 1;
    const std::shared_ptr<CSceneGame> scene = currentScene.lock();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    if (scene) scene->FireMagicRay(0, Colour(), identity);
    SetCharge(0);
    return false;
  }
  if (raised == 0) {
    D3DXMATRIX circle;
    D3DXMatrixRotationX(&circle, static_cast<float>(windupCount) * windupStep * degreesToRadians);
    world = circle * shoulderOffset * playerWorld;
    SetCharge(1);
    windupCount += 1;
    if (windupCount > windupFrames) raised = 1;
  } else {
    SetCharge(0);
    AimAndFire(playerWorld);
  }
  return true;
}

// The first raised frame points at what the camera aims at; afterwards the arm follows
// its ray's head, so it tracks a held target. The arm stays at the shoulder.
void CPlayerArm::AimAndFire(const D3DXMATRIX& playerWorld)
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  const D3DXVECTOR3 outward(partSide == 0 ? 1.0f : -1.0f, 0.0f, 0.0f);
  D3DXVECTOR3 side;
  D3DXVec3TransformNormal(&side, &outward, &world);
  D3DXVec3Normalize(&side, &side);
  const D3DXVECTOR3 forward(0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 up;
  D3DXVec3Cross(&up, &forward, &side);
  D3DXVec3Normalize(&up, &up);

  D3DXVECTOR3 target(0.0f, 0.0f, 0.0f);
  if (aimReset) {
    const std::shared_ptr<CGameCamera> gameCamera = LockCamera();
    if (gameCamera) target = gameCamera->aimPoint;
    aimReset = 0;
  } else {
    for (const std::shared_ptr<CEffectBase>& effect : scene->effects) {
      if (effect->GetName() != "CEffectMagicRay" || effect->colour != Colour()) continue;
      const D3DXMATRIX& head = static_cast<const CEffectMagicRay&>(*effect).headMatrix;
      target = D3DXVECTOR3(head._41, head._42, head._43);
      break;
    }
  }
  const D3DXVECTOR3 from(world._41, world._42, world._43);
  D3DXMATRIX look;
  D3DXMatrixLookAtLH(&look, &from, &target, &up);
  if (!D3DXMatrixInverse(&aimMatrix, nullptr, &look)) D3DXMatrixIdentity(&aimMatrix);
  const D3DXMATRIX shoulder = shoulderOffset * playerWorld;
  aimMatrix._41 = shoulder._41;
  aimMatrix._42 = shoulder._42;
  aimMatrix._43 = shoulder._43;
  world = aimMatrix;
  scene->FireMagicRay(1, Colour(), world);
}

// The first charge of this arm's colour in the scene's effect list.
void CPlayerArm::SetCharge(int on)
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  for (const std::shared_ptr<CEffectBase>& effect : scene->effects) {
    if (effect->GetName() != "CEffectMagicCharge" || effect->colour != Colour()) continue;
    static_cast<CEffectMagicCharge&>(*effect).SetCharging(on, world);
    return;
  }
}

// Left blue (attraction), right red (repulsion).
int CPlayerArm::Colour() const
{
  return partSide == 0 ? Blue : Red;
}
