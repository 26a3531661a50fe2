// The effect file format (res/shader/*.cso): our own text format holding GLSL 3.30
// per technique and pass, the render states each pass declares and the sampler
// states of each texture parameter. Parsing is pure: bytes in, a description out,
// with a message naming the line on failure. Compiling is d3dx9effect.cpp's job.
//
//   # comment
//   sampler g_toon_tex address=clamp filter=linear
//   sampler g_shadow_tex address=border filter=linear mip=none compare=greater
//   common
//     ...GLSL shared by every stage of every pass...
//   end
//   technique NormalTech
//     pass P0
//       state CULLMODE CW
//       vertex
//         ...GLSL...
//       end
//       fragment
//         ...GLSL...
//       end
#pragma once

#include <string>
#include <vector>

namespace effectfile {

// How a texture parameter is sampled.
struct SamplerDesc {
  std::string name;               // the parameter (and GLSL sampler uniform) name
  std::string addressU = "wrap";  // wrap, clamp, mirror, border
  std::string addressV = "wrap";
  std::string filter = "linear";  // linear or point
  std::string mip = "linear";     // none, point or linear
  std::string compare = "none";   // depth textures: none, or the test less, lessequal, greater, greaterequal
};

// One render state a pass sets while it is active: name without "D3DRS_", value as written.
struct StateDesc {
  std::string name;
  std::string value;
  int line = 0;
};

// One pass: its states and the two stages' source (without the common part).
struct PassDesc {
  std::string name;
  std::vector<StateDesc> states;
  std::string vertexSource;
  std::string fragmentSource;
  int vertexLine = 0;  // first line of the vertex source in the file, for messages
  int fragmentLine = 0;
};

struct TechniqueDesc {
  std::string name;
  std::vector<PassDesc> passes;
};

struct EffectDesc {
  std::string common;
  int commonLine = 0;
  std::vector<SamplerDesc> samplers;
  std::vector<TechniqueDesc> techniques;
};

// Parses an effect file. Returns false and a message "line N: ..." on error.
bool Parse(const std::string& text, EffectDesc* effect, std::string* error);

// The full source of one stage of a pass as it is compiled: version line, the
// shared prelude, the common part and the stage's own text, with #line markers
// so that compiler messages point into the effect file. Vertex code writes
// gl_Position in D3D's clip space; a wrapper round its main converts it.
std::string StageSource(const EffectDesc& effect, const PassDesc& pass, bool fragment);

// GLSL defining `vec4 D3D9ClipToGL(vec4 d3dClip)`: D3D's clip space (y up, depth 0..w)
// to GL's for targets stored with row 0 at the top (y negated, depth to -w..w). Every
// vertex program drawn through the device ends with it: effects, built-ins and sprites.
inline constexpr char kClipToGLSource[] =
    "vec4 D3D9ClipToGL(vec4 p) { return vec4(p.x, -p.y, 2.0 * p.z - p.w, p.w); }\n";

}  // namespace effectfile
