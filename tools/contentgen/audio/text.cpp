// Small text helpers shared by the sound-effect and score parsers.
#include "audio/text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace contentgen::audio {

// Splits on '\n' and drops a '\r' before it.
std::vector<std::string> SplitLines(const std::string& text)
{
  std::vector<std::string> lines;
  std::string current;
  for (const char c : text) {
    if (c == '\n') {
      if (!current.empty() && current.back() == '\r') current.pop_back();
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

// Cuts at a '#' that begins a word (so sharps such as "f#4" stay) and trims blanks.
std::string StripComment(const std::string& line)
{
  size_t cut = 0;
  const char* blanks = " \t\r\v\f";
  while (cut < line.size() && !(line[cut] == '#' && (cut == 0 || std::strchr(blanks, line[cut - 1])))) ++cut;
  std::string s = line.substr(0, cut);
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

// Splits on blanks.
std::vector<std::string> SplitWords(const std::string& line)
{
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// strtod over the whole string, finite values only.
bool ParseNumber(const std::string& text, double* value)
{
  if (text.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

// The usual compiler-style location prefix.
std::string AtLine(const std::string& file, int line, const std::string& message)
{
  return file + ":" + std::to_string(line) + ": " + message;
}

}  // namespace contentgen::audio
