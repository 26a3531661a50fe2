// The generator sequence: sources first, then pictures and meshes into a queue that
// is written only when all of them succeeded (so a bad source fails before anything
// is written), then the sounds.
#include "art/generate.h"

#include <chrono>
#include <cstdio>

#include "art/art_context.h"
#include "art/ending_art.h"
#include "art/effect_art.h"
#include "art/gimmick_art.h"
#include "art/goal_art.h"
#include "art/hud_art.h"
#include "art/stage_art.h"
#include "art/text_art.h"
#include "art/title_art.h"
#include "audio/audio_content.h"

namespace contentgen {

namespace {

// " name 0.12 s" for the run summary.
std::string StageTime(const char* name, std::chrono::steady_clock::time_point start)
{
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, " %s %.2f s", name, seconds);
  return buffer;
}

}  // namespace

// Loads the shared sources, then runs each generator.
bool GenerateAll(const GenerateOptions& options, std::string* error)
{
  CArtContext context;
  context.resDir = options.resDir;
  context.contentDir = options.contentDir;
  if (!context.palette.Load(options.contentDir + "/palette.txt", error)) return false;
  if (!context.font.Load(options.fontPath, error)) return false;

  // A colour missing from the palette stops the run right after the generator that asked,
  // before any file is written.
  struct Stage {
    const char* name;
    bool (*run)(CArtContext&, std::string*);
  };
  const Stage stages[] = {
      {"shader", GenerateShaderArt},  {"icon", GenerateIcon},         {"player", GeneratePlayer},
      {"goal", GenerateGoalArt},      {"effects", GenerateEffectArt}, {"gimmicks", GenerateGimmickArt},
      {"objects", GenerateObjectArt}, {"hud", GenerateHudArt},        {"symbols", GenerateSymbolArt},
      {"text", GenerateTextArt},      {"test", GenerateTestTree},     {"title", GenerateTitleArt},
      {"menu", GenerateMenuArt},      {"ending", GenerateEndingArt},  {"stages", GenerateStages}};
  std::string timings;
  for (const Stage& stage : stages) {
    const auto start = std::chrono::steady_clock::now();
    if (!stage.run(context, error) || !context.palette.CheckLookups(error)) return false;
    timings += StageTime(stage.name, start);
  }
  auto start = std::chrono::steady_clock::now();
  if (!context.WriteQueued(error)) return false;
  timings += StageTime("writing", start);
  start = std::chrono::steady_clock::now();
  if (!GenerateAudio(options.contentDir, options.resDir, error)) return false;
  timings += StageTime("audio", start);
  if (options.printTimings) std::printf("contentgen:%s\n", timings.c_str());
  return true;
}

}  // namespace contentgen
