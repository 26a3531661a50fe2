// The replay recorder and the replays folder's upkeep. Files are named
// YYYYMMDD-HHMMSS-sN-NNN.replay (UTC), so sorting names sorts attempts oldest first.
#include "replay/replay_recorder.h"

#include "app/user_paths.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <map>
#include <sys/stat.h>
#include <vector>

namespace {

const char* const replayExtension = ".replay";

// Whether a name ends with the extension.
bool IsReplayName(const std::string& name)
{
  const std::string extension = replayExtension;
  return name.size() > extension.size() &&
         name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
}

// The replay names in a folder, sorted (oldest first).
std::vector<std::string> ReplayNames(const std::string& folder)
{
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    if (IsReplayName(entry->d_name)) names.push_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Whether something exists at the path.
bool Exists(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// A new file name for this moment and stage, one not taken yet.
std::string NewReplayName(const std::string& folder, int stage)
{
  const std::time_t now = std::time(nullptr);
  std::tm utc = {};
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  for (int number = 0;; ++number) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-s%d-%03d%s", stamp, stage, number, replayExtension);
    if (!Exists(folder + "/" + name)) return name;
  }
}

}  // namespace

// Created on first use.
CReplayRecorder* CReplayRecorder::GetInstance()
{
  static CReplayRecorder recorder;
  return &recorder;
}

// A fresh attempt; an unfinished one before it is dropped.
void CReplayRecorder::Begin(const ReplayHeader& header)
{
  replay.header = header;
  replay.ticks.clear();
  replay.ticks.reserve(4096);
  recording = true;
}

// Past the longest attempt a file holds, ticks are no longer kept.
void CReplayRecorder::Capture(const ReplayTick& tick)
{
  if (!recording || replay.ticks.size() >= kReplayMostTicks) return;
  replay.ticks.push_back(tick);
}

// The header's outcome, then the file, then the folder's upkeep.
std::string CReplayRecorder::Finish(bool cleared, int clearTicks, const float position[3], const std::string& folder)
{
  if (!recording) return "";
  recording = false;
  const int ticks = static_cast<int>(replay.ticks.size());
  replay.header.clearTick = cleared ? std::clamp(clearTicks, 0, ticks) : -1;
  for (int i = 0; i < 3; ++i) replay.header.endPosition[i] = position[i];
  if (!MakeFolders(folder)) {
    std::fprintf(stderr, "solverica: %s: cannot make the replays folder\n", folder.c_str());
    return "";
  }
  const std::string path = folder + "/" + NewReplayName(folder, replay.header.stage);
  if (!WriteFileReplacing(path, EncodeReplay(replay))) {
    std::fprintf(stderr, "solverica: %s: cannot write the replay\n", path.c_str());
    return "";
  }
  replay.ticks.clear();
  TidyReplayFolder(folder, kReplaysKept);
  return path;
}

// Nothing is written.
void CReplayRecorder::Abandon()
{
  recording = false;
  replay.ticks.clear();
}

namespace {

// A replay of the folder and its header.
struct NamedHeader {
  std::string name;
  ReplayHeader header;
};

// The headers of the folder's replays, oldest first; those that do not read are named
// in `unreadable` with what is wrong (when asked for).
std::vector<NamedHeader> ReadReplayHeaders(const std::string& folder,
                                           std::vector<std::pair<std::string, std::string>>* unreadable)
{
  std::vector<NamedHeader> headers;
  for (const std::string& name : ReplayNames(folder)) {
    std::string bytes;
    NamedHeader named{name, {}};
    const std::string wrong =
        ReadWholeFile(folder + "/" + name, &bytes) ? DecodeReplayHeader(bytes, &named.header) : "cannot be read";
    if (wrong.empty()) {
      headers.push_back(named);
    } else if (unreadable) {
      unreadable->emplace_back(name, wrong);
    }
  }
  return headers;
}

// The best clear of each stage: the lowest clear tick, the earliest file among equals.
std::map<int, std::string> BestOfEachStage(const std::vector<NamedHeader>& headers)
{
  std::map<int, std::pair<int32_t, std::string>> best;  // stage: clear ticks, name
  for (const NamedHeader& named : headers) {
    const ReplayHeader& header = named.header;
    if (header.clearTick < 0) continue;
    const auto found = best.find(header.stage);
    if (found == best.end() || header.clearTick < found->second.first)
      best[header.stage] = {header.clearTick, named.name};
  }
  std::map<int, std::string> names;
  for (const auto& [stage, entry] : best) names[stage] = entry.second;
  return names;
}

}  // namespace

// Reads every header once: the best clear per stage and the newest keepLast stay.
void TidyReplayFolder(const std::string& folder, size_t keepLast)
{
  std::vector<std::pair<std::string, std::string>> unreadable;
  const std::vector<NamedHeader> usable = ReadReplayHeaders(folder, &unreadable);
  for (const auto& [name, wrong] : unreadable) {
    const std::string path = folder + "/" + name;
    std::fprintf(stderr, "solverica: %s: %s; set aside as %s.bad\n", path.c_str(), wrong.c_str(), name.c_str());
    std::rename(path.c_str(), (path + ".bad").c_str());
  }
  const std::map<int, std::string> best = BestOfEachStage(usable);
  for (size_t i = 0; i < usable.size(); ++i) {
    const bool recent = usable.size() - i <= keepLast;
    const bool personalBest =
        std::any_of(best.begin(), best.end(), [&](const auto& entry) { return entry.second == usable[i].name; });
    if (!recent && !personalBest) std::remove((folder + "/" + usable[i].name).c_str());
  }
}

// The same choice as the tidying.
std::string BestReplayPath(const std::string& folder, int stage)
{
  const std::map<int, std::string> best = BestOfEachStage(ReadReplayHeaders(folder, nullptr));
  const auto found = best.find(stage);
  return found == best.end() ? "" : folder + "/" + found->second;
}
