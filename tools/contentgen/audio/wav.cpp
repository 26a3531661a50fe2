// WAV writer: little-endian fields written byte by byte, so the host order never matters.
#include "audio/wav.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace contentgen::audio {

namespace {

// Appends a four-character chunk id.
void PutId(std::vector<uint8_t>* out, const char* id)
{
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(id[i]));
}

// Appends a little-endian 32-bit value.
void Put32(std::vector<uint8_t>* out, uint32_t v)
{
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Appends a little-endian 16-bit value.
void Put16(std::vector<uint8_t>* out, uint16_t v)
{
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

// Header (44 bytes) and the samples rounded to the nearest 16-bit step.
std::vector<uint8_t> EncodeWav16(const std::vector<float>& interleaved, int channels, int rate)
{
  const uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutId(&out, "RIFF");
  Put32(&out, 36 + dataBytes);
  PutId(&out, "WAVE");
  PutId(&out, "fmt ");
  Put32(&out, 16);
  Put16(&out, 1);  // PCM
  Put16(&out, static_cast<uint16_t>(channels));
  Put32(&out, static_cast<uint32_t>(rate));
  Put32(&out, static_cast<uint32_t>(rate * channels * 2));
  Put16(&out, static_cast<uint16_t>(channels * 2));
  Put16(&out, 16);
  PutId(&out, "data");
  Put32(&out, dataBytes);
  for (const float s : interleaved) {
    const float clamped = std::clamp(s, -1.0f, 1.0f);
    const long v = std::lround(clamped * 32767.0f);
    Put16(&out, static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return out;
}

}  // namespace contentgen::audio
