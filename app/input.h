// The input primitives: the edge-triggered key test, the cursor-over-rectangle test
// of clickable sprites and the cursor visibility switch.
#pragma once

#include "windows.h"

// What the program last told ShowCursor: 1 shown (the start), 0 hidden.
extern int cursorVisible;

// One query of a key or action counted against its latch: true when it is down and
// was not latched, or when it went down since the last query (a tap, even one already
// let go); the latch holds while it stays down.
bool CountPress(bool down, bool pressedSince, bool* latched);

// True on the first call that sees the key down, or a press since the last call that
// was already let go; false until it has been seen up or pressed again.
bool TriggerKey(int virtualKey);

// True when the 2 x 2 pixel box at the cursor overlaps the rectangle (client pixels).
bool IsCursorOver(HWND window, float x, float y, float width, float height);

// Shows or hides the cursor, moving ShowCursor's counter at most one step each way.
void SetCursorVisible(bool show);
