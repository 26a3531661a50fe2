// Oscillators: the sine table, the noise generator and the polyBLEP-corrected shapes.
#include "audio/oscillator.h"

#include <array>
#include <cmath>

namespace contentgen::audio {

namespace {

constexpr int kSineTableSize = 4096;

// The sine table, one period plus a guard entry for interpolation.
const std::array<float, kSineTableSize + 1>& SineTable() {
  static const std::array<float, kSineTableSize + 1> table = [] {
    std::array<float, kSineTableSize + 1> t{};
    for (int i = 0; i <= kSineTableSize; ++i) t[i] = static_cast<float>(std::sin(2.0 * M_PI * i / kSineTableSize));
    return t;
  }();
  return table;
}

// PolyBLEP residual that rounds off a unit step at phase 0 for increment dt.
double PolyBlep(double t, double dt) {
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

// Wraps a phase into 0..1.
double Wrap(double p) { return p - std::floor(p); }

}  // namespace

// Maps the names used in patches to wave shapes; "square" is a pulse of width 0.5.
bool ParseWave(const std::string& name, Wave* wave) {
  if (name == "sine") *wave = Wave::Sine;
  else if (name == "triangle") *wave = Wave::Triangle;
  else if (name == "saw") *wave = Wave::Saw;
  else if (name == "square" || name == "pulse") *wave = Wave::Pulse;
  else if (name == "noise") *wave = Wave::Noise;
  else return false;
  return true;
}

// Table lookup with linear interpolation.
float SineCycles(double phase) {
  const double p = Wrap(phase) * kSineTableSize;
  const int i = static_cast<int>(p);
  const float f = static_cast<float>(p - i);
  const auto& t = SineTable();
  return t[i] + (t[i + 1] - t[i]) * f;
}

// xorshift32 scaled to -1..1.
float CNoise::Next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<float>(state) * (2.0f / 4294967295.0f) - 1.0f;
}

// One sample of the current shape, then the phase advances.
float COscillator::Next(double dt, double fm) {
  const double p = fm == 0.0 ? phase : Wrap(phase + fm);
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
      out = p < width ? 1.0 : -1.0;
      out += PolyBlep(p, dt);
      out -= PolyBlep(Wrap(p - width), dt);
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

}  // namespace contentgen::audio
