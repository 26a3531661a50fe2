// The real content: every sound and piece of music the game loads is generated with the
// format it claims (mono effects, stereo music), music lasts a minute or more and loops
// without a click; broken sources stop the run with a message naming file and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "audio/audio_content.h"
#include "core/output.h"
#include "wav_check.h"

namespace fs = std::filesystem;

namespace {

// A fresh scratch directory under the system's temporary folder, one per process so
// that test runs from several build trees never share one.
fs::path ScratchDir(const std::string& name)
{
  const fs::path dir = fs::temp_directory_path() / ("solverica_contentaudio_" + std::to_string(getpid()) + "_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// Writes a small text file, creating its folder.
void WriteText(const fs::path& path, const std::string& text)
{
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

// Peak and RMS of 16-bit samples, scaled to -1..1.
void Levels(const std::vector<int16_t>& s, double* peak, double* rms)
{
  double sum = 0.0;
  *peak = 0.0;
  for (const int16_t v : s) {
    const double x = v / 32767.0;
    *peak = std::max(*peak, std::fabs(x));
    sum += x * x;
  }
  *rms = std::sqrt(sum / std::max<size_t>(s.size(), 1));
}

class GeneratedAudio : public ::testing::Test {
protected:
  // Generates once for the whole suite; the music takes a couple of seconds.
  static void SetUpTestSuite()
  {
    outDir = new fs::path(ScratchDir("real"));
    std::string error;
    ok = contentgen::GenerateAudio(std::string(SOLVERICA_SOURCE_DIR) + "/content", outDir->string(), &error);
    message = new std::string(error);
  }
  static void TearDownTestSuite()
  {
    fs::remove_all(*outDir);
    delete outDir;
    delete message;
  }
  static fs::path* outDir;
  static bool ok;
  static std::string* message;
};
fs::path* GeneratedAudio::outDir = nullptr;
bool GeneratedAudio::ok = false;
std::string* GeneratedAudio::message = nullptr;

TEST_F(GeneratedAudio, EffectsAreMono16BitAndAudible)
{
  ASSERT_TRUE(ok) << *message;
  for (const char* name :
       {"landing", "footsteps", "jump", "zazaza", "stage_clear", "puddle", "click", "cursor", "pause", "obj_enable",
        "shot", "blast", "piece_landing", "popping", "orb_get", "magic_charge"}) {
    const WavInfo w = ReadWavFile((*outDir / "sound" / (std::string(name) + ".wav")).string());
    ASSERT_TRUE(w.ok) << name << ": " << w.problem;
    EXPECT_EQ(w.formatTag, 1) << name;
    EXPECT_EQ(w.channels, 1) << name;
    EXPECT_EQ(w.bitsPerSample, 16) << name;
    EXPECT_TRUE(w.sampleRate == 44100 || w.sampleRate == 22050) << name;
    EXPECT_EQ(w.blockAlign, 2) << name;
    EXPECT_EQ(w.bytesPerSecond, w.sampleRate * 2) << name;
    EXPECT_EQ(w.riffSize, w.fileSize - 8) << name;
    EXPECT_EQ(w.dataSize, w.samples.size() * 2) << name;
    double peak = 0.0, rms = 0.0;
    Levels(w.samples, &peak, &rms);
    EXPECT_LT(peak, 0.99) << name << " clips";
    EXPECT_GT(peak, 0.3) << name << " is too quiet";
    EXPECT_GT(rms, 0.02) << name << " is nearly silent";
    EXPECT_EQ(w.samples.back(), 0) << name << " ends with a click";
  }
}

TEST_F(GeneratedAudio, MusicIsStereoAMinuteLongAndLoopsCleanly)
{
  ASSERT_TRUE(ok) << *message;
  for (const char* name : {"title_bgm", "game_bgm", "ending_bgm"}) {
    const WavInfo w = ReadWavFile((*outDir / "sound" / (std::string(name) + ".wav")).string());
    ASSERT_TRUE(w.ok) << name << ": " << w.problem;
    EXPECT_EQ(w.formatTag, 1) << name;
    EXPECT_EQ(w.channels, 2) << name;
    EXPECT_EQ(w.bitsPerSample, 16) << name;
    EXPECT_EQ(w.blockAlign, 4) << name;
    EXPECT_EQ(w.riffSize, w.fileSize - 8) << name;
    const double seconds = w.samples.size() / 2.0 / w.sampleRate;
    EXPECT_GE(seconds, 60.0) << name;
    double peak = 0.0, rms = 0.0;
    Levels(w.samples, &peak, &rms);
    EXPECT_LT(peak, 0.95) << name << " clips";
    EXPECT_GT(rms, 0.05) << name << " is too quiet";
    const int window = static_cast<int>(w.sampleRate / 100);  // 10 ms either side
    for (int ch = 0; ch < 2; ++ch) {
      const Seam seam = MeasureSeam(w.samples, 2, ch, window);
      EXPECT_LT(seam.step, 0.05) << name << " channel " << ch;
      EXPECT_LE(seam.step, 1.5 * seam.nearbyMax + 2.0 / 32767.0) << name << " channel " << ch;
    }
  }
}

TEST(AudioContent, BrokenEffectNamesFileAndLine)
{
  const fs::path dir = ScratchDir("broken_sfx");
  WriteText(dir / "content/sounds/a_good.sfx", "[a]\nnotes = c4\n");
  WriteText(dir / "content/sounds/bad.sfx", "peak = 0.5\n[a]\nnotes = c4\nfoo = 1\n");
  WriteText(dir / "content/music/.keep", "");
  std::string error;
  EXPECT_FALSE(contentgen::GenerateAudio((dir / "content").string(), (dir / "res").string(), &error));
  EXPECT_EQ(error, (dir / "content/sounds/bad.sfx").string() + ":4: unknown key 'foo'");
  // Nothing is written, not even the good sound read before the bad one.
  EXPECT_FALSE(fs::exists(dir / "res/sound/bad.wav"));
  EXPECT_FALSE(fs::exists(dir / "res/sound/a_good.wav"));
  fs::remove_all(dir);
}

TEST(AudioContent, BrokenScoreNamesFileAndLine)
{
  const fs::path dir = ScratchDir("broken_score");
  WriteText(dir / "content/sounds/good.sfx", "[a]\nnotes = c4\n");
  WriteText(dir / "content/music/bad.score", "tempo 100\ninstrument i\nend\nvoice v i\n  c4 q4\nend\n");
  std::string error;
  EXPECT_FALSE(contentgen::GenerateAudio((dir / "content").string(), (dir / "res").string(), &error));
  EXPECT_EQ(error, (dir / "content/music/bad.score").string() + ":5: 'q4' is not a note, chord or rest");
  EXPECT_FALSE(fs::exists(dir / "res/sound/good.wav"));
  fs::remove_all(dir);
}

TEST(AudioContent, GoodSourcesAreWrittenAndRewrittenOnlyOnChange)
{
  const fs::path dir = ScratchDir("good");
  WriteText(dir / "content/sounds/tick.sfx", "[a]\nnotes = c5\ndecay = 0.05\nsustain = 0\n");
  WriteText(dir / "content/music/tune.score", "tempo 120\ninstrument i\nend\nvoice v i\n  c4:2 g4 |\nend\n");
  std::string error;
  ASSERT_TRUE(contentgen::GenerateAudio((dir / "content").string(), (dir / "res").string(), &error)) << error;
  const WavInfo tick = ReadWavFile((dir / "res/sound/tick.wav").string());
  const WavInfo tune = ReadWavFile((dir / "res/sound/tune.wav").string());
  ASSERT_TRUE(tick.ok && tune.ok);
  EXPECT_EQ(tick.channels, 1);
  EXPECT_EQ(tune.channels, 2);
  EXPECT_EQ(tune.samples.size(), 2u * 2 * 44100);
  // A second run with the same sources leaves the files alone.
  const auto stamp = fs::last_write_time(dir / "res/sound/tune.wav");
  const int written = contentgen::WrittenFileCount();
  ASSERT_TRUE(contentgen::GenerateAudio((dir / "content").string(), (dir / "res").string(), &error)) << error;
  EXPECT_EQ(contentgen::WrittenFileCount(), written);
  EXPECT_EQ(fs::last_write_time(dir / "res/sound/tune.wav"), stamp);
  fs::remove_all(dir);
}

TEST(AudioContent, MissingFolderIsReported)
{
  const fs::path dir = ScratchDir("missing");
  std::string error;
  EXPECT_FALSE(contentgen::GenerateAudio((dir / "content").string(), (dir / "res").string(), &error));
  EXPECT_NE(error.find("sounds"), std::string::npos) << error;
  fs::remove_all(dir);
}

}  // namespace
