// Times and records through the real loop: the stage clock counting play but not the
// opening, a pause or the orb message, stopping at the goal and writing the records
// file; the time on the clear screen; New Game and Continue on the whole game's clock;
// the records page reached from the title's corner button, its rows chosen with keys
// and mouse, a row's best replay played from it, and the way back.
#include "title_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "app/records.h"
#include "app/settings.h"
#include "app/stage_clock.h"
#include "app/user_paths.h"
#include "replay/replay_run.h"
#include "replay/scene_replay.h"
#include "replay/stage_attempt.h"
#include "scene/scene_records.h"
#include "sprite/sprite_clear_time.h"
#include "sprite/sprite_ending.h"
#include "sprite/sprite_game_time.h"
#include "sprite/sprite_records.h"

namespace {

// The records file of the scratch folder's save.
const char* const recordsPath = "res/dat/records.txt";

// The whole of a file; empty when it is missing.
std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A replay of `stage` in the replays folder, cleared at `clearTick` of 200 still ticks.
void KeepReplay(const std::string& name, int stage, int clearTick)
{
  ReplayFile replay;
  replay.header.stage = stage;
  replay.header.stageHash = StageFilesHash(stage);
  replay.header.seed = 7;
  replay.header.clearTick = clearTick;
  replay.ticks.resize(200);
  std::filesystem::create_directories(ReplayFolderPath());
  std::ofstream(ReplayFolderPath() + "/" + name, std::ios::binary) << EncodeReplay(replay);
}

// Draws the sprite alone on black in a sprite pass, as the scene's DrawSprite would.
void DrawAlone(CSpriteBase& sprite)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  graphics->device->BeginScene();
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite.Draw();
  graphics->sprite->End();
  graphics->device->EndScene();
}

// Pixels of the band y0..y1 between x0 and x1 (the middle unless told) bright in red
// and green (white or gold ink), read with one lock.
int BrightPixels(LONG y0, LONG y1, LONG x0 = 340, LONG x1 = 940)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const RECT band = {x0, y0, x1, y1};
  D3DLOCKED_RECT locked;
  if (FAILED(graphics->backBuffer->LockRect(&locked, &band, D3DLOCK_READONLY))) return -1;
  int count = 0;
  for (LONG y = 0; y < y1 - y0; ++y) {
    const D3DCOLOR* row = reinterpret_cast<const D3DCOLOR*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
    for (LONG x = 0; x < band.right - band.left; ++x) {
      if (((row[x] >> 16) & 0xFF) > 200 && ((row[x] >> 8) & 0xFF) > 160) count += 1;
    }
  }
  graphics->backBuffer->UnlockRect();
  return count;
}

class ClockTest : public TitleTest {
protected:
  // Stage 2 with no records yet, its opening over.
  void SetUp() override
  {
    TitleTest::SetUp();
    std::filesystem::remove(recordsPath);
    ReloadGameRecords();
    application->EndLoop();
    application->stageNumber = 2;
    application->BeginLoop(std::make_shared<CSceneGame>());
    game = std::dynamic_pointer_cast<CSceneGame>(GetCurrentScene());
    ASSERT_NE(game, nullptr);
  }
  void TearDown() override
  {
    game.reset();
    std::filesystem::remove(recordsPath);
    ReloadGameRecords();
    TitleTest::TearDown();
  }
  // The scene's clear-time sprite.
  CSpriteClearTime& ClearTimeSprite()
  {
    for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
      if (CSpriteClearTime* found = dynamic_cast<CSpriteClearTime*>(sprite.get())) return *found;
    }
    throw std::logic_error("no clear-time sprite");
  }

  std::shared_ptr<CSceneGame> game;
};

TEST_F(ClockTest, CountsOnlyTheTicksThePlayerHasControl)
{
  Frames(5);
  EXPECT_EQ(game->StageTicks(), 0) << "the opening flight does not count";
  game->cameraEvent = 0;
  Frames(10);
  EXPECT_EQ(game->StageTicks(), 10);

  TapKey(VK_SPACE);
  Frames(1);
  ASSERT_EQ(game->paused, 1);
  const int atPause = game->StageTicks();
  Frames(20);
  EXPECT_EQ(game->StageTicks(), atPause) << "a pause does not count";
  TapKey(VK_SPACE);
  Frames(1);
  ASSERT_EQ(game->paused, 0);
  const int resumed = game->StageTicks();
  Frames(4);
  EXPECT_EQ(game->StageTicks(), resumed + 4);

  TapKey(VK_ESCAPE);
  Frames(1);
  ASSERT_EQ(game->escapeOpen, 1);
  const int atEscape = game->StageTicks();
  Frames(6);
  EXPECT_EQ(game->StageTicks(), atEscape) << "nor the return-to-title question";
  game->escapeOpen = 0;

  game->orbObtained = 1;
  const int atOrb = game->StageTicks();
  Frames(6);
  EXPECT_EQ(game->StageTicks(), atOrb) << "nor the orb message";
  game->orbObtained = 0;
  Frames(1);
  EXPECT_EQ(game->StageTicks(), atOrb + 1);
}

TEST_F(ClockTest, TheGoalStopsTheClockShowsTheTimeAndKeepsTheRecord)
{
  game->cameraEvent = 0;
  Frames(31);
  DrawAlone(ClearTimeSprite());
  EXPECT_EQ(BrightPixels(200, 400), 0) << "nothing before the goal";
  EXPECT_EQ(ClearTimeSprite().TimeText(), "-:--.--");
  game->goalReached = 1;  // as the goal's touch sets it in the actor step
  Frames(1);
  const int ticks = game->StageTicks();
  EXPECT_EQ(ticks, 31) << "no tick once the goal is reached";
  EXPECT_TRUE(game->clock.IsStopped());
  Frames(40);
  EXPECT_EQ(game->StageTicks(), ticks);
  EXPECT_EQ(game->clearTime.ticks, ticks);
  EXPECT_TRUE(game->clearTime.newBest);
  EXPECT_EQ(ClearTimeSprite().TimeText(), "0:00.49") << "31 ticks of 16 ms";
  EXPECT_EQ(ClearTimeSprite().BesideText(), "") << "the first clear has nothing to beat";
  DrawAlone(ClearTimeSprite());
  EXPECT_GT(BrightPixels(262, 340), 40) << "the time is drawn below the letters";
  EXPECT_EQ(BrightPixels(200, 250), 0) << "and only there";
  EXPECT_EQ(BrightPixels(345, 400), 0) << "and only there";
  EXPECT_EQ(ReadFile(recordsPath).find("stage 2 31  # 0:00.49\n") != std::string::npos, true) << ReadFile(recordsPath);
  EXPECT_EQ(GameRecords().StageBest(2), 31);

  // A slower attempt shows the best beside its time and leaves the file alone.
  game.reset();
  application->EndLoop();
  std::ofstream(recordsPath) << "stage 2 20\n";
  ReloadGameRecords();
  application->BeginLoop(std::make_shared<CSceneGame>());
  game = std::dynamic_pointer_cast<CSceneGame>(GetCurrentScene());
  game->cameraEvent = 0;
  Frames(25);
  game->goalReached = 1;
  Frames(2);
  EXPECT_FALSE(game->clearTime.newBest);
  EXPECT_EQ(ClearTimeSprite().BesideText(), "BEST 0:00.32");
  EXPECT_EQ(ReadFile(recordsPath), "stage 2 20\n") << "nothing bettered, nothing written";
}

TEST_F(ClockTest, NewGameTimesTheWholeGameAndContinueDoesNot)
{
  for (const bool newGame : {true, false}) {
    game.reset();
    application->EndLoop();
    application->BeginLoop(std::make_shared<CSceneTitle>());
    OpenMenu();
    WaitUntilReady();
    PointAtButton(newGame ? Option().startButton : Option().continueButton);
    Frames(1);
    Click();
    Frames(1);
    EXPECT_EQ(CGameClock::GetInstance().IsTimed(), newGame);
    EXPECT_EQ(CGameClock::GetInstance().Ticks(), 0);
  }
}

TEST_F(TitleTest, TheLastCreditPageCarriesTheWholeGameTimeOnlyForATimedGame)
{
  CEndingSpace space;
  for (int frame = 0; frame < 6000; ++frame) {
    space.Update();
    const float pageBottom = space.creditMatrix._42 + PictureHeight(space.creditTexture);
    if (space.creditPage == space.creditPageCount && pageBottom < 480.0f) break;
  }
  ASSERT_EQ(space.creditPage, space.creditPageCount);
  const LONG top = static_cast<LONG>(space.creditMatrix._42 + PictureHeight(space.creditTexture));
  const LONG centre = static_cast<LONG>(space.creditMatrix._41 + PictureWidth(space.creditTexture) * 0.5f);
  CGameClock& clock = CGameClock::GetInstance();
  clock.Cancel();
  DrawAlone(space);
  const int untimed = BrightPixels(top, top + 120, centre - 250, centre + 250);
  EXPECT_EQ(CWholeGameTime().TimeText(), "") << "a Continue: no time";

  clock.Start();
  clock.Add(61250);
  EXPECT_EQ(CWholeGameTime().TimeText(), "") << "not before the last goal";
  clock.Finish(70000, true);
  EXPECT_EQ(CWholeGameTime().TimeText(), "WHOLE GAME 16:20.00");
  EXPECT_EQ(CWholeGameTime().BesideText(), "NEW BEST!");
  DrawAlone(space);
  Screenshot("ending-whole-game-time.png");
  EXPECT_GT(BrightPixels(top, top + 120, centre - 250, centre + 250), untimed + 200) << "drawn under the page";
  clock.Start();
  clock.Add(80000);
  clock.Finish(70000, false);
  EXPECT_EQ(CWholeGameTime().BesideText(), "BEST 18:40.00");
  clock.Cancel();
}

class RecordsPageTest : public TitleTest {
protected:
  void SetUp() override
  {
    TitleTest::SetUp();
    std::ofstream(recordsPath) << "# best times\r\nstage 1 3125\r\nstage 3 4000\r\ngame 60000\r\n";
    ReloadGameRecords();
  }
  void TearDown() override
  {
    CSceneRecords::playRun = nullptr;
    std::filesystem::remove(recordsPath);
    ReloadGameRecords();
    TitleTest::TearDown();
  }
  // The running records scene, or null.
  std::shared_ptr<CSceneRecords> Page() const { return std::dynamic_pointer_cast<CSceneRecords>(GetCurrentScene()); }
  // The title's records button.
  CTitleRecordsButton& RecordsButton() const
  {
    for (const std::shared_ptr<CSpriteBase>& sprite : Title()->frontSprites) {
      if (auto* found = dynamic_cast<CTitleRecordsButton*>(sprite.get())) return *found;
    }
    throw std::logic_error("no records button");
  }
  // Steps until the scene changes; false after the limit.
  bool FramesUntilSwitch(int limit)
  {
    const std::shared_ptr<CSceneBase> before = GetCurrentScene();
    for (int i = 0; i < limit; ++i) {
      Frames(1);
      if (GetCurrentScene() != before) return true;
    }
    return false;
  }
  // Opens the page straight away, as the title's button does at full black.
  std::shared_ptr<CSceneRecords> OpenPage()
  {
    application->EndLoop();
    application->BeginLoop(std::make_shared<CSceneRecords>());
    PointAway();
    Frames(2);
    return Page();
  }
};

TEST_F(RecordsPageTest, TheCornerButtonOpensThePageWithEveryTime)
{
  OpenMenu();
  const MenuButton& button = RecordsButton().button;
  const float right = button.position._41 + PictureWidth(button.texture);
  const float bottom = button.position._42 + PictureHeight(button.texture);
  EXPECT_GT(PictureWidth(button.texture), 0.0f);
  EXPECT_LT(PictureWidth(button.texture), PictureWidth(Option().startButton.texture)) << "smaller than the menu's";
  EXPECT_NEAR(right, 1280.0f - 24.0f, 0.5f);
  EXPECT_NEAR(bottom, 720.0f - 24.0f, 0.5f);
  EXPECT_GT(button.position._41, Option().startButton.position._41 + PictureWidth(Option().startButton.texture))
      << "clear of New Game";
  PointAtButton(button);
  Frames(1);
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 1) << "the click that opened the menu is too early";
  WaitUntilReady();
  PointAtButton(button);
  Frames(1);
  EXPECT_EQ(button.hovered, 1);
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 2);
  ASSERT_TRUE(FramesUntilSwitch(60));
  const std::shared_ptr<CSceneRecords> page = Page();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(CRecordsPage::RowTime(0), "0:50.00");
  EXPECT_EQ(CRecordsPage::RowTime(1), "-:--.--");
  EXPECT_EQ(CRecordsPage::RowTime(2), "1:04.00");
  EXPECT_EQ(CRecordsPage::RowLabel(8), "WHOLE GAME");
  EXPECT_EQ(CRecordsPage::RowTime(8), "16:00.00");
  EXPECT_EQ(CRecordsPage::RowStage(8), 0);
  EXPECT_GT(page->page->RowY(8) - page->page->RowY(7), page->page->rowHeight) << "the whole game stands apart";
}

namespace {
// Where a button's picture stands on the back buffer: left, top, right, bottom.
struct ButtonBox {
  float left, top, right, bottom;
};
ButtonBox BoxOf(const MenuButton& button)
{
  const float left = button.position._41;
  const float top = button.position._42;
  return {left, top, left + PictureWidth(button.texture), top + PictureHeight(button.texture)};
}
// Whether two boxes share any pixel.
bool Overlap(const ButtonBox& a, const ButtonBox& b)
{
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
}  // namespace

TEST_F(RecordsPageTest, TheCornerButtonsStandOneAboveTheOtherAndEachAnswersTheMouse)
{
  OpenMenu();
  WaitUntilReady();
  const MenuButton& records = RecordsButton().button;
  const MenuButton& options = Option().optionsButton;
  const ButtonBox low = BoxOf(records);
  const ButtonBox high = BoxOf(options);
  EXPECT_FLOAT_EQ(high.left, low.left);
  EXPECT_FLOAT_EQ(high.right, low.right) << "as wide as the records button";
  EXPECT_FLOAT_EQ(high.bottom - high.top, low.bottom - low.top) << "as tall";
  EXPECT_FLOAT_EQ(low.top - high.bottom, 16.0f) << "a 16-pixel gap between them";
  EXPECT_FLOAT_EQ(high.left, 976.0f);
  EXPECT_FLOAT_EQ(high.top, 536.0f);
  const ButtonBox continueBox = BoxOf(Option().continueButton);
  const ButtonBox startBox = BoxOf(Option().startButton);
  EXPECT_FLOAT_EQ(continueBox.top, 470.0f) << "Continue keeps its place";
  EXPECT_FLOAT_EQ(startBox.top, 585.0f) << "New Game keeps its place";
  for (const ButtonBox& corner : {low, high}) {
    EXPECT_FALSE(Overlap(corner, continueBox));
    EXPECT_FALSE(Overlap(corner, startBox));
  }

  // Options opens its page; the records button neither shows nor answers under it.
  PointAtButton(options);
  Frames(1);
  Click();
  Frames(1);
  ASSERT_TRUE(Option().optionsPage.IsOpen());
  PointAtButton(records);
  Frames(1);
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 1) << "a click on the page's corner chose the records";
  EXPECT_EQ(Title()->chosenPage, nullptr);
  TapKey(VK_ESCAPE);
  Frames(2);
  ASSERT_FALSE(Option().optionsPage.IsOpen());

  // Back on the menu, the records button opens its page.
  PointAtButton(records);
  Frames(1);
  EXPECT_EQ(records.hovered, 1);
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 2);
  ASSERT_TRUE(FramesUntilSwitch(60));
  EXPECT_NE(Page(), nullptr);
}

TEST_F(RecordsPageTest, KeysAndMouseChooseRowsAndOnlyRowsWithATimePlay)
{
  std::vector<int> played;
  CSceneRecords::playRun = [&played](int stage) { played.push_back(stage); };
  const std::shared_ptr<CSceneRecords> scene = OpenPage();
  ASSERT_NE(scene, nullptr);
  CRecordsPage& page = *scene->page;
  EXPECT_EQ(page.selected, 0);
  TapKey(VK_DOWN);
  Frames(1);
  EXPECT_EQ(page.selected, 1);
  TapKey(VK_UP);
  Frames(1);
  TapKey(VK_UP);
  Frames(1);
  EXPECT_EQ(page.selected, CRecordsPage::kBackIndex) << "up from the first row wraps to the back button";
  TapKey(VK_DOWN);
  Frames(1);
  EXPECT_EQ(page.selected, 0);
  TapKey(VK_RETURN);
  Frames(1);
  ASSERT_EQ(played, std::vector<int>{1});
  TapKey(VK_DOWN);
  Frames(1);
  TapKey(VK_RETURN);
  Frames(1);
  EXPECT_EQ(played, std::vector<int>{1}) << "stage 2 has no time to play";

  PointAt(page.labelX + 20.0f, page.RowY(8) + 10.0f);
  Frames(1);
  EXPECT_EQ(page.selected, 8);
  Click();
  Frames(1);
  EXPECT_EQ(played, (std::vector<int>{1, 0})) << "the whole game's row";
  PointAt(page.labelX + 20.0f, page.RowY(2) + 10.0f);
  Frames(1);
  TapKey(VK_SPACE);
  Frames(1);
  EXPECT_EQ(played, (std::vector<int>{1, 0, 3}));
  EXPECT_EQ(page.backChosen, 0);
}

TEST_F(RecordsPageTest, WithoutAPlayerRowsDoNothingAndBothWaysBackReachTheMenu)
{
  const std::shared_ptr<CSceneRecords> scene = OpenPage();
  ASSERT_NE(scene, nullptr);
  TapKey(VK_RETURN);
  Frames(3);
  EXPECT_EQ(scene->leaving, 0) << "no player set: choosing a row changes nothing";
  TapKey(VK_ESCAPE);
  Frames(1);
  EXPECT_EQ(scene->leaving, 1);
  ASSERT_TRUE(FramesUntilSwitch(60));
  ASSERT_NE(Title(), nullptr);
  EXPECT_EQ(Title()->titleState, 1) << "back on the menu, not the prompt";

  const std::shared_ptr<CSceneRecords> again = OpenPage();
  ASSERT_NE(again, nullptr);
  PointAtButton(again->page->backButton);
  Frames(1);
  EXPECT_EQ(again->page->selected, CRecordsPage::kBackIndex);
  Click();
  Frames(1);
  EXPECT_EQ(again->leaving, 1);
  ASSERT_TRUE(FramesUntilSwitch(60));
  EXPECT_NE(Title(), nullptr);
}

TEST_F(RecordsPageTest, ARowWithAKeptReplayPlaysTheBestOneAndEscapeReturnsToTheTitle)
{
  std::filesystem::remove_all(ReplayFolderPath());
  KeepReplay("20260101-000000-s1-000.replay", 1, 150);
  KeepReplay("20260102-000000-s1-000.replay", 1, 90);
  KeepReplay("20260103-000000-s1-000.replay", 1, -1);
  KeepReplay("20260104-000000-s2-000.replay", 2, 60);
  std::ofstream(ReplayFolderPath() + "/20260105-000000-s1-000.replay") << "not a replay";
  CSceneRecords::playRun = PlayBestRun;
  const std::shared_ptr<CSceneRecords> scene = OpenPage();
  ASSERT_NE(scene, nullptr);

  // Stage 3 has a time but no replay, and so has the whole game.
  scene->page->selected = 2;
  TapKey(VK_RETURN);
  Frames(3);
  EXPECT_EQ(GetCurrentScene(), scene) << "stage 3's row";
  scene->page->selected = 8;
  TapKey(VK_RETURN);
  Frames(3);
  EXPECT_EQ(GetCurrentScene(), scene) << "the whole game's row";

  // Stage 1's row: the fastest clear among its files, played in the replay scene.
  PointAt(scene->page->labelX + 20.0f, scene->page->RowY(0) + 10.0f);
  Frames(1);
  Click();
  Frames(2);
  const std::shared_ptr<CSceneReplay> replay = std::dynamic_pointer_cast<CSceneReplay>(GetCurrentScene());
  ASSERT_NE(replay, nullptr) << "the replay scene starts";
  EXPECT_EQ(replay->Replay().header.stage, 1);
  EXPECT_EQ(replay->Replay().header.clearTick, 90);
  TapKey(VK_ESCAPE);
  Frames(2);
  EXPECT_NE(Title(), nullptr) << "Escape leaves the replay for the title";
  std::filesystem::remove_all(ReplayFolderPath());
}

TEST_F(RecordsPageTest, ADamagedFileShowsAnEmptyPage)
{
  std::ofstream(recordsPath) << "stage 1 fast\n";
  ::testing::internal::CaptureStderr();
  ReloadGameRecords();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("records.txt.bad"), std::string::npos) << said;
  const std::shared_ptr<CSceneRecords> scene = OpenPage();
  ASSERT_NE(scene, nullptr);
  for (int row = 0; row < CRecordsPage::kRowCount; ++row) EXPECT_EQ(CRecordsPage::RowTime(row), "-:--.--");
  std::filesystem::remove(std::string(recordsPath) + ".bad");
}

}  // namespace

TEST_F(ClockTest, TheCornerClockRunsOnlyWithTheSettingAndWhileThePlayerHasControl)
{
  RunSettings().showTimer = true;
  Frames(3);
  EXPECT_EQ(ClearTimeSprite().RunningText(), "") << "not during the opening flight";
  game->cameraEvent = 0;
  Frames(10);
  EXPECT_EQ(ClearTimeSprite().RunningText(), "0:00.16");
  DrawAlone(ClearTimeSprite());
  EXPECT_GT(BrightPixels(20, 60, 1100, 1260), 20) << "drawn in the top-right corner";
  EXPECT_EQ(BrightPixels(200, 400), 0) << "and nowhere in the middle";
  TapKey(VK_SPACE);
  Frames(1);
  ASSERT_EQ(game->paused, 1);
  EXPECT_EQ(ClearTimeSprite().RunningText(), "") << "the pause menu hides it";
  TapKey(VK_SPACE);
  Frames(1);
  RunSettings().showTimer = false;
  EXPECT_EQ(ClearTimeSprite().RunningText(), "");
  DrawAlone(ClearTimeSprite());
  EXPECT_EQ(BrightPixels(20, 60, 1100, 1260), 0) << "off by default: the corner stays as made";
}
