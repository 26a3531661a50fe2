// Quick taps through the whole input path of the real program: F12 pressed and let go
// between two frames, pushed to SDL's queue as the keyboard delivers them, six times
// in six frames, writes six screenshots, none waiting for the one before; two taps in
// one gap are one press, as GetAsyncKeyState's bit has it.
#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/screenshot.h"
#include "playthrough.h"

namespace fs = std::filesystem;

namespace {

// F12 down and up in SDL's queue, before the next frame pumps it.
void PushF12Tap()
{
  SDL_Event event = {};
  event.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.scancode = SDL_SCANCODE_F12;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  event.type = SDL_KEYUP;
  event.key.state = SDL_RELEASED;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// The file names in a folder.
std::set<std::string> FilesIn(const fs::path& folder)
{
  std::set<std::string> names;
  if (!fs::is_directory(folder)) return names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

}  // namespace

TEST_F(PlaythroughTest, SixF12TapsShorterThanAFrameWriteSixScreenshots)
{
  const fs::path home = fs::path(PlaythroughScratchDir()) / "tap-home";
  fs::remove_all(home);
  fs::create_directories(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
  const char* oldHome = std::getenv("HOME");
  const std::string keptHome = oldHome ? oldHome : "";
  setenv("HOME", home.c_str(), 1);
  const fs::path folder = home / "Pictures" / "Solverica";

  DrawEvery(1);
  Frames(5);
  for (int i = 0; i < 6; ++i) {
    PushF12Tap();
    Frames(1);
  }
  EXPECT_TRUE(ProgramScreenshot().Finish());
  const std::set<std::string> six = FilesIn(folder);
  EXPECT_EQ(six.size(), 6u) << "one file a tap, each under its own name";

  PushF12Tap();
  PushF12Tap();
  Frames(3);
  EXPECT_TRUE(ProgramScreenshot().Finish());
  EXPECT_EQ(FilesIn(folder).size(), 7u) << "two taps in one gap are one press";

  if (oldHome) setenv("HOME", keptHome.c_str(), 1);
  fs::remove_all(home);
}
