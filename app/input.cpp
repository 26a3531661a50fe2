// TriggerKey, IsCursorOver and SetCursorVisible, with their process-wide state.
#include "app/input.h"

int cursorVisible = 1;

namespace {
int keyLatch[256];
bool keyLatchUnset = true;
}  // namespace

// Latches a key on its first seen press; each key must have one caller per frame. A
// press since the last call counts even when the key is up again (a tap shorter than
// a frame) or went up and down between two calls.
bool TriggerKey(int virtualKey)
{
  if (keyLatchUnset) {
    for (int& latch : keyLatch) latch = 0;
    keyLatchUnset = false;
  }
  if (virtualKey < 0 || virtualKey > 255) return false;
  const SHORT state = GetAsyncKeyState(virtualKey);
  const bool pressedSince = (state & 0x0001) != 0;
  if (!(state & 0x8000)) {
    keyLatch[virtualKey] = 0;
    return pressedSince;
  }
  const bool fresh = pressedSince || keyLatch[virtualKey] == 0;
  keyLatch[virtualKey] = 1;
  return fresh;
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
