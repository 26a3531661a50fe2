// Whole-file reading with stdio: no exceptions, and a directory is no file. PNG
// writing through stb_image_write (Debian's libstb).
#include "platform_file.h"

#include <stb/stb_image_write.h>

#include <cstdio>
#include <sys/stat.h>

bool PlatformReadFile(const char* path, std::vector<uint8_t>* bytes)
{
  bytes->clear();
  if (!path) return false;
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bytes->resize(static_cast<size_t>(info.st_size));
  const size_t read = bytes->empty() ? 0 : std::fread(bytes->data(), 1, bytes->size(), file);
  const bool ok = read == bytes->size() && !std::ferror(file);
  std::fclose(file);
  if (!ok) bytes->clear();
  return ok;
}

// stb writes the file itself; a short write leaves a file that is removed.
bool PlatformWritePng(const char* path, int width, int height, const uint8_t* rgba)
{
  if (!path || !rgba || width <= 0 || height <= 0) return false;
  if (stbi_write_png(path, width, height, 4, rgba, width * 4) != 0) return true;
  std::remove(path);
  return false;
}
