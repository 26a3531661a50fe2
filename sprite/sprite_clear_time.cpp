// CSpriteClearTime: the run's time and the stage's best after the goal.
#include "sprite/sprite_clear_time.h"

#include <algorithm>

#include "app/settings.h"
#include "app/stage_clock.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"

namespace {
const float timeScale = 1.4f;
const float besideScale = 0.9f;
const float gap = 36.0f;
const D3DCOLOR white = 0xFFFFFF;
const D3DCOLOR gold = 0xFFD23C;  // the new best, in the lettering's gold
const float cornerScale = 1.0f;
const float cornerMargin = 24.0f;
const D3DCOLOR cornerInk = 0xE6FFFFFF;  // a little see-through over the stage

// The running stage once its goal is reached and no menu hides the HUD; null otherwise.
std::shared_ptr<CSceneGame> ClearedScene()
{
  const std::shared_ptr<CSceneGame> scene = CSpriteBase::currentScene.lock();
  if (!scene || !scene->goalReached || scene->paused || scene->escapeOpen) return nullptr;
  return scene;
}

// A colour at an opacity.
D3DCOLOR WithAlpha(D3DCOLOR rgb, int alpha)
{
  return (static_cast<D3DCOLOR>(alpha) << 24) | rgb;
}
}  // namespace

// Transparent until the goal.
CSpriteClearTime::CSpriteClearTime()
{
  alpha = 0;
}

// The goal's letters rise for about half a second; the time comes up with them.
void CSpriteClearTime::Update()
{
  if (ClearedScene()) alpha = std::min(alpha + fadeStep, 255);
}

// The two parts side by side, centred as one line; the smaller one shares the
// larger one's baseline.
void CSpriteClearTime::Draw()
{
  const std::string running = RunningText();
  if (!running.empty()) {
    const float width = OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferWidth;
    font.Draw(running, width - cornerMargin - font.Measure(running, cornerScale), cornerMargin, cornerScale, cornerInk);
  }
  const std::shared_ptr<CSceneGame> scene = ClearedScene();
  if (!scene || alpha == 0) return;
  const std::string time = TimeText();
  const std::string beside = BesideText();
  const float timeWidth = font.Measure(time, timeScale);
  const float besideWidth = beside.empty() ? 0.0f : font.Measure(beside, besideScale) + gap;
  const float centre = OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferWidth * 0.5f;
  const float left = centre - (timeWidth + besideWidth) * 0.5f;
  const bool newBest = scene->clearTime.newBest;
  font.Draw(time, left, timeY, timeScale, WithAlpha(newBest ? gold : white, alpha));
  if (beside.empty()) return;
  const float besideY = timeY + font.LineHeight(timeScale) - font.LineHeight(besideScale);
  font.Draw(beside, left + timeWidth + gap, besideY, besideScale, WithAlpha(newBest ? gold : white, alpha));
}

// The run's time once the goal has stopped the clock.
std::string CSpriteClearTime::TimeText() const
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || !scene->clock.IsStopped()) return FormatClock(0);
  return FormatClock(scene->clearTime.ticks);
}

// A first clear is a new best too, but with nothing to beat it earns no mark.
std::string CSpriteClearTime::BesideText() const
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || !scene->clock.IsStopped()) return "";
  const ClearTime& clear = scene->clearTime;
  if (clear.previousBest == 0) return "";
  if (clear.newBest) return "NEW BEST!";
  return "BEST " + FormatClock(clear.previousBest);
}

// Only while the clock runs for the player: after the opening, outside the menus and
// the orb message, before the goal.
std::string CSpriteClearTime::RunningText() const
{
  if (!RunSettings().showTimer) return "";
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || scene->cameraEvent || scene->goalReached || scene->paused || scene->escapeOpen) return "";
  return FormatClock(scene->StageTicks());
}
