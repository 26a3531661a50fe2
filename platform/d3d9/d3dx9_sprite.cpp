// ID3DXSprite: textured screen rectangles queued between Begin and End and drawn in call
// order into the current render target. Positions are target pixels after the sprite
// transform; with a pure translation each texel lands on one pixel (GL samples at pixel
// centres, so no half-pixel shift is needed). The device's stored states are untouched:
// the next device draw applies its own.
#include <cstdio>
#include <string>
#include <vector>

#include "d3d9_internal.h"
#include "d3d9_program.h"
#include "d3dx9.h"

namespace {

struct SpriteVertex {
  float x, y, z;
  D3DCOLOR colour;
  float u, v;
};

// One queued Draw: six vertices (two triangles) and its texture, referenced until flushed.
struct SpriteQuad {
  IDirect3DTexture9* texture;
  SpriteVertex vertices[6];
};

// After the version line and the clip-space conversion (D3D9VertexSource).
const char* const kSpriteVertexBody =
    "layout(location = 0) in vec3 a_position;\n"
    "layout(location = 2) in vec4 a_colour;\n"
    "layout(location = 3) in vec2 a_uv;\n"
    "uniform vec4 u_viewport;\n"
    "out vec4 v_colour;\n"
    "out vec2 v_uv;\n"
    "void main() {\n"
    "  vec2 ndc = vec2((a_position.x - u_viewport.x) / u_viewport.z * 2.0 - 1.0,\n"
    "                  1.0 - (a_position.y - u_viewport.y) / u_viewport.w * 2.0);\n"
    "  v_colour = a_colour;\n"
    "  v_uv = a_uv;\n"
    "  gl_Position = D3D9ClipToGL(vec4(ndc, a_position.z, 1.0));\n"
    "}\n";

const char* const kSpriteFragment =
    "#version 330 core\n"
    "in vec4 v_colour;\n"
    "in vec2 v_uv;\n"
    "uniform sampler2D u_texture;\n"
    "out vec4 fragColour;\n"
    "void main() { fragColour = texture(u_texture, v_uv) * v_colour; }\n";

// Compiles and links the sprite program; 0 on failure (the log goes to stderr).
GLuint BuildSpriteProgram()
{
  std::string log;
  const GLuint program = D3D9BuildProgram("sprite", D3D9VertexSource(kSpriteVertexBody), kSpriteFragment, &log);
  if (!program) std::fprintf(stderr, "d3dx9: sprite program failed:\n%s", log.c_str());
  return program;
}

class D3DXSpriteGL : public ID3DXSprite {
public:
  explicit D3DXSpriteGL(D3D9Device* device_) : device(device_)
  {
    device->AddRef();
    D3DXMatrixIdentity(&transform);
    program = BuildSpriteProgram();
  }

  ~D3DXSpriteGL() override
  {
    DropQueue();
    if (program && device->HasContext()) glDeleteProgram(program);
    device->Release();
  }

  bool Valid() const { return program != 0; }

  // The device, with a reference for the caller.
  HRESULT GetDevice(IDirect3DDevice9** out) override
  {
    if (!out) return D3DERR_INVALIDCALL;
    device->AddRef();
    *out = device;
    return D3D_OK;
  }

  HRESULT GetTransform(D3DXMATRIX* out) override
  {
    if (!out) return D3DERR_INVALIDCALL;
    *out = transform;
    return D3D_OK;
  }

  // Applies to the sprites drawn after it, not to those already queued.
  HRESULT SetTransform(const D3DXMATRIX* matrix) override
  {
    if (!matrix) return D3DERR_INVALIDCALL;
    transform = *matrix;
    return D3D_OK;
  }

  // Opens a batch; a second Begin before End is an error.
  HRESULT Begin(DWORD newFlags) override
  {
    if (begun) return D3DERR_INVALIDCALL;
    begun = true;
    flags = newFlags;
    return D3D_OK;
  }

  // Queues one rectangle of a texture; centre and position default to the origin.
  HRESULT Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* centre,
               const D3DXVECTOR3* position, D3DCOLOR colour) override
  {
    if (!begun || !texture) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc)) || desc.Width == 0 || desc.Height == 0) return D3DERR_INVALIDCALL;
    RECT r = {0, 0, (LONG)desc.Width, (LONG)desc.Height};
    if (sourceRect) r = *sourceRect;
    if (r.right <= r.left || r.bottom <= r.top) return D3D_OK;  // nothing to show
    const float cx = centre ? centre->x : 0.0f, cy = centre ? centre->y : 0.0f, cz = centre ? centre->z : 0.0f;
    const float px = position ? position->x : 0.0f, py = position ? position->y : 0.0f;
    const float pz = position ? position->z : 0.0f;
    const float left = px - cx, top = py - cy, z = pz - cz;
    const float right = left + (float)(r.right - r.left), bottom = top + (float)(r.bottom - r.top);
    const float u0 = (float)r.left / desc.Width, u1 = (float)r.right / desc.Width;
    const float v0 = (float)r.top / desc.Height, v1 = (float)r.bottom / desc.Height;

    SpriteVertex corners[4] = {
        {left, top, z, colour, u0, v0},
        {right, top, z, colour, u1, v0},
        {left, bottom, z, colour, u0, v1},
        {right, bottom, z, colour, u1, v1},
    };
    for (SpriteVertex& c : corners) {
      const float x = c.x, y = c.y;
      c.x = x * transform._11 + y * transform._21 + c.z * transform._31 + transform._41;
      c.y = x * transform._12 + y * transform._22 + c.z * transform._32 + transform._42;
      c.z = x * transform._13 + y * transform._23 + c.z * transform._33 + transform._43;
    }
    SpriteQuad quad;
    quad.texture = texture;
    texture->AddRef();
    quad.vertices[0] = corners[0];
    quad.vertices[1] = corners[1];
    quad.vertices[2] = corners[2];
    quad.vertices[3] = corners[2];
    quad.vertices[4] = corners[1];
    quad.vertices[5] = corners[3];
    queue.push_back(quad);
    return D3D_OK;
  }

  // Draws everything queued, in order, one GL draw per run of the same texture.
  HRESULT Flush() override
  {
    if (!begun) return D3DERR_INVALIDCALL;
    if (queue.empty()) return D3D_OK;
    if (!device->BindTargets()) {
      DropQueue();
      return D3DERR_INVALIDCALL;
    }
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (flags & D3DXSPRITE_ALPHABLEND) {
      glEnable(GL_BLEND);
      glBlendEquation(GL_FUNC_ADD);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
      glDisable(GL_BLEND);
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "u_texture"), 0);
    D3DVIEWPORT9 vp;
    device->GetViewport(&vp);
    glUniform4f(glGetUniformLocation(program, "u_viewport"), (float)vp.X, (float)vp.Y, (float)vp.Width,
                (float)vp.Height);

    std::vector<SpriteVertex> vertices;
    vertices.reserve(queue.size() * 6);
    for (const SpriteQuad& q : queue) vertices.insert(vertices.end(), q.vertices, q.vertices + 6);
    glBindVertexArray(device->StreamVertexArray());
    glBindBuffer(GL_ARRAY_BUFFER, device->StreamBuffer());
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(vertices.size() * sizeof(SpriteVertex)), vertices.data(),
                 GL_STREAM_DRAW);
    const GLsizei stride = sizeof(SpriteVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, (const void*)0);
    glDisableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, (const void*)12);
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, (const void*)16);
    glActiveTexture(GL_TEXTURE0);

    size_t first = 0;
    while (first < queue.size()) {
      size_t last = first + 1;
      while (last < queue.size() && queue[last].texture == queue[first].texture) ++last;
      const D3D9TextureBase* const texture = D3D9GetTextureBase(queue[first].texture);
      glBindTexture(GL_TEXTURE_2D, texture->name);
      // Sprites sample with linear filtering and clamped edges, whatever sampler 0 says.
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture->levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
      glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, 0.0f);
      glDrawArrays(GL_TRIANGLES, (GLint)(first * 6), (GLsizei)((last - first) * 6));
      first = last;
    }
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
    DropQueue();
    return D3D_OK;
  }

  // Draws the batch and closes it.
  HRESULT End() override
  {
    if (!begun) return D3DERR_INVALIDCALL;
    const HRESULT hr = Flush();
    begun = false;
    return hr;
  }

  HRESULT OnLostDevice() override { return D3D_OK; }
  HRESULT OnResetDevice() override { return D3D_OK; }

private:
  // Releases the queued sprites' textures without drawing them.
  void DropQueue()
  {
    for (SpriteQuad& q : queue) q.texture->Release();
    queue.clear();
  }

  D3D9Device* device;
  D3DXMATRIX transform;
  GLuint program = 0;
  bool begun = false;
  DWORD flags = 0;
  std::vector<SpriteQuad> queue;
};

}  // namespace

// A sprite batcher bound to the device.
HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite)
{
  if (!device || !sprite) return D3DERR_INVALIDCALL;
  *sprite = nullptr;
  D3DXSpriteGL* const created = new D3DXSpriteGL(static_cast<D3D9Device*>(device));
  if (!created->Valid()) {
    created->Release();
    return D3DERR_INVALIDCALL;
  }
  *sprite = created;
  return D3D_OK;
}
