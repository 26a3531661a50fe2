// Win32 keyboard and cursor on SDL2: GetAsyncKeyState by key position, the cursor
// position in back-buffer pixels, and ShowCursor's display counter.
// While the cursor is hidden the mouse is in SDL's relative mode and the game sees a
// virtual cursor moved by the relative motion: mouse look then works on X11 and
// Wayland alike and the pointer never wanders out of the window. "Screen"
// coordinates are client coordinates plus the window position.
#include "test_seam.h"
#include "win32_comforts.h"
#include "win32_internal.h"
#include "win32_state.h"

#include <cmath>

namespace {

// Last known pointer position inside the main window, in window pixels.
float pointerX = 0.0f;
float pointerY = 0.0f;
// The virtual cursor, in back-buffer pixels, used while the cursor is hidden.
float virtualX = 0.0f;
float virtualY = 0.0f;
int displayCount = 0;
bool cursorHidden = false;
// Without focus a hidden cursor lets the pointer go and stops following the mouse.
bool windowFocused = true;
bool pointerPinned = false;
int showCursorCalls = 0;
bool leftDown = false;
bool rightDown = false;
bool middleDown = false;
bool injectedKeys[256] = {};
// Keys and buttons that went down since GetAsyncKeyState last asked about them.
bool pressedSinceQuery[256] = {};
// The player's mouse-look settings (1 and upright: the motion as it comes).
float lookSensitivity = 1.0f;
bool lookInverted = false;
// A replay's cursor: set and read by the program only (see Win32HoldCursor).
bool cursorHeld = false;
POINT heldCursor = {0, 0};

// The key position a virtual-key code stands for; letters and digits by place, so
// W/A/S/D sit where they are on a QWERTY board whatever the layout.
SDL_Scancode ScancodeOf(int virtualKey)
{
  if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'));
  if (virtualKey >= '1' && virtualKey <= '9') return static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (virtualKey - '1'));
  if (virtualKey == '0') return SDL_SCANCODE_0;
  if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
    return static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + (virtualKey - VK_F1));
  switch (virtualKey) {
  case VK_BACK:
    return SDL_SCANCODE_BACKSPACE;
  case VK_TAB:
    return SDL_SCANCODE_TAB;
  case VK_RETURN:
    return SDL_SCANCODE_RETURN;
  case VK_ESCAPE:
    return SDL_SCANCODE_ESCAPE;
  case VK_SPACE:
    return SDL_SCANCODE_SPACE;
  case VK_PRIOR:
    return SDL_SCANCODE_PAGEUP;
  case VK_NEXT:
    return SDL_SCANCODE_PAGEDOWN;
  case VK_END:
    return SDL_SCANCODE_END;
  case VK_HOME:
    return SDL_SCANCODE_HOME;
  case VK_LEFT:
    return SDL_SCANCODE_LEFT;
  case VK_UP:
    return SDL_SCANCODE_UP;
  case VK_RIGHT:
    return SDL_SCANCODE_RIGHT;
  case VK_DOWN:
    return SDL_SCANCODE_DOWN;
  case VK_INSERT:
    return SDL_SCANCODE_INSERT;
  case VK_DELETE:
    return SDL_SCANCODE_DELETE;
  case VK_LSHIFT:
    return SDL_SCANCODE_LSHIFT;
  case VK_RSHIFT:
    return SDL_SCANCODE_RSHIFT;
  case VK_LCONTROL:
    return SDL_SCANCODE_LCTRL;
  case VK_RCONTROL:
    return SDL_SCANCODE_RCTRL;
  default:
    return SDL_SCANCODE_UNKNOWN;
  }
}

// Whether SDL's keyboard state has the key at this position down.
bool ScancodeDown(SDL_Scancode scancode)
{
  if (scancode == SDL_SCANCODE_UNKNOWN || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  return state && scancode < count && state[scancode];
}

// The real keyboard's view of a virtual key, generic modifiers meaning either side.
bool RealKeyDown(int virtualKey)
{
  switch (virtualKey) {
  case VK_LBUTTON:
    return leftDown;
  case VK_RBUTTON:
    return rightDown;
  case VK_MBUTTON:
    return middleDown;
  case VK_SHIFT:
    return ScancodeDown(SDL_SCANCODE_LSHIFT) || ScancodeDown(SDL_SCANCODE_RSHIFT);
  case VK_CONTROL:
    return ScancodeDown(SDL_SCANCODE_LCTRL) || ScancodeDown(SDL_SCANCODE_RCTRL);
  case VK_MENU:
    return ScancodeDown(SDL_SCANCODE_LALT) || ScancodeDown(SDL_SCANCODE_RALT);
  default:
    return ScancodeDown(ScancodeOf(virtualKey));
  }
}

// The back-buffer size the virtual cursor is kept inside.
void BackBufferSize(HWND window, int* width, int* height)
{
  if (window->mapped) {
    *width = window->backBufferWidth;
    *height = window->backBufferHeight;
    return;
  }
  SDL_GetWindowSize(window->sdlWindow, width, height);
}

// Keeps the virtual cursor on the back buffer, as the real one stays on the screen.
void ClampVirtualCursor(HWND window)
{
  int width = 0;
  int height = 0;
  BackBufferSize(window, &width, &height);
  if (virtualX < 0.0f) virtualX = 0.0f;
  if (virtualY < 0.0f) virtualY = 0.0f;
  if (width > 0 && virtualX > width - 1) virtualX = static_cast<float>(width - 1);
  if (height > 0 && virtualY > height - 1) virtualY = static_cast<float>(height - 1);
}

// The cursor in client (back-buffer) pixels of the window.
POINT ClientCursor(HWND window)
{
  float x = virtualX;
  float y = virtualY;
  if (!cursorHidden) Win32WindowToBackBuffer(window, pointerX, pointerY, &x, &y);
  POINT point = {static_cast<LONG>(std::floor(x)), static_cast<LONG>(std::floor(y))};
  return point;
}

// Puts the pointer on the window pixel that maps back to this back-buffer pixel. Where
// the picture is enlarged that is the first window pixel inside it (any scale, 1.25
// as well as 2); where it is shrunk, the one holding the pixel's centre, which comes
// back within one pixel (shrunk pixels share window pixels).
void PointerAtBackBufferPixel(HWND window, float x, float y)
{
  const bool enlarged = !window->mapped || (window->viewWidth >= window->backBufferWidth &&
                                            window->viewHeight >= window->backBufferHeight);
  if (enlarged) {
    Win32BackBufferToWindow(window, x, y, &pointerX, &pointerY);
    pointerX = std::ceil(pointerX - 0.001f);
    pointerY = std::ceil(pointerY - 0.001f);
    return;
  }
  Win32BackBufferToWindow(window, x + 0.5f, y + 0.5f, &pointerX, &pointerY);
  pointerX = std::floor(pointerX);
  pointerY = std::floor(pointerY);
}

// Relative mode and a hidden pointer while the cursor is hidden and the window has
// focus; the plain pointer otherwise.
void PinPointer(bool pin)
{
  pointerPinned = pin;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (pin) {
    SDL_ShowCursor(SDL_DISABLE);
    SDL_SetRelativeMouseMode(SDL_TRUE);
  } else {
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
  }
}

// Switches between the real pointer and the virtual cursor.
void ApplyCursorHidden(bool hide)
{
  if (hide == cursorHidden) return;
  HWND window = Win32MainWindow();
  if (hide) {
    if (window) {
      Win32WindowToBackBuffer(window, pointerX, pointerY, &virtualX, &virtualY);
      ClampVirtualCursor(window);
    }
    cursorHidden = true;
    if (windowFocused) PinPointer(true);
    return;
  }
  cursorHidden = false;
  PinPointer(false);
  // The pointer reappears where the virtual cursor was left.
  if (window) {
    Win32BackBufferToWindow(window, virtualX, virtualY, &pointerX, &pointerY);
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
      SDL_WarpMouseInWindow(window->sdlWindow, static_cast<int>(pointerX), static_cast<int>(pointerY));
    }
  }
}

}  // namespace

// ---- internal ---------------------------------------------------------------------

// Pointer motion: absolute while the cursor shows, relative while it is hidden.
void Win32InputMotion(HWND window, const SDL_MouseMotionEvent& motion)
{
  if (!cursorHidden || !windowFocused) {
    pointerX = static_cast<float>(motion.x);
    pointerY = static_cast<float>(motion.y);
    return;
  }
  // Relative motion arrives in window pixels; the game counts back-buffer pixels.
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  if (window->mapped) {
    scaleX = static_cast<float>(window->backBufferWidth) / static_cast<float>(window->viewWidth);
    scaleY = static_cast<float>(window->backBufferHeight) / static_cast<float>(window->viewHeight);
  }
  virtualX += motion.xrel * scaleX * lookSensitivity;
  virtualY += motion.yrel * scaleY * lookSensitivity * (lookInverted ? -1.0f : 1.0f);
  ClampVirtualCursor(window);
}

// A window in the background must not turn the camera: the virtual cursor stays put
// and the pointer is free; back in front, a hidden cursor is pinned again.
void Win32InputFocus(bool focused)
{
  if (focused == windowFocused) return;
  windowFocused = focused;
  if (cursorHidden) PinPointer(focused);
}

// Whether the cursor is hidden (the virtual cursor in use).
bool Win32InputCursorHidden()
{
  return cursorHidden;
}

// Whether looking up and down is reversed.
bool Win32InputLookInverted()
{
  return lookInverted;
}

// Whether the main window has the keyboard focus.
bool Win32InputFocused()
{
  return windowFocused;
}

// Button state for GetAsyncKeyState, and the click position for the message.
LPARAM Win32InputButton(HWND window, const SDL_MouseButtonEvent& button)
{
  const bool down = button.state == SDL_PRESSED;
  if (button.button == SDL_BUTTON_LEFT) leftDown = down;
  if (button.button == SDL_BUTTON_RIGHT) rightDown = down;
  if (button.button == SDL_BUTTON_MIDDLE) middleDown = down;
  if (down && button.button == SDL_BUTTON_LEFT) pressedSinceQuery[VK_LBUTTON] = true;
  if (down && button.button == SDL_BUTTON_RIGHT) pressedSinceQuery[VK_RBUTTON] = true;
  if (down && button.button == SDL_BUTTON_MIDDLE) pressedSinceQuery[VK_MBUTTON] = true;
  if (!cursorHidden) {
    pointerX = static_cast<float>(button.x);
    pointerY = static_cast<float>(button.y);
  }
  const POINT client = ClientCursor(window);
  return MAKELPARAM(client.x, client.y);
}

// Every virtual key at that position goes down, and the generic modifier with its side.
void Win32InputKey(const SDL_KeyboardEvent& key)
{
  if (key.type != SDL_KEYDOWN || key.repeat) return;
  const SDL_Scancode scancode = key.keysym.scancode;
  if (scancode == SDL_SCANCODE_UNKNOWN) return;
  for (int virtualKey = 0; virtualKey < 256; ++virtualKey) {
    if (ScancodeOf(virtualKey) == scancode) pressedSinceQuery[virtualKey] = true;
  }
  if (scancode == SDL_SCANCODE_LSHIFT || scancode == SDL_SCANCODE_RSHIFT) pressedSinceQuery[VK_SHIFT] = true;
  if (scancode == SDL_SCANCODE_LCTRL || scancode == SDL_SCANCODE_RCTRL) pressedSinceQuery[VK_CONTROL] = true;
  if (scancode == SDL_SCANCODE_LALT || scancode == SDL_SCANCODE_RALT) pressedSinceQuery[VK_MENU] = true;
}

// Keyboard, seam, gamepad and mouse together, as GetAsyncKeyState's high bit.
bool Win32InputKeyDown(int virtualKey)
{
  if (virtualKey < 0 || virtualKey > 255) return false;
  return injectedKeys[virtualKey] || RealKeyDown(virtualKey) || Win32GamepadKeyDown(virtualKey) ||
         (virtualKey == VK_SHIFT && (injectedKeys[VK_LSHIFT] || injectedKeys[VK_RSHIFT]));
}

// Window pixels to back-buffer pixels through the device's mapping.
void Win32WindowToBackBuffer(HWND window, float x, float y, float* outX, float* outY)
{
  if (!window->mapped) {
    *outX = x;
    *outY = y;
    return;
  }
  *outX = (x - window->viewX) * window->backBufferWidth / window->viewWidth;
  *outY = (y - window->viewY) * window->backBufferHeight / window->viewHeight;
}

// Back-buffer pixels to window pixels; the inverse of the above.
void Win32BackBufferToWindow(HWND window, float x, float y, float* outX, float* outY)
{
  if (!window->mapped) {
    *outX = x;
    *outY = y;
    return;
  }
  *outX = window->viewX + x * window->viewWidth / window->backBufferWidth;
  *outY = window->viewY + y * window->viewHeight / window->backBufferHeight;
}

// ---- keys -------------------------------------------------------------------------

// High bit set while the key is down; low bit set when it went down since the last
// call for this key (a tap between two frames included), which the call then clears.
SHORT GetAsyncKeyState(int virtualKey)
{
  if (virtualKey < 0 || virtualKey > 255) return 0;
  int state = Win32InputKeyDown(virtualKey) ? 0x8000 : 0;
  if (pressedSinceQuery[virtualKey]) state |= 0x0001;
  pressedSinceQuery[virtualKey] = false;
  return static_cast<SHORT>(state);
}

// The held bit alone, the tap bit untouched.
bool Win32KeyHeld(int virtualKey)
{
  return virtualKey >= 0 && virtualKey <= 255 && Win32InputKeyDown(virtualKey);
}

// ---- cursor -----------------------------------------------------------------------

// The cursor in screen coordinates (client back-buffer pixels plus window position).
BOOL GetCursorPos(POINT* point)
{
  if (!point) return FALSE;
  if (cursorHeld) {
    *point = heldCursor;
    return TRUE;
  }
  HWND window = Win32MainWindow();
  if (!window) {
    point->x = static_cast<LONG>(virtualX);
    point->y = static_cast<LONG>(virtualY);
    return TRUE;
  }
  const POINT client = ClientCursor(window);
  const POINT origin = Win32ClientOrigin(window);
  point->x = client.x + origin.x;
  point->y = client.y + origin.y;
  return TRUE;
}

// Moves the cursor: the virtual one while hidden, otherwise the real pointer.
BOOL SetCursorPos(int x, int y)
{
  if (cursorHeld) {
    heldCursor = {x, y};
    return TRUE;
  }
  HWND window = Win32MainWindow();
  if (!window) {
    virtualX = static_cast<float>(x);
    virtualY = static_cast<float>(y);
    return TRUE;
  }
  const POINT origin = Win32ClientOrigin(window);
  const float clientX = static_cast<float>(x - origin.x);
  const float clientY = static_cast<float>(y - origin.y);
  if (cursorHidden) {
    virtualX = clientX;
    virtualY = clientY;
    ClampVirtualCursor(window);
    return TRUE;
  }
  PointerAtBackBufferPixel(window, clientX, clientY);
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_WarpMouseInWindow(window->sdlWindow, static_cast<int>(pointerX), static_cast<int>(pointerY));
  }
  return TRUE;
}

// Screen to client coordinates of a window.
BOOL ScreenToClient(HWND window, POINT* point)
{
  if (!point || !Win32LiveWindow(window)) return FALSE;
  const POINT origin = Win32ClientOrigin(window);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

// Client to screen coordinates of a window.
BOOL ClientToScreen(HWND window, POINT* point)
{
  if (!point || !Win32LiveWindow(window)) return FALSE;
  const POINT origin = Win32ClientOrigin(window);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

// Windows' display counter: the cursor shows while it is 0 or more.
int ShowCursor(BOOL show)
{
  ++showCursorCalls;
  displayCount += show ? 1 : -1;
  ApplyCursorHidden(displayCount < 0);
  return displayCount;
}

// ---- comforts ------------------------------------------------------------------------

// Kept within sensible bounds: a zero or negative factor would freeze or flip the view.
void Win32SetLookOptions(float sensitivity, bool invertVertical)
{
  lookSensitivity = sensitivity >= 0.05f && sensitivity <= 20.0f ? sensitivity : 1.0f;
  lookInverted = invertVertical;
}

// Starts from where the cursor is, so holding it moves nothing.
void Win32HoldCursor(bool hold)
{
  if (hold && !cursorHeld) GetCursorPos(&heldCursor);
  cursorHeld = hold;
}

// ---- test seam ----------------------------------------------------------------------

// Holds or releases a key as if pressed on the keyboard.
void Win32TestSetKey(int virtualKey, bool down)
{
  if (virtualKey < 0 || virtualKey > 255) return;
  if (down && !injectedKeys[virtualKey]) pressedSinceQuery[virtualKey] = true;
  injectedKeys[virtualKey] = down;
}

// Releases every key held through the seam and forgets the presses not yet asked about.
void Win32TestReleaseKeys()
{
  for (bool& key : injectedKeys) key = false;
  for (bool& pressed : pressedSinceQuery) pressed = false;
}

// A mouse movement as the device reports it: relative, in window pixels.
void Win32TestMoveMouse(int dx, int dy)
{
  HWND window = Win32MainWindow();
  SDL_Event event = {};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = (window && window->sdlWindow) ? SDL_GetWindowID(window->sdlWindow) : 0;
  event.motion.x = static_cast<Sint32>(pointerX) + dx;
  event.motion.y = static_cast<Sint32>(pointerY) + dy;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  Win32HandleEvent(event);
}

// Places the visible pointer at a window pixel.
void Win32TestPointMouse(int x, int y)
{
  Win32TestMoveMouse(x - static_cast<int>(pointerX), y - static_cast<int>(pointerY));
}

// Presses or releases a mouse button (VK_LBUTTON, VK_RBUTTON or VK_MBUTTON).
void Win32TestMouseButton(int virtualKey, bool down)
{
  HWND window = Win32MainWindow();
  SDL_Event event = {};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = (window && window->sdlWindow) ? SDL_GetWindowID(window->sdlWindow) : 0;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.button = virtualKey == VK_RBUTTON   ? SDL_BUTTON_RIGHT
                        : virtualKey == VK_MBUTTON ? SDL_BUTTON_MIDDLE
                                                   : SDL_BUTTON_LEFT;
  event.button.clicks = 1;
  event.button.x = static_cast<Sint32>(pointerX);
  event.button.y = static_cast<Sint32>(pointerY);
  Win32HandleEvent(event);
}

// How many times ShowCursor has been called.
int Win32TestShowCursorCalls()
{
  return showCursorCalls;
}

// Whether the cursor is hidden (and the virtual cursor in use).
bool Win32TestCursorHidden()
{
  return cursorHidden;
}

// Focus lost or gained, as the window system reports it.
void Win32TestSetFocus(bool focused)
{
  HWND window = Win32MainWindow();
  SDL_Event event = {};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = (window && window->sdlWindow) ? SDL_GetWindowID(window->sdlWindow) : 0;
  event.window.event = focused ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
  Win32HandleEvent(event);
}

// Whether the pointer is held in relative mode for the virtual cursor.
bool Win32TestPointerPinned()
{
  return pointerPinned;
}
