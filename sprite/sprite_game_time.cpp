// CWholeGameTime: the whole game's clock and its record under the last credit page.
#include "sprite/sprite_game_time.h"

#include "app/stage_clock.h"

namespace {
const float timeScale = 1.1f;
const float besideScale = 0.8f;
const D3DCOLOR white = 0xFFFFFF;
const D3DCOLOR gold = 0xFFD23C;  // the credits' gold

// A colour at an opacity.
D3DCOLOR WithAlpha(D3DCOLOR rgb, int alpha)
{
  return (static_cast<D3DCOLOR>(alpha) << 24) | rgb;
}
}  // namespace

// Only a run from New Game through the last goal has a whole-game time.
std::string CWholeGameTime::TimeText() const
{
  const CGameClock& clock = CGameClock::GetInstance();
  if (!clock.IsTimed() || !clock.IsFinished()) return "";
  return "WHOLE GAME " + FormatClock(clock.Ticks());
}

// The best it was measured against.
std::string CWholeGameTime::BesideText() const
{
  const CGameClock& clock = CGameClock::GetInstance();
  if (TimeText().empty() || clock.previousBest == 0) return "";
  return clock.newBest ? "NEW BEST!" : "BEST " + FormatClock(clock.previousBest);
}

// Gold for a new best, as on the clear screen.
void CWholeGameTime::Draw(float x, float y, int alpha) const
{
  const std::string time = TimeText();
  if (time.empty()) return;
  const D3DCOLOR colour = WithAlpha(CGameClock::GetInstance().newBest ? gold : white, alpha);
  font.Draw(time, x, y, timeScale, colour, TextAlign::Centre);
  const std::string beside = BesideText();
  if (!beside.empty()) font.Draw(beside, x, y + font.LineHeight(timeScale), besideScale, colour, TextAlign::Centre);
}
