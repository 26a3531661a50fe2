// Fuzz target for the two content parsers (sound-effect files and music scores): any
// text must parse or fail with a message, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/score.h"
#include "audio/sfx.h"

// The first byte picks the parser, the rest is the file's text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string error;
  if (data[0] & 1) {
    contentgen::audio::Score score;
    contentgen::audio::ParseScore(text, "fuzz.score", &score, &error);
  } else {
    contentgen::audio::Sfx sfx;
    contentgen::audio::ParseSfx(text, "fuzz.sfx", &sfx, &error);
  }
  return 0;
}
