// The frame benchmark over every stage: each started by Continue from a saved number,
// its load (the scene's Init) timed, then the camera turned once round the start with
// every frame drawn. Prints each stage's load and frame times; asserts only that each
// stage ran.
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_figures.h"
#include "playthrough.h"
#include "scene/scene_game.h"

using EveryStageBench = PlaythroughTest;

TEST_F(EveryStageBench, EachStageLoadedAndLookedRound)
{
  std::printf("\nFrame benchmark, every stage on llvmpipe (1280 x 720, every frame drawn)\n");
  for (int number = 1; number <= 8; ++number) {
    std::ofstream("res/dat/save.dat", std::ios::binary) << number << "\r\n";
    RestartProgram();
    DrawEvery(20);
    gate->initMilliseconds.clear();
    ASSERT_TRUE(ContinueFromTitle());
    ASSERT_EQ(application->stageNumber, number);
    ASSERT_FALSE(gate->initMilliseconds.empty());
    const double load = gate->initMilliseconds.back();
    ASSERT_TRUE(SkipOpening());

    // A full turn of the camera, 18 pixels of mouse (3 degrees) a frame.
    DrawEvery(1);
    gate->updateMilliseconds.clear();
    frameMilliseconds.clear();
    for (int i = 0; i < 120; ++i) {
      MoveMouse(18, 0);
      ASSERT_TRUE(Frame());
    }
    std::printf("stage %d load (Init)     %8.1f ms\n", number, load);
    const std::string label = "stage " + std::to_string(number) + " whole frame";
    PrintFigures(label.c_str(), frameMilliseconds);
  }
}
