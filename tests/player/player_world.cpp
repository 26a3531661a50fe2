// The player tests' world: device, sound, scene, cursor and scratch folder.
#include "player_world.h"

#include <unistd.h>

#include <cstdlib>

#include <fstream>

#include "app/input.h"
#include "engine/sound.h"
#include "test_seam.h"

namespace fs = std::filesystem;

namespace {
// The sounds must load: the null OpenAL device, set before the first device opens
// (ctest's environment may not carry it).
const int useNullDevice = setenv("ALSOFT_DRIVERS", "null", 0);
}  // namespace

// The scratch folder links the generated content and keeps its own save file.
void PlayerWorld::SetUp()
{
  RenderTest::SetUp();
  previous = fs::current_path();
  scratch = fs::path(::testing::TempDir()) / ("solverica_player_" + std::to_string(::getpid()));
  fs::remove_all(scratch);
  fs::create_directories(scratch / "res" / "dat");
  for (const char* folder : {"game", "sound", "shader", "test"}) {
    fs::create_directory_symlink(previous / "res" / folder, scratch / "res" / folder);
  }
  std::ofstream(scratch / "res" / "dat" / "save.dat") << "1\n";
  fs::current_path(scratch);

  OstrelLibrary::InitSound(graphics->presentParameters.hDeviceWindow);
  application = CApplication::GetInstance();
  application->window = graphics->presentParameters.hDeviceWindow;
  application->input = InputSnapshot{};
  application->fadeOut = 0;
  application->fadeAlpha = 0;
  application->stageNumber = 1;
  SetCursorVisible(false);
  POINT home = {640, 360};
  ClientToScreen(application->window, &home);
  application->cursorHome = home;
  SetCursorPos(home.x, home.y);

  scene = std::make_shared<CSceneGame>();
  scene->nextScene = scene;
  scene->requestedScene = scene;
  scene->cameraEvent = 0;
  CActorBase::currentScene = scene;
  floor = std::make_shared<CBlockActor>("CGameMap", 0.0f, 0.0f, 0.0f);
  floor->mesh = graphics->GetMesh(device, "res/test/floor.x");
  ASSERT_TRUE(floor->mesh && floor->mesh->mesh) << "res/test/floor.x from the content build";
  player = std::make_shared<CGamePlayer>();
  camera = std::make_shared<CGameCamera>();
  scene->player = player;
  scene->camera = camera;
  scene->actors = {floor, player, camera};
  Step();  // the player's first frame makes its states
  walk = LockWalkState();
  goal = LockGoalState();
  ASSERT_NE(walk, nullptr);
  ASSERT_NE(goal, nullptr);
}

// The scene goes before the device; the folder goes last.
void PlayerWorld::TearDown()
{
  walk.reset();
  goal.reset();
  player.reset();
  camera.reset();
  floor.reset();
  if (scene) scene->Uninit(nullptr);
  scene.reset();
  application->input = InputSnapshot{};
  fs::current_path(previous);
  fs::remove_all(scratch);
  RenderTest::TearDown();
}

// The scene's frame; the edges of one frame are cleared as the loop would.
void PlayerWorld::Step(int frames)
{
  for (int i = 0; i < frames; ++i) {
    scene->Update();
    application->input.spacePressed = 0;
    application->input.escapePressed = 0;
  }
}

// Held keys as the snapshot carries them.
void PlayerWorld::Hold(int w, int a, int s, int d)
{
  application->input.keyW = w;
  application->input.keyA = a;
  application->input.keyS = s;
  application->input.keyD = d;
}

// Mouse motion through the Win32 seam: the hidden cursor is the virtual one.
void PlayerWorld::MoveCursor(int dx, int dy)
{
  Win32TestMoveMouse(dx, dy);
}

// Appended after the camera, as the stage file's gimmicks are.
std::shared_ptr<CBlockActor> PlayerWorld::AddBlock(const std::string& className, const std::string& meshPath, float x,
                                                   float y, float z)
{
  auto block = std::make_shared<CBlockActor>(className, x, y, z);
  if (!meshPath.empty()) block->mesh = graphics->GetMesh(device, meshPath);
  scene->actors.push_back(block);
  return block;
}

// The translation of the position matrix.
D3DXVECTOR3 PlayerWorld::Feet() const
{
  return D3DXVECTOR3(player->position._41, player->position._42, player->position._43);
}
