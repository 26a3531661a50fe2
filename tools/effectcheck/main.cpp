// effectcheck: validates an effect source with glslangValidator (every stage of every
// pass, exactly as the game will compile it) and writes it to res/ as the .cso file.
// A broken shader fails the build here instead of greeting the player at start-up.
//   effectcheck <source.fx> <output.cso>
#include "core/output.h"
#include "effect_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Writes text to a file; false when it cannot.
bool WriteText(const std::string& path, const std::string& text)
{
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

// Runs glslangValidator on one stage; prints its messages and returns false on failure.
bool ValidateStage(const std::string& label, const std::string& source, const char* extension)
{
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string path = (dir / ("effectcheck_" + std::to_string(getpid()) + extension)).string();
  if (!WriteText(path, source)) {
    std::fprintf(stderr, "%s: cannot write %s\n", label.c_str(), path.c_str());
    return false;
  }
  const std::string command = "glslangValidator \"" + path + "\" > \"" + path + ".log\" 2>&1";
  const int status = std::system(command.c_str());
  std::vector<uint8_t> log;
  contentgen::ReadFile(path + ".log", &log);
  std::remove(path.c_str());
  std::remove((path + ".log").c_str());
  if (status != 0) {
    std::fprintf(stderr, "%s: glslangValidator failed:\n%.*s\n", label.c_str(), static_cast<int>(log.size()),
                 reinterpret_cast<const char*>(log.data()));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: effectcheck <source.fx> <output.cso>\n");
    return 2;
  }
  const std::string sourcePath = argv[1];
  std::vector<uint8_t> bytes;
  if (!contentgen::ReadFile(sourcePath, &bytes)) {
    std::fprintf(stderr, "%s: cannot read\n", sourcePath.c_str());
    return 1;
  }
  const std::string text(bytes.begin(), bytes.end());
  effectfile::EffectDesc effect;
  std::string error;
  if (!effectfile::Parse(text, &effect, &error)) {
    std::fprintf(stderr, "%s: %s\n", sourcePath.c_str(), error.c_str());
    return 1;
  }
  bool ok = true;
  for (const effectfile::TechniqueDesc& technique : effect.techniques) {
    for (const effectfile::PassDesc& pass : technique.passes) {
      const std::string label = sourcePath + " (" + technique.name + "/" + pass.name + ")";
      ok = ValidateStage(label, effectfile::StageSource(effect, pass, false), ".vert") && ok;
      ok = ValidateStage(label, effectfile::StageSource(effect, pass, true), ".frag") && ok;
    }
  }
  if (!ok) return 1;
  if (!contentgen::WriteFileAtomic(argv[2], bytes, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
