// Small text helpers shared by the sound-effect and score parsers.
#pragma once

#include <string>
#include <vector>

namespace contentgen::audio {

// The text's lines, without the line endings.
std::vector<std::string> SplitLines(const std::string& text);
// The line without its comment (from a '#' that begins a word) and surrounding blanks.
std::string StripComment(const std::string& line);
// Blank-separated words.
std::vector<std::string> SplitWords(const std::string& line);
// Parses a whole string as a number ("0.5", "3", "-2").
bool ParseNumber(const std::string& text, double* value);
// "file:line: message".
std::string AtLine(const std::string& file, int line, const std::string& message);

}  // namespace contentgen::audio
