// Tests of the main loop with a recording scene, a fixed clock and input injected
// through the Win32 seam: clicks, key edges, the 16 ms gate across the timer wrap,
// scene switching and ending, and the fade. No graphics device is needed.
#include "../support/test_window.h"
#include "app/application.h"
#include "app/input.h"
#include "scene/scene_base.h"
#include "test_seam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

// A scene that logs every call and returns what the test asks for.
class CRecordingScene : public CSceneBase {
public:
  explicit CRecordingScene(const std::string& label_) : label(label_) {}
  void Init() override { calls.push_back(label + ".Init"); }
  void Uninit(std::shared_ptr<CSceneBase> incoming) override
  {
    const CRecordingScene* other = dynamic_cast<const CRecordingScene*>(incoming.get());
    calls.push_back(label + ".Uninit(" + (other ? other->label : "?") + ")");
  }
  std::shared_ptr<CSceneBase> Update() override
  {
    calls.push_back(label + ".Update");
    const InputSnapshot& input = CApplication::GetInstance()->input;
    clicks.push_back(input.clicked);
    escapes.push_back(input.escapePressed);
    spaces.push_back(input.spacePressed);
    times.push_back(timeGetTime());
    if (endNow) return nullptr;
    if (next) return next;
    return shared_from_this();
  }
  // Drawing costs drawCost milliseconds of the fixed clock.
  void Draw() override
  {
    calls.push_back(label + ".Draw");
    ++draws;
    if (drawCost) Win32TestAdvanceClock(drawCost);
  }
  void DrawSprite() override { calls.push_back(label + ".DrawSprite"); }

  std::string label;
  std::shared_ptr<CSceneBase> next;
  bool endNow = false;
  DWORD drawCost = 0;
  int draws = 0;
  std::vector<int> clicks;
  std::vector<int> escapes;
  std::vector<int> spaces;
  std::vector<DWORD> times;
};

// Forwards to the application, as the game's registered procedure does.
LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return CApplication::GetInstance()->WindowProc(hwnd, message, wParam, lParam);
}

// A window feeding the application, a fixed clock and a recording first scene.
class LoopTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    window = CreateTestWindow("LoopTestWindow", ForwardingProc, WS_CAPTION, 0, 0, 1280, 720);
    ASSERT_NE(window, nullptr);
    application = CApplication::GetInstance();
    application->window = window;
    application->input = InputSnapshot{};
    application->fadeOut = 0;
    application->fadeAlpha = 0;
    Win32TestReleaseKeys();
    TriggerKey(VK_ESCAPE);  // unlatch whatever an earlier test left
    TriggerKey(VK_SPACE);
    Win32TestSetClock(100000);
    calls.clear();
    scene = std::make_shared<CRecordingScene>("A");
    application->BeginLoop(scene);
  }
  void TearDown() override
  {
    application->EndLoop();
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    Win32TestReleaseKeys();
    Win32TestUseRealClock();
  }
  // Runs frames, each through the real gate.
  void Frames(int count)
  {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(application->StepFrame());
  }
  HWND window = nullptr;
  CApplication* application = nullptr;
  std::shared_ptr<CRecordingScene> scene;
};

}  // namespace

TEST_F(LoopTest, AClickBetweenFramesIsSeenByExactlyOneUpdate)
{
  Frames(2);
  Win32TestMouseButton(VK_LBUTTON, true);
  Frames(3);
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, true);
  Win32TestMouseButton(VK_RBUTTON, false);
  Frames(2);
  ASSERT_EQ(scene->clicks.size(), 7u);
  EXPECT_EQ(scene->clicks, (std::vector<int>{0, 0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(application->input.leftButton, 0);
  EXPECT_EQ(application->input.rightButton, 0);
}

TEST_F(LoopTest, HeldButtonsFollowDownAndUpMessages)
{
  Win32TestMouseButton(VK_LBUTTON, true);
  Frames(1);
  EXPECT_EQ(application->input.leftButton, 1);
  EXPECT_EQ(application->input.clicked, 0) << "the click is cleared after the update";
  Frames(3);
  EXPECT_EQ(application->input.leftButton, 1) << "still held";
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, true);
  Frames(1);
  EXPECT_EQ(application->input.leftButton, 0);
  EXPECT_EQ(application->input.rightButton, 1);
  Win32TestMouseButton(VK_RBUTTON, false);
}

TEST_F(LoopTest, HoldingEscapeOrSpaceGivesOneEdgePerPress)
{
  Frames(1);
  Win32TestSetKey(VK_SPACE, true);
  Frames(62);  // about a second
  Win32TestSetKey(VK_SPACE, false);
  Frames(2);
  Win32TestSetKey(VK_SPACE, true);
  Win32TestSetKey(VK_ESCAPE, true);
  Frames(5);
  int spaceEdges = 0;
  int escapeEdges = 0;
  for (size_t i = 0; i < scene->spaces.size(); ++i) {
    spaceEdges += scene->spaces[i];
    escapeEdges += scene->escapes[i];
  }
  EXPECT_EQ(spaceEdges, 2) << "one per press, the hold adds nothing";
  EXPECT_EQ(escapeEdges, 1);
  // The key went down before frame 1; the snapshot taken after frame 1's update is
  // what frame 2's update reads.
  EXPECT_EQ(scene->spaces[1], 0);
  EXPECT_EQ(scene->spaces[2], 1);
  EXPECT_EQ(scene->spaces[3], 0);
}

TEST(TriggerKey, OnlyTheFirstCallInAFrameSeesThePress)
{
  Win32TestSetKey('Q', false);
  EXPECT_FALSE(TriggerKey('Q'));
  Win32TestSetKey('Q', true);
  EXPECT_TRUE(TriggerKey('Q'));
  EXPECT_FALSE(TriggerKey('Q')) << "second caller in the same frame";
  EXPECT_FALSE(TriggerKey('Q'));
  Win32TestSetKey('Q', false);
  EXPECT_FALSE(TriggerKey('Q'));
  Win32TestSetKey('Q', true);
  EXPECT_TRUE(TriggerKey('Q')) << "released and pressed again";
  Win32TestSetKey('Q', false);
  EXPECT_FALSE(TriggerKey(-1));
  EXPECT_FALSE(TriggerKey(256));
}

TEST_F(LoopTest, HeldKeysReachTheSnapshot)
{
  Win32TestSetKey('W', true);
  Win32TestSetKey('D', true);
  Win32TestSetKey(VK_RSHIFT, true);
  Frames(1);
  const InputSnapshot& input = application->input;
  EXPECT_EQ(input.keyW, 1);
  EXPECT_EQ(input.keyS, 0);
  EXPECT_EQ(input.keyA, 0);
  EXPECT_EQ(input.keyD, 1);
  EXPECT_EQ(input.keyShift, 1);
  Win32TestReleaseKeys();
  Frames(1);
  EXPECT_EQ(input.keyW, 0);
  EXPECT_EQ(input.keyShift, 0);
}

TEST_F(LoopTest, FramesStartSixteenMillisecondsApartAcrossTheTimerWrap)
{
  Win32TestSetClock(0xFFFFFFFFu - 40);
  Frames(8);
  ASSERT_EQ(scene->times.size(), 8u);
  for (size_t i = 1; i < scene->times.size(); ++i) {
    EXPECT_EQ(scene->times[i] - scene->times[i - 1], 16u) << "frame " << i;
  }
  EXPECT_LT(scene->times.back(), 0x1000u) << "the clock has wrapped past 2^32";
}

TEST_F(LoopTest, SlowDrawingIsCaughtUpByUndrawnUpdatesOnTheClock)
{
  Frames(1);
  scene->times.clear();
  scene->clicks.clear();
  const int drawsBefore = scene->draws;
  scene->drawCost = 50;
  const DWORD start = timeGetTime() + 16;  // the next update's slot
  while (scene->times.size() < 300) {
    if (scene->times.size() == 150) {  // a click between two updates of a catch-up
      Win32TestMouseButton(VK_LBUTTON, true);
      Win32TestMouseButton(VK_LBUTTON, false);
    }
    ASSERT_TRUE(application->StepFrame());
  }
  // Each update keeps its own 16 ms slot: never early, never run twice or left out,
  // and never later than the one slow drawing that held it up.
  for (size_t i = 0; i < scene->times.size(); ++i) {
    const DWORD due = start + 16 * static_cast<DWORD>(i);
    EXPECT_GE(scene->times[i] - start, due - start) << "update " << i;
    EXPECT_LT(scene->times[i] - due, 50u) << "update " << i;
  }
  // 300 updates took 300 x 16 ms of clock, give or take that one drawn frame.
  const DWORD elapsed = scene->times.back() + 16 - start;
  EXPECT_GE(elapsed, 300u * 16u);
  EXPECT_LT(elapsed, 300u * 16u + 50u);
  // A drawing covers 50 ms, so about one update in three is drawn.
  const int draws = scene->draws - drawsBefore;
  EXPECT_GE(draws, 300 * 16 / 50 - 2);
  EXPECT_LE(draws, 300 * 16 / 50 + 2);
  // Every update took its own snapshot: the one click was seen exactly once.
  EXPECT_EQ(std::count(scene->clicks.begin(), scene->clicks.end(), 1), 1);
}

TEST_F(LoopTest, DrawingThatKeepsUpDrawsEveryUpdate)
{
  Frames(1);
  const int drawsBefore = scene->draws;
  scene->drawCost = 15;
  Frames(100);
  EXPECT_EQ(scene->draws - drawsBefore, 100);
  // One 40 ms drawing owes two updates: the first runs undrawn, the second is drawn.
  scene->drawCost = 0;
  Frames(1);
  const int drawsAfterOne = scene->draws;
  scene->drawCost = 40;
  Frames(1);
  scene->drawCost = 0;
  Frames(3);
  EXPECT_EQ(scene->draws - drawsAfterOne, 3);
  // However slow the drawing, no more than five updates in a row go undrawn.
  scene->drawCost = 500;
  const int before = scene->draws;
  Frames(60);
  EXPECT_EQ(scene->draws - before, 10);
}

TEST_F(LoopTest, NoFrameRunsBeforeSixteenMilliseconds)
{
  Frames(1);
  const size_t updates = scene->times.size();
  // Real messages keep the loop busy but do not make frames.
  for (int i = 0; i < 10; ++i) {
    PostMessageA(window, WM_USER, 0, 0);
    ASSERT_TRUE(application->RunOnce());
  }
  EXPECT_EQ(scene->times.size(), updates);
  // A pass that finds nothing to do waits out the rest of the 16 ms (here: the fixed
  // clock moves on) and the next pass runs the frame.
  const DWORD before = timeGetTime();
  ASSERT_TRUE(application->RunOnce());
  EXPECT_EQ(timeGetTime() - before, 16u);
  EXPECT_EQ(scene->times.size(), updates);
  ASSERT_TRUE(application->RunOnce());
  EXPECT_EQ(scene->times.size(), updates + 1);
}

TEST_F(LoopTest, AnEmptySceneResultEndsTheLoopWithoutDrawing)
{
  Frames(1);
  calls.clear();
  scene->endNow = true;
  EXPECT_FALSE(application->StepFrame());
  EXPECT_EQ(calls, (std::vector<std::string>{"A.Update"}));
}

TEST_F(LoopTest, ClosingTheWindowEndsTheLoop)
{
  Frames(1);
  PostMessageA(window, WM_CLOSE, 0, 0);
  bool running = true;
  for (int i = 0; i < 10 && running; ++i) running = application->RunOnce();
  EXPECT_FALSE(running);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(LoopTest, ASwitchUninitsAndInitsOnceInOrderAndDrawsTheNewSceneAtOnce)
{
  Frames(1);
  std::shared_ptr<CRecordingScene> incoming = std::make_shared<CRecordingScene>("B");
  std::weak_ptr<CRecordingScene> outgoing = scene;
  scene->next = incoming;
  calls.clear();
  scene.reset();
  Frames(1);
  EXPECT_EQ(calls, (std::vector<std::string>{"A.Update", "A.Uninit(B)", "B.Init", "B.Draw", "B.DrawSprite"}));
  EXPECT_TRUE(outgoing.expired()) << "the loop held the only reference";
  EXPECT_EQ(GetCurrentScene(), incoming);
  calls.clear();
  Frames(1);
  EXPECT_EQ(calls, (std::vector<std::string>{"B.Update", "B.Draw", "B.DrawSprite"}));
}

TEST_F(LoopTest, FadesTakeFiftyOneFramesEachWay)
{
  application->fadeAlpha = 255;
  application->fadeOut = 0;
  Frames(50);
  EXPECT_EQ(application->fadeAlpha, 5);
  Frames(1);
  EXPECT_EQ(application->fadeAlpha, 0);
  Frames(3);
  EXPECT_EQ(application->fadeAlpha, 0) << "stays clear";
  application->fadeOut = 1;
  Frames(50);
  EXPECT_EQ(application->fadeAlpha, 250);
  Frames(1);
  EXPECT_EQ(application->fadeAlpha, 255);
  Frames(3);
  EXPECT_EQ(application->fadeAlpha, 255) << "stays black";
  // A step that does not divide 255 still stops at the ends.
  application->fadeStep = 100;
  Frames(1);
  EXPECT_EQ(application->fadeAlpha, 255);
  application->fadeOut = 0;
  Frames(3);
  EXPECT_EQ(application->fadeAlpha, 0);
  application->fadeStep = 5;
}

TEST_F(LoopTest, WindowSizeMessagesRefreshTheClientSize)
{
  application->AdjustClientSize(window);
  EXPECT_EQ(application->clientWidth, 1280u);
  EXPECT_EQ(application->clientHeight, 720u);
  MoveWindow(window, 0, 0, 800, 600, TRUE);
  EXPECT_EQ(application->clientWidth, 800u);
  EXPECT_EQ(application->clientHeight, 600u);
  application->AdjustClientSize(window);
  EXPECT_EQ(application->clientWidth, 1280u);
  EXPECT_EQ(application->clientHeight, 720u);
}

// A scene that, like the game scene, keeps itself as its own next scene until a switch.
class CSelfLinkedScene : public CRecordingScene {
public:
  CSelfLinkedScene() : CRecordingScene("S") {}
  void Init() override { self = shared_from_this(); }
  void Uninit(std::shared_ptr<CSceneBase> incoming) override
  {
    CRecordingScene::Uninit(incoming);
    self.reset();
  }
  std::shared_ptr<CSceneBase> self;
};

TEST_F(LoopTest, EndingTheLoopUninitsTheSceneSoItsSelfLinksDoNotKeepItAlive)
{
  application->EndLoop();
  std::shared_ptr<CSelfLinkedScene> linked = std::make_shared<CSelfLinkedScene>();
  std::weak_ptr<CSelfLinkedScene> watch = linked;
  application->BeginLoop(linked);
  linked.reset();
  Frames(2);
  calls.clear();
  application->EndLoop();
  EXPECT_EQ(calls, (std::vector<std::string>{"S.Uninit(?)"}));
  EXPECT_TRUE(watch.expired()) << "the scene outlived the loop";
  EXPECT_EQ(GetCurrentScene(), nullptr);
}
