// The Direct3D 9 object and device on OpenGL 3.3 core (libepoxy) and an SDL GL context.
// States are stored as D3D keeps them and applied at draw time. Every target, the back
// buffer too, is a texture with row 0 at the top; Present flips once into the window,
// letterboxed. Fixed-function draws use one built-in GLSL program: transforms, texture
// times vertex colour (stage 0), directional lights, alpha test and linear fog.
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "d3d9_internal.h"
#include "win32_internal.h"

const char* const D3D9ClipToGLSource =
    "vec4 D3D9ClipToGL(vec4 p) { return vec4(p.x, -p.y, 2.0 * p.z - p.w, p.w); }\n";

// ---- the fixed-function program ----------------------------------------------------------

static const char* const kFixedVertex =
    "#version 330 core\n"
    "layout(location = 0) in vec4 a_position;\n"
    "layout(location = 1) in vec3 a_normal;\n"
    "layout(location = 2) in vec4 a_colour;\n"
    "layout(location = 3) in vec2 a_uv;\n"
    "uniform mat4 u_worldView;\n"
    "uniform mat4 u_projection;\n"
    "uniform bool u_pretransformed;\n"
    "uniform vec4 u_viewport;\n"
    "uniform bool u_lighting;\n"
    "uniform bool u_normalize;\n"
    "uniform int u_lightCount;\n"
    "uniform vec3 u_lightDirection[4];\n"  // eye space, pointing away from the light
    "uniform vec4 u_lightDiffuse[4];\n"
    "uniform vec4 u_lightAmbient[4];\n"
    "uniform vec4 u_ambient;\n"
    "uniform vec4 u_materialDiffuse;\n"
    "uniform vec4 u_materialAmbient;\n"
    "uniform vec4 u_materialEmissive;\n"
    "uniform bool u_diffuseFromVertex;\n"
    "out vec4 v_colour;\n"
    "out vec2 v_uv;\n"
    "out float v_eyeDepth;\n"
    "vec4 D3D9ClipToGL(vec4 p) { return vec4(p.x, -p.y, 2.0 * p.z - p.w, p.w); }\n"
    "void main() {\n"
    "  vec4 clip;\n"
    "  if (u_pretransformed) {\n"
    "    float w = a_position.w != 0.0 ? 1.0 / a_position.w : 1.0;\n"
    "    vec2 ndc = vec2((a_position.x - u_viewport.x) / u_viewport.z * 2.0 - 1.0,\n"
    "                    1.0 - (a_position.y - u_viewport.y) / u_viewport.w * 2.0);\n"
    "    clip = vec4(ndc, a_position.z, 1.0) * w;\n"
    "    v_eyeDepth = 0.0;\n"
    "  } else {\n"
    "    vec4 eye = u_worldView * vec4(a_position.xyz, 1.0);\n"
    "    clip = u_projection * eye;\n"
    "    v_eyeDepth = eye.z;\n"
    "  }\n"
    "  vec4 colour = a_colour;\n"
    "  if (u_lighting && !u_pretransformed) {\n"
    "    vec3 n = (u_worldView * vec4(a_normal, 0.0)).xyz;\n"
    "    if (u_normalize && dot(n, n) > 0.0) n = normalize(n);\n"
    "    vec4 diffuseMaterial = u_diffuseFromVertex ? a_colour : u_materialDiffuse;\n"
    "    vec3 lit = u_materialEmissive.rgb + u_ambient.rgb * u_materialAmbient.rgb;\n"
    "    for (int i = 0; i < u_lightCount; ++i) {\n"
    "      lit += u_lightAmbient[i].rgb * u_materialAmbient.rgb;\n"
    "      lit += u_lightDiffuse[i].rgb * diffuseMaterial.rgb * max(dot(n, -u_lightDirection[i]), 0.0);\n"
    "    }\n"
    "    colour = vec4(clamp(lit, 0.0, 1.0), diffuseMaterial.a);\n"
    "  }\n"
    "  v_colour = colour;\n"
    "  v_uv = a_uv;\n"
    "  gl_Position = D3D9ClipToGL(clip);\n"
    "}\n";

static const char* const kFixedFragment =
    "#version 330 core\n"
    "in vec4 v_colour;\n"
    "in vec2 v_uv;\n"
    "in float v_eyeDepth;\n"
    "uniform sampler2D u_texture;\n"
    "uniform bool u_textured;\n"
    "uniform int u_colourOp;\n"
    "uniform int u_colourArg1;\n"
    "uniform int u_colourArg2;\n"
    "uniform int u_alphaOp;\n"
    "uniform int u_alphaArg1;\n"
    "uniform int u_alphaArg2;\n"
    "uniform bool u_alphaTest;\n"
    "uniform int u_alphaFunc;\n"
    "uniform float u_alphaRef;\n"
    "uniform bool u_fog;\n"
    "uniform vec4 u_fogColour;\n"
    "uniform vec2 u_fogRange;\n"
    "out vec4 fragColour;\n"
    "vec4 Arg(int a, vec4 t) { return (a & 15) == 2 ? t : v_colour; }\n"
    "vec4 Op(int op, vec4 a1, vec4 a2) {\n"
    "  if (op == 2) return a1;\n"
    "  if (op == 3) return a2;\n"
    "  if (op == 5) return min(a1 * a2 * 2.0, 1.0);\n"
    "  if (op == 7) return min(a1 + a2, 1.0);\n"
    "  if (op == 1) return v_colour;\n"
    "  return a1 * a2;\n"
    "}\n"
    "bool Passes(int f, float a, float r) {\n"
    "  if (f == 1) return false;\n"
    "  if (f == 2) return a < r;\n"
    "  if (f == 3) return a == r;\n"
    "  if (f == 4) return a <= r;\n"
    "  if (f == 5) return a > r;\n"
    "  if (f == 6) return a != r;\n"
    "  if (f == 7) return a >= r;\n"
    "  return true;\n"
    "}\n"
    "void main() {\n"
    "  vec4 t = u_textured ? texture(u_texture, v_uv) : vec4(1.0);\n"
    "  vec3 rgb = Op(u_colourOp, Arg(u_colourArg1, t), Arg(u_colourArg2, t)).rgb;\n"
    "  float a = Op(u_alphaOp, Arg(u_alphaArg1, t), Arg(u_alphaArg2, t)).a;\n"
    "  if (u_alphaTest && !Passes(u_alphaFunc, floor(a * 255.0 + 0.5), u_alphaRef)) discard;\n"
    "  if (u_fog) {\n"
    "    float f = clamp((u_fogRange.y - v_eyeDepth) / max(u_fogRange.y - u_fogRange.x, 1e-6), 0.0, 1.0);\n"
    "    rgb = mix(u_fogColour.rgb, rgb, f);\n"
    "  }\n"
    "  fragColour = vec4(rgb, a);\n"
    "}\n";

// Compiles one shader stage; prints the log and returns 0 on failure.
static GLuint CompileStage(GLenum stage, const char* source)
{
  const GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
    std::fprintf(stderr, "d3d9: built-in shader failed to compile:\n%s\n", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// ---- helpers -------------------------------------------------------------------------------

// A float stored in a render state as its bit pattern.
static float StateFloat(DWORD value)
{
  float f;
  std::memcpy(&f, &value, sizeof(f));
  return f;
}

// D3D colour (ARGB) as four floats in RGBA order.
static void ColourToFloats(D3DCOLOR colour, float out[4])
{
  out[0] = ((colour >> 16) & 0xff) / 255.0f;
  out[1] = ((colour >> 8) & 0xff) / 255.0f;
  out[2] = (colour & 0xff) / 255.0f;
  out[3] = ((colour >> 24) & 0xff) / 255.0f;
}

// Row-vector product a x b of two D3D matrices.
static D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
  D3DMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
  return r;
}

// The identity matrix.
static D3DMATRIX Identity()
{
  D3DMATRIX m = {};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

// D3DBLEND to the GL blend factor.
static GLenum BlendFactor(DWORD blend)
{
  switch (blend) {
  case D3DBLEND_ZERO: return GL_ZERO;
  case D3DBLEND_ONE: return GL_ONE;
  case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
  case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
  case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
  case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
  case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
  case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
  case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
  case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
  case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
  default: return GL_ONE;
  }
}

// D3DBLENDOP to the GL blend equation.
static GLenum BlendEquation(DWORD op)
{
  switch (op) {
  case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
  case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
  case D3DBLENDOP_MIN: return GL_MIN;
  case D3DBLENDOP_MAX: return GL_MAX;
  default: return GL_FUNC_ADD;
  }
}

// D3DCMPFUNC to the GL comparison.
static GLenum CompareFunc(DWORD func)
{
  switch (func) {
  case D3DCMP_NEVER: return GL_NEVER;
  case D3DCMP_LESS: return GL_LESS;
  case D3DCMP_EQUAL: return GL_EQUAL;
  case D3DCMP_LESSEQUAL: return GL_LEQUAL;
  case D3DCMP_GREATER: return GL_GREATER;
  case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
  case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
  default: return GL_ALWAYS;
  }
}

// D3DSTENCILOP to the GL stencil operation.
static GLenum StencilOp(DWORD op)
{
  switch (op) {
  case D3DSTENCILOP_ZERO: return GL_ZERO;
  case D3DSTENCILOP_REPLACE: return GL_REPLACE;
  case D3DSTENCILOP_INCRSAT: return GL_INCR;
  case D3DSTENCILOP_DECRSAT: return GL_DECR;
  case D3DSTENCILOP_INVERT: return GL_INVERT;
  case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
  case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
  default: return GL_KEEP;
  }
}

// D3DTEXTUREADDRESS to the GL wrap mode.
static GLenum AddressMode(DWORD mode)
{
  switch (mode) {
  case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
  case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
  case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
  default: return GL_REPEAT;
  }
}

// ---- the device ------------------------------------------------------------------------------

// Takes over the GL context; the states get D3D's documented defaults.
D3D9Device::D3D9Device(HWND window_, SDL_Window* sdlWindow_, void* glContext_, const D3DPRESENT_PARAMETERS& p)
    : window(window_), sdlWindow(sdlWindow_), glContext(glContext_), parameters(p)
{
  renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
  renderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
  renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  renderStates[D3DRS_ZWRITEENABLE] = TRUE;
  renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
  renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  renderStates[D3DRS_FOGEND] = 0x3f800000;  // 1.0f
  renderStates[D3DRS_FOGDENSITY] = 0x3f800000;
  renderStates[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
  renderStates[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
  renderStates[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
  renderStates[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  renderStates[D3DRS_STENCILMASK] = 0xffffffff;
  renderStates[D3DRS_STENCILWRITEMASK] = 0xffffffff;
  renderStates[D3DRS_LIGHTING] = TRUE;
  renderStates[D3DRS_COLORVERTEX] = TRUE;
  renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = 1;  // D3DMCS_COLOR1
  renderStates[D3DRS_COLORWRITEENABLE] = 0xf;
  renderStates[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  renderStates[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  renderStates[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
  renderStates[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
  for (int stage = 0; stage < 8; ++stage) {
    stageStates[stage][D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    stageStates[stage][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    stageStates[stage][D3DTSS_COLORARG2] = D3DTA_CURRENT;
    stageStates[stage][D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    stageStates[stage][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    stageStates[stage][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    stageStates[stage][D3DTSS_TEXCOORDINDEX] = stage;
  }
  for (int s = 0; s < 16; ++s) {
    samplerStates[s][D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    samplerStates[s][D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    samplerStates[s][D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    samplerStates[s][D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    samplerStates[s][D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    samplerStates[s][D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
  }
  world = view = projection = Identity();
  material.Diffuse = {1, 1, 1, 1};
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
  if (fixedProgram) glDeleteProgram(fixedProgram);
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
  if (!BuildFixedProgram()) return false;
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
  renderTarget = implicitBackBuffer;
  depthStencil = implicitDepth;
  viewport = {0, 0, parameters.BackBufferWidth, parameters.BackBufferHeight, 0.0f, 1.0f};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  return glGetError() == GL_NO_ERROR;
}

// Links the fixed-function program and points its sampler at unit 0.
bool D3D9Device::BuildFixedProgram()
{
  const GLuint vs = CompileStage(GL_VERTEX_SHADER, kFixedVertex);
  const GLuint fs = CompileStage(GL_FRAGMENT_SHADER, kFixedFragment);
  if (!vs || !fs) return false;
  fixedProgram = glCreateProgram();
  glAttachShader(fixedProgram, vs);
  glAttachShader(fixedProgram, fs);
  glLinkProgram(fixedProgram);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(fixedProgram, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(fixedProgram, sizeof(log) - 1, nullptr, log);
    std::fprintf(stderr, "d3d9: built-in program failed to link:\n%s\n", log);
    return false;
  }
  glUseProgram(fixedProgram);
  glUniform1i(glGetUniformLocation(fixedProgram, "u_texture"), 0);
  // Looked up once: a draw sets some thirty of them.
  uniforms.alphaArg1 = glGetUniformLocation(fixedProgram, "u_alphaArg1");
  uniforms.alphaArg2 = glGetUniformLocation(fixedProgram, "u_alphaArg2");
  uniforms.alphaFunc = glGetUniformLocation(fixedProgram, "u_alphaFunc");
  uniforms.alphaOp = glGetUniformLocation(fixedProgram, "u_alphaOp");
  uniforms.alphaRef = glGetUniformLocation(fixedProgram, "u_alphaRef");
  uniforms.alphaTest = glGetUniformLocation(fixedProgram, "u_alphaTest");
  uniforms.ambient = glGetUniformLocation(fixedProgram, "u_ambient");
  uniforms.colourArg1 = glGetUniformLocation(fixedProgram, "u_colourArg1");
  uniforms.colourArg2 = glGetUniformLocation(fixedProgram, "u_colourArg2");
  uniforms.colourOp = glGetUniformLocation(fixedProgram, "u_colourOp");
  uniforms.diffuseFromVertex = glGetUniformLocation(fixedProgram, "u_diffuseFromVertex");
  uniforms.fog = glGetUniformLocation(fixedProgram, "u_fog");
  uniforms.fogColour = glGetUniformLocation(fixedProgram, "u_fogColour");
  uniforms.fogRange = glGetUniformLocation(fixedProgram, "u_fogRange");
  uniforms.lightAmbient = glGetUniformLocation(fixedProgram, "u_lightAmbient");
  uniforms.lightCount = glGetUniformLocation(fixedProgram, "u_lightCount");
  uniforms.lightDiffuse = glGetUniformLocation(fixedProgram, "u_lightDiffuse");
  uniforms.lightDirection = glGetUniformLocation(fixedProgram, "u_lightDirection");
  uniforms.lighting = glGetUniformLocation(fixedProgram, "u_lighting");
  uniforms.materialAmbient = glGetUniformLocation(fixedProgram, "u_materialAmbient");
  uniforms.materialDiffuse = glGetUniformLocation(fixedProgram, "u_materialDiffuse");
  uniforms.materialEmissive = glGetUniformLocation(fixedProgram, "u_materialEmissive");
  uniforms.normalize = glGetUniformLocation(fixedProgram, "u_normalize");
  uniforms.pretransformed = glGetUniformLocation(fixedProgram, "u_pretransformed");
  uniforms.projection = glGetUniformLocation(fixedProgram, "u_projection");
  uniforms.textured = glGetUniformLocation(fixedProgram, "u_textured");
  uniforms.viewport = glGetUniformLocation(fixedProgram, "u_viewport");
  uniforms.worldView = glGetUniformLocation(fixedProgram, "u_worldView");
  return true;
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

// Binds the device's framebuffer with the current colour and depth surfaces; attaching
// (and Mesa's completeness check) happens only when the targets changed.
bool D3D9Device::BindTargets()
{
  if (!renderTarget || !renderTarget->container) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  if (renderTarget != attachedTarget || depthStencil != attachedDepth) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, renderTarget->ImageTarget(),
                           renderTarget->container->name, (GLint)renderTarget->level);
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
  glViewport((GLint)viewport.X, (GLint)viewport.Y, (GLsizei)viewport.Width, (GLsizei)viewport.Height);
  glDepthRange(viewport.MinZ, viewport.MaxZ);
  return attachedComplete;
}

// Translates the stored states into GL. Front faces are D3D's clockwise ones, which the
// y flip of D3D9ClipToGL turns into GL's counter-clockwise.
void D3D9Device::ApplyRenderStates()
{
  const DWORD* rs = renderStates;
  const bool hasDepth = depthStencil != nullptr;
  if (rs[D3DRS_ZENABLE] && hasDepth) glEnable(GL_DEPTH_TEST); else glDisable(GL_DEPTH_TEST);
  glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
  glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);

  if (rs[D3DRS_STENCILENABLE] && hasDepth) glEnable(GL_STENCIL_TEST); else glDisable(GL_STENCIL_TEST);
  glStencilFunc(CompareFunc(rs[D3DRS_STENCILFUNC]), (GLint)rs[D3DRS_STENCILREF], rs[D3DRS_STENCILMASK]);
  glStencilOp(StencilOp(rs[D3DRS_STENCILFAIL]), StencilOp(rs[D3DRS_STENCILZFAIL]),
              StencilOp(rs[D3DRS_STENCILPASS]));
  glStencilMask(rs[D3DRS_STENCILWRITEMASK]);

  if (rs[D3DRS_ALPHABLENDENABLE]) glEnable(GL_BLEND); else glDisable(GL_BLEND);
  if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
    glBlendEquationSeparate(BlendEquation(rs[D3DRS_BLENDOP]), BlendEquation(rs[D3DRS_BLENDOPALPHA]));
    glBlendFuncSeparate(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]),
                        BlendFactor(rs[D3DRS_SRCBLENDALPHA]), BlendFactor(rs[D3DRS_DESTBLENDALPHA]));
  } else {
    glBlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));
    glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
  }

  glFrontFace(GL_CCW);
  if (rs[D3DRS_CULLMODE] == D3DCULL_CCW) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
  } else if (rs[D3DRS_CULLMODE] == D3DCULL_CW) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
  } else {
    glDisable(GL_CULL_FACE);
  }

  const DWORD mask = rs[D3DRS_COLORWRITEENABLE];
  glColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
              (mask & D3DCOLORWRITEENABLE_BLUE) != 0, (mask & D3DCOLORWRITEENABLE_ALPHA) != 0);
  glPolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
  glDisable(GL_SCISSOR_TEST);
}

// Filter and address modes of a sampler, set on the texture bound to the active unit.
void D3D9Device::ApplySamplerStates(DWORD index, const D3D9TextureBase* texture)
{
  if (!texture || index >= 16) return;
  const DWORD* s = samplerStates[index];
  const bool linearMin = s[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
  const bool linearMag = s[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
  GLenum minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
  if (texture->levels > 1 && s[D3DSAMP_MIPFILTER] == D3DTEXF_POINT)
    minFilter = linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  else if (texture->levels > 1 && s[D3DSAMP_MIPFILTER] >= D3DTEXF_LINEAR)
    minFilter = linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  glTexParameteri(texture->target, GL_TEXTURE_MIN_FILTER, (GLint)minFilter);
  glTexParameteri(texture->target, GL_TEXTURE_MAG_FILTER, linearMag ? GL_LINEAR : GL_NEAREST);
  glTexParameteri(texture->target, GL_TEXTURE_WRAP_S, (GLint)AddressMode(s[D3DSAMP_ADDRESSU]));
  glTexParameteri(texture->target, GL_TEXTURE_WRAP_T, (GLint)AddressMode(s[D3DSAMP_ADDRESSV]));
  glTexParameteri(texture->target, GL_TEXTURE_WRAP_R, (GLint)AddressMode(s[D3DSAMP_ADDRESSW]));
  float border[4];
  ColourToFloats(s[D3DSAMP_BORDERCOLOR], border);
  glTexParameterfv(texture->target, GL_TEXTURE_BORDER_COLOR, border);
  // The bias is a float's bit pattern; a NaN (as 0xFFFFFFFF is) counts as no bias.
  const float bias = StateFloat(s[D3DSAMP_MIPMAPLODBIAS]);
  glTexParameterf(texture->target, GL_TEXTURE_LOD_BIAS, std::isfinite(bias) ? bias : 0.0f);
}

// Clears the viewport rectangle of the bound targets, whatever the write masks say.
HRESULT D3D9Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil)
{
  if (!BindTargets()) return D3DERR_INVALIDCALL;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil) return D3DERR_INVALIDCALL;
  float c[4];
  ColourToFloats(colour, c);
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
  if (count == 0 || !rects) {
    glScissor((GLint)viewport.X, (GLint)viewport.Y, (GLsizei)viewport.Width, (GLsizei)viewport.Height);
    glClear(mask);
  } else {
    for (DWORD i = 0; i < count; ++i) {
      const D3DRECT& r = rects[i];
      if (r.x2 <= r.x1 || r.y2 <= r.y1) continue;
      glScissor(r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1);
      glClear(mask);
    }
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

// Copies the back buffer into the window, scaled to fit with its aspect kept and flipped
// from our top-down rows to GL's bottom-up window, then swaps without waiting.
HRESULT D3D9Device::Present(const RECT*, const RECT*, HWND, const void*)
{
  if (!backBufferTexture) return D3DERR_INVALIDCALL;
  int drawWidth = 0, drawHeight = 0;
  SDL_GL_GetDrawableSize(sdlWindow, &drawWidth, &drawHeight);
  const int bbWidth = (int)parameters.BackBufferWidth;
  const int bbHeight = (int)parameters.BackBufferHeight;
  if (drawWidth <= 0 || drawHeight <= 0 || bbWidth <= 0 || bbHeight <= 0) return D3D_OK;

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
  SDL_GL_SwapWindow(sdlWindow);

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
  if (width == 0 || height == 0 || (format == D3DFMT_D24S8 && !depthTexture) || !D3D9GetFormatInfo(format, &info))
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
HRESULT D3D9Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE,
                                              DWORD, BOOL, IDirect3DSurface9** out, void**)
{
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (format != D3DFMT_D24S8 || width == 0 || height == 0 || width > 16384 || height > 16384)
    return D3DERR_INVALIDCALL;
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

// Render states are stored as given and applied at draw time.
HRESULT D3D9Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
  if ((DWORD)state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
  renderStates[state] = value;
  return D3D_OK;
}

// A stored render state.
HRESULT D3D9Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
  if ((DWORD)state >= D3DRS_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = renderStates[state];
  return D3D_OK;
}

// Stage states are stored; stage 0 drives the fixed-function combiner.
HRESULT D3D9Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
  if (stage >= 8 || (DWORD)type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
  stageStates[stage][type] = value;
  return D3D_OK;
}

// A stored texture-stage state.
HRESULT D3D9Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
  if (stage >= 8 || (DWORD)type >= D3DTSS_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = stageStates[stage][type];
  return D3D_OK;
}

// Sampler states are stored and set on the texture when it is drawn with.
HRESULT D3D9Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
  if (sampler >= 16 || (DWORD)type >= D3DSAMP_STATE_COUNT) return D3DERR_INVALIDCALL;
  samplerStates[sampler][type] = value;
  return D3D_OK;
}

// A stored sampler state.
HRESULT D3D9Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
  if (sampler >= 16 || (DWORD)type >= D3DSAMP_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = samplerStates[sampler][type];
  return D3D_OK;
}

// Stores WORLD, VIEW or PROJECTION.
HRESULT D3D9Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
  if (!matrix) return D3DERR_INVALIDCALL;
  switch (state) {
  case D3DTS_WORLD: world = *matrix; return D3D_OK;
  case D3DTS_VIEW: view = *matrix; return D3D_OK;
  case D3DTS_PROJECTION: projection = *matrix; return D3D_OK;
  default: return D3DERR_INVALIDCALL;
  }
}

// WORLD, VIEW or PROJECTION as last set.
HRESULT D3D9Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
  if (!matrix) return D3DERR_INVALIDCALL;
  switch (state) {
  case D3DTS_WORLD: *matrix = world; return D3D_OK;
  case D3DTS_VIEW: *matrix = view; return D3D_OK;
  case D3DTS_PROJECTION: *matrix = projection; return D3D_OK;
  default: return D3DERR_INVALIDCALL;
  }
}

// Stores a light; any index may be used, as in D3D.
HRESULT D3D9Device::SetLight(DWORD index, const D3DLIGHT9* light)
{
  if (!light) return D3DERR_INVALIDCALL;
  lights[index] = *light;
  return D3D_OK;
}

// A light never set is an error, as in D3D.
HRESULT D3D9Device::GetLight(DWORD index, D3DLIGHT9* light)
{
  const auto found = lights.find(index);
  if (!light || found == lights.end()) return D3DERR_INVALIDCALL;
  *light = found->second;
  return D3D_OK;
}

// Enabling a light never set gives it D3D's default (white, pointing down +z).
HRESULT D3D9Device::LightEnable(DWORD index, BOOL enable)
{
  if (lights.find(index) == lights.end()) {
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0, 0, 1};
    lights[index] = light;
  }
  lightEnabled[index] = enable != FALSE;
  return D3D_OK;
}

// Whether a light that was set is enabled.
HRESULT D3D9Device::GetLightEnable(DWORD index, BOOL* enable)
{
  const auto found = lightEnabled.find(index);
  if (!enable || lights.find(index) == lights.end()) return D3DERR_INVALIDCALL;
  *enable = (found != lightEnabled.end() && found->second) ? TRUE : FALSE;
  return D3D_OK;
}

// The material lit vertices use when they carry no colour.
HRESULT D3D9Device::SetMaterial(const D3DMATERIAL9* m)
{
  if (!m) return D3DERR_INVALIDCALL;
  material = *m;
  return D3D_OK;
}

// The current material.
HRESULT D3D9Device::GetMaterial(D3DMATERIAL9* m)
{
  if (!m) return D3DERR_INVALIDCALL;
  *m = material;
  return D3D_OK;
}

// The vertex layout DrawPrimitiveUP reads.
HRESULT D3D9Device::SetFVF(DWORD value)
{
  fvf = value;
  return D3D_OK;
}

// The current vertex layout.
HRESULT D3D9Device::GetFVF(DWORD* value)
{
  if (!value) return D3DERR_INVALIDCALL;
  *value = fvf;
  return D3D_OK;
}

// Binds a texture to a stage; not counted (see the class comment).
HRESULT D3D9Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
  if (stage >= 8) return D3DERR_INVALIDCALL;
  textures[stage] = texture;
  return D3D_OK;
}

// The texture bound to a stage, with a reference for the caller.
HRESULT D3D9Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
  if (stage >= 8 || !texture) return D3DERR_INVALIDCALL;
  *texture = textures[stage];
  if (*texture) (*texture)->AddRef();
  return D3D_OK;
}

// Vertices needed for a primitive count; 0 for an unknown type.
static UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives, GLenum* mode)
{
  switch (type) {
  case D3DPT_POINTLIST: *mode = GL_POINTS; return primitives;
  case D3DPT_LINELIST: *mode = GL_LINES; return primitives * 2;
  case D3DPT_LINESTRIP: *mode = GL_LINE_STRIP; return primitives + 1;
  case D3DPT_TRIANGLELIST: *mode = GL_TRIANGLES; return primitives * 3;
  case D3DPT_TRIANGLESTRIP: *mode = GL_TRIANGLE_STRIP; return primitives + 2;
  case D3DPT_TRIANGLEFAN: *mode = GL_TRIANGLE_FAN; return primitives + 2;
  default: return 0;
  }
}

// Draws user-memory vertices laid out by the current FVF with the fixed-function program.
HRESULT D3D9Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride)
{
  GLenum mode = GL_TRIANGLES;
  const UINT count = VertexCount(type, primitiveCount, &mode);
  if (!vertices || count == 0 || stride == 0) return D3DERR_INVALIDCALL;
  const DWORD position = fvf & D3DFVF_POSITION_MASK;
  if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return D3DERR_INVALIDCALL;

  // Where each element sits in the vertex, in FVF order.
  const bool pretransformed = position == D3DFVF_XYZRHW;
  size_t offset = pretransformed ? 16 : 12;
  const size_t normalOffset = offset;
  const bool hasNormal = !pretransformed && (fvf & D3DFVF_NORMAL);
  if (hasNormal) offset += 12;
  const size_t colourOffset = offset;
  const bool hasColour = (fvf & D3DFVF_DIFFUSE) != 0;
  if (hasColour) offset += 4;
  if (fvf & D3DFVF_SPECULAR) offset += 4;
  const size_t uvOffset = offset;
  const UINT texCoords = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  offset += texCoords * 8;
  if (offset > stride) return D3DERR_INVALIDCALL;

  if (!BindTargets()) return D3DERR_INVALIDCALL;
  ApplyRenderStates();
  glUseProgram(effectProgram ? effectProgram : fixedProgram);
  glBindVertexArray(vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
  glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)count * stride, vertices, GL_STREAM_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, pretransformed ? 4 : 3, GL_FLOAT, GL_FALSE, (GLsizei)stride, (const void*)0);
  if (hasNormal) {
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, (GLsizei)stride, (const void*)normalOffset);
  } else {
    glDisableVertexAttribArray(1);
    glVertexAttrib3f(1, 0.0f, 0.0f, 0.0f);
  }
  if (hasColour) {
    // D3DCOLOR is B, G, R, A in memory: GL_BGRA reads it the right way round.
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, (GLsizei)stride, (const void*)colourOffset);
  } else {
    glDisableVertexAttribArray(2);
    glVertexAttrib4f(2, 1.0f, 1.0f, 1.0f, 1.0f);
  }
  if (texCoords > 0) {
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, (GLsizei)stride, (const void*)uvOffset);
  } else {
    glDisableVertexAttribArray(3);
    glVertexAttrib2f(3, 0.0f, 0.0f);
  }

  // An effect pass brings its own uniforms and textures.
  if (effectProgram) {
    glDrawArrays(mode, 0, (GLsizei)count);
    glBindVertexArray(0);
    return D3D_OK;
  }

  const D3DMATRIX worldView = Multiply(world, view);
  // D3D's row-major matrices read as column-major are their transposes: M^T * v == v * M.
  glUniformMatrix4fv(uniforms.worldView, 1, GL_FALSE, &worldView._11);
  glUniformMatrix4fv(uniforms.projection, 1, GL_FALSE, &projection._11);
  glUniform1i(uniforms.pretransformed, pretransformed);
  glUniform4f(uniforms.viewport, (float)viewport.X, (float)viewport.Y, (float)viewport.Width,
              (float)viewport.Height);

  // Lighting: directional lights only, up to four, in eye space.
  const bool lighting = renderStates[D3DRS_LIGHTING] && !pretransformed;
  glUniform1i(uniforms.lighting, lighting);
  if (lighting) {
    float directions[12] = {}, diffuse[16] = {}, ambient[16] = {};
    int lightCount = 0;
    for (const auto& [index, enabled] : lightEnabled) {
      const D3DLIGHT9& light = lights[index];
      if (!enabled || light.Type != D3DLIGHT_DIRECTIONAL || lightCount == 4) continue;
      const D3DVECTOR& d = light.Direction;
      for (int k = 0; k < 3; ++k)
        directions[lightCount * 3 + k] = d.x * view.m[0][k] + d.y * view.m[1][k] + d.z * view.m[2][k];
      const float len = std::sqrt(directions[lightCount * 3] * directions[lightCount * 3] +
                                  directions[lightCount * 3 + 1] * directions[lightCount * 3 + 1] +
                                  directions[lightCount * 3 + 2] * directions[lightCount * 3 + 2]);
      for (int k = 0; k < 3 && len > 0.0f; ++k) directions[lightCount * 3 + k] /= len;
      std::memcpy(&diffuse[lightCount * 4], &light.Diffuse, sizeof(float) * 4);
      std::memcpy(&ambient[lightCount * 4], &light.Ambient, sizeof(float) * 4);
      ++lightCount;
    }
    float globalAmbient[4];
    ColourToFloats(renderStates[D3DRS_AMBIENT], globalAmbient);
    glUniform1i(uniforms.lightCount, lightCount);
    glUniform3fv(uniforms.lightDirection, 4, directions);
    glUniform4fv(uniforms.lightDiffuse, 4, diffuse);
    glUniform4fv(uniforms.lightAmbient, 4, ambient);
    glUniform4fv(uniforms.ambient, 1, globalAmbient);
    glUniform1i(uniforms.normalize, renderStates[D3DRS_NORMALIZENORMALS] != 0);
    glUniform4fv(uniforms.materialDiffuse, 1, &material.Diffuse.r);
    glUniform4fv(uniforms.materialAmbient, 1, &material.Ambient.r);
    glUniform4fv(uniforms.materialEmissive, 1, &material.Emissive.r);
    glUniform1i(uniforms.diffuseFromVertex,
                hasColour && renderStates[D3DRS_COLORVERTEX] && renderStates[D3DRS_DIFFUSEMATERIALSOURCE] == 1);
  }

  // Stage 0: texture and combiners.
  D3D9TextureBase* const texture = D3D9GetTextureBase(textures[0]);
  const bool textured = texture && texture->target == GL_TEXTURE_2D && texCoords > 0;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textured ? texture->name : 0);
  if (textured) ApplySamplerStates(0, texture);
  glUniform1i(uniforms.textured, textured);
  const DWORD* stage = stageStates[0];
  glUniform1i(uniforms.colourOp, (GLint)stage[D3DTSS_COLOROP]);
  glUniform1i(uniforms.colourArg1, (GLint)stage[D3DTSS_COLORARG1]);
  glUniform1i(uniforms.colourArg2, (GLint)stage[D3DTSS_COLORARG2]);
  glUniform1i(uniforms.alphaOp, (GLint)stage[D3DTSS_ALPHAOP]);
  glUniform1i(uniforms.alphaArg1, (GLint)stage[D3DTSS_ALPHAARG1]);
  glUniform1i(uniforms.alphaArg2, (GLint)stage[D3DTSS_ALPHAARG2]);

  glUniform1i(uniforms.alphaTest, renderStates[D3DRS_ALPHATESTENABLE] != 0);
  glUniform1i(uniforms.alphaFunc, (GLint)renderStates[D3DRS_ALPHAFUNC]);
  glUniform1f(uniforms.alphaRef, (float)(renderStates[D3DRS_ALPHAREF] & 0xff));

  // Linear fog on eye depth; pre-transformed vertices are never fogged here.
  const bool fog = renderStates[D3DRS_FOGENABLE] && !pretransformed &&
                   (renderStates[D3DRS_FOGTABLEMODE] == D3DFOG_LINEAR ||
                    renderStates[D3DRS_FOGVERTEXMODE] == D3DFOG_LINEAR);
  glUniform1i(uniforms.fog, fog);
  if (fog) {
    float fogColour[4];
    ColourToFloats(renderStates[D3DRS_FOGCOLOR], fogColour);
    glUniform4fv(uniforms.fogColour, 1, fogColour);
    glUniform2f(uniforms.fogRange, StateFloat(renderStates[D3DRS_FOGSTART]),
                StateFloat(renderStates[D3DRS_FOGEND]));
  }

  glDrawArrays(mode, 0, (GLsizei)count);
  glBindVertexArray(0);
  return D3D_OK;
}

// ---- the Direct3D object ------------------------------------------------------------------

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
