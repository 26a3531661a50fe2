// Tests of the player's settings file (odd spacing, comments, CR LF, bad lines, a
// missing file, a folder that cannot be made, writing only on a change), the command
// line, the XDG folders, where the game finds its data and the save file of an
// installed game.
#include "app/command_line.h"
#include "app/screenshot.h"
#include "app/settings.h"
#include "app/start_up.h"
#include "app/user_paths.h"
#include "test_seam.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A scratch folder with HOME and the XDG variables pointing into it.
class UserFolderTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    scratch = fs::path(::testing::TempDir()) /
              ("solverica_settings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "home");
    SaveVariable("HOME", (scratch / "home").string());
    SaveVariable("XDG_CONFIG_HOME", nullptr);
    SaveVariable("XDG_DATA_HOME", nullptr);
  }
  void TearDown() override
  {
    for (const auto& [name, value] : saved) {
      if (value.first)
        setenv(name.c_str(), value.second.c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    fs::remove_all(scratch);
  }
  // Sets (or unsets, for null) a variable, to be put back afterwards.
  void SaveVariable(const std::string& name, const std::string& value) { SaveVariable(name, value.c_str()); }
  void SaveVariable(const std::string& name, const char* value)
  {
    if (!saved.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved[name] = {old != nullptr, old ? old : ""};
    }
    if (value)
      setenv(name.c_str(), value, 1);
    else
      unsetenv(name.c_str());
  }
  // A whole file's text.
  static std::string Read(const fs::path& path)
  {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  fs::path scratch;
  std::map<std::string, std::pair<bool, std::string>> saved;
};

}  // namespace

TEST(Settings, DefaultsAreTheGameAsItWasMade)
{
  const Settings settings;
  EXPECT_EQ(settings.fullScreen, FullScreenChoice::Ask);
  EXPECT_EQ(settings.mouseSensitivity, 1.0f);
  EXPECT_FALSE(settings.invertLook);
  EXPECT_EQ(settings.musicVolume, 100);
  EXPECT_EQ(settings.effectsVolume, 100);
  EXPECT_TRUE(settings.gamepad);
}

TEST(Settings, FileAsPeopleWriteItIsRead)
{
  const std::string text =
      "# my settings\r\n"
      "\r\n"
      "[solverica]\r\n"
      "  FullScreen=YES  \r\n"
      "mouse_sensitivity =\t2.5\r\n"
      "; old value: invert_look = no\r\n"
      "invert_look = on\r\n"
      "music_volume = 40\r\n"
      "effects_volume=0\r\n"
      "gamepad = off";  // no line end at the end
  Settings settings;
  std::vector<std::string> problems;
  ParseSettings(text, &settings, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(settings.fullScreen, FullScreenChoice::Yes);
  EXPECT_FLOAT_EQ(settings.mouseSensitivity, 2.5f);
  EXPECT_TRUE(settings.invertLook);
  EXPECT_EQ(settings.musicVolume, 40);
  EXPECT_EQ(settings.effectsVolume, 0);
  EXPECT_FALSE(settings.gamepad);
}

TEST(Settings, BadLinesAreSkippedEachWithItsLineNumber)
{
  const std::string text =
      "fullscreen = maybe\n"        // 1: not a choice
      "music_volume = 40\n"         // 2: fine
      "music_volume = 140\n"        // 3: out of range, 40 stays
      "mouse_sensitivity = fast\n"  // 4: not a number
      "mouse_sensitivity = 0\n"     // 5: out of range
      "effects_volume = 50%\n"      // 6: trailing junk
      "just some words\n"           // 7: no '='
      "colour = blue\n"             // 8: unknown key
      "invert_look = perhaps\n"     // 9
      "gamepad =\n";                // 10: empty
  Settings settings;
  std::vector<std::string> problems;
  ParseSettings(text, &settings, &problems);
  ASSERT_EQ(problems.size(), 9u);
  const char* lines[] = {
      "line 1:", "line 3:", "line 4:", "line 5:", "line 6:", "line 7:", "line 8:", "line 9:", "line 10:"};
  for (size_t i = 0; i < problems.size(); ++i) EXPECT_EQ(problems[i].rfind(lines[i], 0), 0u) << problems[i];
  EXPECT_NE(problems[6].find("colour"), std::string::npos) << "the unknown key is named";
  EXPECT_EQ(settings.musicVolume, 40);
  EXPECT_EQ(settings.fullScreen, FullScreenChoice::Ask);
  EXPECT_EQ(settings.mouseSensitivity, 1.0f);
  EXPECT_EQ(settings.effectsVolume, 100);
  EXPECT_TRUE(settings.gamepad);
}

TEST(Settings, WrittenTextReadsBackToTheSameSettings)
{
  Settings settings;
  settings.fullScreen = FullScreenChoice::No;
  settings.mouseSensitivity = 0.75f;
  settings.invertLook = true;
  settings.musicVolume = 15;
  settings.effectsVolume = 85;
  settings.gamepad = false;
  Settings read;
  std::vector<std::string> problems;
  ParseSettings(FormatSettings(settings), &read, &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(read, settings);
}

TEST(Settings, MagicToggleAndColourSymbolsAreOffUnlessTheFileSaysSo)
{
  const Settings defaults;
  EXPECT_FALSE(defaults.magicToggle) << "magic is held as the game was made";
  EXPECT_FALSE(defaults.colourSymbols) << "the pictures stand as made";
  Settings settings;
  std::vector<std::string> problems;
  ParseSettings(
      "# access\r\nMagic_Toggle = Yes\r\ncolour_symbols=on  ; trailing note\r\n"
      "colour_symbols = yes;no\r\ncolour_symbols = 1\r\nmagic_toggle = sometimes\r\n",
      &settings, &problems);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].rfind("line 4:", 0), 0u) << "a ';' with no blank before it is no comment: " << problems[0];
  EXPECT_NE(problems[1].find("magic_toggle"), std::string::npos) << problems[1];
  EXPECT_TRUE(settings.magicToggle) << "the bad line keeps the good one before it";
  EXPECT_TRUE(settings.colourSymbols);

  Settings read;
  ParseSettings(FormatSettings(settings), &read, &problems);
  EXPECT_EQ(problems.size(), 2u) << "the written text is read without a complaint";
  EXPECT_EQ(read, settings);
  const std::string written = FormatSettings(Settings());
  EXPECT_NE(written.find("magic_toggle = no\n"), std::string::npos);
  EXPECT_NE(written.find("colour_symbols = no\n"), std::string::npos);
}

TEST_F(UserFolderTest, SettingsLiveUnderTheConfigHome)
{
  EXPECT_EQ(SettingsFilePath(), (scratch / "home" / ".config" / "solverica" / "settings.ini").string());
  SaveVariable("XDG_CONFIG_HOME", (scratch / "config").string());
  EXPECT_EQ(SettingsFilePath(), (scratch / "config" / "solverica" / "settings.ini").string());
  SaveVariable("XDG_CONFIG_HOME", "relative/is/ignored");
  EXPECT_EQ(XdgConfigHome(), (scratch / "home" / ".config").string());
  EXPECT_EQ(XdgDataHome(), (scratch / "home" / ".local" / "share").string());
  EXPECT_EQ(InstalledSaveFilePath(), (scratch / "home" / ".local" / "share" / "solverica" / "save.dat").string());
}

TEST_F(UserFolderTest, MissingFileKeepsTheDefaultsAndWritesNothing)
{
  CSettingsFile file;
  Settings settings;
  file.Load(SettingsFilePath(), &settings);
  EXPECT_EQ(settings, Settings());
  EXPECT_TRUE(file.Store(settings));
  EXPECT_EQ(file.WriteCount(), 0);
  EXPECT_FALSE(fs::exists(SettingsFilePath())) << "nothing changed, so nothing is written";
}

TEST_F(UserFolderTest, FileIsWrittenOnlyWhenAValueChanges)
{
  const fs::path path = SettingsFilePath();
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << "# mine\nfullscreen = yes\nbogus line\n";
  CSettingsFile file;
  Settings settings;
  file.Load(path.string(), &settings);
  EXPECT_EQ(settings.fullScreen, FullScreenChoice::Yes);
  EXPECT_TRUE(file.Store(settings));
  EXPECT_EQ(Read(path), "# mine\nfullscreen = yes\nbogus line\n") << "unchanged: the player's file is left alone";

  settings.fullScreen = FullScreenChoice::No;
  EXPECT_TRUE(file.Store(settings));
  EXPECT_EQ(file.WriteCount(), 1);
  Settings reread;
  file.Load(path.string(), &reread);
  EXPECT_EQ(reread.fullScreen, FullScreenChoice::No);
  EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
  EXPECT_TRUE(file.Store(reread));
  EXPECT_EQ(file.WriteCount(), 1) << "a fresh load holds what is on disk";
}

TEST_F(UserFolderTest, UnwritableFolderIsReportedAndKeepsTheRunGoing)
{
  // A file where the folder should be: no one, not even root, can make the folder.
  std::ofstream(scratch / "blocker") << "x";
  SaveVariable("XDG_CONFIG_HOME", (scratch / "blocker").string());
  CSettingsFile file;
  Settings settings;
  file.Load(SettingsFilePath(), &settings);
  settings.invertLook = true;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(file.Store(settings));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("settings.ini"), std::string::npos) << message;
  EXPECT_EQ(file.Stored().invertLook, false) << "what the file holds did not change";
}

TEST_F(UserFolderTest, BadLinesOfTheFileGoToStandardError)
{
  const fs::path path = scratch / "settings.ini";
  std::ofstream(path, std::ios::binary) << "music_volume = 30\r\nvolume = loud\r\n";
  Settings settings;
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(LoadSettingsFile(path.string(), &settings));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("line 2"), std::string::npos) << message;
  EXPECT_EQ(message.find("line 1"), std::string::npos) << message;
  EXPECT_EQ(settings.musicVolume, 30);
}

TEST(CommandLine, FlagsChooseFullScreenOrPrintAndEnd)
{
  const char* none[] = {"x"};
  EXPECT_EQ(ParseCommandLine(0, none).action, CommandLineAction::Run);
  EXPECT_FALSE(ParseCommandLine(0, none).overridesFullScreen);

  const char* both[] = {"--windowed", "--fullscreen"};
  const CommandLineResult last = ParseCommandLine(2, both);
  EXPECT_EQ(last.action, CommandLineAction::Run);
  EXPECT_TRUE(last.overridesFullScreen);
  EXPECT_EQ(last.fullScreen, FullScreenChoice::Yes) << "the last one wins";
  const char* windowed[] = {"--windowed"};
  EXPECT_EQ(ParseCommandLine(1, windowed).fullScreen, FullScreenChoice::No);

  const char* help[] = {"--fullscreen", "--help"};
  const CommandLineResult printed = ParseCommandLine(2, help);
  EXPECT_EQ(printed.action, CommandLineAction::PrintHelp);
  for (const char* flag : {"--fullscreen", "--windowed", "--help", "--version", "settings.ini", "F12", "F11"}) {
    EXPECT_NE(printed.message.find(flag), std::string::npos) << flag << " is documented";
  }
  const char* version[] = {"--version"};
  EXPECT_EQ(ParseCommandLine(1, version).message, "Solverica 1.0.6\n");

  const char* unknown[] = {"--fulscreen"};
  const CommandLineResult failed = ParseCommandLine(1, unknown);
  EXPECT_EQ(failed.action, CommandLineAction::Fail);
  EXPECT_NE(failed.message.find("--fulscreen"), std::string::npos);
}

TEST(UserDirs, PicturesFolderIsReadAsTheShellWould)
{
  const std::string text =
      "# This file is written by xdg-user-dirs-update\n"
      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\r\n";
  EXPECT_EQ(PicturesDirFromUserDirs(text, "/home/ann"), "/home/ann/Bilder");
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"/data/pics/\"\n", "/h"), "/data/pics");
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"pics\"\n", "/h"), "") << "relative paths are not used";
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_MUSIC_DIR=\"$HOME/Music\"\n", "/h"), "");
}

TEST_F(UserFolderTest, PicturesFolderComesFromUserDirsElsePictures)
{
  EXPECT_EQ(PicturesDir(), (scratch / "home" / "Pictures").string());
  fs::create_directories(scratch / "home" / ".config");
  std::ofstream(scratch / "home" / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n";
  EXPECT_EQ(PicturesDir(), (scratch / "home" / "Fotos").string());
}

TEST_F(UserFolderTest, GameDataIsBesideTheBuildOrUnderTheInstallPrefix)
{
  bool installed = true;
  EXPECT_EQ(FindGameData((scratch / "nothing").string(), &installed), "");
  // The build folder: res/ beside the executable.
  fs::create_directories(scratch / "build" / "res");
  EXPECT_EQ(FindGameData((scratch / "build").string(), &installed), (scratch / "build").string());
  EXPECT_FALSE(installed);
  // An install prefix: bin/ and share/solverica/res.
  fs::create_directories(scratch / "prefix" / "bin");
  fs::create_directories(scratch / "prefix" / "share" / "solverica" / "res");
  const std::string found = FindGameData((scratch / "prefix" / "bin").string(), &installed);
  EXPECT_TRUE(installed);
  EXPECT_EQ(fs::canonical(found), fs::canonical(scratch / "prefix" / "share" / "solverica"));
}

TEST_F(UserFolderTest, ScreenshotNamesAreStampedAndNeverReused)
{
  std::tm moment = {};
  moment.tm_year = 2026 - 1900;
  moment.tm_mon = 11;
  moment.tm_mday = 8;
  moment.tm_hour = 7;
  moment.tm_min = 5;
  moment.tm_sec = 9;
  moment.tm_isdst = -1;
  const std::time_t when = std::mktime(&moment);
  const std::string folder = scratch.string();
  EXPECT_EQ(ScreenshotFileName(folder, when), "solverica-20261208-070509.png");
  std::ofstream(scratch / "solverica-20261208-070509.png") << "x";
  EXPECT_EQ(ScreenshotFileName(folder, when), "solverica-20261208-070509-2.png");
  const std::vector<std::string> beingWritten = {folder + "/solverica-20261208-070509-2.png"};
  EXPECT_EQ(ScreenshotFileName(folder, when, beingWritten), "solverica-20261208-070509-3.png")
      << "a name still being written is taken too";
  EXPECT_TRUE(MakeFolders((scratch / "a" / "b" / "c").string()));
  EXPECT_TRUE(fs::is_directory(scratch / "a" / "b" / "c"));
  EXPECT_FALSE(MakeFolders((scratch / "solverica-20261208-070509.png" / "d").string()));
}

TEST(StartUpQuestion, AskedOnlyWhenTheSettingsLeaveItOpen)
{
  Win32TestTakeMessageBoxes();
  Settings& settings = RunSettings();
  settings.fullScreen = FullScreenChoice::Yes;
  EXPECT_TRUE(ChooseFullScreen(nullptr));
  settings.fullScreen = FullScreenChoice::No;
  EXPECT_FALSE(ChooseFullScreen(nullptr));
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "a chosen answer asks nothing";
  settings.fullScreen = FullScreenChoice::Ask;
  Win32TestQueueMessageBoxAnswer(IDYES);
  EXPECT_TRUE(ChooseFullScreen(nullptr));
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "フルスクリーンにしますか？");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  settings = Settings();
}
