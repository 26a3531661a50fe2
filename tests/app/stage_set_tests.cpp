// Stage sets: the folder reader (names, gaps, too many stages, no stage1.txt, other
// files, a stage that is a folder, one that cannot be read), --stage-set's argument
// found as a NAME or a DIR, the check that names a bad stage's place, the installed
// sets, where a set keeps its save and records, and a damaged set save set aside.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/application.h"
#include "app/command_line.h"
#include "app/source_stage.h"
#include "app/stage_set.h"
#include "app/user_paths.h"

namespace fs = std::filesystem;

namespace {

// Hand-written sources as stage makers write them: comments, CR LF, a byte-order mark.
const char kWalkStage[] =
    "\xEF\xBB\xBF# a hall with the goal near the start\r\n"
    "magic none\r\n"
    "floor stone -8 -8 8 24 0\r\n"
    "wallheight 6\r\n"
    "wall -9 -9 9 -8\r\nwall -9 24 9 25\r\nwall -9 -8 -8 24\r\nwall 8 -8 9 24\r\n"
    "actor CGameGoal 0 0 16   # the goal\r\n";
const char kBadStage[] = "floor stone -8 -8 8 24 0\nactor CGameGoal 0 0 16\nflor stone 0 0 1 1 0\n";

// A fresh folder of the test's, named for it.
std::string Scratch(const std::string& name)
{
  const fs::path folder = fs::path(::testing::TempDir()) / ("stage_sets_" + std::to_string(getpid())) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

// A file with this text.
void Write(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}

// A whole file's text.
std::string ReadText(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// A set of `count` walk stages in the folder.
std::string MakeSet(const std::string& folder, int count)
{
  fs::create_directories(folder);
  for (int i = 1; i <= count; ++i) Write(folder + "/stage" + std::to_string(i) + ".txt", kWalkStage);
  return folder;
}

// The save file (and so the sets' folder) in a scratch folder for one test.
class ScratchSaveFolder {
public:
  explicit ScratchSaveFolder(const std::string& folder) { SetSaveFilePath(folder + "/save.dat"); }
  ~ScratchSaveFolder() { SetSaveFilePath("res/dat/save.dat"); }
};

}  // namespace

TEST(StageSetFolder, ReadsStageOneToNInOrderAndLeavesEveryOtherFileAlone)
{
  const std::string folder = MakeSet(Scratch("mine"), 3);
  for (const char* other : {"README.md", "stage1.txt.bak", "Stage4.txt", "stage04.txt", "stage5.TXT", "save.dat",
                            "stage.txt", "stagex.txt", "stage1.txt~"}) {
    Write(folder + "/" + other, "not a stage\n");
  }
  fs::create_directories(folder + "/pictures");
  StageSet set;
  ASSERT_EQ(ReadStageSetFolder(folder + "/", &set), "");
  EXPECT_EQ(set.name, "mine") << "the folder's name, a trailing slash or not";
  ASSERT_EQ(set.stages.size(), 3u);
  EXPECT_EQ(set.stages[0], folder + "//stage1.txt");
  EXPECT_EQ(fs::path(set.stages[2]).filename(), "stage3.txt");

  // Eight is the most, and one is enough.
  StageSet eight, one;
  EXPECT_EQ(ReadStageSetFolder(MakeSet(Scratch("eight"), 8), &eight), "");
  EXPECT_EQ(eight.stages.size(), 8u);
  EXPECT_EQ(ReadStageSetFolder(MakeSet(Scratch("one"), 1), &one), "");
  EXPECT_EQ(one.stages.size(), 1u);
}

TEST(StageSetFolder, RefusesGapsTooManyStagesNoStageOneAndStagesThatAreNotFiles)
{
  StageSet set;
  const std::string gap = MakeSet(Scratch("gap"), 2);
  Write(gap + "/stage4.txt", kWalkStage);
  EXPECT_EQ(ReadStageSetFolder(gap, &set),
            gap + ": stage3.txt is missing before stage4.txt (stages are numbered from 1 without gaps)");

  const std::string nine = MakeSet(Scratch("nine"), 9);
  EXPECT_EQ(ReadStageSetFolder(nine, &set), nine + ": stage9.txt: a set holds at most 8 stages");
  const std::string far = MakeSet(Scratch("far"), 1);
  Write(far + "/stage12.txt", kWalkStage);
  EXPECT_NE(ReadStageSetFolder(far, &set).find("at most 8"), std::string::npos) << "even with a gap before it";

  const std::string none = Scratch("none");
  Write(none + "/stage2.txt", kWalkStage);
  EXPECT_EQ(ReadStageSetFolder(none, &set), none + ": not a stage set: it has no stage1.txt");
  const std::string empty = Scratch("empty");
  EXPECT_EQ(ReadStageSetFolder(empty, &set), empty + ": not a stage set: it has no stage1.txt");

  const std::string folderStage = MakeSet(Scratch("folderstage"), 1);
  fs::create_directories(folderStage + "/stage2.txt");
  EXPECT_EQ(ReadStageSetFolder(folderStage, &set), folderStage + "/stage2.txt: a folder, not a stage source");

  // A link to nowhere is a stage that cannot be read; no folder, or a file, is no set.
  const std::string broken = MakeSet(Scratch("broken"), 1);
  fs::create_symlink(broken + "/gone.txt", broken + "/stage2.txt");
  EXPECT_EQ(ReadStageSetFolder(broken, &set).rfind(broken + "/stage2.txt: cannot be read", 0), 0u)
      << ReadStageSetFolder(broken, &set);
  EXPECT_EQ(ReadStageSetFolder(broken + "/nowhere", &set), broken + "/nowhere: no such folder");
  EXPECT_EQ(ReadStageSetFolder(broken + "/stage1.txt", &set), broken + "/stage1.txt: not a folder");
  EXPECT_TRUE(set.stages.empty()) << "a refused folder leaves the set as it was";
}

TEST(StageSetFolder, TheCheckNamesTheFirstBadStageAtItsLineAndColumn)
{
  StageSet set;
  const std::string folder = MakeSet(Scratch("badcheck"), 3);
  ASSERT_EQ(ReadStageSetFolder(folder, &set), "");
  EXPECT_EQ(CheckStageSet(set), "") << "hand-written sources with a BOM, CR LF and comments are sound";
  Write(folder + "/stage2.txt", kBadStage);
  Write(folder + "/stage3.txt", kBadStage);
  const std::string fault = CheckStageSet(set);
  EXPECT_EQ(fault.rfind(folder + "/stage2.txt:3:1: error:", 0), 0u) << fault;
  EXPECT_EQ(fault.find('\n'), std::string::npos) << "one line";
  std::string reason;
  EXPECT_FALSE(BeginStageSet(set, false, &reason));
  EXPECT_EQ(reason, fault);
  EXPECT_FALSE(StageSetActive());
  EXPECT_FALSE(CurrentSourceStage().active) << "nothing built for a set that cannot be played";
}

TEST(StageSetArgument, ANameIsLookedUpAmongTheInstalledSetsAndADirIsTakenAsItIs)
{
  const std::string data = Scratch("data");
  const ScratchSaveFolder saveHere(data);
  EXPECT_EQ(StageSetsFolder(), data + "/stages");
  MakeSet(data + "/stages/castle", 2);

  std::string reason;
  EXPECT_EQ(ResolveStageSetArgument("castle", &reason), data + "/stages/castle");
  EXPECT_EQ(ResolveStageSetArgument("tower", &reason), "");
  EXPECT_EQ(reason, "no stage set named 'tower' in " + data + "/stages");
  EXPECT_EQ(ResolveStageSetArgument("res", &reason), "") << "a folder of the data folder is not a set's name";
  EXPECT_EQ(ResolveStageSetArgument("..", &reason), "");
  EXPECT_EQ(ResolveStageSetArgument("/some/where", &reason), "/some/where");

  // From the start folder: an existing folder or a slash makes a DIR, made absolute.
  const std::string here = fs::current_path().string();
  EXPECT_EQ(StageSetArgumentFromStartFolder("castle"), "castle");
  EXPECT_EQ(StageSetArgumentFromStartFolder("res"), here + "/res") << "res/ exists in the build folder";
  EXPECT_EQ(StageSetArgumentFromStartFolder("sets/mine/"), here + "/sets/mine");
  EXPECT_EQ(StageSetArgumentFromStartFolder("./x/../y"), here + "/y");
  EXPECT_EQ(StageSetArgumentFromStartFolder(data + "/stages/castle"), data + "/stages/castle");

  // The installed sets, by name; folders that are not sets and plain files are left out.
  MakeSet(data + "/stages/abbey", 1);
  fs::create_directories(data + "/stages/notes");
  Write(data + "/stages/stage1.txt", kWalkStage);
  const std::vector<StageSet> sets = InstalledStageSets();
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].name, "abbey");
  EXPECT_EQ(sets[1].name, "castle");
  EXPECT_EQ(sets[1].stages.size(), 2u);
}

TEST(StageSetArgument, TheCommandLineTakesOneSetAndAnUnusableOneEndsWithOneLineAndCodeOne)
{
  const char* named[] = {"--windowed", "--stage-set", "castle"};
  const CommandLineResult parsed = ParseCommandLine(3, named);
  EXPECT_EQ(parsed.action, CommandLineAction::Run);
  EXPECT_EQ(parsed.stageSet, "castle");
  const char* alone[] = {"--stage-set"};
  EXPECT_EQ(ParseCommandLine(1, alone).action, CommandLineAction::Fail);
  const char* both[] = {"--stage", "a.txt", "--stage-set", "castle"};
  const CommandLineResult twice = ParseCommandLine(4, both);
  EXPECT_EQ(twice.action, CommandLineAction::Fail);
  EXPECT_NE(twice.message.find("give one"), std::string::npos);
  EXPECT_NE(HelpText().find("--stage-set NAME|DIR"), std::string::npos);

  const std::string data = Scratch("cmdline");
  const ScratchSaveFolder saveHere(data);
  const std::string gap = MakeSet(data + "/stages/gap", 1);
  Write(gap + "/stage3.txt", kWalkStage);
  for (const std::string& argument : {std::string("tower"), std::string("gap"), data + "/nowhere"}) {
    int exitCode = 0;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(PrepareStageSetRun(argument, &exitCode)) << argument;
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(exitCode, 1) << argument;
    EXPECT_EQ(said.rfind("solverica: ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
  }
  EXPECT_FALSE(StageSetActive());
}

TEST(StageSetPlay, KeepsItsSaveAndRecordsApartAndSetsADamagedSaveAside)
{
  const std::string data = Scratch("play");
  const ScratchSaveFolder saveHere(data);
  CApplication::GetInstance()->stageNumber = 5;

  // An installed set keeps its files in its own folder; any other folder's go beside the
  // save, apart for two sets of the same name.
  StageSet installed, outside, twin;
  ASSERT_EQ(ReadStageSetFolder(MakeSet(data + "/stages/duo", 2), &installed), "");
  ASSERT_EQ(ReadStageSetFolder(MakeSet(Scratch("a") + "/duo", 2), &outside), "");
  ASSERT_EQ(ReadStageSetFolder(MakeSet(Scratch("b") + "/duo", 2), &twin), "");
  EXPECT_EQ(StageSetPlayFolder(installed), data + "/stages/duo");
  const std::string apart = StageSetPlayFolder(outside);
  EXPECT_EQ(apart.rfind(data + "/stage-set-saves/duo-", 0), 0u) << apart;
  EXPECT_NE(apart, StageSetPlayFolder(twin));
  EXPECT_EQ(apart, StageSetPlayFolder(outside)) << "the same folder always keeps the same place";

  // A saved stage 2 starts there; a save naming a stage the set lacks is set aside.
  Write(data + "/stages/duo/save.dat", "2\r\n");
  Write(data + "/stages/duo/records.txt", "# hand-written\r\nstage 1 300\r\ngame 900\r\n");
  EXPECT_EQ(SummariseStageSet(installed).savedStage, 2);
  EXPECT_EQ(SummariseStageSet(installed).bestTicks, 900);
  std::string reason;
  ASSERT_TRUE(BeginStageSet(installed, true, &reason)) << reason;
  EXPECT_TRUE(StageSetActive());
  EXPECT_TRUE(StageSetReturnsToTitle());
  EXPECT_EQ(StageSetStage(), 2);
  EXPECT_EQ(StageSetRecords().StageBest(1), 300);
  EXPECT_EQ(CurrentSourceStage().sourcePath, installed.stages[1]);
  EXPECT_EQ(CApplication::GetInstance()->stageNumber, 1) << "played under the number its magic asks for";
  EndStageSet();
  EXPECT_FALSE(CurrentSourceStage().active);
  EXPECT_EQ(CApplication::GetInstance()->stageNumber, 5) << "the game's own stage given back";

  Write(data + "/stages/duo/save.dat", "3\r\n");
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(BeginStageSet(installed, false, &reason)) << reason;
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("damaged save of a stage set"), std::string::npos) << said;
  EXPECT_EQ(StageSetStage(), 1);
  EXPECT_EQ(ReadText(data + "/stages/duo/save.dat.bad"), "3\r\n");
  EXPECT_FALSE(StageSetReturnsToTitle());

  // The goal of stage 1 saves stage 2; the last one's saves stage 1 again for the ending.
  EXPECT_EQ(AdvanceStageSet(), StageSetStep::NextStage);
  EXPECT_EQ(StageSetStage(), 2);
  EXPECT_EQ(ReadText(data + "/stages/duo/save.dat"), "2\r\n");
  EXPECT_EQ(AdvanceStageSet(), StageSetStep::Ending);
  EXPECT_EQ(ReadText(data + "/stages/duo/save.dat"), "1\r\n");
  EndStageSet();
  EXPECT_FALSE(fs::exists(data + "/save.dat")) << "the game's save is never written";
  EXPECT_FALSE(fs::exists(data + "/records.txt"));
  CApplication::GetInstance()->stageNumber = 1;
}
