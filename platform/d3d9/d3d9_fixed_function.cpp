// The fixed-function stand-in: its GLSL, building its program and uploading its uniforms
// from the device's stored states for each DrawPrimitiveUP. Limits: stage 0 only (texture
// or diffuse as arguments; select, modulate, modulate 2x, add), directional lights only
// (up to four), linear fog on eye depth.
#include "d3d9_fixed_function.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "d3d9_internal.h"
#include "d3d9_program.h"

namespace {

// After the version line and the clip-space conversion (D3D9VertexSource).
const char* const kFixedVertexBody =
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

const char* const kFixedFragment =
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

// Row-vector product a x b of two D3D matrices.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
  D3DMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
  return r;
}

// A light's direction turned into eye space by the view matrix, normalised.
void EyeDirection(const D3DVECTOR& d, const D3DMATRIX& view, float out[3])
{
  for (int k = 0; k < 3; ++k) out[k] = d.x * view.m[0][k] + d.y * view.m[1][k] + d.z * view.m[2][k];
  const float len = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
  for (int k = 0; k < 3 && len > 0.0f; ++k) out[k] /= len;
}

}  // namespace

// Element offsets in FVF order: position, normal, diffuse, specular, texture coordinates.
bool D3D9ReadVertexLayout(DWORD fvf, D3D9VertexLayout* layout)
{
  const DWORD position = fvf & D3DFVF_POSITION_MASK;
  if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return false;
  D3D9VertexLayout& l = *layout;
  l.pretransformed = position == D3DFVF_XYZRHW;
  size_t offset = l.pretransformed ? 16 : 12;
  l.normalOffset = offset;
  l.hasNormal = !l.pretransformed && (fvf & D3DFVF_NORMAL);
  if (l.hasNormal) offset += 12;
  l.colourOffset = offset;
  l.hasColour = (fvf & D3DFVF_DIFFUSE) != 0;
  if (l.hasColour) offset += 4;
  if (fvf & D3DFVF_SPECULAR) offset += 4;
  l.uvOffset = offset;
  l.texCoords = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  l.size = offset + l.texCoords * 8;
  return true;
}

// Links the program and points its sampler at unit 0.
bool D3D9FixedFunction::Build()
{
  std::string log;
  program = D3D9BuildProgram("fixed-function", D3D9VertexSource(kFixedVertexBody), kFixedFragment, &log);
  if (!program) {
    std::fprintf(stderr, "d3d9: built-in program failed:\n%s", log.c_str());
    return false;
  }
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "u_texture"), 0);
  FindUniforms();
  return true;
}

// Deletes the program (the device calls this while its context is current).
void D3D9FixedFunction::Destroy()
{
  if (program) glDeleteProgram(program);
  program = 0;
}

// Every uniform location, looked up once.
void D3D9FixedFunction::FindUniforms()
{
  uniforms.alphaArg1 = glGetUniformLocation(program, "u_alphaArg1");
  uniforms.alphaArg2 = glGetUniformLocation(program, "u_alphaArg2");
  uniforms.alphaFunc = glGetUniformLocation(program, "u_alphaFunc");
  uniforms.alphaOp = glGetUniformLocation(program, "u_alphaOp");
  uniforms.alphaRef = glGetUniformLocation(program, "u_alphaRef");
  uniforms.alphaTest = glGetUniformLocation(program, "u_alphaTest");
  uniforms.ambient = glGetUniformLocation(program, "u_ambient");
  uniforms.colourArg1 = glGetUniformLocation(program, "u_colourArg1");
  uniforms.colourArg2 = glGetUniformLocation(program, "u_colourArg2");
  uniforms.colourOp = glGetUniformLocation(program, "u_colourOp");
  uniforms.diffuseFromVertex = glGetUniformLocation(program, "u_diffuseFromVertex");
  uniforms.fog = glGetUniformLocation(program, "u_fog");
  uniforms.fogColour = glGetUniformLocation(program, "u_fogColour");
  uniforms.fogRange = glGetUniformLocation(program, "u_fogRange");
  uniforms.lightAmbient = glGetUniformLocation(program, "u_lightAmbient");
  uniforms.lightCount = glGetUniformLocation(program, "u_lightCount");
  uniforms.lightDiffuse = glGetUniformLocation(program, "u_lightDiffuse");
  uniforms.lightDirection = glGetUniformLocation(program, "u_lightDirection");
  uniforms.lighting = glGetUniformLocation(program, "u_lighting");
  uniforms.materialAmbient = glGetUniformLocation(program, "u_materialAmbient");
  uniforms.materialDiffuse = glGetUniformLocation(program, "u_materialDiffuse");
  uniforms.materialEmissive = glGetUniformLocation(program, "u_materialEmissive");
  uniforms.normalize = glGetUniformLocation(program, "u_normalize");
  uniforms.pretransformed = glGetUniformLocation(program, "u_pretransformed");
  uniforms.projection = glGetUniformLocation(program, "u_projection");
  uniforms.textured = glGetUniformLocation(program, "u_textured");
  uniforms.viewport = glGetUniformLocation(program, "u_viewport");
  uniforms.worldView = glGetUniformLocation(program, "u_worldView");
}

// The uniforms of one draw, step by step.
void D3D9FixedFunction::Upload(D3D9Device& device, const D3D9VertexLayout& layout) const
{
  UploadTransforms(device, layout.pretransformed);
  UploadLighting(device, layout);
  UploadStage(device, layout);
  UploadFog(device, layout.pretransformed);
}

// Transforms for transformed vertices; the viewport for pre-transformed ones.
void D3D9FixedFunction::UploadTransforms(const D3D9Device& device, bool pretransformed) const
{
  const D3DMATRIX worldView = Multiply(device.world, device.view);
  // D3D's row-major matrices read as column-major are their transposes: M^T * v == v * M.
  glUniformMatrix4fv(uniforms.worldView, 1, GL_FALSE, &worldView._11);
  glUniformMatrix4fv(uniforms.projection, 1, GL_FALSE, &device.projection._11);
  glUniform1i(uniforms.pretransformed, pretransformed);
  const D3DVIEWPORT9& viewport = device.viewport;
  glUniform4f(uniforms.viewport, (float)viewport.X, (float)viewport.Y, (float)viewport.Width, (float)viewport.Height);
}

// Directional lights only, up to four, in eye space.
void D3D9FixedFunction::UploadLighting(const D3D9Device& device, const D3D9VertexLayout& layout) const
{
  const DWORD* const rs = device.renderStates;
  const bool lighting = rs[D3DRS_LIGHTING] && !layout.pretransformed;
  glUniform1i(uniforms.lighting, lighting);
  if (!lighting) return;
  float directions[12] = {}, diffuse[16] = {}, ambient[16] = {};
  int lightCount = 0;
  for (const auto& [index, enabled] : device.lightEnabled) {
    const D3DLIGHT9& light = device.lights.at(index);
    if (!enabled || light.Type != D3DLIGHT_DIRECTIONAL || lightCount == 4) continue;
    EyeDirection(light.Direction, device.view, &directions[lightCount * 3]);
    std::memcpy(&diffuse[lightCount * 4], &light.Diffuse, sizeof(float) * 4);
    std::memcpy(&ambient[lightCount * 4], &light.Ambient, sizeof(float) * 4);
    ++lightCount;
  }
  float globalAmbient[4];
  D3D9ColourToFloats(rs[D3DRS_AMBIENT], globalAmbient);
  glUniform1i(uniforms.lightCount, lightCount);
  glUniform3fv(uniforms.lightDirection, 4, directions);
  glUniform4fv(uniforms.lightDiffuse, 4, diffuse);
  glUniform4fv(uniforms.lightAmbient, 4, ambient);
  glUniform4fv(uniforms.ambient, 1, globalAmbient);
  glUniform1i(uniforms.normalize, rs[D3DRS_NORMALIZENORMALS] != 0);
  const D3DMATERIAL9& material = device.material;
  glUniform4fv(uniforms.materialDiffuse, 1, &material.Diffuse.r);
  glUniform4fv(uniforms.materialAmbient, 1, &material.Ambient.r);
  glUniform4fv(uniforms.materialEmissive, 1, &material.Emissive.r);
  glUniform1i(uniforms.diffuseFromVertex,
              layout.hasColour && rs[D3DRS_COLORVERTEX] && rs[D3DRS_DIFFUSEMATERIALSOURCE] == 1);
}

// Stage 0: texture, combiners and the alpha test.
void D3D9FixedFunction::UploadStage(D3D9Device& device, const D3D9VertexLayout& layout) const
{
  D3D9TextureBase* const texture = D3D9GetTextureBase(device.textures[0]);
  const bool textured = texture && texture->target == GL_TEXTURE_2D && layout.texCoords > 0;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textured ? texture->name : 0);
  if (textured) device.ApplySamplerStates(0, texture);
  glUniform1i(uniforms.textured, textured);
  const DWORD* const stage = device.stageStates[0];
  glUniform1i(uniforms.colourOp, (GLint)stage[D3DTSS_COLOROP]);
  glUniform1i(uniforms.colourArg1, (GLint)stage[D3DTSS_COLORARG1]);
  glUniform1i(uniforms.colourArg2, (GLint)stage[D3DTSS_COLORARG2]);
  glUniform1i(uniforms.alphaOp, (GLint)stage[D3DTSS_ALPHAOP]);
  glUniform1i(uniforms.alphaArg1, (GLint)stage[D3DTSS_ALPHAARG1]);
  glUniform1i(uniforms.alphaArg2, (GLint)stage[D3DTSS_ALPHAARG2]);

  const DWORD* const rs = device.renderStates;
  glUniform1i(uniforms.alphaTest, rs[D3DRS_ALPHATESTENABLE] != 0);
  glUniform1i(uniforms.alphaFunc, (GLint)rs[D3DRS_ALPHAFUNC]);
  glUniform1f(uniforms.alphaRef, (float)(rs[D3DRS_ALPHAREF] & 0xff));
}

// Linear fog on eye depth; pre-transformed vertices are never fogged here.
void D3D9FixedFunction::UploadFog(const D3D9Device& device, bool pretransformed) const
{
  const DWORD* const rs = device.renderStates;
  const bool fog = rs[D3DRS_FOGENABLE] && !pretransformed &&
                   (rs[D3DRS_FOGTABLEMODE] == D3DFOG_LINEAR || rs[D3DRS_FOGVERTEXMODE] == D3DFOG_LINEAR);
  glUniform1i(uniforms.fog, fog);
  if (!fog) return;
  float fogColour[4];
  D3D9ColourToFloats(rs[D3DRS_FOGCOLOR], fogColour);
  glUniform4fv(uniforms.fogColour, 1, fogColour);
  glUniform2f(uniforms.fogRange, D3D9StateFloat(rs[D3DRS_FOGSTART]), D3D9StateFloat(rs[D3DRS_FOGEND]));
}
