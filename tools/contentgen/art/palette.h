// The game's one palette, read from content/palette.txt: lines "name #RRGGBB" (or
// #RRGGBBAA), '#' after whitespace starts a comment. Every picture and material
// takes its colours from here by name.
#pragma once

#include <map>
#include <string>

#include "image/color.h"

namespace contentgen {

class CPalette {
public:
  // Parses the file; false with "path:line: problem" on the first bad line.
  bool Load(const std::string& path, std::string* error);
  // Parses text as if read from a file called sourceName.
  bool Parse(const std::string& text, const std::string& sourceName, std::string* error);
  // The named colour; a missing name is remembered and reported by CheckLookups.
  Color Get(const std::string& name) const;
  // False with a message naming the source and the first colour asked for but not defined.
  bool CheckLookups(std::string* error) const;
  size_t Size() const { return colours.size(); }

private:
  std::map<std::string, Color> colours;
  std::string sourceName;
  mutable std::string firstMissing;
};

}  // namespace contentgen
