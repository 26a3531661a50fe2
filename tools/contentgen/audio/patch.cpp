// Patch parameters and the one-note renderer. Pitch and filter cutoff are updated at a
// control rate (every 32 samples), the rest runs per sample.
#include "audio/patch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/envelope.h"

namespace contentgen::audio {

namespace {

constexpr int kControlBlock = 32;

// Parses a whole string as a float.
bool ParseFloat(const std::string& text, float* value)
{
  if (text.empty()) return false;
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

// A float within [lo, hi], with a message naming the key otherwise.
bool ParseRange(const std::string& key, const std::string& text, float lo, float hi, float* value, std::string* error)
{
  float v = 0.0f;
  if (!ParseFloat(text, &v)) {
    *error = "'" + key + "' needs a number, not '" + text + "'";
    return false;
  }
  if (v < lo || v > hi) {
    *error = "'" + key + "' = " + text + " is outside " + std::to_string(lo).substr(0, 6) + ".." +
             std::to_string(hi).substr(0, 8);
    return false;
  }
  *value = v;
  return true;
}

}  // namespace

// Each key maps to one field; ranges keep every patch playable.
bool SetPatchKey(Patch* p, const std::string& key, const std::string& value, std::string* error)
{
  if (key == "wave") {
    if (value == "square") p->width = 0.5f;
    if (!ParseWave(value, &p->wave)) {
      *error = "unknown wave '" + value + "'";
      return false;
    }
    return true;
  }
  if (key == "wave2") {
    if (value == "none") {
      p->hasWave2 = false;
      return true;
    }
    p->hasWave2 = ParseWave(value, &p->wave2);
    if (!p->hasWave2) *error = "unknown wave '" + value + "'";
    return p->hasWave2;
  }
  if (key == "filter") {
    if (!ParseFilterType(value, &p->filter)) {
      *error = "unknown filter '" + value + "'";
      return false;
    }
    return true;
  }
  if (key == "seed") {
    float v = 0.0f;
    if (!ParseRange(key, value, 1.0f, 1.0e9f, &v, error)) return false;
    p->seed = static_cast<uint32_t>(v);
    return true;
  }
  struct Field {
    const char* name;
    float* target;
    float lo, hi;
  };
  const Field fields[] = {
      {"width", &p->width, 0.01f, 0.99f},
      {"mix2", &p->mix2, 0.0f, 2.0f},
      {"interval2", &p->interval2, -48.0f, 48.0f},
      {"detune2", &p->detune2, -100.0f, 100.0f},
      {"noise", &p->noise, 0.0f, 2.0f},
      {"fm_ratio", &p->fmRatio, 0.0f, 32.0f},
      {"fm_index", &p->fmIndex, 0.0f, 20.0f},
      {"fm_decay", &p->fmDecay, 0.0f, 30.0f},
      {"attack", &p->attack, 0.0f, 30.0f},
      {"decay", &p->decay, 0.001f, 30.0f},
      {"sustain", &p->sustain, 0.0f, 1.0f},
      {"release", &p->release, 0.001f, 30.0f},
      {"cutoff", &p->cutoff, 10.0f, 20000.0f},
      {"resonance", &p->resonance, 0.1f, 20.0f},
      {"filter_env", &p->filterEnv, -8.0f, 8.0f},
      {"filter_decay", &p->filterDecay, 0.001f, 30.0f},
      {"keytrack", &p->keyTrack, 0.0f, 1.0f},
      {"vibrato_rate", &p->vibratoRate, 0.0f, 40.0f},
      {"vibrato_depth", &p->vibratoDepth, 0.0f, 1200.0f},
      {"vibrato_delay", &p->vibratoDelay, 0.0f, 10.0f},
      {"slide", &p->slide, -96.0f, 96.0f},
      {"slide_time", &p->slideTime, 0.001f, 10.0f},
      {"gain", &p->gain, 0.0f, 8.0f},
  };
  for (const Field& f : fields) {
    if (key == f.name) return ParseRange(key, value, f.lo, f.hi, f.target, error);
  }
  *error = "unknown key '" + key + "'";
  return false;
}

// Letter, optional sharp or flat, optional octave number.
bool ParseNoteName(const std::string& text, int* octave, int* midi)
{
  static const int kPitch[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  if (text.empty() || text[0] < 'a' || text[0] > 'g') return false;
  int pitch = kPitch[text[0] - 'a'];
  size_t i = 1;
  if (i < text.size() && text[i] == '#') {
    ++pitch;
    ++i;
  } else if (i < text.size() && text[i] == 'b') {
    --pitch;
    ++i;
  }
  int oct = *octave;
  if (i < text.size()) {
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '8') return false;
    oct = text[i] - '0';
  }
  *octave = oct;
  *midi = 12 * (oct + 1) + pitch;
  return true;
}

// Equal temperament, a4 = 440 Hz.
double MidiToHz(double midi)
{
  return 440.0 * std::exp2((midi - 69.0) / 12.0);
}

// Oscillators, FM and noise into the filter, shaped by the envelope.
void RenderNote(const Patch& p, double midi, double gateSeconds, float velocity, int rate, std::vector<float>* out,
                uint32_t serial)
{
  const int gate = std::max(1, static_cast<int>(gateSeconds * rate));
  const int total = gate + static_cast<int>(p.release * rate) + kControlBlock;
  out->assign(total, 0.0f);

  const uint32_t seed = p.seed + serial * 2654435761u;
  COscillator osc1(p.wave, p.width, seed);
  COscillator osc2(p.wave2, p.width, seed * 7919u + 13u);
  COscillator modulator(Wave::Sine, 0.5f, 1u);
  CNoise noise(seed * 104729u + 7u);
  CEnvelope env(p.attack, p.decay, p.sustain, p.release, static_cast<float>(rate));
  CStateVariableFilter filter(p.filter, static_cast<float>(rate));

  const double invRate = 1.0 / rate;
  const double ratio2 = std::exp2((p.interval2 + p.detune2 / 100.0) / 12.0);
  const float keyCutoff = p.cutoff * static_cast<float>(std::exp2(p.keyTrack * (midi - 60.0) / 12.0));
  const float fmDecayPerBlock =
      p.fmDecay > 0.0f ? static_cast<float>(std::exp(-kControlBlock / (p.fmDecay * rate))) : 1.0f;
  const float filterDecayPerBlock = static_cast<float>(std::exp(-kControlBlock / (p.filterDecay * rate)));
  const float slideDecayPerBlock = static_cast<float>(std::exp(-kControlBlock / (p.slideTime * rate)));
  const float amp = velocity * p.gain;

  float fmDepth = p.fmIndex;
  float filterBoost = p.filterEnv;
  float slide = p.slide;
  double dt1 = 0.0, dt2 = 0.0, dtMod = 0.0;
  int end = total;
  for (int n = 0; n < total; ++n) {
    if (n % kControlBlock == 0) {
      const double t = n * invRate;
      double cents = 0.0;
      if (p.vibratoDepth > 0.0f && t > p.vibratoDelay) {
        const double fadeIn = std::min(1.0, (t - p.vibratoDelay) / 0.3);
        cents = p.vibratoDepth * fadeIn * SineCycles(t * p.vibratoRate);
      }
      const double hz = MidiToHz(midi + slide + cents / 100.0);
      dt1 = hz * invRate;
      dt2 = dt1 * ratio2;
      dtMod = dt1 * p.fmRatio;
      slide *= slideDecayPerBlock;
      if (p.filter != FilterType::None) {
        filter.SetCutoff(keyCutoff * std::exp2(filterBoost), p.resonance);
        filterBoost *= filterDecayPerBlock;
      }
      if (env.GetStage() == CEnvelope::Stage::Done) {
        end = n;
        break;
      }
    }
    double fm = 0.0;
    if (p.fmRatio > 0.0f) {
      fm = modulator.Next(dtMod) * fmDepth;
      if ((n & (kControlBlock - 1)) == kControlBlock - 1) fmDepth *= fmDecayPerBlock;
    }
    float s = osc1.Next(dt1, fm);
    if (p.hasWave2) s += p.mix2 * osc2.Next(dt2, fm);
    if (p.noise > 0.0f) s += p.noise * noise.Next();
    if (p.filter != FilterType::None) s = filter.Process(s);
    (*out)[n] = s * env.Next(n < gate) * amp;
  }
  out->resize(end);
}

}  // namespace contentgen::audio
