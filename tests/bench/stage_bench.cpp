// The game scene's actor step on stage 1: every actor's Update once, as one frame runs
// it (map, player with its states and body parts, camera, goal), with the ray queries
// against the generated map mesh. Run from the build folder, which holds res/.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "actor/player/game_player.h"
#include "app/application.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"
#include "windows.h"

namespace {

// Every message to the default handler.
LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden window, the device and the shaders, once per process.
bool StartDevice()
{
  static bool started = false;
  if (started) return true;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = BenchWindowProc;
  windowClass.lpszClassName = "StageBench";
  RegisterClassExA(&windowClass);
  HWND window = CreateWindowExA(0, "StageBench", "stage bench", WS_OVERLAPPED, 0, 0, 1280, 720, nullptr, nullptr,
                                nullptr, nullptr);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  if (!window || !graphics->Init(window, 1280, 720, false)) return false;
  graphics->SetDefaultStates();
  CShaderManager* shaders = CShaderManager::GetInstance();
  shaders->toon.Load();
  shaders->outline.Load();
  shaders->blur.Load();
  shaders->shadowMap.Load();
  shaders->puddle.Load();
  started = true;
  return true;
}

// Stage 1 started and past its opening, the player on the floor at the start.
std::shared_ptr<CSceneGame> StartStageOne()
{
  CApplication::GetInstance()->stageNumber = 1;
  std::shared_ptr<CSceneGame> scene = std::make_shared<CSceneGame>();
  scene->Init();
  scene->cameraEvent = 0;
  for (int frame = 0; frame < 10; ++frame) scene->Update();
  return scene;
}

// The actor step of one frame.
void ActorStep(CSceneGame& scene)
{
  for (size_t i = 0; i < scene.actors.size(); ++i) scene.actors[i]->Update();
}

// The player standing still: gravity and landing, the camera's aim ray, the goal test.
void BM_ActorStepStanding(benchmark::State& state)
{
  if (!StartDevice()) {
    state.SkipWithError("no device");
    return;
  }
  std::shared_ptr<CSceneGame> scene = StartStageOne();
  for (auto _ : state) ActorStep(*scene);
  state.counters["actors"] = static_cast<double>(scene->actors.size());
  scene->Uninit(nullptr);
}
BENCHMARK(BM_ActorStepStanding)->Unit(benchmark::kMicrosecond);

// The player walking north with W held (wall pushes as well), taken back to the start
// every 150 frames so that it keeps walking through the entrance hall and corridor.
void BM_ActorStepWalking(benchmark::State& state)
{
  if (!StartDevice()) {
    state.SkipWithError("no device");
    return;
  }
  std::shared_ptr<CSceneGame> scene = StartStageOne();
  CApplication* application = CApplication::GetInstance();
  CGamePlayer* player = dynamic_cast<CGamePlayer*>(scene->player.get());
  application->input.keyW = 1;
  int frames = 0;
  for (auto _ : state) {
    ActorStep(*scene);
    if (++frames % 150 == 0 && player) {
      state.PauseTiming();
      D3DXMatrixTranslation(&player->position, 0.0f, 0.02f, 0.0f);
      state.ResumeTiming();
    }
  }
  application->input.keyW = 0;
  if (player) state.counters["z"] = player->position._43;
  scene->Uninit(nullptr);
}
BENCHMARK(BM_ActorStepWalking)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
