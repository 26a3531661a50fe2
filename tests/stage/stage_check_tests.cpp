// The stage check: the walk-only search on small made-up layouts, the layout problems
// it names, and every stage source under content/stages held to both.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "stage/stage_check.h"
#include "stage/stage_checker.h"

using stagebuild::BuildStageGeometry;
using stagebuild::StageGeometry;
using stagebuild::StageLayoutProblems;
using stagebuild::WalkFromStart;

namespace {

// A room 20 square round the origin with a raised floor (a ledge, if `ledge` is above 0)
// at its north end; the goal stands on the ledge. `extra` adds lines.
std::string LedgeRoom(float ledge, const std::string& extra)
{
  std::ostringstream text;
  text << "floor stone -10 -10 10 20 0\n"
       << "wallheight 7\nwall -11 -11 11 -10\nwall -11 20 11 21\nwall -11 -10 -10 20\nwall 10 -10 11 20\n"
       << (ledge > 0 ? "box trim -10 0 10 10 " + std::to_string(ledge) + " 20\n" : "") << "actor CGameGoal 0 " << ledge
       << " 16\n"
       << extra;
  return text.str();
}

// The source parsed; a test failure if it is refused.
StageGeometry Parse(const std::string& text)
{
  StageGeometry geometry;
  std::string error;
  EXPECT_TRUE(BuildStageGeometry(text, "test.txt", &geometry, &error)) << error;
  return geometry;
}

// A stage source's text, or empty if there is none.
std::string StageSource(int number)
{
  std::ifstream file(SOLVERICA_SOURCE_DIR "/content/stages/stage" + std::to_string(number) + ".txt", std::ios::binary);
  std::stringstream text;
  if (file) text << file.rdbuf();
  return text.str();
}

}  // namespace

TEST(StageWalkCheck, LedgesAreSteppedOntoUpToTheWallRayAndNoHigher)
{
  EXPECT_TRUE(WalkFromStart(Parse(LedgeRoom(1.2f, ""))).goalReached);
  const stagebuild::StageWalk high = WalkFromStart(Parse(LedgeRoom(1.5f, "")));
  EXPECT_TRUE(high.startFound);
  EXPECT_FALSE(high.goalReached);
  EXPECT_NEAR(high.nearest.y, 0.0f, 1e-4f) << "stayed on the floor";
  EXPECT_GT(high.pointsReached, 1000) << "but walked the room";
}

TEST(StageWalkCheck, StairsAndRampsLeadUpAndTheGoalCountsFromItsReach)
{
  EXPECT_TRUE(WalkFromStart(Parse(LedgeRoom(2.4f, "stairs stone -2 4 2 10 0 2.4 6 +z\n"))).goalReached);
  EXPECT_TRUE(WalkFromStart(Parse(LedgeRoom(2.4f, "ramp wood 6 0 9 10 0 2.4 +z\n"))).goalReached);
  // A ramp rising the wrong way ends in a wall of its own height.
  EXPECT_FALSE(WalkFromStart(Parse(LedgeRoom(2.4f, "ramp wood 6 0 9 10 0 2.4 -z\n"))).goalReached);
  // A goal floating 2.2 over the reachable floor is reached, from below.
  EXPECT_TRUE(WalkFromStart(Parse("floor stone -5 -5 5 5 0\nactor CGameGoal 3 2.2 3\n")).goalReached);
}

TEST(StageWalkCheck, RestingGimmicksCloseOrOpenTheWay)
{
  // A wall across the room with a doorway 4 wide at x -2..2, z 4..5.
  const std::string doorway = LedgeRoom(0, "wall -10 4 -2 5\nwall 2 4 10 5\n");
  EXPECT_TRUE(WalkFromStart(Parse(doorway)).goalReached);
  EXPECT_FALSE(WalkFromStart(Parse(doorway + "actor CGameDoor 0 0 4.5\n")).goalReached) << "a closed door";
  EXPECT_FALSE(WalkFromStart(Parse(doorway + "actor CGameCrackWall 0 0 4.5\n")).goalReached);
  EXPECT_TRUE(WalkFromStart(Parse(doorway + "actor CGameButton 0 0 2\nactor CGameMagicOrb 0 1 4.5\n")).goalReached)
      << "buttons are stepped on, orbs walked through";
  // A block stands where it is placed: from a bench (up a step) onto the block, from
  // the block onto a ledge too high for the bench.
  const std::string highLedge = LedgeRoom(4.2f, "box trim -10 0 4 -1.5 0.9 6\nbox trim -10 0 6 -1.5 1.8 10\n");
  EXPECT_FALSE(WalkFromStart(Parse(highLedge)).goalReached);
  EXPECT_TRUE(WalkFromStart(Parse(highLedge + "actor CGameMetalBlock 0 0 8.5\n")).goalReached);
  EXPECT_FALSE(WalkFromStart(Parse(highLedge + "actor CGameMetalBlock 4 0 8.5\n")).goalReached)
      << "a block away from the bench is too high to climb";
}

TEST(StageWalkCheck, GapsNarrowerThanThePlayerStopItAndWiderOnesDoNot)
{
  const std::string narrow = LedgeRoom(0, "wall -10 4 -0.6 5\nwall 0.6 4 10 5\n");
  EXPECT_FALSE(WalkFromStart(Parse(narrow)).goalReached);
  stagebuild::StageWalkOptions thin;
  thin.clearance = 0.25f;
  EXPECT_TRUE(WalkFromStart(Parse(narrow), thin).goalReached) << "a thinner player squeezes through";
}

TEST(StageLayoutCheck, NamesEachProblem)
{
  EXPECT_TRUE(StageLayoutProblems(Parse(LedgeRoom(2.4f, ""))).empty());
  const std::vector<std::string> problems =
      StageLayoutProblems(Parse("floor stone 2 2 6 6 0\n"
                                "box trim 3 0 3 5 3 5\n"
                                "actor CGameMetalBlock 4 1 4\n"
                                "actor CGameTorch 20 3 20\n"));
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problems[0], "a stage needs one goal, not 0");
  EXPECT_EQ(problems[1], "no floor to stand on at the start (the origin)");
  EXPECT_EQ(problems[2], "CGameMetalBlock at (4, 1, 4) is inside a solid");
  EXPECT_EQ(problems[3], "CGameTorch at (20, 3, 20) has no floor under it");

  // A lintel or a ceiling over a door's opening, low enough for its rising edge to meet,
  // keeps it from ever closing; one above where it rises does not.
  const std::string doorway = LedgeRoom(0, "wall -10 4 -2 5\nwall 2 4 10 5\nactor CGameDoor 0 0 4.5\n");
  EXPECT_TRUE(StageLayoutProblems(Parse(doorway)).empty());
  EXPECT_TRUE(StageLayoutProblems(Parse(doorway + "box brick -2 7.5 4 2 9 5\n")).empty());
  const std::vector<std::string> held = StageLayoutProblems(Parse(doorway + "detail box trim -11 6.5 -11 11 7 21\n"));
  ASSERT_EQ(held.size(), 1u);
  EXPECT_EQ(held[0], "CGameDoor at (0, 0, 4.5) cannot close: a solid lies over its opening");
}

// Each shipped stage: clean through the stage checker, and from stage 2 on not walkable
// to its goal. A missing source is a failure: the game ships all eight.
class StageSources : public ::testing::TestWithParam<int> {};

TEST_P(StageSources, IsSoundAndFromTheSecondOnNeedsMoreThanWalking)
{
  const int n = GetParam();
  const std::string text = StageSource(n);
  ASSERT_FALSE(text.empty()) << "no content/stages/stage" << n << ".txt";
  StageGeometry geometry;
  const stagebuild::StageCheckResult check = stagebuild::CheckStageSource(text, &geometry);
  EXPECT_EQ(check.errors + check.warnings, 0)
      << stagebuild::FormatStageCheck("stage" + std::to_string(n) + ".txt", check);
  const stagebuild::StageWalk walk = WalkFromStart(geometry);
  EXPECT_TRUE(walk.startFound);
  std::printf("stage %d: %d points walked, the nearest %.2f from the goal at (%.2f, %.2f, %.2f)\n", n,
              walk.pointsReached, walk.goalDistance, walk.nearest.x, walk.nearest.y, walk.nearest.z);
  if (n == 1) {
    EXPECT_TRUE(walk.goalReached) << "the first stage is walked";
    EXPECT_EQ(geometry.magic, stagebuild::kStageMagicNone) << "and says so";
    return;
  }
  EXPECT_FALSE(walk.goalReached) << "walked to (" << walk.nearest.x << ", " << walk.nearest.y << ", " << walk.nearest.z
                                 << "), " << walk.goalDistance << " from the goal";
}

INSTANTIATE_TEST_SUITE_P(EveryStage, StageSources, ::testing::Range(1, 9));
