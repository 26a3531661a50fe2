// The frame benchmark over every stage: each started by Continue from a saved number
// with the texture and mesh caches emptied first, so its load (the scene's Init) is a
// first load as after start-up; then its first frame, a turn of the camera round the
// start with every frame drawn, and twenty more loads of the same stage. Prints each
// stage's figures and a table of the loads; asserts only that each stage ran.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "stage_reload.h"
#include "engine/graphics.h"
#include "playthrough.h"
#include "scene/scene_game.h"

namespace {

// The 1-minute load average, to say how busy the machine was.
double LoadAverage()
{
  double load[1] = {0.0};
  return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// Milliseconds since a start.
double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One stage's loads: the first after emptied caches, its first frame, then repeats.
struct StageLoads {
  double first = 0.0;
  double firstCpu = 0.0;
  double firstFrame = 0.0;
  StageLoadTimes repeats;
};

// Median and maximum of a list, sorted in place.
std::pair<double, double> MedianAndMax(std::vector<double>& values)
{
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.back()};
}

}  // namespace

using EveryStageBench = PlaythroughTest;

TEST_F(EveryStageBench, EachStageLoadedAndLookedRound)
{
  std::printf("\nFrame benchmark, every stage on llvmpipe (1280 x 720, every frame drawn)\n");
  std::printf("load average at start %.2f (2 cores)\n", LoadAverage());
  std::vector<StageLoads> table;
  for (int number = 1; number <= 8; ++number) {
    std::ofstream("res/dat/save.dat", std::ios::binary) << number << "\r\n";
    OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
    graphics->textureCache.clear();
    graphics->meshCache.clear();
    RestartProgram();
    DrawEvery(20);
    gate->initMilliseconds.clear();
    ASSERT_TRUE(ContinueFromTitle());
    ASSERT_EQ(application->stageNumber, number);
    ASSERT_FALSE(gate->initMilliseconds.empty());
    StageLoads loads;
    loads.first = gate->initMilliseconds.back();
    loads.firstCpu = gate->initCpuMilliseconds.back();
    DrawEvery(1);
    const auto frameStart = std::chrono::steady_clock::now();
    ASSERT_TRUE(Frame());
    loads.firstFrame = MillisecondsSince(frameStart);
    ASSERT_TRUE(SkipOpening());

    // A full turn of the camera, 18 pixels of mouse (3 degrees) a frame.
    gate->updateMilliseconds.clear();
    frameMilliseconds.clear();
    for (int i = 0; i < 120; ++i) {
      MoveMouse(18, 0);
      ASSERT_TRUE(Frame());
    }
    std::printf("stage %d first load (Init) %8.1f ms (CPU %.1f ms), first frame %6.1f ms\n", number, loads.first,
                loads.firstCpu, loads.firstFrame);
    const std::string label = "stage " + std::to_string(number) + " whole frame";
    PrintFigures(label.c_str(), frameMilliseconds);

    // The same stage again and again, as Retry does, a few frames between.
    DrawEvery(20);
    for (int i = 0; i < 20; ++i) {
      ReloadStage(*gate, &loads.repeats);
      Frames(3);
    }
    table.push_back(loads);
  }

  // Wall time is what a player waits; CPU time is what the load costs on a shared machine.
  std::printf("\nStage loads (Init), ms    first (CPU)  first frame  median/max of 20 (CPU median/max)\n");
  double worstFirst = 0.0, worstAny = 0.0, worstFirstCpu = 0.0;
  for (size_t i = 0; i < table.size(); ++i) {
    const auto [median, max] = MedianAndMax(table[i].repeats.wall);
    const auto [medianCpu, maxCpu] = MedianAndMax(table[i].repeats.cpu);
    std::printf("stage %zu             %7.1f (%5.1f)  %11.1f  %7.1f / %6.1f  (%5.1f / %5.1f)\n", i + 1, table[i].first,
                table[i].firstCpu, table[i].firstFrame, median, max, medianCpu, maxCpu);
    worstFirst = std::max(worstFirst, table[i].first);
    worstFirstCpu = std::max(worstFirstCpu, table[i].firstCpu);
    worstAny = std::max({worstAny, table[i].first, max});
  }
  std::printf("slowest first load %.1f ms (CPU %.1f ms), slowest of all loads %.1f ms (target: none over 50 ms)\n",
              worstFirst, worstFirstCpu, worstAny);
  std::printf("load average at end %.2f (2 cores)\n", LoadAverage());
}
