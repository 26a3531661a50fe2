// The HUD sprites of a stage against the scene's flags: the orb message box (a click
// before it has settled is ignored, the game resumes when it has faded, a second
// message starts afresh), the clear lettering (letters rise one after another,
// overshoot, settle, fade in turn; nothing is drawn on the last stage), the stage
// banner (slides in, holds, leaves; a menu freezes it and silences the ray) and the
// skip hint.
#include <algorithm>
#include <cmath>

#include "player_world.h"
#include "sprite/sprite_hud.h"

class HudTest : public PlayerWorld {
protected:
  void SetUp() override
  {
    PlayerWorld::SetUp();
    CSpriteBase::currentScene = scene;
  }
  void TearDown() override
  {
    CSpriteBase::currentScene.reset();
    PlayerWorld::TearDown();
  }
  // Frames of one sprite alone, as the scene's sprite step runs it.
  void Run(CSpriteBase& sprite, int frames)
  {
    for (int i = 0; i < frames; ++i) sprite.Update();
  }
  // Draws one sprite over a black back buffer; returns how many pixels are lit.
  int LitPixelsAfterDrawing(CSpriteBase& sprite)
  {
    ClearBackBuffer(0xFF000000);
    graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
    sprite.Draw();
    graphics->sprite->End();
    const std::vector<D3DCOLOR> pixels = ReadSurface(graphics->backBuffer);
    return static_cast<int>(
        std::count_if(pixels.begin(), pixels.end(), [](D3DCOLOR c) { return (c & 0xFFFFFF) != 0; }));
  }
};

TEST_F(HudTest, TheMessageBoxIgnoresAClickUntilItHasSettledThenFadesAndResumesTheGame)
{
  CSpriteText text;
  ASSERT_GT(PictureWidth(text.boxTexture), 0.0f) << "res/game/sprite/text_box.png";
  EXPECT_FLOAT_EQ(text.transform._41, 640.0f - PictureWidth(text.boxTexture) * 0.5f);
  Run(text, 5);
  EXPECT_EQ(text.transform._42, 0.0f) << "nothing before an orb";

  scene->orbObtained = 1;
  application->input.clicked = 1;  // a click while it slides in
  Run(text, 1);
  application->input.clicked = 0;
  EXPECT_EQ(text.closing, 0) << "the click at y 1.5 is ignored";
  EXPECT_EQ(text.orbSound->playing, 1) << "res/sound/orb_get.wav";
  Run(text, 31);
  EXPECT_LT(text.transform._42, 50.0f);
  application->input.clicked = 1;
  Run(text, 1);
  application->input.clicked = 0;
  EXPECT_EQ(text.closing, 0) << "still short of 50 at 48";
  Run(text, 2);
  EXPECT_EQ(text.transform._42, 51.0f) << "settled after 34 frames of 1.5, the first step past 50";
  Run(text, 20);
  EXPECT_EQ(text.transform._42, 51.0f) << "and stays there";
  EXPECT_EQ(text.alpha, 255);

  scene->paused = 1;
  application->input.clicked = 1;
  Run(text, 1);
  EXPECT_EQ(text.closing, 0) << "a menu hides the box and its clicks";
  scene->paused = 0;
  Run(text, 1);
  application->input.clicked = 0;
  EXPECT_EQ(text.closing, 1);
  EXPECT_EQ(text.secondSound->playing, 1) << "res/sound/click.wav";
  int frames = 1;
  while (scene->orbObtained && frames < 100) {
    Run(text, 1);
    ++frames;
  }
  EXPECT_EQ(scene->orbObtained, 0) << "the game resumes once the box has faded";
  EXPECT_EQ(frames, 26) << "255 down by 10 a frame";

  // A second orb in the same stage shows its message again from the top.
  scene->orbObtained = 1;
  application->input.clicked = 1;
  Run(text, 1);
  application->input.clicked = 0;
  EXPECT_EQ(text.closing, 0);
  EXPECT_EQ(text.transform._42, 1.5f);
}

TEST_F(HudTest, TheMessageIsTheStagesMagic)
{
  application->stageNumber = 1;
  CSpriteText blue;
  application->stageNumber = 4;
  CSpriteText red;
  EXPECT_EQ(blue.messageTexture, LoadSpriteTexture("res/game/sprite/inryoku_text.png"));
  EXPECT_EQ(red.messageTexture, LoadSpriteTexture("res/game/sprite/sekiryoku_text.png"));
  EXPECT_GT(PictureWidth(red.messageTexture), 0.0f);
  EXPECT_EQ(PictureWidth(red.messageTexture), PictureWidth(red.boxTexture)) << "laid out on the box's size";
}

TEST_F(HudTest, TheClearLettersRiseOneAfterAnotherSettleAndFadeInTurn)
{
  CSpriteClear clear;
  Run(clear, 10);
  EXPECT_EQ(clear.letters[0].position._42, 330.0f) << "nothing before the goal";
  scene->goalReached = 1;

  float lowest[8];
  int started[8];
  std::fill(lowest, lowest + 8, 999.0f);
  std::fill(started, started + 8, -1);
  float previousY[8];
  for (int i = 0; i < 8; ++i) previousY[i] = clear.letters[i].position._42;
  int frame = 0;
  while (clear.clearPhase == 0 && frame < 500) {
    Run(clear, 1);
    ++frame;
    for (int i = 0; i < 8; ++i) {
      const float y = clear.letters[i].position._42;
      if (started[i] < 0 && y != previousY[i]) {
        started[i] = frame;
        if (i > 0) {
          EXPECT_LT(previousY[i - 1], 260.0f) << "letter " << i << " waits for letter " << i - 1;
        }
      }
      lowest[i] = std::min(lowest[i], y);
      previousY[i] = y;
    }
  }
  ASSERT_EQ(clear.clearPhase, 1) << "all eight settled";
  for (int i = 0; i < 8; ++i) {
    EXPECT_LE(lowest[i], 20.0f) << "letter " << i << " overshoots";
    EXPECT_GE(clear.letters[i].position._42, 60.0f) << "and settles back";
    EXPECT_EQ(clear.letters[i].alpha, 255);
    if (i > 0) {
      EXPECT_GT(started[i], started[i - 1]) << "one after another";
    }
  }
  // Letter 0 grew by 2.5 % on each of its frames.
  const int letterFrames = 35 + 8;  // up 9 a frame from 330 to 15, down 6 a frame to 63
  EXPECT_NEAR(clear.letters[0].letterScale._11, std::pow(1.025f, static_cast<float>(letterFrames)), 0.01f);
  EXPECT_LE(clear.letters[7].transform._41 + 53.0f * clear.letters[7].letterScale._11, 1280.0f + 53.0f)
      << "the last cell may reach past the edge only by its transparent margin";

  // Fading: each next letter starts once the one before is at 150 or below.
  Run(clear, 1);
  EXPECT_EQ(clear.letters[0].alpha, 245);
  EXPECT_EQ(clear.letters[1].alpha, 255);
  Run(clear, 10);
  EXPECT_EQ(clear.letters[0].alpha, 145);
  EXPECT_LT(clear.letters[1].alpha, 255);
  Run(clear, 300);
  for (const ClearLetter& letter : clear.letters) EXPECT_EQ(letter.alpha, 0);

  scene->paused = 1;
  const float frozen = clear.letters[7].position._41;
  Run(clear, 3);
  EXPECT_EQ(clear.letters[7].position._41, frozen);
}

TEST_F(HudTest, TheClearLettersAreDrawnExceptOnTheLastStage)
{
  scene->goalReached = 1;
  CSpriteClear clear;
  Run(clear, 60);
  EXPECT_GT(LitPixelsAfterDrawing(clear), 2000) << "stage 1 shows the letters";
  application->stageNumber = 8;
  EXPECT_EQ(LitPixelsAfterDrawing(clear), 0) << "stage 8 shows nothing";
  application->stageNumber = 1;
  scene->paused = 1;
  EXPECT_EQ(LitPixelsAfterDrawing(clear), 0) << "nor under a menu";
}

TEST_F(HudTest, TheBannerSlidesInHoldsAndLeavesAndAMenuFreezesItAndSilencesTheRay)
{
  scene->cameraEvent = 1;
  CSpriteStageTitle title;
  ASSERT_EQ(PictureWidth(title.texture), 800.0f) << "res/game/sprite/stage_title.1.png";
  EXPECT_EQ(PictureHeight(title.rayTexture), 240.0f) << "six 40-pixel frames";
  // The hum is the magic ray's sound; any loop shows whether it runs.
  title.raySound->Load("res/sound/torch_fire.wav");
  ASSERT_NE(title.raySound->buffer, nullptr);
  EXPECT_EQ(title.transform._41, 1280.0f);
  EXPECT_EQ(title.stopX, 240.0f);

  Run(title, 10);
  EXPECT_EQ(title.transform._41, 1200.0f);
  EXPECT_EQ(title.bannerState, 0);
  EXPECT_EQ(title.raySound->playing, 1);
  EXPECT_EQ(title.segments[0]._41, 1200.0f - 180.0f) << "the ray runs ahead";
  EXPECT_EQ(title.segments[9]._41, 1200.0f - 1800.0f);
  EXPECT_EQ(title.segments[0]._42, 50.0f + 130.0f / 3.0f);
  EXPECT_EQ(title.rayFrame, 5) << "a new frame every second frame";

  scene->paused = 1;
  Run(title, 20);
  EXPECT_EQ(title.transform._41, 1200.0f) << "frozen under the menu";
  EXPECT_EQ(title.raySound->playing, 0) << "and silent";
  EXPECT_EQ(LitPixelsAfterDrawing(title), 0) << "and hidden";
  scene->paused = 0;

  Run(title, 120);
  EXPECT_EQ(title.transform._41, 240.0f);
  EXPECT_EQ(title.bannerState, 1);
  Run(title, 1);
  EXPECT_EQ(title.raySound->playing, 0) << "the ray is quiet while the banner holds";
  EXPECT_EQ(title.titleSound->playing, 1) << "res/sound/stage_title.wav";
  EXPECT_EQ(title.headAlpha, 150);
  Run(title, 100);
  EXPECT_EQ(title.bannerState, 2);
  EXPECT_EQ(title.transform._41, 240.0f);
  Run(title, 5);
  EXPECT_EQ(title.transform._41, 200.0f) << "leaving to the left";
  EXPECT_EQ(title.segments[0]._41, 200.0f + 800.0f) << "the ray trails behind";
  EXPECT_EQ(title.raySound->volume, -60) << "fading by 10 a frame, from the frame it set off";
  EXPECT_GT(LitPixelsAfterDrawing(title), 20000);

  scene->cameraEvent = 0;
  Run(title, 1);
  EXPECT_EQ(title.raySound->playing, 0) << "the opening is over";
  EXPECT_EQ(title.transform._41, 200.0f);
  EXPECT_EQ(LitPixelsAfterDrawing(title), 0);
}

TEST_F(HudTest, TheSkipHintBlinksInTheCornerOnlyDuringTheOpening)
{
  scene->cameraEvent = 1;
  CSpriteSpaceSkip skip;
  ASSERT_GT(PictureHeight(skip.texture), 0.0f) << "res/game/sprite/space_skip.png";
  EXPECT_EQ(skip.transform._42, 720.0f - PictureHeight(skip.texture));
  EXPECT_EQ(skip.transform._41, 0.0f);
  Run(skip, 10);
  EXPECT_EQ(skip.alpha, 205);
  EXPECT_GT(LitPixelsAfterDrawing(skip), 1000);
  scene->cameraEvent = 0;
  Run(skip, 10);
  EXPECT_EQ(skip.alpha, 205);
  EXPECT_EQ(LitPixelsAfterDrawing(skip), 0);
}
