// The mark a PNG's ready-to-upload pixels (name.top.dds, made at build time) carry of
// the PNG they were made from: a tag and a hash of the PNG file's bytes in the DDS
// header's reserved words. A PNG changed after the build no longer matches its mark
// and is decoded as it is. Shared by the loader and the content generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The path with its extension replaced by the given ending ("name.png" -> "name.top.dds").
inline std::string BesideFileName(const std::string& path, const char* ending)
{
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? path.substr(0, dot) : path) + ending;
}

// Where the mark sits in the file: dwReserved1 of the DDS header, tag then hash.
constexpr size_t kReadyPixelsMarkOffset = 32;
constexpr uint32_t kReadyPixelsTag = 0x23474E50;  // "PNG#"

// 64-bit FNV-1a of the bytes.
inline uint64_t ReadyPixelsHash(const uint8_t* data, size_t size)
{
  uint64_t hash = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 0x100000001B3ull;
  return hash;
}

// Writes the mark of the PNG's bytes into a DDS file's header.
inline void MarkReadyPixels(std::vector<uint8_t>* dds, const std::vector<uint8_t>& png)
{
  if (dds->size() < kReadyPixelsMarkOffset + 12) return;
  const uint64_t hash = ReadyPixelsHash(png.data(), png.size());
  std::memcpy(dds->data() + kReadyPixelsMarkOffset, &kReadyPixelsTag, 4);
  std::memcpy(dds->data() + kReadyPixelsMarkOffset + 4, &hash, 8);
}

// True when the DDS file carries the mark of exactly these PNG bytes.
inline bool ReadyPixelsMatch(const std::vector<uint8_t>& dds, const std::vector<uint8_t>& png)
{
  if (dds.size() < kReadyPixelsMarkOffset + 12) return false;
  uint32_t tag = 0;
  uint64_t hash = 0;
  std::memcpy(&tag, dds.data() + kReadyPixelsMarkOffset, 4);
  std::memcpy(&hash, dds.data() + kReadyPixelsMarkOffset + 4, 8);
  return tag == kReadyPixelsTag && hash == ReadyPixelsHash(png.data(), png.size());
}
