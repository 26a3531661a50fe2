// CGamePlayer: construction, the frame (set-up, world matrix, states, body parts,
// gravity, landing feedback), drawing through the body parts, and the state lookups.
#include "actor/player/game_player.h"

#include "actor/game_camera.h"
#include "actor/player/player_arm.h"
#include "actor/player/player_foot.h"
#include "actor/player/player_get_orb_state.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_magic_state.h"
#include "actor/player/player_upper_body.h"
#include "actor/player/player_walk_state.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {

const std::string gamePlayerName = "CGamePlayer";
const float degreesToRadians = 0.017453292f;

// The one follow-matrix slot; only one player exists at a time.
D3DXMATRIX& FollowSlot()
{
  static D3DXMATRIX slot = [] {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return identity;
  }();
  return slot;
}

// True while the scene's pause or escape menu holds the stage.
bool SceneHalted()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  return scene && (scene->paused || scene->escapeOpen);
}

}  // namespace

std::weak_ptr<CGamePlayer> CGamePlayer::playerLink;
std::weak_ptr<CActorBase> CGamePlayer::cameraLink;

// The parts are made here; the states wait for the first update, when the links exist.
CGamePlayer::CGamePlayer() : angles(0.0f, 0.0f, 0.0f)
{
  D3DXMatrixIdentity(&position);
  D3DXMatrixIdentity(&bodyRotation);
  bodyParts.push_back(std::make_shared<CPlayerUpperBody>());
  bodyParts.push_back(std::make_shared<CPlayerArm>(0));
  bodyParts.push_back(std::make_shared<CPlayerArm>(1));
  bodyParts.push_back(std::make_shared<CPlayerFoot>(0));
  bodyParts.push_back(std::make_shared<CPlayerFoot>(1));
  height = 1.6f;
  fallSpeed = 0.2f;
  radius = 0.7f;
  sound = std::make_unique<OstrelLibrary::CSound>();
  sound->Load3D("res/sound/landing.wav");
}

// "CGamePlayer".
const std::string& CGamePlayer::GetName() const
{
  return gamePlayerName;
}

// Parts before states: the parts hold weak links to the states.
CGamePlayer::~CGamePlayer()
{
  bodyParts.clear();
  states.clear();
}

// Frozen while a menu is open: no state, no part, no gravity.
void CGamePlayer::Update()
{
  if (SceneHalted()) return;
  RefreshCameraLink();
  if (needsInit) SetUpOnce();

  const bool launching = IsLaunching();
  if (!launching) PushOutOfBlocks(position);

  world = GetFollowMatrix();
  D3DXMatrixRotationYawPitchRoll(&bodyRotation, angles.y * degreesToRadians, angles.x * degreesToRadians,
                                 angles.z * degreesToRadians);
  world = bodyRotation * world;

  // Index loops: a state may reach back into the player.
  for (size_t i = 0; i < states.size(); ++i) states[i]->Update();
  for (size_t i = 0; i < bodyParts.size(); ++i) bodyParts[i]->Update();

  if (!launching) FallAndLand(position, footprint);
  PlayLandingFeedback(D3DXVECTOR3(world._41, world._42, world._43), dustScale, dustDrop);
}

// The player's parts take a lighter shadow than the stage.
void CGamePlayer::Draw()
{
  ID3DXEffect* toon = CShaderManager::GetInstance()->toon.effect;
  if (toon) toon->SetFloat("g_shadow_power_magnification", shadowPower);
  for (const std::shared_ptr<CActorBase>& part : bodyParts) part->Draw();
  if (toon) toon->SetFloat("g_shadow_power_magnification", 1.0f);
}

// Every part into the shadow map.
void CGamePlayer::DrawShadow()
{
  for (const std::shared_ptr<CActorBase>& part : bodyParts) part->DrawShadow();
}

// Only the position: the world is rebuilt from it on the next update.
void CGamePlayer::Move(float dx, float dy, float dz)
{
  position._41 += dx;
  position._42 += dy;
  position._43 += dz;
}

// "CPlayerWalkState".
std::weak_ptr<CStateBase> CGamePlayer::GetWalkState() const
{
  return FindState("CPlayerWalkState");
}

// "CPlayerMagicState"; empty until that state exists.
std::weak_ptr<CStateBase> CGamePlayer::GetMagicState() const
{
  return FindState("CPlayerMagicState");
}

// "CPlayerGoalState".
std::weak_ptr<CStateBase> CGamePlayer::GetGoalState() const
{
  return FindState("CPlayerGoalState");
}

// The magic state's launch offset times the position. Before the magic state exists
// there is no launch, so the offset is the identity.
D3DXMATRIX& CGamePlayer::GetFollowMatrix()
{
  const std::shared_ptr<CStateBase> state = GetMagicState().lock();
  if (state) {
    FollowSlot() = static_cast<const CPlayerMagicState&>(*state).launchMatrix * position;
  } else {
    FollowSlot() = position;
  }
  return FollowSlot();
}

// Launching means the magic state's launch direction is away from rest.
bool CGamePlayer::IsLaunching() const
{
  const std::shared_ptr<CStateBase> state = GetMagicState().lock();
  return state && static_cast<const CPlayerMagicState&>(*state).IsLaunching();
}

// The links are written once, then the states in their update order, then each body
// part learns the walk state (and the magic state once it exists).
void CGamePlayer::SetUpOnce()
{
  playerLink = std::static_pointer_cast<CGamePlayer>(shared_from_this());
  cameraLink = camera;
  const std::shared_ptr<CStateBase> walk = std::make_shared<CPlayerWalkState>();
  const std::shared_ptr<CStateBase> magic = std::make_shared<CPlayerMagicState>();
  const std::shared_ptr<CStateBase> goal = std::make_shared<CPlayerGoalState>();
  for (const std::shared_ptr<CActorBase>& part : bodyParts) part->SetWalkState(walk);
  for (const std::shared_ptr<CActorBase>& part : bodyParts) part->SetMagicState(magic);
  states.push_back(walk);
  states.push_back(magic);
  states.push_back(goal);
  states.push_back(std::make_shared<CPlayerGetOrbState>());
  needsInit = 0;
}

// Linear search in update order.
std::weak_ptr<CStateBase> CGamePlayer::FindState(const std::string& name) const
{
  for (const std::shared_ptr<CStateBase>& state : states) {
    if (state->GetName() == name) return state;
  }
  return std::weak_ptr<CStateBase>();
}

// The link may outlive the stage; a dead link gives null.
std::shared_ptr<CGamePlayer> LockPlayer()
{
  return CGamePlayer::playerLink.lock();
}

// Looked up by name, then cast: the list holds the base type.
std::shared_ptr<CPlayerWalkState> LockWalkState()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player) return nullptr;
  return std::static_pointer_cast<CPlayerWalkState>(player->GetWalkState().lock());
}

// Looked up by name, then cast.
std::shared_ptr<CPlayerMagicState> LockMagicState()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player) return nullptr;
  return std::static_pointer_cast<CPlayerMagicState>(player->GetMagicState().lock());
}

// Looked up by name, then cast.
std::shared_ptr<CPlayerGoalState> LockGoalState()
{
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  if (!player) return nullptr;
  return std::static_pointer_cast<CPlayerGoalState>(player->GetGoalState().lock());
}

// The camera the player published.
std::shared_ptr<CGameCamera> LockCamera()
{
  const std::shared_ptr<CActorBase> camera = CGamePlayer::cameraLink.lock();
  if (!camera || camera->GetName() != "CGameCamera") return nullptr;
  return std::static_pointer_cast<CGameCamera>(camera);
}

// Normalised (0, 0, 1) through the body rotation.
D3DXVECTOR3 BodyForward(const CGamePlayer& player)
{
  const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 forward;
  D3DXVec3TransformCoord(&forward, &ahead, &player.bodyRotation);
  D3DXVec3Normalize(&forward, &forward);
  return forward;
}
