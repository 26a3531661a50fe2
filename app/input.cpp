// TriggerKey, IsCursorOver and SetCursorVisible, with their process-wide state.
#include "app/input.h"

int cursorVisible = 1;

namespace {
bool keyLatch[256] = {};
}  // namespace

// Up: the latch opens, and only a tap counts. Down: a press when the latch was open or
// the key went up and down again since the last query.
bool CountPress(bool down, bool pressedSince, bool* latched)
{
  if (!down) {
    *latched = false;
    return pressedSince;
  }
  const bool fresh = pressedSince || !*latched;
  *latched = true;
  return fresh;
}

// Latches a key on its first seen press; each key must have one caller per frame. A
// press since the last call counts even when the key is up again (a tap shorter than
// a frame) or went up and down between two calls.
bool TriggerKey(int virtualKey)
{
  if (virtualKey < 0 || virtualKey > 255) return false;
  const SHORT state = GetAsyncKeyState(virtualKey);
  return CountPress((state & 0x8000) != 0, (state & 0x0001) != 0, &keyLatch[virtualKey]);
}

// The cursor's 2 x 2 box against the rectangle, compared as floats.
bool IsCursorOver(HWND window, float x, float y, float width, float height)
{
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  const float cx = static_cast<float>(cursor.x);
  const float cy = static_cast<float>(cursor.y);
  return x + width > cx && cx + 2.0f > x && y + height > cy && cy + 2.0f > y;
}

// Calls ShowCursor only when the wanted state differs from the last one told.
void SetCursorVisible(bool show)
{
  const int wanted = show ? 1 : 0;
  if (cursorVisible == wanted) return;
  cursorVisible = wanted;
  ShowCursor(show ? TRUE : FALSE);
}
