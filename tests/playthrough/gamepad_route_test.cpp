// Route: the first minute of stage 1 on a gamepad alone (an SDL virtual controller;
// keyboard and mouse untouched). A opens the title menu, the stick points at Start and
// A starts; Start skips the opening; the right stick turns the camera and the left
// stick walks through the corridor, the great hall, up the stairs and the ramp; Start
// pauses and resumes, Back asks about the title and the stick and A answer No. The
// route goes on until a minute of stage frames has run.
#include "../support/virtual_pad.h"
#include "playthrough.h"
#include "sprite/sprite_hud.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "actor/game_camera.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "win32_comforts.h"

namespace {

const float padDeadZone = 0.3f;
// Cursor pixels a frame at full deflection: pointing 1 a millisecond, looking 1.2.
const float pointerPixelsPerFrame = 16.0f;
const float lookPixelsPerFrame = 19.2f;
const int minuteOfFrames = 3750;  // 60 s of 16 ms frames

// An angle in degrees brought into [-180, 180).
float Wrap(float degrees)
{
  float wrapped = std::fmod(degrees + 180.0f, 360.0f);
  if (wrapped < 0.0f) wrapped += 360.0f;
  return wrapped - 180.0f;
}

// The axis value that moves the cursor about `pixels` in one frame (capped at full).
float AxisFor(float pixels, float fullPerFrame)
{
  if (std::fabs(pixels) < 0.5f) return 0.0f;
  const float beyond = std::min(std::fabs(pixels) / fullPerFrame, 1.0f);
  const float value = std::min(padDeadZone + (1.0f - padDeadZone) * beyond + 0.01f, 1.0f);
  return pixels < 0.0f ? -value : value;
}

}  // namespace

class GamepadRoute : public PlaythroughTest {
protected:
  void SetUp() override
  {
    PlaythroughTest::SetUp();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    pad = AttachVirtualPad("Route pad", &deviceIndex);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    Frames(1);
    ASSERT_EQ(Win32GamepadCount(), 1);
  }
  void TearDown() override
  {
    if (pad) SDL_JoystickClose(pad);
    if (deviceIndex >= 0) SDL_JoystickDetachVirtual(deviceIndex);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    PlaythroughTest::TearDown();
  }

  // Sets a stick axis, -1..1.
  void Stick(SDL_GameControllerAxis axis, float value)
  {
    SDL_JoystickSetVirtualAxis(pad, axis, static_cast<Sint16>(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
  }
  // All sticks to rest.
  void Centre()
  {
    for (SDL_GameControllerAxis axis : {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY,
                                        SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY}) {
      Stick(axis, 0.0f);
    }
  }
  // Down for one frame, up for one.
  void Press(SDL_GameControllerButton button)
  {
    SDL_JoystickSetVirtualButton(pad, button, 1);
    Frames(1);
    SDL_JoystickSetVirtualButton(pad, button, 0);
    Frames(1);
  }
  // The cursor in back-buffer pixels.
  POINT Pointer() const
  {
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(application->window, &point);
    return point;
  }
  // Steers the pointer with the left stick onto a shown menu button, then presses A.
  bool PadClick(const std::string& picturePath)
  {
    float x = 0.0f;
    float y = 0.0f;
    if (!ButtonCentre(picturePath, &x, &y)) return false;
    const bool there = WaitFor(
        [&] {
          const POINT at = Pointer();
          const float dx = x - at.x, dy = y - at.y;
          const bool close = std::fabs(dx) <= 3.0f && std::fabs(dy) <= 3.0f;
          Stick(SDL_CONTROLLER_AXIS_LEFTX, close ? 0.0f : AxisFor(dx, pointerPixelsPerFrame));
          Stick(SDL_CONTROLLER_AXIS_LEFTY, close ? 0.0f : AxisFor(dy, pointerPixelsPerFrame));
          return close;
        },
        200, "the pointer on " + picturePath);
    Centre();
    Frames(1);
    Press(SDL_CONTROLLER_BUTTON_A);
    return there;
  }
  // The right stick's share of turning the camera by `turn` degrees this frame.
  void LookBy(float turn)
  {
    const float degrees = std::fabs(turn) < 1.0f ? 0.0f : std::clamp(turn, -3.0f, 3.0f);
    Stick(SDL_CONTROLLER_AXIS_RIGHTX, AxisFor(degrees * 6.0f + (degrees > 0 ? 0.6f : -0.6f), lookPixelsPerFrame));
    if (degrees == 0.0f) Stick(SDL_CONTROLLER_AXIS_RIGHTX, 0.0f);
  }
  // Turns the camera with the right stick to a heading.
  bool PadFace(float yaw)
  {
    const bool faced = WaitFor(
        [&] {
          const float turn = Wrap(yaw - Camera()->yaw);
          LookBy(turn);
          return std::fabs(turn) < 1.0f;
        },
        240, "the camera turned by the stick to " + std::to_string(yaw));
    Centre();
    return faced;
  }
  // Walks with the left stick, steering with the right, to within tolerance of (x, z).
  bool PadWalkTo(float x, float z, float tolerance, int maxFrames)
  {
    const bool reached = WaitFor(
        [&] {
          const D3DXVECTOR3 at = PlayerPosition();
          const float dx = x - at.x, dz = z - at.z;
          if (std::sqrt(dx * dx + dz * dz) <= tolerance) return true;
          const float turn = Wrap(std::atan2(dx, dz) * 57.2957795f - Camera()->yaw);
          LookBy(turn);
          Stick(SDL_CONTROLLER_AXIS_LEFTY, std::fabs(turn) < 60.0f ? -1.0f : 0.0f);
          return false;
        },
        maxFrames, "the player walked by the pad to " + std::to_string(x) + ", " + std::to_string(z));
    Centre();
    return reached;
  }

  int deviceIndex = -1;
  SDL_Joystick* pad = nullptr;
};

TEST_F(GamepadRoute, FirstMinuteOfStageOneOnTheGamepadAlone)
{
  DrawEvery(kRouteDrawInterval);
  // ---- the title: A opens the menu, the stick points at Start, A starts ----
  Frames(30);
  Press(SDL_CONTROLLER_BUTTON_A);
  ASSERT_NE(Title(), nullptr);
  ASSERT_EQ(Title()->titleState, 1) << "A clicked the title open";
  Frames(6);
  ASSERT_TRUE(PadClick("res/title/char/start.png"));
  ASSERT_TRUE(WaitFor([&] { return Game() != nullptr; }, 80, "the stage to start after Start"));
  const std::shared_ptr<CSceneGame> stage = Game();
  const unsigned stageStart = frameNumber;

  // ---- Start skips the opening flight ----
  Frames(40);
  ASSERT_EQ(stage->cameraEvent, 1);
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(stage->cameraEvent, 0);
  EXPECT_EQ(stage->paused, 0);
  ASSERT_TRUE(WaitFor([&] { return application->fadeAlpha == 0; }, 60, "the stage to fade in"));

  // ---- looking round with the right stick, within the camera's own dead zone ----
  ASSERT_TRUE(PadFace(90.0f));
  ASSERT_TRUE(PadFace(-45.0f));
  Stick(SDL_CONTROLLER_AXIS_RIGHTX, 0.4f);  // about 3 pixels a frame: inside the 5-pixel dead zone
  const float heldYaw = Camera()->yaw;
  Frames(20);
  EXPECT_EQ(Camera()->yaw, heldYaw) << "a gentle push below six pixels a frame does not turn";
  Centre();
  Stick(SDL_CONTROLLER_AXIS_RIGHTY, 1.0f);
  Frames(10);
  EXPECT_GT(Camera()->pitch, 10.0f) << "pushing the stick down looks down";
  Stick(SDL_CONTROLLER_AXIS_RIGHTY, -1.0f);
  Frames(10);
  Centre();
  ASSERT_TRUE(PadFace(0.0f));
  Frames(1);
  Screenshot("route-gamepad-01-start.png");

  // ---- through the corridor, the great hall, up the stairs ----
  ASSERT_TRUE(PadWalkTo(0.0f, 12.0f, 0.3f, 400));
  // The blue orb in the corridor: its message box takes a click, which the left
  // shoulder gives as the left button does, once the box has settled.
  Stick(SDL_CONTROLLER_AXIS_LEFTY, -1.0f);
  ASSERT_TRUE(WaitFor([&] { return stage->orbObtained == 1; }, 120, "the orb in the corridor to be taken"));
  Centre();
  ASSERT_TRUE(WaitFor([&] { return OrbMessage() && OrbMessage()->transform._42 >= OrbMessage()->restY; }, 120,
                      "the orb message to settle"));
  Press(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
  ASSERT_TRUE(WaitFor([&] { return stage->orbObtained == 0; }, 60, "the orb message to close on the shoulder"));
  ASSERT_TRUE(PadWalkTo(0.0f, 21.5f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f);
  ASSERT_TRUE(PadWalkTo(0.0f, 30.2f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 2.42f, 0.05f) << "on the dais, by the stairs";
  Frames(1);
  Screenshot("route-gamepad-02-dais.png");

  // ---- Start pauses and resumes; Back asks, the stick and A answer No ----
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(stage->paused, 1);
  Frames(5);
  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(stage->paused, 0);
  Press(SDL_CONTROLLER_BUTTON_BACK);
  ASSERT_EQ(stage->escapeOpen, 1);
  Frames(5);
  ASSERT_TRUE(PadClick("res/game/sprite/no.png"));
  Frames(1);
  EXPECT_EQ(stage->escapeOpen, 0) << "No closed the question";
  EXPECT_EQ(CurrentScene(), stage);

  // ---- down the ramp and back, then round the hall until a minute has run ----
  ASSERT_TRUE(PadWalkTo(10.0f, 30.5f, 0.3f, 400));
  ASSERT_TRUE(PadWalkTo(10.0f, 19.0f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.25f) << "at the foot of the ramp";
  const float loop[][2] = {{0.0f, 19.0f}, {0.0f, 12.0f}, {0.0f, 21.5f}, {10.0f, 19.0f}};
  for (int leg = 0; frameNumber - stageStart < static_cast<unsigned>(minuteOfFrames); ++leg) {
    ASSERT_TRUE(PadWalkTo(loop[leg % 4][0], loop[leg % 4][1], 0.3f, 400)) << "leg " << leg;
  }
  EXPECT_EQ(CurrentScene(), stage) << "a minute later the stage still runs";
  EXPECT_EQ(stage->goalReached, 0);
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.25f) << "on the hall floor";
  Screenshot("route-gamepad-03-a-minute-in.png");
}
