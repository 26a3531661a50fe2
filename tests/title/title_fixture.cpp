// The title tests' start-up (once per process) and their input and frame helpers.
#include "../support/input_reset.h"
#include "title_fixture.h"

#include <stb/stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/input.h"
#include "engine/graphics.h"
#include "shader/shader_manager.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch;
fs::path buildDir;

// Starts the application once: the full-screen question answered No, in the scratch
// folder whose res/ links the generated content and holds its own dat/ folder.
class TitleEnvironment : public ::testing::Environment {
public:
  void SetUp() override
  {
    // Threaded llvmpipe may hand back a frame late; one rasteriser thread reads back exactly.
    setenv("LP_NUM_THREADS", "0", 1);
    buildDir = fs::current_path();
    scratch = fs::path(::testing::TempDir()) / ("solverica_title_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "res" / "dat");
    for (const char* folder : {"title", "ending", "sound", "shader", "game"}) {
      fs::create_directory_symlink(buildDir / "res" / folder, scratch / "res" / folder);
    }
    std::ofstream(scratch / "res" / "dat" / "save.dat") << kSavedStage << "\n";
    for (int stage = 1; stage <= 8; ++stage) {
      std::ofstream(scratch / "res" / "dat" / ("map." + std::to_string(stage) + ".dat"));
    }
    fs::current_path(scratch);
    Win32TestQueueMessageBoxAnswer(IDNO);
    ASSERT_TRUE(CApplication::GetInstance()->Initialize(GetModuleHandleA(nullptr)));
    Win32TestTakeMessageBoxes();
  }
  void TearDown() override
  {
    CApplication* application = CApplication::GetInstance();
    application->EndLoop();
    application->ReleaseGraphics();
    OstrelLibrary::UninitSound();
    fs::current_path(buildDir);
    fs::remove_all(scratch);
  }
};

const ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new TitleEnvironment);

}  // namespace

// The scratch folder the game runs in.
std::string TitleScratchDir()
{
  return scratch.string();
}

// Each test starts from a title just made current, as at program start.
void TitleTest::SetUp()
{
  application = CApplication::GetInstance();
  Win32TestSetClock(100000);
  ResetInputPath(application);
  application->stageNumber = kSavedStage;
  PointAway();
  application->BeginLoop(std::make_shared<CSceneTitle>());
}

// Nothing queued may leak into the next test.
void TitleTest::TearDown()
{
  application->EndLoop();
  Win32TestReleaseKeys();
  while (Win32TestQueuedMessageBoxAnswers() > 0) MessageBoxA(nullptr, "", "", MB_OK);
  Win32TestTakeMessageBoxes();
}

// Through StepFrame, so the fixed clock and the message pump run as in the game.
void TitleTest::Frames(int count)
{
  for (int i = 0; i < count; ++i) ASSERT_TRUE(application->StepFrame()) << "the program ended at frame " << i;
}

// Down and up: the window messages set the click for the next update.
void TitleTest::Click()
{
  Win32TestMouseButton(VK_LBUTTON, true);
  Win32TestMouseButton(VK_LBUTTON, false);
}

// Client pixels are back-buffer pixels in the 1280 x 720 window.
void TitleTest::PointAt(float x, float y)
{
  Win32TestPointMouse(static_cast<int>(x), static_cast<int>(y));
}

// The middle of the picture as placed, before any hover growth.
void TitleTest::PointAtButton(const MenuButton& button)
{
  const float width = PictureWidth(button.texture), height = PictureHeight(button.texture);
  ASSERT_GT(width, 0.0f) << "the button picture was not loaded";
  PointAt(button.position._41 + width * 0.5f, button.position._42 + height * 0.5f);
}

// The top-left corner: the sky, far from every button.
void TitleTest::PointAway()
{
  PointAt(20, 20);
}

// Down in one frame, up in the next, so TriggerKey sees one edge.
void TitleTest::TapKey(int virtualKey)
{
  Win32TestSetKey(virtualKey, true);
  Frames(1);
  Win32TestSetKey(virtualKey, false);
}

// The loop's scene as a title, if it is one.
std::shared_ptr<CSceneTitle> TitleTest::Title() const
{
  return std::dynamic_pointer_cast<CSceneTitle>(GetCurrentScene());
}

// Front list: prompt, logo, menu (the order Init builds them in).
CTitleClickToStart& TitleTest::Prompt() const
{
  return dynamic_cast<CTitleClickToStart&>(*Title()->frontSprites.at(0));
}

// The second of the front list.
CTitleLogo& TitleTest::Logo() const
{
  return dynamic_cast<CTitleLogo&>(*Title()->frontSprites.at(1));
}

// The third of the front list.
CTitleOption& TitleTest::Option() const
{
  return dynamic_cast<CTitleOption&>(*Title()->frontSprites.at(2));
}

// One click, one frame.
void TitleTest::OpenMenu()
{
  Click();
  Frames(1);
}

// The menu's first frame has run; five more count it up, the next one makes it ready.
void TitleTest::WaitUntilReady()
{
  Frames(5);
}

// Reads the back buffer the last frame was drawn into.
void TitleTest::Screenshot(const std::string& name)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const int width = static_cast<int>(graphics->presentParameters.BackBufferWidth);
  const int height = static_cast<int>(graphics->presentParameters.BackBufferHeight);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(graphics->backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    const D3DCOLOR* row = reinterpret_cast<const D3DCOLOR*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
    for (int x = 0; x < width; ++x) {
      unsigned char* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
      out[0] = static_cast<unsigned char>(row[x] >> 16);
      out[1] = static_cast<unsigned char>(row[x] >> 8);
      out[2] = static_cast<unsigned char>(row[x]);
      out[3] = 255;
    }
  }
  graphics->backBuffer->UnlockRect();
  const char* chosen = std::getenv("SOLVERICA_SCREENSHOTS");
  const std::string path = (chosen ? std::string(chosen) : scratch.string()) + "/" + name;
  EXPECT_NE(stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4), 0) << path;
}

// The whole file.
std::string TitleTest::SaveFileText() const
{
  std::ifstream file("res/dat/save.dat");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
