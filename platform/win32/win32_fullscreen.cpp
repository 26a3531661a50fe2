// Full screen at any time and free resizing: the letterbox rule shared by drawing and
// the cursor mapping, the mapping kept in step with the window's size, and switching a
// live window to the desktop's full-screen mode and back.
// Limits: full screen is SDL's desktop mode (no mode change); the back buffer keeps
// its size and is scaled.
#include "win32_comforts.h"
#include "win32_internal.h"
#include "win32_state.h"

#include <cmath>

// The largest centred rectangle of the back buffer's aspect.
void Win32Letterbox(int outerWidth, int outerHeight, int backBufferWidth, int backBufferHeight, int* x, int* y,
                    int* width, int* height)
{
  *x = 0;
  *y = 0;
  *width = outerWidth;
  *height = outerHeight;
  if (outerWidth <= 0 || outerHeight <= 0 || backBufferWidth <= 0 || backBufferHeight <= 0) return;
  const double scale =
      std::fmin(static_cast<double>(outerWidth) / backBufferWidth, static_cast<double>(outerHeight) / backBufferHeight);
  *width = static_cast<int>(std::lround(backBufferWidth * scale));
  *height = static_cast<int>(std::lround(backBufferHeight * scale));
  *x = (outerWidth - *width) / 2;
  *y = (outerHeight - *height) / 2;
}

// The letterbox of the window's size in window points, where the cursor lives.
void Win32RefreshBackBufferMapping(HWND window)
{
  HWND live = Win32LiveWindow(window);
  if (!live || !live->mapped) return;
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(live->sdlWindow, &width, &height);
  int x = 0, y = 0, viewWidth = 0, viewHeight = 0;
  Win32Letterbox(width, height, live->backBufferWidth, live->backBufferHeight, &x, &y, &viewWidth, &viewHeight);
  Win32SetBackBufferMapping(live, live->backBufferWidth, live->backBufferHeight, x, y, viewWidth, viewHeight);
}

// The size first, then the view from the window.
void Win32MapBackBuffer(HWND window, int backBufferWidth, int backBufferHeight)
{
  HWND live = Win32LiveWindow(window);
  if (!live || backBufferWidth <= 0 || backBufferHeight <= 0) return;
  live->mapped = true;
  live->backBufferWidth = backBufferWidth;
  live->backBufferHeight = backBufferHeight;
  Win32RefreshBackBufferMapping(live);
}

// SDL's desktop full screen keeps the mode; the next WM_SIZE tells the game the new
// client size, and the cursor mapping is redone here already so that a click in the
// very next frame lands where the picture is.
bool Win32SetFullScreen(HWND window, bool fullScreen)
{
  HWND live = Win32LiveWindow(window);
  if (!live) return false;
  const bool wasFullScreen = Win32IsFullScreen(live);
  if (fullScreen && !wasFullScreen) SDL_GetWindowSize(live->sdlWindow, &live->windowedWidth, &live->windowedHeight);
  if (SDL_SetWindowFullscreen(live->sdlWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  // Not every video driver gives the old size back by itself.
  if (!fullScreen && wasFullScreen && live->windowedWidth > 0) {
    SDL_SetWindowSize(live->sdlWindow, live->windowedWidth, live->windowedHeight);
  }
  Win32RefreshBackBufferMapping(live);
  RECT client = {};
  GetClientRect(live, &client);
  Win32QueueMessage(live, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  return true;
}

// From SDL's window flags.
bool Win32IsFullScreen(HWND window)
{
  HWND live = Win32LiveWindow(window);
  return live && (SDL_GetWindowFlags(live->sdlWindow) & SDL_WINDOW_FULLSCREEN) != 0;
}
