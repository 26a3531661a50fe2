// Atomic, change-only file writing for the content generator.
#include "core/output.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace contentgen {

namespace {
int writtenFiles = 0;
}

// Whole file into bytes; false for a missing file or a directory.
bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes)
{
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// Temporary file beside the target, flushed and renamed over it.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
  std::vector<uint8_t> existing;
  if (ReadFile(path, &existing) && existing == bytes) return true;

  std::error_code ec;
  const std::filesystem::path target(path);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) {
    if (error) *error = path + ": cannot create directory: " + ec.message();
    return false;
  }
  const std::string temp = path + ".tmp" + std::to_string(getpid());
  FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) {
    if (error) *error = path + ": cannot open for writing";
    return false;
  }
  const bool wrote = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  const bool closed = std::fclose(file) == 0;
  if (!wrote || !flushed || !closed) {
    std::remove(temp.c_str());
    if (error) *error = path + ": write failed";
    return false;
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::remove(temp.c_str());
    if (error) *error = path + ": cannot replace: " + ec.message();
    return false;
  }
  ++writtenFiles;
  return true;
}

// Files changed so far.
int WrittenFileCount()
{
  return writtenFiles;
}

}  // namespace contentgen
