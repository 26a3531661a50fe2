// CGameCamera: the frame (links, opening, return to centre, yaw limits, mouse look,
// clamp, follow, goal view, aim ray, matrices) and the yaw matrix.
#include "actor/game_camera.h"

#include <algorithm>
#include <cmath>

#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/application.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {

const std::string gameCameraName = "CGameCamera";
const float degreesToRadians = 0.017453292f;
const float noAim = 999.0f;

// The translation row of a matrix.
D3DXVECTOR3 PositionOf(const D3DXMATRIX& matrix)
{
  return D3DXVECTOR3(matrix._41, matrix._42, matrix._43);
}

// A point through a matrix.
D3DXVECTOR3 Transform(const D3DXVECTOR3& point, const D3DXMATRIX& matrix)
{
  D3DXVECTOR3 result;
  D3DXVec3TransformCoord(&result, &point, &matrix);
  return result;
}

// The player as the camera's link holds it, or null.
std::shared_ptr<CGamePlayer> LinkedPlayer(const std::weak_ptr<CActorBase>& link)
{
  const std::shared_ptr<CActorBase> actor = link.lock();
  if (!actor || actor->GetName() != "CGamePlayer") return nullptr;
  return std::static_pointer_cast<CGamePlayer>(actor);
}

}  // namespace

// Identity matrices; the members carry their own defaults.
CGameCamera::CGameCamera()
{
  D3DXMatrixIdentity(&orientation);
  D3DXMatrixIdentity(&yawMatrix);
  D3DXMatrixIdentity(&view);
  D3DXMatrixIdentity(&projection);
  D3DXMatrixIdentity(&goalViewMatrix);
}

// "CGameCamera".
const std::string& CGameCamera::GetName() const
{
  return gameCameraName;
}

// The goal link goes with the base's links.
CGameCamera::~CGameCamera()
{
  goal.reset();
}

// Held still while a menu is open; otherwise every step in its fixed order.
void CGameCamera::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || scene->paused || scene->escapeOpen) return;
  RefreshLinks();
  if (scene->cameraEvent) FlyOpening();
  if (scene->goalReached || scene->orbObtained) ReturnToCentre();
  if (!scene->cameraEvent) UpdateYawLimits();
  if (!scene->cameraEvent && !scene->goalReached && !scene->orbObtained) MouseLook();
  if (!scene->cameraEvent) ClampAndOrient();
  if (!scene->cameraEvent && !scene->goalReached) Follow();
  if (scene->goalReached) GoalView();
  CastAimRay();
  ApplyMatrices();
}

// Nothing to draw.
void CGameCamera::Draw()
{
}

// No shadow.
void CGameCamera::DrawShadow()
{
}

// Rebuilt from the yaw on every request.
D3DXMATRIX& CGameCamera::GetYawMatrix()
{
  D3DXMatrixRotationY(&yawMatrix, yaw * degreesToRadians);
  return yawMatrix;
}

// With several goals the last one in the list wins.
void CGameCamera::RefreshLinks()
{
  if (player.expired()) RefreshPlayerLink();
  if (!goal.expired()) return;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    if (actor->GetName() == "CGameGoal") goal = actor;
  }
}

// The flight needs both ends. At its end the screen fades to black, and once black the
// opening is over and the stage fades in; Space jumps straight to black.
void CGameCamera::FlyOpening()
{
  const std::shared_ptr<CGamePlayer> owner = LinkedPlayer(player);
  const std::shared_ptr<CActorBase> goalActor = goal.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!owner || !goalActor || !scene) return;
  CApplication* application = CApplication::GetInstance();

  if (!openingPrepared) {
    const D3DXVECTOR3 target =
        Transform(D3DXVECTOR3(0.0f, 4.5f, -3.5f), orientation) + PositionOf(owner->GetFollowMatrix());
    D3DXQuaternionRotationMatrix(&openingStartRotation, &goalActor->world);
    D3DXQuaternionIdentity(&openingEndRotation);
    openingStartPosition = PositionOf(goalActor->world);
    openingEndPosition = target;
    openingPrepared = 1;
  }
  if (application->input.spacePressed) {
    application->fadeAlpha = 255;
    openingBlend = 1.0f;
  }
  openingBlend += openingSpeed;
  if (openingBlend > 1.0f) {
    openingBlend = 1.0f;
    if (application->fadeAlpha == 0) application->fadeOut = 1;
    if (application->fadeAlpha == 255) {
      application->fadeOut = 0;
      scene->cameraEvent = 0;
    }
  }
  D3DXQuaternionSlerp(&openingRotation, &openingStartRotation, &openingEndRotation, openingBlend);
  D3DXMatrixRotationQuaternion(&world, &openingRotation);
  D3DXVec3Lerp(&openingPosition, &openingStartPosition, &openingEndPosition, openingBlend);
  world._41 = openingPosition.x;
  world._42 = openingPosition.y;
  world._43 = openingPosition.z;
  lookAt = Transform(D3DXVECTOR3(0.0f, 0.0f, 4.0f), world);
  eye = Transform(D3DXVECTOR3(0.0f, 2.0f, -4.5f), world);
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
}

// 5 degrees a frame towards the nearest multiple of 360, then snapped to 0.
void CGameCamera::ReturnToCentre()
{
  if (std::fabs(pitch) <= 5.0f) {
    pitch = 0.0f;
  } else {
    pitch += pitch > 0.0f ? -5.0f : 5.0f;
  }
  if (yaw == 0.0f) return;
  const bool evenHalfTurns = static_cast<int>(yaw / 180.0f) % 2 == 0;
  if (yaw > 0.0f) {
    yaw += evenHalfTurns ? -5.0f : 5.0f;
  } else {
    yaw += evenHalfTurns ? 5.0f : -5.0f;
  }
  for (int i = 0; i <= 4; ++i) {
    const float rest = std::fmod(yaw - static_cast<float>(i), 360.0f);
    if (rest >= -0.00001f && rest <= 0.00001f) {
      yaw = 0.0f;
      return;
    }
  }
}

// Blue opens 110 degrees towards larger yaw, red towards smaller, both freeze it. The
// casting flags come from the magic state; without one nothing is cast.
void CGameCamera::UpdateYawLimits()
{
  const std::shared_ptr<CGamePlayer> owner = LinkedPlayer(player);
  if (!owner) return;
  const std::shared_ptr<CStateBase> state = owner->GetMagicState().lock();
  const CPlayerMagicState* magic = static_cast<const CPlayerMagicState*>(state.get());
  const bool blueCasting = magic && magic->blueCasting;
  const bool redCasting = magic && magic->redCasting;
  if (blueCasting && redCasting) {
    yawMin = yaw;
    yawMax = yaw;
  } else if (redCasting) {
    if (yawLimitMode != 2) {
      yawLimitMode = 2;
      yawMax = yaw;
      yawMin = yaw - yawRange;
    }
  } else if (blueCasting) {
    if (yawLimitMode != 1) {
      yawLimitMode = 1;
      yawMin = yaw;
      yawMax = yaw + yawRange;
    }
  } else {
    yawLimitMode = 0;
  }
}

// Six pixels make a degree (integer division); five or fewer are thrown away with the
// recentring, so a trembling hand does not turn the view.
void CGameCamera::MouseLook()
{
  CApplication* application = CApplication::GetInstance();
  POINT cursor = {};
  GetCursorPos(&cursor);
  const int dx = static_cast<int>(cursor.x - application->cursorHome.x);
  const int dy = static_cast<int>(cursor.y - application->cursorHome.y);
  if (dx > 5 || dx < -5) yaw += static_cast<float>(dx / 6);
  if (dy > 5 || dy < -5) pitch += static_cast<float>(dy / 6);
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
}

// Pitch stays between looking almost straight up and 45 degrees down.
void CGameCamera::ClampAndOrient()
{
  pitch = std::clamp(pitch, -89.0f, 45.0f);
  if (yawLimitMode != 0) yaw = std::clamp(yaw, yawMin, yawMax);
  D3DXMatrixRotationYawPitchRoll(&orientation, yaw * degreesToRadians, pitch * degreesToRadians,
                                 roll * degreesToRadians);
}

// Behind and above the point the player's follow matrix gives.
void CGameCamera::Follow()
{
  const std::shared_ptr<CGamePlayer> owner = LinkedPlayer(player);
  if (!owner) return;
  const D3DXMATRIX& follow = owner->GetFollowMatrix();
  lookAt = Transform(lookAtOffset, follow);
  eye = Transform(eyeOffset, orientation) + PositionOf(follow);
}

// The spot is captured once; the player then hops and walks off in front of it.
void CGameCamera::GoalView()
{
  const std::shared_ptr<CGamePlayer> owner = LinkedPlayer(player);
  if (captureGoalView && owner) {
    goalViewMatrix = owner->GetFollowMatrix();
    goalViewPosition = PositionOf(goalViewMatrix);
    captureGoalView = 0;
  }
  lookAt = Transform(lookAtOffset, goalViewMatrix);
  eye = Transform(eyeOffset, orientation) + goalViewPosition;
}

// Every actor with a mesh counts, whatever the other ray tests ignore. A miss keeps
// the last aim point.
void CGameCamera::CastAimRay()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  D3DXVECTOR3 direction = lookAt - eye;
  D3DXVec3Normalize(&direction, &direction);
  float best = noAim;
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    float distance = 0.0f;
    if (!actor->IntersectWorldRay(lookAt, direction, &distance, nullptr) || distance > best) continue;
    aimDirection = direction;
    actor->aimDirection = direction;
    aimPoint = lookAt + direction * distance;
    aimedName = actor->GetName();
    best = distance;
  }
  if (best == noAim) aimedName = "";
}

// 60 degrees of view, near 1, far 1500; the effects get the same matrices.
void CGameCamera::ApplyMatrices()
{
  D3DXMatrixLookAtLH(&view, &eye, &lookAt, &up);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const float width = static_cast<float>(graphics->presentParameters.BackBufferWidth);
  const float height = static_cast<float>(graphics->presentParameters.BackBufferHeight);
  const float aspect = height > 0.0f ? width / height : 16.0f / 9.0f;
  D3DXMatrixPerspectiveFovLH(&projection, 1.04719758f, aspect, 1.0f, 1500.0f);
  if (graphics->device) {
    graphics->device->SetTransform(D3DTS_VIEW, &view);
    graphics->device->SetTransform(D3DTS_PROJECTION, &projection);
  }

  CShaderManager* shaders = CShaderManager::GetInstance();
  D3DXVECTOR3 lookVector = lookAt - eye;
  D3DXVec3Normalize(&lookVector, &lookVector);
  if (shaders->toon.effect) {
    shaders->toon.effect->SetValue("g_camera_pos", &eye, sizeof(eye));
    shaders->toon.effect->SetValue("g_camera_look_vec", &lookVector, sizeof(lookVector));
  }
  ID3DXEffect* const viewers[] = {shaders->toon.effect, shaders->outline.effect, shaders->puddle.effect};
  for (ID3DXEffect* effect : viewers) {
    if (!effect) continue;
    effect->SetMatrix("g_view_mat", &view);
    effect->SetMatrix("g_projection_mat", &projection);
  }
}
