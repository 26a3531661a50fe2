// The stage clock and the whole game's clock. Time is counted in update ticks of the
// 16 ms loop, never read from the wall clock, so a run's time is a function of its
// input like everything else in a stage. The clock shows as m:ss.cc.
#pragma once

#include <string>

// Milliseconds in one update tick.
const int kTickMilliseconds = 16;

// One attempt at a stage: ticks while the player has control, stopped at the goal.
class CStageClock {
public:
  // One update tick of play; nothing once stopped.
  void Tick();
  // Stops the clock for good (the goal was touched).
  void Stop();
  // The ticks counted so far.
  int Ticks() const;
  // Whether the goal stopped it.
  bool IsStopped() const;

private:
  int ticks = 0;
  bool stopped = false;
};

// The whole game from New Game to the ending: the sum of the stage clocks. A Continue,
// or a stage started any other way, leaves it untimed.
class CGameClock {
public:
  // The one clock of the program.
  static CGameClock& GetInstance();
  // New Game: timing starts from zero.
  void Start();
  // Continue: this run makes no whole-game time.
  void Cancel();
  // Adds one stage attempt's ticks while timed.
  void Add(int stageTicks);
  // Whether this run started with New Game.
  bool IsTimed() const;
  // The ticks summed so far.
  int Ticks() const;
  // The last stage was cleared: the sum is the whole game's time, measured against
  // the best before it.
  void Finish(int bestBefore, bool isNewBest);
  // Whether the last stage was cleared in this timed run.
  bool IsFinished() const;

  int previousBest = 0;  // the whole game's best before this run; 0 when none
  bool newBest = false;  // this run became the best

private:
  bool timed = false;
  bool finished = false;
  int ticks = 0;
};

// "m:ss.cc" (minutes as many digits as they need); "-:--.--" for no time (0 or less).
std::string FormatClock(int ticks);
