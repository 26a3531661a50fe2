// The title scene through the real loop: the opening, the prompt and the logo, the
// menu's first frames, Start and Continue, the switch at full black, the quit
// question, and a title whose pictures are missing.
#include "title_fixture.h"

#include "engine/graphics.h"
#include "sprite/sprite_records.h"

#include <filesystem>

TEST_F(TitleTest, OpensWithTheCursorShownTheMusicOnAndThePromptBlinking)
{
  const std::shared_ptr<CSceneTitle> title = Title();
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->GetName(), "CSceneTitle");
  EXPECT_EQ(CSceneTitle::currentTitleScene.lock(), title);
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(cursorVisible, 1);
  EXPECT_EQ(title->bgm->playing, 1);
  ASSERT_EQ(title->backSprites.size(), 3u);
  ASSERT_EQ(title->frontSprites.size(), 4u);
  EXPECT_NE(dynamic_cast<CTitleRecordsButton*>(title->frontSprites[3].get()), nullptr) << "the records button last";

  // The prompt fades out first: 51 frames to 0, one there, 51 back up.
  Frames(10);
  EXPECT_EQ(Prompt().alpha, 255 - 50);
  Frames(41);
  EXPECT_EQ(Prompt().alpha, 0);
  Frames(1);
  EXPECT_EQ(Prompt().alpha, 0);
  EXPECT_EQ(Prompt().phase, 0);
  Frames(52);
  EXPECT_EQ(Prompt().alpha, 255);
  EXPECT_EQ(Prompt().phase, 1);

  // 104 frames in: the logo stopped at y 50 after 100 and is not yet opaque (128 frames).
  EXPECT_FLOAT_EQ(Logo().transform._42, 50.0f);
  EXPECT_EQ(Logo().alpha, 208);
  EXPECT_EQ(title->titleState, 0);
  EXPECT_EQ(title->bgm->volume, 0) << "the music only sinks after a choice";
}

TEST_F(TitleTest, TheLogoJumpsToItsPlaceAfterTheClick)
{
  Frames(10);
  EXPECT_FLOAT_EQ(Logo().transform._42, 5.0f);
  EXPECT_EQ(Logo().alpha, 20);
  OpenMenu();
  EXPECT_EQ(Title()->titleState, 1);
  EXPECT_FLOAT_EQ(Logo().transform._42, 50.0f);
  EXPECT_EQ(Logo().alpha, 255);
  Frames(3);
  EXPECT_FLOAT_EQ(Logo().transform._42, 50.0f);
}

TEST_F(TitleTest, TheClickThatOpensTheMenuIsNoChoiceNorAreClicksInItsFirstSixFrames)
{
  // The pointer already rests on Start when the prompt is clicked.
  PointAtButton(Option().startButton);
  OpenMenu();
  const std::shared_ptr<CSceneTitle> title = Title();
  EXPECT_EQ(title->titleState, 1);
  EXPECT_EQ(Prompt().secondSound->playing, 1) << "the click sound";
  EXPECT_EQ(Option().startButton.hovered, 1) << "the highlight works from the first frame";
  EXPECT_EQ(Option().startButton.colour, 0xFFFFFF00u);
  EXPECT_EQ(Option().firstSound->playing, 1) << "the cursor sound too";
  EXPECT_EQ(application->fadeOut, 0);

  // Frames two to six of the menu: clicks on Start, none taken.
  application->stageNumber = 3;
  for (int frame = 2; frame <= 6; ++frame) {
    Click();
    Frames(1);
    EXPECT_EQ(title->titleState, 1) << "menu frame " << frame;
  }
  EXPECT_EQ(Option().ready, 0);
  EXPECT_EQ(application->stageNumber, 3);
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(Option().secondSound->playing, 0);

  // The seventh frame takes it.
  Click();
  Frames(1);
  EXPECT_EQ(Option().ready, 1);
  EXPECT_EQ(title->titleState, 2);
}

TEST_F(TitleTest, StartBeginsStageOneWithoutWritingTheSaveFile)
{
  const std::string savedBefore = SaveFileText();
  ASSERT_EQ(application->stageNumber, kSavedStage);
  OpenMenu();
  WaitUntilReady();
  PointAtButton(Option().startButton);
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 2);
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_EQ(application->fadeOut, 1);
  EXPECT_EQ(cursorVisible, 0) << "the cursor hides";
  EXPECT_EQ(Option().secondSound->playing, 1) << "the choice sound";
  EXPECT_EQ(SaveFileText(), savedBefore);
  // The menu is gone and clicks do nothing now.
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 2);
  // Stage 1 starts behind the black.
  Frames(50);
  ASSERT_NE(GetCurrentScene(), nullptr);
  EXPECT_EQ(GetCurrentScene()->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_EQ(SaveFileText(), savedBefore);
}

TEST_F(TitleTest, ContinueKeepsTheStageAndTheSwitchComesInTheFrameTheFadeIsFull)
{
  OpenMenu();
  WaitUntilReady();
  PointAtButton(Option().continueButton);
  Click();
  Frames(1);
  CSceneTitle* const title = Title().get();
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->titleState, 2);
  EXPECT_EQ(application->stageNumber, kSavedStage);
  EXPECT_EQ(application->fadeAlpha, 5);

  // Each update sees the fade the previous frame left; the one that sees 255 switches.
  int frames = 0;
  while (Title().get() == title && frames < 100) {
    const int seen = application->fadeAlpha;
    const LONG volumeBefore = title->bgm->volume;
    Frames(1);
    ++frames;
    if (Title().get() == title) {
      EXPECT_LT(seen, 255) << "stayed on the title at full black";
      EXPECT_EQ(title->bgm->volume, volumeBefore - 35) << "the music sinks each frame";
    } else {
      EXPECT_EQ(seen, 255) << "left before the screen was black";
    }
  }
  EXPECT_EQ(frames, 51);
  ASSERT_NE(GetCurrentScene(), nullptr);
  EXPECT_EQ(GetCurrentScene()->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, kSavedStage);
  EXPECT_TRUE(CSceneTitle::currentTitleScene.expired()) << "the title is gone";
  EXPECT_EQ(application->fadeOut, 0) << "the stage fades in";
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, application->cursorHome.x);
  EXPECT_EQ(cursor.y, application->cursorHome.y);
}

TEST_F(TitleTest, EscapeThenNoLeavesTheTitleAsItWas)
{
  OpenMenu();
  Frames(3);
  const std::shared_ptr<CSceneTitle> title = Title();
  const float startX = Option().startButton.position._41;
  Win32TestQueueMessageBoxAnswer(IDNO);
  TapKey(VK_ESCAPE);  // the snapshot takes the edge
  Frames(1);          // the update asks
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ゲームを終了しますか？");
  EXPECT_EQ(boxes[0].caption, "確認");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_EQ(Title(), title);
  EXPECT_EQ(title->titleState, 1);
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(application->stageNumber, kSavedStage);
  EXPECT_FLOAT_EQ(Option().startButton.position._41, startX);
  Frames(5);
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "asked once per press";
}

TEST_F(TitleTest, EscapeThenYesEndsWithoutDrawingAnotherFrame)
{
  // Also while fading out after a choice.
  OpenMenu();
  WaitUntilReady();
  PointAtButton(Option().startButton);
  Click();
  Frames(1);
  ASSERT_EQ(Title()->titleState, 2);
  Win32TestSetKey(VK_ESCAPE, true);
  Frames(1);
  Win32TestSetKey(VK_ESCAPE, false);

  // Paint the back buffer: a frame drawn after the answer would cover it.
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  ASSERT_EQ(graphics->device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF00FF, 1.0f, 0), D3D_OK);
  Win32TestQueueMessageBoxAnswer(IDYES);
  EXPECT_FALSE(application->StepFrame()) << "the program ends";
  ASSERT_EQ(Win32TestTakeMessageBoxes().size(), 1u);
  D3DLOCKED_RECT locked;
  const RECT one = {640, 360, 641, 361};
  ASSERT_EQ(graphics->backBuffer->LockRect(&locked, &one, D3DLOCK_READONLY), D3D_OK);
  const D3DCOLOR pixel = *static_cast<const D3DCOLOR*>(locked.pBits);
  graphics->backBuffer->UnlockRect();
  EXPECT_EQ(pixel & 0xFFFFFF, 0xFF00FFu);
}

TEST_F(TitleTest, HoveringOffAndBackOnPlaysTheCursorSoundEachTime)
{
  OpenMenu();
  for (int round = 0; round < 3; ++round) {
    Option().firstSound->playing = 0;  // as if the last one had been heard out
    PointAtButton(Option().continueButton);
    Frames(1);
    EXPECT_EQ(Option().continueButton.hovered, 1);
    EXPECT_EQ(Option().firstSound->playing, 1) << "round " << round;
    Option().firstSound->playing = 0;
    Frames(2);
    EXPECT_EQ(Option().firstSound->playing, 0) << "not again while staying";
    PointAway();
    Frames(1);
    EXPECT_EQ(Option().continueButton.hovered, 0);
    EXPECT_EQ(Option().continueButton.colour, 0xFFFFFFFFu);
  }
  EXPECT_EQ(Title()->titleState, 1);
}

TEST_F(TitleTest, MissingPicturesDrawNothingAndTheTitleGoesOn)
{
  // A res/ without the title's pictures: run the game from a folder that lacks them.
  application->EndLoop();
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->textureCache.clear();
  const std::filesystem::path here = std::filesystem::current_path();
  const std::filesystem::path bare = here / "bare";
  std::filesystem::create_directories(bare / "res");
  std::filesystem::current_path(bare);
  application->BeginLoop(std::make_shared<CSceneTitle>());
  ASSERT_TRUE(application->StepFrame());
  EXPECT_FLOAT_EQ(PictureWidth(Option().startButton.texture), 0.0f);
  PointAt(640, 360 + 275);
  OpenMenu();
  EXPECT_EQ(Title()->titleState, 1) << "the click still opens the menu";
  WaitUntilReady();
  Click();
  Frames(2);
  EXPECT_EQ(Title()->titleState, 1) << "an invisible button cannot be chosen";
  EXPECT_EQ(Option().startButton.hovered, 0);
  application->EndLoop();
  std::filesystem::current_path(here);
  graphics->textureCache.clear();
  application->BeginLoop(std::make_shared<CSceneTitle>());
}

TEST_F(TitleTest, Screenshots)
{
  // The title once the logo is opaque and the prompt fully lit, then its menu with
  // Start under the pointer.
  Frames(208);
  Screenshot("title.png");
  OpenMenu();
  PointAtButton(Option().startButton);
  Frames(8);
  Screenshot("title-menu.png");
  EXPECT_EQ(Option().startButton.hovered, 1);
}

TEST_F(TitleTest, TheMenuDimsTheBackgroundFromTheFrameOfTheClick)
{
  // Open sky in the top-right corner: no ray, cloud, logo or button there.
  Frames(2);
  const D3DCOLOR before = BackBufferPixel(1240, 30);
  OpenMenu();
  const D3DCOLOR after = BackBufferPixel(1240, 30);
  for (const int shift : {16, 8, 0}) {
    const int b = static_cast<int>((before >> shift) & 0xFF), a = static_cast<int>((after >> shift) & 0xFF);
    EXPECT_NEAR(a, b * 155 / 255, 3) << "channel at bit " << shift << ": black at 100/255 over the sky";
  }
  Frames(10);
  EXPECT_EQ(BackBufferPixel(1240, 30), after) << "and it stays";
}

TEST_F(TitleTest, TheFactoryMakesAFreshTitleEachTime)
{
  const std::shared_ptr<CSceneBase> first = CreateSceneByName("CSceneTitle");
  const std::shared_ptr<CSceneBase> second = CreateSceneByName("CSceneTitle");
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->GetName(), "CSceneTitle");
  EXPECT_EQ(CreateSceneByName("CSceneBlank"), nullptr);
}

// What every stage shares is loaded behind the title, one a frame, and every piece of it
// is then held by the stage itself: the list names nothing a stage does not use.
TEST_F(TitleTest, TheAssetsEveryStageSharesAreLoadedBehindTheTitleAndUsedByStageOne)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const std::vector<std::string>& paths = CStagePreload::Paths();
  auto cached = [&](const std::string& path) -> long {
    const bool isMesh = path.ends_with(".x");
    if (isMesh) return graphics->meshCache.count(path) ? graphics->meshCache[path].use_count() : 0;
    return graphics->textureCache.count(path) ? graphics->textureCache[path].use_count() : 0;
  };
  Frames(static_cast<int>(paths.size()));
  for (const std::string& path : paths) EXPECT_GT(cached(path), 0) << path << " loaded behind the title";

  OpenMenu();
  WaitUntilReady();
  PointAtButton(Option().startButton);
  Click();
  Frames(52);
  ASSERT_NE(GetCurrentScene(), nullptr);
  ASSERT_EQ(GetCurrentScene()->GetName(), "CSceneGame");
  for (const std::string& path : paths) EXPECT_GT(cached(path), 1) << path << " held by stage 1";
}
