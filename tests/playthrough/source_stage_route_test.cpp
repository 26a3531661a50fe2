// Route: a stage played from its source, as `solverica --stage FILE` does. The stage is
// built into its own folder, the program starts in it with no title, the opening flies
// as usual, the player has the magic the source gives, walking to the goal plays the
// clear and starts the same stage again with nothing saved (no records for the stage
// whose number it borrows, nothing on the whole-game clock), and Escape's question
// answered yes ends the program. The built files go with the run.
#include "playthrough.h"

#include <filesystem>
#include <fstream>

#include "actor/actor_base.h"
#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/records.h"
#include "app/source_stage.h"
#include "app/stage_clock.h"
#include "scene/scene_game.h"
#include "sprite/sprite_base.h"
#include "sprite/sprite_menu.h"

namespace {

// A hall to walk down to the goal, no magic needed (and the source says so).
const char kWalkStage[] =
    "# a walk to the goal\n"
    "magic none\n"
    "floor stone -8 -8 8 24 0\n"
    "wallheight 6\n"
    "wall -9 -9 9 -8\nwall -9 24 9 25\nwall -9 -8 -8 24\nwall 8 -8 9 24\n"
    "actor CGameTorch -6 0 10\n"
    "actor CGameGoal 0 0 16\n";

// The built files go whatever the route's end, so a failed step leaves nothing behind.
struct RemoveBuiltStage {
  ~RemoveBuiltStage() { RemoveSourceStage(); }
};

}  // namespace

TEST_F(PlaythroughTest, AStageFromItsSourcePlaysAtOnceStartsAgainAfterItsGoalAndEscapeEndsIt)
{
  DrawEvery(kRouteDrawInterval);
  const std::string source = PlaythroughScratchDir() + "/walk-stage.txt";
  std::ofstream(source) << kWalkStage;
  std::string report;
  const RemoveBuiltStage removeAtEnd;
  ASSERT_TRUE(BuildSourceStage(source, &report)) << report;
  EXPECT_EQ(report, "") << "no warnings: the source says it asks for no magic";
  const std::string folder = CurrentSourceStage().folder;
  EXPECT_TRUE(std::filesystem::exists(folder + "/map.x"));

  // The program's first scene is the stage, not the title.
  application->EndLoop();
  gate = std::make_shared<CDrawGate>(application->FirstScene());
  application->BeginLoop(gate);
  ASSERT_NE(Game(), nullptr);
  EXPECT_EQ(Game()->cameraEvent, 1) << "the opening flight runs";
  EXPECT_EQ(application->stageNumber, 1) << "played as a stage without magic";
  const std::shared_ptr<CActorBase> goal = FindActor("CGameGoal");
  ASSERT_NE(goal, nullptr);
  EXPECT_FLOAT_EQ(goal->world._43, 16.0f) << "the source's goal";
  ASSERT_NE(FindActor("CGameTorch"), nullptr);
  ASSERT_TRUE(SkipOpening());
  const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
  ASSERT_NE(magic, nullptr);
  EXPECT_EQ(magic->blueUnlocked + magic->redUnlocked, 0) << "the source gives no magic";

  // Walk to the goal: the clear, then the same stage again, and nothing saved.
  const std::string saved = SaveFileText();
  const std::string records = RecordsFileText();
  ReloadGameRecords();
  CGameClock::GetInstance().Start();
  const std::shared_ptr<CSceneGame> first = Game();
  ASSERT_TRUE(WalkTo(0, 16, 1.0f, 900, [&] { return first->goalReached != 0; }));
  ASSERT_TRUE(WaitFor([&] { return first->goalReached != 0; }, 300, "the goal to be reached"));
  ASSERT_TRUE(WaitFor([&] { return Game() && Game() != first; }, 900, "the stage to start again"));
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_EQ(SaveFileText(), saved);
  EXPECT_GT(first->StageTicks(), 0) << "the clock ran";
  EXPECT_EQ(RecordsFileText(), records) << "no best time for stage 1";
  EXPECT_EQ(GameRecords().StageBest(1), 0);
  EXPECT_EQ(CGameClock::GetInstance().Ticks(), 0);
  CGameClock::GetInstance().Cancel();
  ASSERT_NE(FindActor("CGameGoal"), nullptr);

  // Escape asks; yes ends the program rather than going to a title.
  ASSERT_TRUE(SkipOpening());
  TapKey(VK_ESCAPE);
  Frames(1);
  ASSERT_EQ(Game()->escapeOpen, 1);
  const CSpriteEscape* escape = nullptr;
  for (const std::shared_ptr<CSpriteBase>& sprite : Game()->sprites) {
    if (!escape) escape = dynamic_cast<const CSpriteEscape*>(sprite.get());
  }
  ASSERT_NE(escape, nullptr);
  EXPECT_EQ(escape->question, LoadSpriteTexture("res/game/sprite/do_you_quit.png")) << "it asks to quit";
  EXPECT_NE(escape->question, LoadSpriteTexture("res/game/sprite/do_you_to_title.png"));
  ClickButton("res/game/sprite/yes.png");
  bool ended = false;
  for (int i = 0; i < 200 && !ended; ++i) ended = !Frame();
  EXPECT_TRUE(ended) << Report("the program to end after yes");

  RemoveSourceStage();
  EXPECT_FALSE(CurrentSourceStage().active);
  EXPECT_FALSE(std::filesystem::exists(folder));
}
