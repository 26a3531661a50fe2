// CReplayRecorder: collects one stage attempt's ticks and, when the attempt ends,
// writes them as a replay into the replays folder (a temporary file, then a rename).
// The folder keeps each stage's personal best (its fastest clear) and the last 20
// attempts; older files go.
#pragma once

#include "replay/replay_file.h"

#include <string>

class CReplayRecorder {
public:
  // The one recorder of the game.
  static CReplayRecorder* GetInstance();

  // Starts an attempt with everything the header knows before play.
  void Begin(const ReplayHeader& header);
  // Whether an attempt is being recorded.
  bool IsRecording() const { return recording; }
  // The input of the next update tick.
  void Capture(const ReplayTick& tick);
  // Ticks captured so far in this attempt.
  int TickCount() const { return static_cast<int>(replay.ticks.size()); }
  // The attempt's header as it stands (for the first tick's fade).
  ReplayHeader& Header() { return replay.header; }
  // Ends the attempt: cleared with the stage clock at clearTicks (ranked by that) or not, the
  // player's last place. Writes the file into the folder and tidies it; returns the
  // file written, or "" when nothing could be written (said on standard error).
  std::string Finish(bool cleared, int clearTicks, const float position[3], const std::string& folder);
  // Drops the attempt without writing it.
  void Abandon();

private:
  ReplayFile replay;
  bool recording = false;
};

// Keeps in the folder the fastest clear of each stage and the `keepLast` newest
// replays; removes the others. A damaged file is named on standard error and set
// aside as NAME.bad.
void TidyReplayFolder(const std::string& folder, size_t keepLast);
// The attempts kept besides the personal bests.
const size_t kReplaysKept = 20;
// The kept personal best of a stage in the folder (its fastest clear), or "" when the
// stage has none.
std::string BestReplayPath(const std::string& folder, int stage);
