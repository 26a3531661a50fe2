// Synthesizer pieces: envelopes reach their levels on time, filters pass and stop what
// they should, oscillators run at their pitch without offset, notes render as asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/delay.h"
#include "audio/envelope.h"
#include "audio/filter.h"
#include "audio/oscillator.h"
#include "audio/patch.h"

using namespace contentgen::audio;

namespace {

constexpr int kRate = 44100;

// RMS of a sine of frequency hz after it has passed through process (first 0.1 s skipped).
template <typename Process>
double SineThrough(double hz, Process process)
{
  double sum = 0.0;
  int count = 0;
  for (int n = 0; n < kRate / 2; ++n) {
    const float y = process(static_cast<float>(std::sin(2.0 * M_PI * hz * n / kRate)));
    if (n > kRate / 10) {
      sum += y * y;
      ++count;
    }
  }
  return std::sqrt(sum / count) / std::sqrt(0.5);
}

TEST(Envelope, ReachesPeakSustainAndSilenceOnTime)
{
  // At 1000 Hz: 10 samples attack, 50 decay, sustain 0.5, 20 release.
  CEnvelope env(0.010f, 0.050f, 0.5f, 0.020f, 1000.0f);
  float level = 0.0f;
  for (int n = 0; n < 9; ++n) level = env.Next(true);
  EXPECT_LT(level, 1.0f);
  EXPECT_GT(level, 0.8f);
  level = env.Next(true);
  EXPECT_FLOAT_EQ(level, 1.0f);  // peak on the tenth sample
  for (int n = 0; n < 50; ++n) level = env.Next(true);
  EXPECT_FLOAT_EQ(level, 0.5f);
  EXPECT_EQ(env.GetStage(), CEnvelope::Stage::Sustain);
  for (int n = 0; n < 200; ++n) level = env.Next(true);
  EXPECT_FLOAT_EQ(level, 0.5f);  // holds while the gate is open
  int releaseSamples = 0;
  while (env.GetStage() != CEnvelope::Stage::Done && releaseSamples < 1000) {
    env.Next(false);
    ++releaseSamples;
  }
  EXPECT_LE(releaseSamples, 20);
  EXPECT_FLOAT_EQ(env.GetLevel(), 0.0f);
}

TEST(Envelope, SegmentsMoveOneWay)
{
  CEnvelope env(0.02f, 0.1f, 0.3f, 0.05f, 1000.0f);
  float previous = 0.0f;
  for (int n = 0; n < 20; ++n) {
    const float l = env.Next(true);
    EXPECT_GE(l, previous);
    previous = l;
  }
  for (int n = 0; n < 100; ++n) {
    const float l = env.Next(true);
    EXPECT_LE(l, previous);
    EXPECT_GE(l, 0.3f);
    previous = l;
  }
}

TEST(Envelope, PercussiveDecayEndsInSilence)
{
  CEnvelope env(0.0f, 0.1f, 0.0f, 0.1f, 1000.0f);
  EXPECT_GT(env.Next(true), 0.9f);  // no attack: starts at the peak
  for (int n = 0; n < 101; ++n) env.Next(true);
  EXPECT_EQ(env.GetStage(), CEnvelope::Stage::Done);
  EXPECT_FLOAT_EQ(env.GetLevel(), 0.0f);
}

TEST(Filter, LowPassAttenuatesAboveCutoff)
{
  CStateVariableFilter pass(FilterType::LowPass, kRate);
  pass.SetCutoff(1000.0f, 0.707f);
  EXPECT_GT(SineThrough(200.0, [&](float x) { return pass.Process(x); }), 0.95);
  CStateVariableFilter stop(FilterType::LowPass, kRate);
  stop.SetCutoff(1000.0f, 0.707f);
  // Two octaves and more above: 12 dB per octave leaves well under 1/10.
  EXPECT_LT(SineThrough(8000.0, [&](float x) { return stop.Process(x); }), 0.03);
  CStateVariableFilter atCutoff(FilterType::LowPass, kRate);
  atCutoff.SetCutoff(1000.0f, 0.707f);
  EXPECT_NEAR(SineThrough(1000.0, [&](float x) { return atCutoff.Process(x); }), 0.707, 0.05);
}

TEST(Filter, HighPassAttenuatesBelowCutoff)
{
  CStateVariableFilter stop(FilterType::HighPass, kRate);
  stop.SetCutoff(2000.0f, 0.707f);
  EXPECT_LT(SineThrough(250.0, [&](float x) { return stop.Process(x); }), 0.03);
  CStateVariableFilter pass(FilterType::HighPass, kRate);
  pass.SetCutoff(2000.0f, 0.707f);
  EXPECT_GT(SineThrough(10000.0, [&](float x) { return pass.Process(x); }), 0.95);
}

TEST(Filter, BandPassPeaksAtItsCentre)
{
  auto through = [](double hz) {
    CStateVariableFilter f(FilterType::BandPass, kRate);
    f.SetCutoff(1500.0f, 4.0f);
    return SineThrough(hz, [&](float x) { return f.Process(x); });
  };
  const double centre = through(1500.0);
  EXPECT_GT(centre, 0.5);
  EXPECT_LT(through(300.0), centre * 0.15);
  EXPECT_LT(through(7500.0), centre * 0.15);
}

TEST(Filter, OnePoleLowAndHighPass)
{
  COnePole low(false, 500.0f, kRate);
  EXPECT_LT(SineThrough(8000.0, [&](float x) { return low.Process(x); }), 0.1);
  COnePole high(true, 500.0f, kRate);
  EXPECT_LT(SineThrough(30.0, [&](float x) { return high.Process(x); }), 0.1);
  COnePole highPass(true, 500.0f, kRate);
  EXPECT_GT(SineThrough(8000.0, [&](float x) { return highPass.Process(x); }), 0.95);
}

// Upward zero crossings over one second.
int CountCycles(Wave wave, double hz, float width = 0.5f)
{
  COscillator osc(wave, width, 1);
  float previous = osc.Next(hz / kRate);
  int crossings = 0;
  for (int n = 1; n < kRate; ++n) {
    const float s = osc.Next(hz / kRate);
    if (previous < 0.0f && s >= 0.0f) ++crossings;
    previous = s;
  }
  return crossings;
}

TEST(Oscillator, RunsAtItsPitch)
{
  EXPECT_NEAR(CountCycles(Wave::Sine, 441.0), 441, 1);
  EXPECT_NEAR(CountCycles(Wave::Triangle, 330.0), 330, 1);
  EXPECT_NEAR(CountCycles(Wave::Pulse, 220.0), 220, 1);
}

TEST(Oscillator, ShapesCarryNoOffsetAndStayInRange)
{
  for (const Wave wave : {Wave::Sine, Wave::Triangle, Wave::Saw, Wave::Pulse, Wave::Noise}) {
    COscillator osc(wave, 0.25f, 7);
    double sum = 0.0;
    float peak = 0.0f;
    for (int n = 0; n < kRate; ++n) {
      const float s = osc.Next(523.25 / kRate);
      sum += s;
      peak = std::max(peak, std::fabs(s));
    }
    EXPECT_NEAR(sum / kRate, 0.0, 0.02) << static_cast<int>(wave);
    EXPECT_LE(peak, 2.0f) << static_cast<int>(wave);
    EXPECT_GT(peak, 0.5f) << static_cast<int>(wave);
  }
}

TEST(Oscillator, PulseWidthSetsTheDutyCycle)
{
  COscillator osc(Wave::Pulse, 0.25f, 1);
  int high = 0;
  for (int n = 0; n < kRate; ++n) {
    if (osc.Next(100.0 / kRate) > 0.0f) ++high;
  }
  EXPECT_NEAR(high / static_cast<double>(kRate), 0.25, 0.01);
}

TEST(Oscillator, NoiseIsRepeatableAndSeedDependent)
{
  CNoise a(5), b(5), c(6);
  bool differs = false;
  for (int n = 0; n < 100; ++n) {
    const float x = a.Next();
    EXPECT_EQ(x, b.Next());
    if (x != c.Next()) differs = true;
  }
  EXPECT_TRUE(differs);
}

TEST(Patch, NoteNamesMapToMidi)
{
  int octave = 4, midi = 0;
  ASSERT_TRUE(ParseNoteName("c4", &octave, &midi));
  EXPECT_EQ(midi, 60);
  ASSERT_TRUE(ParseNoteName("a4", &octave, &midi));
  EXPECT_EQ(midi, 69);
  ASSERT_TRUE(ParseNoteName("f#3", &octave, &midi));
  EXPECT_EQ(midi, 54);
  EXPECT_EQ(octave, 3);
  ASSERT_TRUE(ParseNoteName("bb", &octave, &midi));  // octave carried over
  EXPECT_EQ(midi, 58);
  ASSERT_TRUE(ParseNoteName("eb5", &octave, &midi));
  EXPECT_EQ(midi, 75);
  EXPECT_FALSE(ParseNoteName("h4", &octave, &midi));
  EXPECT_FALSE(ParseNoteName("c9", &octave, &midi));
  EXPECT_FALSE(ParseNoteName("c#45", &octave, &midi));
  EXPECT_NEAR(MidiToHz(69), 440.0, 1e-9);
  EXPECT_NEAR(MidiToHz(57), 220.0, 1e-9);
}

TEST(Patch, KeysAreCheckedByNameAndRange)
{
  Patch p;
  std::string error;
  EXPECT_TRUE(SetPatchKey(&p, "cutoff", "1200", &error));
  EXPECT_FLOAT_EQ(p.cutoff, 1200.0f);
  EXPECT_FALSE(SetPatchKey(&p, "cutof", "1200", &error));
  EXPECT_EQ(error, "unknown key 'cutof'");
  EXPECT_FALSE(SetPatchKey(&p, "sustain", "1.5", &error));
  EXPECT_NE(error.find("sustain"), std::string::npos);
  EXPECT_FALSE(SetPatchKey(&p, "attack", "fast", &error));
  EXPECT_FALSE(SetPatchKey(&p, "wave", "sinus", &error));
  EXPECT_TRUE(SetPatchKey(&p, "wave2", "saw", &error));
  EXPECT_TRUE(p.hasWave2);
}

TEST(Patch, NoteLastsGatePlusReleaseAndStartsFromSilence)
{
  Patch p;
  p.attack = 0.01f;
  p.sustain = 0.8f;
  p.release = 0.1f;
  std::vector<float> out;
  RenderNote(p, 69, 0.5, 1.0f, kRate, &out);
  const double seconds = out.size() / static_cast<double>(kRate);
  EXPECT_GT(seconds, 0.55);
  EXPECT_LT(seconds, 0.62);
  EXPECT_LT(std::fabs(out[0]), 0.01f);
  EXPECT_LT(std::fabs(out.back()), 0.01f);
  float peak = 0.0f;
  for (const float s : out) peak = std::max(peak, std::fabs(s));
  EXPECT_NEAR(peak, 1.0f, 0.02f);
}

TEST(Patch, SlideEndsOnTheNotePitch)
{
  Patch p;
  p.slide = 12.0f;
  p.slideTime = 0.01f;
  p.sustain = 1.0f;
  std::vector<float> out;
  RenderNote(p, 57, 1.0, 1.0f, kRate, &out);
  // Second half of the note: 220 Hz, so 110 upward crossings in 0.5 s.
  int crossings = 0;
  for (int n = kRate / 4 + 1; n < 3 * kRate / 4; ++n) {
    if (out[n - 1] < 0.0f && out[n] >= 0.0f) ++crossings;
  }
  EXPECT_NEAR(crossings, 110, 1);
  // The start is an octave higher: about twice as many crossings in the first 10 ms.
  int early = 0;
  for (int n = 1; n < kRate / 100; ++n) {
    if (out[n - 1] < 0.0f && out[n] >= 0.0f) ++early;
  }
  EXPECT_GE(early, 3);
}

TEST(Echo, RepeatsAfterItsDelayAndFades)
{
  CEcho echo(100, 0.5f, 0.0f);
  std::vector<float> out;
  for (int n = 0; n < 400; ++n) out.push_back(echo.Process(n == 0 ? 1.0f : 0.0f));
  EXPECT_FLOAT_EQ(out[100], 1.0f);
  EXPECT_FLOAT_EQ(out[200], 0.5f);
  EXPECT_FLOAT_EQ(out[300], 0.25f);
  EXPECT_FLOAT_EQ(out[150], 0.0f);
}

TEST(Reverb, TailDecaysToSilence)
{
  CReverb reverb(kRate, 0.6f, 0.4f);
  double early = 0.0, late = 0.0;
  for (int n = 0; n < 8 * kRate; ++n) {
    float l = 0.0f, r = 0.0f;
    reverb.Process(n < 100 ? 1.0f : 0.0f, &l, &r);
    if (n < kRate / 2) early = std::max(early, static_cast<double>(std::fabs(l)));
    if (n > 7 * kRate) late = std::max(late, static_cast<double>(std::fabs(l)));
  }
  EXPECT_GT(early, 0.01);
  EXPECT_LT(late, early * 1e-3);
}

}  // namespace
