// Oscillators for the synthesizer: band-limited (polyBLEP) saw and pulse, triangle, a
// table sine and a deterministic white-noise source. Phase runs 0..1 per cycle.
#pragma once

#include <cstdint>
#include <string>

namespace contentgen::audio {

enum class Wave { Sine, Triangle, Saw, Pulse, Noise };

// Parses a wave name ("sine", "triangle", "saw", "square", "pulse", "noise").
bool ParseWave(const std::string& name, Wave* wave);

// Sine of a phase in cycles (0..1 is one period), from a table with interpolation.
float SineCycles(double phase);

// Deterministic white noise in -1..1 (xorshift), so every build writes the same bytes.
class CNoise {
 public:
  explicit CNoise(uint32_t seed = 0x9E3779B9u) : state(seed ? seed : 1u) {}
  // Next sample in -1..1.
  float Next();

 private:
  uint32_t state;
};

// One oscillator: call Next with the phase increment (frequency / rate) per sample.
class COscillator {
 public:
  COscillator(Wave wave, float width, uint32_t noiseSeed) : wave(wave), width(width), noise(noiseSeed) {}
  // Starts the cycle at the given phase (0..1).
  void Reset(double startPhase) { phase = startPhase; }
  // Next sample in about -1..1 for a phase increment of dt cycles per sample; fm is an
  // extra phase offset in cycles (frequency modulation).
  float Next(double dt, double fm = 0.0);

 private:
  Wave wave;
  float width;
  double phase = 0.0;
  CNoise noise;
};

}  // namespace contentgen::audio
