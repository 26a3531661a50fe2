// The save file (res/dat/save.dat, or the user's data folder for an installed game):
// the reached stage as decimal text and a CR LF line end, byte for byte what the
// Windows build wrote in text mode. It is written
// to a temporary file that then replaces the old one, so a crash leaves either the
// old or the new file, never an empty or torn one.
#include "app/application.h"

#include "app/user_paths.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

// Reads numbers as "%d" does, one after another, keeping the last; stops at the first
// thing that is not a number rather than retrying it.
bool ParseSaveText(const char* text, size_t length, int* stage)
{
  bool readAny = false;
  size_t at = 0;
  while (true) {
    while (at < length && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    if (at >= length) break;
    size_t digits = at;
    bool negative = false;
    if (text[digits] == '+' || text[digits] == '-') {
      negative = text[digits] == '-';
      ++digits;
    }
    if (digits >= length || !std::isdigit(static_cast<unsigned char>(text[digits]))) break;
    long long value = 0;
    bool tooLarge = false;
    while (digits < length && std::isdigit(static_cast<unsigned char>(text[digits]))) {
      if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[digits] - '0');
      if (value > static_cast<long long>(INT_MAX) + 1) tooLarge = true;
      ++digits;
    }
    if (negative) value = -value;
    if (tooLarge || value > INT_MAX || value < INT_MIN) break;
    *stage = static_cast<int>(value);
    readAny = true;
    at = digits;
  }
  return readAny;
}

// Reads the stage once at start-up. No file yet is a first start: stage 1, no word.
// A file that is there but cannot be read is reported and stage 1 kept.
void CApplication::LoadSaveData()
{
  errno = 0;
  FILE* file = std::fopen(SaveFilePath().c_str(), "rb");
  if (!file) {
    if (errno != ENOENT) MessageBoxA(window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    return;
  }
  std::string text;
  char buffer[256];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    MessageBoxA(window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    return;
  }
  ParseSaveText(text.data(), text.size(), &stageNumber);
}

// Writes the stage after a cleared stage; a failure is reported and the game goes on.
void CApplication::WriteSaveData()
{
  const std::string saveTemporaryPath = SaveFilePath() + ".tmp";
  FILE* file = std::fopen(saveTemporaryPath.c_str(), "wb");
  if (!file) {
    MessageBoxA(window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    return;
  }
  const bool written = std::fprintf(file, "%d\r\n", stageNumber) > 0;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed ||
      !MoveFileExA(saveTemporaryPath.c_str(), SaveFilePath().c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::remove(saveTemporaryPath.c_str());
    MessageBoxA(window, "ファイルオープンに失敗しました", "失敗", MB_OK);
  }
}
