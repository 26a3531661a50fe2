// Route: a player's two-stage set installed under the data folder, chosen on the title
// as a player would (the menu, the STAGE SETS corner, the set's row), each stage built
// from its source as it is entered with the magic its source gives, the first goal
// leading into the second stage and the second's into the ending, and Escape from the
// ending back to the title. The set's save and records are written in its folder; the
// game's own save and records are left byte for byte as they were, and no replay is
// kept.
#include "playthrough.h"

#include <filesystem>
#include <fstream>

#include "actor/actor_base.h"
#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/records.h"
#include "app/source_stage.h"
#include "app/stage_set.h"
#include "app/user_paths.h"
#include "scene/scene_ending.h"
#include "scene/scene_game.h"
#include "scene/scene_stage_sets.h"
#include "scene/scene_title.h"
#include "sprite/sprite_stage_sets.h"

namespace fs = std::filesystem;

namespace {

// Two short halls, the goal a few steps from the start; the second gives blue magic.
const char kFirstStage[] =
    "# stage 1 of a small set\r\n"
    "magic none\r\n"
    "floor stone -8 -8 8 16 0\r\n"
    "wallheight 6\r\n"
    "wall -9 -9 9 -8\r\nwall -9 16 9 17\r\nwall -9 -8 -8 16\r\nwall 8 -8 9 16\r\n"
    "actor CGameGoal 0 0 10\r\n";
const char kSecondStage[] =
    "# stage 2: the goal to the left\n"
    "magic blue\n"
    "floor trim -12 -8 12 12 0\n"
    "wallheight 6\n"
    "wall -13 -9 13 -8\nwall -13 12 13 13\nwall -13 -8 -12 12\nwall 12 -8 13 12\n"
    "actor CGameTorch 6 0 6\n"
    "actor CGameGoal -6 0 6\n";

// A file's whole text, "" when there is none.
std::string Text(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The save file (and the sets beside it) in the route's own folder, for the route only.
struct ScratchData {
  explicit ScratchData(const std::string& folder) { SetSaveFilePath(folder + "/save.dat"); }
  ~ScratchData()
  {
    EndStageSet();
    SetSaveFilePath("res/dat/save.dat");
    ReloadGameRecords();
  }
};

}  // namespace

TEST_F(PlaythroughTest, AnInstalledSetIsChosenOnTheTitleAndPlaysThroughItsStagesIntoTheEnding)
{
  DrawEvery(kRouteDrawInterval);
  const std::string data = PlaythroughScratchDir() + "/set-route-data";
  fs::remove_all(data);
  const std::string set = data + "/stages/small";
  fs::create_directories(set);
  std::ofstream(set + "/stage1.txt", std::ios::binary) << kFirstStage;
  std::ofstream(set + "/stage2.txt", std::ios::binary) << kSecondStage;
  std::ofstream(set + "/notes.md") << "left alone\n";
  const ScratchData scratchData(data);
  std::ofstream(data + "/save.dat", std::ios::binary) << "3\r\n";
  std::ofstream(data + "/records.txt", std::ios::binary) << "stage 1 4000\n";
  const std::string gameSave = Text(data + "/save.dat");
  const std::string gameRecords = Text(data + "/records.txt");
  RestartProgram();  // the title is made anew with the set installed
  ASSERT_EQ(application->stageNumber, 3);

  // The menu's corner opens the chooser, which lists the set.
  Frames(30);
  Click();
  Frames(7);
  float x = 0, y = 0;
  ASSERT_TRUE(ButtonCentre("res/title/char/stage_sets.png", &x, &y)) << Report("the STAGE SETS button");
  EXPECT_LT(x, 640.0f) << "the bottom-left corner";
  EXPECT_GT(y, 600.0f);
  ClickButton("res/title/char/stage_sets.png");
  ASSERT_TRUE(WaitFor([&] { return std::dynamic_pointer_cast<CSceneStageSets>(CurrentScene()) != nullptr; }, 80,
                      "the chooser"));
  Frames(2);
  const auto chooser = std::dynamic_pointer_cast<CSceneStageSets>(CurrentScene());
  ASSERT_EQ(chooser->page->sets.size(), 1u);
  EXPECT_EQ(chooser->page->RowName(0), "small");
  EXPECT_EQ(chooser->page->RowStages(0), "2 STAGES");
  EXPECT_EQ(chooser->page->RowSaved(0), "STAGE 1");

  // Its row chosen with the mouse: stage 1 of the set, built from its source.
  const float rowY = chooser->page->RowY(0) + chooser->page->rowHeight * 0.5f;
  PointAt(400.0f, rowY);
  Frames(1);
  PointAt(400.0f, rowY);
  Click();
  ASSERT_TRUE(WaitFor([&] { return Game() != nullptr; }, 100, "the set's first stage"));
  ASSERT_TRUE(StageSetActive());
  EXPECT_EQ(StageSetStage(), 1);
  EXPECT_EQ(CurrentSourceStage().sourcePath, set + "/stage1.txt");
  EXPECT_EQ(application->stageNumber, 1) << "a stage without magic";
  ASSERT_TRUE(SkipOpening());
  ASSERT_NE(LockMagicState(), nullptr);
  EXPECT_EQ(LockMagicState()->blueUnlocked, 0);

  // Its goal: the clear, then the second stage, saved in the set's own save.
  const std::shared_ptr<CSceneGame> first = Game();
  ASSERT_TRUE(WalkTo(0, 10, 1.0f, 900, [&] { return first->goalReached != 0; }));
  ASSERT_TRUE(WaitFor([&] { return first->goalReached != 0; }, 300, "the first goal"));
  ASSERT_TRUE(WaitFor([&] { return Game() && Game() != first; }, 900, "the second stage"));
  EXPECT_EQ(StageSetStage(), 2);
  EXPECT_EQ(CurrentSourceStage().sourcePath, set + "/stage2.txt");
  EXPECT_EQ(Text(set + "/save.dat"), "2\r\n");
  EXPECT_GT(StageSetRecords().StageBest(1), 0);
  EXPECT_NE(Text(set + "/records.txt").find("stage 1 "), std::string::npos);
  const std::shared_ptr<CActorBase> goal = FindActor("CGameGoal");
  ASSERT_NE(goal, nullptr);
  EXPECT_FLOAT_EQ(goal->world._41, -6.0f) << "the second source's goal";
  ASSERT_TRUE(SkipOpening());
  ASSERT_NE(LockMagicState(), nullptr);
  EXPECT_EQ(LockMagicState()->blueUnlocked, 1) << "the second source gives blue";

  // The last goal leads into the ending, with the whole set's time kept.
  const std::shared_ptr<CSceneGame> second = Game();
  ASSERT_TRUE(WalkTo(-6, 6, 1.0f, 900, [&] { return second->goalReached != 0; }));
  ASSERT_TRUE(WaitFor([&] { return std::dynamic_pointer_cast<CSceneEnding>(CurrentScene()) != nullptr; }, 900,
                      "the ending after the last stage"));
  EXPECT_EQ(Text(set + "/save.dat"), "1\r\n") << "a finished set starts afresh";
  EXPECT_GT(StageSetRecords().StageBest(2), 0);
  EXPECT_GE(StageSetRecords().GameBest(), StageSetRecords().StageBest(1) + StageSetRecords().StageBest(2));
  EXPECT_NE(Text(set + "/records.txt").find("game "), std::string::npos);

  // Escape skips the ending to the title; the set is over and the game's stage is back.
  Frames(30);
  TapKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return Title() != nullptr; }, 200, "the title after the ending"));
  EXPECT_FALSE(StageSetActive());
  EXPECT_FALSE(CurrentSourceStage().active);
  EXPECT_EQ(application->stageNumber, 3);
  EXPECT_EQ(Text(data + "/save.dat"), gameSave);
  EXPECT_EQ(Text(data + "/records.txt"), gameRecords);
  EXPECT_FALSE(fs::exists(ReplayFolderPath())) << "no replays of a set's stages";
}

// `solverica --stage-set DIR` with a folder outside the data folder: the set starts at
// once with no title, its save and records go beside the game's save (the folder itself
// is left as it was), and the end of its ending ends the program.
TEST_F(PlaythroughTest, ASetFromTheCommandLinePlaysAtOnceKeepsItsFilesApartAndItsEndingEndsTheProgram)
{
  DrawEvery(kRouteDrawInterval);
  const std::string data = PlaythroughScratchDir() + "/set-cli-data";
  const std::string set = PlaythroughScratchDir() + "/loose-set";
  fs::remove_all(data);
  fs::remove_all(set);
  fs::create_directories(set);
  std::ofstream(set + "/stage1.txt", std::ios::binary) << kFirstStage;
  const ScratchData scratchData(data);
  int exitCode = 0;
  ASSERT_TRUE(PrepareStageSetRun(StageSetArgumentFromStartFolder(set), &exitCode));
  EXPECT_EQ(exitCode, 0);
  application->EndLoop();
  gate = std::make_shared<CDrawGate>(application->FirstScene());
  application->BeginLoop(gate);
  ASSERT_NE(Game(), nullptr) << "no title first";
  EXPECT_TRUE(StageSetActive());
  EXPECT_FALSE(StageSetReturnsToTitle());

  ASSERT_TRUE(SkipOpening());
  const std::shared_ptr<CSceneGame> only = Game();
  ASSERT_TRUE(WalkTo(0, 10, 1.0f, 900, [&] { return only->goalReached != 0; }));
  ASSERT_TRUE(WaitFor([&] { return std::dynamic_pointer_cast<CSceneEnding>(CurrentScene()) != nullptr; }, 900,
                      "the ending after the only stage"));
  const std::string apart = StageSetPlayFolder(CurrentStageSet());
  EXPECT_EQ(apart.rfind(data + "/stage-set-saves/loose-set-", 0), 0u) << apart;
  EXPECT_EQ(Text(apart + "/save.dat"), "1\r\n");
  EXPECT_NE(Text(apart + "/records.txt").find("stage 1 "), std::string::npos);
  std::vector<std::string> inSet;
  for (const fs::directory_entry& entry : fs::directory_iterator(set)) inSet.push_back(entry.path().filename());
  EXPECT_EQ(inSet, std::vector<std::string>{"stage1.txt"}) << "nothing written into the set's folder";
  EXPECT_FALSE(fs::exists(data + "/save.dat"));
  EXPECT_FALSE(fs::exists(data + "/records.txt"));

  Frames(30);
  TapKey(VK_ESCAPE);
  bool ended = false;
  for (int i = 0; i < 300 && !ended; ++i) ended = !Frame();
  EXPECT_TRUE(ended) << Report("the program to end after the ending");
}
