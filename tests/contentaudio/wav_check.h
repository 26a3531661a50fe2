// Test helpers: an independent WAV reader (walks the RIFF chunks, no shared code with
// the writer) and a loop-seam measure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavInfo {
  bool ok = false;
  std::string problem;
  uint32_t riffSize = 0;
  uint32_t fileSize = 0;
  uint16_t formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
  uint32_t sampleRate = 0, bytesPerSecond = 0;
  uint32_t dataSize = 0;
  std::vector<int16_t> samples;  // interleaved
};

// Parses the bytes of a WAV file, filling problem when a field is inconsistent.
WavInfo ReadWav(const std::vector<uint8_t>& bytes);
// Reads and parses a WAV file from disk.
WavInfo ReadWavFile(const std::string& path);

// How the step across the loop seam (last sample -> first) compares with the largest
// step among the `window` samples on either side of it, for one channel of an
// interleaved buffer. Around 1 or below: the seam is like any other sample; a click
// gives a large ratio.
struct Seam {
  double step = 0.0;       // |first - last|
  double nearbyMax = 0.0;  // largest |x[n+1] - x[n]| near the seam, seam excluded
};
Seam MeasureSeam(const std::vector<float>& interleaved, int channels, int channel, int window);
// Same for 16-bit samples, scaled to -1..1.
Seam MeasureSeam(const std::vector<int16_t>& interleaved, int channels, int channel, int window);
