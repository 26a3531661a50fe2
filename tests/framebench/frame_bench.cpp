// The frame benchmark: the stage 1 route with every frame drawn. Prints the scene
// update time and the whole frame time (update, drawing, fade and present) per frame as
// median, 99th percentile and maximum, the stage's load (its Init), the start-up and the
// first title frame, and the peak memory. Then the same figures for 300 frames with both
// magic rays active (beams, rings, particles) in the test arena. Prints figures; asserts
// only that the routes ran.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "magic_route.h"
#include "bench_figures.h"
#include "playthrough.h"
#include "scene/scene_game.h"

using FrameBench = PlaythroughTest;

TEST_F(FrameBench, StageOneEveryFrameDrawn)
{
  DrawEvery(1);
  const auto firstStart = std::chrono::steady_clock::now();
  ASSERT_TRUE(Frame());
  const double firstTitleFrame =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - firstStart).count();
  ASSERT_TRUE(StartNewGame());
  ASSERT_EQ(gate->initMilliseconds.size(), 1u);
  const double stageLoad = gate->initMilliseconds[0];
  ASSERT_TRUE(SkipOpening());

  // The route's walk, timed frame by frame.
  gate->updateMilliseconds.clear();
  frameMilliseconds.clear();
  const std::shared_ptr<CSceneGame> stage = Game();
  const struct {
    float x, z;
  } points[] = {{0.0f, 12.0f},  {0.0f, 21.5f},  {0.0f, 30.2f}, {10.0f, 30.5f},
                {10.0f, 19.0f}, {10.0f, 30.5f}, {0.0f, 32.0f}, {0.0f, 34.5f}};
  for (const auto& point : points) {
    ASSERT_TRUE(WalkTo(point.x, point.z, 0.3f, 400, [&] { return stage->goalReached != 0; }));
  }
  for (int i = 0; i < 250 && Game() == stage; ++i) ASSERT_TRUE(Frame());
  // Drawing is what a frame spends besides the update: the passes, the fade, present.
  ASSERT_EQ(frameMilliseconds.size(), gate->updateMilliseconds.size());
  std::vector<double> drawMilliseconds;
  for (size_t i = 0; i < frameMilliseconds.size(); ++i) {
    drawMilliseconds.push_back(frameMilliseconds[i] - gate->updateMilliseconds[i]);
  }
  std::printf("\nFrame benchmark, stage 1 on llvmpipe (1280 x 720, every frame drawn)\n");
  std::printf("start-up (Initialize)   %8.1f ms\n", PlaythroughStartupMilliseconds());
  std::printf("first title frame       %8.1f ms\n", firstTitleFrame);
  std::printf("stage 1 load (Init)     %8.1f ms\n", stageLoad);
  PrintFigures("scene update", gate->updateMilliseconds);
  PrintFigures("drawing and present", drawMilliseconds);
  PrintFigures("whole frame", frameMilliseconds);
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory (max RSS)   %8.1f MB\n", usage.ru_maxrss / 1024.0);
  EXPECT_EQ(stage->goalReached, 1);
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
