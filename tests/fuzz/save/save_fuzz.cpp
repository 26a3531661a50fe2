// libFuzzer target for the save-file reader: any bytes are parsed without reading
// past them, and a reported value is checked against a plain re-reading of the text
// (the last whitespace-separated decimal integer before the first unreadable text).
#include "app/application.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The value a simple token walk finds, or false when none is read.
bool ReferenceParse(const std::string& text, int* stage)
{
  bool readAny = false;
  size_t at = 0;
  while (true) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    size_t end = at;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
    const size_t digitsStart = end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == digitsStart) return readAny;
    size_t significant = digitsStart;
    while (significant + 1 < end && text[significant] == '0') ++significant;
    if (end - significant > 10) return readAny;  // too large for an int whatever the digits
    const std::string token = text.substr(at, end - at);
    const long long value = std::strtoll(token.c_str(), nullptr, 10);
    if (value > 2147483647LL || value < -2147483648LL) return readAny;
    *stage = static_cast<int>(value);
    readAny = true;
    at = end;
  }
}

}  // namespace

// One input: the parser and the reference must agree.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  int parsed = 1;
  int reference = 1;
  const bool parsedAny = ParseSaveText(text.data(), text.size(), &parsed);
  const bool referenceAny = ReferenceParse(text, &reference);
  if (parsedAny != referenceAny || parsed != reference) std::abort();
  return 0;
}
