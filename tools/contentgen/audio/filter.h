// Filters: a one-pole low/high pass (tone shaping, DC removal) and a state-variable
// filter (low, high and band pass with resonance) that stays stable while its cutoff
// sweeps, which the filter envelopes rely on.
#pragma once

#include <string>

namespace contentgen::audio {

enum class FilterType { None, LowPass, HighPass, BandPass };

// Parses "none", "lowpass", "highpass" or "bandpass".
bool ParseFilterType(const std::string& name, FilterType* type);

// First-order filter: 6 dB per octave above (low pass) or below (high pass) the cutoff.
class COnePole {
public:
  COnePole(bool highPass, float cutoff, float rate);
  // Filters one sample.
  float Process(float x);

private:
  bool highPass;
  float coef;
  float state = 0.0f;
};

// Second-order state-variable filter (trapezoidal integration), 12 dB per octave.
class CStateVariableFilter {
public:
  CStateVariableFilter(FilterType type, float rate) : type(type), rate(rate) {}
  // Sets cutoff in Hz (kept below Nyquist) and resonance as Q (0.707 = no peak).
  void SetCutoff(float cutoff, float q);
  // Filters one sample.
  float Process(float x);

private:
  FilterType type;
  float rate;
  float k = 1.414f, a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
  float ic1 = 0.0f, ic2 = 0.0f;
};

}  // namespace contentgen::audio
