// Internal to the platform layer: the OpenGL objects behind the Direct3D 9 interfaces,
// and the hooks the effect framework and mesh drawing use to draw through the device.
// Never included by the game.
//
// Conventions every GL draw through this device keeps:
// - every target is a texture whose row 0 is the image's top, as in D3D; the back buffer
//   is one too unless frames are drawn straight into the window (then GL's clip origin is
//   put at the top, viewports and scissors are mirrored, and Present only swaps; only a
//   fragment derivative along y, dFdy, then runs the other way); else Present flips it
//   once on the way to the window;
// - a vertex program therefore ends with D3D9ClipToGL (y negated, z from D3D's 0..1 to
//   GL's -1..1), which also keeps D3D's winding: D3D9ApplyRenderStates sets the cull face.
#pragma once

#include <epoxy/gl.h>

#include <map>
#include <vector>

#include "d3d9.h"
#include "d3d9_fixed_function.h"

// Attribute slots every program drawn through the device reads its vertices from.
enum D3D9Attribute : GLuint {
  D3D9_ATTRIBUTE_POSITION = 0,
  D3D9_ATTRIBUTE_NORMAL = 1,
  D3D9_ATTRIBUTE_COLOR = 2,
  D3D9_ATTRIBUTE_TEXCOORD = 3,
};

struct SDL_Window;
class D3D9Device;
class D3D9TextureBase;

// How one Direct3D format is stored in OpenGL.
struct D3D9FormatInfo {
  GLenum internalFormat;
  GLenum format;
  GLenum type;
  int bytesPerPixel;
};
// False for formats the device cannot hold.
bool D3D9GetFormatInfo(D3DFORMAT format, D3D9FormatInfo* info);
// The NULL format as D3D9 drivers take it: a one-level render target that holds no colour.
bool D3D9IsColourlessTarget(D3DFORMAT format, DWORD usage, UINT levels);

// A float stored in a render state as its bit pattern.
float D3D9StateFloat(DWORD value);
// D3D colour (ARGB) as four floats in RGBA order.
void D3D9ColourToFloats(D3DCOLOR colour, float out[4]);

// A surface: one level (and face) of a texture, or a standalone depth-stencil buffer.
class D3D9Surface : public IDirect3DSurface9 {
public:
  D3D9Surface(D3D9Device* device, D3D9TextureBase* container, UINT level, UINT face, UINT width, UINT height,
              D3DFORMAT format, DWORD usage, D3DPOOL pool);
  ~D3D9Surface() override;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  // The GL binding point of this surface's image (GL_TEXTURE_2D or a cube face).
  GLenum ImageTarget() const;

  D3D9Device* device;
  D3D9TextureBase* container;  // null for depth-stencil buffers
  UINT level;
  UINT face;
  UINT width;
  UINT height;
  D3DFORMAT format;
  DWORD usage;
  D3DPOOL pool;
  GLuint renderbuffer = 0;  // depth-stencil buffers only
  bool ownsDevice = false;  // depth buffers made by CreateDepthStencilSurface hold the device
  std::vector<unsigned char> lockBuffer;
  bool locked = false;
  DWORD lockFlags = 0;
};

// The part shared by 2D and cube textures: the GL texture and its level surfaces.
class D3D9TextureBase {
public:
  D3D9TextureBase(D3D9Device* device, GLenum target, UINT width, UINT height, UINT levels, DWORD usage,
                  D3DFORMAT format, D3DPOOL pool, bool holdDevice);
  virtual ~D3D9TextureBase();
  // The COM object this base belongs to, for reference counting by its surfaces.
  virtual IUnknown* Owner() = 0;

  D3D9Device* device;
  GLenum target;  // GL_TEXTURE_2D or GL_TEXTURE_CUBE_MAP
  GLuint name = 0;
  UINT width;
  UINT height;
  UINT levels;
  DWORD usage;
  D3DFORMAT format;
  D3DPOOL pool;
  std::vector<D3D9Surface*> surfaces;  // [face * levels + level]
  bool valid = false;
  bool holdsDevice;  // false only for the device's own back buffer
};

class D3D9Texture : public IDirect3DTexture9, public D3D9TextureBase {
public:
  D3D9Texture(D3D9Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
              bool holdDevice = true);
  ~D3D9Texture() override;
  IUnknown* Owner() override { return this; }

  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return levels; }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
};

class D3D9CubeTexture : public IDirect3DCubeTexture9, public D3D9TextureBase {
public:
  D3D9CubeTexture(D3D9Device* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
  ~D3D9CubeTexture() override;
  IUnknown* Owner() override { return this; }

  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
  DWORD GetLevelCount() override { return levels; }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
};

// The texture base behind a texture interface; null for null.
D3D9TextureBase* D3D9GetTextureBase(IDirect3DBaseTexture9* texture);

// The device. Bound textures and targets are not reference counted here (resources hold
// the device, so counting both ways would keep both alive); a resource that dies unbinds
// itself through Forget.
class D3D9Device : public IDirect3DDevice9 {
public:
  D3D9Device(HWND window, SDL_Window* sdlWindow, void* glContext, const D3DPRESENT_PARAMETERS& parameters);
  ~D3D9Device() override;
  // Creates the GL objects and the implicit back buffer and depth buffer; false on failure.
  bool Initialise();

  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND overrideWindow, const void* dirtyRegion) override;
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, void** sharedHandle) override;
  HRESULT CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DCubeTexture9** texture, void** sharedHandle) override;
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    DWORD multisampleQuality, BOOL discard, IDirect3DSurface9** surface,
                                    void** sharedHandle) override;
  HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) override;
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT SetScissorRect(const RECT* rect) override;
  HRESULT GetScissorRect(RECT* rect) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
  HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT SetMaterial(const D3DMATERIAL9* material) override;
  HRESULT GetMaterial(D3DMATERIAL9* material) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT GetFVF(DWORD* fvf) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;

  // ---- hooks for the effect framework, mesh drawing and the sprite batcher ----
  // Binds the current render target and depth buffer and the viewport; false if none.
  bool BindTargets();
  // Applies the stored depth, stencil, blend, cull and colour-write states to GL.
  void ApplyRenderStates();
  // Applies sampler `index`'s stored filter and address states to the bound GL texture.
  void ApplySamplerStates(DWORD index, const D3D9TextureBase* texture);
  // The current render target's size in pixels.
  void GetTargetSize(UINT* width, UINT* height) const;
  // GL's row for a rectangle given from the target's top: the same row in a texture, the
  // mirrored one in the window (whose row 0 is its bottom).
  GLint TargetRow(LONG top, LONG height) const;
  // Reads the back buffer out of the window (top row first) while frames are drawn there;
  // false when they are drawn into its texture.
  bool ReadBackBufferFromWindow(void* pixels, const D3D9FormatInfo& info) const;
  // True while the device's GL context is current (GL calls are allowed).
  bool HasContext() const;
  // Drops every binding of a resource that is going away.
  void Forget(const void* resource);
  // A reusable vertex array and stream buffer for immediate draws.
  GLuint StreamVertexArray() const { return vertexArray; }
  GLuint StreamBuffer() const { return streamBuffer; }

  // While an effect pass is active, its program replaces the fixed-function one in
  // DrawPrimitiveUP. Vertices arrive at attribute 0 position (vec3; vec4 x, y, z, rhw for
  // XYZRHW), 1 normal, 2 colour (D3DCOLOR as normalised RGBA), 3 texture coordinate 0;
  // uniforms and textures are the effect's own. 0 = fixed function.
  GLuint effectProgram = 0;

  HWND window;
  SDL_Window* sdlWindow;
  void* glContext;
  D3DPRESENT_PARAMETERS parameters;
  D3D9Surface* implicitBackBuffer = nullptr;
  D3D9Surface* implicitDepth = nullptr;
  D3D9Texture* backBufferTexture = nullptr;

  DWORD renderStates[D3DRS_STATE_COUNT] = {};
  RECT scissor = {0, 0, 0, 0};  // with D3DRS_SCISSORTESTENABLE, where drawing and clears may reach
  DWORD stageStates[8][D3DTSS_STATE_COUNT] = {};
  DWORD samplerStates[16][D3DSAMP_STATE_COUNT] = {};
  D3DMATRIX world = {};
  D3DMATRIX view = {};
  D3DMATRIX projection = {};
  std::map<DWORD, D3DLIGHT9> lights;
  std::map<DWORD, bool> lightEnabled;
  D3DMATERIAL9 material = {};
  DWORD fvf = 0;
  IDirect3DBaseTexture9* textures[8] = {};
  D3D9Surface* renderTarget = nullptr;
  D3D9Surface* depthStencil = nullptr;
  D3DVIEWPORT9 viewport = {};

private:
  // Gives every stored state D3D's documented default.
  void SetDefaultStates();
  // Loads vertices into the stream buffer and points the attribute slots at them.
  void BindStream(const D3D9VertexLayout& layout, const void* vertices, UINT count, UINT stride);
  // Whether frames can be drawn straight into the window: it is exactly the back buffer's
  // size (nothing to scale or letterbox) and GL can put its origin at the top.
  bool WindowCanHoldBackBuffer() const;
  // Moves the back buffer into the window or into a texture of its own, copying what it
  // holds across; the texture has storage only while it is used.
  void MoveBackBuffer(bool intoWindow);
  // Points GL's clip origin at the window's top while it is the target, else at the bottom.
  void SetWindowOrigin(bool windowBound);

  GLuint framebuffer = 0;
  GLuint vertexArray = 0;
  GLuint streamBuffer = 0;
  D3D9FixedFunction fixedFunction;
  const D3D9Surface* attachedTarget = nullptr;  // what the framebuffer holds now
  const D3D9Surface* attachedDepth = nullptr;
  bool attachedComplete = false;
  bool inScene = false;
  // Frames are drawn straight into the window, which saves Present a full-screen copy; the
  // back buffer's texture is then left without storage.
  bool backBufferInWindow = false;
  bool windowBound = false;            // the window is the bound target (clip origin at the top)
  bool windowHasDepthStencil = false;  // at least 24 bits of depth and 8 of stencil
};
