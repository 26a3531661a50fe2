// Gamepads through SDL's game-controller interface, plugged in or out at any time.
// They drive the same inputs as the keyboard and mouse, so the game needs no
// knowledge of them: held sticks and buttons are keys for GetAsyncKeyState, the
// triggers and A send the mouse-button messages, and the sticks move the cursor with
// SetCursorPos (the hidden cursor for looking, the pointer in menus), by the stick's
// deflection times the time passed, so motion does not depend on how often the loop
// pumps. Input is read only while the main window has the focus.
#include "win32_comforts.h"
#include "win32_state.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Stick travel ignored around the centre, as a fraction of full deflection.
const float stickDeadZone = 0.3f;
// Trigger travel that counts as pulled.
const Sint16 triggerPulled = 8000;
// Cursor speed at full deflection, back-buffer pixels per millisecond: a full stick
// turns the view about 3 degrees a frame through the camera's six pixels a degree.
const float lookSpeed = 1.2f;
const float pointerSpeed = 1.0f;
// A stall longer than this moves the cursor no further than this would.
const DWORD longestStep = 50;

bool enabled = true;
bool started = false;
std::vector<SDL_GameController*> controllers;

// What the pads hold, as virtual keys (VK_LBUTTON and VK_RBUTTON included).
bool padKeys[256] = {};
// A was pressed while the pointer showed: it holds the left button until released.
bool aClicking = false;
bool aWasDown = false;
// Where cursor motion was last applied, and the fractions of a pixel not yet moved.
DWORD lastMotionTime = 0;
bool motionClockRunning = false;
float carryX = 0.0f;
float carryY = 0.0f;

// The strongest reading of an axis over every open pad, -1..1.
float Axis(SDL_GameControllerAxis axis)
{
  Sint16 strongest = 0;
  for (SDL_GameController* controller : controllers) {
    const Sint16 value = SDL_GameControllerGetAxis(controller, axis);
    if (std::abs(value) > std::abs(strongest)) strongest = value;
  }
  return strongest / 32767.0f;
}

// Whether any open pad holds the button.
bool Button(SDL_GameControllerButton button)
{
  for (SDL_GameController* controller : controllers) {
    if (SDL_GameControllerGetButton(controller, button)) return true;
  }
  return false;
}

// The deflection beyond the dead zone, rescaled to -1..1.
float Deflection(float value)
{
  const float magnitude = std::fabs(value);
  if (magnitude <= stickDeadZone) return 0.0f;
  const float scaled = std::fmin(1.0f, (magnitude - stickDeadZone) / (1.0f - stickDeadZone));
  return value < 0.0f ? -scaled : scaled;
}

// Opens a newly plugged pad unless it is open already.
void OpenController(int deviceIndex)
{
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  for (SDL_GameController* controller : controllers) {
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) == id) return;
  }
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller) controllers.push_back(controller);
}

// Closes an unplugged pad; what it held is let go at the next update.
void CloseController(SDL_JoystickID id)
{
  for (size_t i = 0; i < controllers.size(); ++i) {
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controllers[i])) != id) continue;
    SDL_GameControllerClose(controllers[i]);
    controllers.erase(controllers.begin() + static_cast<long>(i));
    return;
  }
}

// A mouse-button message at the cursor, as the mouse would send it.
void QueueButtonMessage(UINT message)
{
  HWND window = Win32MainWindow();
  if (!window) return;
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  WPARAM keys = 0;
  if (Win32InputKeyDown(VK_LBUTTON)) keys |= MK_LBUTTON;
  if (Win32InputKeyDown(VK_RBUTTON)) keys |= MK_RBUTTON;
  Win32QueueMessage(window, message, keys, MAKELPARAM(cursor.x, cursor.y));
}

// Sets a held button and sends its message when it changes.
void SetMouseButton(int virtualKey, bool down, UINT downMessage, UINT upMessage)
{
  if (padKeys[virtualKey] == down) return;
  padKeys[virtualKey] = down;
  QueueButtonMessage(down ? downMessage : upMessage);
}

// Sticks and buttons into keys; A clicks only while the pointer shows.
void UpdateKeys(bool reading)
{
  const float walkX = reading ? Axis(SDL_CONTROLLER_AXIS_LEFTX) : 0.0f;
  const float walkY = reading ? Axis(SDL_CONTROLLER_AXIS_LEFTY) : 0.0f;
  auto held = [reading](SDL_GameControllerButton button) { return reading && Button(button); };
  padKeys['W'] = walkY < -stickDeadZone || held(SDL_CONTROLLER_BUTTON_DPAD_UP);
  padKeys['S'] = walkY > stickDeadZone || held(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  padKeys['A'] = walkX < -stickDeadZone || held(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  padKeys['D'] = walkX > stickDeadZone || held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  padKeys[VK_SPACE] = held(SDL_CONTROLLER_BUTTON_START);
  padKeys[VK_ESCAPE] = held(SDL_CONTROLLER_BUTTON_BACK);

  const bool aDown = held(SDL_CONTROLLER_BUTTON_A);
  if (aDown && !aWasDown && !Win32InputCursorHidden()) aClicking = true;
  if (!aDown) aClicking = false;
  aWasDown = aDown;
  const bool left = held(SDL_CONTROLLER_BUTTON_LEFTSHOULDER) ||
                    (reading && Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT) * 32767.0f > triggerPulled) || aClicking;
  const bool right = held(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) ||
                     (reading && Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT) * 32767.0f > triggerPulled);
  SetMouseButton(VK_LBUTTON, left, WM_LBUTTONDOWN, WM_LBUTTONUP);
  SetMouseButton(VK_RBUTTON, right, WM_RBUTTONDOWN, WM_RBUTTONUP);
}

// The right stick looks while the cursor is hidden; in menus either stick points.
void UpdateCursor(bool reading)
{
  const DWORD now = timeGetTime();
  const DWORD elapsed = motionClockRunning ? now - lastMotionTime : 0;
  lastMotionTime = now;
  motionClockRunning = true;
  if (!reading || elapsed == 0) return;
  const float milliseconds = static_cast<float>(elapsed < longestStep ? elapsed : longestStep);
  float dx = Deflection(Axis(SDL_CONTROLLER_AXIS_RIGHTX));
  float dy = Deflection(Axis(SDL_CONTROLLER_AXIS_RIGHTY));
  float speed = lookSpeed;
  if (Win32InputCursorHidden() && Win32InputLookInverted()) dy = -dy;
  if (!Win32InputCursorHidden()) {
    if (dx == 0.0f && dy == 0.0f) {
      dx = Deflection(Axis(SDL_CONTROLLER_AXIS_LEFTX));
      dy = Deflection(Axis(SDL_CONTROLLER_AXIS_LEFTY));
    }
    speed = pointerSpeed;
  }
  carryX += dx * speed * milliseconds;
  carryY += dy * speed * milliseconds;
  const int moveX = static_cast<int>(carryX);
  const int moveY = static_cast<int>(carryY);
  if (moveX == 0 && moveY == 0) return;
  carryX -= static_cast<float>(moveX);
  carryY -= static_cast<float>(moveY);
  POINT cursor = {};
  GetCursorPos(&cursor);
  SetCursorPos(cursor.x + moveX, cursor.y + moveY);
}

// Everything open is closed and let go.
void CloseAll()
{
  for (SDL_GameController* controller : controllers) SDL_GameControllerClose(controller);
  controllers.clear();
  UpdateKeys(false);
}

}  // namespace

// ---- internal ---------------------------------------------------------------------

// Starts the controller subsystem; the pads already plugged in arrive as added events.
void Win32GamepadStart()
{
  if (!enabled || started) return;
  // The window's own focus decides (see Update); SDL's would drop pad input on
  // desktops where the offscreen or a nested window never gets focus.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!started) return;
  // Pads plugged in before a restart of the subsystem may not be announced again.
  for (int index = 0; index < SDL_NumJoysticks(); ++index) {
    if (SDL_IsGameController(index)) OpenController(index);
  }
}

// Hot-plugging.
void Win32GamepadEvent(const SDL_Event& event)
{
  if (!started) return;
  if (event.type == SDL_CONTROLLERDEVICEADDED) OpenController(event.cdevice.which);
  if (event.type == SDL_CONTROLLERDEVICEREMOVED) CloseController(event.cdevice.which);
}

// Once per pump, after SDL's events have updated the pads' state.
void Win32GamepadUpdate()
{
  if (!started) return;
  const bool reading = !controllers.empty() && Win32InputFocused();
  UpdateKeys(reading);
  UpdateCursor(reading);
}

// The pads' share of a key's state.
bool Win32GamepadKeyDown(int virtualKey)
{
  return virtualKey >= 0 && virtualKey < 256 && padKeys[virtualKey];
}

// ---- comforts ---------------------------------------------------------------------

// Switching on starts the subsystem (once video runs); off closes every pad.
void Win32EnableGamepad(bool enable)
{
  enabled = enable;
  if (enable && !started && SDL_WasInit(SDL_INIT_VIDEO)) Win32GamepadStart();
  if (!enable && started) {
    CloseAll();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started = false;
  }
}

// Pads open now.
int Win32GamepadCount()
{
  return static_cast<int>(controllers.size());
}

// Read live, as GetAsyncKeyState reads keys.
bool Win32GamepadButtonDown(int button)
{
  if (!started || controllers.empty() || !Win32InputFocused()) return false;
  if (button < 0 || button >= SDL_CONTROLLER_BUTTON_MAX) return false;
  return Button(static_cast<SDL_GameControllerButton>(button));
}
