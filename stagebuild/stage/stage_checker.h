// Checking a stage source the way a stage maker needs it: every problem at once, each
// at its file:line:column, errors (the stage cannot be built or played as meant) apart
// from warnings (it can, but likely not as meant). Used by `solverica --check-stage`,
// by the build's stage tests and by the game before it plays a source.
#pragma once

#include <string>
#include <vector>

#include "stage/stage_geometry.h"

namespace stagebuild {

enum class StageNoteKind { Error, Warning };

struct StageNote {
  StageNoteKind kind = StageNoteKind::Error;
  int line = 1, column = 1;
  std::string message;
};

struct StageCheckResult {
  std::vector<StageNote> notes;  // in line order: the source's own, then the layout's
  int errors = 0, warnings = 0;
  bool stopped = false;  // so many errors that reading stopped early
};

// Exit statuses of the check command.
const int kStageCheckClean = 0;
const int kStageCheckErrors = 1;
const int kStageCheckUnreadable = 2;

// A source larger than this is not read at all.
const size_t kStageSourceMaxBytes = 64u << 20;

// Every problem of a source's text; `geometry`, when given, receives what was built
// (whole only when there are no errors).
StageCheckResult CheckStageSource(const std::string& text, StageGeometry* geometry = nullptr);

// "name:line:column: error: message" a line, then a summary line.
std::string FormatStageCheck(const std::string& name, const StageCheckResult& result);

// Reads a whole source file; false with the reason when it cannot be read.
bool ReadStageSource(const std::string& path, std::string* text, std::string* error);

// The check command: the report to print and its exit status (the constants above).
int CheckStageFile(const std::string& path, std::string* report);

}  // namespace stagebuild
