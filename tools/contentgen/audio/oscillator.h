// Oscillators for the synthesizer: band-limited (polyBLEP) saw and pulse, triangle, a
// table sine and a deterministic white-noise source. Phase runs 0..1 per cycle.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace contentgen::audio {

enum class Wave { Sine, Triangle, Saw, Pulse, Noise };

// Parses a wave name ("sine", "triangle", "saw", "square", "pulse", "noise").
bool ParseWave(const std::string& name, Wave* wave);

// The sine table: one period in kSineTableSize steps plus a guard entry.
constexpr int kSineTableSize = 4096;
const float* SineTable();

// Sine of a phase in cycles (0..1 is one period), from the table with interpolation.
inline float SineCycles(double phase)
{
  const double p = (phase - std::floor(phase)) * kSineTableSize;
  const int i = static_cast<int>(p);
  const float f = static_cast<float>(p - i);
  const float* t = SineTable();
  return t[i] + (t[i + 1] - t[i]) * f;
}

// PolyBLEP residual that rounds off a unit step at phase 0 for increment dt.
inline double PolyBlep(double t, double dt)
{
  if (t < dt) {
    const double x = t / dt;
    return x + x - x * x - 1.0;
  }
  if (t > 1.0 - dt) {
    const double x = (t - 1.0) / dt;
    return x * x + x + x + 1.0;
  }
  return 0.0;
}

// Deterministic white noise in -1..1 (xorshift), so every build writes the same bytes.
class CNoise {
public:
  explicit CNoise(uint32_t seed = 0x9E3779B9u) : state(seed ? seed : 1u) {}
  // Next sample in -1..1 (xorshift32 scaled).
  float Next()
  {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state) * (2.0f / 4294967295.0f) - 1.0f;
  }

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
  float Next(double dt, double fm = 0.0)
  {
    const double p = fm == 0.0 ? phase : fm + phase - std::floor(fm + phase);
    double out = 0.0;
    switch (wave) {
    case Wave::Sine:
      out = SineCycles(p);
      break;
    case Wave::Triangle:
      out = p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
      break;
    case Wave::Saw:
      out = 2.0 * p - 1.0 - PolyBlep(p, dt);
      break;
    case Wave::Pulse: {
      const double q = p - width < 0.0 ? p - width + 1.0 : p - width;
      out = (p < width ? 1.0 : -1.0) + PolyBlep(p, dt) - PolyBlep(q, dt);
      // Keeps narrow pulses centred on zero so they carry no offset.
      out -= 2.0 * width - 1.0;
      break;
    }
    case Wave::Noise:
      out = noise.Next();
      break;
    }
    phase += dt;
    if (phase >= 1.0) phase -= std::floor(phase);
    return static_cast<float>(out);
  }

private:
  Wave wave;
  float width;
  double phase = 0.0;
  CNoise noise;
};

}  // namespace contentgen::audio
