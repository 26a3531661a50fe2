// Hooks that let a test (or a scripted playthrough) drive the Win32 layer: a fixed
// clock, keys and mouse input as the devices would deliver them, and prepared
// answers for message boxes. The game itself never includes this header.
#pragma once

#include "windows.h"

#include <string>
#include <vector>

// ---- clock ----------------------------------------------------------------------
// Fixes timeGetTime at a value; waits for messages then advance it instead of sleeping.
void Win32TestSetClock(DWORD now);
// Moves the fixed clock on (wrapping at 2^32 as the real one does).
void Win32TestAdvanceClock(DWORD milliseconds);
// Returns to the real clock.
void Win32TestUseRealClock();

// ---- keyboard and mouse ------------------------------------------------------------
// Holds (true) or releases (false) a key by virtual-key code.
void Win32TestSetKey(int virtualKey, bool down);
// Releases every key held through the seam.
void Win32TestReleaseKeys();
// Moves the mouse by (dx, dy) window pixels: moves the pointer while the cursor
// shows, the virtual cursor while it is hidden.
void Win32TestMoveMouse(int dx, int dy);
// Puts the visible pointer at window pixel (x, y).
void Win32TestPointMouse(int x, int y);
// Presses or releases VK_LBUTTON, VK_RBUTTON or VK_MBUTTON; queues the window message.
void Win32TestMouseButton(int virtualKey, bool down);
// ShowCursor calls so far, and whether the cursor is currently hidden.
int Win32TestShowCursorCalls();
bool Win32TestCursorHidden();
// Reports the window's focus lost (false) or gained (true).
void Win32TestSetFocus(bool focused);
// Whether the pointer is pinned (relative mode) for the hidden cursor.
bool Win32TestPointerPinned();

// ---- message boxes ------------------------------------------------------------------
// One message box the program showed, with the answer it got.
struct Win32MessageBoxRecord {
  std::string text;
  std::string caption;
  UINT type;
  int answer;
};
// Queues the answer for the next message box (IDYES, IDNO, IDOK...), first in first out.
void Win32TestQueueMessageBoxAnswer(int answer);
// Answers still queued.
int Win32TestQueuedMessageBoxAnswers();
// The message boxes shown since the last call, oldest first; clears the record.
std::vector<Win32MessageBoxRecord> Win32TestTakeMessageBoxes();
