// CPlayerFoot: the walk swing, the step sound, the rest pose and drawing.
#include "actor/player/player_foot.h"

#include "actor/player/game_player.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_walk_state.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"

namespace {
const std::string playerFootName = "CPlayerFoot";
const float degreesToRadians = 0.017453292f;

// Rotation about x by degrees, then a translation.
D3DXMATRIX FootPose(float degrees, float y, float z)
{
  D3DXMATRIX rotation, offset;
  D3DXMatrixRotationX(&rotation, degrees * degreesToRadians);
  D3DXMatrixTranslation(&offset, 0.0f, y, z);
  return rotation * offset;
}
}  // namespace

// At rest, forward with the toes up, back.
CPlayerFoot::CPlayerFoot(int side)
{
  partSide = side;
  firstSwing = side == 0 ? 1 : 2;
  D3DXMatrixIdentity(&poses[0]);
  poses[1] = FootPose(-65.0f, 0.15f, 0.3f);
  poses[2] = FootPose(40.0f, 0.15f, -0.3f);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  mesh = graphics->GetMesh(graphics->device,
                           side == 0 ? "res/game/player/player_left_foot.x" : "res/game/player/player_right_foot.x");
  if (side == 0) {
    footstepSound = std::make_unique<OstrelLibrary::CSound>();
    footstepSound->Load("res/sound/footsteps.wav");
    puddleSound = std::make_unique<OstrelLibrary::CSound>();
    puddleSound->Load("res/sound/puddle.wav");
  }
}

// "CPlayerFoot".
const std::string& CPlayerFoot::GetName() const
{
  return playerFootName;
}

// The sounds it made itself.
CPlayerFoot::~CPlayerFoot()
{
  puddleSound.reset();
  footstepSound.reset();
}

// During the orb message and the goal (until the walk-off) the foot sits at rest.
void CPlayerFoot::Update()
{
  RefreshPlayerLink();
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  const std::shared_ptr<CPlayerWalkState> walk = LockWalk();
  if (!owner || !scene) return;
  if (walk) {
    BlendPoses(walk->walkCycle);
    if (walk->cycleWrapped) PlayStepSound();
    AdvancePoses(walk->moving, walk->cycleWrapped);
  }
  bool resting = scene->orbObtained != 0;
  if (scene->goalReached) {
    const std::shared_ptr<CPlayerGoalState> goal = LockGoalState();
    resting = resting || !goal || goal->phase != 3;
  }
  if (resting) D3DXMatrixIdentity(&world);
  world = world * owner->world;
}

// Toon and a black outline.
void CPlayerFoot::Draw()
{
  if (!mesh) return;
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (shaders->toon.effect) {
    shaders->toon.effect->SetMatrix("g_world_mat", &world);
    shaders->toon.DrawMesh(*mesh, 0.0f, 0.0f);
  }
  if (shaders->outline.effect) {
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    shaders->outline.effect->SetMatrix("g_world_mat", &world);
    shaders->outline.DrawMesh(*mesh, 0.025f, &black);
  }
}

// Only the left foot has sounds; only on the ground, only when arriving at rest, never
// after the goal.
void CPlayerFoot::PlayStepSound()
{
  if (!footstepSound) return;
  const std::shared_ptr<CActorBase> owner = player.lock();
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!owner || !scene || scene->goalReached || nextPose != 0 || !owner->onGround) return;
  const D3DXVECTOR3 at(owner->world._41, owner->world._42, owner->world._43);
  for (const std::shared_ptr<CActorBase>& actor : scene->actors) {
    if (actor->GetName() != "CGameDropWaterPoint") continue;
    const D3DXVECTOR3 offset = D3DXVECTOR3(actor->world._41, actor->world._42, actor->world._43) - at;
    if (D3DXVec3Length(&offset) <= puddleRange) {
      puddleSound->Restart();
      return;
    }
  }
  footstepSound->Restart();
}
