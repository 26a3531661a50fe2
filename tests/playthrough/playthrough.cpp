// The playthrough harness: start-up once per process in a scratch folder, the draw
// gate, frames, input, route helpers and the state the routes assert on.
#include "../support/input_reset.h"
#include "playthrough.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "app/input.h"
#include "app/records.h"
#include "app/screenshot.h"
#include "engine/graphics.h"
#include "engine/sound.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "shader/shader_manager.h"
#include "sprite/sprite_hud.h"
#include "sprite/sprite_menu.h"
#include "sprite/sprite_records.h"
#include "sprite/sprite_title.h"
#include "platform_file.h"
#include "test_seam.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch;
fs::path buildDir;
double startupMilliseconds = 0.0;

// Milliseconds since an earlier point.
double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
const float radiansToDegrees = 57.2957795f;
// Sound on the null OpenAL device, set before start-up opens it (ctest's environment
// may not carry it).
const int useNullDevice = setenv("ALSOFT_DRIVERS", "null", 0);
// The routes look at the full picture, though llvmpipe would choose the light one.
const int useHighQuality = setenv("SOLVERICA_QUALITY", "high", 0);
// The fixed clock starts here; every frame moves it on by the loop's 16 ms.
const DWORD startClock = 100000;

// The stage a test program swaps for a test stage, if any.
struct TestStage {
  int stage = 0;
  std::string folder;
};
// Held in a function so that a static initialiser of another file may set it first.
TestStage& RequestedTestStage()
{
  static TestStage requested;
  return requested;
}

// res/game is linked entry by entry and its map folder file by file, so that the test
// stage's two meshes can stand in the map folder under the stage's own names; its
// stage file replaces the copied one.
void LinkTestStage()
{
  const TestStage& testStage = RequestedTestStage();
  const fs::path game = buildDir / "res" / "game", folder = buildDir / "res" / testStage.folder;
  const std::string number = std::to_string(testStage.stage);
  fs::create_directories(scratch / "res" / "game" / "map");
  for (const fs::directory_entry& entry : fs::directory_iterator(game)) {
    if (entry.path().filename() != "map")
      fs::create_symlink(entry.path(), scratch / "res" / "game" / entry.path().filename());
  }
  const std::string own[2] = {"map." + number + ".x", "depth_map." + number + ".x"};
  for (const fs::directory_entry& entry : fs::directory_iterator(game / "map")) {
    const std::string name = entry.path().filename().string();
    if (name != own[0] && name != own[1]) fs::create_symlink(entry.path(), scratch / "res" / "game" / "map" / name);
  }
  fs::create_symlink(folder / "map.x", scratch / "res" / "game" / "map" / own[0]);
  fs::create_symlink(folder / "depth_map.x", scratch / "res" / "game" / "map" / own[1]);
  const fs::path stageFile = scratch / "res" / "dat" / ("map." + number + ".dat");
  fs::remove(stageFile);
  fs::copy_file(folder / "map.dat", stageFile);
}

// Starts the program once: the full-screen question answered No, in a scratch folder
// whose res/ links the generated content and holds its own dat/ (the stage files copied,
// a save file holding 1), so the save file the routes write stays there.
class PlaythroughEnvironment : public ::testing::Environment {
public:
  void SetUp() override
  {
    buildDir = fs::current_path();
    scratch = fs::path(::testing::TempDir()) / ("solverica_playthrough_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "res" / "dat");
    for (const fs::directory_entry& entry : fs::directory_iterator(buildDir / "res")) {
      const std::string name = entry.path().filename().string();
      if (name == "dat" || (RequestedTestStage().stage && name == "game")) continue;
      fs::create_symlink(entry.path(), scratch / "res" / name);
    }
    if (fs::exists(buildDir / "res" / "dat")) {
      for (const fs::directory_entry& entry : fs::directory_iterator(buildDir / "res" / "dat")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("map.", 0) == 0) fs::copy_file(entry.path(), scratch / "res" / "dat" / name);
      }
    }
    if (RequestedTestStage().stage) LinkTestStage();
    std::ofstream(scratch / "res" / "dat" / "save.dat") << "1\n";
    fs::current_path(scratch);
    Win32TestSetClock(startClock);  // before start-up: the random seed is the clock
    Win32TestQueueMessageBoxAnswer(IDNO);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(CApplication::GetInstance()->Initialize(GetModuleHandleA(nullptr)));
    startupMilliseconds = MillisecondsSince(start);
    Win32TestTakeMessageBoxes();
  }
  void TearDown() override
  {
    CApplication* application = CApplication::GetInstance();
    application->EndLoop();
    application->ReleaseGraphics();
    OstrelLibrary::UninitSound();
    fs::current_path(buildDir);
    if (!std::getenv("SOLVERICA_KEEP_SCRATCH")) fs::remove_all(scratch);
  }
};

const ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new PlaythroughEnvironment);

// An angle in degrees brought into [-180, 180).
float WrapDegrees(float degrees)
{
  float wrapped = std::fmod(degrees + 180.0f, 360.0f);
  if (wrapped < 0.0f) wrapped += 360.0f;
  return wrapped - 180.0f;
}

// Mouse pixels for a turn of whole degrees (six pixels a degree), at most 30 degrees a
// frame so the view turns as a hand would turn it.
int PixelsForTurn(float degrees)
{
  const float whole = std::clamp(std::round(degrees), -30.0f, 30.0f);
  return static_cast<int>(whole) * 6;
}

// The menu button among the shown sprites whose picture is this texture, or null.
const MenuButton* FindButton(const std::shared_ptr<CSceneBase>& scene,
                             const std::shared_ptr<OstrelLibrary::CTexture>& picture)
{
  std::vector<const MenuButton*> buttons;
  if (const auto title = std::dynamic_pointer_cast<CSceneTitle>(scene)) {
    bool pageOpen = false;
    for (const std::shared_ptr<CSpriteBase>& sprite : title->frontSprites) {
      if (const auto option = std::dynamic_pointer_cast<CTitleOption>(sprite)) {
        if (option->optionsPage.IsOpen()) {
          buttons.push_back(&option->optionsPage.backButton);
          pageOpen = true;
          continue;
        }
        buttons.push_back(&option->startButton);
        buttons.push_back(&option->continueButton);
        buttons.push_back(&option->optionsButton);
      }
      // The options page covers the corners: the records and stage sets buttons wait under it.
      const auto corner = std::dynamic_pointer_cast<CTitleCornerButton>(sprite);
      if (corner && !pageOpen) buttons.push_back(&corner->button);
    }
  }
  if (const auto game = std::dynamic_pointer_cast<CSceneGame>(scene)) {
    for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
      if (const auto pause = std::dynamic_pointer_cast<CSpritePause>(sprite); pause && game->paused) {
        if (pause->optionsPage.IsOpen()) {
          buttons.push_back(&pause->optionsPage.backButton);
          continue;
        }
        buttons.push_back(&pause->resumeButton);
        buttons.push_back(&pause->retryButton);
        buttons.push_back(&pause->titleButton);
        buttons.push_back(&pause->optionsButton);
      }
      if (const auto escape = std::dynamic_pointer_cast<CSpriteEscape>(sprite); escape && game->escapeOpen) {
        buttons.push_back(&escape->yesButton);
        buttons.push_back(&escape->noButton);
      }
    }
  }
  for (const MenuButton* button : buttons) {
    if (button->texture == picture) return button;
  }
  return nullptr;
}

}  // namespace

// Remembered for the environment's start-up.
bool PlaythroughUseTestStage(int stage, const std::string& folder)
{
  RequestedTestStage() = TestStage{stage, folder};
  return true;
}

// The scratch folder.
std::string PlaythroughScratchDir()
{
  return scratch.string();
}

// Beside the tests, so that it outlives the scratch folder.
std::string PlaythroughFailureDir()
{
  return (buildDir / "playthrough-failures").string();
}

// Where start-up found the tests.
std::string PlaythroughBuildDir()
{
  return buildDir.string();
}

// From the clock of the calling thread.
double ThreadCpuMilliseconds()
{
  timespec now = {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6;
}

// Start-up's duration.
double PlaythroughStartupMilliseconds()
{
  return startupMilliseconds;
}

// A successor replaces the inner scene exactly as the loop would replace the gate.
std::shared_ptr<CSceneBase> CDrawGate::Update()
{
  const auto start = std::chrono::steady_clock::now();
  std::shared_ptr<CSceneBase> next = inner->Update();
  updateMilliseconds.push_back(MillisecondsSince(start));
  if (next == inner) return shared_from_this();
  if (!next) return nullptr;
  inner->Uninit(next);
  inner = next;
  const auto initStart = std::chrono::steady_clock::now();
  const double initCpuStart = ThreadCpuMilliseconds();
  CApplication::GetInstance()->ReleaseBetweenScenes();
  inner->Init();
  initMilliseconds.push_back(MillisecondsSince(initStart));
  initCpuMilliseconds.push_back(ThreadCpuMilliseconds() - initCpuStart);
  return shared_from_this();
}

// Only frames the loop draws get here.
void CDrawGate::Draw()
{
  ++drawnFrames;
  inner->Draw();
}

// Each route starts at the title, stage 1 in memory and on disk, nothing held.
void PlaythroughTest::SetUp()
{
  application = CApplication::GetInstance();
  Win32TestSetClock(startClock);
  std::srand(startClock);
  ResetInputPath(application);
  application->stageNumber = 1;
  std::ofstream("res/dat/save.dat") << "1\n";
  std::remove("res/dat/records.txt");  // each route sets its own times
  ReloadGameRecords();
  PointAt(20, 20);
  gate = std::make_shared<CDrawGate>(std::make_shared<CSceneTitle>());
  application->BeginLoop(gate);
}

// Nothing held or queued may leak into the next route.
void PlaythroughTest::TearDown()
{
  application->EndLoop();
  application->drawingAllowed = true;
  gate.reset();
  Win32TestReleaseKeys();
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, false);
  while (Win32TestQueuedMessageBoxAnswers() > 0) MessageBoxA(nullptr, "", "", MB_OK);
  Win32TestTakeMessageBoxes();
}

// The route decides before each frame whether it is drawn.
bool PlaythroughTest::Frame()
{
  ++frameNumber;
  // An undrawn frame runs as one the loop owes the clock: no clear, no drawing, no present.
  application->drawingAllowed = drawEvery <= 1 || frameNumber % static_cast<unsigned>(drawEvery) == 0;
  lastFrameDrawn = application->drawingAllowed;
  const auto start = std::chrono::steady_clock::now();
  const bool running = application->StepFrame();
  frameMilliseconds.push_back(MillisecondsSince(start));
  return running;
}

// Frames that must not end the program.
void PlaythroughTest::Frames(int count)
{
  for (int i = 0; i < count; ++i) {
    if (!Frame()) {
      ADD_FAILURE() << "the program ended " << i << " frames into " << count;
      return;
    }
  }
}

// From the next frame on.
void PlaythroughTest::DrawEvery(int n)
{
  drawEvery = std::max(1, n);
}

// The back buffer as a PNG at the path, the way F12 copies and writes it.
static bool WriteBackBuffer(const std::string& path)
{
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
  return CopyBackBuffer(&rgba, &width, &height) && PlatformWritePng(path.c_str(), width, height, rgba.data());
}

// Reads the back buffer the last drawn frame went into.
void PlaythroughTest::Screenshot(const std::string& name)
{
  if (!lastFrameDrawn) {
    const int every = drawEvery;
    drawEvery = 1;
    Frames(1);
    drawEvery = every;
  }
  const char* chosen = std::getenv("SOLVERICA_SCREENSHOTS");
  const std::string path = (chosen ? std::string(chosen) : scratch.string()) + "/" + name;
  EXPECT_TRUE(WriteBackBuffer(path)) << path;
}

// Numbered per route; an undrawn frame is followed by one drawn frame first.
std::string PlaythroughTest::SaveFailureScreenshot()
{
  if (!lastFrameDrawn) {
    const int every = drawEvery;
    drawEvery = 1;
    Frame();
    drawEvery = every;
  }
  const fs::path folder = PlaythroughFailureDir();
  fs::create_directories(folder);
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string path = (folder / (name + "-" + std::to_string(++failures) + ".png")).string();
  if (!WriteBackBuffer(path)) return "(no screenshot)";
  return path;
}

// Through the Win32 seam, as the keyboard would deliver it.
void PlaythroughTest::Key(int virtualKey, bool down)
{
  Win32TestSetKey(virtualKey, down);
}

// One frame down, then up.
void PlaythroughTest::TapKey(int virtualKey)
{
  Key(virtualKey, true);
  Frames(1);
  Key(virtualKey, false);
}

// Down and up before the next frame.
void PlaythroughTest::Click()
{
  Win32TestMouseButton(VK_LBUTTON, true);
  Win32TestMouseButton(VK_LBUTTON, false);
}

// Moves the pointer, or the virtual cursor while the game hides the pointer.
void PlaythroughTest::MoveMouse(int dx, int dy)
{
  Win32TestMoveMouse(dx, dy);
}

// Client pixels are back-buffer pixels in the 1280 x 720 window.
void PlaythroughTest::PointAt(float x, float y)
{
  Win32TestPointMouse(static_cast<int>(x), static_cast<int>(y));
}

// The picture is looked up in the texture cache, so the button is found by the very
// picture it draws. The click lands in the frame after the next one.
bool PlaythroughTest::ButtonCentre(const std::string& picturePath, float* x, float* y)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const std::shared_ptr<OstrelLibrary::CTexture> picture = graphics->GetTexture(graphics->device, picturePath);
  const MenuButton* button = FindButton(CurrentScene(), picture);
  if (!button) {
    ADD_FAILURE() << Report("a shown menu button with the picture " + picturePath) << "\nscreenshot "
                  << SaveFailureScreenshot();
    return false;
  }
  *x = button->position._41 + PictureWidth(button->texture) * 0.5f;
  *y = button->position._42 + PictureHeight(button->texture) * 0.5f;
  return true;
}

// Points at the button's middle and clicks.
void PlaythroughTest::ClickButton(const std::string& picturePath)
{
  float x = 0.0f;
  float y = 0.0f;
  if (!ButtonCentre(picturePath, &x, &y)) return;
  // Showing the cursor warps the pointer home, and that motion may still be queued:
  // the pointer is placed, one frame drains the queue, then it is placed again and
  // clicks, as a hand moves onto a button before pressing it.
  PointAt(x, y);
  Frames(1);
  PointAt(x, y);
  Click();
}

// The menu takes clicks from its seventh frame.
bool PlaythroughTest::StartNewGame()
{
  if (!WaitFor([&] { return Title() != nullptr; }, 1, "the title")) return false;
  Click();
  Frames(7);
  ClickButton("res/title/char/start.png");
  return WaitFor([&] { return Game() != nullptr; }, 80, "the stage to start after Start");
}

// The edge is seen by the snapshot of the frame Space is down in, and taken by the
// camera in the next.
bool PlaythroughTest::SkipOpening()
{
  Key(VK_SPACE, true);
  Frames(1);
  Key(VK_SPACE, false);
  return WaitFor([&] { return Game() && Game()->cameraEvent == 0; }, 2, "the opening to end on Space") &&
         WaitFor([&] { return application->fadeAlpha == 0; }, 60, "the stage to fade in");
}

// The box settles at 50 after 34 frames; a click then closes it, and it fades in 26.
bool PlaythroughTest::CloseOrbMessage()
{
  if (!WaitFor([&] { return OrbMessage() && OrbMessage()->transform._42 >= OrbMessage()->restY; }, 60,
               "the orb message to settle")) {
    return false;
  }
  Click();
  return WaitFor([&] { return Game() && Game()->orbObtained == 0; }, 60, "the orb message to close on a click");
}

// The loop is ended and begun again with a fresh title.
void PlaythroughTest::RestartProgram()
{
  application->EndLoop();
  gate.reset();
  application->stageNumber = 1;
  application->fadeOut = 0;
  application->fadeAlpha = 0;
  application->LoadSaveData();
  gate = std::make_shared<CDrawGate>(std::make_shared<CSceneTitle>());
  application->BeginLoop(gate);
}

// The menu takes clicks from its seventh frame after the click that opens it.
bool PlaythroughTest::ContinueFromTitle()
{
  Frames(30);
  Click();
  Frames(1);
  if (!Title() || Title()->titleState != 1) {
    ADD_FAILURE() << Report("the click to open the title menu");
    return false;
  }
  Frames(6);
  ClickButton("res/title/char/continue.png");
  return WaitFor([&] { return Game() != nullptr; }, 80, "the stage to start after Continue");
}

// The condition is checked before each frame, so one already true costs no frame.
bool PlaythroughTest::WaitFor(const std::function<bool()>& condition, int maxFrames, const std::string& what)
{
  for (int i = 0; i < maxFrames; ++i) {
    if (condition()) return true;
    if (!Frame()) {
      ADD_FAILURE() << Report(what) << "\nthe program ended";
      return false;
    }
  }
  if (condition()) return true;
  ADD_FAILURE() << Report(what) << "\ntimed out after " << maxFrames << " frames\nscreenshot "
                << SaveFailureScreenshot();
  return false;
}

// The camera's yaw is what W follows, so turning it by mouse motion steers; W is held
// only while the heading is roughly right, so corners are turned on the spot.
bool PlaythroughTest::WalkTo(float x, float z, float tolerance, int maxFrames, const std::function<bool()>& until)
{
  char target[96];
  std::snprintf(target, sizeof target, "the player within %.2f of (%.2f, %.2f)", tolerance, x, z);
  for (int i = 0; i < maxFrames; ++i) {
    CGameCamera* camera = Camera();
    const D3DXVECTOR3 at = PlayerPosition();
    const float dx = x - at.x, dz = z - at.z;
    if (std::sqrt(dx * dx + dz * dz) <= tolerance || (until && until())) {
      Key('W', false);
      return true;
    }
    // An orb met on the way is taken as a player would: the message is read, then
    // clicked away, and the walk goes on.
    const std::shared_ptr<CSceneGame> game = Game();
    if (game && game->orbObtained) {
      Key('W', false);
      if (!CloseOrbMessage()) return false;
      continue;
    }
    if (camera) {
      const float turn = WrapDegrees(std::atan2(dx, dz) * radiansToDegrees - camera->yaw);
      if (std::fabs(turn) > 0.6f) MoveMouse(PixelsForTurn(turn), 0);
      Key('W', std::fabs(turn) < 60.0f);
    }
    if (!Frame()) {
      Key('W', false);
      ADD_FAILURE() << Report(target) << "\nthe program ended";
      return false;
    }
  }
  Key('W', false);
  ADD_FAILURE() << Report(target) << "\ntimed out after " << maxFrames << " frames\nscreenshot "
                << SaveFailureScreenshot();
  return false;
}

// Whole degrees: the camera turns by one degree per six pixels.
bool PlaythroughTest::FaceDirection(float yawDegrees, int maxFrames)
{
  char what[64];
  std::snprintf(what, sizeof what, "the camera's yaw at %.1f", yawDegrees);
  return WaitFor(
      [&] {
        CGameCamera* camera = Camera();
        if (!camera) return false;
        const float turn = WrapDegrees(yawDegrees - camera->yaw);
        if (std::fabs(turn) <= 0.6f) return true;
        MoveMouse(PixelsForTurn(turn), 0);
        return false;
      },
      maxFrames, what);
}

// The aim ray starts at the camera's look-at point, so the angles are taken from there.
bool PlaythroughTest::LookAt(const D3DXVECTOR3& point, int maxFrames)
{
  char what[96];
  std::snprintf(what, sizeof what, "the camera looking at (%.1f, %.1f, %.1f)", point.x, point.y, point.z);
  return WaitFor(
      [&] {
        CGameCamera* camera = Camera();
        if (!camera) return false;
        const D3DXVECTOR3 d = point - camera->lookAt;
        const float yaw = std::atan2(d.x, d.z) * radiansToDegrees;
        const float pitch = -std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)) * radiansToDegrees;
        const float turnYaw = WrapDegrees(yaw - camera->yaw);
        const float turnPitch = std::clamp(pitch, -89.0f, 45.0f) - camera->pitch;
        if (std::fabs(turnYaw) <= 0.6f && std::fabs(turnPitch) <= 0.6f) return true;
        MoveMouse(std::fabs(turnYaw) > 0.6f ? PixelsForTurn(turnYaw) : 0,
                  std::fabs(turnPitch) > 0.6f ? PixelsForTurn(turnPitch) : 0);
        return false;
      },
      maxFrames, what);
}

// Pressed through the window messages, released at the end.
void PlaythroughTest::HoldMouseButton(int virtualKey, int frames, const std::function<bool()>& until)
{
  Win32TestMouseButton(virtualKey, true);
  for (int i = 0; i < frames; ++i) {
    if (until && until()) break;
    if (!Frame()) break;
  }
  Win32TestMouseButton(virtualKey, false);
}

// The gate's inner scene.
std::shared_ptr<CSceneBase> PlaythroughTest::CurrentScene() const
{
  return gate ? gate->inner : nullptr;
}

// The current scene as a title, or null.
std::shared_ptr<CSceneTitle> PlaythroughTest::Title() const
{
  return std::dynamic_pointer_cast<CSceneTitle>(CurrentScene());
}

// The current scene as a stage, or null.
std::shared_ptr<CSceneGame> PlaythroughTest::Game() const
{
  return std::dynamic_pointer_cast<CSceneGame>(CurrentScene());
}

// The stage's player, or null.
CGamePlayer* PlaythroughTest::Player() const
{
  const std::shared_ptr<CSceneGame> game = Game();
  return game ? dynamic_cast<CGamePlayer*>(game->player.get()) : nullptr;
}

// By class name, in the stage's actor list.
std::shared_ptr<CActorBase> PlaythroughTest::FindActor(const std::string& name) const
{
  const std::shared_ptr<CSceneGame> game = Game();
  if (!game) return nullptr;
  for (const std::shared_ptr<CActorBase>& actor : game->actors) {
    if (actor && actor->GetName() == name) return actor;
  }
  return nullptr;
}

// The stage's camera, or null.
CGameCamera* PlaythroughTest::Camera() const
{
  const std::shared_ptr<CSceneGame> game = Game();
  return game ? dynamic_cast<CGameCamera*>(game->camera.get()) : nullptr;
}

// The sprite of that class among the stage's sprites.
CSpriteText* PlaythroughTest::OrbMessage() const
{
  const std::shared_ptr<CSceneGame> game = Game();
  if (!game) return nullptr;
  for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
    if (CSpriteText* text = dynamic_cast<CSpriteText*>(sprite.get())) return text;
  }
  return nullptr;
}

// The translation of the player's position matrix.
D3DXVECTOR3 PlaythroughTest::PlayerPosition() const
{
  const CGamePlayer* player = Player();
  if (!player) return D3DXVECTOR3(999.0f, 999.0f, 999.0f);
  return D3DXVECTOR3(player->position._41, player->position._42, player->position._43);
}

// The whole file.
std::string PlaythroughTest::SaveFileText() const
{
  std::ifstream file("res/dat/save.dat");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The records file beside the save file.
std::string PlaythroughTest::RecordsFileText() const
{
  std::ifstream file("res/dat/records.txt");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Frame, scene, player, camera and the stage's flags in one line each.
std::string PlaythroughTest::Report(const std::string& what) const
{
  std::ostringstream out;
  out << "waiting for: " << what << "\nframe " << frameNumber << ", scene "
      << (CurrentScene() ? CurrentScene()->GetName() : std::string("none")) << ", stage " << application->stageNumber
      << ", fade " << application->fadeAlpha << (application->fadeOut ? " out" : " in");
  const std::shared_ptr<CSceneGame> game = Game();
  if (game) {
    const D3DXVECTOR3 at = PlayerPosition();
    out << "\nplayer at (" << at.x << ", " << at.y << ", " << at.z << ")";
    if (const CGameCamera* camera = Camera()) out << ", camera yaw " << camera->yaw << " pitch " << camera->pitch;
    out << "\nflags: cameraEvent " << game->cameraEvent << " paused " << game->paused << " escapeOpen "
        << game->escapeOpen << " orbObtained " << game->orbObtained << " goalReached " << game->goalReached;
  }
  return out.str();
}
