// Test helpers: WAV parsing by hand and the seam measure.
#include "wav_check.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace {

// Little-endian 32-bit field.
uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
// Little-endian 16-bit field.
uint16_t Get16(const std::vector<uint8_t>& b, size_t at)
{
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

// Finds "fmt " and "data" among the chunks and checks they agree with each other.
WavInfo ReadWav(const std::vector<uint8_t>& b)
{
  WavInfo w;
  w.fileSize = static_cast<uint32_t>(b.size());
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    w.problem = "not RIFF/WAVE";
    return w;
  }
  w.riffSize = Get32(b, 4);
  bool haveFmt = false, haveData = false;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const uint32_t size = Get32(b, at + 4);
    const size_t body = at + 8;
    if (body + size > b.size()) {
      w.problem = "chunk '" + id + "' runs past the end";
      return w;
    }
    if (id == "fmt ") {
      w.formatTag = Get16(b, body);
      w.channels = Get16(b, body + 2);
      w.sampleRate = Get32(b, body + 4);
      w.bytesPerSecond = Get32(b, body + 8);
      w.blockAlign = Get16(b, body + 12);
      w.bitsPerSample = Get16(b, body + 14);
      haveFmt = true;
    } else if (id == "data") {
      w.dataSize = size;
      for (size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(static_cast<int16_t>(Get16(b, body + i)));
      haveData = true;
    }
    at = body + size + (size & 1);
  }
  if (!haveFmt || !haveData) {
    w.problem = "missing fmt or data chunk";
    return w;
  }
  w.ok = true;
  return w;
}

// Slurps the file.
WavInfo ReadWavFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadWav(bytes);
}

namespace {

// The seam measure over any sample getter.
template <typename Get>
Seam Measure(size_t frames, int window, Get get)
{
  Seam s;
  s.step = std::fabs(get(0) - get(frames - 1));
  for (int k = 0; k < window; ++k) {
    s.nearbyMax = std::max(s.nearbyMax, std::fabs(get(k + 1) - get(k)));
    s.nearbyMax = std::max(s.nearbyMax, std::fabs(get(frames - 1 - k) - get(frames - 2 - k)));
  }
  return s;
}

}  // namespace

// Float samples as they leave the sequencer.
Seam MeasureSeam(const std::vector<float>& x, int channels, int channel, int window)
{
  return Measure(x.size() / channels, window, [&](size_t i) { return static_cast<double>(x[i * channels + channel]); });
}

// 16-bit samples as read back from a file.
Seam MeasureSeam(const std::vector<int16_t>& x, int channels, int channel, int window)
{
  return Measure(x.size() / channels, window, [&](size_t i) { return x[i * channels + channel] / 32767.0; });
}
