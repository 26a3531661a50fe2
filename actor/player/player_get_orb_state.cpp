// CPlayerGetOrbState: the stop and the turn to the viewer during the orb message.
#include "actor/player/player_get_orb_state.h"

#include "actor/player/game_player.h"
#include "actor/player/player_walk_state.h"
#include "scene/scene_game.h"

namespace {
const std::string getOrbStateName = "CPlayerGetOrbState";
}  // namespace

// "CPlayerGetOrbState".
const std::string& CPlayerGetOrbState::GetName() const
{
  return getOrbStateName;
}

// Nothing of its own.
CPlayerGetOrbState::~CPlayerGetOrbState() = default;

// The walk state ignores the keys while the flag is set; clearing `moving` also stops
// a step already under way.
void CPlayerGetOrbState::Update()
{
  const std::shared_ptr<CSceneGame> scene = CActorBase::currentScene.lock();
  if (!scene || !scene->orbObtained) return;
  const std::shared_ptr<CGamePlayer> player = LockPlayer();
  const std::shared_ptr<CPlayerWalkState> walk = LockWalkState();
  if (!player) return;
  if (walk) walk->moving = 0;
  D3DXVECTOR3 viewer(0.0f, 0.0f, -1.0f);
  D3DXVECTOR3 forward = BodyForward(*player);
  player->angles.y += ::TurnStep(viewer, forward, 5.0f, 0.1f);
}
