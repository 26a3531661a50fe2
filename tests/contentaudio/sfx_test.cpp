// Sound-effect files: bad lines are reported with file and line; the rendered sound is
// mono-ready, starts and ends quietly, reaches its peak and plays its notes on time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/sfx.h"

using namespace contentgen::audio;

namespace {

// Parses text expecting failure; returns the message.
std::string ParseError(const std::string& text)
{
  Sfx sfx;
  std::string error;
  EXPECT_FALSE(ParseSfx(text, "content/sounds/x.sfx", &sfx, &error)) << text;
  return error;
}

TEST(SfxParser, UnknownKeyNamesFileAndLine)
{
  std::string text = "# a comment\npeak = 0.5\n\n[a]\nnotes = c4\n";
  for (int i = 0; i < 6; ++i) text += "decay = 0.1\n";
  text += "foo = 1\n";  // line 12
  EXPECT_EQ(ParseError(text), "content/sounds/x.sfx:12: unknown key 'foo'");
}

TEST(SfxParser, BadLinesAreReportedWhereTheyAre)
{
  EXPECT_EQ(ParseError("peak = loud\n[a]\nnotes = c4\n"), "content/sounds/x.sfx:1: 'peak' needs a number, not 'loud'");
  EXPECT_EQ(ParseError("wave = sine\n"), "content/sounds/x.sfx:1: unknown key 'wave'");  // a layer key before any layer
  EXPECT_EQ(ParseError("[a]\nnotes = c4 x7\n"), "content/sounds/x.sfx:2: 'x7' is not a note (like c4, f#5, eb3)");
  EXPECT_EQ(ParseError("[a]\nnotes = c4\nwave = sinus\n"), "content/sounds/x.sfx:3: unknown wave 'sinus'");
  EXPECT_EQ(ParseError("[a]\nnotes c4\n"), "content/sounds/x.sfx:2: expected 'key = value', got 'notes c4'");
  EXPECT_EQ(ParseError("[a\n"), "content/sounds/x.sfx:1: a section line looks like [name]");
  EXPECT_EQ(ParseError("rate = 48000\n[a]\nnotes = c4\n"), "content/sounds/x.sfx:1: 'rate' must be 44100 or 22050");
  EXPECT_EQ(ParseError("[a]\nattack = 0.1\n"), "content/sounds/x.sfx: layer [a] has no 'notes'");
  EXPECT_EQ(ParseError("peak = 0.5\n"), "content/sounds/x.sfx: no [layer] section, so there is nothing to play");
}

TEST(SfxParser, SharpsAreNotComments)
{
  Sfx sfx;
  std::string error;
  ASSERT_TRUE(ParseSfx("[a]\nnotes = f#4 c#5  # two notes\n", "x.sfx", &sfx, &error)) << error;
  ASSERT_EQ(sfx.layers[0].notes.size(), 2u);
  EXPECT_EQ(sfx.layers[0].notes[0], 66);
  EXPECT_EQ(sfx.layers[0].notes[1], 73);
}

TEST(SfxRender, ReachesItsPeakAndEndsInSilence)
{
  Sfx sfx;
  std::string error;
  ASSERT_TRUE(ParseSfx("peak = 0.6\n[a]\nwave = saw\nnotes = a3\ndecay = 0.2\nsustain = 0\n", "x.sfx", &sfx, &error))
      << error;
  const std::vector<float> out = RenderSfx(sfx);
  ASSERT_FALSE(out.empty());
  float peak = 0.0f;
  for (const float s : out) peak = std::max(peak, std::fabs(s));
  EXPECT_NEAR(peak, 0.6f, 1e-4f);
  EXPECT_LT(std::fabs(out.front()), 0.05f);
  EXPECT_EQ(out.back(), 0.0f);
  EXPECT_LT(out.size(), static_cast<size_t>(0.4 * 44100));  // the silent tail is trimmed
}

TEST(SfxRender, NotesStartOnTheirSteps)
{
  Sfx sfx;
  std::string error;
  const std::string text =
      "echo_time = 0\n[a]\nwave = sine\nnotes = a4 a4\nstart = 0.1\nstep = 0.3\n"
      "attack = 0.001\ndecay = 0.05\nsustain = 0\ngate = 0.02\n";
  ASSERT_TRUE(ParseSfx(text, "x.sfx", &sfx, &error)) << error;
  const std::vector<float> out = RenderSfx(sfx);
  // Loud 5 ms after each onset (0.1 s and 0.4 s), quiet just before.
  auto level = [&](double t) {
    float m = 0.0f;
    for (int n = static_cast<int>(t * 44100); n < static_cast<int>((t + 0.004) * 44100); ++n)
      m = std::max(m, std::fabs(out[n]));
    return m;
  };
  EXPECT_LT(level(0.09), 0.01f);
  EXPECT_GT(level(0.102), 0.3f);
  EXPECT_LT(level(0.39), 0.05f);
  EXPECT_GT(level(0.402), 0.3f);
}

TEST(SfxRender, EchoRepeatsTheSound)
{
  Sfx dry, wet;
  std::string error;
  const std::string base =
      "[a]\nwave = sine\nnotes = c5\nattack = 0.001\ndecay = 0.03\nsustain = 0\nrelease = 0.01\ngate = 0.01\n";
  ASSERT_TRUE(ParseSfx(base, "x.sfx", &dry, &error)) << error;
  ASSERT_TRUE(ParseSfx("echo_time = 0.2\necho_mix = 0.5\n" + base, "x.sfx", &wet, &error)) << error;
  const std::vector<float> a = RenderSfx(dry), b = RenderSfx(wet);
  EXPECT_LT(a.size(), static_cast<size_t>(0.2 * 44100));  // dry: over before the repeat
  ASSERT_GT(b.size(), static_cast<size_t>(0.25 * 44100));
  float repeat = 0.0f;
  for (int n = static_cast<int>(0.2 * 44100); n < static_cast<int>(0.23 * 44100); ++n)
    repeat = std::max(repeat, std::fabs(b[n]));
  EXPECT_GT(repeat, 0.2f);
}

}  // namespace

// A loop keeps its exact length and joins its end to its start without a jump, even
// with a note held over the end and a low cut running.
TEST(SfxRender, ALoopJoinsItsEndToItsStart)
{
  Sfx sfx;
  std::string error;
  ASSERT_TRUE(
      ParseSfx("loop = 0.5\nlowcut = 80\n[hum]\nwave = saw\nnotes = c3\nattack = 0.05\nsustain = 1\n"
               "release = 0.05\ngate = 0.5\n[grit]\nwave = noise\nnotes = c4 c4\nstep = 0.25\ngate = 0.2\n",
               "loop.sfx", &sfx, &error))
      << error;
  const std::vector<float> out = RenderSfx(sfx);
  ASSERT_EQ(out.size(), 22050u);
  float largestStep = 0.0f;
  for (size_t i = 1; i < out.size(); ++i) largestStep = std::max(largestStep, std::fabs(out[i] - out[i - 1]));
  EXPECT_LE(std::fabs(out.front() - out.back()), largestStep) << "the seam is no bigger than any other step";
  EXPECT_GT(std::fabs(out.front()), 0.01f) << "sound is already playing at the start: the held note carried over";
}
