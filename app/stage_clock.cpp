// CStageClock, CGameClock and the m:ss.cc reading of a tick count.
#include "app/stage_clock.h"

#include <climits>
#include <cstdio>

// Counts only before the goal.
void CStageClock::Tick()
{
  if (!stopped && ticks < INT_MAX) ticks += 1;
}

// The goal's touch.
void CStageClock::Stop()
{
  stopped = true;
}

// Ticks so far.
int CStageClock::Ticks() const
{
  return ticks;
}

// Stopped at the goal.
bool CStageClock::IsStopped() const
{
  return stopped;
}

// One for the program, like the application.
CGameClock& CGameClock::GetInstance()
{
  static CGameClock clock;
  return clock;
}

// From zero.
void CGameClock::Start()
{
  Cancel();
  timed = true;
}

// No whole-game time for this run.
void CGameClock::Cancel()
{
  timed = false;
  finished = false;
  ticks = 0;
  previousBest = 0;
  newBest = false;
}

// Saturates rather than wrapping round on an absurdly long run.
void CGameClock::Add(int stageTicks)
{
  if (!timed || finished || stageTicks <= 0) return;
  ticks = (ticks > INT_MAX - stageTicks) ? INT_MAX : ticks + stageTicks;
}

// Only a timed run finishes.
void CGameClock::Finish(int bestBefore, bool isNewBest)
{
  if (!timed) return;
  finished = true;
  previousBest = bestBefore;
  newBest = isNewBest;
}

// The last goal reached.
bool CGameClock::IsFinished() const
{
  return finished;
}

// Started by New Game.
bool CGameClock::IsTimed() const
{
  return timed;
}

// The sum so far.
int CGameClock::Ticks() const
{
  return ticks;
}

// Hundredths are rounded down, so a time never reads better than it was.
std::string FormatClock(int ticks)
{
  if (ticks <= 0) return "-:--.--";
  const long long hundredths = static_cast<long long>(ticks) * kTickMilliseconds / 10;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
  return text;
}
