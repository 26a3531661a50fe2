// Command-line replays: loading and checking the file, the window's playback and the
// headless verification.
#include "replay/replay_run.h"

#include "app/application.h"
#include "app/user_paths.h"
#include "replay/replay_recorder.h"
#include "replay/scene_replay.h"
#include "replay/stage_attempt.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::string preparedPath;
ReplayFile prepared;
bool preparedSet = false;
bool verifyOnly = false;
std::shared_ptr<CSceneBase> bestRunToPlay;
// Replay files are small; anything past this is not one.
const std::streamsize mostReplayBytes = 64 << 20;

// A place as the line prints it: enough digits to tell two floats apart.
std::string Place(const float position[3])
{
  char text[96];
  std::snprintf(text, sizeof text, "(%.9g, %.9g, %.9g)", position[0], position[1], position[2]);
  return text;
}

// "cleared at tick N" or "not cleared after N ticks".
std::string Clear(int clearTick, int ticks)
{
  if (clearTick >= 0) return "cleared at tick " + std::to_string(clearTick);
  return "not cleared after " + std::to_string(ticks) + " ticks";
}

}  // namespace

// The bytes, the format, the stage's existence and its files as they were recorded.
std::string LoadReplayForPlay(const std::string& path, ReplayFile* replay, const std::string& shownName)
{
  const std::string name = shownName.empty() ? path : shownName;
  std::ifstream in(path, std::ios::binary);
  if (!in) return name + ": cannot be opened";
  std::string bytes;
  bytes.resize(static_cast<size_t>(mostReplayBytes) + 1);
  in.read(&bytes[0], mostReplayBytes + 1);
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) return name + ": cannot be read";
  if (static_cast<std::streamsize>(bytes.size()) > mostReplayBytes) return name + ": too large for a replay";
  const std::string wrong = DecodeReplay(bytes, replay);
  if (!wrong.empty()) return name + ": " + wrong;
  const int stage = replay->header.stage;
  if (stage > GameStageCount()) return name + ": stage " + std::to_string(stage) + " does not exist";
  if (replay->ticks.empty()) return name + ": it holds no ticks";
  if (StageFilesHash(stage) != replay->header.stageHash)
    return name + ": stage " + std::to_string(stage) + " has changed since this replay was recorded";
  return "";
}

// Kept until the window is up.
void PrepareReplay(const std::string& path, const ReplayFile& replay, bool verify)
{
  preparedPath = path;
  prepared = replay;
  preparedSet = true;
  verifyOnly = verify;
}

bool ReplayPrepared()
{
  return preparedSet;
}

bool ReplayVerifying()
{
  return preparedSet && verifyOnly;
}

// The window plays it as the loop's first scene; verifying runs it to its end.
int RunPreparedReplay(CApplication* application)
{
  if (!verifyOnly) {
    application->Run(std::make_shared<CSceneReplay>(prepared, false));
    return 0;
  }
  std::string line;
  const bool asRecorded = VerifyReplay(prepared, preparedPath, &line);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  return asRecorded ? 0 : 1;
}

// One tick per frame, no frame drawn, no clock waited for.
bool VerifyReplay(const ReplayFile& replay, const std::string& name, std::string* line)
{
  CApplication* application = CApplication::GetInstance();
  const bool drawing = application->drawingAllowed;
  application->drawingAllowed = false;
  const std::shared_ptr<CSceneReplay> scene = std::make_shared<CSceneReplay>(replay, true);
  application->BeginLoop(scene);
  while (!scene->Finished() && application->RunFrame()) {}
  const ReplayOutcome outcome = scene->Outcome();
  application->EndLoop();
  application->drawingAllowed = drawing;

  const ReplayHeader& header = replay.header;
  const int recordedTicks = static_cast<int>(replay.ticks.size());
  const bool asRecorded = outcome.Matches(header, recordedTicks);
  *line = name + ": stage " + std::to_string(header.stage) + " " + Clear(outcome.clearTick, outcome.ticksPlayed) +
          ", player at " + Place(outcome.position);
  if (asRecorded) {
    *line += ": as recorded";
  } else {
    *line += ": DIVERGES from the recording (" + Clear(header.clearTick, recordedTicks) + ", player at " +
             Place(header.endPosition) + (outcome.stageEndedEarly ? ", and the stage ended early" : "") + ")";
  }
  return asRecorded;
}

// A replay that cannot be played is named on standard error and nothing else happens.
void PlayBestRun(int stage)
{
  if (stage < 1) return;
  const std::string path = BestReplayPath(ReplayFolderPath(), stage);
  if (path.empty()) return;
  ReplayFile replay;
  const std::string wrong = LoadReplayForPlay(path, &replay);
  if (!wrong.empty()) {
    std::fprintf(stderr, "solverica: %s\n", wrong.c_str());
    return;
  }
  bestRunToPlay = std::make_shared<CSceneReplay>(std::move(replay), false);
}

// Handed over once.
std::shared_ptr<CSceneBase> TakeBestRunToPlay()
{
  return std::move(bestRunToPlay);
}
