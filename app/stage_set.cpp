// Stage sets: reading a set's folder, finding the installed ones, and the set being
// played, with its own save and records in its play folder.
#include "app/stage_set.h"

#include "app/application.h"
#include "app/source_stage.h"
#include "app/stage_clock.h"
#include "app/user_paths.h"
#include "stage/stage_checker.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The set being played.
struct StageSetRun {
  bool active = false;
  bool fromTitle = false;
  StageSet set;
  std::string playFolder;
  int stage = 1;
  int gameStage = 1;  // the game's own stage number, given back at the end
  CRecords records;
};

StageSetRun g_run;

// The number of a "stageN.txt" name (N from 1, no leading zero); 0 for any other name.
int StageNumberOfName(const std::string& name)
{
  if (name.size() < 10 || name.compare(0, 5, "stage") != 0 || name.compare(name.size() - 4, 4, ".txt") != 0) return 0;
  const std::string digits = name.substr(5, name.size() - 9);
  if (digits.empty() || digits.size() > 3 || digits[0] == '0') return 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
  }
  return std::stoi(digits);
}

// FNV-1a of the text as eight hex digits: the same folder always gets the same name.
std::string HashName(const std::string& text)
{
  unsigned hash = 2166136261u;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", hash);
  return hex;
}

// The first line naming an error in a check's report, else its first line.
std::string FirstErrorLine(const std::string& report)
{
  std::istringstream lines(report);
  std::string line, first;
  while (std::getline(lines, line)) {
    if (first.empty()) first = line;
    if (line.find(": error:") != std::string::npos) return line;
  }
  return first;
}

// The set's saved stage as the game's save file holds it; 1 when there is none. A damaged
// file is set aside as save.dat.bad and named once, when `setAside`.
int ReadSetSave(const std::string& path, int count, bool setAside)
{
  std::string text;
  if (!ReadWholeFile(path, &text)) return 1;
  int stage = 1;
  const std::string damage = ParseSaveText(text.data(), text.size(), count, &stage);
  if (damage.empty()) return stage;
  if (setAside) SetDamagedFileAside(path, "save of a stage set", damage, "the set starts from stage 1");
  return 1;
}

// The set's save: the stage to play next, as the game writes its own.
void WriteSetSave(int stage)
{
  const std::string path = g_run.playFolder + "/save.dat";
  if (!WriteFileReplacing(path, std::to_string(stage) + "\r\n")) {
    std::fprintf(stderr, "solverica: %s: cannot write the stage set's save (%s)\n", path.c_str(), std::strerror(errno));
  }
}

// Builds a stage of the set in place of the last; the game plays it under the number
// its magic asks for, as a single source is played.
bool BuildSetStage(int stage, std::string* reason)
{
  RemoveSourceStage();
  std::string report;
  const std::string& source = g_run.set.stages[static_cast<size_t>(stage - 1)];
  if (!BuildSourceStage(source, &report)) {
    *reason = FirstErrorLine(report);
    return false;
  }
  std::fputs(report.c_str(), stderr);  // warnings do not stop the play
  g_run.stage = stage;
  CApplication::GetInstance()->stageNumber = SourceStageNumber();
  return true;
}

}  // namespace

// Every stageN.txt is collected first, so the reason given does not depend on the
// order the folder lists its files in.
std::string ReadStageSetFolder(const std::string& folder, StageSet* set)
{
  std::error_code failed;
  const fs::file_status status = fs::status(folder, failed);
  if (!fs::exists(status)) return folder + ": no such folder";
  if (!fs::is_directory(status)) return folder + ": not a folder";
  std::vector<int> numbers;
  std::string folderStage;
  fs::directory_iterator entries(folder, failed);
  if (failed) return folder + ": cannot read the folder (" + failed.message() + ")";
  for (const fs::directory_entry& entry : entries) {
    const int number = StageNumberOfName(entry.path().filename().string());
    if (number == 0) continue;
    numbers.push_back(number);
    std::error_code ignored;
    if (entry.is_directory(ignored) && folderStage.empty()) folderStage = entry.path().filename().string();
  }
  std::sort(numbers.begin(), numbers.end());
  if (numbers.empty() || numbers.front() != 1) return folder + ": not a stage set: it has no stage1.txt";
  if (numbers.back() > StageSet::kMostStages) {
    return folder + ": stage" + std::to_string(numbers.back()) + ".txt: a set holds at most " +
           std::to_string(StageSet::kMostStages) + " stages";
  }
  if (!folderStage.empty()) return folder + "/" + folderStage + ": a folder, not a stage source";
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i] != static_cast<int>(i) + 1) {
      return folder + ": stage" + std::to_string(i + 1) + ".txt is missing before stage" + std::to_string(numbers[i]) +
             ".txt (stages are numbered from 1 without gaps)";
    }
  }
  StageSet found;
  found.folder = folder;
  fs::path named = fs::path(folder).lexically_normal();
  if (named.filename().empty()) named = named.parent_path();  // "sets/mine/" is "mine"
  found.name = named.filename().string();
  for (const int number : numbers) {
    const std::string path = folder + "/stage" + std::to_string(number) + ".txt";
    std::ifstream readable(path, std::ios::binary);
    if (!readable) return path + ": cannot be read (" + std::strerror(errno) + ")";
    found.stages.push_back(path);
  }
  *set = found;
  return "";
}

// Beside the save file, as the records and replays are.
std::string StageSetsFolder()
{
  return SaveFolderPath() + "/stages";
}

// In name order, the ones that read as sets.
std::vector<StageSet> InstalledStageSets()
{
  std::vector<StageSet> sets;
  std::error_code failed;
  fs::directory_iterator entries(StageSetsFolder(), failed);
  if (failed) return sets;
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    StageSet set;
    if (entry.is_directory(ignored) && ReadStageSetFolder(entry.path().string(), &set).empty()) sets.push_back(set);
  }
  std::sort(sets.begin(), sets.end(), [](const StageSet& a, const StageSet& b) { return a.name < b.name; });
  return sets;
}

// Absolute from the start folder, so leaving it for the data folder changes nothing.
std::string StageSetArgumentFromStartFolder(const std::string& argument)
{
  std::error_code failed;
  if (argument.empty()) return argument;
  if (argument.find('/') == std::string::npos && !fs::is_directory(argument, failed)) return argument;
  const std::string absolute = fs::absolute(argument, failed).lexically_normal().string();
  return absolute.size() > 1 && absolute.back() == '/' ? absolute.substr(0, absolute.size() - 1) : absolute;
}

// A NAME never names a folder of the data folder itself: only the installed sets.
std::string ResolveStageSetArgument(const std::string& argument, std::string* reason)
{
  std::error_code failed;
  if (argument.empty()) {
    *reason = "--stage-set needs a set's name or folder";
    return "";
  }
  if (argument.find('/') != std::string::npos) return argument;
  const std::string installed = StageSetsFolder() + "/" + argument;
  if (argument != "." && argument != ".." && fs::is_directory(installed, failed)) return installed;
  *reason = "no stage set named '" + argument + "' in " + StageSetsFolder();
  return "";
}

// Found, read, checked, built; every failure is one line.
bool PrepareStageSetRun(const std::string& argument, int* exitCode)
{
  std::string reason;
  const std::string folder = ResolveStageSetArgument(argument, &reason);
  StageSet set;
  if (!folder.empty()) reason = ReadStageSetFolder(folder, &set);
  if (reason.empty() && BeginStageSet(set, false, &reason)) return true;
  std::fprintf(stderr, "solverica: %s\n", reason.c_str());
  *exitCode = 1;
  return false;
}

// The stages in order; the first fault is the one named.
std::string CheckStageSet(const StageSet& set)
{
  for (const std::string& stage : set.stages) {
    std::string report;
    if (stagebuild::CheckStageFile(stage, &report) != stagebuild::kStageCheckClean) return FirstErrorLine(report);
  }
  return "";
}

// An installed set is its own folder's; any other is kept apart by its full path.
std::string StageSetPlayFolder(const StageSet& set)
{
  std::error_code failed;
  const fs::path folder = fs::weakly_canonical(set.folder, failed);
  const fs::path installed = fs::weakly_canonical(StageSetsFolder(), failed);
  if (folder.parent_path() == installed) return set.folder;
  return SaveFolderPath() + "/stage-set-saves/" + set.name + "-" + HashName(folder.string());
}

// Read quietly: a damaged file is named when the set is played.
StageSetSummary SummariseStageSet(const StageSet& set)
{
  StageSetSummary summary;
  const std::string folder = StageSetPlayFolder(set);
  summary.savedStage = ReadSetSave(folder + "/save.dat", static_cast<int>(set.stages.size()), false);
  std::string text;
  CRecords records;
  if (ReadWholeFile(folder + "/records.txt", &text) && records.Parse(text).empty()) {
    summary.bestTicks = records.GameBest();
  }
  return summary;
}

// From the saved stage; only a set begun from its first stage makes a whole-set time.
bool BeginStageSet(const StageSet& set, bool fromTitle, std::string* reason)
{
  if (set.stages.empty()) {
    *reason = set.folder + ": not a stage set: it has no stage1.txt";
    return false;
  }
  const std::string fault = CheckStageSet(set);
  if (!fault.empty()) {
    *reason = fault;
    return false;
  }
  EndStageSet();
  const int gameStage = CApplication::GetInstance()->stageNumber;
  g_run = StageSetRun();
  g_run.set = set;
  g_run.playFolder = StageSetPlayFolder(set);
  g_run.gameStage = gameStage;
  g_run.fromTitle = fromTitle;
  g_run.records.Load(g_run.playFolder + "/records.txt");
  const int stage = ReadSetSave(g_run.playFolder + "/save.dat", static_cast<int>(set.stages.size()), true);
  if (!BuildSetStage(stage, reason)) {
    RemoveSourceStage();
    CApplication::GetInstance()->stageNumber = gameStage;
    g_run = StageSetRun();
    return false;
  }
  g_run.active = true;
  if (stage == 1) {
    CGameClock::GetInstance().Start();
  } else {
    CGameClock::GetInstance().Cancel();
  }
  return true;
}

bool StageSetActive()
{
  return g_run.active;
}

bool StageSetReturnsToTitle()
{
  return g_run.active && g_run.fromTitle;
}

const StageSet& CurrentStageSet()
{
  return g_run.set;
}

int StageSetStage()
{
  return g_run.stage;
}

CRecords& StageSetRecords()
{
  return g_run.records;
}

// The set's last stage ends its whole time, as stage 8 does the game's.
void RecordStageSetClear(int ticks, ClearTime* shown)
{
  const int count = static_cast<int>(g_run.set.stages.size());
  if (RecordStageClear(g_run.records, CGameClock::GetInstance(), g_run.stage, ticks, shown, count)) {
    g_run.records.Save(g_run.playFolder + "/records.txt");
  }
}

// The save names the stage to play next: the next one, or the first after the last.
StageSetStep AdvanceStageSet()
{
  if (!g_run.active) return StageSetStep::Failed;
  if (g_run.stage >= static_cast<int>(g_run.set.stages.size())) {
    WriteSetSave(1);
    return StageSetStep::Ending;
  }
  WriteSetSave(g_run.stage + 1);
  std::string reason;
  if (BuildSetStage(g_run.stage + 1, &reason)) return StageSetStep::NextStage;
  std::fprintf(stderr, "solverica: %s\n", reason.c_str());
  return StageSetStep::Failed;
}

// Safe to call when no set is played.
void EndStageSet()
{
  if (!g_run.active) return;
  RemoveSourceStage();
  CApplication::GetInstance()->stageNumber = g_run.gameStage;
  g_run = StageSetRun();
}
