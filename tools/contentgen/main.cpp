// contentgen: writes the game's res/ tree.
//   contentgen <content dir> <res dir> --font <font file>
// Exits 1 with a message naming the source and the problem when something is wrong.
#include <chrono>
#include <cstdio>
#include <string>

#include "art/generate.h"
#include "core/output.h"

// Parses the command line and runs every generator.
int main(int argc, char** argv)
{
  contentgen::GenerateOptions options;
  options.printTimings = true;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--font" && i + 1 < argc) {
      options.fontPath = argv[++i];
    } else if (positional == 0) {
      options.contentDir = arg;
      ++positional;
    } else if (positional == 1) {
      options.resDir = arg;
      ++positional;
    } else {
      positional = 3;
    }
  }
  if (positional != 2 || options.fontPath.empty()) {
    std::fprintf(stderr, "usage: contentgen <content dir> <res dir> --font <font file>\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  std::string error;
  if (!contentgen::GenerateAll(options, &error)) {
    std::fprintf(stderr, "contentgen: error: %s\n", error.c_str());
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("contentgen: res/ up to date (%d files written) in %.2f s\n", contentgen::WrittenFileCount(), seconds);
  return 0;
}
