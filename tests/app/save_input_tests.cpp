// Tests of the save file (reading hand-edited and damaged files, setting damaged ones
// aside, the exact bytes written, replacing the old file whole) and of the cursor primitives (the 2 x 2 hit box, the
// visibility switch), run in a scratch working directory.
#include "../support/test_window.h"
#include "app/application.h"
#include "app/input.h"
#include "test_seam.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// A scratch working directory holding res/dat, left again afterwards.
class SaveTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    previous = std::filesystem::current_path();
    scratch = std::filesystem::path(::testing::TempDir()) /
              ("solverica_save_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch / "res" / "dat");
    std::filesystem::current_path(scratch);
    application = CApplication::GetInstance();
    application->window = nullptr;
    application->stageNumber = 1;
    Win32TestTakeMessageBoxes();
  }
  void TearDown() override
  {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(scratch);
    application->stageNumber = 1;
  }
  // Writes the save file's raw bytes.
  void WriteFile(const std::string& bytes) { std::ofstream("res/dat/save.dat", std::ios::binary) << bytes; }
  // Reads the save file's raw bytes.
  std::string ReadFile()
  {
    std::ifstream file("res/dat/save.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  // The stage loaded from the given bytes, starting from the given value.
  int Load(const std::string& bytes, int start = 1)
  {
    WriteFile(bytes);
    application->stageNumber = start;
    application->LoadSaveData();
    return application->stageNumber;
  }
  std::filesystem::path previous;
  std::filesystem::path scratch;
  CApplication* application = nullptr;
};

}  // namespace

TEST_F(SaveTest, ReadsWhatTheGameWritesAndHandEditedFiles)
{
  EXPECT_EQ(Load("3\r\n"), 3);
  EXPECT_EQ(Load("3\n"), 3) << "a bare line feed";
  EXPECT_EQ(Load("3\r"), 3) << "a bare carriage return";
  EXPECT_EQ(Load("5"), 5) << "no line end";
  EXPECT_EQ(Load("2\r\n7\r\n4\r\n"), 4) << "several numbers: the last wins";
  EXPECT_EQ(Load("  \t\r\n 6 "), 6);
  EXPECT_EQ(Load("\r\n\r\n  +8\t\r\n\r\n"), 8) << "blank lines and a sign, as an editor leaves them";
  EXPECT_EQ(Load("07\r\n"), 7) << "a leading zero";
  EXPECT_EQ(Load("\xEF\xBB\xBF"
                 "2\r\n"),
            2)
      << "the byte-order mark some editors write";
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "an existing file is never reported";
  EXPECT_FALSE(std::filesystem::exists("res/dat/save.dat.bad")) << "good files stay where they are";
}

TEST_F(SaveTest, ADamagedFileIsNamedOnceSetAsideAndStageOnePlayed)
{
  const std::string randomBytes("\x8f\x03\xd1\x00\x7fZ\xe4\x19\x02", 9);
  const struct {
    std::string bytes;
    std::string what;  // the message's part that says what is wrong
  } damaged[] = {
      {"999\r\n", "stage \"999\" does not exist (stages are 1 to 8)"},
      {"9", "stage \"9\" does not exist"},
      {"0\r\n", "stage \"0\" does not exist"},
      {"-3\r\n", "stage \"-3\" does not exist"},
      {"", "it is empty"},
      {" \r\n\r\n", "it is empty"},
      {randomBytes, "\"\\x8F\\x03\\xD1\\x00\\x7FZ\\xE4\\x19\\x02\" is not a stage number"},
      {"7abc\r\n", "\"7abc\" is not a stage number"},
      {"4\r\nxyz\r\n8", "\"xyz\" is not a stage number"},
      {"99999999999999999999\r\n", "stage \"9999999999999999...\" does not exist"},
      {"2147483648", "stage \"2147483648\" does not exist"},
      {"5 # stage five\r\n", "\"#\" is not a stage number"},
      {std::string(5000, '1'), "it is longer than 4096 bytes"},
  };
  for (const auto& file : damaged) {
    SCOPED_TRACE(file.what);
    std::filesystem::remove("res/dat/save.dat.bad");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Load(file.bytes, 5), 1) << "Continue plays stage 1";
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("res/dat/save.dat: damaged save, " + file.what), said.find("solverica: ") + 11) << said;
    EXPECT_NE(said.find("kept as res/dat/save.dat.bad"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
    EXPECT_FALSE(std::filesystem::exists("res/dat/save.dat"));
    std::ifstream aside("res/dat/save.dat.bad", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), std::istreambuf_iterator<char>()), file.bytes)
        << "the damaged bytes are kept as they were";
  }
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "no message box for a damaged save";
}

TEST_F(SaveTest, TheFileSetAsideStaysUntilAClearWritesAGoodOne)
{
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Load("x"), 1);
  EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
  // The next start finds no save: a first start, without a word, the damaged file kept.
  ::testing::internal::CaptureStderr();
  application->stageNumber = 1;
  application->LoadSaveData();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  application->stageNumber = 2;
  application->WriteSaveData();
  EXPECT_EQ(ReadFile(), "2\r\n");
  std::ifstream aside("res/dat/save.dat.bad", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), std::istreambuf_iterator<char>()), "x");
  // A place that cannot take the damaged file: still named, still stage 1, still no box.
  std::filesystem::remove("res/dat/save.dat.bad");
  std::filesystem::create_directories("res/dat/save.dat.bad/full");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Load("-1", 4), 1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("cannot keep it as res/dat/save.dat.bad"), std::string::npos) << said;
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty());
}

TEST_F(SaveTest, NoFileYetIsAFirstStartWithoutAMessage)
{
  std::filesystem::remove("res/dat/save.dat");
  application->stageNumber = 1;
  application->LoadSaveData();
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "a first start is no failure";
  // Not even the folder yet.
  std::filesystem::remove_all("res");
  application->LoadSaveData();
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty());
}

TEST_F(SaveTest, AFileThatIsThereButCannotBeReadIsReportedAndKeepsTheStage)
{
  // A folder in the file's place opens but cannot be read, whoever runs the test.
  std::filesystem::remove("res/dat/save.dat");
  std::filesystem::create_directory("res/dat/save.dat");
  application->stageNumber = 1;
  application->LoadSaveData();
  EXPECT_EQ(application->stageNumber, 1);
  std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ファイルオープンに失敗しました");
  EXPECT_EQ(boxes[0].caption, "失敗");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  // A path through a file where a folder should be fails to open for another reason.
  std::filesystem::remove_all("res");
  std::ofstream("res") << "not a folder";
  application->LoadSaveData();
  EXPECT_EQ(Win32TestTakeMessageBoxes().size(), 1u);
}

TEST_F(SaveTest, WritesTheDigitsAndCarriageReturnLineFeed)
{
  application->stageNumber = 3;
  application->WriteSaveData();
  EXPECT_EQ(ReadFile(), std::string("\x33\x0D\x0A"));
  application->stageNumber = 12;
  application->WriteSaveData();
  EXPECT_EQ(ReadFile(), "12\r\n");
  // The round trip, of the last stage.
  application->stageNumber = 8;
  application->WriteSaveData();
  application->stageNumber = 1;
  application->LoadSaveData();
  EXPECT_EQ(application->stageNumber, 8);
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty());
}

TEST_F(SaveTest, ALongerOldFileIsReplacedWholeAndNoTemporaryStays)
{
  WriteFile("12345678\r\n");
  application->stageNumber = 4;
  application->WriteSaveData();
  EXPECT_EQ(ReadFile(), "4\r\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator("res/dat")) {
    EXPECT_EQ(entry.path().filename(), "save.dat");
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(SaveTest, AnUnwritablePlaceIsReportedAndTheOldFileSurvives)
{
  WriteFile("6\r\n");
  // A directory where the temporary file would go makes the write fail.
  std::filesystem::create_directory("res/dat/save.dat.tmp");
  application->stageNumber = 7;
  application->WriteSaveData();
  EXPECT_EQ(ReadFile(), "6\r\n");
  EXPECT_EQ(application->stageNumber, 7) << "the game goes on with the raised stage";
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ファイルオープンに失敗しました");
  // No res/dat at all.
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(scratch / "res");
  std::filesystem::current_path(scratch);
  application->WriteSaveData();
  EXPECT_EQ(Win32TestTakeMessageBoxes().size(), 1u);
}

TEST(SaveParse, TheRangeIsTheGamesStageCountAndTheLengthBoundsTheText)
{
  EXPECT_EQ(GameStageCount(), 8);
  int stage = 9;
  EXPECT_EQ(ParseSaveText("", 0, 8, &stage), "it is empty");
  EXPECT_EQ(stage, 9) << "left alone when damaged";
  EXPECT_EQ(ParseSaveText("+8", 2, 8, &stage), "");
  EXPECT_EQ(stage, 8);
  EXPECT_EQ(ParseSaveText("4", 1, 3, &stage), "stage \"4\" does not exist (stages are 1 to 3)") << "a smaller game";
  EXPECT_EQ(ParseSaveText("3", 1, 3, &stage), "");
  EXPECT_EQ(stage, 3);
  EXPECT_EQ(ParseSaveText("-2147483648", 11, 8, &stage), "stage \"-2147483648\" does not exist (stages are 1 to 8)");
  EXPECT_EQ(ParseSaveText("12345", 2, 20, &stage), "") << "no read past the length";
  EXPECT_EQ(stage, 12);
  EXPECT_EQ(ParseSaveText("\xEF\xBB", 2, 8, &stage), "\"\\xEF\\xBB\" is not a stage number") << "half a mark";
}

namespace {

// Procedure for the cursor tests' window.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A window at screen (40, 30) for the cursor tests.
class CursorTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    window = CreateTestWindow("CursorTestWindow", PlainProc, WS_CAPTION, 40, 30, 1280, 720);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override
  {
    SetCursorVisible(true);
    DestroyWindow(window);
  }
  // Puts the cursor at a client pixel.
  void CursorAt(int x, int y)
  {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
  }
  HWND window = nullptr;
};

}  // namespace

TEST_F(CursorTest, TheTwoByTwoBoxReachesOnePixelOutside)
{
  // A 100 x 50 rectangle at (200, 300).
  CursorAt(199, 320);
  EXPECT_TRUE(IsCursorOver(window, 200, 300, 100, 50)) << "one pixel left still overlaps";
  CursorAt(198, 320);
  EXPECT_FALSE(IsCursorOver(window, 200, 300, 100, 50)) << "two pixels left does not";
  CursorAt(299, 320);
  EXPECT_TRUE(IsCursorOver(window, 200, 300, 100, 50));
  CursorAt(300, 320);
  EXPECT_FALSE(IsCursorOver(window, 200, 300, 100, 50)) << "the right edge is exclusive";
  CursorAt(250, 299);
  EXPECT_TRUE(IsCursorOver(window, 200, 300, 100, 50));
  CursorAt(250, 298);
  EXPECT_FALSE(IsCursorOver(window, 200, 300, 100, 50));
  CursorAt(250, 350);
  EXPECT_FALSE(IsCursorOver(window, 200, 300, 100, 50));
  // Fractional rectangles compare as floats.
  CursorAt(199, 320);
  EXPECT_FALSE(IsCursorOver(window, 201.5f, 300, 100, 50));
}

TEST_F(CursorTest, TheHiddenVirtualCursorIsHitTestedToo)
{
  SetCursorVisible(false);
  CursorAt(640, 360);
  EXPECT_TRUE(IsCursorOver(window, 600, 340, 80, 40));
  Win32TestMoveMouse(200, 0);
  EXPECT_FALSE(IsCursorOver(window, 600, 340, 80, 40));
  POINT point = {};
  GetCursorPos(&point);
  ScreenToClient(window, &point);
  EXPECT_EQ(point.x, 840);
  EXPECT_EQ(point.y, 360);
}

TEST_F(CursorTest, SetCursorVisibleMovesTheCounterAtMostOneStep)
{
  ASSERT_EQ(cursorVisible, 1);
  const int calls = Win32TestShowCursorCalls();
  SetCursorVisible(false);
  SetCursorVisible(false);
  EXPECT_EQ(Win32TestShowCursorCalls() - calls, 1) << "hiding twice calls ShowCursor once";
  EXPECT_EQ(cursorVisible, 0);
  EXPECT_TRUE(Win32TestCursorHidden());
  SetCursorVisible(true);
  EXPECT_EQ(Win32TestShowCursorCalls() - calls, 2);
  EXPECT_FALSE(Win32TestCursorHidden()) << "one show undoes the one hide";
  SetCursorVisible(true);
  EXPECT_EQ(Win32TestShowCursorCalls() - calls, 2);
}
