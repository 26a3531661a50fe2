// CEffectMagicRay: firing, flight, locking, homing, release and the beam.
#include "effect/effect_magic_ray.h"

#include <algorithm>
#include <cstdlib>

#include "actor/actor_base.h"
#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "app/game_random.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {

const std::string rayName = "CEffectMagicRay";

// The translation row of a matrix.
D3DXVECTOR3 PositionOf(const D3DXMATRIX& matrix)
{
  return D3DXVECTOR3(matrix._41, matrix._42, matrix._43);
}

// A small random offset: 0..999 divided by `scale`.
float Jitter(float scale)
{
  return static_cast<float>(GameRandom().Below(1000)) / scale;
}

}  // namespace

// Blue from the left hand, red from the right: a pan of 6 dB towards that side.
LONG HandPan(int magicColour)
{
  return magicColour == Red ? 600 : -600;
}

// Texture and the three sounds of the colour.
CEffectMagicRay::CEffectMagicRay(int magicColour)
    : target(0.0f, 0.0f, 0.0f),
      ribbons{},
      raySound(std::make_unique<OstrelLibrary::CSound>()),
      hitSound(std::make_unique<OstrelLibrary::CSound>()),
      cancelSound(std::make_unique<OstrelLibrary::CSound>())
{
  colour = magicColour;
  D3DXMatrixIdentity(&drawMatrix);
  D3DXMatrixIdentity(&originMatrix);
  D3DXMatrixIdentity(&headMatrix);
  D3DXMatrixIdentity(&hitMatrix);
  texture = LoadEffectTexture(magicColour == Red ? "res/game/effect/red_ray.png" : "res/game/effect/blue_ray.png");
  for (auto& ribbon : ribbons) {
    for (OstrelLibrary::TexturedVertex& vertex : ribbon) vertex.colour = 0xFFFFFFFF;
  }
  raySound->Load("res/sound/magic_ray.wav");
  hitSound->Load("res/sound/magic_hit.wav");
  cancelSound->Load("res/sound/magic_cancel.wav");
  // Both colours share the sound files; each is heard from its casting hand's side, so
  // the two magics sound apart, most of all when both are held.
  raySound->pan = hitSound->pan = cancelSound->pan = HandPan(magicColour);
}

// "CEffectMagicRay".
const std::string& CEffectMagicRay::GetName() const
{
  return rayName;
}

// The ray owns its three sounds.
CEffectMagicRay::~CEffectMagicRay()
{
  cancelSound.reset();
  hitSound.reset();
  raySound.reset();
}

// A halted scene silences the ray and changes nothing else.
void CEffectMagicRay::Update()
{
  if (IsSceneHalted()) {
    raySound->Stop();
    hitSound->Stop();
    return;
  }
  if (!active) {
    ReleaseTarget();
    return;
  }
  raySound->Play(1);
  UpdateOrigin();
  SeekOrLock();
  Home();
  ringTimer += 1;
  if (ringTimer >= 20) {
    ringTimer = 0;
    const std::shared_ptr<CSceneGame> scene = currentScene.lock();
    if (scene) scene->AddRing(colour);
  }
  EmitParticles();
  world = headMatrix;
}

// The ribbons, each a world-space quad.
void CEffectMagicRay::Draw()
{
  if (!active) return;
  BuildBeam();
  if (!texture) return;
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  for (const auto& ribbon : ribbons) graphics->DrawTexturedQuad(ribbon, *texture, &drawMatrix);
}

// The target is fixed at the moment of firing; the scroll starts flowing outwards.
void CEffectMagicRay::SetActive(int on, const D3DXMATRIX& start)
{
  if (active && on) return;
  active = on;
  if (on) {
    headMatrix = start;
    const std::shared_ptr<CGameCamera> camera = LockCamera();
    if (camera) target = camera->aimPoint;
    speed = startSpeed;
  }
  scrollDirection = -1;
}

// Metal block, lever, rotation door, metal lift and cannon.
bool CEffectMagicRay::IsMagicTarget(const std::string& name)
{
  return name == "CGameMetalBlock" || name == "CGameLiver" || name == "CGameRotationDoor" || name == "CGameMetalLift" ||
         name == "CGameCannon";
}

// The rotation door is held on the side that the colour swings open.
D3DXVECTOR3 CEffectMagicRay::AimPointOf(const std::string& name) const
{
  if (name == "CGameMetalBlock") return D3DXVECTOR3(0.0f, 1.5f, 0.0f);
  if (name == "CGameLiver") return D3DXVECTOR3(0.0f, 0.8f, -0.65f);
  if (name == "CGameRotationDoor") return D3DXVECTOR3(colour == Red ? 1.0f : -1.0f, 2.5f, 0.0f);
  if (name == "CGameCannon") return D3DXVECTOR3(0.0f, 0.6f, 0.0f);
  return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

// The head's centre and four points 0.1 to its sides, all along the hand-to-head line.
bool CEffectMagicRay::HitTest(const CActorBase& actor) const
{
  if (!actor.mesh || !actor.mesh->mesh) return false;
  const D3DXVECTOR3 offsets[5] = {{0.0f, 0.0f, 0.0f},
                                  {probeOffset, 0.0f, 0.0f},
                                  {-probeOffset, 0.0f, 0.0f},
                                  {0.0f, probeOffset, 0.0f},
                                  {0.0f, -probeOffset, 0.0f}};
  D3DXVECTOR3 direction = PositionOf(headMatrix) - PositionOf(originMatrix);
  D3DXVec3Normalize(&direction, &direction);
  for (const D3DXVECTOR3& offset : offsets) {
    D3DXVECTOR3 point;
    D3DXVec3TransformCoord(&point, &offset, &headMatrix);
    float distance = 0.0f;
    if (actor.IntersectWorldRay(point, direction, &distance, nullptr) && distance < speed) return true;
  }
  return false;
}

// Red comes from the right hand (side 1), blue from the left (side 0). Without that
// arm the origin keeps its last value.
void CEffectMagicRay::UpdateOrigin()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player) return;
  const int side = colour == Red ? 1 : 0;
  for (const std::shared_ptr<CActorBase>& part : player->bodyParts) {
    if (part->GetName() != "CPlayerArm" || part->partSide != side) continue;
    D3DXMATRIX forward;
    D3DXMatrixTranslation(&forward, 0.0f, 0.0f, 0.4f);
    originMatrix = forward * part->world;
    return;
  }
}

// List order decides, not distance. A target already holding this colour is held
// again without a hit; once locked the head no longer flies.
void CEffectMagicRay::SeekOrLock()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    const bool hit = IsMagicTarget(actor->GetName()) && HitTest(*actor);
    if (!hit && actor->magicColour != colour) continue;
    if (actor->magicColour != colour) hitSound->Restart();
    actor->SetMagic(colour);
    D3DXMATRIX aim;
    const D3DXVECTOR3 point = AimPointOf(actor->GetName());
    D3DXMatrixTranslation(&aim, point.x, point.y, point.z);
    hitMatrix = aim * actor->world;
    scrollDirection = colour == Red ? -1 : 1;
    locked = 1;
    return;
  }
  if (locked) return;
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    if (!IsMagicTarget(actor->GetName()) && HitTest(*actor)) return;
  }
  D3DXMATRIX back;
  D3DXMatrixTranslation(&back, 0.0f, 0.0f, -0.4f);
  const D3DXMATRIX arm = back * originMatrix;
  D3DXVECTOR3 direction = target - PositionOf(arm);
  D3DXVec3Normalize(&direction, &direction);
  speed = std::min(speed + acceleration, maxSpeed);
  headMatrix._41 += direction.x * speed;
  headMatrix._42 += direction.y * speed;
  headMatrix._43 += direction.z * speed;
}

// Three times faster while far; the last bit lands exactly on the point.
void CEffectMagicRay::Home()
{
  if (!locked) return;
  const D3DXVECTOR3 v = PositionOf(hitMatrix) - PositionOf(headMatrix);
  const float n = D3DXVec3Length(&v);
  if (n <= 0.0f) return;
  float step = n;
  if (n > 3.0f) {
    step = 3.0f * homingSpeed;
  } else if (n > homingSpeed) {
    step = homingSpeed;
  }
  const D3DXVECTOR3 move = v / n * step;
  headMatrix._41 += move.x;
  headMatrix._42 += move.y;
  headMatrix._43 += move.z;
}

// Only one actor is cleared; a rotation door holding both colours is cleared fully.
void CEffectMagicRay::ReleaseTarget()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (scene) {
    for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
      if (actor->magicColour != colour && actor->magicColour != Both) continue;
      actor->SetMagic(None);
      cancelSound->Restart();
      break;
    }
  }
  ringTimer = 0;
  locked = 0;
  raySound->Stop();
  hitSound->Stop();
}

// The head's particle scatters sideways and up, the hand's in all three directions.
void CEffectMagicRay::EmitParticles()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene) return;
  D3DXMATRIX head = headMatrix;
  head._41 += Jitter(5000.0f) - 0.0999f;
  head._42 += Jitter(10000.0f);
  scene->AddParticle(head, colour);
  D3DXMATRIX hand = originMatrix;
  hand._41 += Jitter(5000.0f) - 0.0999f;
  hand._42 += Jitter(5000.0f) - 0.0999f;
  hand._43 += Jitter(5000.0f) - 0.0999f;
  scene->AddParticle(hand, colour);
}

// Eight ribbons round the hand-to-head line; the texture repeats once per unit and
// scrolls 0.06 a drawn pass. Mirrored in the puddle during the reflection pass.
void CEffectMagicRay::BuildBeam()
{
  if (IsSceneHalted()) return;
  D3DXMATRIX origin = originMatrix;
  D3DXMATRIX head = headMatrix;
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (shaders->puddlePass) {
    D3DXPLANE plane;
    D3DXPlaneFromPointNormal(&plane, &shaders->puddlePoint, &shaders->puddleNormal);
    D3DXMATRIX reflection;
    D3DXMatrixReflect(&reflection, &plane);
    origin = origin * reflection;
    head = head * reflection;
  }
  const D3DXVECTOR3 a = PositionOf(origin);
  const D3DXVECTOR3 b = PositionOf(head);
  const D3DXVECTOR3 ab = b - a;
  const float length = D3DXVec3Length(&ab);

  const D3DXVECTOR3 axes[4] = {{1.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}};
  D3DXMATRIX quarter;
  D3DXMatrixRotationZ(&quarter, D3DX_PI * 0.5f);
  const D3DXMATRIX turned = quarter * origin;
  D3DXVECTOR3 sides[8];
  for (int i = 0; i < 4; ++i) {
    D3DXVec3TransformNormal(&sides[i], &axes[i], &origin);
    D3DXVec3TransformNormal(&sides[i + 4], &axes[i], &turned);
  }
  scroll += static_cast<float>(scrollDirection) * 0.06f;
  for (int i = 0; i < 8; ++i) {
    const D3DXVECTOR3 s = sides[i] * probeOffset;
    const D3DXVECTOR3 corners[4] = {a - s, b - s, b + s, a + s};
    const float vs[4] = {scroll, length + scroll, length + scroll, scroll};
    const float us[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int k = 0; k < 4; ++k) {
      ribbons[i][k].x = corners[k].x;
      ribbons[i][k].y = corners[k].y;
      ribbons[i][k].z = corners[k].z;
      ribbons[i][k].u = us[k];
      ribbons[i][k].v = vs[k];
    }
  }
}
