// The replay recorder and the replays folder's upkeep. Files are named
// YYYYMMDD-HHMMSS-sN-NNN.replay (UTC), so sorting names sorts attempts oldest first.
#include "replay/replay_recorder.h"

#include "app/user_paths.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
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

// The whole file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *bytes = all.str();
  return !in.bad();
}

// Writes through a temporary file and a rename, so a crash never leaves half a replay.
bool WriteReplayFile(const std::string& path, const std::string& bytes)
{
  const std::string temporary = path + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
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
  if (!WriteReplayFile(path, EncodeReplay(replay))) {
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

// Reads every header once: the best clear per stage (the earliest file among equals)
// and the newest keepLast stay.
void TidyReplayFolder(const std::string& folder, size_t keepLast)
{
  const std::vector<std::string> names = ReplayNames(folder);
  std::map<int, std::pair<int32_t, std::string>> best;  // stage: clear ticks, name
  std::vector<std::string> usable;
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    std::string bytes;
    ReplayHeader header;
    std::string wrong = ReadWholeFile(path, &bytes) ? DecodeReplayHeader(bytes, &header) : "cannot be read";
    if (!wrong.empty()) {
      std::fprintf(stderr, "solverica: %s: %s; set aside as %s.bad\n", path.c_str(), wrong.c_str(), name.c_str());
      std::rename(path.c_str(), (path + ".bad").c_str());
      continue;
    }
    usable.push_back(name);
    if (header.clearTick < 0) continue;
    const auto found = best.find(header.stage);
    if (found == best.end() || header.clearTick < found->second.first) best[header.stage] = {header.clearTick, name};
  }
  for (size_t i = 0; i < usable.size(); ++i) {
    const bool recent = usable.size() - i <= keepLast;
    const bool personalBest =
        std::any_of(best.begin(), best.end(), [&](const auto& entry) { return entry.second.second == usable[i]; });
    if (!recent && !personalBest) std::remove((folder + "/" + usable[i]).c_str());
  }
}

// The same choice as the tidying: the lowest clear, the earliest file among equals.
std::string BestReplayPath(const std::string& folder, int stage)
{
  std::string bestName;
  int32_t bestTicks = -1;
  for (const std::string& name : ReplayNames(folder)) {
    std::string bytes;
    ReplayHeader header;
    if (!ReadWholeFile(folder + "/" + name, &bytes) || !DecodeReplayHeader(bytes, &header).empty()) continue;
    if (header.stage != stage || header.clearTick < 0) continue;
    if (bestTicks < 0 || header.clearTick < bestTicks) {
      bestTicks = header.clearTick;
      bestName = name;
    }
  }
  return bestName.empty() ? "" : folder + "/" + bestName;
}
