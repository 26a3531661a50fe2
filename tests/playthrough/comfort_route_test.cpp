// Routes of the desktop comforts in the running game: losing the focus pauses a stage
// (and only when nothing else holds it), F12 writes the frame on screen (a paused
// stage) as a PNG into the pictures folder, and Alt+Enter / F11 switch full screen with the pointer still
// landing on the buttons it is put on.
#include "playthrough.h"

#include <stb/stb_image.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/screenshot.h"
#include "app/input.h"
#include "app/window_keys.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "test_seam.h"
#include "win32_comforts.h"
#include "win32_internal.h"

namespace fs = std::filesystem;

TEST_F(PlaythroughTest, LosingTheFocusPausesAStageUnlessSomethingHoldsIt)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartNewGame());
  const std::shared_ptr<CSceneGame> stage = Game();
  Frames(10);
  Win32TestSetFocus(false);  // during the opening flight: nothing happens
  Frames(2);
  Win32TestSetFocus(true);
  EXPECT_EQ(stage->paused, 0);
  ASSERT_TRUE(SkipOpening());

  Win32TestSetFocus(false);
  Frames(2);
  EXPECT_EQ(stage->paused, 1) << "the pause menu opened";
  EXPECT_FALSE(Win32TestCursorHidden()) << "with its pointer";
  Win32TestSetFocus(true);
  Frames(5);
  EXPECT_EQ(stage->paused, 1) << "coming back does not resume by itself";
  Win32TestSetFocus(false);
  Frames(2);
  EXPECT_EQ(stage->paused, 1) << "a second loss does not close the menu again";
  Win32TestSetFocus(true);
  ClickButton("res/game/sprite/restart.png");
  Frames(2);
  ASSERT_EQ(stage->paused, 0);

  TapKey(VK_ESCAPE);
  Frames(1);
  ASSERT_EQ(stage->escapeOpen, 1);
  Win32TestSetFocus(false);
  Frames(2);
  Win32TestSetFocus(true);
  EXPECT_EQ(stage->paused, 0) << "the question to leave stays as it was";
  EXPECT_EQ(stage->escapeOpen, 1);
}

TEST_F(PlaythroughTest, F12WritesTheFrameOnScreenIntoThePicturesFolder)
{
  const fs::path home = fs::path(PlaythroughScratchDir()) / "home";
  fs::remove_all(home);
  fs::create_directories(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
  const char* oldHome = std::getenv("HOME");
  const std::string keptHome = oldHome ? oldHome : "";
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");

  // A paused stage draws the same frame again and again, so the file can be compared
  // with the back buffer read afterwards pixel for pixel.
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartNewGame());
  ASSERT_TRUE(SkipOpening());
  TapKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return Game()->paused == 1; }, 3, "the pause menu"));
  DrawEvery(1);
  Frames(5);
  Key(VK_F12, true);
  const auto start = std::chrono::steady_clock::now();
  Frames(1);
  const double frameMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  Key(VK_F12, false);
  std::vector<uint8_t> onScreen;
  int width = 0;
  int height = 0;
  ASSERT_TRUE(CopyBackBuffer(&onScreen, &width, &height));
  ASSERT_TRUE(ProgramScreenshot().Finish());
  double usual = 0.0;
  for (size_t i = frameMilliseconds.size() - 11; i + 1 < frameMilliseconds.size(); ++i)
    usual += frameMilliseconds[i] / 10;
  std::printf("[ figure ] the frame that took the screenshot: %.1f ms; the ten before: %.1f ms each\n", frameMs, usual);
  const auto copyStart = std::chrono::steady_clock::now();
  std::vector<uint8_t> copy;
  CopyBackBuffer(&copy, &width, &height);
  std::printf("[ figure ] copying the back buffer alone: %.1f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - copyStart).count());
  Frames(3);  // held, then released: one shot only

  const fs::path folder = home / "Bilder" / "Solverica";
  std::vector<fs::path> shots;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) shots.push_back(entry.path());
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].filename().string().rfind("solverica-", 0), 0u);
  EXPECT_EQ(shots[0].extension(), ".png");
  int fileWidth = 0;
  int fileHeight = 0;
  int channels = 0;
  stbi_uc* pixels = stbi_load(shots[0].c_str(), &fileWidth, &fileHeight, &channels, 4);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(fileWidth, 1280);
  EXPECT_EQ(fileHeight, 720);
  size_t differing = 0;
  size_t bright = 0;
  for (size_t i = 0; i < onScreen.size() && fileWidth == width && fileHeight == height; i += 4) {
    if (pixels[i] != onScreen[i] || pixels[i + 1] != onScreen[i + 1] || pixels[i + 2] != onScreen[i + 2]) ++differing;
    if (pixels[i] + pixels[i + 1] + pixels[i + 2] > 300) ++bright;
  }
  stbi_image_free(pixels);
  EXPECT_EQ(differing, 0u) << "the file holds the back buffer as drawn";
  EXPECT_GT(bright, onScreen.size() / 4 / 50) << "the stage and its menu, not a black frame";

  // Once more, the whole F12 action on its own (sound loaded, read-back warm).
  const auto again = std::chrono::steady_clock::now();
  EXPECT_FALSE(TakeScreenshot().empty());
  std::printf("[ figure ] a second F12 on the loop's thread: %.1f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - again).count());
  EXPECT_TRUE(ProgramScreenshot().Finish());

  if (oldHome) setenv("HOME", keptHome.c_str(), 1);
  fs::remove_all(home);
}

TEST_F(PlaythroughTest, AltEnterAndF11SwitchFullScreenAndThePointerFollows)
{
  DrawEvery(10);
  Frames(30);
  Click();
  Frames(7);
  ASSERT_EQ(Title()->titleState, 1);
  Key(VK_MENU, true);
  TapKey(VK_RETURN);
  Key(VK_MENU, false);
  Frames(2);
  ASSERT_TRUE(Win32IsFullScreen(application->window));
  RECT client = {};
  GetClientRect(application->window, &client);
  int x = 0, y = 0, viewWidth = 0, viewHeight = 0;
  Win32Letterbox(client.right, client.bottom, 1280, 720, &x, &y, &viewWidth, &viewHeight);
  EXPECT_EQ(application->clientWidth, static_cast<UINT>(client.right)) << "WM_SIZE told the game";

  // A hand on the mouse puts the pointer over Start where the picture now shows it.
  float centreX = 0.0f;
  float centreY = 0.0f;
  ASSERT_TRUE(ButtonCentre("res/title/char/start.png", &centreX, &centreY));
  const int windowX = x + static_cast<int>(centreX * viewWidth / 1280.0f);
  const int windowY = y + static_cast<int>(centreY * viewHeight / 720.0f);
  Win32TestPointMouse(windowX, windowY);
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(application->window, &cursor);
  EXPECT_NEAR(cursor.x, centreX, 2.0f);
  EXPECT_NEAR(cursor.y, centreY, 2.0f);
  Frames(1);
  Win32TestPointMouse(windowX, windowY);
  Click();
  ASSERT_TRUE(WaitFor([&] { return Game() != nullptr; }, 80, "Start clicked in full screen"));

  TapKey(VK_F11);
  Frames(2);
  EXPECT_FALSE(Win32IsFullScreen(application->window));
  GetClientRect(application->window, &client);
  EXPECT_EQ(client.right, 1280);
  EXPECT_EQ(client.bottom, 720);
  EXPECT_EQ(application->clientWidth, 1280u);
}
