// solverica_soak: the real program (start-up, main loop, shutdown) run headless in the
// working folder, on a fixed clock, with random input fed through the input path: keys
// held and released, mouse motion, both buttons held (casting), clicks anywhere (menus),
// Space and Escape taps, focus lost and regained. Each round shows the title, then plays
// every stage whose res/dat/map.N.dat exists. It prints resident memory after every
// round and the frames that left a GL error, and exits non-zero when memory grew after
// the first round (judged from two rounds on) or GL errors were seen.
//
//   solverica_soak --seconds S [--seed N]          rounds until S seconds have passed
//   solverica_soak --rounds R [--title-frames T] [--stage-frames F] [--stage N]
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/application.h"
#include "engine/graphics.h"
#include "engine/sound.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "test_seam.h"

namespace {

struct Options {
  double seconds = 0;
  int rounds = 1;
  int titleFrames = 120;
  int stageFrames = 240;
  unsigned seed = 1;
  int onlyStage = 0;  // 0: every stage present
};

// What the run saw.
struct Totals {
  long frames = 0;
  long framesWithGlErrors = 0;
  unsigned lastGlError = GL_NO_ERROR;
  int programEnds = 0;  // the game itself ended (quit answered yes); it is started again
};

// Resident memory of this process in kilobytes, from /proc.
long ResidentKilobytes()
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// The stages that have a stage file, in order.
std::vector<int> StagesPresent()
{
  std::vector<int> stages;
  for (int stage = 1; stage <= 8; ++stage) {
    if (std::filesystem::exists("res/dat/map." + std::to_string(stage) + ".dat")) stages.push_back(stage);
  }
  return stages;
}

// Reads the command line; false on anything it does not know.
bool ParseOptions(int argc, char** argv, Options* options)
{
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--seconds")
      options->seconds = std::atof(value);
    else if (name == "--rounds")
      options->rounds = std::atoi(value);
    else if (name == "--title-frames")
      options->titleFrames = std::atoi(value);
    else if (name == "--stage-frames")
      options->stageFrames = std::atoi(value);
    else if (name == "--stage")
      options->onlyStage = std::atoi(value);
    else if (name == "--seed")
      options->seed = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
    else
      return false;
  }
  return argc % 2 == 1;
}

// Random input, one frame's worth: held keys change now and then, the mouse moves a
// little every frame, buttons are held for a while (a cast), taps and clicks are rare.
class CRandomHand {
public:
  explicit CRandomHand(unsigned seed) : random(seed) {}

  // Feeds this frame's input through the seam.
  void Play()
  {
    for (const int key : {int('W'), int('A'), int('S'), int('D'), int(VK_SHIFT)}) {
      if (Chance(1, 40)) Win32TestSetKey(key, Chance(1, 2));
    }
    Win32TestMoveMouse(Between(-30, 30), Between(-12, 12));
    for (const int button : {VK_LBUTTON, VK_RBUTTON}) {
      if (Chance(1, 60)) Win32TestMouseButton(button, Chance(1, 2));
    }
    if (Chance(1, 90)) {
      Win32TestPointMouse(Between(0, 1279), Between(0, 719));
      Win32TestMouseButton(VK_LBUTTON, true);
      Win32TestMouseButton(VK_LBUTTON, false);
    }
    TapIf(VK_SPACE, Chance(1, 150));
    TapIf(VK_ESCAPE, Chance(1, 200));
    if (Chance(1, 300)) Win32TestSetFocus(false);
    if (Chance(1, 40)) Win32TestSetFocus(true);
  }

private:
  // True n times in d.
  bool Chance(int n, int d) { return std::uniform_int_distribution<int>(1, d)(random) <= n; }
  // A whole number in [low, high].
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
  // A key tapped last frame is let go; one chosen now is pressed.
  void TapIf(int key, bool press) { Win32TestSetKey(key, press); }

  std::mt19937 random;
};

// One frame through the loop; checks GL errors. False when the game ended itself.
bool Frame(CApplication* application, Totals* totals)
{
  const bool running = application->StepFrame();
  ++totals->frames;
  bool error = false;
  for (GLenum code = glGetError(); code != GL_NO_ERROR; code = glGetError()) {
    error = true;
    totals->lastGlError = code;
  }
  if (error) ++totals->framesWithGlErrors;
  return running;
}

// Runs a scene for a number of frames under random input; starts it again if it ends.
void Play(CApplication* application, const std::shared_ptr<CSceneBase>& scene, int frames, CRandomHand* hand,
          Totals* totals)
{
  // The scene takes over the way the game switches scenes, memory release included.
  if (GetCurrentScene())
    application->SwitchScene(scene);
  else
    application->BeginLoop(scene);
  for (int i = 0; i < frames; ++i) {
    hand->Play();
    if (!Frame(application, totals)) {
      ++totals->programEnds;
      application->EndLoop();
      application->BeginLoop(std::make_shared<CSceneTitle>());
    }
  }
  Win32TestReleaseKeys();
  Win32TestSetFocus(true);
}

}  // namespace

// Starts the program, plays rounds, shuts down; prints what it saw.
int main(int argc, char** argv)
{
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: %s [--seconds S | --rounds R] [--title-frames T] [--stage-frames F] "
                 "[--stage N] [--seed N]\n",
                 argv[0]);
    return 2;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  Win32TestSetClock(100000);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CApplication* application = CApplication::GetInstance();
  Win32TestQueueMessageBoxAnswer(IDNO);
  if (!application->Initialize(GetModuleHandleA(nullptr))) {
    std::printf("soak: start-up failed\n");
    return 1;
  }
  const std::vector<int> stages = options.onlyStage ? std::vector<int>{options.onlyStage} : StagesPresent();
  CRandomHand hand(options.seed);
  Totals totals;
  std::vector<long> resident;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 1;; ++round) {
    Play(application, std::make_shared<CSceneTitle>(), options.titleFrames, &hand, &totals);
    for (const int stage : stages) {
      application->stageNumber = stage;
      Play(application, std::make_shared<CSceneGame>(), options.stageFrames, &hand, &totals);
    }
    Win32TestTakeMessageBoxes();
    resident.push_back(ResidentKilobytes());
    std::printf("soak: round %d: %ld frames, resident %ld KB\n", round, totals.frames, resident.back());
    std::fflush(stdout);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.seconds > 0 ? elapsed >= options.seconds : round >= options.rounds) break;
  }
  application->EndLoop();
  application->ReleaseGraphics();
  OstrelLibrary::UninitSound();
  CoUninitialize();

  // Caches fill after the first round too (random input reaches some menus, messages and
  // effects only later), and the allocator keeps some slack: no later round may stand more
  // than a tenth (16 MB at least) above the first. One round cannot tell.
  const bool judged = resident.size() >= 2;
  const long first = resident.front();
  const long most = *std::max_element(resident.begin(), resident.end());
  const long allowed = std::max(16L * 1024, first / 10);
  const bool flat = !judged || most - first <= allowed;
  std::printf("soak: stages");
  for (const int stage : stages) std::printf(" %d", stage);
  std::printf("; %zu rounds, %ld frames, resident after round 1 %ld KB, at most %ld KB, at the end %ld KB (%s)\n",
              resident.size(), totals.frames, first, most, resident.back(),
              !judged ? "too few rounds to judge"
              : flat  ? "flat"
                      : "GREW");
  std::printf("soak: frames with GL errors %ld (last 0x%x); the game ended itself %d times\n",
              totals.framesWithGlErrors, totals.lastGlError, totals.programEnds);
  return flat && totals.framesWithGlErrors == 0 ? 0 : 1;
}
