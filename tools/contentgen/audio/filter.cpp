// Filters: one-pole and state-variable (after the well-known trapezoidal SVF design).
#include "audio/filter.h"

#include <algorithm>
#include <cmath>

namespace contentgen::audio {

// Maps the names used in patches to filter types.
bool ParseFilterType(const std::string& name, FilterType* type)
{
  if (name == "none")
    *type = FilterType::None;
  else if (name == "lowpass")
    *type = FilterType::LowPass;
  else if (name == "highpass")
    *type = FilterType::HighPass;
  else if (name == "bandpass")
    *type = FilterType::BandPass;
  else
    return false;
  return true;
}

// Coefficient from the cutoff by the exact one-pole mapping.
COnePole::COnePole(bool highPass, float cutoff, float rate)
    : highPass(highPass), coef(1.0f - std::exp(-2.0f * static_cast<float>(M_PI) * cutoff / rate))
{
}

// The low-pass state follows the input; high pass is what the low pass leaves out.
float COnePole::Process(float x)
{
  state += coef * (x - state);
  return highPass ? x - state : state;
}

// Recomputes the coefficients; cheap enough to call every few dozen samples.
void CStateVariableFilter::SetCutoff(float cutoff, float q)
{
  const float fc = std::clamp(cutoff, 10.0f, rate * 0.45f);
  const float g = std::tan(static_cast<float>(M_PI) * fc / rate);
  k = 1.0f / std::max(q, 0.1f);
  a1 = 1.0f / (1.0f + g * (g + k));
  a2 = g * a1;
  a3 = g * a2;
}

// One step of the two integrators; the outputs are taps of the same structure.
float CStateVariableFilter::Process(float x)
{
  const float v3 = x - ic2;
  const float v1 = a1 * ic1 + a2 * v3;
  const float v2 = ic2 + a2 * ic1 + a3 * v3;
  ic1 = 2.0f * v1 - ic1;
  ic2 = 2.0f * v2 - ic2;
  switch (type) {
  case FilterType::LowPass:
    return v2;
  case FilterType::HighPass:
    return x - k * v1 - v2;
  case FilterType::BandPass:
    return v1;
  case FilterType::None:
    break;
  }
  return x;
}

}  // namespace contentgen::audio
