// Focus loss to pause: through the same Space edge the player would press.
#include "app/focus_pause.h"

#include "actor/actor_base.h"
#include "app/application.h"
#include "scene/scene_game.h"

namespace {
bool focusLost = false;
}

// Remembered until the next snapshot.
void NoteFocusLost()
{
  focusLost = true;
}

// Once per loss; a loss while something else holds the stage is let go.
bool TakeFocusPause()
{
  if (!focusLost) return false;
  focusLost = false;
  const std::shared_ptr<CSceneGame> game = CActorBase::currentScene.lock();
  const CApplication* application = CApplication::GetInstance();
  if (!game || application->fadeOut != 0 || application->fadeAlpha != 0) return false;
  return !game->cameraEvent && !game->paused && !game->escapeOpen && !game->orbObtained && !game->goalReached;
}
