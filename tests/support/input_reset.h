// Puts the input path back to rest between tests that share one running program:
// no keys held, no latched edges, no pending message boxes or mouse messages, an
// empty snapshot and no fade.
#pragma once

#include "app/application.h"
#include "app/input.h"
#include "test_seam.h"
#include "windows.h"

// Clears what an earlier test may have left anywhere on the way from input to update.
inline void ResetInputPath(CApplication* application)
{
  Win32TestReleaseKeys();
  TriggerKey(VK_ESCAPE);  // forget an edge an earlier test left latched
  TriggerKey(VK_SPACE);
  Win32TestTakeMessageBoxes();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_RBUTTONUP, PM_REMOVE)) {}
  application->input = InputSnapshot{};
  application->fadeOut = 0;
  application->fadeAlpha = 0;
}
