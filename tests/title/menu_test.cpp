// The stage's pause and return-to-title menus through the real loop: opening them
// with Space and Escape, each button, their behaviour while a fade runs, and the
// click the no button swallows.
#include "title_fixture.h"

#include <stdexcept>

namespace {

class MenuTest : public TitleTest {
protected:
  // A stage instead of the title, past its opening so Space can pause.
  void SetUp() override
  {
    TitleTest::SetUp();
    application->EndLoop();
    application->stageNumber = 2;
    savedBefore = SaveFileText();
    application->BeginLoop(std::make_shared<CSceneGame>());
    game = std::dynamic_pointer_cast<CSceneGame>(GetCurrentScene());
    ASSERT_NE(game, nullptr);
    game->cameraEvent = 0;  // the opening flight is the camera's, which this stage lacks
    Frames(1);
  }
  void TearDown() override
  {
    game.reset();
    TitleTest::TearDown();
  }
  // The scene's sprite of that class.
  template <class T>
  T& Sprite()
  {
    for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
      if (T* found = dynamic_cast<T*>(sprite.get())) return *found;
    }
    throw std::logic_error("sprite missing");
  }
  // Space or Escape, the frame whose update reads it, and one more: showing the cursor
  // warps the pointer home, and that motion arrives with the next pump.
  void Open(int key)
  {
    TapKey(key);
    Frames(2);
  }
  // Stage 1 instead, whose map the content build makes, so a menu sits over a real room.
  void StageOne()
  {
    game.reset();
    application->EndLoop();
    application->stageNumber = 1;
    application->BeginLoop(std::make_shared<CSceneGame>());
    game = std::dynamic_pointer_cast<CSceneGame>(GetCurrentScene());
    ASSERT_NE(game, nullptr);
    game->cameraEvent = 0;
  }
  // Steps until the loop runs another scene; how many frames that took.
  int FramesUntilSwitch()
  {
    const std::shared_ptr<CSceneBase> before = GetCurrentScene();
    int frames = 0;
    while (GetCurrentScene() == before && frames < 100) {
      Frames(1);
      ++frames;
    }
    return frames;
  }

  std::shared_ptr<CSceneGame> game;
  std::string savedBefore;
};

}  // namespace

TEST_F(MenuTest, TheGameSceneBuildsBothMenus)
{
  int pauses = 0, escapes = 0;
  for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
    pauses += dynamic_cast<CSpritePause*>(sprite.get()) != nullptr;
    escapes += dynamic_cast<CSpriteEscape*>(sprite.get()) != nullptr;
  }
  EXPECT_EQ(pauses, 1);
  EXPECT_EQ(escapes, 1);
  // Their pictures line up where the menus place them.
  CSpritePause& pause = Sprite<CSpritePause>();
  EXPECT_FLOAT_EQ(pause.retryButton.position._42 - pause.resumeButton.position._42, 100.0f);
  EXPECT_FLOAT_EQ(pause.titleButton.position._42 - pause.resumeButton.position._42, 200.0f);
  CSpriteEscape& escape = Sprite<CSpriteEscape>();
  EXPECT_FLOAT_EQ(escape.noButton.position._41 - escape.yesButton.position._41, 500.0f);
  EXPECT_FLOAT_EQ(escape.questionTransform._42, 100.0f);
}

TEST_F(MenuTest, SpaceOpensThePauseMenuAndResumeClosesIt)
{
  Open(VK_SPACE);
  ASSERT_EQ(game->paused, 1);
  EXPECT_EQ(cursorVisible, 1);
  CSpritePause& pause = Sprite<CSpritePause>();
  const int alphaBefore = pause.alpha;
  Frames(4);
  EXPECT_EQ(pause.alpha, alphaBefore - 12) << "the heading pulses by 3";

  PointAtButton(pause.resumeButton);
  Frames(1);
  EXPECT_EQ(pause.resumeButton.hovered, 1);
  EXPECT_EQ(pause.firstSound->playing, 1);
  game->pauseSound->playing = 0;
  Click();
  Frames(1);
  EXPECT_EQ(game->paused, 0);
  EXPECT_EQ(cursorVisible, 0);
  EXPECT_EQ(game->pauseSound->playing, 1);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, application->cursorHome.x);
  EXPECT_EQ(GetCurrentScene(), game);
}

TEST_F(MenuTest, RetryPlaysTheSameStageAgainAndWritesNothing)
{
  Open(VK_SPACE);
  CSpritePause& pause = Sprite<CSpritePause>();
  PointAtButton(pause.retryButton);
  Click();
  Frames(1);
  EXPECT_EQ(application->fadeOut, 1);
  EXPECT_EQ(pause.secondSound->playing, 1);
  EXPECT_EQ(cursorVisible, 0);

  // While the fade runs the menu keeps pulsing but takes no more clicks.
  const int alpha = pause.alpha;
  PointAtButton(pause.resumeButton);
  Click();
  Frames(1);
  EXPECT_NE(pause.alpha, alpha);
  EXPECT_EQ(pause.resumeButton.hovered, 0);
  EXPECT_EQ(game->paused, 1) << "resume ignored during the fade";

  const std::weak_ptr<CSceneGame> old = game;
  game.reset();
  EXPECT_GT(FramesUntilSwitch(), 40);
  const std::shared_ptr<CSceneBase> next = GetCurrentScene();
  EXPECT_EQ(next->GetName(), "CSceneGame");
  EXPECT_TRUE(old.expired()) << "a fresh scene";
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveFileText(), savedBefore);
}

TEST_F(MenuTest, ToTitleKeepsTheStageNumberAndWritesNothing)
{
  Open(VK_SPACE);
  CSpritePause& pause = Sprite<CSpritePause>();
  PointAtButton(pause.titleButton);
  Click();
  Frames(1);
  game.reset();
  FramesUntilSwitch();
  EXPECT_EQ(GetCurrentScene()->GetName(), "CSceneTitle");
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveFileText(), savedBefore);
  EXPECT_EQ(cursorVisible, 1) << "the title shows the cursor";
}

TEST_F(MenuTest, EscapeAsksAndYesGoesToTheTitle)
{
  Open(VK_ESCAPE);
  ASSERT_EQ(game->escapeOpen, 1);
  EXPECT_EQ(cursorVisible, 1);
  CSpriteEscape& escape = Sprite<CSpriteEscape>();
  PointAtButton(escape.yesButton);
  Click();
  Frames(1);
  EXPECT_EQ(application->fadeOut, 1);

  // During the fade the question neither pulses nor answers.
  const int alpha = escape.alpha;
  PointAtButton(escape.noButton);
  Click();
  Frames(2);
  EXPECT_EQ(escape.alpha, alpha);
  EXPECT_EQ(escape.noButton.hovered, 0);
  EXPECT_EQ(game->escapeOpen, 1);

  game.reset();
  FramesUntilSwitch();
  EXPECT_EQ(GetCurrentScene()->GetName(), "CSceneTitle");
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveFileText(), savedBefore);
}

TEST_F(MenuTest, NoClosesTheQuestionAndSwallowsTheClick)
{
  Open(VK_ESCAPE);
  CSpriteEscape& escape = Sprite<CSpriteEscape>();
  PointAtButton(escape.noButton);
  game->pauseSound->playing = 0;
  // Straight through the sprite, so the click can be looked at right after it.
  application->input.clicked = 1;
  escape.Update();
  EXPECT_EQ(game->escapeOpen, 0);
  EXPECT_EQ(application->input.clicked, 0) << "nothing later in the frame sees it";
  EXPECT_EQ(cursorVisible, 0);
  EXPECT_EQ(game->pauseSound->playing, 1);
  EXPECT_EQ(GetCurrentScene(), game);

  // Yes, by contrast, leaves the click alone.
  game->escapeOpen = 1;
  PointAtButton(escape.yesButton);
  application->input.clicked = 1;
  escape.Update();
  EXPECT_EQ(application->input.clicked, 1);
  application->input.clicked = 0;
}

TEST_F(MenuTest, PauseScreenshot)
{
  StageOne();
  Frames(20);
  Open(VK_SPACE);
  PointAtButton(Sprite<CSpritePause>().retryButton);
  Frames(10);
  Screenshot("pause-menu.png");
  EXPECT_EQ(Sprite<CSpritePause>().retryButton.hovered, 1);
}

TEST_F(MenuTest, EscapeScreenshot)
{
  StageOne();
  Frames(20);
  Open(VK_ESCAPE);
  PointAtButton(Sprite<CSpriteEscape>().noButton);
  Frames(10);
  Screenshot("escape-menu.png");
  EXPECT_EQ(Sprite<CSpriteEscape>().noButton.hovered, 1);
}
