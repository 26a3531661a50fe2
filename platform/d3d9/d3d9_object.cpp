// The Direct3D 9 object: the adapter's display mode and name, and device creation on
// an SDL window with an OpenGL 3.3 core context.
#include <SDL.h>

#include <cstdio>

#include "d3d9_internal.h"
#include "win32_internal.h"

class D3D9Object : public IDirect3D9 {
public:
  UINT GetAdapterCount() override { return 1; }
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;
  ~D3D9Object() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
};

// The desktop mode of the first display; formats are always X8R8G8B8 here.
HRESULT D3D9Object::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode)
{
  if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
  SDL_DisplayMode desktop = {};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return D3DERR_NOTAVAILABLE;
  mode->Width = (UINT)desktop.w;
  mode->Height = (UINT)desktop.h;
  mode->RefreshRate = (UINT)desktop.refresh_rate;
  mode->Format = D3DFMT_X8R8G8B8;
  return D3D_OK;
}

// The renderer's name (GL_RENDERER) as the description, so the game can tell a
// software renderer; empty before a device has made a context current.
HRESULT D3D9Object::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier)
{
  if (adapter != D3DADAPTER_DEFAULT || !identifier) return D3DERR_INVALIDCALL;
  *identifier = {};
  std::snprintf(identifier->Driver, sizeof(identifier->Driver), "OpenGL");
  if (!SDL_GL_GetCurrentContext()) return D3D_OK;
  const GLubyte* const renderer = glGetString(GL_RENDERER);
  const GLubyte* const vendor = glGetString(GL_VENDOR);
  if (renderer) std::snprintf(identifier->Description, sizeof(identifier->Description), "%s", renderer);
  if (vendor) std::snprintf(identifier->DeviceName, sizeof(identifier->DeviceName), "%s", vendor);
  return D3D_OK;
}

// Makes a GL context on the window and a device on it. Every device type and vertex
// processing flag is served by the same OpenGL path, so the first attempt succeeds.
HRESULT D3D9Object::CreateDevice(UINT adapter, D3DDEVTYPE, HWND focusWindow, DWORD, D3DPRESENT_PARAMETERS* p,
                                 IDirect3DDevice9** out)
{
  if (!out || !p || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  *out = nullptr;
  const HWND window = p->hDeviceWindow ? p->hDeviceWindow : focusWindow;
  SDL_Window* const sdlWindow = Win32GetSDLWindow(window);
  if (!sdlWindow) return D3DERR_INVALIDCALL;

  if (!p->Windowed) {
    // Full screen keeps the requested back buffer; Present scales it to the desktop.
    if (SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return D3DERR_NOTAVAILABLE;
  } else if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0) {
    int width = 0, height = 0;
    SDL_GetWindowSize(sdlWindow, &width, &height);
    if (p->BackBufferWidth == 0) p->BackBufferWidth = (UINT)width;
    if (p->BackBufferHeight == 0) p->BackBufferHeight = (UINT)height;
  }
  if (p->BackBufferFormat != D3DFMT_A8R8G8B8) p->BackBufferFormat = D3DFMT_X8R8G8B8;
  if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0) return D3DERR_INVALIDCALL;

  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  const SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
  if (!context) {
    std::fprintf(stderr, "d3d9: no OpenGL 3.3 context: %s\n", SDL_GetError());
    return D3DERR_NOTAVAILABLE;
  }
  SDL_GL_MakeCurrent(sdlWindow, context);
  SDL_GL_SetSwapInterval(0);  // presenting never waits for the retrace

  D3D9Device* const device = new D3D9Device(window, sdlWindow, context, *p);
  if (!device->Initialise()) {
    device->Release();
    return D3DERR_NOTAVAILABLE;
  }
  *out = device;
  return D3D_OK;
}

// The Direct3D object; null when the version is not 32 or SDL video cannot start.
IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return new D3D9Object();
}
