// Start-up on the real (headless) device: the full-screen question, the window and
// back-buffer size, the cursor home, the save file, frames drawn with the fade on
// top, and closing the window. Built twice: answering No (windowed) and Yes.
#include "app/application.h"
#include "engine/sound.h"
#include "engine/graphics.h"
#include "scene/scene_base.h"
#include "test_seam.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef START_ANSWER
#define START_ANSWER IDNO
#endif
#ifndef START_SUITE
#define START_SUITE StartUp
#endif

namespace {

// Fills the screen with a white texel every frame, so the fade's darkening shows.
class CWhiteScene : public CSceneBase {
public:
  void Init() override
  {
    CApplication::GetInstance()->fadeOut = 0;
    white.Create(OstrelLibrary::CGraphics::GetInstance()->device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    white.Fill(0xFFFFFFFF);
  }
  void Uninit(std::shared_ptr<CSceneBase>) override {}
  std::shared_ptr<CSceneBase> Update() override { return shared_from_this(); }
  void Draw() override {}
  void DrawSprite() override
  {
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(white, &CApplication::GetInstance()->fadeMatrix, 0xFFFFFFFF);
  }
  OstrelLibrary::CTexture white;
};

// The back buffer's centre pixel, red channel.
int CentreRed()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const LONG x = static_cast<LONG>(graphics->presentParameters.BackBufferWidth / 2);
  const LONG y = static_cast<LONG>(graphics->presentParameters.BackBufferHeight / 2);
  const RECT one = {x, y, x + 1, y + 1};
  D3DLOCKED_RECT locked;
  if (FAILED(graphics->backBuffer->LockRect(&locked, &one, D3DLOCK_READONLY))) return -1;
  const D3DCOLOR pixel = *static_cast<const D3DCOLOR*>(locked.pBits);
  graphics->backBuffer->UnlockRect();
  return static_cast<int>((pixel >> 16) & 0xFF);
}

}  // namespace

TEST(START_SUITE, AsksThenOpensTheWindowDrawsFadedFramesAndClosesCleanly)
{
  // Threaded llvmpipe sometimes hands back a texture's previous contents right after
  // a frame; one rasteriser thread keeps the read-back exact.
  setenv("LP_NUM_THREADS", "0", 1);
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path scratch =
      std::filesystem::path(::testing::TempDir()) / ("solverica_start_" + std::to_string(START_ANSWER));
  std::filesystem::remove_all(scratch);
  std::filesystem::create_directories(scratch / "res" / "dat");
  std::ofstream(scratch / "res" / "dat" / "save.dat", std::ios::binary) << "6\r\n";
  // The effects come from the build; without them each shader would report its failure.
  std::filesystem::create_directory_symlink(previous / "res" / "shader", scratch / "res" / "shader");
  std::filesystem::current_path(scratch);

  Win32TestQueueMessageBoxAnswer(START_ANSWER);
  CApplication* application = CApplication::GetInstance();
  ASSERT_TRUE(application->Initialize(GetModuleHandleA(nullptr)));
  std::filesystem::current_path(previous);

  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u) << "only the full-screen question; the save file was there";
  EXPECT_EQ(boxes[0].text, "フルスクリーンにしますか？");
  EXPECT_EQ(boxes[0].caption, "確認");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_EQ(application->stageNumber, 6);

  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  ASSERT_NE(graphics->device, nullptr);
  EXPECT_EQ(graphics->presentParameters.BackBufferWidth, 1280u);
  EXPECT_EQ(graphics->presentParameters.BackBufferHeight, 720u);
  if (START_ANSWER == IDNO) {
    EXPECT_EQ(application->clientWidth, 1280u);
    EXPECT_EQ(application->clientHeight, 720u);
    EXPECT_EQ(graphics->presentParameters.Windowed, TRUE);
  } else {
    EXPECT_EQ(graphics->presentParameters.Windowed, FALSE);
  }
  POINT home = application->cursorHome;
  ScreenToClient(application->window, &home);
  EXPECT_EQ(home.x, 640);
  EXPECT_EQ(home.y, 360);
  POINT cursor = {};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, application->cursorHome.x);
  EXPECT_EQ(cursor.y, application->cursorHome.y);
  ASSERT_NE(application->fadeTexture.texture, nullptr);
  EXPECT_EQ(application->fadeMatrix._11, 1280.0f);
  EXPECT_EQ(application->fadeMatrix._22, 720.0f);

  // Frames: white scene under a black overlay at 255, about half, then none.
  Win32TestSetClock(5000);
  application->BeginLoop(std::make_shared<CWhiteScene>());
  application->fadeAlpha = 255 + 5;  // the first frame's fade step brings it to 255
  ASSERT_TRUE(application->StepFrame());
  EXPECT_EQ(application->fadeAlpha, 255);
  EXPECT_LE(CentreRed(), 2) << "fully black";
  application->fadeAlpha = 130;
  ASSERT_TRUE(application->StepFrame());
  EXPECT_NEAR(CentreRed(), 255 - 125, 3) << "black at 125/255 over white";
  application->fadeAlpha = 0;
  ASSERT_TRUE(application->StepFrame());
  EXPECT_GE(CentreRed(), 253) << "no overlay";

  // Closing the window: WM_CLOSE, WM_DESTROY, WM_QUIT, the loop ends.
  PostMessageA(application->window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(application->StepFrame());
  EXPECT_FALSE(IsWindow(application->window));
  application->EndLoop();
  Win32TestUseRealClock();
  application->ReleaseGraphics();
  OstrelLibrary::UninitSound();
  EXPECT_EQ(graphics->device, nullptr);
  std::filesystem::remove_all(scratch);
}
