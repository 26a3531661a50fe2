// Music loops: a note ringing over the end, echo and reverb all carry on into the start,
// so the last and first samples join like any two neighbours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/score.h"
#include "audio/sfx.h"
#include "audio/sequencer.h"
#include "wav_check.h"

using namespace contentgen::audio;

namespace {

// Two bars; the last note is a long pad that rings far past the end, with echo and reverb.
const char* kRingingScore =
    "tempo 120\nmeter 4\nreverb 0.8 0.6 0.3\necho 0.75 0.4 0.2\n"
    "instrument pad\n  wave = saw\n  filter = lowpass\n  cutoff = 800\n  attack = 0.05\n  sustain = 0.9\n  release = "
    "1.5\nend\n"
    "voice v pad reverb=0.7 echo=0.6\n  c4:2 e4 g4 c5 |\nend\n";

// Parses a score that the test expects to be valid.
Score ParseOrFail(const std::string& text)
{
  Score score;
  std::string error;
  EXPECT_TRUE(ParseScore(text, "loop.score", &score, &error)) << error;
  return score;
}

TEST(MusicLoop, LengthIsTheLoopExactly)
{
  const Score score = ParseOrFail(kRingingScore);
  const std::vector<float> out = RenderScore(score);
  EXPECT_EQ(out.size(), 2u * 4 * 44100);  // 8 beats at 120 = 4 s, stereo
}

TEST(MusicLoop, SeamJoinsLikeNeighbouringSamples)
{
  const Score score = ParseOrFail(kRingingScore);
  const std::vector<float> out = RenderScore(score);
  // The pad is still sounding at the end, so a plain cut would jump.
  EXPECT_GT(std::fabs(out[out.size() - 2]), 0.01f);
  for (int ch = 0; ch < 2; ++ch) {
    const Seam seam = MeasureSeam(out, 2, ch, 441);
    EXPECT_LT(seam.step, 0.05) << "channel " << ch;
    EXPECT_LE(seam.step, 1.5 * seam.nearbyMax + 1e-4) << "channel " << ch;
  }
}

TEST(MusicLoop, TheStartHearsTheTailOfTheEnd)
{
  // No echo or reverb: the only sound in the first half millisecond is the release of
  // the last note, wrapped round; the first note's attack is still near silence.
  const Score score = ParseOrFail(
      "tempo 120\ninstrument pad\n  wave = saw\n  attack = 0.05\n  sustain = 0.9\n  release = 1.5\nend\n"
      "voice v pad\n  c4:2 e4 g4 c5 |\nend\n");
  const std::vector<float> out = RenderScore(score);
  float early = 0.0f;
  for (int n = 0; n < 2 * 20; ++n) early = std::max(early, std::fabs(out[n]));
  EXPECT_GT(early, 0.05f);
}

TEST(MusicLoop, SeamMeasureCatchesAClick)
{
  // The measure itself must see a cut-off loop: render, then silence the start.
  const Score score = ParseOrFail(kRingingScore);
  std::vector<float> out = RenderScore(score);
  for (int n = 0; n < 2 * 2000; ++n) out[n] = 0.0f;
  const Seam seam = MeasureSeam(out, 2, 0, 441);
  EXPECT_GT(seam.step, 1.5 * seam.nearbyMax + 1e-4);
}

TEST(MusicLoop, PeakSitsAtTheMasterLevel)
{
  const Score score = ParseOrFail(kRingingScore);
  const std::vector<float> out = RenderScore(score);
  float peak = 0.0f;
  for (const float s : out) peak = std::max(peak, std::fabs(s));
  EXPECT_NEAR(peak, score.master, 1e-4f);
}

TEST(MusicLoop, PanMovesAVoiceToItsSide)
{
  Score score = ParseOrFail("tempo 120\ninstrument s\n  wave = sine\nend\nvoice v s pan=-1\n  a4:4 |\nend\n");
  const std::vector<float> out = RenderScore(score);
  double left = 0.0, right = 0.0;
  for (size_t i = 0; i < out.size(); i += 2) {
    left += out[i] * out[i];
    right += out[i + 1] * out[i + 1];
  }
  EXPECT_GT(left, 0.0);
  EXPECT_LT(right, left * 1e-6);
}

}  // namespace

// A looping effect (the torch's fire): exactly its length, the notes that ring past
// the end heard at the start, and no click where it wraps.
TEST(SfxLoop, ALoopingEffectIsExactlyItsLengthAndJoinsEndToStart)
{
  contentgen::audio::Sfx sfx;
  std::string error;
  ASSERT_TRUE(
      contentgen::audio::ParseSfx("loop = 1.0\nlowcut = 70\n[bed]\nwave = noise\nnotes = c4\n"
                                  "filter = lowpass\ncutoff = 600\nattack = 0.3\nsustain = 1\n"
                                  "release = 0.3\ngate = 1.0\n[tick]\nwave = sine\nnotes = a5\n"
                                  "start = 0.9\ndecay = 0.4\nsustain = 0\ngate = 0.05\n",
                                  "torch.sfx", &sfx, &error))
      << error;
  const std::vector<float> out = contentgen::audio::RenderSfx(sfx);
  ASSERT_EQ(out.size(), 44100u);
  // The tick at 0.9 s rings on past 1.0 s: its tail is in the first tenth of a second.
  float early = 0.0f;
  for (int n = 0; n < 2000; ++n) early = std::max(early, std::fabs(out[n]));
  EXPECT_GT(early, 0.05f) << "the bed's release and the tick's tail fold onto the start";
  const Seam seam = MeasureSeam(out, 1, 0, 441);
  EXPECT_LE(seam.step, 1.5 * seam.nearbyMax + 1e-4);
}

TEST(SfxLoop, AOneShotStillEndsInSilence)
{
  contentgen::audio::Sfx sfx;
  std::string error;
  ASSERT_TRUE(
      contentgen::audio::ParseSfx("[a]\nwave = sine\nnotes = c5\ndecay = 0.2\nsustain = 0\n", "x.sfx", &sfx, &error));
  const std::vector<float> out = contentgen::audio::RenderSfx(sfx);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back(), 0.0f);
}
