// A stage played straight from its source (solverica --stage FILE): the stage builder
// turns the source into map meshes and a stage file at start-up, written into a fresh
// private folder under the temporary folder and removed at the end of the run. The
// game scene, the map and the player's magic read the stage from here instead of the
// numbered stages of res/; the surfaces' pictures still come from res/game/map/.
#pragma once

#include <string>
#include <vector>

#include "stage/stage_geometry.h"

struct SourceStage {
  bool active = false;
  std::string sourcePath;          // as the player named it
  std::string folder;              // the private folder the built files are in
  std::string stageFile;           // the built stage file
  std::string mapMesh, depthMesh;  // the built meshes
  int magic = 3;                   // the colours the player starts with (MagicColour bits)
  double buildMilliseconds = 0;    // reading, checking, building and writing
  // What can be stood on or walked into: where a reload may keep the player.
  std::vector<stagebuild::StageSolid> solids;
};

// The stage of this run; inactive when the game plays its own stages.
const SourceStage& CurrentSourceStage();

// The game's stage number to play it under: 1 for a stage with no magic (an orb gives
// blue there), otherwise 2 (an orb gives red); never saved.
int SourceStageNumber();

// Checks and builds the source (a path absolute or from the working folder, which must
// hold res/); false with the check's report, or the reason it could not be written.
bool BuildSourceStage(const std::string& sourcePath, std::string* report);

// Builds the same source again into a fresh folder and removes the old one; when the
// source no longer builds, the stage built before stays as it was (false, the report).
bool RebuildSourceStage(std::string* report);

// Removes the built files and their folder.
void RemoveSourceStage();

// The first time the stage is drawn, says on standard error how long after the start
// of the program that was.
void NoteSourceStageDrawn();

// Marks the start of the program for that figure.
void MarkProgramStart();
