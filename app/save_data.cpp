// The save file (res/dat/save.dat, or the user's data folder for an installed game):
// the reached stage as decimal text and a CR LF line end, byte for byte what the
// Windows build wrote in text mode. It is written
// to a temporary file that then replaces the old one, so a crash leaves either the
// old or the new file, never an empty or torn one. A damaged file is named on standard
// error and moved aside to <save>.bad, and the game starts from stage 1.
#include "app/application.h"

#include "app/user_paths.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The game writes at most a dozen bytes; a hand-edited file stays far below this.
const size_t maxSaveBytes = 4096;
// How much of an unreadable word the message quotes.
const size_t quotedBytes = 16;

// A word of the file as the message shows it: printable ASCII as it is, every other
// byte as \xNN, cut after a few bytes, so random bytes cannot garble the terminal.
std::string QuotedWord(const char* text, size_t length)
{
  std::string quoted = "\"";
  for (size_t i = 0; i < length && i < quotedBytes; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c > 0x20 && c < 0x7F && c != '"' && c != '\\') {
      quoted += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      quoted += escaped;
    }
  }
  if (length > quotedBytes) quoted += "...";
  return quoted + "\"";
}

// Whether the word is a decimal integer as "%d" reads it: an optional sign, then digits.
bool IsNumberWord(const char* word, size_t length)
{
  size_t at = (length > 0 && (word[0] == '+' || word[0] == '-')) ? 1 : 0;
  if (at == length) return false;
  for (; at < length; ++at) {
    if (!std::isdigit(static_cast<unsigned char>(word[at]))) return false;
  }
  return true;
}

// The value of a number word, or false when it is too large for an int.
bool NumberValue(const char* word, size_t length, int* value)
{
  const bool negative = word[0] == '-';
  long long magnitude = 0;
  for (size_t at = (word[0] == '+' || negative) ? 1 : 0; at < length; ++at) {
    magnitude = magnitude * 10 + (word[at] - '0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
  }
  const long long signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT_MAX) return false;
  *value = static_cast<int>(signedValue);
  return true;
}

}  // namespace

// Eight stages climb the tower.
int GameStageCount()
{
  return 8;
}

// Word by word after an optional byte-order mark: every word must be a number, and the
// last one names a stage that exists.
std::string ParseSaveText(const char* text, size_t length, int lastStage, int* stage)
{
  if (length > maxSaveBytes) return "it is longer than " + std::to_string(maxSaveBytes) + " bytes";
  const char* last = nullptr;
  size_t lastLength = 0;
  // Some editors begin the files they save with the UTF-8 byte-order mark.
  const size_t start = (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) ? 3 : 0;
  for (size_t at = start; at < length;) {
    if (std::isspace(static_cast<unsigned char>(text[at]))) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < length && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    if (!IsNumberWord(text + at, end - at)) return QuotedWord(text + at, end - at) + " is not a stage number";
    last = text + at;
    lastLength = end - at;
    at = end;
  }
  if (!last) return "it is empty";
  int value = 0;
  const std::string range = " (stages are 1 to " + std::to_string(lastStage) + ")";
  if (!NumberValue(last, lastLength, &value) || value < 1 || value > lastStage) {
    return "stage " + QuotedWord(last, lastLength) + " does not exist" + range;
  }
  *stage = value;
  return "";
}

// Reads the stage once at start-up. No file yet is a first start: stage 1, no word.
// A file that is there but cannot be read is reported and stage 1 kept. A damaged one
// is set aside and stage 1 played.
void CApplication::LoadSaveData()
{
  errno = 0;
  FILE* file = std::fopen(SaveFilePath().c_str(), "rb");
  if (!file) {
    if (errno != ENOENT) MessageBoxA(window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    return;
  }
  // One byte more than a save may hold is enough to know it holds too much.
  std::string text(maxSaveBytes + 1, '\0');
  const size_t count = std::fread(&text[0], 1, text.size(), file);
  text.resize(count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    MessageBoxA(window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    return;
  }
  const std::string damage = ParseSaveText(text.data(), text.size(), GameStageCount(), &stageNumber);
  if (damage.empty()) return;
  stageNumber = 1;
  SetDamagedFileAside(SaveFilePath(), "save", damage, "the game starts from stage 1");
}

// Writes the stage after a cleared stage; a failure is reported and the game goes on.
void CApplication::WriteSaveData()
{
  if (saveWritesHeld) return;
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
