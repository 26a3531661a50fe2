// The Direct3D 9 device on OpenGL 3.3 core (libepoxy) and an SDL GL context: targets,
// clears, presenting and drawing. States are stored as D3D keeps them and applied at draw
// time (d3d9_states.cpp). Every target, the back buffer too, is a texture with row 0 at
// the top; Present flips once into the window, letterboxed. Fixed-function draws use the
// built-in program of d3d9_fixed_function.cpp.
#include <algorithm>
#include <SDL.h>

#include <cstdio>

#include "d3d9_internal.h"
#include "win32_internal.h"

// ---- the device ------------------------------------------------------------------------------

// Takes over the GL context; the states get D3D's documented defaults.
D3D9Device::D3D9Device(HWND window_, SDL_Window* sdlWindow_, void* glContext_, const D3DPRESENT_PARAMETERS& p)
    : window(window_), sdlWindow(sdlWindow_), glContext(glContext_), parameters(p)
{
  SetDefaultStates();
}

// Frees the implicit targets and GL objects, then the context itself.
D3D9Device::~D3D9Device()
{
  if (implicitDepth) {
    implicitDepth->Release();
    implicitDepth = nullptr;
  }
  if (backBufferTexture) {
    backBufferTexture->Release();
    backBufferTexture = nullptr;
  }
  if (!HasContext()) return;  // video already shut down: the context went with it
  fixedFunction.Destroy();
  if (streamBuffer) glDeleteBuffers(1, &streamBuffer);
  if (vertexArray) glDeleteVertexArrays(1, &vertexArray);
  if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
  SDL_GL_MakeCurrent(sdlWindow, nullptr);
  SDL_GL_DeleteContext((SDL_GLContext)glContext);
}

// GL objects may only be touched while our context is current; at process exit SDL's
// video may already be gone, and with it the context.
bool D3D9Device::HasContext() const
{
  return glContext && SDL_GL_GetCurrentContext() == (SDL_GLContext)glContext;
}

// Creates the back buffer (a texture) and the automatic depth buffer, and the GL objects.
bool D3D9Device::Initialise()
{
  if (!fixedFunction.Build()) return false;
  glGenFramebuffers(1, &framebuffer);
  glGenVertexArrays(1, &vertexArray);
  glGenBuffers(1, &streamBuffer);
  backBufferTexture = new D3D9Texture(this, parameters.BackBufferWidth, parameters.BackBufferHeight, 1,
                                      D3DUSAGE_RENDERTARGET, parameters.BackBufferFormat, D3DPOOL_DEFAULT, false);
  if (!backBufferTexture->valid) return false;
  implicitBackBuffer = backBufferTexture->surfaces[0];
  if (parameters.EnableAutoDepthStencil) {
    implicitDepth = new D3D9Surface(this, nullptr, 0, 0, parameters.BackBufferWidth, parameters.BackBufferHeight,
                                    D3DFMT_D24S8, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT);
  }
  // The window's buffers keep their formats for its life: asked once.
  GLint depthBits = 0, stencilBits = 0;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE,
                                        &stencilBits);
  windowHasDepthStencil = depthBits >= 24 && stencilBits >= 8;
  if (WindowCanHoldBackBuffer()) MoveBackBuffer(true);
  renderTarget = implicitBackBuffer;
  depthStencil = implicitDepth;
  viewport = {0, 0, parameters.BackBufferWidth, parameters.BackBufferHeight, 0.0f, 1.0f};
  scissor = {0, 0, (LONG)parameters.BackBufferWidth, (LONG)parameters.BackBufferHeight};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  return glGetError() == GL_NO_ERROR;
}

// Unbinds a dying texture or surface wherever the device still points at it.
void D3D9Device::Forget(const void* resource)
{
  for (IDirect3DBaseTexture9*& texture : textures)
    if (texture == resource) texture = nullptr;
  if (renderTarget == resource) renderTarget = nullptr;
  if (depthStencil == resource) depthStencil = nullptr;
  if (implicitBackBuffer == resource) implicitBackBuffer = nullptr;
  // A new surface may reuse the address: attach afresh next time.
  if (attachedTarget == resource || attachedDepth == resource) {
    attachedTarget = nullptr;
    attachedDepth = nullptr;
  }
}

// Size of render target 0 (0 x 0 without one).
void D3D9Device::GetTargetSize(UINT* width, UINT* height) const
{
  *width = renderTarget ? renderTarget->width : 0;
  *height = renderTarget ? renderTarget->height : 0;
}

// Binds the device's framebuffer with the current colour and depth surfaces (attaching,
// and Mesa's completeness check, only when the targets changed), or the window itself
// while the back buffer lives there; then the viewport, mirrored for the window.
bool D3D9Device::BindTargets()
{
  if (!renderTarget || !renderTarget->container) return false;
  const bool intoWindow = backBufferInWindow && renderTarget == implicitBackBuffer;
  SetWindowOrigin(intoWindow);
  if (intoWindow) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
  } else {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (renderTarget != attachedTarget || depthStencil != attachedDepth) {
      // A colourless target leaves the colour attachment empty and draws to no buffer.
      const bool colourless = renderTarget->format == D3DFMT_NULL;
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, renderTarget->ImageTarget(),
                             colourless ? 0 : renderTarget->container->name, (GLint)renderTarget->level);
      glDrawBuffer(colourless ? GL_NONE : GL_COLOR_ATTACHMENT0);
      // A depth texture (a shadow map) attaches its level; a standalone buffer its renderbuffer.
      if (depthStencil && depthStencil->container) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_TEXTURE_2D,
                               depthStencil->container->name, (GLint)depthStencil->level);
      } else {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  depthStencil ? depthStencil->renderbuffer : 0);
      }
      attachedComplete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
      attachedTarget = renderTarget;
      attachedDepth = depthStencil;
    }
  }
  glViewport((GLint)viewport.X, TargetRow((LONG)viewport.Y, (LONG)viewport.Height), (GLsizei)viewport.Width,
             (GLsizei)viewport.Height);
  glDepthRange(viewport.MinZ, viewport.MaxZ);
  // The window's depth stands in for the automatic one; no other buffer can go with it.
  if (intoWindow) return !depthStencil || depthStencil == implicitDepth;
  return attachedComplete;
}

// Rows of a texture target run from the top as D3D's do; the window's from the bottom.
GLint D3D9Device::TargetRow(LONG top, LONG height) const
{
  return windowBound ? (GLint)parameters.BackBufferHeight - (GLint)top - (GLint)height : (GLint)top;
}

// With the window bound, clip space's y is turned once more, so that D3D9ClipToGL's flip
// (made for top-down textures) lands the right way up; facing follows the same turn.
void D3D9Device::SetWindowOrigin(bool bound)
{
  if (bound == windowBound) return;
  glClipControl(bound ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
  windowBound = bound;
}

namespace {

// The window's colour buffer that drawing goes to (the back one of a double-buffered
// window), made the one to read from as well.
void ReadFromWindowDrawBuffer()
{
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  GLint buffer = GL_BACK;
  glGetIntegerv(GL_DRAW_BUFFER, &buffer);
  glReadBuffer((GLenum)buffer);
}

}  // namespace

// Needs clip control (GL 4.5 or its extension), a window the back buffer's size and, if
// the device has an automatic depth buffer, a window with depth and stencil.
bool D3D9Device::WindowCanHoldBackBuffer() const
{
  static const bool clipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
  if (!clipControl) return false;
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(sdlWindow, &width, &height);
  if (width != (int)parameters.BackBufferWidth || height != (int)parameters.BackBufferHeight) return false;
  return !implicitDepth || windowHasDepthStencil;
}

// The copy between the two homes is one flipping blit; the texture gets its storage back
// before it is filled and gives it up once the window holds the frame.
void D3D9Device::MoveBackBuffer(bool intoWindow)
{
  const GLint width = (GLint)parameters.BackBufferWidth;
  const GLint height = (GLint)parameters.BackBufferHeight;
  GLuint& name = backBufferTexture->name;
  D3D9FormatInfo info;
  if (!name && D3D9GetFormatInfo(parameters.BackBufferFormat, &info)) {
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, (GLint)info.internalFormat, width, height, 0, info.format, info.type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  if (intoWindow != backBufferInWindow && name) {
    GLuint copyFramebuffer = 0;
    glGenFramebuffers(1, &copyFramebuffer);
    ReadFromWindowDrawBuffer();
    glBindFramebuffer(intoWindow ? GL_READ_FRAMEBUFFER : GL_DRAW_FRAMEBUFFER, copyFramebuffer);
    glFramebufferTexture2D(intoWindow ? GL_READ_FRAMEBUFFER : GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           name, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlitFramebuffer(0, 0, width, height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &copyFramebuffer);
  }
  if (intoWindow && name) {
    glDeleteTextures(1, &name);
    name = 0;
  }
  backBufferInWindow = intoWindow;
  attachedTarget = nullptr;  // attach afresh: the texture may be a new one
  attachedDepth = nullptr;
}

// Top row first, as a lock of the texture would give it.
bool D3D9Device::ReadBackBufferFromWindow(void* pixels, const D3D9FormatInfo& info) const
{
  if (!backBufferInWindow) return false;
  const GLsizei width = (GLsizei)parameters.BackBufferWidth;
  const GLsizei height = (GLsizei)parameters.BackBufferHeight;
  ReadFromWindowDrawBuffer();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, info.format, info.type, pixels);
  const size_t pitch = (size_t)width * info.bytesPerPixel;
  std::vector<uint8_t> row(pitch);
  uint8_t* const bytes = static_cast<uint8_t*>(pixels);
  for (GLsizei y = 0; y < height / 2; ++y) {
    uint8_t* const top = bytes + (size_t)y * pitch;
    uint8_t* const bottom = bytes + (size_t)(height - 1 - y) * pitch;
    std::copy(top, top + pitch, row.data());
    std::copy(bottom, bottom + pitch, top);
    std::copy(row.data(), row.data() + pitch, bottom);
  }
  return true;
}

// Clears the viewport rectangle of the bound targets, whatever the write masks say.
HRESULT D3D9Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil)
{
  if (!BindTargets()) return D3DERR_INVALIDCALL;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil) return D3DERR_INVALIDCALL;
  float c[4];
  D3D9ColourToFloats(colour, c);
  glClearColor(c[0], c[1], c[2], c[3]);
  glClearDepth(z);
  glClearStencil((GLint)(stencil & 0xff));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xff);
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
  if (flags & D3DCLEAR_ZBUFFER) mask |= GL_DEPTH_BUFFER_BIT;
  if (flags & D3DCLEAR_STENCIL) mask |= GL_STENCIL_BUFFER_BIT;
  glEnable(GL_SCISSOR_TEST);
  const D3DRECT whole = {(LONG)viewport.X, (LONG)viewport.Y, (LONG)(viewport.X + viewport.Width),
                         (LONG)(viewport.Y + viewport.Height)};
  if (count == 0 || !rects) {
    count = 1;
    rects = &whole;
  }
  // As in D3D, an enabled scissor test limits the clear too.
  const bool scissored = renderStates[D3DRS_SCISSORTESTENABLE] != 0;
  for (DWORD i = 0; i < count; ++i) {
    D3DRECT r = rects[i];
    if (scissored) {
      r.x1 = std::max<LONG>(r.x1, scissor.left);
      r.y1 = std::max<LONG>(r.y1, scissor.top);
      r.x2 = std::min<LONG>(r.x2, scissor.right);
      r.y2 = std::min<LONG>(r.y2, scissor.bottom);
    }
    if (r.x2 <= r.x1 || r.y2 <= r.y1) continue;
    glScissor(r.x1, TargetRow(r.y1, r.y2 - r.y1), r.x2 - r.x1, r.y2 - r.y1);
    glClear(mask);
  }
  glDisable(GL_SCISSOR_TEST);
  return D3D_OK;
}

// Opens a scene; nesting is an error as in D3D.
HRESULT D3D9Device::BeginScene()
{
  if (inScene) return D3DERR_INVALIDCALL;
  inScene = true;
  return D3D_OK;
}

// Closes the scene.
HRESULT D3D9Device::EndScene()
{
  if (!inScene) return D3DERR_INVALIDCALL;
  inScene = false;
  return D3D_OK;
}

// Shows the frame: while it was drawn straight into the window, a swap; else the back
// buffer's texture is copied into the window, scaled to fit with its aspect kept and
// flipped from our top-down rows to GL's bottom-up window, then swapped without waiting.
// A window that changed size moves the back buffer between the two for what follows.
HRESULT D3D9Device::Present(const RECT*, const RECT*, HWND, const void*)
{
  if (!backBufferTexture) return D3DERR_INVALIDCALL;
  int drawWidth = 0, drawHeight = 0;
  SDL_GL_GetDrawableSize(sdlWindow, &drawWidth, &drawHeight);
  const int bbWidth = (int)parameters.BackBufferWidth;
  const int bbHeight = (int)parameters.BackBufferHeight;
  if (drawWidth <= 0 || drawHeight <= 0 || bbWidth <= 0 || bbHeight <= 0) return D3D_OK;

  const bool windowNext = WindowCanHoldBackBuffer();
  if (backBufferInWindow && !windowNext) MoveBackBuffer(false);
  if (!backBufferInWindow) {
    // The largest rectangle of the back buffer's aspect that fits, centred (y from the top).
    int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    Win32Letterbox(drawWidth, drawHeight, bbWidth, bbHeight, &viewX, &viewY, &viewWidth, &viewHeight);

    GLuint readFramebuffer = 0;
    glGenFramebuffers(1, &readFramebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backBufferTexture->name, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, drawWidth, drawHeight);
    // Only the bars of a letterbox need black; a blit covering the window overwrites it all.
    if (viewWidth != drawWidth || viewHeight != drawHeight) {
      glClearColor(0, 0, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    // Source row 0 is the top: it goes to the window's top edge, which is GL's highest y.
    glBlitFramebuffer(0, 0, bbWidth, bbHeight, viewX, drawHeight - viewY, viewX + viewWidth,
                      drawHeight - viewY - viewHeight, GL_COLOR_BUFFER_BIT,
                      viewWidth == bbWidth && viewHeight == bbHeight ? GL_NEAREST : GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &readFramebuffer);
  }
  // A swap of a window that has no screen (an EGL pbuffer, as the offscreen video driver
  // gives) flushes nothing, and llvmpipe would keep binning every frame drawn into it.
  glFlush();
  SDL_GL_SwapWindow(sdlWindow);
  // The frame just shown is copied into the window's back buffer, where the next is drawn.
  if (!backBufferInWindow && windowNext) MoveBackBuffer(true);

  // The cursor mapping is the same letterbox in window points (which differ from
  // drawable pixels on HiDPI).
  Win32MapBackBuffer(window, bbWidth, bbHeight);
  return D3D_OK;
}

// A 2D texture in one of the supported formats.
HRESULT D3D9Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** out, void**)
{
  D3D9FormatInfo info;
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  // D24S8 only as a depth texture, which the shaders then read through depth comparison.
  const bool depthTexture = format == D3DFMT_D24S8 && usage == D3DUSAGE_DEPTHSTENCIL && levels == 1;
  const bool colourless = D3D9IsColourlessTarget(format, usage, levels);
  if (width == 0 || height == 0 || (format == D3DFMT_D24S8 && !depthTexture) ||
      (!colourless && !D3D9GetFormatInfo(format, &info)))
    return D3DERR_INVALIDCALL;
  if (width > 16384 || height > 16384) return D3DERR_OUTOFVIDEOMEMORY;
  D3D9Texture* const texture = new D3D9Texture(this, width, height, levels, usage, format, pool);
  if (!texture->valid) {
    texture->Release();
    return D3DERR_INVALIDCALL;
  }
  *out = texture;
  return D3D_OK;
}

// A cube texture in one of the supported formats.
HRESULT D3D9Device::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DCubeTexture9** out, void**)
{
  D3D9FormatInfo info;
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (edge == 0 || edge > 16384 || format == D3DFMT_D24S8 || !D3D9GetFormatInfo(format, &info))
    return D3DERR_INVALIDCALL;
  D3D9CubeTexture* const texture = new D3D9CubeTexture(this, edge, levels, usage, format, pool);
  if (!texture->valid) {
    texture->Release();
    return D3DERR_INVALIDCALL;
  }
  *out = texture;
  return D3D_OK;
}

// A standalone D24S8 buffer; it holds a reference on the device.
HRESULT D3D9Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE, DWORD,
                                              BOOL, IDirect3DSurface9** out, void**)
{
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (format != D3DFMT_D24S8 || width == 0 || height == 0 || width > 16384 || height > 16384) return D3DERR_INVALIDCALL;
  D3D9Surface* const surface =
      new D3D9Surface(this, nullptr, 0, 0, width, height, format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT);
  AddRef();
  surface->ownsDevice = true;
  *out = surface;
  return D3D_OK;
}

// Render target 0, with a reference for the caller.
HRESULT D3D9Device::GetRenderTarget(DWORD index, IDirect3DSurface9** out)
{
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (index != 0 || !renderTarget) return D3DERR_NOTFOUND;
  renderTarget->AddRef();
  *out = renderTarget;
  return D3D_OK;
}

// Sets render target 0 (a render-target texture level) and resets the viewport to its size.
HRESULT D3D9Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
  if (index != 0 || !surface) return D3DERR_INVALIDCALL;
  D3D9Surface* const target = static_cast<D3D9Surface*>(surface);
  if (!target->container || !(target->usage & D3DUSAGE_RENDERTARGET)) return D3DERR_INVALIDCALL;
  renderTarget = target;
  viewport = {0, 0, target->width, target->height, 0.0f, 1.0f};
  scissor = {0, 0, (LONG)target->width, (LONG)target->height};
  return D3D_OK;
}

// The depth-stencil surface, with a reference for the caller.
HRESULT D3D9Device::GetDepthStencilSurface(IDirect3DSurface9** out)
{
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (!depthStencil) return D3DERR_NOTFOUND;
  depthStencil->AddRef();
  *out = depthStencil;
  return D3D_OK;
}

// Sets (or with null, removes) the depth-stencil surface.
HRESULT D3D9Device::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
  D3D9Surface* const depth = static_cast<D3D9Surface*>(surface);
  if (depth && depth->container && !(depth->usage & D3DUSAGE_DEPTHSTENCIL)) return D3DERR_INVALIDCALL;
  depthStencil = depth;
  return D3D_OK;
}

// Sets the viewport; it must lie inside the current target.
HRESULT D3D9Device::SetViewport(const D3DVIEWPORT9* vp)
{
  if (!vp) return D3DERR_INVALIDCALL;
  UINT width = 0, height = 0;
  GetTargetSize(&width, &height);
  if (vp->Width == 0 || vp->Height == 0 || vp->X + vp->Width > width || vp->Y + vp->Height > height)
    return D3DERR_INVALIDCALL;
  viewport = *vp;
  return D3D_OK;
}

// The current viewport.
HRESULT D3D9Device::GetViewport(D3DVIEWPORT9* vp)
{
  if (!vp) return D3DERR_INVALIDCALL;
  *vp = viewport;
  return D3D_OK;
}

// Sets the scissor rectangle (in target pixels, rows from the top); it must not be
// inside out. SetRenderTarget resets it to the whole target, as in D3D.
HRESULT D3D9Device::SetScissorRect(const RECT* rect)
{
  if (!rect || rect->right < rect->left || rect->bottom < rect->top) return D3DERR_INVALIDCALL;
  scissor = *rect;
  return D3D_OK;
}

// The scissor rectangle.
HRESULT D3D9Device::GetScissorRect(RECT* rect)
{
  if (!rect) return D3DERR_INVALIDCALL;
  *rect = scissor;
  return D3D_OK;
}

// Vertices needed for a primitive count; 0 for an unknown type.
static UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives, GLenum* mode)
{
  switch (type) {
  case D3DPT_POINTLIST:
    *mode = GL_POINTS;
    return primitives;
  case D3DPT_LINELIST:
    *mode = GL_LINES;
    return primitives * 2;
  case D3DPT_LINESTRIP:
    *mode = GL_LINE_STRIP;
    return primitives + 1;
  case D3DPT_TRIANGLELIST:
    *mode = GL_TRIANGLES;
    return primitives * 3;
  case D3DPT_TRIANGLESTRIP:
    *mode = GL_TRIANGLE_STRIP;
    return primitives + 2;
  case D3DPT_TRIANGLEFAN:
    *mode = GL_TRIANGLE_FAN;
    return primitives + 2;
  default:
    return 0;
  }
}

// Loads the vertices into the stream buffer and points the attribute slots at them;
// elements the layout lacks read as constants (no normal, white, texture coordinate 0).
void D3D9Device::BindStream(const D3D9VertexLayout& layout, const void* vertices, UINT count, UINT stride)
{
  glBindVertexArray(vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
  glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)count * stride, vertices, GL_STREAM_DRAW);
  const GLsizei size = (GLsizei)stride;
  glEnableVertexAttribArray(D3D9_ATTRIBUTE_POSITION);
  glVertexAttribPointer(D3D9_ATTRIBUTE_POSITION, layout.pretransformed ? 4 : 3, GL_FLOAT, GL_FALSE, size,
                        (const void*)0);
  if (layout.hasNormal) {
    glEnableVertexAttribArray(D3D9_ATTRIBUTE_NORMAL);
    glVertexAttribPointer(D3D9_ATTRIBUTE_NORMAL, 3, GL_FLOAT, GL_FALSE, size, (const void*)layout.normalOffset);
  } else {
    glDisableVertexAttribArray(D3D9_ATTRIBUTE_NORMAL);
    glVertexAttrib3f(D3D9_ATTRIBUTE_NORMAL, 0.0f, 0.0f, 0.0f);
  }
  if (layout.hasColour) {
    // D3DCOLOR is B, G, R, A in memory: GL_BGRA reads it the right way round.
    glEnableVertexAttribArray(D3D9_ATTRIBUTE_COLOR);
    glVertexAttribPointer(D3D9_ATTRIBUTE_COLOR, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, size,
                          (const void*)layout.colourOffset);
  } else {
    glDisableVertexAttribArray(D3D9_ATTRIBUTE_COLOR);
    glVertexAttrib4f(D3D9_ATTRIBUTE_COLOR, 1.0f, 1.0f, 1.0f, 1.0f);
  }
  if (layout.texCoords > 0) {
    glEnableVertexAttribArray(D3D9_ATTRIBUTE_TEXCOORD);
    glVertexAttribPointer(D3D9_ATTRIBUTE_TEXCOORD, 2, GL_FLOAT, GL_FALSE, size, (const void*)layout.uvOffset);
  } else {
    glDisableVertexAttribArray(D3D9_ATTRIBUTE_TEXCOORD);
    glVertexAttrib2f(D3D9_ATTRIBUTE_TEXCOORD, 0.0f, 0.0f);
  }
}

// Draws user-memory vertices laid out by the current FVF with the fixed-function program,
// or with the program of the effect pass that is running.
HRESULT D3D9Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride)
{
  GLenum mode = GL_TRIANGLES;
  const UINT count = VertexCount(type, primitiveCount, &mode);
  if (!vertices || count == 0 || stride == 0) return D3DERR_INVALIDCALL;
  D3D9VertexLayout layout;
  if (!D3D9ReadVertexLayout(fvf, &layout) || layout.size > stride) return D3DERR_INVALIDCALL;

  if (!BindTargets()) return D3DERR_INVALIDCALL;
  ApplyRenderStates();
  glUseProgram(effectProgram ? effectProgram : fixedFunction.Program());
  BindStream(layout, vertices, count, stride);
  // An effect pass brings its own uniforms and textures.
  if (!effectProgram) fixedFunction.Upload(*this, layout);
  glDrawArrays(mode, 0, (GLsizei)count);
  glBindVertexArray(0);
  return D3D_OK;
}
