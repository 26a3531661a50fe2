// libFuzzer target for the stage-file reader: any bytes are read without running past
// them, and every entry it reports is checked against the text: a name of 1 to 255
// non-blank characters that occurs in the input, never more entries than tokens.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scene/stage_loader.h"

// One input through a memory stream, as the game reads its file through stdio.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (!file) return 0;
  const std::vector<StageEntry> entries = ReadStageEntries(file);
  std::fclose(file);

  size_t tokens = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool blank = std::isspace(static_cast<unsigned char>(text[i]));
    const bool startsToken = !blank && (i == 0 || std::isspace(static_cast<unsigned char>(text[i - 1])));
    if (startsToken) ++tokens;
  }
  if (entries.size() > tokens) std::abort();
  for (const StageEntry& entry : entries) {
    if (entry.name.empty() || entry.name.size() > 255) std::abort();
    for (const char c : entry.name) {
      if (std::isspace(static_cast<unsigned char>(c))) std::abort();
    }
    if (text.find(entry.name) == std::string::npos) std::abort();
    if (entry.world._11 != 1.0f || entry.world._22 != 1.0f || entry.world._33 != 1.0f || entry.world._44 != 1.0f) {
      std::abort();
    }
  }
  return 0;
}
