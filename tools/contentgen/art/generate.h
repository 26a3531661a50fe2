// Runs every content generator in a fixed order.
#pragma once

#include <string>

namespace contentgen {

struct GenerateOptions {
  std::string contentDir;
  std::string resDir;
  std::string fontPath;
  bool printTimings = false;  // print how long each stage took
};

// Writes the whole res/ tree; false with the first error (naming its source).
bool GenerateAll(const GenerateOptions& options, std::string* error);

}  // namespace contentgen
