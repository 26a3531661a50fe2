// Oscillators: the shared sine table and the wave names. The per-sample code lives in
// the header so that it inlines into the note renderer.
#include "audio/oscillator.h"

#include <array>

namespace contentgen::audio {

// Built once on first use.
const float* SineTable()
{
  static const std::array<float, kSineTableSize + 1> table = [] {
    std::array<float, kSineTableSize + 1> t{};
    for (int i = 0; i <= kSineTableSize; ++i) t[i] = static_cast<float>(std::sin(2.0 * M_PI * i / kSineTableSize));
    return t;
  }();
  return table.data();
}

// Maps the names used in patches to wave shapes; "square" is a pulse of width 0.5.
bool ParseWave(const std::string& name, Wave* wave)
{
  if (name == "sine")
    *wave = Wave::Sine;
  else if (name == "triangle")
    *wave = Wave::Triangle;
  else if (name == "saw")
    *wave = Wave::Saw;
  else if (name == "square" || name == "pulse")
    *wave = Wave::Pulse;
  else if (name == "noise")
    *wave = Wave::Noise;
  else
    return false;
  return true;
}

}  // namespace contentgen::audio
