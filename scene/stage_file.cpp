// The stage file: its name for a stage number and reading its entries. Kept apart from
// the factory so that the reader can be tested and fuzzed on its own.
#include <cctype>
#include <cstdio>

#include "scene/stage_loader.h"

namespace {

// Longer class names do not fit the reader's 256-character buffer.
const size_t nameBufferSize = 256;

// The next white-space separated token, whatever its length; false at the end of the file.
bool ReadToken(FILE* file, std::string* token)
{
  token->clear();
  int c = std::fgetc(file);
  while (c != EOF && std::isspace(c)) c = std::fgetc(file);
  while (c != EOF && !std::isspace(c)) {
    token->push_back(static_cast<char>(c));
    c = std::fgetc(file);
  }
  if (c != EOF) std::ungetc(c, file);
  return !token->empty();
}

}  // namespace

// "%d" into two characters keeps one digit; the dot is searched from the end.
std::string StageFileName(const std::string& basePath, int stageNumber)
{
  char digit[2] = {};
  std::snprintf(digit, sizeof digit, "%d", stageNumber);
  const size_t dot = basePath.rfind('.');
  if (dot == std::string::npos) return "";
  std::string name = basePath;
  name.insert(dot, std::string(".") + digit);
  return name;
}

// The end of the file is tested before each entry; a name that cannot be read ends it.
std::vector<StageEntry> ReadStageEntries(FILE* file)
{
  std::vector<StageEntry> entries;
  std::string name;
  while (!std::feof(file)) {
    StageEntry entry;
    D3DXMatrixIdentity(&entry.world);
    if (!ReadToken(file, &name)) break;
    // Numbers that are not there stay 0; the text after them is read as the next entry.
    if (std::fscanf(file, "%f", &entry.world._41) == 1) {
      entry.numbersRead = 1;
      if (std::fscanf(file, "%f", &entry.world._42) == 1) {
        entry.numbersRead = 2;
        if (std::fscanf(file, "%f", &entry.world._43) == 1) entry.numbersRead = 3;
      }
    }
    if (name.size() >= nameBufferSize) continue;
    entry.name = name;
    entries.push_back(entry);
  }
  return entries;
}
