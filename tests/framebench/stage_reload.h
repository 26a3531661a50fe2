// One more load of the running stage, as Retry makes it, timed for the frame benchmarks.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "playthrough.h"
#include "scene/scene_game.h"

// Each load's wall time and the main thread's CPU time, in milliseconds.
struct StageLoadTimes {
  std::vector<double> wall;
  std::vector<double> cpu;
};

// A fresh game scene after the running one's Uninit, as the loop switches scenes; only
// the Init is timed.
inline void ReloadStage(CDrawGate& gate, StageLoadTimes* times)
{
  auto scene = std::make_shared<CSceneGame>();
  gate.inner->Uninit(scene);
  gate.inner = scene;
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = ThreadCpuMilliseconds();
  scene->Init();
  times->cpu.push_back(ThreadCpuMilliseconds() - cpuStart);
  times->wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
}
