// The stage checker a stage maker runs: every problem with its line and column, the
// nearest known word for a misspelt one, the layout's problems at the lines that cause
// them, the walk-alone warning, the exit statuses, and files as people write them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "stage/nearest_word.h"
#include "stage/stage_checker.h"

using stagebuild::CheckStageSource;
using stagebuild::StageCheckResult;
using stagebuild::StageNoteKind;

namespace {

// A sound little stage: a walled room, a ledge too high to climb, the goal on it.
const char kRoom[] =
    "floor stone -10 -10 10 20 0\n"
    "wallheight 7\n"
    "wall -11 -11 11 -10\n"
    "wall -11 20 11 21\n"
    "wall -11 -10 -10 20\n"
    "wall 10 -10 11 20\n"
    "box trim -10 0 10 10 3 20\n"
    "actor CGameMetalBlock 0 0 6\n"
    "actor CGameGoal 0 3 16\n";

// The notes as "line:column: message" lines, errors and warnings told apart.
std::string Notes(const StageCheckResult& result)
{
  std::string text;
  for (const stagebuild::StageNote& note : result.notes) {
    text += std::to_string(note.line) + ":" + std::to_string(note.column) +
            (note.kind == StageNoteKind::Error ? " E " : " W ") + note.message + "\n";
  }
  return text;
}

// A file in the test's temporary folder with these bytes; its path.
std::string WriteTemporary(const std::string& name, const std::string& bytes)
{
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace

TEST(StageChecker, ASoundStageHasNoNotesAndSaysSo)
{
  const StageCheckResult result = CheckStageSource(kRoom);
  EXPECT_EQ(Notes(result), "");
  EXPECT_EQ(stagebuild::FormatStageCheck("room.txt", result), "room.txt: the stage is sound\n");
}

TEST(StageChecker, EveryBadLineIsNamedAtItsColumnWithTheNearestWord)
{
  const StageCheckResult result = CheckStageSource(std::string(kRoom) +
                                                   "flor stone 0 0 1 1 0\n"
                                                   "box  stnoe 0 0 0 1 1 1\n"
                                                   "actor CGameDor 0 0 4.5\n"
                                                   "wall 0 0 1\n"
                                                   "box trim 0 0 0 1.5x 1 1\n"
                                                   "ramp wood 0 0 1 1 0 1 up\n"
                                                   "xyzzy\n");
  EXPECT_EQ(Notes(result),
            "10:1 E unknown line 'flor' (did you mean 'floor'?)\n"
            "11:6 E unknown material 'stnoe' (did you mean 'stone'?)\n"
            "12:7 E unknown actor 'CGameDor' (did you mean 'CGameDoor'?)\n"
            "13:11 E wall needs x0 z0 x1 z1\n"
            "14:16 E box needs x0 y0 z0 x1 y1 z1\n"
            "15:23 E direction must be +x, -x, +z or -z\n"
            "16:1 E unknown line 'xyzzy'\n");
  EXPECT_EQ(result.errors, 7);
  const std::string report = stagebuild::FormatStageCheck("my.txt", result);
  EXPECT_NE(report.find("my.txt:10:1: error: unknown line 'flor'"), std::string::npos) << report;
  EXPECT_NE(report.find("my.txt: 7 errors, 0 warnings\n"), std::string::npos) << report;
}

TEST(StageChecker, NumbersAreWholeFiniteAndWithinTheStagesReach)
{
  EXPECT_EQ(Notes(CheckStageSource("box trim 0 0 0 1 1 250\n")),
            "1:20 E a number beyond the stage's reach (-200 to 200): box needs x0 y0 z0 x1 y1 z1\n");
  EXPECT_EQ(Notes(CheckStageSource("box trim 0 0 0 1 1 inf\n")).substr(0, 40),
            "1:20 E a number beyond the stage's reach");
  EXPECT_EQ(Notes(CheckStageSource("box trim 0 0 nan 1 1 1\n")), "1:14 E box needs x0 y0 z0 x1 y1 z1\n");
  EXPECT_EQ(Notes(CheckStageSource("stairs stone 0 0 1 1 0 1 1000000 +z\n")), "1:26 E stairs need a step count\n");
  EXPECT_EQ(Notes(CheckStageSource("stairs stone 0 0 1 1 0 1 99999999999 +z\n")).substr(0, 30),
            "1:26 E a number beyond the sta");
  // A leading '+' and an exponent are numbers as people write them.
  EXPECT_EQ(Notes(CheckStageSource(std::string(kRoom) + "box trim +2 0 -4 3 5e-1 -3\n")), "");
}

TEST(StageChecker, LayoutProblemsPointAtTheLinesThatCauseThem)
{
  // A torch in the air, a block in a pillar, a door under a low ceiling, a second goal.
  const StageCheckResult result = CheckStageSource(std::string(kRoom) +
                                                   "actor CGameTorch 5 9 -5\n"
                                                   "box trim 4 0 -8 6 4 -6\n"
                                                   "actor   CGameMetalBlock 5 0 -7\n"
                                                   "wall -10 4 -2 5\nwall 2 4 10 5\n"
                                                   "actor CGameDoor 0 0 4.5\n"
                                                   "detail box trim -2 6.5 4 2 7 5\n"
                                                   "actor CGameGoal 5 3 18\n");
  EXPECT_EQ(Notes(result),
            "17:7 E a stage needs one goal, not 2\n"
            "10:7 E CGameTorch at (5, 9, -5) stands 9 above the floor under it\n"
            "12:9 E CGameMetalBlock at (5, 0, -7) is inside a solid\n"
            "15:7 E CGameDoor at (0, 0, 4.5) cannot close: a solid lies over its opening\n");
  // The start inside a wall is named at the wall; a stage without a goal at its end.
  EXPECT_EQ(Notes(CheckStageSource(std::string(kRoom) + "# a pillar\n\nbox trim -1 0 -1 1 4 1\n")),
            "12:1 E the start (the origin) is inside a solid\n");
  EXPECT_EQ(Notes(CheckStageSource("floor stone -5 -5 5 5 0\n\n# nothing more\n")),
            "3:1 E a stage needs one goal, not 0\n");
  EXPECT_EQ(Notes(CheckStageSource("floor stone 2 2 6 6 0\nactor CGameGoal 3 0 3\n")),
            "1:1 E no floor to stand on at the start (the origin)\n");
}

TEST(StageChecker, AGoalReachedOnFootIsAWarningUnlessTheStageGivesNoMagic)
{
  const std::string walked = "floor stone -5 -5 5 5 0\nactor  CGameGoal 3 0 3\n";
  const StageCheckResult result = CheckStageSource(walked);
  EXPECT_EQ(result.errors, 0);
  EXPECT_EQ(result.warnings, 1);
  EXPECT_EQ(Notes(result).substr(0, 58), "2:8 W the goal is reached by walking alone: the stage asks");
  EXPECT_EQ(Notes(CheckStageSource(walked + "magic none\n")), "");
  EXPECT_EQ(Notes(CheckStageSource(walked + "magic blue\n")).substr(0, 6), "2:8 W ");
}

TEST(StageChecker, TheMagicLineGivesTheStartingColours)
{
  stagebuild::StageGeometry geometry;
  CheckStageSource(kRoom, &geometry);
  EXPECT_EQ(geometry.magic, stagebuild::kStageMagicRed | stagebuild::kStageMagicBlue) << "both by default";
  CheckStageSource(std::string(kRoom) + "magic blue\n", &geometry);
  EXPECT_EQ(geometry.magic, stagebuild::kStageMagicBlue);
  CheckStageSource(std::string(kRoom) + "magic red  blue\n", &geometry);
  EXPECT_EQ(geometry.magic, stagebuild::kStageMagicRed | stagebuild::kStageMagicBlue);
  CheckStageSource(std::string(kRoom) + "magic none\n", &geometry);
  EXPECT_EQ(geometry.magic, stagebuild::kStageMagicNone);
  EXPECT_EQ(Notes(CheckStageSource(std::string(kRoom) + "magic blu\n")),
            "10:7 E unknown magic 'blu' (did you mean 'blue'?)\n");
  EXPECT_EQ(Notes(CheckStageSource(std::string(kRoom) + "magic\n")),
            "10:6 E magic needs blue, red, blue red or none\n");
  EXPECT_EQ(Notes(CheckStageSource(std::string(kRoom) + "magic red\nmagic blue\n")),
            "11:1 E a stage has one magic line\n");
}

TEST(StageChecker, AMapPastTheEnginesVertexLimitIsNamedWhereItPassesIt)
{
  // A box is 24 vertices: the 2731st passes 65535.
  std::string text = kRoom;
  for (int i = 0; i < 2800; ++i) text += "detail box trim 0 5 0 1 6 1\n";
  const StageCheckResult result = CheckStageSource(text);
  ASSERT_GE(result.errors, 1);
  EXPECT_EQ(result.notes[0].line, 9 + (65535 - 6 * 24) / 24 + 1) << "after the room's six solids";
  EXPECT_NE(result.notes[0].message.find("65535 vertices"), std::string::npos);
}

TEST(StageChecker, HandWrittenFilesWithCrLfATabsAByteOrderMarkAndCommentsReadAsTheyLook)
{
  std::string windows = "\xEF\xBB\xBF# Made in a text editor\r\n";
  std::istringstream lines(kRoom);
  std::string line;
  while (std::getline(lines, line)) windows += "\t" + line + "\t  # note: \xE5\xA3\x81\r\n";
  stagebuild::StageGeometry plain, written;
  EXPECT_EQ(Notes(CheckStageSource(kRoom, &plain)), "");
  EXPECT_EQ(Notes(CheckStageSource(windows, &written)), "");
  EXPECT_EQ(written.map.vertices.size(), plain.map.vertices.size());
  ASSERT_EQ(written.actors.size(), 2u);
  EXPECT_EQ(written.actors[1].line, 10) << "counted from the comment line";
  EXPECT_EQ(written.actors[1].column, 8) << "after the tab";
  // No newline at the end of the last line.
  EXPECT_EQ(Notes(CheckStageSource(std::string(kRoom) + "box trim 2 0 -4 3 1 -3")), "");
}

TEST(StageChecker, RandomTruncatedHugeAndBinaryInputGetsAClearErrorAndNoCrash)
{
  // Binary: NULs and control bytes are quoted as '?', the message kept to one line.
  const std::string binary(
      "\x7f"
      "ELF\x02\x01\x01\x00\x00\x00\xff\xfe\n\x1b[2J\x00\x01",
      19);
  const StageCheckResult garbage = CheckStageSource(binary);
  ASSERT_EQ(garbage.errors, 2);
  EXPECT_EQ(garbage.notes[0].message, "unknown line '?ELF" + std::string(8, '?') + "'");
  EXPECT_EQ(garbage.notes[1].message, "unknown line '?[2J" + std::string(2, '?') + "'");
  // Random bytes of every value, many lines of them: errors, stopped after a hundred.
  std::string noise;
  uint32_t seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    noise.push_back(static_cast<char>(seed >> 24));
  }
  const StageCheckResult random = CheckStageSource(noise);
  EXPECT_GT(random.errors, 0);
  EXPECT_LE(random.errors, 100);
  // A million lines: read through to the end, one clear error.
  std::string huge;
  for (int i = 0; i < 1000000; ++i) huge += "light 1 1 1\n";
  EXPECT_EQ(Notes(CheckStageSource(huge)), "1000000:1 E no solids\n");
  // The room cut at every byte: never a crash, and a cut before the goal's line an error.
  const std::string room = kRoom;
  const size_t goalLine = room.find("actor CGameGoal");
  for (size_t cut = 0; cut < room.size(); ++cut) {
    const StageCheckResult result = CheckStageSource(room.substr(0, cut));
    if (cut < goalLine + 16) {
      EXPECT_GT(result.errors, 0) << "cut at " << cut;
    }
    for (const stagebuild::StageNote& note : result.notes) EXPECT_GE(note.line, 1);
  }
  // A very long word is quoted cut short, with no hint looked for.
  const StageCheckResult longWord = CheckStageSource(std::string(100000, 'w'));
  ASSERT_EQ(longWord.errors, 1);
  EXPECT_LT(longWord.notes[0].message.size(), 200u);
}

TEST(StageCheckFile, StatusesSayCleanErrorsOrUnreadable)
{
  std::string report;
  EXPECT_EQ(stagebuild::CheckStageFile(WriteTemporary("clean.txt", kRoom), &report), stagebuild::kStageCheckClean);
  EXPECT_NE(report.find("clean.txt: the stage is sound"), std::string::npos) << report;
  const std::string bad = WriteTemporary("bad.txt", std::string(kRoom) + "wal 0 0 1 1\n");
  EXPECT_EQ(stagebuild::CheckStageFile(bad, &report), stagebuild::kStageCheckErrors);
  EXPECT_EQ(report.substr(0, bad.size() + 6), bad + ":10:1:") << report;
  EXPECT_EQ(stagebuild::CheckStageFile(::testing::TempDir() + "/missing.txt", &report),
            stagebuild::kStageCheckUnreadable);
  EXPECT_NE(report.find("cannot be read"), std::string::npos);
  EXPECT_EQ(stagebuild::CheckStageFile(::testing::TempDir(), &report), stagebuild::kStageCheckUnreadable) << "a folder";
  const std::string large = WriteTemporary("large.txt", "");
  std::filesystem::resize_file(large, stagebuild::kStageSourceMaxBytes + 1);
  EXPECT_EQ(stagebuild::CheckStageFile(large, &report), stagebuild::kStageCheckUnreadable);
  EXPECT_NE(report.find("too large"), std::string::npos) << report;
  std::filesystem::remove(large);
}

TEST(StageCheckFile, TheExampleStageIsSound)
{
  std::string report;
  EXPECT_EQ(stagebuild::CheckStageFile(SOLVERICA_SOURCE_DIR "/examples/stages/example.txt", &report),
            stagebuild::kStageCheckClean)
      << report;
}

TEST(NearestWord, FindsTheCloseWordIgnoringCaseAndNothingFarOrHuge)
{
  const std::vector<std::string> known = {"floor", "wall", "wallheight", "box"};
  EXPECT_EQ(stagebuild::NearestWord("flor", known), "floor");
  EXPECT_EQ(stagebuild::NearestWord("WALL", known), "wall");
  EXPECT_EQ(stagebuild::NearestWord("walheight", known), "wallheight");
  EXPECT_EQ(stagebuild::NearestWord("bx", known), "box");
  EXPECT_EQ(stagebuild::NearestWord("zebra", known), "");
  EXPECT_EQ(stagebuild::NearestWord("", known), "");
  EXPECT_EQ(stagebuild::NearestWord(std::string(65, 'f'), known), "");
}

TEST(StageChecker, TheWidestStageIsStillSearchedOnFoot)
{
  // As wide as numbers go: the walk is searched on a coarser grid, and still tells an
  // open way to the goal from one a wall shuts.
  const std::string open = "floor stone -200 -200 200 200 0\nactor CGameGoal 150 0 150\n";
  EXPECT_EQ(CheckStageSource(open).warnings, 1);
  const StageCheckResult shut = CheckStageSource(open + "wallheight 7\nwall -200 100 200 102\n");
  EXPECT_EQ(Notes(shut), "");
}
