// Builds WAV and RIFF files byte by byte for the sound tests, so every test makes
// exactly the file it needs (good, broken or lying) without assets.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace wavbytes {

// Little-endian 16-bit value.
inline std::string U16(uint32_t value)
{
  return std::string{(char)(value & 0xFF), (char)((value >> 8) & 0xFF)};
}

// Little-endian 32-bit value.
inline std::string U32(uint32_t value)
{
  return U16(value & 0xFFFF) + U16(value >> 16);
}

// A chunk: id, size of `body`, body and the pad byte of an odd size.
inline std::string Chunk(const char* id, const std::string& body)
{
  std::string chunk = std::string(id, 4) + U32((uint32_t)body.size()) + body;
  if (body.size() & 1) chunk += '\0';
  return chunk;
}

// A chunk whose size field says `claimedSize` whatever the body holds.
inline std::string LyingChunk(const char* id, uint32_t claimedSize, const std::string& body)
{
  return std::string(id, 4) + U32(claimedSize) + body;
}

// A RIFF file of the given form type around `inside`.
inline std::string Riff(const std::string& inside, const char* form = "WAVE")
{
  return Chunk("RIFF", std::string(form, 4) + inside);
}

// The 16 bytes every "fmt " chunk starts with.
inline std::string PcmFields(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
  const uint16_t blockAlign = (uint16_t)(channels * bits / 8);
  return U16(tag) + U16(channels) + U32(rate) + U32(rate * blockAlign) + U16(blockAlign) + U16(bits);
}

// A plain PCM "fmt " chunk.
inline std::string PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits)
{
  return Chunk("fmt ", PcmFields(1, channels, rate, bits));
}

// 16-bit mono sine samples.
inline std::string Tone16(double frequency, double seconds, double amplitude, uint32_t rate = 44100)
{
  std::string samples;
  const int count = (int)(seconds * rate);
  for (int i = 0; i < count; ++i) {
    const double value = amplitude * std::sin(2.0 * M_PI * frequency * i / rate);
    samples += U16((uint16_t)(int16_t)std::lround(value * 32767.0));
  }
  return samples;
}

// A complete 16-bit mono PCM WAV of a sine tone.
inline std::string ToneWav(double frequency, double seconds, double amplitude, uint32_t rate = 44100)
{
  return Riff(PcmFormat(1, rate, 16) + Chunk("data", Tone16(frequency, seconds, amplitude, rate)));
}

// Writes bytes to a file; false on failure.
inline bool WriteFile(const std::string& path, const std::string& bytes)
{
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

// Reads a whole file; empty when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
  std::string bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return bytes;
  char part[4096];
  size_t got = 0;
  while ((got = fread(part, 1, sizeof(part), file)) > 0) bytes.append(part, got);
  fclose(file);
  return bytes;
}

// A fresh directory under the system's temporary folder.
inline std::string MakeTempDir()
{
  char pattern[] = "/tmp/solverica-sound-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made ? std::string(made) : std::string();
}

// Removes a folder made by MakeTempDir with everything in it.
inline void RemoveTempDir(const std::string& folder)
{
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

}  // namespace wavbytes
