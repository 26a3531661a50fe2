// WAV writer: 16-bit PCM, any channel count and rate, from float samples in -1..1
// (interleaved). Samples beyond full scale are clamped.
#pragma once

#include <cstdint>
#include <vector>

namespace contentgen::audio {

// The bytes of a canonical RIFF/WAVE file: "fmt " (16 bytes, PCM) then "data".
std::vector<uint8_t> EncodeWav16(const std::vector<float>& interleaved, int channels, int rate);

}  // namespace contentgen::audio
