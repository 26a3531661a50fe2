// The stage check: the source's own problems, then the layout's, then the walk-alone
// search, which only runs on a source with no errors (it needs the whole stage).
#include "stage/stage_checker.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "stage/stage_check.h"

namespace stagebuild {

namespace {

// Reading stops after this many problems: the rest are most likely the same mistake.
const size_t kMaxProblems = 100;

// An error note from a problem.
StageNote ErrorNote(const StageSourceProblem& problem)
{
  return {StageNoteKind::Error, problem.line, problem.column, problem.message};
}

}  // namespace

// Source problems first; the layout and the walk only when the source built.
StageCheckResult CheckStageSource(const std::string& text, StageGeometry* geometry)
{
  StageCheckResult result;
  StageGeometry local;
  StageGeometry& built = geometry ? *geometry : local;
  const std::vector<StageSourceProblem> problems = ParseStageSource(text, &built, kMaxProblems);
  for (const StageSourceProblem& problem : problems) result.notes.push_back(ErrorNote(problem));
  result.stopped = problems.size() >= kMaxProblems;
  if (problems.empty()) {
    for (const StageSourceProblem& problem : StageLayoutNotes(built)) result.notes.push_back(ErrorNote(problem));
  }
  if (result.notes.empty() && built.magic != kStageMagicNone) {
    StageWalkOptions options;
    options.cellSize = StageGridCellSize(built);
    const StageWalk walk = WalkFromStart(built, options);
    for (const StageActorEntry& actor : built.actors) {
      if (actor.name != "CGameGoal" || !walk.goalReached) continue;
      result.notes.push_back({StageNoteKind::Warning, actor.line, actor.column,
                              "the goal is reached by walking alone: the stage asks for no magic "
                              "(write 'magic none' if that is meant)"});
    }
  }
  for (const StageNote& note : result.notes) ++(note.kind == StageNoteKind::Error ? result.errors : result.warnings);
  return result;
}

// One line a note, as compilers write them, and the totals.
std::string FormatStageCheck(const std::string& name, const StageCheckResult& result)
{
  std::string report;
  for (const StageNote& note : result.notes) {
    report += name + ":" + std::to_string(note.line) + ":" + std::to_string(note.column) +
              (note.kind == StageNoteKind::Error ? ": error: " : ": warning: ") + note.message + "\n";
  }
  if (result.stopped) report += name + ": stopped after " + std::to_string(result.errors) + " errors\n";
  if (result.errors == 0 && result.warnings == 0) return report + name + ": the stage is sound\n";
  report += name + ": " + std::to_string(result.errors) + (result.errors == 1 ? " error, " : " errors, ") +
            std::to_string(result.warnings) + (result.warnings == 1 ? " warning\n" : " warnings\n");
  return report;
}

// A regular file of at most kStageSourceMaxBytes, read whole.
bool ReadStageSource(const std::string& path, std::string* text, std::string* error)
{
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    *error = path + ": cannot be read: no such file";
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *error = path + ": cannot be read: not a file";
    return false;
  }
  if (static_cast<unsigned long long>(info.st_size) > kStageSourceMaxBytes) {
    *error = path + ": too large for a stage source (" + std::to_string(info.st_size) + " bytes, at most " +
             std::to_string(kStageSourceMaxBytes) + ")";
    return false;
  }
  const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) {
    *error = path + ": cannot be read: permission denied or no such file";
    return false;
  }
  text->assign(static_cast<size_t>(info.st_size), '\0');
  const size_t read = std::fread(text->data(), 1, text->size(), file.get());
  if (read != text->size() || std::ferror(file.get())) {
    *error = path + ": cannot be read: a read error";
    return false;
  }
  return true;
}

// Read, check, format; the status says which.
int CheckStageFile(const std::string& path, std::string* report)
{
  std::string text, error;
  if (!ReadStageSource(path, &text, &error)) {
    *report = error + "\n";
    return kStageCheckUnreadable;
  }
  const StageCheckResult result = CheckStageSource(text);
  *report = FormatStageCheck(path, result);
  return result.errors > 0 ? kStageCheckErrors : kStageCheckClean;
}

}  // namespace stagebuild
