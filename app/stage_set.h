// Stage sets: a player's own game made of stage sources, a folder holding stage1.txt to
// stageN.txt (N from 1 to 8, numbered on from 1 without gaps; anything else in the
// folder is left alone). Sets are installed under stages/NAME/ beside the save file,
// played with --stage-set NAME|DIR or chosen on the title. A set plays as a game of its
// own: each stage is built from its source when it is entered, the goal leads to the
// next, the ending follows the last; its save and records are its own and the game's
// are never touched.
#pragma once

#include <string>
#include <vector>

#include "app/records.h"

struct StageSet {
  static constexpr int kMostStages = CRecords::kStageCount;
  std::string name;                 // the folder's own name
  std::string folder;               // the folder, as found
  std::vector<std::string> stages;  // stage1.txt .. stageN.txt in the folder
};

// Reads a set's folder: an empty string when it is a set, else why not (one line).
std::string ReadStageSetFolder(const std::string& folder, StageSet* set);

// Where installed sets live: stages/ beside the save file.
std::string StageSetsFolder();
// Every installed set, by name; folders that are not sets are left out.
std::vector<StageSet> InstalledStageSets();

// --stage-set's argument as given, before the program leaves the folder it was started
// in: a folder that exists there, or anything with a slash, is a DIR and made absolute;
// anything else is a NAME and kept as it is.
std::string StageSetArgumentFromStartFolder(const std::string& argument);
// The folder of that argument, from the data folder: a DIR (it has a slash) as it is, a
// NAME among the installed sets. Empty with the reason when there is none.
std::string ResolveStageSetArgument(const std::string& argument, std::string* reason);
// The run of --stage-set: the set found, read, checked and its stage built; false with
// the reason on standard error (one line) and exit code 1 when it cannot be played.
bool PrepareStageSetRun(const std::string& argument, int* exitCode);

// Checks every stage of a set: empty when all are sound, else the first error as
// "file:line:column: error: message" (or why a file cannot be read).
std::string CheckStageSet(const StageSet& set);

// Where a set keeps its save and records: its own folder when it is installed; a folder
// named after it under stage-set-saves/ beside the save file otherwise.
std::string StageSetPlayFolder(const StageSet& set);

// What the chooser shows of a set: the stage it would start at and its best time.
struct StageSetSummary {
  int savedStage = 1;  // 1 to the set's count
  int bestTicks = 0;   // the whole set's best; 0 when none
};
StageSetSummary SummariseStageSet(const StageSet& set);

// ---- the set being played ----

// Starts a set: checks it, reads its save and records, builds its saved stage. Returns
// to the title afterwards when `fromTitle`, else leaving it ends the program. False
// with the reason (one line) when it cannot be played.
bool BeginStageSet(const StageSet& set, bool fromTitle, std::string* reason);
// Whether a set is being played.
bool StageSetActive();
// Whether leaving the set leads back to the title.
bool StageSetReturnsToTitle();
// The set being played and its stage (1 to its count).
const StageSet& CurrentStageSet();
int StageSetStage();
// The set's own records.
CRecords& StageSetRecords();
// A stage of the set cleared in `ticks`: its records kept (the whole set's time after
// the last stage) and written when bettered.
void RecordStageSetClear(int ticks, ClearTime* shown);

enum class StageSetStep { NextStage, Ending, Failed };
// After a stage's goal: the next stage saved and built, or the ending after the last
// (the set's save then starts it afresh), or Failed when the next cannot be built.
StageSetStep AdvanceStageSet();
// Ends the set: its built stage removed, the game's stage number as it was.
void EndStageSet();
