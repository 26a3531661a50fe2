// The words of one stage source line, read in turn like a stream (`words >> x >> y`),
// each remembered with the column it starts at so that a problem can be pointed at.
// Numbers are read whole and locale-free: "1.5x" is not a number, nor is "inf"; a
// number beyond the stage's reach (kStageCoordinateLimit) is refused as out of range.
#pragma once

#include <string>
#include <vector>

namespace stagebuild {

// No stage number may be larger than this: it keeps every grid and mesh in bounds.
const float kStageCoordinateLimit = 200.0f;

class CLineWords {
public:
  explicit CLineWords(const std::string& line);

  // Each reads the next word; after the first failure every read fails.
  CLineWords& operator>>(std::string& word);
  CLineWords& operator>>(float& value);
  CLineWords& operator>>(int& value);
  explicit operator bool() const { return !failed; }
  // No word is left to read.
  bool AtEnd() const { return next >= words.size(); }

  // 1-based column of the word last read or failed on; past the end when none was left.
  int Column() const { return column; }
  // The number read last was too large (or not finite), rather than missing or garbled.
  bool OutOfRange() const { return outOfRange; }

private:
  // The next word, or false at the end of the line.
  bool Take(std::string* word);

  struct Word {
    std::string text;
    int column;
  };
  std::vector<Word> words;
  size_t next = 0;
  int column = 1;
  int endColumn = 1;
  bool failed = false;
  bool outOfRange = false;
};

}  // namespace stagebuild
