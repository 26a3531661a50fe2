// Actor collision: every query is a ray cast against the meshes of the game scene's
// actors, the map included, walked in list order with no broad phase.
#include <cmath>

#include "actor/actor_base.h"
#include "scene/scene_game.h"

namespace {

const std::string torchName = "CGameTorch";
const std::string playerName = "CGamePlayer";

// The translation row of a matrix.
D3DXVECTOR3 PositionOf(const D3DXMATRIX& matrix)
{
  return D3DXVECTOR3(matrix._41, matrix._42, matrix._43);
}

// The scene's live actors, or none when the scene is gone.
const std::vector<std::shared_ptr<CActorBase>>* SceneActors(std::shared_ptr<CSceneGame>& scene)
{
  scene = CActorBase::currentScene.lock();
  return scene ? &scene->actors : nullptr;
}

}  // namespace

// Torches, orbs and the camera let ground and blocking rays through.
bool CActorBase::IsRayIgnoredClass(const std::string& name)
{
  return name == "CGameTorch" || name == "CGameMagicOrb" || name == "CGameCamera";
}

// The ray is taken into the mesh's object space without renormalising the direction,
// so the hit parameter stays a world-space distance.
bool CActorBase::IntersectWorldRay(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float* distance,
                                   DWORD* face) const
{
  if (!mesh || !mesh->mesh) return false;
  D3DXMATRIX inverse;
  if (!D3DXMatrixInverse(&inverse, nullptr, &world)) return false;
  D3DXVECTOR3 localOrigin, localDirection;
  D3DXVec3TransformCoord(&localOrigin, &origin, &inverse);
  D3DXVec3TransformNormal(&localDirection, &direction, &inverse);
  BOOL hit = FALSE;
  DWORD hitFace = 0;
  float u = 0.0f, v = 0.0f;
  D3DXIntersect(mesh->mesh, &localOrigin, &localDirection, &hit, &hitFace, &u, &v, distance, nullptr, nullptr);
  if (face) *face = hitFace;
  return hit != FALSE;
}

// Distance to one target's mesh, or the no-hit value beyond maxDist.
float CActorBase::RayDistance(const std::weak_ptr<CActorBase>& target, const D3DXVECTOR3& origin,
                              const D3DXVECTOR3& direction, float maxDist, std::string& outName) const
{
  const std::shared_ptr<CActorBase> actor = target.lock();
  float distance = 0.0f;
  if (!actor || actor.get() == this || !actor->IntersectWorldRay(origin, direction, &distance, nullptr)) {
    return noHitDistance;
  }
  outName = actor->GetName();
  return distance <= maxDist ? distance : noHitDistance;
}

// Stops at the first solid actor within reach.
int CActorBase::IsRayBlocked(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float maxDist,
                             std::string& outName) const
{
  std::shared_ptr<CSceneGame> scene;
  const auto* actors = SceneActors(scene);
  if (!actors) return 0;
  for (const std::shared_ptr<CActorBase>& actor : *actors) {
    if (IsRayIgnoredClass(actor->GetName())) continue;
    if (RayDistance(actor, origin, direction, maxDist, outName) != noHitDistance) return 1;
  }
  return 0;
}

// Strictly nearer than distance; the caller itself counts too.
int CActorBase::IsSwitchOnNear(const D3DXMATRIX& matrix, float distance) const
{
  std::shared_ptr<CSceneGame> scene;
  const auto* actors = SceneActors(scene);
  if (!actors) return 0;
  const D3DXVECTOR3 centre = PositionOf(matrix);
  for (const std::shared_ptr<CActorBase>& actor : *actors) {
    const D3DXVECTOR3 offset = PositionOf(actor->world) - centre;
    if (D3DXVec3Length(&offset) < distance && actor->switchOn != 0) return 1;
  }
  return 0;
}

// Sink by fallSpeed, then lift back onto the highest ground under the five rays if it
// lies within height of their start; ground exactly at the limit counts as none.
void CActorBase::FallAndLand(D3DXMATRIX& matrix, float footprint)
{
  matrix._42 -= fallSpeed;
  const float x = matrix._41, z = matrix._43, f = footprint;
  const float s = matrix._42 + height;
  const D3DXVECTOR3 origins[5] = {
      {x, s, z}, {x - f, s, z + f}, {x + f, s, z + f}, {x + f, s, z - f}, {x - f, s, z - f}};
  const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);

  float nearest = 999.0f;
  std::shared_ptr<CSceneGame> scene;
  const auto* actors = SceneActors(scene);
  if (actors) {
    std::string scratch;
    for (const D3DXVECTOR3& origin : origins) {
      for (const std::shared_ptr<CActorBase>& actor : *actors) {
        if (IsRayIgnoredClass(actor->GetName())) continue;
        const float r = RayDistance(actor, origin, down, height + 0.02f, scratch);
        if (r != noHitDistance && r < nearest) nearest = r;
      }
    }
  }

  if (nearest != 999.0f && nearest < height) {
    matrix._42 += height + 0.02f - nearest;
    if (onGround == 0) {
      onGround = 1;
      if (airFrames > hardLandingFrames) hardLanded = 1;
      airFrames = 0;
    }
  } else {
    onGround = 0;
    airFrames += 1;
  }
}

// One downward ray a frame until the floor is found; never again after that.
void CActorBase::SettleOnGround(D3DXMATRIX& matrix)
{
  if (settled) return;
  matrix._42 -= fallSpeed;
  const D3DXVECTOR3 origin(matrix._41, matrix._42 + height, matrix._43);
  const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
  float nearest = 999.0f;
  std::shared_ptr<CSceneGame> scene;
  const auto* actors = SceneActors(scene);
  if (actors) {
    std::string scratch;
    for (const std::shared_ptr<CActorBase>& actor : *actors) {
      if (IsRayIgnoredClass(actor->GetName())) continue;
      const float r = RayDistance(actor, origin, down, height + 0.01f, scratch);
      if (r != noHitDistance && r < nearest) nearest = r;
    }
  }
  if (nearest == 999.0f) return;
  if (nearest < height) {
    matrix._42 += height + 0.01f - nearest;
    settled = 1;
  }
}

// Dust and the landing sound, heard from the player; held back while the goal runs.
void CActorBase::PlayLandingFeedback(const D3DXVECTOR3& position, float dustScale, float dustDrop)
{
  if (hardLanded == 0) return;
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || scene->goalReached) return;
  scene->AddFugitiveDust(position, dustScale, dustDrop);
  hardLanded = 0;

  D3DXMATRIX listenerMatrix;
  if (GetName() == playerName) {
    listenerMatrix = world;
  } else {
    const std::shared_ptr<CActorBase> listenerActor = player.lock();
    if (!listenerActor) return;
    listenerMatrix = listenerActor->world;
  }
  if (!sound) return;
  sound->Stop();
  sound->Play3D(listenerMatrix, PositionOf(world), 0);
}

// Each actor is probed from the same origin; the corrections add up. A face met edge-on
// (h = 0) gives no push: the clearance along the ray would be infinite.
void CActorBase::PushOutOfWall(D3DXMATRIX& matrix, float clearance, const D3DXVECTOR3& origin,
                               const D3DXVECTOR3& direction)
{
  std::shared_ptr<CSceneGame> scene;
  const auto* actors = SceneActors(scene);
  if (!actors) return;
  for (const std::shared_ptr<CActorBase>& actor : *actors) {
    if (actor.get() == this || !actor->mesh || !actor->mesh->mesh || actor->GetName() == torchName) continue;
    ID3DXMesh* target = actor->mesh->mesh;
    D3DXVECTOR3 probe = origin;
    probe.y += height / 3.0f;
    DWORD face = 0;
    float t = 0.0f;
    if (!actor->IntersectWorldRay(probe, direction, &t, &face)) continue;

    void* indexData = nullptr;
    void* vertexData = nullptr;
    if (FAILED(target->LockIndexBuffer(D3DLOCK_READONLY, &indexData))) continue;
    if (FAILED(target->LockVertexBuffer(D3DLOCK_READONLY, &vertexData))) {
      target->UnlockIndexBuffer();
      continue;
    }
    const WORD* indices = static_cast<const WORD*>(indexData) + face * 3;
    const unsigned char* vertices = static_cast<const unsigned char*>(vertexData);
    const D3DXVECTOR3 a = *reinterpret_cast<const D3DXVECTOR3*>(vertices + indices[0] * 32);
    const D3DXVECTOR3 b = *reinterpret_cast<const D3DXVECTOR3*>(vertices + indices[1] * 32);
    const D3DXVECTOR3 c = *reinterpret_cast<const D3DXVECTOR3*>(vertices + indices[2] * 32);
    target->UnlockVertexBuffer();
    target->UnlockIndexBuffer();

    const D3DXVECTOR3 ab = b - a, ac = c - a;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &ab, &ac);
    D3DXVec3TransformNormal(&n, &n, &actor->world);
    D3DXVec3Normalize(&n, &n);

    const D3DXVECTOR3 back = -direction;
    const float h = D3DXVec3Dot(&back, &n);
    if (h == 0.0f) continue;
    const float reach = std::fabs(clearance / h);
    if (t < reach) {
      const float p = (reach - t) * h;
      D3DXMATRIX push;
      D3DXMatrixTranslation(&push, p * n.x, 0.0f, p * n.z);
      matrix = push * matrix;
    }
  }
}

// Horizontal only: a player on top of a block near its origin is pushed sideways.
void CActorBase::PushOutOfBlocks(D3DXMATRIX& matrix) const
{
  std::shared_ptr<CSceneGame> scene;
  const auto* actors = SceneActors(scene);
  if (!actors) return;
  for (const std::shared_ptr<CActorBase>& actor : *actors) {
    const std::string& name = actor->GetName();
    if (name != "CGameMetalBlock" && name != "CGameDoor") continue;
    const D3DXVECTOR3 toActor = PositionOf(actor->world) - PositionOf(matrix);
    const float d = D3DXVec3Length(&toActor);
    const float reach = actor->radius * 0.75f + radius;
    if (d >= reach) continue;
    D3DXVECTOR3 u(toActor.x, 0.0f, toActor.z);
    D3DXVec3Normalize(&u, &u);
    matrix._41 -= u.x * (reach - d);
    matrix._43 -= u.z * (reach - d);
  }
}
