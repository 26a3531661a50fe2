// Stage checks: mesh limits, start, goal, actors on floors, and the walk-only search
// over a grid of vertical spans.
#include "stage/stage_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <unordered_set>

#include "mesh/xfile_writer.h"

namespace stagebuild {

namespace {

// The player: it lands on ground found up to this far above its feet (its ground rays
// start 1.6 above feet sunk 0.2 by gravity)...
const float kLandingReach = 1.42f;
// ...but a face at this height above its feet (its wall ray: half its height plus a
// third, over feet 0.02 above the ground) stops it first.
const float kWallRayHeight = 1.353f;
// Half side of the square of the player's ground rays.
const float kFootprint = 0.3f;
// The goal is reached within this distance of its position.
const float kGoalReach = 2.3f;
// How far a door rises above its floor.
const float kDoorRise = 7.0f;

// The shape a gimmick has while nothing moves it: a box about its position (x, z and
// height ranges), as its collision mesh is built. Gimmicks not listed (orbs, torches,
// puddles, the goal) neither carry nor stop the player.
struct RestingShape {
  const char* name;
  float x0, x1, z0, z1, bottom, top;
};
const RestingShape kRestingShapes[] = {
    {"CGameMetalBlock", -1.5f, 1.5f, -1.5f, 1.5f, 0.0f, 3.0f},    // a cube of edge 3 on its base
    {"CGameDoor", -2.2f, 2.2f, -0.4f, 0.4f, 0.0f, 7.0f},          // closed, across a passage along z
    {"CGameRotationDoor", -2.9f, 2.9f, -0.3f, 0.3f, 0.0f, 6.0f},  // closed, turning about its middle
    {"CGameMetalLift", -1.5f, 1.5f, -1.5f, 1.5f, 0.0f, 0.45f},    // at the start of its rail
    {"CGameWoodLift", -1.5f, 1.5f, -1.5f, 1.5f, 0.0f, 0.45f},     // down on the floor
    {"CGameButton", -1.2f, 1.2f, -1.2f, 1.2f, 0.0f, 0.26f},       // its foundation, stepped on
    {"CGameLiver", -0.6f, 0.6f, -0.7f, 0.7f, 0.0f, 0.3f},         // its foundation
    {"CGameCannon", -1.0f, 1.0f, -0.95f, 0.95f, 0.0f, 2.3f},
    {"CGameCrackWall", -3.5f, 3.5f, -0.5f, 0.5f, 0.0f, 8.0f},    // whole, across a passage along z
    {"CGamePoppingFist", -2.3f, 0.0f, -1.0f, 1.0f, 0.4f, 2.6f},  // retracted, its head at its position
};

// A vertical stretch of solid over one grid point.
struct Span {
  float lo, top;
};

// The stage's solids and resting gimmicks sampled at the middle of every grid cell.
class CSpanGrid {
public:
  CSpanGrid(const StageGeometry& geometry, float cellSize);
  // Cell index of a point, or -1 outside the grid.
  int CellAt(float x, float z) const;
  Vec3 CellCentre(int cell) const;
  const std::vector<Span>& SpansAt(int cell) const { return spans[cell]; }
  // Whether a solid within `reach` of the cell covers the height y.
  bool Covered(int cell, float y, float reach) const;
  // The highest top at or below y under the square of half side `reach`; false if none.
  bool GroundBelow(int cell, float y, float reach, float* top) const;
  // The cell moved by whole cells, or -1 outside.
  int Neighbour(int cell, int dx, int dz) const;

private:
  void AddSolid(const StageSolid& solid);
  float x0 = 0, z0 = 0, size = 0.25f;
  int columns = 0, rows = 0;
  std::vector<std::vector<Span>> spans;
};

// Every solid and resting gimmick drawn into the cells their footprints cover.
CSpanGrid::CSpanGrid(const StageGeometry& geometry, float cellSize) : size(cellSize)
{
  std::vector<StageSolid> solids = geometry.solids;
  for (const StageActorEntry& actor : geometry.actors) {
    for (const RestingShape& shape : kRestingShapes) {
      if (actor.name != shape.name) continue;
      StageSolid box;
      box.lo = {actor.x + shape.x0, actor.y + shape.bottom, actor.z + shape.z0};
      box.hi = {actor.x + shape.x1, actor.y + shape.top, actor.z + shape.z1};
      solids.push_back(box);
    }
  }
  float x1 = 0, z1 = 0;
  for (const StageSolid& s : solids) {
    x0 = std::min(x0, s.lo.x);
    z0 = std::min(z0, s.lo.z);
    x1 = std::max(x1, s.hi.x);
    z1 = std::max(z1, s.hi.z);
  }
  x0 -= 2 * size;
  z0 -= 2 * size;
  columns = static_cast<int>(std::ceil((x1 - x0) / size)) + 2;
  rows = static_cast<int>(std::ceil((z1 - z0) / size)) + 2;
  spans.resize(static_cast<size_t>(columns) * rows);
  for (const StageSolid& s : solids) AddSolid(s);
}

// The solid into the cells whose middles lie inside its footprint.
void CSpanGrid::AddSolid(const StageSolid& solid)
{
  const int c0 = std::max(0, static_cast<int>(std::ceil((solid.lo.x - x0) / size - 0.5f)));
  const int c1 = std::min(columns - 1, static_cast<int>(std::floor((solid.hi.x - x0) / size - 0.5f)));
  const int r0 = std::max(0, static_cast<int>(std::ceil((solid.lo.z - z0) / size - 0.5f)));
  const int r1 = std::min(rows - 1, static_cast<int>(std::floor((solid.hi.z - z0) / size - 0.5f)));
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const Vec3 p = CellCentre(r * columns + c);
      spans[r * columns + c].push_back({solid.lo.y, solid.TopAt(p.x, p.z)});
    }
  }
}

int CSpanGrid::CellAt(float x, float z) const
{
  const int c = static_cast<int>(std::floor((x - x0) / size)), r = static_cast<int>(std::floor((z - z0) / size));
  if (c < 0 || r < 0 || c >= columns || r >= rows) return -1;
  return r * columns + c;
}

Vec3 CSpanGrid::CellCentre(int cell) const
{
  return {x0 + (static_cast<float>(cell % columns) + 0.5f) * size, 0,
          z0 + (static_cast<float>(cell / columns) + 0.5f) * size};
}

int CSpanGrid::Neighbour(int cell, int dx, int dz) const
{
  const int c = cell % columns + dx, r = cell / columns + dz;
  if (c < 0 || r < 0 || c >= columns || r >= rows) return -1;
  return r * columns + c;
}

bool CSpanGrid::Covered(int cell, float y, float reach) const
{
  const int k = static_cast<int>(std::round(reach / size));
  for (int dz = -k; dz <= k; ++dz) {
    for (int dx = -k; dx <= k; ++dx) {
      const int n = Neighbour(cell, dx, dz);
      if (n < 0) continue;
      for (const Span& s : spans[n]) {
        if (s.lo < y && y < s.top) return true;
      }
    }
  }
  return false;
}

bool CSpanGrid::GroundBelow(int cell, float y, float reach, float* top) const
{
  const int k = static_cast<int>(std::round(reach / size));
  bool found = false;
  for (int dz = -k; dz <= k; ++dz) {
    for (int dx = -k; dx <= k; ++dx) {
      const int n = Neighbour(cell, dx, dz);
      if (n < 0) continue;
      for (const Span& s : spans[n]) {
        if (s.top <= y && (!found || s.top > *top)) {
          *top = s.top;
          found = true;
        }
      }
    }
  }
  return found;
}

// How far above the floor a standing gimmick's position may be and still stand on it.
const float kStandingGap = 0.1f;

// Gimmicks fixed to the floor they stand on; the others float (orbs, the goal), fall
// onto it (blocks) or are held by their rails and walls (metal lifts, popping fists).
bool StandsOnFloor(const std::string& name)
{
  for (const char* fixed : {"CGameButton", "CGameLiver", "CGameDoor", "CGameRotationDoor", "CGameCannon",
                            "CGameCrackWall", "CGameWoodLift", "CGameTorch", "CGameDropWaterPoint"}) {
    if (name == fixed) return true;
  }
  return false;
}

// The goals of the stage file.
std::vector<const StageActorEntry*> Goals(const StageGeometry& geometry)
{
  std::vector<const StageActorEntry*> goals;
  for (const StageActorEntry& actor : geometry.actors) {
    if (actor.name == "CGameGoal") goals.push_back(&actor);
  }
  return goals;
}

// "CGameGoal at (1, 2, 3)" for messages.
std::string Describe(const StageActorEntry& actor)
{
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, " at (%g, %g, %g)", actor.x, actor.y, actor.z);
  return actor.name + buffer;
}

// A door closes downwards until one of five rays from its bottom edge (its middle, 0.5
// before and behind it, 1.8 to either side) meets something; a solid anywhere over its
// opening, up to where it rises, holds it open for good.
bool DoorHeldOpen(const std::vector<StageSolid>& solids, const StageActorEntry& door)
{
  const float probes[5][2] = {{0, 0}, {0, 0.5f}, {0, -0.5f}, {-1.8f, 0}, {1.8f, 0}};
  for (const auto& probe : probes) {
    const float x = door.x + probe[0], z = door.z + probe[1];
    for (const StageSolid& s : solids) {
      if (x < s.lo.x || x > s.hi.x || z < s.lo.z || z > s.hi.z) continue;
      if (s.TopAt(x, z) > door.y + 0.05f && s.lo.y < door.y + kDoorRise + 0.1f) return true;
    }
  }
  return false;
}

}  // namespace

// 0.25 for every stage of the game's size; coarser for a stage so wide that a finer grid
// would keep the checks busy for many seconds.
float StageGridCellSize(const StageGeometry& geometry)
{
  const float kMostCells = 100000.0f;
  float x0 = 0, z0 = 0, x1 = 0, z1 = 0;
  for (const StageSolid& solid : geometry.solids) {
    x0 = std::min(x0, solid.lo.x);
    z0 = std::min(z0, solid.lo.z);
    x1 = std::max(x1, solid.hi.x);
    z1 = std::max(z1, solid.hi.z);
  }
  return std::max(0.25f, std::sqrt((x1 - x0) * (z1 - z0) / kMostCells));
}

// The first solid of the source whose box holds the point, or null.
const StageSolid* SolidAt(const std::vector<StageSolid>& solids, float x, float y, float z)
{
  for (const StageSolid& s : solids) {
    if (x >= s.lo.x && x <= s.hi.x && z >= s.lo.z && z <= s.hi.z && y > s.lo.y && y < s.TopAt(x, z)) return &s;
  }
  return nullptr;
}

// Mesh sizes, one goal, a floor under the start and under every actor, nothing buried;
// each problem at the line it comes from, or at the first line when it is the whole stage's.
std::vector<StageSourceProblem> StageLayoutNotes(const StageGeometry& geometry)
{
  std::vector<StageSourceProblem> problems;
  auto note = [&](int line, int column, const std::string& message) {
    problems.push_back({std::max(line, 1), std::max(column, 1), message});
  };
  if (geometry.map.vertices.size() > kMaxMeshVertices) note(1, 1, "the map mesh has too many vertices");
  if (geometry.depthMap.vertices.size() > kMaxMeshVertices) note(1, 1, "the depth mesh has too many vertices");
  const std::vector<const StageActorEntry*> goals = Goals(geometry);
  if (goals.empty()) note(geometry.lineCount, 1, "a stage needs one goal, not 0");
  if (goals.size() > 1)
    note(goals[1]->line, goals[1]->column, "a stage needs one goal, not " + std::to_string(goals.size()));

  // Actors are checked against the map's solids alone, so a block may sit beside a door.
  StageGeometry mapOnly;
  mapOnly.solids = geometry.solids;
  const CSpanGrid grid(mapOnly, StageGridCellSize(geometry));
  const int start = grid.CellAt(0, 0);
  float ground = 0;
  if (start < 0 || !grid.GroundBelow(start, kLandingReach, 0, &ground) || ground < -0.5f) {
    note(1, 1, "no floor to stand on at the start (the origin)");
  } else if (grid.Covered(start, ground + kWallRayHeight, 0)) {
    const StageSolid* wall = SolidAt(geometry.solids, 0, ground + kWallRayHeight, 0);
    note(wall ? wall->line : 1, wall ? wall->column : 1, "the start (the origin) is inside a solid");
  }
  for (const StageActorEntry& actor : geometry.actors) {
    const int cell = grid.CellAt(actor.x, actor.z);
    float top = 0;
    if (cell < 0 || !grid.GroundBelow(cell, actor.y + 0.05f, 0, &top)) {
      note(actor.line, actor.column, Describe(actor) + " has no floor under it");
    } else if (grid.Covered(cell, actor.y + 0.1f, 0)) {
      note(actor.line, actor.column, Describe(actor) + " is inside a solid");
    } else if (StandsOnFloor(actor.name) && actor.y - top > kStandingGap) {
      char gap[32];
      std::snprintf(gap, sizeof gap, "%g", actor.y - top);
      note(actor.line, actor.column, Describe(actor) + " stands " + gap + " above the floor under it");
    }
    if (actor.name == "CGameDoor" && DoorHeldOpen(geometry.solids, actor)) {
      note(actor.line, actor.column, Describe(actor) + " cannot close: a solid lies over its opening");
    }
  }
  return problems;
}

// The same problems as sentences alone, in the same order.
std::vector<std::string> StageLayoutProblems(const StageGeometry& geometry)
{
  std::vector<std::string> messages;
  for (const StageSourceProblem& problem : StageLayoutNotes(geometry)) messages.push_back(problem.message);
  return messages;
}

// A breadth-first search over (cell, height) from the ground under the origin.
StageWalk WalkFromStart(const StageGeometry& geometry, const StageWalkOptions& options)
{
  StageWalk walk;
  const CSpanGrid grid(geometry, options.cellSize);
  const std::vector<const StageActorEntry*> goals = Goals(geometry);
  const Vec3 goal = goals.empty() ? Vec3{1e9f, 1e9f, 1e9f} : Vec3{goals[0]->x, goals[0]->y, goals[0]->z};
  walk.goalDistance = 1e9f;

  struct State {
    int cell;
    float y;
  };
  std::deque<State> queue;
  std::unordered_set<long long> seen;
  // Visits a standing point once; heights are told apart to the centimetre.
  auto visit = [&](int cell, float y) {
    const long long key =
        static_cast<long long>(cell) * 1000000 + static_cast<long long>(std::lround(y * 100)) + 500000;
    if (!seen.insert(key).second) return;
    queue.push_back({cell, y});
    const Vec3 p = grid.CellCentre(cell);
    const Vec3 at{p.x, y, p.z};
    const float d = Length(at - goal);
    if (d < walk.goalDistance) {
      walk.goalDistance = d;
      walk.nearest = at;
    }
  };

  const int start = grid.CellAt(0, 0);
  float ground = 0;
  if (start < 0 || !grid.GroundBelow(start, kLandingReach, kFootprint, &ground)) return walk;
  walk.startFound = true;
  visit(start, ground);
  while (!queue.empty()) {
    const State s = queue.front();
    queue.pop_front();
    for (int dz = -1; dz <= 1; ++dz) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int next = grid.Neighbour(s.cell, dx, dz);
        if (next < 0 || (dx == 0 && dz == 0)) continue;
        if (grid.Covered(next, s.y + kWallRayHeight, options.clearance)) continue;
        float top = 0;
        // With nothing under it the player would fall for ever: not a way on.
        if (!grid.GroundBelow(next, s.y + kLandingReach, kFootprint, &top)) continue;
        visit(next, top);
      }
    }
  }
  walk.pointsReached = static_cast<int>(seen.size());
  // A grid point stands for its whole cell, so the reach grows by half a diagonal.
  walk.goalReached = walk.goalDistance <= kGoalReach + options.cellSize * 0.71f;
  return walk;
}

}  // namespace stagebuild
