// The stage clock, the whole game's clock and the records file: times read on the
// clock's face, records files as people write them (CR LF, byte-order mark, blank
// lines, comments) and as damage leaves them, set aside once and replaced by empty
// records, and the writes through a temporary file.
#include "app/records.h"
#include "app/stage_clock.h"
#include "app/user_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// A scratch folder per test, removed afterwards.
class RecordsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    scratch = fs::path(::testing::TempDir()) /
              ("solverica_records_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    path = (scratch / "records.txt").string();
  }
  void TearDown() override { fs::remove_all(scratch); }
  // Writes the bytes as they stand.
  void Write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
  // The whole of a file; empty when it is missing.
  static std::string Read(const std::string& file)
  {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path scratch;
  std::string path;
};

TEST(StageClock, ReadsAsMinutesSecondsAndHundredths)
{
  EXPECT_EQ(FormatClock(0), "-:--.--");
  EXPECT_EQ(FormatClock(-5), "-:--.--");
  EXPECT_EQ(FormatClock(1), "0:00.01") << "16 ms, rounded down";
  EXPECT_EQ(FormatClock(62), "0:00.99") << "992 ms";
  EXPECT_EQ(FormatClock(63), "0:01.00") << "1008 ms";
  EXPECT_EQ(FormatClock(3750), "1:00.00");
  EXPECT_EQ(FormatClock(3749), "0:59.98");
  EXPECT_EQ(FormatClock(37500 + 3125), "10:50.00");
  EXPECT_EQ(FormatClock(2147483647), "572662:18.35") << "no overflow at the largest count";
}

TEST(StageClock, CountsUntilStoppedAndTheGameSumsOnlyTimedRuns)
{
  CStageClock clock;
  for (int i = 0; i < 5; ++i) clock.Tick();
  EXPECT_EQ(clock.Ticks(), 5);
  EXPECT_FALSE(clock.IsStopped());
  clock.Stop();
  clock.Tick();
  EXPECT_EQ(clock.Ticks(), 5) << "the goal stops it for good";

  CGameClock game;
  game.Add(100);
  EXPECT_EQ(game.Ticks(), 0) << "not timed before New Game";
  game.Start();
  game.Add(100);
  game.Add(-3);
  game.Add(2147483647);
  EXPECT_EQ(game.Ticks(), 2147483647) << "saturates";
  game.Start();
  game.Add(40);
  game.Finish(90, true);
  game.Add(10);
  EXPECT_EQ(game.Ticks(), 40) << "nothing after the last goal";
  EXPECT_TRUE(game.IsFinished());
  EXPECT_EQ(game.previousBest, 90);
  game.Cancel();
  EXPECT_FALSE(game.IsTimed());
  EXPECT_FALSE(game.IsFinished());
  EXPECT_EQ(game.Ticks(), 0);
}

TEST(Records, OnlyABetterTimeReplacesTheBest)
{
  CRecords records;
  EXPECT_TRUE(records.OfferStage(3, 500)) << "the first time";
  EXPECT_FALSE(records.OfferStage(3, 500)) << "a tie";
  EXPECT_FALSE(records.OfferStage(3, 501));
  EXPECT_TRUE(records.OfferStage(3, 499));
  EXPECT_EQ(records.StageBest(3), 499);
  EXPECT_FALSE(records.OfferStage(0, 10));
  EXPECT_FALSE(records.OfferStage(9, 10));
  EXPECT_FALSE(records.OfferStage(2, 0));
  EXPECT_EQ(records.StageBest(2), 0);
  EXPECT_EQ(records.StageBest(9), 0);
  EXPECT_TRUE(records.OfferGame(9000));
  EXPECT_FALSE(records.OfferGame(9001));
  EXPECT_EQ(records.GameBest(), 9000);
}

TEST(Records, AStageClearGoesToTheRecordsAndTheWholeGame)
{
  CRecords records;
  CGameClock game;
  game.Start();
  ClearTime shown;
  EXPECT_TRUE(RecordStageClear(records, game, 1, 700, &shown));
  EXPECT_EQ(shown.ticks, 700);
  EXPECT_EQ(shown.previousBest, 0);
  EXPECT_TRUE(shown.newBest);
  EXPECT_FALSE(RecordStageClear(records, game, 1, 800, &shown)) << "slower: nothing to write";
  EXPECT_EQ(shown.previousBest, 700);
  EXPECT_FALSE(shown.newBest);
  EXPECT_EQ(game.Ticks(), 1500) << "both attempts count in the whole game";
  EXPECT_FALSE(game.IsFinished());

  records.OfferStage(8, 100);
  records.OfferGame(1000);
  EXPECT_FALSE(RecordStageClear(records, game, 8, 200, &shown)) << "neither 200 nor the game's 1700 is a best";
  EXPECT_FALSE(shown.newBest);
  EXPECT_TRUE(game.IsFinished());
  EXPECT_EQ(records.GameBest(), 1000) << "1700 does not beat 1000";
  EXPECT_EQ(game.previousBest, 1000);
  EXPECT_FALSE(game.newBest);

  CGameClock untimed;
  EXPECT_FALSE(RecordStageClear(records, untimed, 8, 300, &shown));
  EXPECT_FALSE(untimed.IsFinished()) << "a Continue makes no whole-game time";
  game.Start();
  RecordStageClear(records, game, 8, 600, &shown);
  EXPECT_EQ(records.GameBest(), 600);
  EXPECT_TRUE(game.newBest);
}

TEST(Records, ReadsFilesAsPeopleWriteThem)
{
  CRecords records;
  const std::string handWritten =
      "\xEF\xBB\xBF# my times\r\n"
      "\r\n"
      "stage 1 3125   # 0:50.00\r\n"
      "  stage\t8  62 \r\n"
      "game 99999#no space before the comment\r\n"
      "   \r\n";
  EXPECT_EQ(records.Parse(handWritten), "");
  EXPECT_EQ(records.StageBest(1), 3125);
  EXPECT_EQ(records.StageBest(8), 62);
  EXPECT_EQ(records.StageBest(2), 0);
  EXPECT_EQ(records.GameBest(), 99999);
  EXPECT_EQ(records.Parse(""), "") << "an empty file is no times";
  EXPECT_EQ(records.GameBest(), 0);
  EXPECT_EQ(records.Parse("stage 2 10"), "") << "no line end at the end";
  EXPECT_EQ(records.StageBest(2), 10);
}

TEST(Records, NamesWhatIsWrongWithADamagedFile)
{
  CRecords records;
  const std::pair<const char*, const char*> damaged[] = {
      {"stage 9 100\n", "line 1: stage \"9\" does not exist"},
      {"stage 0 100\n", "does not exist"},
      {"# ok\nstage 2 0\n", "line 2: \"0\" is not a time"},
      {"stage 2 -5\n", "\"-5\" is not a time"},
      {"stage 2 1:23.45\n", "is not a time"},
      {"stage 2 99999999999\n", "is not a time"},
      {"stage 2 10\nstage 2 9\n", "line 2: stage 2 has a second time"},
      {"game 5\ngame 6\n", "second time"},
      {"stage 2\n", "line 1: \"stage\" is not"},
      {"stage 2 10 11\n", "is not \"stage N TICKS\""},
      {"best 4 10\n", "\"best\" is not"},
      {"\x01\x02\xFF\n", "\"???\" is not"},
  };
  for (const auto& [text, message] : damaged) {
    records.Parse("stage 1 7\n");
    const std::string fault = records.Parse(text);
    EXPECT_NE(fault.find(message), std::string::npos) << text << " -> " << fault;
    EXPECT_EQ(records.StageBest(1), 0) << "a damaged file leaves no times: " << text;
    EXPECT_EQ(records.StageBest(2), 0) << text;
  }
  EXPECT_NE(records.Parse(std::string(70000, '#')).find("longer than"), std::string::npos);
}

TEST(Records, WhatIsWrittenIsReadBackAndReadable)
{
  CRecords records;
  records.OfferStage(1, 3125);
  records.OfferStage(5, 4000);
  records.OfferGame(50000);
  const std::string text = records.Text();
  EXPECT_NE(text.find("stage 1 3125  # 0:50.00\n"), std::string::npos) << text;
  EXPECT_NE(text.find("game 50000  # 13:20.00\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("stage 2"), std::string::npos) << "a stage without a time has no line";
  CRecords again;
  EXPECT_EQ(again.Parse(text), "");
  for (int stage = 1; stage <= CRecords::kStageCount; ++stage)
    EXPECT_EQ(again.StageBest(stage), records.StageBest(stage));
  EXPECT_EQ(again.GameBest(), 50000);
}

TEST_F(RecordsTest, AMissingFileIsNoTimesAndNoMessage)
{
  CRecords records;
  records.OfferStage(1, 5);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(records.Load(path));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(records.StageBest(1), 0);
  EXPECT_FALSE(fs::exists(path + ".bad"));
}

TEST_F(RecordsTest, ADamagedFileIsNamedOnceAndKeptAside)
{
  Write("stage 1 100\r\nstage one 5\r\n");
  CRecords records;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(records.Load(path));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(path), std::string::npos) << said;
  EXPECT_NE(said.find("line 2"), std::string::npos) << said;
  EXPECT_NE(said.find("records.txt.bad"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
  EXPECT_EQ(records.StageBest(1), 0);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(Read(path + ".bad"), "stage 1 100\r\nstage one 5\r\n") << "kept as it was";

  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(records.Load(path)) << "the next start finds no file";
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(RecordsTest, AnUnreadableFileIsSetAsideToo)
{
  fs::create_directories(path);  // a folder where the file should be cannot be read as one
  CRecords records;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(records.Load(path));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("cannot be read"), std::string::npos) << said;
  EXPECT_TRUE(fs::is_directory(path + ".bad"));
  EXPECT_TRUE(records.Save(path)) << "the place is free again";
}

TEST_F(RecordsTest, SavesThroughATemporaryFileIntoAFolderItMakes)
{
  const std::string nested = (scratch / "deeper" / "solverica" / "records.txt").string();
  CRecords records;
  records.OfferStage(4, 1234);
  EXPECT_TRUE(records.Save(nested));
  EXPECT_FALSE(fs::exists(nested + ".tmp"));
  CRecords loaded;
  EXPECT_TRUE(loaded.Load(nested));
  EXPECT_EQ(loaded.StageBest(4), 1234);

  Write("stage 4 1\n");
  const std::string blocked = (scratch / "records.txt" / "records.txt").string();  // a file where a folder must be
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(records.Save(blocked));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("cannot write the records"), std::string::npos) << said;
  EXPECT_EQ(Read(path), "stage 4 1\n") << "nothing else touched";
  EXPECT_FALSE(fs::exists(blocked + ".tmp"));
  EXPECT_EQ(records.StageBest(4), 1234) << "the time stays in memory";
}

TEST(RecordsPath, LivesBesideTheSaveFile)
{
  const std::string saved = SaveFilePath();
  SetSaveFilePath("res/dat/save.dat");
  EXPECT_EQ(RecordsFilePath(), "res/dat/records.txt");
  SetSaveFilePath("/home/p/.local/share/solverica/save.dat");
  EXPECT_EQ(RecordsFilePath(), "/home/p/.local/share/solverica/records.txt");
  SetSaveFilePath("save.dat");
  EXPECT_EQ(RecordsFilePath(), "records.txt");
  SetSaveFilePath(saved);
}

}  // namespace
