// Stage attempts and the recorder: the seam between the running game and replays.
#include "replay/stage_attempt.h"

#include "app/application.h"
#include "app/source_stage.h"
#include "app/game_random.h"
#include "app/settings.h"
#include "app/user_paths.h"
#include "app/version.h"
#include "replay/replay_recorder.h"
#include "scene/scene_game.h"
#include "actor/actor_base.h"
#include "actor/game_map.h"
#include "scene/stage_loader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

bool recordingOn = true;
bool seedPending = false;
uint64_t pendingSeed = 0;
uint64_t attemptsSeeded = 0;
std::string lastWritten;
// The running attempt plays a replay back: it is not the player's own.
bool replaying = false;
// The stage the recording belongs to: a stage object that never began (a request for a
// retry, say) ends nothing when it goes.
const CSceneGame* recordedStage = nullptr;

// SplitMix64's finaliser: spreads a clock reading over all 64 bits.
uint64_t Mix(uint64_t value)
{
  value += 0x9E3779B97F4A7C15ULL;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
  return value ^ (value >> 31);
}

// A seed for a new attempt: the clock and the attempt's number (under a fixed test
// clock, the same run gets the same seeds).
uint64_t FreshSeed()
{
  ++attemptsSeeded;
  return Mix((static_cast<uint64_t>(timeGetTime()) << 20) ^ attemptsSeeded);
}

// One bit of a flag set.
uint16_t Bit(int flag, ReplayInputBit bit)
{
  return flag ? static_cast<uint16_t>(bit) : 0;
}

// A cursor offset kept within the 16 bits a tick stores.
int16_t Offset(LONG value)
{
  return static_cast<int16_t>(std::clamp<LONG>(value, -32768, 32767));
}

// Adds a file's bytes to the hash; a missing file leaves its mark too.
uint64_t HashFile(const std::string& path, uint64_t hash)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fnv1a64("missing", 7, hash);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Fnv1a64(bytes.data(), bytes.size(), hash);
}

}  // namespace

// A replay's seed when one is pending; otherwise a new seed and a new recording.
void StageAttemptBegins(const CSceneGame& scene)
{
  CApplication* application = CApplication::GetInstance();
  replaying = seedPending;
  if (seedPending) {
    seedPending = false;
    CReplayRecorder::GetInstance()->Abandon();
    GameRandom().Seed(pendingSeed);
    return;
  }
  const uint64_t seed = FreshSeed();
  GameRandom().Seed(seed);
  // A stage played from its source borrows a stage's number: its runs are not that stage's.
  if (!recordingOn || CurrentSourceStage().active) return;
  ReplayHeader header;
  header.gameVersion = SOLVERICA_VERSION;
  header.stage = application->stageNumber;
  header.stageHash = StageFilesHash(application->stageNumber);
  header.seed = seed;
  header.lookSensitivity = RunSettings().mouseSensitivity;
  header.invertLook = RunSettings().invertLook;
  header.magicToggle = RunSettings().magicToggle;
  CReplayRecorder::GetInstance()->Begin(header);
  recordedStage = &scene;
}

// Only a stage's ticks are kept; the fade the first one starts from is noted.
void StageAttemptTick(const CSceneGame& scene)
{
  CReplayRecorder* recorder = CReplayRecorder::GetInstance();
  if (!recorder->IsRecording() || &scene != recordedStage) return;
  if (recorder->TickCount() == 0) recorder->Header().startFade = CApplication::GetInstance()->fadeAlpha;
  recorder->Capture(CurrentTickInput());
}

// The clear is ranked by the stage clock at the goal, the time the records keep.
void StageAttemptEnds(const CSceneGame& scene)
{
  CReplayRecorder* recorder = CReplayRecorder::GetInstance();
  if (!recorder->IsRecording() || &scene != recordedStage) return;
  recordedStage = nullptr;
  float position[3];
  PlayerPosition(scene, position);
  lastWritten = recorder->Finish(scene.goalReached != 0, scene.StageTicks(), position, ReplayFolderPath());
}

// The next Begins takes it.
void PlayNextAttemptWithSeed(uint64_t seed)
{
  seedPending = true;
  pendingSeed = seed;
}

// Neither a replay played back nor a stage from its source.
bool StageAttemptIsThePlayers()
{
  return !replaying && !CurrentSourceStage().active;
}

// Off: attempts are seeded but not recorded.
void SetReplayRecording(bool on)
{
  recordingOn = on;
  if (!on) CReplayRecorder::GetInstance()->Abandon();
}

// The path of the newest replay this run wrote.
const std::string& LastReplayWritten()
{
  return lastWritten;
}

// The flags of the input record and GetCursorPos against the home point.
ReplayTick CurrentTickInput()
{
  const CApplication* application = CApplication::GetInstance();
  const InputSnapshot& input = application->input;
  ReplayTick tick;
  tick.buttons = Bit(input.escapePressed, kReplayEscape) | Bit(input.spacePressed, kReplaySpace) |
                 Bit(input.clicked, kReplayClick) | Bit(input.leftButton, kReplayLeft) |
                 Bit(input.rightButton, kReplayRight) | Bit(input.keyW, kReplayW) | Bit(input.keyS, kReplayS) |
                 Bit(input.keyA, kReplayA) | Bit(input.keyD, kReplayD) | Bit(input.keyShift, kReplayShift) |
                 Bit(input.leftPressed, kReplayLeftPressed) | Bit(input.rightPressed, kReplayRightPressed);
  POINT cursor = {};
  GetCursorPos(&cursor);
  tick.cursorX = Offset(cursor.x - application->cursorHome.x);
  tick.cursorY = Offset(cursor.y - application->cursorHome.y);
  return tick;
}

// The input record's flags and the cursor, as CurrentTickInput read them.
void ApplyTickInput(const ReplayTick& tick)
{
  CApplication* application = CApplication::GetInstance();
  InputSnapshot& input = application->input;
  input.escapePressed = (tick.buttons & kReplayEscape) ? 1 : 0;
  input.spacePressed = (tick.buttons & kReplaySpace) ? 1 : 0;
  input.clicked = (tick.buttons & kReplayClick) ? 1 : 0;
  input.leftButton = (tick.buttons & kReplayLeft) ? 1 : 0;
  input.rightButton = (tick.buttons & kReplayRight) ? 1 : 0;
  input.keyW = (tick.buttons & kReplayW) ? 1 : 0;
  input.keyS = (tick.buttons & kReplayS) ? 1 : 0;
  input.keyA = (tick.buttons & kReplayA) ? 1 : 0;
  input.keyD = (tick.buttons & kReplayD) ? 1 : 0;
  input.keyShift = (tick.buttons & kReplayShift) ? 1 : 0;
  input.leftPressed = (tick.buttons & kReplayLeftPressed) ? 1 : 0;
  input.rightPressed = (tick.buttons & kReplayRightPressed) ? 1 : 0;
  SetCursorPos(application->cursorHome.x + tick.cursorX, application->cursorHome.y + tick.cursorY);
}

// The translation row of the player's world matrix.
void PlayerPosition(const CSceneGame& scene, float position[3])
{
  const std::shared_ptr<CActorBase> player = scene.GetPlayer().lock();
  position[0] = player ? player->world._41 : 0.0f;
  position[1] = player ? player->world._42 : 0.0f;
  position[2] = player ? player->world._43 : 0.0f;
}

// The stage file and the map mesh the stage collides with.
uint64_t StageFilesHash(int stage)
{
  uint64_t hash = Fnv1a64(nullptr, 0);
  hash = HashFile(StageFileName("res/dat/map.dat", stage), hash);
  hash = HashFile(StageMeshName("res/game/map/map.x", stage), hash);
  return hash;
}
