// Palette source parsing.
#include "art/palette.h"

#include <sstream>
#include <vector>

#include "core/output.h"

namespace contentgen {

// Reads and parses the palette file.
bool CPalette::Load(const std::string& path, std::string* error)
{
  std::vector<uint8_t> bytes;
  if (!ReadFile(path, &bytes)) {
    *error = path + ": cannot read the palette";
    return false;
  }
  return Parse(std::string(bytes.begin(), bytes.end()), path, error);
}

// One colour per line; blank lines and comments skipped.
bool CPalette::Parse(const std::string& text, const std::string& name, std::string* error)
{
  sourceName = name;
  colours.clear();
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    const std::string where = name + ":" + std::to_string(number) + ": ";
    std::istringstream fields(line);
    std::string key, value, extra;
    if (!(fields >> key) || key[0] == '#') continue;
    if (!(fields >> value)) {
      *error = where + "colour '" + key + "' has no value";
      return false;
    }
    Color colour;
    if (!ParseHexColor(value, &colour)) {
      *error = where + "'" + value + "' is not a colour (#RRGGBB or #RRGGBBAA)";
      return false;
    }
    if (fields >> extra && extra[0] != '#') {
      *error = where + "unexpected '" + extra + "' after the colour";
      return false;
    }
    if (colours.count(key)) {
      *error = where + "colour '" + key + "' is defined twice";
      return false;
    }
    colours[key] = colour;
  }
  if (colours.empty()) {
    *error = name + ": the palette defines no colours";
    return false;
  }
  return true;
}

// Lookup; magenta marks a missing name until CheckLookups fails the run.
Color CPalette::Get(const std::string& name) const
{
  const auto found = colours.find(name);
  if (found != colours.end()) return found->second;
  if (firstMissing.empty()) firstMissing = name;
  return {1, 0, 1, 1};
}

// Reports the first missing name.
bool CPalette::CheckLookups(std::string* error) const
{
  if (firstMissing.empty()) return true;
  *error = sourceName + ": no colour named '" + firstMissing + "'";
  return false;
}

}  // namespace contentgen
