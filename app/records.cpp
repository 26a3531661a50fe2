// CRecords: the best times, their text file and the game's one set of them.
#include "app/records.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "app/stage_clock.h"
#include "app/user_paths.h"

namespace {

// Nine lines and their comments fit many times over; a file this big is not ours.
const size_t maxRecordsBytes = 64 * 1024;

// The line without its comment, its CR and the blanks round it.
std::string Bare(std::string line)
{
  const size_t hash = line.find('#');
  if (hash != std::string::npos) line.erase(hash);
  const size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const size_t last = line.find_last_not_of(" \t\r");
  return line.substr(first, last - first + 1);
}

// The blank-separated words of a line.
std::vector<std::string> Words(const std::string& line)
{
  std::istringstream stream(line);
  std::vector<std::string> words;
  std::string word;
  while (stream >> word) words.push_back(word);
  return words;
}

// A positive decimal number that fits an int, digits only; 0 otherwise.
int PositiveNumber(const std::string& word)
{
  if (word.empty() || word.size() > 10) return 0;
  long long value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return (value > 0 && value <= INT_MAX) ? static_cast<int>(value) : 0;
}

// A word as the message shows it: printable ASCII only, cut short.
std::string Quoted(const std::string& word)
{
  std::string quoted = "\"";
  for (size_t i = 0; i < word.size() && i < 16; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    quoted += (c > 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  return quoted + (word.size() > 16 ? "...\"" : "\"");
}

// The whole file, or false when it cannot be read: `missing` when there is none, else
// `problem` says why.
bool ReadWhole(const std::string& path, std::string* text, bool* missing, std::string* problem)
{
  errno = 0;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *missing = errno == ENOENT;
    *problem = std::string("it cannot be read (") + std::strerror(errno) + ")";
    return false;
  }
  text->assign(maxRecordsBytes + 1, '\0');
  const size_t count = std::fread(&(*text)[0], 1, text->size(), file);
  const bool failed = std::ferror(file) != 0;
  const int readError = errno;
  std::fclose(file);
  text->resize(count);
  if (failed) *problem = std::string("it cannot be read (") + std::strerror(readError ? readError : EIO) + ")";
  return !failed;
}

CRecords gameRecords;
bool gameRecordsLoaded = false;

}  // namespace

// No times at all.
void CRecords::Clear()
{
  for (int& best : stageBest) best = 0;
  gameBest = 0;
}

// 0 for a stage out of range as well.
int CRecords::StageBest(int stage) const
{
  return (stage >= 1 && stage <= kStageCount) ? stageBest[stage - 1] : 0;
}

// The whole game's best.
int CRecords::GameBest() const
{
  return gameBest;
}

// A tie is not a new best.
bool CRecords::OfferStage(int stage, int ticks)
{
  if (stage < 1 || stage > kStageCount || ticks <= 0) return false;
  int& best = stageBest[stage - 1];
  if (best != 0 && ticks >= best) return false;
  best = ticks;
  return true;
}

// A tie is not a new best.
bool CRecords::OfferGame(int ticks)
{
  if (ticks <= 0 || (gameBest != 0 && ticks >= gameBest)) return false;
  gameBest = ticks;
  return true;
}

// Line by line after an optional byte-order mark; the first fault ends the reading.
std::string CRecords::Parse(const std::string& text)
{
  Clear();
  if (text.size() > maxRecordsBytes) return "it is longer than " + std::to_string(maxRecordsBytes) + " bytes";
  const size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::istringstream lines(text.substr(start));
  std::string line;
  int number = 0;
  bool stageSeen[kStageCount] = {};
  bool gameSeen = false;
  std::string fault;
  while (fault.empty() && std::getline(lines, line)) {
    number += 1;
    const std::vector<std::string> words = Words(Bare(line));
    const std::string at = "line " + std::to_string(number) + ": ";
    if (words.empty()) continue;
    if (words[0] == "stage" && words.size() == 3) {
      const int stage = PositiveNumber(words[1]);
      const int ticks = PositiveNumber(words[2]);
      if (stage < 1 || stage > kStageCount) {
        fault = at + "stage " + Quoted(words[1]) + " does not exist (stages are 1 to 8)";
      } else if (ticks == 0) {
        fault = at + Quoted(words[2]) + " is not a time in ticks";
      } else if (stageSeen[stage - 1]) {
        fault = at + "stage " + words[1] + " has a second time";
      } else {
        stageSeen[stage - 1] = true;
        stageBest[stage - 1] = ticks;
      }
    } else if (words[0] == "game" && words.size() == 2) {
      const int ticks = PositiveNumber(words[1]);
      if (ticks == 0) {
        fault = at + Quoted(words[1]) + " is not a time in ticks";
      } else if (gameSeen) {
        fault = at + "the whole game has a second time";
      } else {
        gameSeen = true;
        gameBest = ticks;
      }
    } else {
      fault = at + Quoted(words[0]) + " is not \"stage N TICKS\" or \"game TICKS\"";
    }
  }
  if (!fault.empty()) Clear();
  return fault;
}

// The clock's reading beside each time, for the person who opens the file.
std::string CRecords::Text() const
{
  std::string text = "# Solverica best times, in update ticks of 16 ms; the clock reading follows each.\n";
  for (int stage = 1; stage <= kStageCount; ++stage) {
    const int best = stageBest[stage - 1];
    if (best > 0)
      text += "stage " + std::to_string(stage) + " " + std::to_string(best) + "  # " + FormatClock(best) + "\n";
  }
  if (gameBest > 0) text += "game " + std::to_string(gameBest) + "  # " + FormatClock(gameBest) + "\n";
  return text;
}

// Damaged and unreadable files alike are set aside, so the next write starts afresh
// and the player can still find the old one.
bool CRecords::Load(const std::string& path)
{
  Clear();
  std::string text, problem;
  bool missing = false;
  if (ReadWhole(path, &text, &missing, &problem)) problem = Parse(text);
  if (missing || problem.empty()) return true;
  SetDamagedFileAside(path, "records", problem, "the game goes on with no times");
  return false;
}

// Through a temporary file; on failure the old file stands.
bool CRecords::Save(const std::string& path) const
{
  if (WriteFileReplacing(path, Text())) return true;
  std::fprintf(stderr, "solverica: %s: cannot write the records (%s); the times are kept until the game ends\n",
               path.c_str(), std::strerror(errno));
  return false;
}

// The time is kept before the whole game's clock hears of it, so stage 8's time counts
// in the whole game's.
bool RecordStageClear(CRecords& records, CGameClock& game, int stage, int ticks, ClearTime* shown, int lastStage)
{
  shown->ticks = ticks;
  shown->previousBest = records.StageBest(stage);
  shown->newBest = records.OfferStage(stage, ticks);
  bool changed = shown->newBest;
  game.Add(ticks);
  if (stage == lastStage && game.IsTimed() && !game.IsFinished()) {
    const int bestBefore = records.GameBest();
    const bool gameBest = records.OfferGame(game.Ticks());
    game.Finish(bestBefore, gameBest);
    changed = changed || gameBest;
  }
  return changed;
}

// Read once, on the first question about a time.
CRecords& GameRecords()
{
  if (!gameRecordsLoaded) ReloadGameRecords();
  return gameRecords;
}

// To the one place the records live.
void SaveGameRecords()
{
  GameRecords().Save(RecordsFilePath());
}

// From the one place the records live.
void ReloadGameRecords()
{
  gameRecordsLoaded = true;
  gameRecords.Load(RecordsFilePath());
}
