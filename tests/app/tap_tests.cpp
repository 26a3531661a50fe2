// Taps shorter than a frame: keys and buttons pressed and released between two frames,
// pushed to SDL's event queue as the devices would deliver them, reach
// GetAsyncKeyState's "pressed since the last query" bit, TriggerKey and the frame's
// input snapshot exactly once.
#include "../support/test_window.h"
#include "app/application.h"
#include "app/input.h"
#include "scene/scene_base.h"
#include "test_seam.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A key at this position going down (or up), queued in SDL as the keyboard would.
void PushKey(SDL_Scancode scancode, bool down, bool repeat = false)
{
  SDL_Event event = {};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.scancode = scancode;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Down and up, both queued before the next frame.
void PushTap(SDL_Scancode scancode)
{
  PushKey(scancode, true);
  PushKey(scancode, false);
}

// A mouse button going down (or up) in SDL's queue.
void PushButton(Uint8 button, bool down)
{
  SDL_Event event = {};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.button = button;
  event.button.clicks = 1;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Empties SDL's queue into the message queue, as the loop does before each frame.
void Pump()
{
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Records each update's Space and Escape edges and click.
class CTapScene : public CSceneBase {
public:
  void Init() override {}
  void Uninit(std::shared_ptr<CSceneBase>) override {}
  std::shared_ptr<CSceneBase> Update() override
  {
    const InputSnapshot& input = CApplication::GetInstance()->input;
    spaces.push_back(input.spacePressed);
    escapes.push_back(input.escapePressed);
    clicks.push_back(input.clicked);
    return shared_from_this();
  }
  void Draw() override {}
  void DrawSprite() override {}

  std::vector<int> spaces;
  std::vector<int> escapes;
  std::vector<int> clicks;
};

// Forwards to the application, as the game's registered procedure does.
LRESULT CALLBACK TapProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return CApplication::GetInstance()->WindowProc(hwnd, message, wParam, lParam);
}

// A window feeding the application, a fixed clock and the recording scene.
class TapTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    window = CreateTestWindow("TapTestWindow", TapProc, WS_CAPTION, 0, 0, 1280, 720);
    ASSERT_NE(window, nullptr);
    application = CApplication::GetInstance();
    application->window = window;
    application->input = InputSnapshot{};
    Win32TestSetClock(200000);
    Pump();
    Win32TestReleaseKeys();
    TriggerKey(VK_ESCAPE);
    TriggerKey(VK_SPACE);
    GetAsyncKeyState(VK_LBUTTON);
    scene = std::make_shared<CTapScene>();
    application->BeginLoop(scene);
  }
  void TearDown() override
  {
    application->EndLoop();
    DestroyWindow(window);
    Pump();
    Win32TestReleaseKeys();
    Win32TestUseRealClock();
  }
  // Runs frames through the real loop (which pumps SDL's queue first).
  void Frames(int count)
  {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(application->StepFrame());
  }
  // How many updates saw an edge.
  static int Count(const std::vector<int>& edges)
  {
    int count = 0;
    for (const int edge : edges) count += edge;
    return count;
  }
  HWND window = nullptr;
  CApplication* application = nullptr;
  std::shared_ptr<CTapScene> scene;
};

}  // namespace

TEST_F(TapTest, APressSinceTheLastQuerySetsTheLowBitOnce)
{
  PushTap(SDL_SCANCODE_F12);
  Pump();
  EXPECT_EQ(GetAsyncKeyState(VK_F12), 0x0001) << "up again, but pressed since the last call";
  EXPECT_EQ(GetAsyncKeyState(VK_F12), 0) << "the call cleared it";

  PushTap(SDL_SCANCODE_RSHIFT);
  Pump();
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0x0001) << "either side is the generic key";
  EXPECT_EQ(GetAsyncKeyState(VK_RSHIFT), 0x0001);
  EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT), 0);

  PushKey(SDL_SCANCODE_W, true, true);
  Pump();
  EXPECT_EQ(GetAsyncKeyState('W'), 0) << "an auto-repeat is no new press";

  Win32TestSetKey('Q', true);
  EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('Q')), 0x8001u) << "down, and went down since";
  EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('Q')), 0x8000u) << "still down, nothing new";
  Win32TestSetKey('Q', false);
}

TEST_F(TapTest, MouseButtonTapsAreRememberedPerButton)
{
  PushButton(SDL_BUTTON_RIGHT, true);
  PushButton(SDL_BUTTON_RIGHT, false);
  Pump();
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON), 0x0001);
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON), 0);
  PushButton(SDL_BUTTON_LEFT, true);
  Pump();
  EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState(VK_LBUTTON)), 0x8001u);
  PushButton(SDL_BUTTON_LEFT, false);
  Pump();
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0) << "the press was already reported";
}

TEST_F(TapTest, TriggerKeyCountsATapOnceAndARepressInOneGap)
{
  PushTap(SDL_SCANCODE_F12);
  Pump();
  EXPECT_TRUE(TriggerKey(VK_F12)) << "a tap between two calls";
  EXPECT_FALSE(TriggerKey(VK_F12)) << "counted once";

  PushTap(SDL_SCANCODE_F12);
  PushTap(SDL_SCANCODE_F12);
  Pump();
  EXPECT_TRUE(TriggerKey(VK_F12));
  EXPECT_FALSE(TriggerKey(VK_F12)) << "two taps in one gap are one press, as on Windows";

  // Held, let go and pressed again between two calls: a new press.
  Win32TestSetKey('E', true);
  EXPECT_TRUE(TriggerKey('E'));
  EXPECT_FALSE(TriggerKey('E'));
  Win32TestSetKey('E', false);
  Win32TestSetKey('E', true);
  EXPECT_TRUE(TriggerKey('E'));
  Win32TestSetKey('E', false);
}

TEST_F(TapTest, ATapBetweenTwoFramesReachesExactlyOneUpdate)
{
  Frames(2);
  PushTap(SDL_SCANCODE_SPACE);
  Frames(3);
  PushTap(SDL_SCANCODE_ESCAPE);
  PushTap(SDL_SCANCODE_SPACE);
  Frames(1);
  PushTap(SDL_SCANCODE_SPACE);
  Frames(2);
  PushButton(SDL_BUTTON_LEFT, true);
  PushButton(SDL_BUTTON_LEFT, false);
  Frames(2);
  ASSERT_EQ(scene->spaces.size(), 10u);
  // A tap before frame N's snapshot is read by update N + 1.
  EXPECT_EQ(scene->spaces, (std::vector<int>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(Count(scene->escapes), 1);
  EXPECT_EQ(scene->escapes[6], 1);
  EXPECT_EQ(Count(scene->clicks), 1);
  EXPECT_EQ(application->input.leftButton, 0);
}
