// Direct3D 9 textures, cube textures and surfaces on OpenGL textures and renderbuffers.
// Locks go through a CPU copy of the whole level: read back on lock, written on unlock.
// Depends on d3d9_internal.h; the device in d3d9_device.cpp creates these objects.
#include <cstring>

#include "d3d9_internal.h"

// ---- formats ------------------------------------------------------------------------

// Maps a Direct3D format to its GL storage; X8R8G8B8 drops alpha so it reads back opaque.
bool D3D9GetFormatInfo(D3DFORMAT format, D3D9FormatInfo* info)
{
  switch (format) {
  case D3DFMT_A8R8G8B8:
    *info = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4};
    return true;
  case D3DFMT_X8R8G8B8:
    *info = {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, 4};
    return true;
  case D3DFMT_R32F:
    *info = {GL_R32F, GL_RED, GL_FLOAT, 4};
    return true;
  case D3DFMT_A16B16G16R16F:
    *info = {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8};
    return true;
  case D3DFMT_D24S8:
    *info = {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4};
    return true;
  default:
    return false;
  }
}

// Only a plain one-level render target may be colourless.
bool D3D9IsColourlessTarget(D3DFORMAT format, DWORD usage, UINT levels)
{
  return format == D3DFMT_NULL && usage == D3DUSAGE_RENDERTARGET && levels == 1;
}

// Size of a mip level's side: halved per level, never below 1.
static UINT LevelSize(UINT size, UINT level)
{
  const UINT s = size >> level;
  return s ? s : 1;
}

// ---- surfaces -------------------------------------------------------------------------

// Makes a surface; depth-stencil buffers also get their renderbuffer here.
D3D9Surface::D3D9Surface(D3D9Device* device_, D3D9TextureBase* container_, UINT level_, UINT face_, UINT width_,
                         UINT height_, D3DFORMAT format_, DWORD usage_, D3DPOOL pool_)
    : device(device_),
      container(container_),
      level(level_),
      face(face_),
      width(width_),
      height(height_),
      format(format_),
      usage(usage_),
      pool(pool_)
{
  if (!container) {
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, (GLsizei)width, (GLsizei)height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
  }
}

// Unbinds itself from the device and frees its renderbuffer.
D3D9Surface::~D3D9Surface()
{
  device->Forget(this);
  if (renderbuffer && device->HasContext()) glDeleteRenderbuffers(1, &renderbuffer);
  if (ownsDevice) device->Release();
}

// Level surfaces live and die with their texture, so counting goes to the texture.
ULONG D3D9Surface::AddRef()
{
  if (container) return container->Owner()->AddRef();
  return IDirect3DSurface9::AddRef();
}

// See AddRef.
ULONG D3D9Surface::Release()
{
  if (container) return container->Owner()->Release();
  return IDirect3DSurface9::Release();
}

// The device, with a reference for the caller.
HRESULT D3D9Surface::GetDevice(IDirect3DDevice9** out)
{
  if (!out) return D3DERR_INVALIDCALL;
  device->AddRef();
  *out = device;
  return D3D_OK;
}

// Describes the surface.
HRESULT D3D9Surface::GetDesc(D3DSURFACE_DESC* desc)
{
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {};
  desc->Format = format;
  desc->Type = D3DRTYPE_SURFACE;
  desc->Usage = usage;
  desc->Pool = pool;
  desc->MultiSampleType = D3DMULTISAMPLE_NONE;
  desc->Width = width;
  desc->Height = height;
  return D3D_OK;
}

// The GL image target for this surface's texture level.
GLenum D3D9Surface::ImageTarget() const
{
  if (container && container->target == GL_TEXTURE_CUBE_MAP) return GL_TEXTURE_CUBE_MAP_POSITIVE_X + face;
  return GL_TEXTURE_2D;
}

// Maps the level into memory: the current contents are read back unless discarded.
HRESULT D3D9Surface::LockRect(D3DLOCKED_RECT* out, const RECT* rect, DWORD flags)
{
  D3D9FormatInfo info;
  if (!out || locked || !container || !D3D9GetFormatInfo(format, &info)) return D3DERR_INVALIDCALL;
  if (rect && (rect->left < 0 || rect->top < 0 || rect->right > (LONG)width || rect->bottom > (LONG)height ||
               rect->left >= rect->right || rect->top >= rect->bottom))
    return D3DERR_INVALIDCALL;
  // The back buffer drawn straight into the window is read from there, and only read.
  const bool inWindow = this == device->implicitBackBuffer && !container->name;
  if (inWindow && !(flags & D3DLOCK_READONLY)) return D3DERR_INVALIDCALL;
  const size_t pitch = (size_t)width * info.bytesPerPixel;
  lockBuffer.assign(pitch * height, 0);
  if (inWindow) {
    device->ReadBackBufferFromWindow(lockBuffer.data(), info);
  } else if (!(flags & D3DLOCK_DISCARD)) {
    glBindTexture(container->target, container->name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(ImageTarget(), (GLint)level, info.format, info.type, lockBuffer.data());
  }
  size_t offset = 0;
  if (rect) offset = (size_t)rect->top * pitch + (size_t)rect->left * info.bytesPerPixel;
  out->Pitch = (int)pitch;
  out->pBits = lockBuffer.data() + offset;
  locked = true;
  lockFlags = flags;
  return D3D_OK;
}

// Writes the locked memory back to the level (unless locked read-only).
HRESULT D3D9Surface::UnlockRect()
{
  D3D9FormatInfo info;
  if (!locked || !D3D9GetFormatInfo(format, &info)) return D3DERR_INVALIDCALL;
  if (!(lockFlags & D3DLOCK_READONLY)) {
    glBindTexture(container->target, container->name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(ImageTarget(), (GLint)level, 0, 0, (GLsizei)width, (GLsizei)height, info.format, info.type,
                    lockBuffer.data());
  }
  locked = false;
  lockBuffer.clear();
  lockBuffer.shrink_to_fit();
  return D3D_OK;
}

// ---- textures ----------------------------------------------------------------------------

namespace {

// Whether the context can allocate a texture's whole chain in one call (GL 4.2).
bool HasTextureStorage()
{
  static const bool has = epoxy_gl_version() >= 42 || epoxy_has_gl_extension("GL_ARB_texture_storage");
  return has;
}

}  // namespace

// Allocates the GL texture with every level (and face) and one surface object for each.
D3D9TextureBase::D3D9TextureBase(D3D9Device* device_, GLenum target_, UINT width_, UINT height_, UINT levels_,
                                 DWORD usage_, D3DFORMAT format_, D3DPOOL pool_, bool holdDevice_)
    : device(device_),
      target(target_),
      width(width_),
      height(height_),
      levels(levels_),
      usage(usage_),
      format(format_),
      pool(pool_),
      holdsDevice(holdDevice_)
{
  if (holdsDevice) device->AddRef();
  // A colourless target has a size and one surface but no GL texture.
  if (D3D9IsColourlessTarget(format, usage, levels) && target == GL_TEXTURE_2D && width && height) {
    surfaces.push_back(new D3D9Surface(device, this, 0, 0, width, height, format, usage, pool));
    valid = true;
    return;
  }
  D3D9FormatInfo info;
  const bool depthTexture = format == D3DFMT_D24S8 && (usage & D3DUSAGE_DEPTHSTENCIL) && target == GL_TEXTURE_2D;
  if (!D3D9GetFormatInfo(format, &info) || (format == D3DFMT_D24S8 && !depthTexture) || width == 0 || height == 0)
    return;
  UINT fullChain = 1;
  while ((width >> fullChain) || (height >> fullChain)) ++fullChain;
  if (levels == 0 || levels > fullChain) levels = fullChain;
  glGenTextures(1, &name);
  glBindTexture(target, name);
  const UINT faces = target == GL_TEXTURE_CUBE_MAP ? 6 : 1;
  if (HasTextureStorage()) {
    // Every level at once: level-by-level images make Mesa build the whole chain
    // again, copying each level, the first time the texture is drawn with.
    glTexStorage2D(target, (GLsizei)levels, info.internalFormat, (GLsizei)width, (GLsizei)height);
  } else {
    for (UINT face = 0; face < faces; ++face) {
      const GLenum image = faces == 6 ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
      for (UINT level = 0; level < levels; ++level)
        glTexImage2D(image, (GLint)level, (GLint)info.internalFormat, (GLsizei)LevelSize(width, level),
                     (GLsizei)LevelSize(height, level), 0, info.format, info.type, nullptr);
    }
  }
  // A texture with fewer levels than the full chain is still complete for mip filtering.
  glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, (GLint)levels - 1);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  for (UINT face = 0; face < faces; ++face)
    for (UINT level = 0; level < levels; ++level)
      surfaces.push_back(new D3D9Surface(device, this, level, face, LevelSize(width, level), LevelSize(height, level),
                                         format, usage, pool));
  valid = true;
}

// Frees the level surfaces and the GL texture, then lets go of the device.
D3D9TextureBase::~D3D9TextureBase()
{
  for (D3D9Surface* surface : surfaces) {
    surface->container = nullptr;  // delete directly: its counting went through us
    delete surface;
  }
  if (name && device->HasContext()) glDeleteTextures(1, &name);
  // Last, so the GL context is still there for the deletes above.
  if (holdsDevice) device->Release();
}

// The texture base behind either texture interface.
D3D9TextureBase* D3D9GetTextureBase(IDirect3DBaseTexture9* texture)
{
  if (!texture) return nullptr;
  if (texture->GetType() == D3DRTYPE_CUBETEXTURE) return static_cast<D3D9CubeTexture*>(texture);
  return static_cast<D3D9Texture*>(texture);
}

// A 2D texture holding one reference on its device.
D3D9Texture::D3D9Texture(D3D9Device* device_, UINT width_, UINT height_, UINT levels_, DWORD usage_, D3DFORMAT format_,
                         D3DPOOL pool_, bool holdDevice_)
    : D3D9TextureBase(device_, GL_TEXTURE_2D, width_, height_, levels_, usage_, format_, pool_, holdDevice_)
{
}

// Unbinds itself before the GL texture goes (the base then frees it).
D3D9Texture::~D3D9Texture()
{
  device->Forget(static_cast<IDirect3DBaseTexture9*>(this));
  for (D3D9Surface* surface : surfaces) device->Forget(surface);
}

// The device, with a reference for the caller.
HRESULT D3D9Texture::GetDevice(IDirect3DDevice9** out)
{
  if (!out) return D3DERR_INVALIDCALL;
  device->AddRef();
  *out = device;
  return D3D_OK;
}

// Describes one level.
HRESULT D3D9Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
  if (level >= surfaces.size()) return D3DERR_INVALIDCALL;
  return surfaces[level]->GetDesc(desc);
}

// One level as a surface, with a reference (on the texture) for the caller.
HRESULT D3D9Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** out)
{
  if (!out || level >= surfaces.size()) return D3DERR_INVALIDCALL;
  surfaces[level]->AddRef();
  *out = surfaces[level];
  return D3D_OK;
}

// Locks one level.
HRESULT D3D9Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
  if (level >= surfaces.size()) return D3DERR_INVALIDCALL;
  return surfaces[level]->LockRect(locked, rect, flags);
}

// Unlocks one level.
HRESULT D3D9Texture::UnlockRect(UINT level)
{
  if (level >= surfaces.size()) return D3DERR_INVALIDCALL;
  return surfaces[level]->UnlockRect();
}

// A cube texture holding one reference on its device.
D3D9CubeTexture::D3D9CubeTexture(D3D9Device* device_, UINT edge, UINT levels_, DWORD usage_, D3DFORMAT format_,
                                 D3DPOOL pool_)
    : D3D9TextureBase(device_, GL_TEXTURE_CUBE_MAP, edge, edge, levels_, usage_, format_, pool_, true)
{
}

// See D3D9Texture's destructor.
D3D9CubeTexture::~D3D9CubeTexture()
{
  device->Forget(static_cast<IDirect3DBaseTexture9*>(this));
  for (D3D9Surface* surface : surfaces) device->Forget(surface);
}

// The device, with a reference for the caller.
HRESULT D3D9CubeTexture::GetDevice(IDirect3DDevice9** out)
{
  if (!out) return D3DERR_INVALIDCALL;
  device->AddRef();
  *out = device;
  return D3D_OK;
}

// Describes one level (all faces are alike).
HRESULT D3D9CubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
  if (level >= levels || surfaces.empty()) return D3DERR_INVALIDCALL;
  return surfaces[level]->GetDesc(desc);
}

// One face's level as a surface.
HRESULT D3D9CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** out)
{
  const size_t index = (size_t)face * levels + level;
  if (!out || face > D3DCUBEMAP_FACE_NEGATIVE_Z || level >= levels || index >= surfaces.size())
    return D3DERR_INVALIDCALL;
  surfaces[index]->AddRef();
  *out = surfaces[index];
  return D3D_OK;
}

// Locks one face's level.
HRESULT D3D9CubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                  DWORD flags)
{
  const size_t index = (size_t)face * levels + level;
  if (face > D3DCUBEMAP_FACE_NEGATIVE_Z || level >= levels || index >= surfaces.size()) return D3DERR_INVALIDCALL;
  return surfaces[index]->LockRect(locked, rect, flags);
}

// Unlocks one face's level.
HRESULT D3D9CubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level)
{
  const size_t index = (size_t)face * levels + level;
  if (face > D3DCUBEMAP_FACE_NEGATIVE_Z || level >= levels || index >= surfaces.size()) return D3DERR_INVALIDCALL;
  return surfaces[index]->UnlockRect();
}
