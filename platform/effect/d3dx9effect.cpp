// ID3DXEffect on OpenGL: one program per pass, compiled from our effect files when the
// effect is made and linked when its technique is validated or the pass first runs, with
// a name-keyed parameter store uploaded to whichever pass runs. A pass sets only the
// render states it declares and puts them back at EndPass, so the blending an actor chose
// reaches the effect's draw.
#include "d3dx9effect.h"

#include "d3d9_internal.h"
#include "d3d9_program.h"
#include "effect_file.h"
#include "platform_file.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// ---- buffers ---------------------------------------------------------------------

class D3DXBuffer : public ID3DXBuffer {
public:
  explicit D3DXBuffer(DWORD size) : bytes(size, 0) {}
  LPVOID GetBufferPointer() override { return bytes.empty() ? nullptr : bytes.data(); }
  DWORD GetBufferSize() override { return static_cast<DWORD>(bytes.size()); }

private:
  std::vector<unsigned char> bytes;
};

// Hands text back as a zero-terminated buffer, the way D3DX returns compiler errors.
void SetErrorText(ID3DXBuffer** errors, const std::string& text)
{
  if (!errors) return;
  D3DXCreateBuffer(static_cast<DWORD>(text.size() + 1), errors);
  std::memcpy((*errors)->GetBufferPointer(), text.c_str(), text.size() + 1);
}

// ---- render states a pass may declare ----------------------------------------------------

struct NamedValue {
  const char* name;
  DWORD value;
};

const NamedValue kStateNames[] = {
    {"ZENABLE", D3DRS_ZENABLE},
    {"ZWRITEENABLE", D3DRS_ZWRITEENABLE},
    {"ZFUNC", D3DRS_ZFUNC},
    {"CULLMODE", D3DRS_CULLMODE},
    {"ALPHABLENDENABLE", D3DRS_ALPHABLENDENABLE},
    {"SRCBLEND", D3DRS_SRCBLEND},
    {"DESTBLEND", D3DRS_DESTBLEND},
    {"BLENDOP", D3DRS_BLENDOP},
    {"STENCILENABLE", D3DRS_STENCILENABLE},
    {"COLORWRITEENABLE", D3DRS_COLORWRITEENABLE},
};

const NamedValue kValueNames[] = {
    {"FALSE", FALSE},
    {"TRUE", TRUE},
    {"NONE", D3DCULL_NONE},
    {"CW", D3DCULL_CW},
    {"CCW", D3DCULL_CCW},
    {"ZERO", D3DBLEND_ZERO},
    {"ONE", D3DBLEND_ONE},
    {"SRCALPHA", D3DBLEND_SRCALPHA},
    {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
    {"SRCCOLOR", D3DBLEND_SRCCOLOR},
    {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
    {"DESTCOLOR", D3DBLEND_DESTCOLOR},
    {"ADD", D3DBLENDOP_ADD},
    {"SUBTRACT", D3DBLENDOP_SUBTRACT},
    {"MAX", D3DBLENDOP_MAX},
    {"LESS", D3DCMP_LESS},
    {"LESSEQUAL", D3DCMP_LESSEQUAL},
    {"ALWAYS", D3DCMP_ALWAYS},
    {"GREATER", D3DCMP_GREATER},
    {"EQUAL", D3DCMP_EQUAL},
};

// Finds a name in a table; false when it is not there.
template <size_t N>
bool Lookup(const NamedValue (&table)[N], const std::string& name, DWORD* value)
{
  for (const NamedValue& entry : table) {
    if (name == entry.name) {
      *value = entry.value;
      return true;
    }
  }
  return false;
}

// ---- programs ---------------------------------------------------------------------

struct PassState {
  D3DRENDERSTATETYPE state;
  DWORD value;
};

struct Uniform {
  GLint location;
  GLenum type;
  GLint count;
  GLint unit;  // texture unit for samplers, -1 otherwise
};

// A pass keeps its sources and is linked when its technique is validated or it first
// runs: a program the driver holds costs about a megabyte, and a technique that is never
// drawn with (the other quality's) should cost nothing.
struct Pass {
  std::string label;  // "file(technique/pass)", naming it in the compiler's messages
  std::string vertexSource;
  std::string fragmentSource;
  GLuint program = 0;
  bool linkTried = false;  // a link that failed is not tried again
  std::vector<PassState> states;
  std::map<std::string, Uniform> uniforms;
  GLint targetSizeLocation = -1;
};

struct Technique {
  std::string name;
  std::vector<Pass> passes;
};

// Reads a pass: its sources, checked by compiling them, and its states; false with the
// messages in *log.
bool ReadPass(const effectfile::EffectDesc& desc, const effectfile::PassDesc& passDesc, const std::string& label,
              Pass* pass, std::string* log)
{
  pass->label = label;
  pass->vertexSource = effectfile::StageSource(desc, passDesc, false);
  pass->fragmentSource = effectfile::StageSource(desc, passDesc, true);
  if (!D3D9CheckStages(label, pass->vertexSource, pass->fragmentSource, log)) return false;

  for (const effectfile::StateDesc& state : passDesc.states) {
    DWORD stateId = 0;
    DWORD value = 0;
    if (!Lookup(kStateNames, state.name, &stateId)) {
      *log += label + " line " + std::to_string(state.line) + ": unknown state '" + state.name + "'\n";
      return false;
    }
    if (!Lookup(kValueNames, state.value, &value)) {
      *log += label + " line " + std::to_string(state.line) + ": unknown value '" + state.value + "'\n";
      return false;
    }
    pass->states.push_back(PassState{static_cast<D3DRENDERSTATETYPE>(stateId), value});
  }
  return true;
}

// Links a pass's program with the fixed attribute slots every draw path feeds and finds
// its uniforms; a failure is written to stderr once and leaves the program 0.
bool LinkPass(Pass* pass)
{
  if (pass->program || pass->linkTried) return pass->program != 0;
  pass->linkTried = true;
  std::string log;
  const GLuint program = D3D9BuildProgram(pass->label, pass->vertexSource, pass->fragmentSource, &log);
  if (!program) {
    std::fprintf(stderr, "d3dx9: effect pass failed:\n%s", log.c_str());
    return false;
  }
  pass->program = program;

  // Every active uniform by name; samplers get texture units in order.
  GLint count = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  glUseProgram(program);
  GLint nextUnit = 0;
  for (GLint i = 0; i < count; ++i) {
    char name[256];
    GLsizei length = 0;
    GLint size = 0;
    GLenum type = 0;
    glGetActiveUniform(program, static_cast<GLuint>(i), sizeof(name), &length, &size, &type, name);
    std::string key(name, static_cast<size_t>(length));
    const size_t bracket = key.find('[');
    if (bracket != std::string::npos) key.resize(bracket);
    Uniform uniform{glGetUniformLocation(program, name), type, size, -1};
    if (type == GL_SAMPLER_2D || type == GL_SAMPLER_2D_SHADOW || type == GL_SAMPLER_CUBE) {
      uniform.unit = nextUnit++;
      glUniform1i(uniform.location, uniform.unit);
    }
    pass->uniforms[key] = uniform;
  }
  glUseProgram(0);
  pass->targetSizeLocation = glGetUniformLocation(program, "fx_target_size");
  return true;
}

// GL sampler object for one sampler description.
GLuint MakeSampler(const effectfile::SamplerDesc& desc)
{
  const auto address = [](const std::string& mode) -> GLint {
    if (mode == "clamp") return GL_CLAMP_TO_EDGE;
    if (mode == "mirror") return GL_MIRRORED_REPEAT;
    if (mode == "border") return GL_CLAMP_TO_BORDER;
    return GL_REPEAT;
  };
  GLuint sampler = 0;
  glGenSamplers(1, &sampler);
  const bool linear = desc.filter == "linear";
  GLint minFilter = linear ? GL_LINEAR : GL_NEAREST;
  if (desc.mip == "linear") minFilter = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  if (desc.mip == "point") minFilter = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, address(desc.addressU));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, address(desc.addressV));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, address(desc.addressV));
  const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, white);
  // A depth comparison: each fetch answers 1 where the test passes, and linear filtering
  // blends the answers of the four nearest texels.
  if (desc.compare != "none") {
    GLint test = GL_GREATER;
    if (desc.compare == "less") test = GL_LESS;
    if (desc.compare == "lessequal") test = GL_LEQUAL;
    if (desc.compare == "greaterequal") test = GL_GEQUAL;
    glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_FUNC, test);
  }
  return sampler;
}

// ---- the effect -----------------------------------------------------------------------

// A parameter's value as last set: floats (ints are stored as floats too) or a texture.
struct Parameter {
  std::vector<float> floats;
  bool isInt = false;
  IDirect3DBaseTexture9* texture = nullptr;
};

class D3DXEffect : public ID3DXEffect {
public:
  explicit D3DXEffect(D3D9Device* device_) : device(device_) { device->AddRef(); }

  ~D3DXEffect() override
  {
    for (Technique& technique : techniques) {
      for (Pass& pass : technique.passes) glDeleteProgram(pass.program);
    }
    for (auto& sampler : samplers) glDeleteSamplers(1, &sampler.second);
    for (auto& parameter : parameters) {
      if (parameter.second.texture) parameter.second.texture->Release();
    }
    device->Release();
  }

  // Reads and checks every pass; false with the messages in *log.
  bool Build(const effectfile::EffectDesc& desc, const std::string& path, std::string* log)
  {
    bool ok = true;
    for (const effectfile::TechniqueDesc& techniqueDesc : desc.techniques) {
      Technique technique;
      technique.name = techniqueDesc.name;
      for (const effectfile::PassDesc& passDesc : techniqueDesc.passes) {
        Pass pass;
        ok = ReadPass(desc, passDesc, path + "(" + techniqueDesc.name + "/" + passDesc.name + ")", &pass, log) && ok;
        technique.passes.push_back(pass);
      }
      techniques.push_back(technique);
    }
    for (const effectfile::SamplerDesc& samplerDesc : desc.samplers)
      samplers[samplerDesc.name] = MakeSampler(samplerDesc);
    current = 0;
    return ok;
  }

  HRESULT SetTechnique(D3DXHANDLE name) override
  {
    if (active) return D3DERR_INVALIDCALL;
    const Technique* const found = Find(name);
    if (!found) return D3DERR_INVALIDCALL;
    current = static_cast<size_t>(found - techniques.data());
    return D3D_OK;
  }

  D3DXHANDLE GetCurrentTechnique() override { return techniques[current].name.c_str(); }

  HRESULT ValidateTechnique(D3DXHANDLE name) override
  {
    Technique* const technique = Find(name);
    if (!technique) return D3DERR_INVALIDCALL;
    bool linked = true;
    for (Pass& pass : technique->passes) linked = LinkPass(&pass) && linked;
    return linked ? D3D_OK : E_FAIL;
  }

  HRESULT Begin(UINT* passes, DWORD flags) override
  {
    if (active) return D3DERR_INVALIDCALL;
    active = true;
    saveStates = (flags & D3DXFX_DONOTSAVESTATE) == 0;
    if (passes) *passes = static_cast<UINT>(techniques[current].passes.size());
    return D3D_OK;
  }

  HRESULT BeginPass(UINT index) override
  {
    if (!active || passIndex >= 0 || index >= techniques[current].passes.size()) return D3DERR_INVALIDCALL;
    Pass& pass = techniques[current].passes[index];
    if (!LinkPass(&pass)) return E_FAIL;
    passIndex = static_cast<int>(index);
    saved.clear();
    for (const PassState& state : pass.states) {
      DWORD old = 0;
      device->GetRenderState(state.state, &old);
      saved.push_back(PassState{state.state, old});
      device->SetRenderState(state.state, state.value);
    }
    device->effectProgram = pass.program;
    Upload(pass);
    return D3D_OK;
  }

  HRESULT CommitChanges() override
  {
    if (passIndex < 0) return D3DERR_INVALIDCALL;
    Upload(techniques[current].passes[static_cast<size_t>(passIndex)]);
    return D3D_OK;
  }

  HRESULT EndPass() override
  {
    if (passIndex < 0) return D3DERR_INVALIDCALL;
    if (saveStates) {
      for (auto state = saved.rbegin(); state != saved.rend(); ++state)
        device->SetRenderState(state->state, state->value);
    }
    saved.clear();
    device->effectProgram = 0;
    UnbindTextures(techniques[current].passes[static_cast<size_t>(passIndex)]);
    glUseProgram(0);
    passIndex = -1;
    return D3D_OK;
  }

  HRESULT End() override
  {
    if (!active) return D3DERR_INVALIDCALL;
    if (passIndex >= 0) EndPass();
    active = false;
    return D3D_OK;
  }

  HRESULT SetMatrix(D3DXHANDLE name, const D3DXMATRIX* matrix) override
  {
    if (!matrix) return D3DERR_INVALIDCALL;
    return Store(name, &matrix->_11, 16, false);
  }
  HRESULT SetFloat(D3DXHANDLE name, float value) override { return Store(name, &value, 1, false); }
  HRESULT SetInt(D3DXHANDLE name, int value) override
  {
    const float asFloat = static_cast<float>(value);
    return Store(name, &asFloat, 1, true);
  }
  HRESULT SetBool(D3DXHANDLE name, BOOL value) override { return SetInt(name, value ? 1 : 0); }
  HRESULT SetVector(D3DXHANDLE name, const D3DXVECTOR4* vector) override
  {
    if (!vector) return D3DERR_INVALIDCALL;
    return Store(name, &vector->x, 4, false);
  }
  HRESULT SetValue(D3DXHANDLE name, const void* data, UINT bytes) override
  {
    if (!data || bytes % sizeof(float) != 0 || bytes == 0 || bytes > 64 * sizeof(float)) return D3DERR_INVALIDCALL;
    std::vector<float> values(bytes / sizeof(float));
    std::memcpy(values.data(), data, bytes);
    return Store(name, values.data(), values.size(), false);
  }
  HRESULT SetTexture(D3DXHANDLE name, IDirect3DBaseTexture9* texture) override
  {
    if (!name) return D3DERR_INVALIDCALL;
    Parameter& parameter = parameters[name];
    if (texture) texture->AddRef();
    if (parameter.texture) parameter.texture->Release();
    parameter.texture = texture;
    return D3D_OK;
  }

  HRESULT GetValue(D3DXHANDLE name, void* data, UINT bytes) override
  {
    if (!name || !data) return D3DERR_INVALIDCALL;
    const auto found = parameters.find(name);
    if (found == parameters.end() || found->second.floats.size() * sizeof(float) < bytes) return D3DERR_INVALIDCALL;
    std::memcpy(data, found->second.floats.data(), bytes);
    return D3D_OK;
  }
  HRESULT GetTexture(D3DXHANDLE name, IDirect3DBaseTexture9** texture) override
  {
    if (!name || !texture) return D3DERR_INVALIDCALL;
    const auto found = parameters.find(name);
    *texture = found == parameters.end() ? nullptr : found->second.texture;
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
  }
  HRESULT GetDevice(IDirect3DDevice9** out) override
  {
    if (!out) return D3DERR_INVALIDCALL;
    *out = device;
    device->AddRef();
    return D3D_OK;
  }

private:
  // The technique of that name, or null (for no name as well).
  Technique* Find(D3DXHANDLE name)
  {
    if (!name) return nullptr;
    for (Technique& technique : techniques) {
      if (technique.name == name) return &technique;
    }
    return nullptr;
  }

  // Keeps a value by name, whether or not any pass reads it.
  HRESULT Store(D3DXHANDLE name, const float* values, size_t count, bool isInt)
  {
    if (!name) return D3DERR_INVALIDCALL;
    Parameter& parameter = parameters[name];
    parameter.floats.assign(values, values + count);
    parameter.isInt = isInt;
    return D3D_OK;
  }

  // Sends every stored parameter the pass reads to its program, and binds its textures.
  void Upload(const Pass& pass)
  {
    glUseProgram(pass.program);
    if (pass.targetSizeLocation >= 0) {
      UINT width = 0;
      UINT height = 0;
      device->GetTargetSize(&width, &height);
      glUniform2f(pass.targetSizeLocation, static_cast<float>(width), static_cast<float>(height));
    }
    for (const auto& entry : pass.uniforms) {
      const auto found = parameters.find(entry.first);
      if (found == parameters.end()) continue;
      UploadOne(entry.first, entry.second, found->second);
    }
  }

  // One uniform from one stored value; a value of the wrong size is ignored, as D3DX
  // ignores a SetValue that does not fit.
  void UploadOne(const std::string& name, const Uniform& uniform, const Parameter& parameter)
  {
    const std::vector<float>& f = parameter.floats;
    switch (uniform.type) {
    case GL_FLOAT:
      if (!f.empty()) glUniform1f(uniform.location, f[0]);
      break;
    case GL_FLOAT_VEC2:
      if (f.size() >= 2) glUniform2fv(uniform.location, 1, f.data());
      break;
    case GL_FLOAT_VEC3:
      if (f.size() >= 3) glUniform3fv(uniform.location, 1, f.data());
      break;
    case GL_FLOAT_VEC4:
      if (f.size() >= 4) glUniform4fv(uniform.location, 1, f.data());
      break;
    case GL_FLOAT_MAT4:
      // D3DX matrices are row-major for row vectors: uploaded as they are, GLSL sees
      // the transpose, and mul(v, M) = M * v gives the same result.
      if (f.size() >= 16) glUniformMatrix4fv(uniform.location, 1, GL_FALSE, f.data());
      break;
    case GL_INT:
    case GL_BOOL:
      if (!f.empty()) glUniform1i(uniform.location, static_cast<GLint>(f[0]));
      break;
    case GL_SAMPLER_2D:
    case GL_SAMPLER_2D_SHADOW:
    case GL_SAMPLER_CUBE: {
      const D3D9TextureBase* base = D3D9GetTextureBase(parameter.texture);
      const GLenum target = uniform.type == GL_SAMPLER_CUBE ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
      glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(uniform.unit));
      glBindTexture(target, (base && base->valid && base->target == target) ? base->name : 0);
      const auto sampler = samplers.find(name);
      glBindSampler(static_cast<GLuint>(uniform.unit), sampler == samplers.end() ? 0 : sampler->second);
      glActiveTexture(GL_TEXTURE0);
      break;
    }
    default:
      break;
    }
  }

  // Leaves no texture or sampler of ours bound where the fixed pipeline would find it.
  void UnbindTextures(const Pass& pass)
  {
    for (const auto& entry : pass.uniforms) {
      if (entry.second.unit < 0) continue;
      glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(entry.second.unit));
      glBindTexture(entry.second.type == GL_SAMPLER_CUBE ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, 0);
      glBindSampler(static_cast<GLuint>(entry.second.unit), 0);
    }
    glActiveTexture(GL_TEXTURE0);
  }

  D3D9Device* device;
  std::vector<Technique> techniques;
  std::map<std::string, GLuint> samplers;
  std::map<std::string, Parameter> parameters;
  size_t current = 0;
  bool active = false;
  bool saveStates = true;
  int passIndex = -1;
  std::vector<PassState> saved;
};

}  // namespace

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer)
{
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = new D3DXBuffer(bytes);
  return D3D_OK;
}

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, const D3DXMACRO*, ID3DXInclude*, DWORD,
                                  ID3DXEffectPool*, ID3DXEffect** effect, ID3DXBuffer** errors)
{
  if (errors) *errors = nullptr;
  if (!effect) return D3DERR_INVALIDCALL;
  *effect = nullptr;
  if (!device || !srcFile) return D3DERR_INVALIDCALL;
  std::vector<uint8_t> bytes;
  if (!PlatformReadFile(srcFile, &bytes)) {
    SetErrorText(errors, std::string(srcFile) + ": cannot open the effect file");
    return E_FAIL;
  }
  const std::string text(bytes.begin(), bytes.end());
  effectfile::EffectDesc desc;
  std::string error;
  if (!effectfile::Parse(text, &desc, &error)) {
    SetErrorText(errors, std::string(srcFile) + ": " + error);
    return E_FAIL;
  }
  D3DXEffect* created = new D3DXEffect(static_cast<D3D9Device*>(device));
  std::string log;
  if (!created->Build(desc, srcFile, &log)) {
    created->Release();
    SetErrorText(errors, log);
    return E_FAIL;
  }
  *effect = created;
  return D3D_OK;
}
