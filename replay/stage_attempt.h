// A stage attempt as replays see it: the seed chosen and the recording begun when a
// stage starts, each update tick's input captured, the replay written when it ends.
// While a replay plays, its seed is used instead and nothing is recorded.
#pragma once

#include <cstdint>
#include <string>

#include "replay/replay_file.h"

class CSceneBase;
class CSceneGame;

// CSceneGame::Init, before the stage loads: seeds the game's random generator and
// starts the recording (or takes the replay's seed).
void StageAttemptBegins(const CSceneGame& scene);
// CSceneGame::Update, first: the input of the tick the update is about to read.
void StageAttemptTick(const CSceneGame& scene);
// CSceneGame::Uninit: writes the attempt's replay (once, and only for the stage that
// began it).
void StageAttemptEnds(const CSceneGame& scene);

// The next stage attempt is a replay's: this seed, and no recording.
void PlayNextAttemptWithSeed(uint64_t seed);
// Whether the running attempt is the player's own: a replay played back or a stage
// played from its source writes no records and adds nothing to the whole-game clock.
bool StageAttemptIsThePlayers();
// Recording on (the default) or off.
void SetReplayRecording(bool on);
// The last replay written, or "".
const std::string& LastReplayWritten();

// The input a tick's update will see: the application's input record and the cursor's
// offset from its home point.
ReplayTick CurrentTickInput();
// Puts a recorded tick's input where the update will read it.
void ApplyTickInput(const ReplayTick& tick);
// The player's feet in a running stage, (0, 0, 0) without a player.
void PlayerPosition(const CSceneGame& scene, float position[3]);
// A hash of the files that make a stage (its stage file and map mesh); 0 when they
// cannot be read.
uint64_t StageFilesHash(int stage);
