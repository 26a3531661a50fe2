// The harness itself: a step that cannot succeed fails the route with where the player
// was, what the route waited for, and a screenshot kept in the build folder; a menu
// button that is not shown cannot be clicked.
#include <gtest/gtest-spi.h>

#include <filesystem>

#include "playthrough.h"
#include "scene/scene_game.h"

TEST_F(PlaythroughTest, AStepThatCannotSucceedReportsThePlayerAndWhatItWaitedFor)
{
  DrawEvery(10);
  ASSERT_TRUE(StartNewGame());
  ASSERT_TRUE(SkipOpening());
  // South of the start is the entrance hall's wall: the player cannot get there.
  EXPECT_NONFATAL_FAILURE(WalkTo(0.0f, -20.0f, 0.3f, 90), "waiting for: the player within 0.30 of (0.00, -20.00)");
  EXPECT_NONFATAL_FAILURE(WalkTo(0.0f, -20.0f, 0.3f, 5), "timed out after 5 frames");
  EXPECT_NONFATAL_FAILURE(WaitFor([] { return false; }, 3, "nothing at all"), "flags: cameraEvent 0");
  EXPECT_GT(PlayerPosition().z, -7.0f) << "stopped by the wall";
  EXPECT_LT(PlayerPosition().z, -5.0f) << "after walking up to it";

  // The screenshots of the three failures are kept for looking at.
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  for (int i = 1; i <= 3; ++i) {
    const std::filesystem::path shot =
        std::filesystem::path(PlaythroughFailureDir()) / (name + "-" + std::to_string(i) + ".png");
    EXPECT_TRUE(std::filesystem::exists(shot)) << shot;
    std::filesystem::remove(shot);
  }
  // A button of the title's menu is not on screen in a stage.
  EXPECT_NONFATAL_FAILURE(ClickButton("res/title/char/start.png"), "a shown menu button with the picture");
}
