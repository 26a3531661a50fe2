// The device's stored states: D3D's defaults, the Set/Get calls that store them, and
// their translation into GL at draw time (render states, sampler states). Transforms,
// lights, the material and stage 0 are read by the fixed-function program.
#include <cmath>
#include <cstring>

#include "d3d9_internal.h"

// A float stored in a render state as its bit pattern.
float D3D9StateFloat(DWORD value)
{
  float f;
  std::memcpy(&f, &value, sizeof(f));
  return f;
}

// D3D colour (ARGB) as four floats in RGBA order.
void D3D9ColourToFloats(D3DCOLOR colour, float out[4])
{
  out[0] = ((colour >> 16) & 0xff) / 255.0f;
  out[1] = ((colour >> 8) & 0xff) / 255.0f;
  out[2] = (colour & 0xff) / 255.0f;
  out[3] = ((colour >> 24) & 0xff) / 255.0f;
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
  case D3DBLEND_ZERO:
    return GL_ZERO;
  case D3DBLEND_ONE:
    return GL_ONE;
  case D3DBLEND_SRCCOLOR:
    return GL_SRC_COLOR;
  case D3DBLEND_INVSRCCOLOR:
    return GL_ONE_MINUS_SRC_COLOR;
  case D3DBLEND_SRCALPHA:
    return GL_SRC_ALPHA;
  case D3DBLEND_INVSRCALPHA:
    return GL_ONE_MINUS_SRC_ALPHA;
  case D3DBLEND_DESTALPHA:
    return GL_DST_ALPHA;
  case D3DBLEND_INVDESTALPHA:
    return GL_ONE_MINUS_DST_ALPHA;
  case D3DBLEND_DESTCOLOR:
    return GL_DST_COLOR;
  case D3DBLEND_INVDESTCOLOR:
    return GL_ONE_MINUS_DST_COLOR;
  case D3DBLEND_SRCALPHASAT:
    return GL_SRC_ALPHA_SATURATE;
  default:
    return GL_ONE;
  }
}

// D3DBLENDOP to the GL blend equation.
static GLenum BlendEquation(DWORD op)
{
  switch (op) {
  case D3DBLENDOP_SUBTRACT:
    return GL_FUNC_SUBTRACT;
  case D3DBLENDOP_REVSUBTRACT:
    return GL_FUNC_REVERSE_SUBTRACT;
  case D3DBLENDOP_MIN:
    return GL_MIN;
  case D3DBLENDOP_MAX:
    return GL_MAX;
  default:
    return GL_FUNC_ADD;
  }
}

// D3DCMPFUNC to the GL comparison.
static GLenum CompareFunc(DWORD func)
{
  switch (func) {
  case D3DCMP_NEVER:
    return GL_NEVER;
  case D3DCMP_LESS:
    return GL_LESS;
  case D3DCMP_EQUAL:
    return GL_EQUAL;
  case D3DCMP_LESSEQUAL:
    return GL_LEQUAL;
  case D3DCMP_GREATER:
    return GL_GREATER;
  case D3DCMP_NOTEQUAL:
    return GL_NOTEQUAL;
  case D3DCMP_GREATEREQUAL:
    return GL_GEQUAL;
  default:
    return GL_ALWAYS;
  }
}

// D3DSTENCILOP to the GL stencil operation.
static GLenum StencilOp(DWORD op)
{
  switch (op) {
  case D3DSTENCILOP_ZERO:
    return GL_ZERO;
  case D3DSTENCILOP_REPLACE:
    return GL_REPLACE;
  case D3DSTENCILOP_INCRSAT:
    return GL_INCR;
  case D3DSTENCILOP_DECRSAT:
    return GL_DECR;
  case D3DSTENCILOP_INVERT:
    return GL_INVERT;
  case D3DSTENCILOP_INCR:
    return GL_INCR_WRAP;
  case D3DSTENCILOP_DECR:
    return GL_DECR_WRAP;
  default:
    return GL_KEEP;
  }
}

// D3DTEXTUREADDRESS to the GL wrap mode.
static GLenum AddressMode(DWORD mode)
{
  switch (mode) {
  case D3DTADDRESS_MIRROR:
    return GL_MIRRORED_REPEAT;
  case D3DTADDRESS_CLAMP:
    return GL_CLAMP_TO_EDGE;
  case D3DTADDRESS_BORDER:
    return GL_CLAMP_TO_BORDER;
  default:
    return GL_REPEAT;
  }
}

// D3D's documented defaults for every state the device stores.
void D3D9Device::SetDefaultStates()
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

// Translates the stored states into GL. Front faces are D3D's clockwise ones, which the
// y flip of D3D9ClipToGL turns into GL's counter-clockwise.
void D3D9Device::ApplyRenderStates()
{
  const DWORD* rs = renderStates;
  const bool hasDepth = depthStencil != nullptr;
  if (rs[D3DRS_ZENABLE] && hasDepth)
    glEnable(GL_DEPTH_TEST);
  else
    glDisable(GL_DEPTH_TEST);
  glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
  glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);

  // A stencil test that always passes and keeps every value changes nothing; left on, it
  // makes software renderers test depth after shading instead of before.
  const bool stencilInert = rs[D3DRS_STENCILFUNC] == D3DCMP_ALWAYS && rs[D3DRS_STENCILFAIL] == D3DSTENCILOP_KEEP &&
                            rs[D3DRS_STENCILZFAIL] == D3DSTENCILOP_KEEP && rs[D3DRS_STENCILPASS] == D3DSTENCILOP_KEEP;
  if (rs[D3DRS_STENCILENABLE] && hasDepth && !stencilInert)
    glEnable(GL_STENCIL_TEST);
  else
    glDisable(GL_STENCIL_TEST);
  glStencilFunc(CompareFunc(rs[D3DRS_STENCILFUNC]), (GLint)rs[D3DRS_STENCILREF], rs[D3DRS_STENCILMASK]);
  glStencilOp(StencilOp(rs[D3DRS_STENCILFAIL]), StencilOp(rs[D3DRS_STENCILZFAIL]), StencilOp(rs[D3DRS_STENCILPASS]));
  glStencilMask(rs[D3DRS_STENCILWRITEMASK]);

  if (rs[D3DRS_ALPHABLENDENABLE])
    glEnable(GL_BLEND);
  else
    glDisable(GL_BLEND);
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
  // A texture target's rows run from the top in GL too; the window's are mirrored.
  if (rs[D3DRS_SCISSORTESTENABLE]) {
    glEnable(GL_SCISSOR_TEST);
    glScissor((GLint)scissor.left, TargetRow(scissor.top, scissor.bottom - scissor.top),
              (GLsizei)(scissor.right - scissor.left), (GLsizei)(scissor.bottom - scissor.top));
  } else {
    glDisable(GL_SCISSOR_TEST);
  }
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
  D3D9ColourToFloats(s[D3DSAMP_BORDERCOLOR], border);
  glTexParameterfv(texture->target, GL_TEXTURE_BORDER_COLOR, border);
  // The bias is a float's bit pattern; a NaN (as 0xFFFFFFFF is) counts as no bias.
  const float bias = D3D9StateFloat(s[D3DSAMP_MIPMAPLODBIAS]);
  glTexParameterf(texture->target, GL_TEXTURE_LOD_BIAS, std::isfinite(bias) ? bias : 0.0f);
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
  case D3DTS_WORLD:
    world = *matrix;
    return D3D_OK;
  case D3DTS_VIEW:
    view = *matrix;
    return D3D_OK;
  case D3DTS_PROJECTION:
    projection = *matrix;
    return D3D_OK;
  default:
    return D3DERR_INVALIDCALL;
  }
}

// WORLD, VIEW or PROJECTION as last set.
HRESULT D3D9Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
  if (!matrix) return D3DERR_INVALIDCALL;
  switch (state) {
  case D3DTS_WORLD:
    *matrix = world;
    return D3D_OK;
  case D3DTS_VIEW:
    *matrix = view;
    return D3D_OK;
  case D3DTS_PROJECTION:
    *matrix = projection;
    return D3D_OK;
  default:
    return D3DERR_INVALIDCALL;
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
