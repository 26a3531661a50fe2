// The replay file's reader and writer, the game's random generator and the replays
// folder's upkeep: round trips, compactness, and every kind of bad file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/application.h"
#include "app/command_line.h"
#include "app/game_random.h"
#include "replay/replay_file.h"
#include "replay/replay_recorder.h"
#include "replay/stage_attempt.h"
#include "win32_comforts.h"

namespace fs = std::filesystem;

namespace {

// A minute of play as a player makes it: long holds of W, turns of a few pixels a
// tick, clicks now and then, a cast held for seconds.
ReplayFile MinuteOfPlay()
{
  ReplayFile replay;
  replay.header.gameVersion = "1.0";
  replay.header.stage = 3;
  replay.header.stageHash = 0x0123456789ABCDEFULL;
  replay.header.seed = 0xFEDCBA9876543210ULL;
  replay.header.lookSensitivity = 1.5f;
  replay.header.invertLook = true;
  replay.header.magicToggle = true;
  replay.header.startFade = 250;
  replay.header.clearTick = 3000;
  replay.header.endPosition[0] = 12.5f;
  replay.header.endPosition[1] = -0.1f;
  replay.header.endPosition[2] = 1e-7f;
  std::mt19937 noise(7);
  for (int tick = 0; tick < 3750; ++tick) {
    ReplayTick input;
    if ((tick / 200) % 2 == 0) input.buttons |= kReplayW;
    if (tick % 500 == 0) input.buttons |= kReplayClick | kReplaySpace;
    if (tick > 1000 && tick < 1400) input.buttons |= kReplayLeft;
    if (tick == 2000 || tick == 2300) input.buttons |= kReplayRightPressed;
    if ((tick / 150) % 4 == 1) input.cursorX = static_cast<int16_t>(static_cast<int>(noise() % 13) - 6);
    replay.ticks.push_back(input);
  }
  return replay;
}

// Writes the bytes after a fresh checksum, for files that are wrong inside but intact.
std::string Resealed(std::string bytes)
{
  bytes.resize(bytes.size() - 8);
  const uint64_t sum = Fnv1a64(bytes.data(), bytes.size());
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((sum >> (8 * i)) & 0xFF));
  return bytes;
}

// Where the header's fields sit in a file whose game version is "1.0".
const size_t versionAt = 8;
const size_t stageAt = 8 + 2 + 1 + 3;
const size_t tickCountAt = stageAt + 1 + 8 + 8 + 4 + 1 + 1 + 1;

}  // namespace

TEST(ReplayFile, RoundTripKeepsEveryFieldAndTickToTheBit)
{
  const ReplayFile written = MinuteOfPlay();
  ReplayFile read;
  ASSERT_EQ(DecodeReplay(EncodeReplay(written), &read), "");
  EXPECT_EQ(read.header.gameVersion, "1.0");
  EXPECT_EQ(read.header.stage, 3);
  EXPECT_EQ(read.header.stageHash, written.header.stageHash);
  EXPECT_EQ(read.header.seed, written.header.seed);
  EXPECT_EQ(read.header.lookSensitivity, 1.5f);
  EXPECT_TRUE(read.header.invertLook);
  EXPECT_TRUE(read.header.magicToggle);
  EXPECT_EQ(read.header.startFade, 250);
  EXPECT_EQ(read.header.clearTick, 3000);
  EXPECT_EQ(std::memcmp(read.header.endPosition, written.header.endPosition, sizeof read.header.endPosition), 0);
  ASSERT_EQ(read.ticks.size(), written.ticks.size());
  for (size_t i = 0; i < read.ticks.size(); ++i) {
    ASSERT_EQ(read.ticks[i].buttons, written.ticks[i].buttons) << "tick " << i;
    ASSERT_EQ(read.ticks[i].cursorX, written.ticks[i].cursorX) << "tick " << i;
    ASSERT_EQ(read.ticks[i].cursorY, written.ticks[i].cursorY) << "tick " << i;
  }
}

TEST(ReplayFile, AMinuteOfPlayTakesAFewKilobytesAndExtremesSurvive)
{
  const std::string bytes = EncodeReplay(MinuteOfPlay());
  EXPECT_LT(bytes.size(), 4096u);
  ReplayFile extremes;
  for (const int16_t value : {int16_t(-32768), int16_t(32767), int16_t(0), int16_t(-1)}) {
    ReplayTick tick;
    tick.buttons = kReplayAllBits;
    tick.cursorX = value;
    tick.cursorY = static_cast<int16_t>(-value - 1);
    extremes.ticks.push_back(tick);
  }
  ReplayFile read;
  ASSERT_EQ(DecodeReplay(EncodeReplay(extremes), &read), "");
  ASSERT_EQ(read.ticks.size(), 4u);
  EXPECT_EQ(read.ticks[0].cursorX, -32768);
  EXPECT_EQ(read.ticks[0].cursorY, 32767);
  EXPECT_EQ(read.ticks[1].cursorX, 32767);
  EXPECT_EQ(read.ticks[3].buttons, kReplayAllBits);
}

TEST(ReplayFile, EveryTruncationAndEveryFlippedByteIsRefusedWithAReason)
{
  const std::string bytes = EncodeReplay(MinuteOfPlay());
  ReplayFile read;
  for (size_t length = 0; length < bytes.size(); ++length) {
    ASSERT_NE(DecodeReplay(bytes.substr(0, length), &read), "") << "cut to " << length;
    EXPECT_TRUE(read.ticks.empty());
  }
  for (size_t at = 0; at < bytes.size(); at += 7) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
    ASSERT_NE(DecodeReplay(damaged, &read), "") << "byte " << at;
  }
}

TEST(ReplayFile, TextFilesAndCrLfCopiesAreNotReplays)
{
  ReplayFile read;
  EXPECT_EQ(DecodeReplay("", &read), "not a replay file");
  EXPECT_EQ(DecodeReplay("\xEF\xBB\xBF# my replay\r\nstage = 3\r\n", &read), "not a replay file");
  // A copy through a tool that turned each LF into CR LF.
  std::string copied;
  for (const char c : EncodeReplay(MinuteOfPlay())) {
    if (c == '\n') copied += '\r';
    copied += c;
  }
  EXPECT_NE(DecodeReplay(copied, &read), "");
}

TEST(ReplayFile, FieldsOutOfRangeAreRefusedEvenUnderAGoodChecksum)
{
  ReplayFile replay = MinuteOfPlay();
  const std::string good = EncodeReplay(replay);
  ASSERT_EQ(good.substr(versionAt, 2), std::string("\x02\x00", 2));
  ReplayFile read;

  std::string otherVersion = good;
  otherVersion[versionAt] = 1;
  EXPECT_EQ(DecodeReplay(Resealed(otherVersion), &read), "replay format 1 (this game reads format 2)");

  // Held magic reads back as held, the fields after it in place.
  ReplayFile toggledOff = replay;
  toggledOff.header.magicToggle = false;
  ASSERT_EQ(DecodeReplay(EncodeReplay(toggledOff), &read), "");
  EXPECT_FALSE(read.header.magicToggle);
  EXPECT_EQ(read.header.startFade, 250);

  std::string noStage = good;
  noStage[stageAt] = 0;
  EXPECT_EQ(DecodeReplay(Resealed(noStage), &read), "stage 0 does not exist");

  std::string hugeCount = good;
  hugeCount[tickCountAt + 3] = 0x7F;
  EXPECT_NE(DecodeReplay(Resealed(hugeCount), &read).find("more than a replay holds"), std::string::npos);

  std::string moreTicks = good;
  moreTicks[tickCountAt] = static_cast<char>(moreTicks[tickCountAt] + 1);
  EXPECT_EQ(DecodeReplay(Resealed(moreTicks), &read), "the file ends inside its ticks");

  std::string trailing = good;
  trailing.insert(trailing.size() - 8, "x");
  EXPECT_EQ(DecodeReplay(Resealed(trailing), &read), "there are bytes after the last tick");

  replay.header.clearTick = 5000;  // past the 3750 ticks recorded
  EXPECT_EQ(DecodeReplay(EncodeReplay(replay), &read), "its clear tick lies outside the recording");
}

TEST(ReplayFile, UnknownInputBitsAreRefused)
{
  ReplayFile replay;
  replay.ticks.resize(3);
  replay.ticks[1].buttons = static_cast<uint16_t>(kReplayAllBits + 1);
  ReplayFile read;
  EXPECT_EQ(DecodeReplay(EncodeReplay(replay), &read), "a tick holds input this game does not know");
  ReplayHeader header;
  EXPECT_EQ(DecodeReplayHeader(EncodeReplay(replay), &header), "a tick holds input this game does not know");
}

// The reference generator's published first outputs for seed 42, stream 54.
TEST(GameRandom, MatchesTheReferencePcg32AndRepeatsPerSeed)
{
  CGameRandom random;
  random.Seed(42, 54);
  const uint32_t expected[] = {0xa15c02b7, 0x7b47f409, 0xba1d3330, 0x83d2f293, 0xbfa4784b, 0xcbed606e};
  for (const uint32_t value : expected) EXPECT_EQ(random.Next(), value);

  CGameRandom a;
  CGameRandom b;
  a.Seed(1234);
  b.Seed(1234);
  int differ = 0;
  for (int i = 0; i < 100; ++i) {
    const int drawn = a.Below(32);
    EXPECT_EQ(drawn, b.Below(32));
    EXPECT_GE(drawn, 0);
    EXPECT_LT(drawn, 32);
  }
  b.Seed(1235);
  a.Seed(1234);
  for (int i = 0; i < 100; ++i) differ += a.Next() != b.Next() ? 1 : 0;
  EXPECT_GT(differ, 90);
  EXPECT_EQ(a.Below(0), 0);
  EXPECT_EQ(a.Below(-5), 0);
}

// A folder of 30 attempts over two stages: the fastest clear of each stage and the
// newest 20 stay, a damaged file is set aside.
TEST(ReplayFolder, KeepsPersonalBestsAndTheLastTwentyAndSetsDamageAside)
{
  const fs::path folder = fs::temp_directory_path() / ("solverica-replays-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (int i = 0; i < 30; ++i) {
    ReplayFile replay;
    replay.header.stage = i % 2 == 0 ? 1 : 2;
    replay.ticks.resize(400);
    replay.header.clearTick = i == 3 ? 100 : i == 4 ? 120 : i == 5 ? 150 : i % 3 == 0 ? 300 : -1;
    char name[64];
    std::snprintf(name, sizeof name, "20260101-0000%02d-s%d-000.replay", i, replay.header.stage);
    std::ofstream(folder / name, std::ios::binary) << EncodeReplay(replay);
  }
  std::ofstream(folder / "20260101-000015-s2-000.replay", std::ios::binary) << "damaged";
  std::ofstream(folder / "notes.txt") << "not a replay";
  TidyReplayFolder(folder.string(), 20);

  EXPECT_TRUE(fs::exists(folder / "20260101-000003-s2-000.replay"));   // stage 2's best (100 ticks)
  EXPECT_TRUE(fs::exists(folder / "20260101-000004-s1-000.replay"));   // stage 1's best (120 ticks)
  EXPECT_FALSE(fs::exists(folder / "20260101-000005-s2-000.replay"));  // slower than 3
  EXPECT_FALSE(fs::exists(folder / "20260101-000000-s1-000.replay"));
  EXPECT_FALSE(fs::exists(folder / "20260101-000015-s2-000.replay"));
  EXPECT_TRUE(fs::exists(folder / "20260101-000015-s2-000.replay.bad"));
  EXPECT_TRUE(fs::exists(folder / "notes.txt"));
  int kept = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".replay") ++kept;
  }
  EXPECT_EQ(kept, 22);  // the newest 20 usable ones and the two bests before them
  EXPECT_TRUE(fs::exists(folder / "20260101-000029-s2-000.replay"));
  EXPECT_TRUE(fs::exists(folder / "20260101-000009-s2-000.replay"));
  EXPECT_FALSE(fs::exists(folder / "20260101-000008-s1-000.replay"));
  // The kept best of a stage is found by the same rule; a stage without a clear has none.
  EXPECT_EQ(BestReplayPath(folder.string(), 2), (folder / "20260101-000003-s2-000.replay").string());
  EXPECT_EQ(BestReplayPath(folder.string(), 1), (folder / "20260101-000004-s1-000.replay").string());
  EXPECT_EQ(BestReplayPath(folder.string(), 3), "");
  fs::remove_all(folder);
}

TEST(ReplayCommandLine, ReplayTakesAFileAndVerifyNeedsAReplay)
{
  const char* watch[] = {"--replay", "a.replay"};
  CommandLineResult result = ParseCommandLine(2, watch);
  EXPECT_EQ(result.action, CommandLineAction::Run);
  EXPECT_EQ(result.replayPath, "a.replay");
  EXPECT_FALSE(result.verifyReplay);

  const char* verify[] = {"--verify", "--windowed", "--replay", "b.replay"};
  result = ParseCommandLine(4, verify);
  EXPECT_EQ(result.action, CommandLineAction::Run);
  EXPECT_EQ(result.replayPath, "b.replay");
  EXPECT_TRUE(result.verifyReplay);

  const char* noFile[] = {"--replay"};
  result = ParseCommandLine(1, noFile);
  EXPECT_EQ(result.action, CommandLineAction::Fail);
  EXPECT_NE(result.message.find("--replay needs a file"), std::string::npos);

  const char* noReplay[] = {"--verify"};
  EXPECT_EQ(ParseCommandLine(1, noReplay).action, CommandLineAction::Fail);
  EXPECT_NE(HelpText().find("--replay FILE"), std::string::npos);
}

// An attempt's file: written whole under a new name, with its outcome; the clear tick
// is the caller's, held within the recording; a failed attempt has none.
TEST(ReplayRecorder, FinishWritesTheAttemptWithItsOutcomeUnderANewName)
{
  const fs::path folder = fs::temp_directory_path() / ("solverica-recorder-" + std::to_string(getpid())) / "replays";
  fs::remove_all(folder.parent_path());
  CReplayRecorder* recorder = CReplayRecorder::GetInstance();
  ReplayHeader header;
  header.stage = 4;
  header.seed = 99;
  const float place[3] = {1.5f, 2.0f, -3.25f};
  std::vector<std::string> written;
  for (int attempt = 0; attempt < 3; ++attempt) {
    recorder->Begin(header);
    EXPECT_TRUE(recorder->IsRecording());
    for (int tick = 0; tick < 50; ++tick) {
      ReplayTick input;
      input.buttons = tick < 25 ? kReplayW : kReplayD;
      input.cursorX = static_cast<int16_t>(attempt);
      recorder->Capture(input);
    }
    written.push_back(recorder->Finish(attempt != 1, attempt == 2 ? 500 : 40, place, folder.string()));
    EXPECT_FALSE(recorder->IsRecording());
  }
  EXPECT_EQ(recorder->Finish(true, 1, place, folder.string()), "") << "nothing is being recorded";
  ASSERT_EQ(written.size(), 3u);
  EXPECT_NE(written[0], written[1]) << "attempts in the same second keep their own files";
  const int expectedClear[] = {40, -1, 50};
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::ifstream in(written[attempt], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ReplayFile read;
    ASSERT_EQ(DecodeReplay(bytes, &read), "") << written[attempt];
    EXPECT_EQ(read.header.stage, 4);
    EXPECT_EQ(read.header.seed, 99u);
    EXPECT_EQ(read.header.clearTick, expectedClear[attempt]);
    EXPECT_EQ(read.header.endPosition[2], -3.25f);
    ASSERT_EQ(read.ticks.size(), 50u);
    EXPECT_EQ(read.ticks[24].buttons, kReplayW);
    EXPECT_EQ(read.ticks[25].buttons, kReplayD);
    EXPECT_EQ(read.ticks[0].cursorX, attempt);
    EXPECT_FALSE(fs::exists(written[attempt] + ".tmp"));
  }
  recorder->Begin(header);
  recorder->Abandon();
  EXPECT_FALSE(recorder->IsRecording());
  fs::remove_all(folder.parent_path());
}

// Each flag of a tick lands in its own member of the input record and comes back as
// the same flag; the cursor offset comes back to the pixel.
TEST(ReplayTickInput, EachFlagHasItsOwnMemberAndTheCursorComesBack)
{
  CApplication* application = CApplication::GetInstance();
  const InputSnapshot saved = application->input;
  application->cursorHome = {640, 360};
  Win32HoldCursor(true);
  InputSnapshot* input = &application->input;
  int* const members[] = {&input->escapePressed, &input->spacePressed, &input->clicked,     &input->leftButton,
                          &input->rightButton,   &input->keyW,         &input->keyS,        &input->keyA,
                          &input->keyD,          &input->keyShift,     &input->leftPressed, &input->rightPressed};
  const int bits = static_cast<int>(std::size(members));
  ASSERT_EQ(kReplayAllBits, (1 << bits) - 1) << "every bit has its member";
  for (int bit = 0; bit < bits; ++bit) {
    ReplayTick tick;
    tick.buttons = static_cast<uint16_t>(1 << bit);
    tick.cursorX = static_cast<int16_t>(bit * 7 - 30);
    tick.cursorY = static_cast<int16_t>(-bit);
    ApplyTickInput(tick);
    for (int member = 0; member < bits; ++member) EXPECT_EQ(*members[member], member == bit ? 1 : 0) << bit;
    const ReplayTick back = CurrentTickInput();
    EXPECT_EQ(back.buttons, tick.buttons);
    EXPECT_EQ(back.cursorX, tick.cursorX);
    EXPECT_EQ(back.cursorY, tick.cursorY);
  }
  Win32HoldCursor(false);
  application->input = saved;
}
