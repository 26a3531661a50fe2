// A window of its own class for tests that need one: the class is registered on first
// use, with the given window procedure.
#pragma once

#include "windows.h"

// Registers the class once, then creates a window of it; null on failure.
inline HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style, int x, int y, int width, int height)
{
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);  // fails harmlessly once the class exists
  return CreateWindowExA(0, className, className, style, x, y, width, height, nullptr, nullptr, nullptr, nullptr);
}
