// The replay asked for on the command line: read and checked before the window opens,
// then played in the window or verified headless.
#pragma once

#include "replay/replay_file.h"

#include <memory>
#include <string>

class CSceneBase;

class CApplication;

// Reads a replay file and checks it against the game's stages (run from the data
// folder); "" when it can be played, otherwise the one line to print, which names the
// file as `shownName` (the path as the player gave it) when one is given.
std::string LoadReplayForPlay(const std::string& path, ReplayFile* replay, const std::string& shownName = "");
// Keeps the replay for this run (after LoadReplayForPlay accepted it).
void PrepareReplay(const std::string& path, const ReplayFile& replay, bool verify);
// Whether this run plays a replay, and whether it only verifies it.
bool ReplayPrepared();
bool ReplayVerifying();
// Plays the prepared replay: in the window, then the game goes on at the title (0); or
// verifying, prints its line and returns 0 (as recorded) or 1 (diverged).
int RunPreparedReplay(CApplication* application);
// Runs a replay to its end without drawing and says how it went in one line; true when
// it ended as recorded. The loop must be free (no scene running).
bool VerifyReplay(const ReplayFile& replay, const std::string& name, std::string* line);
// The records page's rows: the stage's kept best replay, when there is one that still
// fits the stage, waits to be played (the whole game, 0, has none).
void PlayBestRun(int stage);
// The replay scene PlayBestRun made ready, once; null when there is none.
std::shared_ptr<CSceneBase> TakeBestRunToPlay();
