// WAV writer: the header read back by an independent parser matches what was asked,
// and the samples come back rounded and clamped.
#include <gtest/gtest.h>

#include "audio/wav.h"
#include "wav_check.h"

using contentgen::audio::EncodeWav16;

namespace {

TEST(WavWriter, MonoHeaderCarriesItsFormat)
{
  const std::vector<float> samples(1001, 0.25f);
  const WavInfo w = ReadWav(EncodeWav16(samples, 1, 44100));
  ASSERT_TRUE(w.ok) << w.problem;
  EXPECT_EQ(w.riffSize, w.fileSize - 8);
  EXPECT_EQ(w.formatTag, 1);
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.sampleRate, 44100u);
  EXPECT_EQ(w.bytesPerSecond, 88200u);
  EXPECT_EQ(w.blockAlign, 2);
  EXPECT_EQ(w.bitsPerSample, 16);
  EXPECT_EQ(w.dataSize, 2002u);
  EXPECT_EQ(w.fileSize, 44u + 2002u);
  ASSERT_EQ(w.samples.size(), 1001u);
}

TEST(WavWriter, StereoHeaderCarriesItsFormat)
{
  const std::vector<float> samples(2 * 500, 0.0f);
  const WavInfo w = ReadWav(EncodeWav16(samples, 2, 22050));
  ASSERT_TRUE(w.ok) << w.problem;
  EXPECT_EQ(w.channels, 2);
  EXPECT_EQ(w.sampleRate, 22050u);
  EXPECT_EQ(w.bytesPerSecond, 22050u * 4);
  EXPECT_EQ(w.blockAlign, 4);
  EXPECT_EQ(w.dataSize, 2000u);
  EXPECT_EQ(w.riffSize, w.fileSize - 8);
}

TEST(WavWriter, SamplesAreRoundedAndClamped)
{
  const std::vector<float> samples = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.7f, -3.0f, 1.0f / 32767.0f * 0.6f};
  const WavInfo w = ReadWav(EncodeWav16(samples, 1, 44100));
  ASSERT_TRUE(w.ok) << w.problem;
  const std::vector<int16_t> expected = {0, 16384, -16384, 32767, -32767, 32767, -32767, 1};
  EXPECT_EQ(w.samples, expected);
}

TEST(WavWriter, EmptySoundIsStillAValidFile)
{
  const WavInfo w = ReadWav(EncodeWav16({}, 1, 44100));
  ASSERT_TRUE(w.ok) << w.problem;
  EXPECT_EQ(w.dataSize, 0u);
  EXPECT_EQ(w.fileSize, 44u);
}

}  // namespace
