// The whole game by one route, through the input path only: no save file, New Game on
// the title, each stage's opening skipped and the stage played by its own route, stage
// 1 with the blue orb on the way, then the ending left to run to the title. Only the
// looked-at frames are drawn.
#include "stage_route.h"

#include <cstdio>
#include <functional>

#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/records.h"
#include "app/stage_clock.h"
#include "scene/scene_ending.h"
#include "sprite/sprite_game_time.h"

// From the start of stage 1: the corridor's orb teaches blue, up onto the dais, the goal.
void StageRoute::PlayStageOne()
{
  stage = Game();
  ASSERT_NE(stage, nullptr);
  ASSERT_TRUE(WalkTo(0.0f, 12.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(0.0f, 21.5f, 0.3f, 400));
  const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
  ASSERT_NE(magic, nullptr);
  EXPECT_EQ(magic->blueUnlocked, 1) << "the orb in the corridor was taken on the way";
  ASSERT_TRUE(WalkTo(0.0f, 30.2f, 0.3f, 400));
  ASSERT_TRUE(ReachGoalAndSeeNext(0.0f, 34.5f, "CSceneGame"));
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 2"));
  EXPECT_EQ(application->stageNumber, 2);
}

// Stage 1 from a saved 1, as every other stage's route starts: without the corridor's
// orb the blue check fails.
TEST_F(StageRoute, StageOneFromASavedOneThroughTheOrbToTheGoal)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(1));
  PlayStageOne();
}

TEST_F(StageRoute, TheWholeGameFromNewGameThroughTheEndingToTheTitle)
{
  std::remove("res/dat/save.dat");
  RestartProgram();
  DrawEvery(1000000);
  ASSERT_TRUE(StartNewGame());
  EXPECT_EQ(application->stageNumber, 1);
  const std::function<void()> stages[8] = {[this] { PlayStageOne(); },   [this] { PlayStageTwo(); },
                                           [this] { PlayStageThree(); }, [this] { PlayStageFour(); },
                                           [this] { PlayStageFive(); },  [this] { PlayStageSix(); },
                                           [this] { PlayStageSeven(); }, [this] { PlayStageEight(); }};
  int stageTicksSum = 0;
  for (int number = 1; number <= 8; ++number) {
    ASSERT_TRUE(SkipOpening()) << "stage " << number;
    ASSERT_EQ(application->stageNumber, number);
    stages[number - 1]();
    ASSERT_FALSE(HasFatalFailure()) << "stage " << number;
    stageTicksSum += stage->StageTicks();
    if (number < 8) {
      EXPECT_EQ(SaveFileText(), std::to_string(number + 1) + "\r\n");
    }
  }
  ASSERT_NE(std::dynamic_pointer_cast<CSceneEnding>(CurrentScene()), nullptr);

  // The whole game's time: the stage clocks summed, the first one kept as the best and
  // shown under the last credit page.
  EXPECT_TRUE(CGameClock::GetInstance().IsFinished());
  EXPECT_EQ(CGameClock::GetInstance().Ticks(), stageTicksSum);
  EXPECT_EQ(GameRecords().GameBest(), stageTicksSum);
  EXPECT_NE(RecordsFileText().find("game " + std::to_string(stageTicksSum) + "  # "), std::string::npos)
      << RecordsFileText();
  EXPECT_EQ(CWholeGameTime().TimeText(), "WHOLE GAME " + FormatClock(stageTicksSum));
  Screenshot("route-whole-game-ending.png");

  // The ending runs to the title without input.
  ASSERT_TRUE(WaitFor([&] { return Title() != nullptr; }, 6000, "the title after the ending"));
  EXPECT_EQ(application->stageNumber, 8);
  EXPECT_EQ(SaveFileText(), "8\r\n");
}
