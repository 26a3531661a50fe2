// The ending through the real loop. The scene on its own: the changes of sequence at
// full black, the yellow flash on screen, Escape in the first frame, during a change
// and in the frame of full black. Then two routes from a saved 8: Continue, walk to the
// final orb, watch the hops, and either let the whole ending run to the title without
// input or skip it with Escape; Continue afterwards starts stage 8 again. Stage 8 is
// the ending hall of the test tree (res/test/ending/), a plain walk to the final orb,
// so that these routes test the ending, not the solving of the real top floor.
#include "playthrough.h"

#include <fstream>

#include "../support/back_buffer_pixel.h"
#include "actor/gimmick/game_goal.h"
#include "actor/player/game_player.h"
#include "actor/player/player_goal_state.h"
#include "app/input.h"
#include "scene/scene_ending.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "sprite/sprite_ending.h"

namespace {

[[maybe_unused]] const bool endingHallUsed = PlaythroughUseTestStage(8, "test/ending");

// The final orb the ending hall places, from its stage source.
const D3DXVECTOR3 orbPlace(0.0f, 0.3f, 18.0f);
// Frames from one sequence's creation to the next one's (or the title's): the inside
// ends in its frame 344, the outside tower (720 high) is gone in 619, the credits (five
// 680-pixel pages from frame 235) are done in 3739 and the 470-pixel tower three of its
// heights above the screen 831 frames later; the fade adds 51 to each.
const int insideFrames = 344 + 51;
const int outsideFrames = 619 + 51;
const int spaceFrames = 3739 + 831 + 51;

}  // namespace

class EndingRouteTest : public PlaythroughTest {
protected:
  // The loop runs a fresh ending instead of the title, drawing only looked-at frames.
  void StartEnding()
  {
    application->EndLoop();
    gate = std::make_shared<CDrawGate>(std::make_shared<CSceneEnding>());
    application->BeginLoop(gate);
    DrawEvery(100000);
  }

  // The loop's scene as the ending, if it is one.
  std::shared_ptr<CSceneEnding> Ending() const { return std::dynamic_pointer_cast<CSceneEnding>(CurrentScene()); }

  // The running sequence's class name, or "" outside the ending.
  std::string SequenceName() const
  {
    const std::shared_ptr<CSceneEnding> ending = Ending();
    return ending && ending->endingSprite ? ending->endingSprite->GetName() : std::string();
  }

  // One frame, drawn.
  void DrawnFrame()
  {
    const int every = drawEvery;
    DrawEvery(1);
    Frames(1);
    DrawEvery(every);
  }

  // From a saved 8: restart, Continue, skip the opening and walk to the final orb; true
  // once the goal is reached.
  bool ReachTheFinalOrb()
  {
    std::ofstream("res/dat/save.dat", std::ios::binary) << "8\r\n";
    RestartProgram();
    EXPECT_EQ(application->stageNumber, 8) << "start-up read the save file";
    if (!ContinueFromTitle()) return false;
    EXPECT_EQ(application->stageNumber, 8);
    const std::shared_ptr<CActorBase> map = FindActor("CGameMap");
    EXPECT_TRUE(map && map->mesh && map->mesh->fileName == "map.8.x") << "stage 8's own map";
    const std::shared_ptr<CGameGoal> orb = std::dynamic_pointer_cast<CGameGoal>(FindActor("CGameGoal"));
    if (!orb) {
      ADD_FAILURE() << "stage 8 has no goal";
      return false;
    }
    EXPECT_EQ(orb->isFinal, 1) << "the final orb";
    if (!SkipOpening()) return false;
    const std::shared_ptr<CSceneGame> stage = Game();
    return WalkTo(0.0f, 10.0f, 0.3f, 400) &&
           WalkTo(orbPlace.x, orbPlace.z, 0.3f, 400, [&] { return stage->goalReached != 0; }) &&
           stage->goalReached == 1;
  }

  // Stage 8 from a saved 8 up to the ending's first frame, then no more drawing.
  bool PlayStageEightIntoTheEnding()
  {
    DrawEvery(50);
    if (!ReachTheFinalOrb() || !WatchTheHopsIntoTheEnding()) return false;
    DrawEvery(100000);
    return true;
  }

  // "scene/sequence" for the order of changes.
  std::string SceneAndSequence() const { return CurrentScene()->GetName() + "/" + SequenceName(); }

  // The three hops, then the ending 60 frames later; true once the ending runs.
  bool WatchTheHopsIntoTheEnding()
  {
    const std::shared_ptr<CSceneGame> stage = Game();
    if (!WaitFor([&] { return LockGoalState() && LockGoalState()->phase == 2; }, 250, "the turn and three hops")) {
      return false;
    }
    EXPECT_EQ(LockGoalState()->hopCount, 3);
    if (!WaitFor([&] { return LockGoalState()->endingRequested == 1; }, 61, "the ending asked for")) return false;
    EXPECT_EQ(stage->requestedScene->GetName(), "CSceneEnding");
    return WaitFor([&] { return Ending() != nullptr; }, 60, "the ending at full black");
  }
};

TEST_F(EndingRouteTest, TheSequencesChangeAtFullBlackAndTheTitleFollowsTheLast)
{
  const std::shared_ptr<CSceneBase> made = CreateSceneByName("CSceneEnding");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetName(), "CSceneEnding");
  EXPECT_NE(CreateSceneByName("CSceneEnding"), made);

  StartEnding();
  ASSERT_NE(Ending(), nullptr);
  EXPECT_EQ(SequenceName(), "CEndingInside");
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(cursorVisible, 0);

  Frames(insideFrames - 1);  // the second panel faded out in 344, black in 394
  EXPECT_EQ(SequenceName(), "CEndingInside");
  EXPECT_EQ(application->fadeAlpha, 255);
  Frames(1);
  EXPECT_EQ(SequenceName(), "CEndingOutside");
  EXPECT_EQ(application->fadeOut, 0) << "the new sequence fades in";

  const std::shared_ptr<CSpriteBase> outside = Ending()->endingSprite;
  Frames(outsideFrames - 1);
  EXPECT_EQ(Ending()->endingSprite, outside);
  Frames(1);
  EXPECT_EQ(SequenceName(), "CEndingSpace");
  EXPECT_EQ(outside.use_count(), 1) << "the outside sequence (and its sounds) went with the change";
  // Cached ending pictures that nothing holds: the ones a finished sequence left behind.
  const auto unheldEndingPictures = [] {
    int count = 0;
    for (const auto& [path, texture] : OstrelLibrary::CGraphics::GetInstance()->textureCache)
      count += path.rfind("res/ending/", 0) == 0 && texture.use_count() == 1;
    return count;
  };
  EXPECT_EQ(unheldEndingPictures(), 0) << "the inside sequence's pictures went with it";

  // Late in space (credits done, the tower nearly gone): the title follows the fade.
  Frames(60);
  ASSERT_EQ(application->fadeAlpha, 0);
  CEndingSpace& space = dynamic_cast<CEndingSpace&>(*Ending()->endingSprite);
  space.creditsDone = 1;
  space.towerPositionMatrix._42 = -3 * PictureHeight(space.towerTexture);
  Frames(1);
  EXPECT_EQ(application->fadeOut, 1);
  Frames(50);
  EXPECT_NE(Ending(), nullptr);
  Frames(1);
  ASSERT_NE(Title(), nullptr) << "the title after the last sequence";
  EXPECT_EQ(unheldEndingPictures(), 0) << "the space sequence's pictures went with the ending";
  EXPECT_EQ(cursorVisible, 1) << "shown again by the title";
  EXPECT_EQ(application->stageNumber, 1) << "the ending changes no stage";
  EXPECT_EQ(SaveFileText(), "1\n");
}

TEST_F(EndingRouteTest, TheFlashIsTheYellowTexelStretchedOverTheScreen)
{
  StartEnding();
  Frames(238);
  DrawnFrame();                                    // 239
  const D3DCOLOR wall = BackBufferPixel(20, 360);  // the wall's edge: no player, glow or panel there
  DrawnFrame();                                    // 240: the flash at 195
  const D3DCOLOR flashed = BackBufferPixel(20, 360);
  const float a = 195.0f / 255.0f;
  const int red = static_cast<int>((wall >> 16) & 0xFF), green = static_cast<int>((wall >> 8) & 0xFF);
  const int blue = static_cast<int>(wall & 0xFF);
  EXPECT_NEAR(static_cast<int>((flashed >> 16) & 0xFF), red * (1 - a) + 255 * a, 3);
  EXPECT_NEAR(static_cast<int>((flashed >> 8) & 0xFF), green * (1 - a) + 255 * a, 3);
  EXPECT_NEAR(static_cast<int>(flashed & 0xFF), blue * (1 - a), 3);
  const CEndingInside& inside = dynamic_cast<const CEndingInside&>(*Ending()->endingSprite);
  EXPECT_EQ(inside.flashTexture.imageInfo.Width, 1u);
  EXPECT_EQ(inside.flashTexture.imageInfo.Height, 1u);
  EXPECT_EQ(inside.flashTexture.imageInfo.Format, D3DFMT_A8R8G8B8);
}

TEST_F(EndingRouteTest, EscapeInTheFirstFrameReachesTheTitleAfter51FramesWithoutTheSecondSequence)
{
  StartEnding();
  application->input.escapePressed = 1;  // as the snapshot hands it to the first update
  for (int frame = 1; frame <= 51; ++frame) {
    Frames(1);
    ASSERT_NE(Ending(), nullptr) << "frame " << frame;
    ASSERT_EQ(SequenceName(), "CEndingInside") << "frame " << frame;
  }
  EXPECT_EQ(application->fadeAlpha, 255);
  EXPECT_EQ(Ending()->skipping, 1);
  Frames(1);
  EXPECT_NE(Title(), nullptr);
}

TEST_F(EndingRouteTest, EscapeDuringAChangeOfSequenceStillLeadsToTheTitle)
{
  StartEnding();
  Frames(370);  // the fade after the narration started in 344
  EXPECT_EQ(application->fadeOut, 1);
  TapKey(VK_ESCAPE);  // pressed in 371, seen by the update of 372
  Frames(1);
  EXPECT_EQ(Ending()->skipping, 1);
  Frames(22);  // 394: black
  EXPECT_EQ(SequenceName(), "CEndingInside");
  Frames(1);
  EXPECT_NE(Title(), nullptr) << "the title, not the outside sequence";
}

TEST_F(EndingRouteTest, EscapeInTheFrameOfFullBlackStillLeadsToTheTitle)
{
  StartEnding();
  Frames(insideFrames - 1);
  ASSERT_EQ(application->fadeAlpha, 255);
  application->input.escapePressed = 1;
  Frames(1);
  EXPECT_NE(Title(), nullptr);
}

TEST_F(EndingRouteTest, StageEightFromASavedEightThroughTheWholeEndingToTheTitle)
{
  ASSERT_TRUE(PlayStageEightIntoTheEnding());

  // From here no input at all: record the frame of every change of scene or sequence.
  const unsigned start = frameNumber;
  std::vector<std::string> order = {SceneAndSequence()};
  std::vector<unsigned> at = {0};
  while (frameNumber - start < 6000 && !Title()) {
    const unsigned local = frameNumber - start;
    if (SequenceName() == "CEndingInside" && local == 269) Screenshot("ending-inside.png");
    if (SequenceName() == "CEndingOutside" && local - at.back() == 300) Screenshot("ending-outside.png");
    if (SequenceName() == "CEndingSpace" && local - at.back() == 585) Screenshot("ending-space.png");
    ASSERT_TRUE(Frame());
    const std::string now = SceneAndSequence();
    if (now != order.back()) {
      order.push_back(now);
      at.push_back(frameNumber - start);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"CSceneEnding/CEndingInside", "CSceneEnding/CEndingOutside",
                                             "CSceneEnding/CEndingSpace", "CSceneTitle/"}));
  ASSERT_EQ(at.size(), 4u);
  EXPECT_EQ(at[1], static_cast<unsigned>(insideFrames));
  EXPECT_EQ(at[2] - at[1], static_cast<unsigned>(outsideFrames));
  EXPECT_EQ(at[3] - at[2], static_cast<unsigned>(spaceFrames));

  // Back at the title: stage 8 kept, nothing saved, and Continue plays it again.
  EXPECT_EQ(application->stageNumber, 8);
  EXPECT_EQ(SaveFileText(), "8\r\n");
  ASSERT_TRUE(ContinueFromTitle());
  EXPECT_EQ(application->stageNumber, 8);
  EXPECT_NE(FindActor("CGameGoal"), nullptr);
}

TEST_F(EndingRouteTest, StageEightFromASavedEightWithTheEndingSkippedByEscape)
{
  ASSERT_TRUE(PlayStageEightIntoTheEnding());
  const unsigned start = frameNumber;
  std::vector<std::string> order = {SceneAndSequence()};
  Frames(99);
  TapKey(VK_ESCAPE);  // down in frame 100, seen by the update of 101
  const unsigned pressed = frameNumber - start;
  while (frameNumber - start < 400 && !Title()) {
    ASSERT_TRUE(Frame());
    const std::string now = SceneAndSequence();
    if (now != order.back()) order.push_back(now);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"CSceneEnding/CEndingInside", "CSceneTitle/"}));
  EXPECT_EQ(frameNumber - start, pressed + 1 + 51) << "the escape frame, then 51 frames of fading";
  EXPECT_EQ(application->stageNumber, 8);
  EXPECT_EQ(SaveFileText(), "8\r\n");
  ASSERT_TRUE(ContinueFromTitle());
  EXPECT_EQ(application->stageNumber, 8) << "Continue starts stage 8 again";
}
