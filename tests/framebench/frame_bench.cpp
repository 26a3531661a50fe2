// The frame benchmark: stage 1 on the headless device. Prints, per drawn frame, the
// process CPU time (summed over the renderer's threads, so a busy machine inflates it
// less than wall time) and the wall time, for the full picture and the light one; then,
// on the real clock, drawn frames per second and game time against wall time; stage
// loads over 20 loads; peak memory. Then the same figures for 300 frames with both
// magic rays active (beams, rings, particles) in the test arena. Last, the peak memory
// of the game itself (solverica_soak, in a process of its own) at each quality, for
// stage 1 and for a round of every stage: this process holds both qualities and the test
// harness besides. Prints figures; asserts only that the routes and the game ran.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "magic_route.h"
#include "bench_figures.h"
#include "stage_reload.h"
#include "playthrough.h"
#include "scene/scene_game.h"
#include "shader/render_quality.h"
#include "test_seam.h"

namespace {

// The process's CPU time in milliseconds, all threads together.
double ProcessCpuMilliseconds()
{
  timespec now = {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6;
}

// The 1-minute load average, to say how busy the machine was.
double LoadAverage()
{
  double load[1] = {0.0};
  return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// Runs solverica_soak in the working folder (the harness's, whose res/ links the
// content) with the quality and arguments given and gives its peak resident memory in
// MB, or a negative number when it did not end well.
double GamePeakMegabytes(const char* quality, std::vector<std::string> arguments)
{
  arguments.insert(arguments.begin(), SOAK_PROGRAM);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    setenv("SOLVERICA_QUALITY", quality, 1);
    std::freopen("/dev/null", "w", stdout);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage = {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  return usage.ru_maxrss / 1024.0;
}

// The median of a list (0 for none).
double Median(std::vector<double> values)
{
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

class FrameBench : public PlaythroughTest {
protected:
  // Frames with every frame drawn, recording each frame's process CPU time.
  void CpuFrames(int count, std::vector<double>& cpu)
  {
    for (int i = 0; i < count; ++i) {
      const double before = ProcessCpuMilliseconds();
      ASSERT_TRUE(Frame());
      cpu.push_back(ProcessCpuMilliseconds() - before);
    }
  }

  // What a run on the real clock gave.
  struct RealClockFigures {
    double drawnPerSecond = 0.0;
    double gameToWall = 0.0;
  };

  // Runs the loop on the real clock for about the given wall time; prints drawn frames
  // per second and the game time (updates x 16 ms) against the wall time.
  RealClockFigures RealClockRun(const char* label, double wallMilliseconds)
  {
    RealClockFigures figures;
    Win32TestUseRealClock();
    const unsigned drawnBefore = gate->drawnFrames;
    const size_t updatesBefore = gate->updateMilliseconds.size();
    const double cpuBefore = ProcessCpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    double elapsed = 0.0;
    while (elapsed < wallMilliseconds) {
      EXPECT_TRUE(application->StepFrame());
      elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    const unsigned drawn = gate->drawnFrames - drawnBefore;
    const size_t updates = gate->updateMilliseconds.size() - updatesBefore;
    const double cpu = ProcessCpuMilliseconds() - cpuBefore;
    std::printf("%-26s %.1f s wall: %zu updates, %u drawn, %.1f drawn frames/s, game/wall %.3f, CPU %.1f ms/drawn\n",
                label, elapsed / 1000.0, updates, drawn, drawn * 1000.0 / elapsed, updates * 16.0 / elapsed,
                drawn ? cpu / drawn : 0.0);
    Win32TestSetClock(200000);
    figures.drawnPerSecond = drawn * 1000.0 / elapsed;
    figures.gameToWall = updates * 16.0 / elapsed;
    return figures;
  }
};

TEST_F(FrameBench, StageOneEveryFrameDrawn)
{
  std::printf("\nload average at start %.2f (2 cores)\n", LoadAverage());
  DrawEvery(1);
  const auto firstStart = std::chrono::steady_clock::now();
  ASSERT_TRUE(Frame());
  const double firstTitleFrame =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - firstStart).count();
  ASSERT_TRUE(StartNewGame());
  ASSERT_EQ(gate->initMilliseconds.size(), 1u);
  const double stageLoad = gate->initMilliseconds[0];
  const double stageLoadCpu = gate->initCpuMilliseconds[0];
  ASSERT_TRUE(SkipOpening());

  // Standing at the start, every frame drawn, on the fixed clock: the full picture,
  // then the light one.
  std::vector<double> standCpu;
  frameMilliseconds.clear();
  ApplyRenderQuality(RenderQuality::High);
  CpuFrames(60, standCpu);
  const std::vector<double> standWall = frameMilliseconds;
  std::vector<double> lowCpu;
  frameMilliseconds.clear();
  ApplyRenderQuality(RenderQuality::Low);
  CpuFrames(60, lowCpu);
  const std::vector<double> lowWall = frameMilliseconds;

  // Drawn frames per second and game time against wall time, on the real clock.
  const RealClockFigures lowClock = RealClockRun("real clock, low", 8000.0);
  ApplyRenderQuality(RenderQuality::High);
  const RealClockFigures highClock = RealClockRun("real clock, high", 8000.0);

  // The route's walk, timed frame by frame.
  gate->updateMilliseconds.clear();
  frameMilliseconds.clear();
  std::vector<double> routeCpu;
  const std::shared_ptr<CSceneGame> stage = Game();
  const struct {
    float x, z;
  } points[] = {{0.0f, 12.0f},  {0.0f, 21.5f},  {0.0f, 30.2f}, {10.0f, 30.5f},
                {10.0f, 19.0f}, {10.0f, 30.5f}, {0.0f, 32.0f}, {0.0f, 34.5f}};
  double cpuBefore = ProcessCpuMilliseconds();
  size_t framesBefore = 0;
  // Each route frame's CPU time, taken between the route's own frames.
  auto takeCpu = [&] {
    for (; framesBefore < frameMilliseconds.size(); ++framesBefore) {
      const double now = ProcessCpuMilliseconds();
      routeCpu.push_back(now - cpuBefore);
      cpuBefore = now;
    }
    return stage->goalReached != 0;
  };
  for (const auto& point : points) {
    ASSERT_TRUE(WalkTo(point.x, point.z, 0.3f, 400, takeCpu));
  }
  const size_t routeFrames = frameMilliseconds.size();
  const double routeCpuTotal = std::accumulate(routeCpu.begin(), routeCpu.end(), 0.0);
  // Drawing is what a frame spends besides the update: the passes, the fade, present.
  std::vector<double> drawMilliseconds;
  for (size_t i = 0; i < frameMilliseconds.size(); ++i) {
    drawMilliseconds.push_back(frameMilliseconds[i] - gate->updateMilliseconds[i]);
  }
  const std::vector<double> updates = gate->updateMilliseconds;
  const std::vector<double> wholeFrames = frameMilliseconds;
  for (int i = 0; i < 250 && Game() == stage; ++i) ASSERT_TRUE(Frame());
  EXPECT_EQ(stage->goalReached, 1);

  // Stage loads: the stage running after the route (printed), loaded afresh twenty
  // times, a few drawn frames between.
  const int reloadedStage = application->stageNumber;
  StageLoadTimes reloads;
  for (int i = 0; i < 20; ++i) {
    ReloadStage(*gate, &reloads);
    Frames(3);
  }
  const std::vector<double>& loads = reloads.wall;

  std::printf("\nFrame benchmark, stage 1 on llvmpipe (1280 x 720)\n");
  std::printf("start-up (Initialize)   %8.1f ms\n", PlaythroughStartupMilliseconds());
  std::printf("first title frame       %8.1f ms\n", firstTitleFrame);
  std::printf("stage 1 first load      %8.1f ms (main thread CPU %.1f ms)\n", stageLoad, stageLoadCpu);
  std::printf("repeat loads of stage %d:\n", reloadedStage);
  PrintFigures("stage loads (20)", loads);
  PrintFigures("stage loads (20), CPU", reloads.cpu);
  PrintFigures("standing high: CPU/frame", standCpu);
  PrintFigures("standing high: wall/frame", standWall);
  PrintFigures("standing low: CPU/frame", lowCpu);
  PrintFigures("standing low: wall/frame", lowWall);
  PrintFigures("route: CPU/frame", routeCpu);
  std::printf("route: CPU total %.0f ms over %zu frames\n", routeCpuTotal, routeFrames);
  PrintFigures("route: scene update", updates);
  PrintFigures("route: drawing+present", drawMilliseconds);
  PrintFigures("route: whole frame", wholeFrames);
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory (max RSS)   %8.1f MB\n", usage.ru_maxrss / 1024.0);
  std::printf("load average at end %.2f (2 cores)\n", LoadAverage());

  // The figures side by side with their targets.
  std::printf("\nSummary                          high      low   target\n");
  std::printf("CPU ms per drawn frame (median) %7.1f  %7.1f   high <= 125\n", Median(standCpu), Median(lowCpu));
  std::printf("wall ms per drawn frame (median)%7.1f  %7.1f\n", Median(standWall), Median(lowWall));
  std::printf("drawn frames per wall second    %7.1f  %7.1f   low >= 30\n", highClock.drawnPerSecond,
              lowClock.drawnPerSecond);
  std::printf("game time / wall time           %7.3f  %7.3f   0.97 .. 1.03\n", highClock.gameToWall,
              lowClock.gameToWall);
  std::printf("stage 1 first load (ms)         %7.1f            <= 50 (CPU %.1f)\n", stageLoad, stageLoadCpu);
  std::printf("stage load median / max (ms)    %7.1f  %7.1f   max <= 50 (20 loads of stage %d)\n", Median(loads),
              *std::max_element(loads.begin(), loads.end()), reloadedStage);
  std::printf("peak memory (MB)                %7.1f            < 150\n", usage.ru_maxrss / 1024.0);
}

using MagicFrameBench = MagicRoute;

TEST_F(MagicFrameBench, BothRaysActiveForThreeHundredFrames)
{
  DrawEvery(1);
  LinkArenaAsStageThree();
  ASSERT_TRUE(ContinueAtStage(3));
  ASSERT_TRUE(SkipOpening());
  const CGameMetalBlock* block = Block(0);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(LookAt(D3DXVECTOR3(block->world._41, block->world._42 + 1.5f, block->world._43)));
  Button(VK_LBUTTON, true);
  Button(VK_RBUTTON, true);
  ASSERT_TRUE(WaitFor([&] { return Ray(Blue)->active && Ray(Red)->active; }, 120, "both rays to fire"));

  gate->updateMilliseconds.clear();
  frameMilliseconds.clear();
  size_t effects = 0;
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(Frame());
    ASSERT_TRUE(Ray(Blue)->active && Ray(Red)->active) << "frame " << i;
    effects = std::max(effects, Game()->effects.size());
  }
  Button(VK_LBUTTON, false);
  Button(VK_RBUTTON, false);
  std::vector<double> drawMilliseconds;
  for (size_t i = 0; i < frameMilliseconds.size(); ++i) {
    drawMilliseconds.push_back(frameMilliseconds[i] - gate->updateMilliseconds[i]);
  }
  std::printf("\nFrame benchmark, both magic rays active in the test arena (every frame drawn)\n");
  std::printf("live effects (most)     %8zu\n", effects);
  PrintFigures("scene update", gate->updateMilliseconds);
  PrintFigures("drawing and present", drawMilliseconds);
  PrintFigures("whole frame", frameMilliseconds);
}

// The game's own peak memory, each run in a fresh process: stage 1 for 400 frames and a
// round of all eight stages (240 frames each), at each quality.
TEST(GameMemoryBench, PeakOfTheGameAtEachQuality)
{
  const std::vector<std::string> stageOne = {"--stage", "1", "--rounds", "1", "--stage-frames", "400"};
  const std::vector<std::string> everyStage = {"--rounds", "1"};
  const double figures[] = {GamePeakMegabytes("high", stageOne), GamePeakMegabytes("low", stageOne),
                            GamePeakMegabytes("high", everyStage), GamePeakMegabytes("low", everyStage)};
  for (const double megabytes : figures) EXPECT_GT(megabytes, 0.0) << "the game did not end well";
  std::printf("\nPeak memory of the game (MB)     high      low   target\n");
  std::printf("stage 1, 400 frames             %7.1f  %7.1f   < 150\n", figures[0], figures[1]);
  std::printf("every stage, one round          %7.1f  %7.1f   < 150\n", figures[2], figures[3]);
}
