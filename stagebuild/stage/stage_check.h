// The checks every stage source must pass before anyone plays it: its meshes fit the
// engine, the start and the goal exist, every actor stands on or above a floor, every
// door has room over its opening to rise and close again, and
// walking alone (no magic, every gimmick at rest) does not lead from the start to the
// goal. Walking is searched on a grid of heights built from the parsed solids and the
// gimmicks' resting shapes, with the player's reach: how high a ledge it steps onto,
// how close it comes to a wall, how far from the goal it counts as arrived.
#pragma once

#include <string>
#include <vector>

#include "stage/stage_geometry.h"

namespace stagebuild {

// The problems of a stage's layout, each where the source causes it; empty when it is sound.
std::vector<StageSourceProblem> StageLayoutNotes(const StageGeometry& geometry);
// The same, one sentence each.
std::vector<std::string> StageLayoutProblems(const StageGeometry& geometry);

// The spacing of the checks' grid for this stage: 0.25, or coarser for a very wide one.
float StageGridCellSize(const StageGeometry& geometry);

struct StageWalkOptions {
  float clearance = 0.7f;  // how close the player's middle comes to a wall (its radius)
  float cellSize = 0.25f;  // grid spacing of the search
};

struct StageWalk {
  bool startFound = false;   // there is ground under the start to stand on
  bool goalReached = false;  // some walked point is within the goal's reach
  float goalDistance = 0;    // the nearest any walked point came to the goal
  Vec3 nearest;              // that point
  int pointsReached = 0;     // grid points walked to, at any height
};

// Everywhere walking alone leads from the start (the origin), the gimmicks at rest:
// doors and rotation doors closed, lifts at their start, blocks where placed, crack
// walls whole.
StageWalk WalkFromStart(const StageGeometry& geometry, const StageWalkOptions& options = StageWalkOptions());

}  // namespace stagebuild
