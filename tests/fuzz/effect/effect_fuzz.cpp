// Fuzz target for the effect file parser: any bytes parse or fail with a message that
// names a line, and a parsed effect always has a technique whose passes have both stages.
#include "effect_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  effectfile::EffectDesc effect;
  std::string error;
  if (!effectfile::Parse(text, &effect, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (effect.techniques.empty()) std::abort();
  for (const effectfile::TechniqueDesc& technique : effect.techniques) {
    for (const effectfile::PassDesc& pass : technique.passes) {
      if (pass.vertexSource.empty() || pass.fragmentSource.empty()) std::abort();
      effectfile::StageSource(effect, pass, false);
      effectfile::StageSource(effect, pass, true);
    }
  }
  return 0;
}
