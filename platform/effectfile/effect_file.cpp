// Parser of the effect file format described in effect_file.h.
#include "effect_file.h"

#include <sstream>

namespace effectfile {

namespace {

// Splits a line into whitespace-separated words.
std::vector<std::string> Words(const std::string& line)
{
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// Applies one key=value option of a sampler line.
bool ApplySamplerOption(SamplerDesc* sampler, const std::string& option)
{
  const size_t eq = option.find('=');
  if (eq == std::string::npos) return false;
  const std::string key = option.substr(0, eq);
  const std::string value = option.substr(eq + 1);
  const bool isAddress = value == "wrap" || value == "clamp" || value == "mirror" || value == "border";
  if (key == "address" && isAddress) {
    sampler->addressU = sampler->addressV = value;
  } else if (key == "addressu" && isAddress) {
    sampler->addressU = value;
  } else if (key == "addressv" && isAddress) {
    sampler->addressV = value;
  } else if (key == "filter" && (value == "linear" || value == "point")) {
    sampler->filter = value;
  } else if (key == "mip" && (value == "none" || value == "point" || value == "linear")) {
    sampler->mip = value;
  } else if (key == "compare" && (value == "none" || value == "less" || value == "lessequal" || value == "greater" ||
                                  value == "greaterequal")) {
    sampler->compare = value;
  } else {
    return false;
  }
  return true;
}

// Builds the "line N: message" error text.
bool Fail(std::string* error, int line, const std::string& message)
{
  if (error) *error = "line " + std::to_string(line) + ": " + message;
  return false;
}

}  // namespace

bool Parse(const std::string& text, EffectDesc* effect, std::string* error)
{
  *effect = EffectDesc();
  std::istringstream in(text);
  std::string line;
  int lineNumber = 0;
  std::string* block = nullptr;  // the GLSL text being collected, between a stage keyword and "end"
  int blockStart = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> words = Words(line);
    if (block) {
      if (words.size() == 1 && words[0] == "end") {
        block = nullptr;
      } else {
        *block += line;
        *block += '\n';
      }
      continue;
    }
    if (words.empty() || words[0][0] == '#') continue;
    const std::string& keyword = words[0];
    TechniqueDesc* technique = effect->techniques.empty() ? nullptr : &effect->techniques.back();
    PassDesc* pass = (technique && !technique->passes.empty()) ? &technique->passes.back() : nullptr;
    if (keyword == "sampler") {
      if (words.size() < 2) return Fail(error, lineNumber, "sampler needs a name");
      SamplerDesc sampler;
      sampler.name = words[1];
      for (size_t i = 2; i < words.size(); ++i) {
        if (!ApplySamplerOption(&sampler, words[i]))
          return Fail(error, lineNumber, "bad sampler option '" + words[i] + "'");
      }
      effect->samplers.push_back(sampler);
    } else if (keyword == "common") {
      if (effect->commonLine != 0) return Fail(error, lineNumber, "a second common block");
      block = &effect->common;
      effect->commonLine = lineNumber + 1;
    } else if (keyword == "technique") {
      if (words.size() != 2) return Fail(error, lineNumber, "technique needs one name");
      for (const TechniqueDesc& t : effect->techniques) {
        if (t.name == words[1]) return Fail(error, lineNumber, "technique '" + words[1] + "' defined twice");
      }
      effect->techniques.push_back(TechniqueDesc{words[1], {}});
    } else if (keyword == "pass") {
      if (!technique) return Fail(error, lineNumber, "pass outside a technique");
      PassDesc newPass;
      newPass.name = words.size() > 1 ? words[1] : "P" + std::to_string(technique->passes.size());
      technique->passes.push_back(newPass);
    } else if (keyword == "state") {
      if (!pass) return Fail(error, lineNumber, "state outside a pass");
      if (words.size() != 3) return Fail(error, lineNumber, "state needs a name and a value");
      pass->states.push_back(StateDesc{words[1], words[2], lineNumber});
    } else if (keyword == "vertex" || keyword == "fragment") {
      if (!pass) return Fail(error, lineNumber, keyword + " outside a pass");
      const bool fragment = keyword == "fragment";
      std::string& source = fragment ? pass->fragmentSource : pass->vertexSource;
      if (!source.empty()) return Fail(error, lineNumber, "a second " + keyword + " block in one pass");
      (fragment ? pass->fragmentLine : pass->vertexLine) = lineNumber + 1;
      block = &source;
    } else {
      return Fail(error, lineNumber, "unknown keyword '" + keyword + "'");
    }
    blockStart = lineNumber;
  }
  if (block) return Fail(error, blockStart, "block not closed by 'end'");
  if (effect->techniques.empty()) return Fail(error, lineNumber, "no technique");
  for (const TechniqueDesc& technique : effect->techniques) {
    if (technique.passes.empty()) return Fail(error, lineNumber, "technique '" + technique.name + "' has no pass");
    for (const PassDesc& pass : technique.passes) {
      if (pass.vertexSource.empty() || pass.fragmentSource.empty()) {
        return Fail(error, lineNumber,
                    "pass '" + pass.name + "' of '" + technique.name + "' needs a vertex and a fragment block");
      }
    }
  }
  return true;
}

std::string StageSource(const EffectDesc& effect, const PassDesc& pass, bool fragment)
{
  // The prelude lets effect code read like the matrices it is given: D3DX matrices are
  // row-vector, so mul(v, M) is M * v on the column-major upload of the same floats.
  std::string source = "#version 330 core\n";
  source += fragment ? "#define FRAGMENT_STAGE 1\n" : "#define VERTEX_STAGE 1\n";
  source += "#define mul(v, m) ((m) * (v))\n";
  if (!fragment) source += kClipToGLSource;
  if (!effect.common.empty()) {
    source += "#line " + std::to_string(effect.commonLine) + "\n";
    source += effect.common;
  }
  if (fragment) {
    source += "#line " + std::to_string(pass.fragmentLine) + "\n";
    source += pass.fragmentSource;
    return source;
  }
  // Vertex code writes D3D clip space (y up, depth 0..w). Every target stores row 0
  // at the top, so y is negated here once, and depth is moved to GL's -w..w.
  source += "#define main fx_user_main\n";
  source += "#line " + std::to_string(pass.vertexLine) + "\n";
  source += pass.vertexSource;
  source +=
      "\n#undef main\n"
      "void main()\n"
      "{\n"
      "  fx_user_main();\n"
      "  gl_Position = D3D9ClipToGL(gl_Position);\n"
      "}\n";
  return source;
}

}  // namespace effectfile
