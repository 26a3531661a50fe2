// Win32 windows and messages on SDL2: window classes, windows with their geometry,
// the message queue and pump, and the translation of SDL events into messages.
// Limits: SDL windows have no non-client area we can measure, so the window
// rectangle is the client rectangle placed at the window position; keys make no
// messages (the game polls them); WM_MOUSEMOVE is not posted (nothing reads it).
// Focus changes post WM_KILLFOCUS and WM_SETFOCUS; gamepads are pumped here too.
#include "win32_internal.h"
#include "win32_state.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct HINSTANCE__ {
  int unused;
};

struct HICON__ {
  SDL_Surface* surface;
};

struct HBRUSH__ {
  int stockIndex;
};

namespace {

struct WindowClass {
  std::string name;
  WNDPROC procedure;
  HICON icon;
  HICON smallIcon;
};

HINSTANCE__ moduleHandle = {0};
HICON__ arrowCursor = {nullptr};
HBRUSH__ whiteBrush = {WHITE_BRUSH};
HBRUSH__ blackBrush = {BLACK_BRUSH};

std::vector<WindowClass> windowClasses;
std::vector<std::unique_ptr<HWND__>> windows;
std::deque<MSG> messageQueue;
bool quitPosted = false;
int quitCode = 0;
bool videoFailed = false;

// Finds a registered class by its exact name.
WindowClass* FindClass(const char* name)
{
  for (WindowClass& windowClass : windowClasses) {
    if (windowClass.name == name) return &windowClass;
  }
  return nullptr;
}

// Reads a PNG into an SDL surface for use as a window icon; null when unreadable.
SDL_Surface* LoadIconSurface(const char* path)
{
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* pixels = stbi_load(path, &width, &height, &channels, 4);
  if (!pixels) return nullptr;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
  if (surface) {
    for (int y = 0; y < height; ++y) {
      std::memcpy(static_cast<Uint8*>(surface->pixels) + y * surface->pitch,
                  pixels + static_cast<size_t>(y) * width * 4, static_cast<size_t>(width) * 4);
    }
  }
  stbi_image_free(pixels);
  return surface;
}

// Drops queued messages of a window that no longer exists, as Windows does.
void DropMessagesFor(HWND window)
{
  std::deque<MSG> kept;
  for (const MSG& msg : messageQueue) {
    if (msg.hwnd != window) kept.push_back(msg);
  }
  messageQueue.swap(kept);
}

// The session asks the program to end (or an end signal came): every window is closed
// as its close button would close it, so the game takes its normal way out.
void CloseEveryWindow()
{
  bool any = false;
  for (const std::unique_ptr<HWND__>& entry : windows) {
    if (entry->destroyed) continue;
    Win32QueueMessage(entry.get(), WM_CLOSE, 0, 0);
    any = true;
  }
  if (!any) PostQuitMessage(0);
}

// Moves every pending SDL event into the message queue, after an end signal's close.
void PumpSDLEvents()
{
  if (Win32TakeEndRequest()) CloseEveryWindow();
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) Win32HandleEvent(event);
  Win32GamepadUpdate();
}

}  // namespace

// ---- internal ---------------------------------------------------------------------

// Starts SDL video once; a failure is remembered so headless runs do not retry.
bool Win32EnsureVideo()
{
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  if (videoFailed) return false;
  // A click that activates the window is still a click, as on Windows.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    videoFailed = true;
    return false;
  }
  Win32GamepadStart();
  return true;
}

// Looks a handle up among the windows made here.
HWND Win32LiveWindow(HWND window)
{
  if (!window) return nullptr;
  for (const std::unique_ptr<HWND__>& entry : windows) {
    if (entry.get() == window) return entry->destroyed ? nullptr : window;
  }
  return nullptr;
}

// The oldest live window.
HWND Win32MainWindow()
{
  for (const std::unique_ptr<HWND__>& entry : windows) {
    if (!entry->destroyed) return entry.get();
  }
  return nullptr;
}

// Maps an SDL window id back to its handle.
HWND Win32WindowFromId(Uint32 windowId)
{
  for (const std::unique_ptr<HWND__>& entry : windows) {
    if (!entry->destroyed && entry->sdlWindow && SDL_GetWindowID(entry->sdlWindow) == windowId) {
      return entry.get();
    }
  }
  return nullptr;
}

// Queues a message in arrival order.
void Win32QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  MSG msg = {};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = timeGetTime();
  GetCursorPos(&msg.pt);
  messageQueue.push_back(msg);
}

// Translates the events the game cares about; everything else is dropped.
void Win32HandleEvent(const SDL_Event& event)
{
  switch (event.type) {
  case SDL_QUIT:
    CloseEveryWindow();
    break;
  case SDL_WINDOWEVENT: {
    HWND window = Win32WindowFromId(event.window.windowID);
    if (!window) break;
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
      Win32QueueMessage(window, WM_CLOSE, 0, 0);
    } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      Win32RefreshBackBufferMapping(window);
      Win32QueueMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(event.window.data1, event.window.data2));
    } else if (event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
      Win32QueueMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
    } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
      Win32InputFocus(false);
      Win32QueueMessage(window, WM_KILLFOCUS, 0, 0);
    } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
      Win32InputFocus(true);
      Win32QueueMessage(window, WM_SETFOCUS, 0, 0);
    }
    break;
  }
  case SDL_CONTROLLERDEVICEADDED:
  case SDL_CONTROLLERDEVICEREMOVED:
    Win32GamepadEvent(event);
    break;
  case SDL_KEYDOWN:
    Win32InputKey(event.key);
    break;
  case SDL_MOUSEMOTION: {
    HWND window = Win32WindowFromId(event.motion.windowID);
    if (!window) window = Win32MainWindow();
    if (window) Win32InputMotion(window, event.motion);
    break;
  }
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP: {
    HWND window = Win32WindowFromId(event.button.windowID);
    if (!window) window = Win32MainWindow();
    if (!window) break;
    const LPARAM position = Win32InputButton(window, event.button);
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    UINT message = 0;
    if (event.button.button == SDL_BUTTON_LEFT) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    if (event.button.button == SDL_BUTTON_RIGHT) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    if (event.button.button == SDL_BUTTON_MIDDLE) message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    if (message == 0) break;
    WPARAM keys = 0;
    const Uint32 held = SDL_GetMouseState(nullptr, nullptr);
    if (Win32InputKeyDown(VK_LBUTTON)) keys |= MK_LBUTTON;
    if (Win32InputKeyDown(VK_RBUTTON)) keys |= MK_RBUTTON;
    if (held & SDL_BUTTON(SDL_BUTTON_MIDDLE)) keys |= MK_MBUTTON;
    Win32QueueMessage(window, message, keys, position);
    break;
  }
  default:
    break;
  }
}

// The SDL window behind a handle.
SDL_Window* Win32GetSDLWindow(HWND window)
{
  HWND live = Win32LiveWindow(window);
  return live ? live->sdlWindow : nullptr;
}

// Records where the device puts the back buffer inside the window.
void Win32SetBackBufferMapping(HWND window, int backBufferWidth, int backBufferHeight, int viewX, int viewY,
                               int viewWidth, int viewHeight)
{
  HWND live = Win32LiveWindow(window);
  if (!live || backBufferWidth <= 0 || backBufferHeight <= 0 || viewWidth <= 0 || viewHeight <= 0) return;
  live->mapped = true;
  live->backBufferWidth = backBufferWidth;
  live->backBufferHeight = backBufferHeight;
  live->viewX = viewX;
  live->viewY = viewY;
  live->viewWidth = viewWidth;
  live->viewHeight = viewHeight;
}

// The window's position stands in for the screen position of its client area.
POINT Win32ClientOrigin(HWND window)
{
  POINT origin = {0, 0};
  HWND live = Win32LiveWindow(window);
  if (live && live->sdlWindow) {
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(live->sdlWindow, &x, &y);
    origin.x = x;
    origin.y = y;
  }
  return origin;
}

// ---- module, classes, resources -------------------------------------------------

// There is one module; its handle only has to be non-null.
HMODULE GetModuleHandleA(LPCSTR)
{
  return &moduleHandle;
}

// Registers a class by name; a second class of the same name fails, as on Windows.
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass)
{
  if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA)) return 0;
  if (!windowClass->lpfnWndProc || !windowClass->lpszClassName || !windowClass->lpszClassName[0]) return 0;
  if (FindClass(windowClass->lpszClassName)) return 0;
  WindowClass entry;
  entry.name = windowClass->lpszClassName;
  entry.procedure = windowClass->lpfnWndProc;
  entry.icon = windowClass->hIcon;
  entry.smallIcon = windowClass->hIconSm;
  windowClasses.push_back(entry);
  return static_cast<ATOM>(0xC000 + windowClasses.size());
}

// The icon resource "MYICON" is the generated res/icon.png; without it (or for any
// other resource) there is no icon and SDL keeps its default.
HICON LoadIconA(HINSTANCE, LPCSTR name)
{
  if (reinterpret_cast<uintptr_t>(name) <= 0xFFFF) return nullptr;
  if (std::strcmp(name, "MYICON") != 0) return nullptr;
  static HICON__ icon = {nullptr};
  if (!icon.surface) icon.surface = LoadIconSurface("res/icon.png");
  return icon.surface ? &icon : nullptr;
}

// Only the system arrow exists, and it is SDL's default cursor.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
  if (instance || name != IDC_ARROW) return nullptr;
  return &arrowCursor;
}

// Stock brushes are tokens: the device paints the whole client area every frame.
HGDIOBJ GetStockObject(int object)
{
  if (object == WHITE_BRUSH) return &whiteBrush;
  if (object == BLACK_BRUSH) return &blackBrush;
  return nullptr;
}

// ---- windows -----------------------------------------------------------------------

// Creates a hidden OpenGL-capable SDL window for a registered class and sends it
// WM_CREATE and WM_SIZE, as Windows does before CreateWindowExA returns.
HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height, HWND,
                     HMENU, HINSTANCE, LPVOID)
{
  const WindowClass* windowClass = className ? FindClass(className) : nullptr;
  if (!windowClass || !Win32EnsureVideo()) return nullptr;
  if (x == CW_USEDEFAULT) x = SDL_WINDOWPOS_UNDEFINED;
  if (y == CW_USEDEFAULT) y = SDL_WINDOWPOS_UNDEFINED;
  if (width <= 0 || width == CW_USEDEFAULT) width = 1280;
  if (height <= 0 || height == CW_USEDEFAULT) height = 720;

  // The graphics device draws with OpenGL 3.3 core into this window.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // The device draws its frames straight into this window when it is the back buffer's
  // size, so the window carries the automatic depth and stencil buffer's format.
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  SDL_Window* sdlWindow = SDL_CreateWindow(windowName ? windowName : "", x, y, width, height, flags);
  if (!sdlWindow) return nullptr;
  HICON icon = windowClass->icon ? windowClass->icon : windowClass->smallIcon;
  if (icon && icon->surface) SDL_SetWindowIcon(sdlWindow, icon->surface);

  windows.push_back(std::make_unique<HWND__>());
  HWND window = windows.back().get();
  window->sdlWindow = sdlWindow;
  window->procedure = windowClass->procedure;
  SendMessageA(window, WM_CREATE, 0, 0);
  if (Win32LiveWindow(window)) SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  if (Win32LiveWindow(window) && (style & WS_VISIBLE)) ShowWindow(window, SW_SHOW);
  return Win32LiveWindow(window);
}

// Sends WM_DESTROY, then hides the window for good. The SDL window itself is kept
// until exit: the device's GL context, released after the loop ends, was made on it.
BOOL DestroyWindow(HWND window)
{
  HWND live = Win32LiveWindow(window);
  if (!live) return FALSE;
  SendMessageA(live, WM_DESTROY, 0, 0);
  live->destroyed = true;
  SDL_HideWindow(live->sdlWindow);
  DropMessagesFor(live);
  return TRUE;
}

// True for a window that exists and has not been destroyed.
BOOL IsWindow(HWND window)
{
  return Win32LiveWindow(window) ? TRUE : FALSE;
}

// The window rectangle in screen coordinates (same as the client area, see above).
BOOL GetWindowRect(HWND window, RECT* rect)
{
  HWND live = Win32LiveWindow(window);
  if (!live || !rect) return FALSE;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  SDL_GetWindowPosition(live->sdlWindow, &x, &y);
  SDL_GetWindowSize(live->sdlWindow, &width, &height);
  rect->left = x;
  rect->top = y;
  rect->right = x + width;
  rect->bottom = y + height;
  return TRUE;
}

// The client rectangle: origin 0, size of the window's drawable area in window pixels.
BOOL GetClientRect(HWND window, RECT* rect)
{
  HWND live = Win32LiveWindow(window);
  if (!live || !rect) return FALSE;
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(live->sdlWindow, &width, &height);
  rect->left = 0;
  rect->top = 0;
  rect->right = width;
  rect->bottom = height;
  return TRUE;
}

// Moves and resizes, then sends WM_SIZE at once like Windows, so the caller sees the
// new client size before MoveWindow returns.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL)
{
  HWND live = Win32LiveWindow(window);
  if (!live || width <= 0 || height <= 0) return FALSE;
  SDL_SetWindowPosition(live->sdlWindow, x, y);
  SDL_SetWindowSize(live->sdlWindow, width, height);
  Win32RefreshBackBufferMapping(live);
  RECT client = {};
  GetClientRect(live, &client);
  SendMessageA(live, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  return TRUE;
}

// Shows, hides, minimises or restores; returns whether it was visible before.
BOOL ShowWindow(HWND window, int command)
{
  HWND live = Win32LiveWindow(window);
  if (!live) return FALSE;
  const BOOL wasVisible = (SDL_GetWindowFlags(live->sdlWindow) & SDL_WINDOW_SHOWN) ? TRUE : FALSE;
  switch (command) {
  case SW_HIDE:
    SDL_HideWindow(live->sdlWindow);
    break;
  case SW_MINIMIZE:
  case SW_SHOWMINIMIZED:
    SDL_MinimizeWindow(live->sdlWindow);
    break;
  case SW_SHOWMAXIMIZED:
    SDL_ShowWindow(live->sdlWindow);
    SDL_MaximizeWindow(live->sdlWindow);
    break;
  case SW_RESTORE:
    SDL_RestoreWindow(live->sdlWindow);
    SDL_ShowWindow(live->sdlWindow);
    break;
  default:
    SDL_ShowWindow(live->sdlWindow);
    break;
  }
  return wasVisible;
}

// Nothing to paint ahead of time: the device presents a whole frame every 16 ms.
BOOL UpdateWindow(HWND window)
{
  return Win32LiveWindow(window) ? TRUE : FALSE;
}

// Default handling: closing destroys the window; everything else is ignored.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM)
{
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

// ---- messages ---------------------------------------------------------------------

// Takes (or looks at) the oldest message, pumping SDL first when nothing is queued.
// WM_QUIT comes only once the queue is otherwise empty, as on Windows.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
  if (!msg) return FALSE;
  if (messageQueue.empty()) PumpSDLEvents();
  for (size_t i = 0; i < messageQueue.size(); ++i) {
    const MSG& queued = messageQueue[i];
    if (window && queued.hwnd != window) continue;
    if ((filterMin || filterMax) && (queued.message < filterMin || queued.message > filterMax)) continue;
    *msg = queued;
    if (removeFlags & PM_REMOVE) messageQueue.erase(messageQueue.begin() + static_cast<long>(i));
    return TRUE;
  }
  const bool quitWanted = !(filterMin || filterMax) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
  if (quitPosted && quitWanted && !window) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(quitCode);
    msg->time = timeGetTime();
    if (removeFlags & PM_REMOVE) quitPosted = false;
    return TRUE;
  }
  return FALSE;
}

// No keyboard messages are generated, so there are no characters to translate.
BOOL TranslateMessage(const MSG*)
{
  return FALSE;
}

// Hands a message to its window's procedure.
LRESULT DispatchMessageA(const MSG* msg)
{
  if (!msg) return 0;
  HWND live = Win32LiveWindow(msg->hwnd);
  if (!live || !live->procedure) return 0;
  return live->procedure(live, msg->message, msg->wParam, msg->lParam);
}

// Calls the window procedure directly, bypassing the queue.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  HWND live = Win32LiveWindow(window);
  if (!live || !live->procedure) return 0;
  return live->procedure(live, message, wParam, lParam);
}

// Queues a message for a live window (or for the thread when the window is null).
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (window && !Win32LiveWindow(window)) return FALSE;
  Win32QueueMessage(window, message, wParam, lParam);
  return TRUE;
}

// Asks the loop to end: PeekMessageA reports WM_QUIT once the queue is empty.
void PostQuitMessage(int exitCode)
{
  quitPosted = true;
  quitCode = exitCode;
}

// Waits until a message can be read or the time is up, without spinning. Only the
// message part is supported (no handles). Under a fixed test clock the wait passes
// instantly and moves the clock on instead.
DWORD MsgWaitForMultipleObjects(DWORD count, const void*, BOOL, DWORD milliseconds, DWORD)
{
  if (!messageQueue.empty() || quitPosted) return WAIT_OBJECT_0 + count;
  if (Win32ClockIsFixed()) {
    if (milliseconds != INFINITE) Win32AdvanceFixedClock(milliseconds);
    return WAIT_TIMEOUT;
  }
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_Delay(milliseconds == INFINITE ? 1000 : milliseconds);
    return WAIT_TIMEOUT;
  }
  const int timeout = milliseconds == INFINITE ? -1 : static_cast<int>(milliseconds);
  return SDL_WaitEventTimeout(nullptr, timeout) ? WAIT_OBJECT_0 + count : WAIT_TIMEOUT;
}
