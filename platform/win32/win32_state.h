// State shared by the SDL-backed Win32 files: what a window handle is, the message
// queue and the input hooks the event translation calls. Private to platform/win32.
#pragma once

#include "windows.h"

#include <SDL.h>

// A window handle points at one of these; they are never freed, so a stale handle
// is recognised (destroyed) instead of pointing at reused memory.
struct HWND__ {
  SDL_Window* sdlWindow = nullptr;
  WNDPROC procedure = nullptr;
  bool destroyed = false;
  // Where the back buffer lands in the window, in window pixels (see
  // Win32SetBackBufferMapping); until the device says, one window pixel is one
  // back-buffer pixel.
  bool mapped = false;
  int backBufferWidth = 0;
  int backBufferHeight = 0;
  int viewX = 0;
  int viewY = 0;
  int viewWidth = 0;
  int viewHeight = 0;
  // The window's size before it went full screen, given back when it leaves.
  int windowedWidth = 0;
  int windowedHeight = 0;
};

// Starts SDL's video subsystem on first use; false when there is no display to open.
bool Win32EnsureVideo();

// The live window behind a handle, or null for null, unknown and destroyed handles.
HWND Win32LiveWindow(HWND window);

// The first live window: the one the cursor and the mouse belong to.
HWND Win32MainWindow();

// The live window behind an SDL window id, or null.
HWND Win32WindowFromId(Uint32 windowId);

// Appends a message to the queue PeekMessageA reads.
void Win32QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Turns one SDL event into messages and input state; tests feed it synthetic events.
void Win32HandleEvent(const SDL_Event& event);

// Input side of event handling (win32_input.cpp): mouse motion and buttons update
// the cursor and button state; returns the button message's client position.
void Win32InputMotion(HWND window, const SDL_MouseMotionEvent& motion);
LPARAM Win32InputButton(HWND window, const SDL_MouseButtonEvent& button);
// A key going down in the pump (repeats aside) is remembered for GetAsyncKeyState's
// "pressed since the last query" bit, so a tap between two frames is not lost.
void Win32InputKey(const SDL_KeyboardEvent& key);
// Whether the key or button is down now, without touching its "pressed since" bit
// (for the layer's own use: GetAsyncKeyState would consume it).
bool Win32InputKeyDown(int virtualKey);
// Keyboard focus of the main window: lost, the pointer is released and motion no
// longer moves the virtual cursor; regained, a hidden cursor is pinned again.
void Win32InputFocus(bool focused);

// Whether the cursor is hidden (the camera reads the virtual cursor), and whether the
// main window has the keyboard focus.
bool Win32InputCursorHidden();
bool Win32InputFocused();
// Whether the player asked for inverted look (the stick follows it as the mouse does).
bool Win32InputLookInverted();

// Gamepads (win32_gamepad.cpp): started with video when enabled; controller events
// open and close them; Update turns their state into keys, button messages and
// cursor motion, once per pump; KeyDown is their share of GetAsyncKeyState.
void Win32GamepadStart();
void Win32GamepadEvent(const SDL_Event& event);
void Win32GamepadUpdate();
bool Win32GamepadKeyDown(int virtualKey);

// Recomputes where the back buffer lands in the window from the window's size, once
// the device has said how big the back buffer is.
void Win32RefreshBackBufferMapping(HWND window);

// Converts window pixels to back-buffer pixels and back for a live window.
void Win32WindowToBackBuffer(HWND window, float x, float y, float* outX, float* outY);
void Win32BackBufferToWindow(HWND window, float x, float y, float* outX, float* outY);

// The top-left of the window's client area on the "screen": its SDL position.
POINT Win32ClientOrigin(HWND window);

// End signals (win32_end_signals.cpp): true once after a signal came, for the pump to
// close the windows; and the bracket round SDL's message box, whose process a signal ends.
bool Win32TakeEndRequest();
void Win32MessageBoxShowing(bool showing);

// True while the test clock is fixed; MsgWaitForMultipleObjects then advances it
// instead of sleeping.
bool Win32ClockIsFixed();
void Win32AdvanceFixedClock(DWORD milliseconds);
