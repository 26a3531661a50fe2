// What players expect of a Linux desktop game and the Win32 API has no call for:
// switching a live window to full screen and back, gamepads, and how strongly the
// mouse turns the view. The program's start-up and its window keys call these; the
// game's own classes never do.
#pragma once

#include "windows.h"

// Full screen on the desktop's own mode (the back buffer letterboxed in it), or back to
// the window as it was. The cursor mapping follows at once. False when it failed.
bool Win32SetFullScreen(HWND window, bool fullScreen);
// Whether the window is full screen now.
bool Win32IsFullScreen(HWND window);

// Gamepads on (the default) or off. Off, none is opened and none is read; switched on
// or off while running, the controllers are opened or closed then.
// The mapping: left stick and D-pad walk (W/A/S/D), right stick looks (moves the
// hidden cursor as the mouse does), left trigger or shoulder is the left button, right
// trigger or shoulder the right button, Start is Space, Back is Escape; while the
// cursor shows, either stick moves the pointer and A clicks.
void Win32EnableGamepad(bool enable);
// Gamepads open now.
int Win32GamepadCount();

// Mouse look: relative motion of the hidden cursor is multiplied by the sensitivity
// (1 leaves it as it is) and its vertical part reversed when inverted.
void Win32SetLookOptions(float sensitivity, bool invertVertical);

// Holds the cursor for a replay: while held, GetCursorPos and SetCursorPos work on a
// plain point that only the program moves, so the game reads back exactly what it set
// whatever the window's scale, and the real mouse turns nothing.
void Win32HoldCursor(bool hold);

// The end signals: SIGTERM (the session ends), SIGHUP (the terminal is gone) and SIGINT
// (Ctrl+C) close every window as its close button would, also while a message box is
// open (the box gives its default answer). Every process the game forks dies with it.
// Called once, before the first window.
void Win32CatchEndSignals();
// The first end signal that came, or 0.
int Win32EndSignal();

// Whether any open pad holds a button, numbered as SDL's game controller numbers them
// (0 A, 1 B, 2 X, 3 Y, 4 Back, 5 Guide, 6 Start, 7 and 8 the sticks, 9 and 10 the
// shoulders, 11 to 14 the D-pad up, down, left, right). False without a pad or focus.
bool Win32GamepadButtonDown(int button);
