// Splitting a line into words and reading numbers out of them.
#include "stage/line_words.h"

#include <charconv>
#include <cmath>

namespace stagebuild {

namespace {

// Spaces, tabs and the CR of a CR LF line end all separate words.
bool IsSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

// Every word with its column.
CLineWords::CLineWords(const std::string& line)
{
  size_t i = 0;
  while (i < line.size()) {
    if (IsSpace(line[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < line.size() && !IsSpace(line[i])) ++i;
    words.push_back({line.substr(start, i - start), static_cast<int>(start) + 1});
  }
  endColumn = static_cast<int>(line.size()) + 1;
}

bool CLineWords::Take(std::string* word)
{
  if (failed) return false;
  if (next >= words.size()) {
    column = endColumn;
    failed = true;
    return false;
  }
  column = words[next].column;
  *word = words[next++].text;
  return true;
}

CLineWords& CLineWords::operator>>(std::string& word)
{
  Take(&word);
  return *this;
}

// A whole decimal number, an optional '+' allowed, within the stage's reach.
CLineWords& CLineWords::operator>>(float& value)
{
  std::string word;
  if (!Take(&word)) return *this;
  const char* first = word.data() + (word.size() > 1 && word[0] == '+' ? 1 : 0);
  const char* last = word.data() + word.size();
  float read = 0;
  const std::from_chars_result result = std::from_chars(first, last, read);
  if (result.ec == std::errc::result_out_of_range && result.ptr == last) {
    outOfRange = true;
    failed = true;
  } else if (result.ec != std::errc() || result.ptr != last || std::isnan(read)) {
    failed = true;
  } else if (!(std::fabs(read) <= kStageCoordinateLimit)) {
    outOfRange = true;
    failed = true;
  } else {
    value = read;
  }
  return *this;
}

// A whole decimal integer.
CLineWords& CLineWords::operator>>(int& value)
{
  std::string word;
  if (!Take(&word)) return *this;
  const char* last = word.data() + word.size();
  int read = 0;
  const std::from_chars_result result = std::from_chars(word.data(), last, read);
  if (result.ec != std::errc() || result.ptr != last) {
    outOfRange = result.ec == std::errc::result_out_of_range;
    failed = true;
  } else {
    value = read;
  }
  return *this;
}

}  // namespace stagebuild
