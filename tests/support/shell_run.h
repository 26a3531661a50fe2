// For tests that drive the game and the packaging tools as programs: a shell command's
// output and status, a file's text, and the loudest sample of a recorded WAV file.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A command's standard output and exit status.
struct Ran {
  std::string output;
  int status = -1;
};

// Runs a shell command, collecting what it prints.
inline Ran RunCommand(const std::string& command)
{
  Ran ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return ran;
  char buffer[4096];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) ran.output.append(buffer, count);
  const int status = pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

// The whole file as text (empty when it cannot be read).
inline std::string ReadText(const std::filesystem::path& path)
{
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The largest absolute 16-bit sample after a WAV file's 44-byte header.
inline int LoudestSample(const std::filesystem::path& path)
{
  const std::string bytes = ReadText(path);
  int loudest = 0;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    const int sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
    loudest = std::max(loudest, std::abs(sample));
  }
  return loudest;
}
