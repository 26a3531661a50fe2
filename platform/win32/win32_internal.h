// Internal to the platform layer: the SDL objects behind Win32 handles, and the
// mapping between window pixels and back-buffer pixels. Never included by the game.
#pragma once

#include "windows.h"

struct SDL_Window;

// The SDL window behind a window handle; null for an unknown or destroyed handle.
// Windows are created with SDL_WINDOW_OPENGL and a 3.3 core profile requested.
SDL_Window* Win32GetSDLWindow(HWND window);

// Told by the graphics device where the back buffer lands in the window (in window
// pixels) and how big it is, so that cursor positions reach the game in back-buffer
// pixels even when full screen scales and letterboxes the image.
void Win32SetBackBufferMapping(HWND window, int backBufferWidth, int backBufferHeight, int viewX, int viewY,
                               int viewWidth, int viewHeight);

// The largest rectangle of the back buffer's aspect that fits the outer size, centred
// (top-left origin). Used for drawing and for the cursor mapping alike.
void Win32Letterbox(int outerWidth, int outerHeight, int backBufferWidth, int backBufferHeight, int* x, int* y,
                    int* width, int* height);

// Told by the device how big the back buffer is; the view rectangle is then the
// letterbox of the window's current size (and follows every resize from then on).
void Win32MapBackBuffer(HWND window, int backBufferWidth, int backBufferHeight);
