// libFuzzer target for the save-file reader: any bytes are checked without reading past
// them, and its verdict is compared with a plain re-reading of the text: at most 4096
// bytes, an optional UTF-8 byte-order mark, then blank-separated words that are all
// decimal integers ("%d" words), the last of them a stage from 1 to 8.
#include "app/application.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Whether the text is a good save, and its stage when it is.
bool ReferenceCheck(const std::string& text, int* stage)
{
  if (text.size() > 4096) return false;
  const std::string body = text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
  std::string last;
  size_t at = 0;
  while (true) {
    while (at < body.size() && std::isspace(static_cast<unsigned char>(body[at]))) ++at;
    size_t end = at;
    while (end < body.size() && !std::isspace(static_cast<unsigned char>(body[end]))) ++end;
    if (end == at) break;
    const std::string word = body.substr(at, end - at);
    const size_t digits = (word[0] == '+' || word[0] == '-') ? 1 : 0;
    if (digits == word.size() || word.find_first_not_of("0123456789", digits) != std::string::npos) return false;
    last = word;
    at = end;
  }
  if (last.empty() || last[0] == '-') return false;  // no stage below 1
  size_t significant = last[0] == '+' ? 1 : 0;
  while (significant + 1 < last.size() && last[significant] == '0') ++significant;
  if (last.size() - significant != 1 || last[significant] < '1' || last[significant] > '8') return false;
  *stage = last[significant] - '0';
  return true;
}

}  // namespace

// One input: the reader and the reference must agree, and a damaged save leaves the
// stage alone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  int parsed = -1;
  int reference = -1;
  const bool good = ParseSaveText(text.data(), text.size(), 8, &parsed).empty();
  const bool referenceGood = ReferenceCheck(text, &reference);
  if (good != referenceGood || parsed != reference) std::abort();
  return 0;
}
