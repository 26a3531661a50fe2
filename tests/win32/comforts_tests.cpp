// Tests of the desktop comforts of the Win32 layer, headless: a gamepad (an SDL
// virtual controller) driving keys, button messages and the cursor; the letterbox and
// the cursor mapping through resizing and full screen; mouse-look sensitivity.
#include "../support/test_window.h"
#include "../support/virtual_pad.h"
#include "test_seam.h"
#include "win32_comforts.h"
#include "win32_internal.h"
#include "windows.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> seen;

// Records each message.
LRESULT CALLBACK RecordingProc(HWND, UINT message, WPARAM, LPARAM)
{
  seen.push_back(message);
  return 0;
}

// Drains the queue through the window procedure (pumping SDL on the way).
void Pump()
{
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// How many times the message was seen.
int Count(UINT message)
{
  int count = 0;
  for (UINT one : seen) count += one == message ? 1 : 0;
  return count;
}

// Whether a key reads as held.
bool Held(int virtualKey)
{
  return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// The cursor in client pixels of the window.
POINT ClientCursor(HWND window)
{
  POINT point = {};
  GetCursorPos(&point);
  ScreenToClient(window, &point);
  return point;
}

// A 640 x 360 window at (0, 0) showing a 1280 x 720 back buffer at half size.
class ComfortTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    window = CreateTestWindow("ComfortWindow", RecordingProc, WS_CAPTION | WS_THICKFRAME, 0, 0, 640, 360);
    ASSERT_NE(window, nullptr);
    Win32MapBackBuffer(window, 1280, 720);
    Win32TestSetClock(1000);
    Pump();
    seen.clear();
  }
  void TearDown() override
  {
    // Back to a display count of 0, as at the start.
    int count = ShowCursor(TRUE);
    while (count < 0) count = ShowCursor(TRUE);
    while (count > 0) count = ShowCursor(FALSE);
    DestroyWindow(window);
    Pump();
    Win32TestUseRealClock();
  }
  HWND window = nullptr;
};

// Adds a virtual controller with every standard axis and button.
class GamepadTest : public ComfortTest {
protected:
  void SetUp() override
  {
    ComfortTest::SetUp();
    // The test's own hold on the joystick subsystem keeps the virtual pad alive while
    // the layer switches its controllers off and on.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    Win32EnableGamepad(true);
    joystick = AttachVirtualPad("Test pad", &deviceIndex);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    Pump();
    ASSERT_EQ(Win32GamepadCount(), 1);
    seen.clear();
  }
  void TearDown() override
  {
    if (joystick) SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(deviceIndex);
    Pump();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    ComfortTest::TearDown();
  }
  // Moves an axis and lets the layer see it.
  void Axis(SDL_GameControllerAxis axis, Sint16 value)
  {
    SDL_JoystickSetVirtualAxis(joystick, axis, value);
    Pump();
  }
  // Presses or releases a button and lets the layer see it.
  void Button(SDL_GameControllerButton button, bool down)
  {
    SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
    Pump();
  }
  // Time passes on the fixed clock, then a pump.
  void Wait(DWORD milliseconds)
  {
    Win32TestAdvanceClock(milliseconds);
    Pump();
  }
  int deviceIndex = -1;
  SDL_Joystick* joystick = nullptr;
};

}  // namespace

TEST_F(GamepadTest, LeftStickAndDPadWalkBeyondTheDeadZone)
{
  Axis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
  EXPECT_TRUE(Held('W'));
  EXPECT_FALSE(Held('S'));
  Axis(SDL_CONTROLLER_AXIS_LEFTY, -6000);
  EXPECT_FALSE(Held('W')) << "a stick resting slightly off centre does not walk";
  Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, 25000);
  EXPECT_TRUE(Held('D'));
  Axis(SDL_CONTROLLER_AXIS_LEFTX, -25000);
  EXPECT_TRUE(Held('A'));
  EXPECT_FALSE(Held('D'));
  Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  EXPECT_TRUE(Held('S'));
  Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
  EXPECT_FALSE(Held('S'));
}

TEST_F(GamepadTest, StartIsSpaceAndBackIsEscape)
{
  Button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_TRUE(Held(VK_SPACE));
  Button(SDL_CONTROLLER_BUTTON_START, false);
  EXPECT_FALSE(Held(VK_SPACE));
  Button(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_TRUE(Held(VK_ESCAPE));
  Button(SDL_CONTROLLER_BUTTON_BACK, false);
  EXPECT_FALSE(Held(VK_ESCAPE));
  EXPECT_TRUE(seen.empty()) << "keys make no messages";
}

TEST_F(GamepadTest, TriggersAndShouldersAreTheMouseButtonsWithTheirMessages)
{
  Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
  EXPECT_TRUE(Held(VK_LBUTTON));
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
  Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 30000);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1) << "held, not pressed again";
  Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
  EXPECT_FALSE(Held(VK_LBUTTON));
  EXPECT_EQ(Count(WM_LBUTTONUP), 1);

  Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
  EXPECT_TRUE(Held(VK_RBUTTON));
  Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
  EXPECT_TRUE(Held(VK_RBUTTON)) << "the trigger still holds it";
  Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
  EXPECT_FALSE(Held(VK_RBUTTON));
  EXPECT_EQ(Count(WM_RBUTTONDOWN), 1);
  EXPECT_EQ(Count(WM_RBUTTONUP), 1);
  Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  EXPECT_TRUE(Held(VK_LBUTTON));
  Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, false);
}

TEST_F(GamepadTest, AClicksOnlyWhileThePointerShows)
{
  Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_TRUE(Held(VK_LBUTTON));
  Button(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Count(WM_LBUTTONUP), 1);
  ShowCursor(FALSE);
  Button(SDL_CONTROLLER_BUTTON_A, true);
  Button(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1) << "in play A does not cast";
  // Held into a menu it does not click either: only a fresh press does.
  Button(SDL_CONTROLLER_BUTTON_A, true);
  ShowCursor(TRUE);
  Pump();
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
  Button(SDL_CONTROLLER_BUTTON_A, false);
}

TEST_F(GamepadTest, RightStickMovesTheHiddenCursorByDeflectionAndTime)
{
  ShowCursor(FALSE);
  SetCursorPos(640, 360);
  Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
  Wait(16);
  POINT point = ClientCursor(window);
  EXPECT_EQ(point.x - 640, 19) << "1.2 pixels a millisecond at full deflection";
  EXPECT_EQ(point.y, 360);
  Wait(16);
  EXPECT_EQ(ClientCursor(window).x - 640, 38) << "fractions carry over";
  // The camera re-centres every frame; half deflection beyond the dead zone is slower.
  SetCursorPos(640, 360);
  Axis(SDL_CONTROLLER_AXIS_RIGHTX, 0);
  Axis(SDL_CONTROLLER_AXIS_RIGHTY, static_cast<Sint16>(32767 * 0.65f));
  Wait(16);
  point = ClientCursor(window);
  EXPECT_EQ(point.x, 640);
  EXPECT_NEAR(point.y - 360, 9, 1);
  // Inside the dead zone nothing moves.
  SetCursorPos(640, 360);
  Axis(SDL_CONTROLLER_AXIS_RIGHTY, 5000);
  Wait(100);
  EXPECT_EQ(ClientCursor(window).y, 360);
  // Inverted look turns the stick's vertical too.
  Win32SetLookOptions(1.0f, true);
  Axis(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
  Wait(16);
  EXPECT_LT(ClientCursor(window).y, 360);
  Win32SetLookOptions(1.0f, false);
  Axis(SDL_CONTROLLER_AXIS_RIGHTY, 0);
}

TEST_F(GamepadTest, InMenusEitherStickMovesThePointer)
{
  SetCursorPos(100, 100);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
  Wait(20);
  POINT point = ClientCursor(window);
  EXPECT_NEAR(point.x, 120, 1) << "one back-buffer pixel a millisecond";
  EXPECT_EQ(point.y, 100);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  Axis(SDL_CONTROLLER_AXIS_RIGHTY, -32767);
  Wait(20);
  point = ClientCursor(window);
  EXPECT_NEAR(point.y, 80, 1);
  Axis(SDL_CONTROLLER_AXIS_RIGHTY, 0);
}

TEST_F(GamepadTest, UnpluggingOrLosingFocusLetsEverythingGo)
{
  Axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
  Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  ASSERT_TRUE(Held('W'));
  Win32TestSetFocus(false);
  Pump();
  EXPECT_FALSE(Held('W')) << "a window in the background is not played";
  EXPECT_FALSE(Held(VK_LBUTTON));
  EXPECT_EQ(Count(WM_KILLFOCUS), 1);
  EXPECT_EQ(Count(WM_LBUTTONUP), 1);
  Win32TestSetFocus(true);
  Pump();
  EXPECT_EQ(Count(WM_SETFOCUS), 1);
  EXPECT_TRUE(Held('W'));

  SDL_JoystickClose(joystick);
  joystick = nullptr;
  ASSERT_EQ(SDL_JoystickDetachVirtual(deviceIndex), 0);
  Pump();
  EXPECT_EQ(Win32GamepadCount(), 0);
  EXPECT_FALSE(Held('W'));
  EXPECT_FALSE(Held(VK_LBUTTON));
}

TEST_F(GamepadTest, SwitchedOffNoPadIsRead)
{
  Win32EnableGamepad(false);
  EXPECT_EQ(Win32GamepadCount(), 0);
  Axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
  EXPECT_FALSE(Held('W'));
  Win32EnableGamepad(true);
  Pump();
  EXPECT_EQ(Win32GamepadCount(), 1) << "the pad plugged in all along is found again";
  EXPECT_TRUE(Held('W'));
  Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
}

TEST(Letterbox, LargestCentredRectangleOfTheAspect)
{
  int x = 0, y = 0, width = 0, height = 0;
  Win32Letterbox(1920, 1200, 1280, 720, &x, &y, &width, &height);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 60);
  EXPECT_EQ(width, 1920);
  EXPECT_EQ(height, 1080);
  Win32Letterbox(1000, 400, 1280, 720, &x, &y, &width, &height);
  EXPECT_EQ(height, 400);
  EXPECT_EQ(width, 711);
  EXPECT_EQ(x, (1000 - 711) / 2);
  EXPECT_EQ(y, 0);
}

TEST_F(ComfortTest, PointerMappingIsExactThroughResizingAndFullScreen)
{
  // A window pixel maps through the letterbox of the window's current size, exactly;
  // back-buffer points the game sets come back unchanged wherever a back-buffer pixel
  // is at least a window pixel (within one where the picture is shrunk).
  auto checkMapping = [this](const char* when) {
    RECT client = {};
    GetClientRect(window, &client);
    int x = 0, y = 0, width = 0, height = 0;
    Win32Letterbox(client.right, client.bottom, 1280, 720, &x, &y, &width, &height);
    for (const POINT& pixel :
         {POINT{x, y}, POINT{x + width / 2, y + height / 3}, POINT{x + width - 1, y + height - 1}}) {
      Win32TestPointMouse(pixel.x, pixel.y);
      const POINT mapped = ClientCursor(window);
      EXPECT_EQ(mapped.x, (pixel.x - x) * 1280 / width) << when;
      EXPECT_EQ(mapped.y, (pixel.y - y) * 720 / height) << when;
    }
    const int slack = width >= 1280 ? 0 : 1;
    for (const POINT& target : {POINT{0, 0}, POINT{640, 360}, POINT{1279, 719}, POINT{333, 517}}) {
      SetCursorPos(target.x, target.y);
      const POINT back = ClientCursor(window);
      EXPECT_NEAR(back.x, target.x, slack) << when;
      EXPECT_NEAR(back.y, target.y, slack) << when;
    }
  };
  checkMapping("half size");
  MoveWindow(window, 0, 0, 1600, 1000, TRUE);
  Pump();
  checkMapping("tall window, scaled up");
  ASSERT_TRUE(Win32SetFullScreen(window, true));
  EXPECT_TRUE(Win32IsFullScreen(window));
  checkMapping("full screen, before any event");
  Pump();
  EXPECT_GE(Count(WM_SIZE), 1) << "the game hears of the new size";
  checkMapping("full screen");
  ASSERT_TRUE(Win32SetFullScreen(window, false));
  Pump();
  EXPECT_FALSE(Win32IsFullScreen(window));
  RECT client = {};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 1600) << "the window comes back at its size";
  EXPECT_EQ(client.bottom, 1000);
  checkMapping("windowed again");
}

TEST_F(ComfortTest, MouseSensitivityAndInversionScaleOnlyTheHiddenCursor)
{
  Win32SetLookOptions(2.0f, true);
  ShowCursor(FALSE);
  SetCursorPos(640, 360);
  Win32TestMoveMouse(5, 5);  // window pixels: 10 back-buffer pixels at half size
  POINT point = ClientCursor(window);
  EXPECT_EQ(point.x, 640 + 20);
  EXPECT_EQ(point.y, 360 - 20);
  ShowCursor(TRUE);
  Win32TestPointMouse(100, 100);
  point = ClientCursor(window);
  EXPECT_EQ(point.x, 200) << "the visible pointer is where the mouse is";
  EXPECT_EQ(point.y, 200);
  Win32SetLookOptions(0.0f, false);
  ShowCursor(FALSE);
  SetCursorPos(640, 360);
  Win32TestMoveMouse(5, 0);
  EXPECT_EQ(ClientCursor(window).x, 650) << "a useless sensitivity falls back to 1";
  Win32SetLookOptions(1.0f, false);
}
