// Sound effects: the parameter-file parser and the layer mixer.
#include "audio/sfx.h"

#include <algorithm>
#include <cmath>

#include "audio/delay.h"
#include "audio/filter.h"
#include "audio/text.h"

namespace contentgen::audio {

namespace {

// A number within [lo, hi] or a message naming the key.
bool ReadValue(const std::string& key, const std::string& text, double lo, double hi, float* out, std::string* error)
{
  double v = 0.0;
  if (!ParseNumber(text, &v)) {
    *error = "'" + key + "' needs a number, not '" + text + "'";
    return false;
  }
  if (v < lo || v > hi) {
    *error = "'" + key + "' = " + text + " is out of range";
    return false;
  }
  *out = static_cast<float>(v);
  return true;
}

// Sound-wide keys.
bool SetGlobalKey(Sfx* sfx, const std::string& key, const std::string& value, std::string* error)
{
  if (key == "rate") {
    if (value != "44100" && value != "22050") {
      *error = "'rate' must be 44100 or 22050";
      return false;
    }
    sfx->rate = std::stoi(value);
    return true;
  }
  if (key == "peak") return ReadValue(key, value, 0.01, 1.0, &sfx->peak, error);
  if (key == "echo_time") return ReadValue(key, value, 0.0, 2.0, &sfx->echoTime, error);
  if (key == "echo_feedback") return ReadValue(key, value, 0.0, 0.9, &sfx->echoFeedback, error);
  if (key == "echo_mix") return ReadValue(key, value, 0.0, 1.0, &sfx->echoMix, error);
  if (key == "echo_damping") return ReadValue(key, value, 0.0, 0.95, &sfx->echoDamping, error);
  if (key == "lowcut") return ReadValue(key, value, 0.0, 2000.0, &sfx->lowCut, error);
  if (key == "loop") return ReadValue(key, value, 0.0, 30.0, &sfx->loopSeconds, error);
  *error = "unknown key '" + key + "'";
  return false;
}

// Schedule keys of a layer first, then the synthesizer's patch keys.
bool SetLayerKey(SfxLayer* layer, const std::string& key, const std::string& value, std::string* error)
{
  if (key == "notes") {
    layer->notes.clear();
    int octave = 4;
    for (const std::string& w : SplitWords(value)) {
      int midi = 0;
      if (!ParseNoteName(w, &octave, &midi)) {
        *error = "'" + w + "' is not a note (like c4, f#5, eb3)";
        return false;
      }
      layer->notes.push_back(midi);
    }
    if (layer->notes.empty()) *error = "'notes' is empty";
    return !layer->notes.empty();
  }
  if (key == "levels") {
    layer->levels.clear();
    for (const std::string& w : SplitWords(value)) {
      float v = 0.0f;
      if (!ReadValue(key, w, 0.0, 4.0, &v, error)) return false;
      layer->levels.push_back(v);
    }
    return true;
  }
  if (key == "step") return ReadValue(key, value, 0.0, 10.0, &layer->step, error);
  if (key == "start") return ReadValue(key, value, 0.0, 10.0, &layer->start, error);
  if (key == "gate") return ReadValue(key, value, 0.001, 10.0, &layer->gate, error);
  return SetPatchKey(&layer->patch, key, value, error);
}

}  // namespace

// Line by line; sections start layers; every problem names its line.
bool ParseSfx(const std::string& text, const std::string& fileName, Sfx* sfx, std::string* error)
{
  *sfx = Sfx();
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i) + 1;
    const std::string line = StripComment(lines[i]);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) {
        *error = AtLine(fileName, lineNo, "a section line looks like [name]");
        return false;
      }
      SfxLayer layer;
      layer.name = line.substr(1, line.size() - 2);
      layer.patch.seed = static_cast<uint32_t>(sfx->layers.size() * 977u + 1u);
      sfx->layers.push_back(layer);
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      *error = AtLine(fileName, lineNo, "expected 'key = value', got '" + line + "'");
      return false;
    }
    const std::string key = StripComment(line.substr(0, eq));
    const std::string value = StripComment(line.substr(eq + 1));
    std::string problem;
    const bool ok = sfx->layers.empty() ? SetGlobalKey(sfx, key, value, &problem)
                                        : SetLayerKey(&sfx->layers.back(), key, value, &problem);
    if (!ok) {
      *error = AtLine(fileName, lineNo, problem);
      return false;
    }
  }
  if (sfx->layers.empty()) {
    *error = fileName + ": no [layer] section, so there is nothing to play";
    return false;
  }
  for (const SfxLayer& layer : sfx->layers) {
    if (layer.notes.empty()) {
      *error = fileName + ": layer [" + layer.name + "] has no 'notes'";
      return false;
    }
  }
  return true;
}

namespace {

// Folds everything past `loop` samples back onto the start, then runs the low cut round
// the loop twice so that its memory at the start is what the end leaves: the last and
// first samples then join like any two neighbours.
void WrapIntoLoop(const Sfx& sfx, size_t loop, std::vector<float>* mix)
{
  if (mix->size() < loop) mix->resize(loop, 0.0f);
  for (size_t i = loop; i < mix->size(); ++i) (*mix)[i % loop] += (*mix)[i];
  mix->resize(loop);
  if (sfx.lowCut <= 0.0f) return;
  COnePole lowCut(true, sfx.lowCut, static_cast<float>(sfx.rate));
  for (const float s : *mix) lowCut.Process(s);
  for (float& s : *mix) s = lowCut.Process(s);
}

}  // namespace

// Layers into one buffer, then echo, low cut, peak scaling and a trimmed, faded end (a
// loop keeps its exact length instead).
std::vector<float> RenderSfx(const Sfx& sfx)
{
  std::vector<float> mix;
  std::vector<float> note;
  for (const SfxLayer& layer : sfx.layers) {
    for (size_t i = 0; i < layer.notes.size(); ++i) {
      const float level = layer.levels.empty() ? 1.0f : layer.levels[std::min(i, layer.levels.size() - 1)];
      RenderNote(layer.patch, layer.notes[i], layer.gate, level, sfx.rate, &note, static_cast<uint32_t>(i));
      const size_t offset = static_cast<size_t>((layer.start + layer.step * i) * sfx.rate);
      if (mix.size() < offset + note.size()) mix.resize(offset + note.size(), 0.0f);
      for (size_t n = 0; n < note.size(); ++n) mix[offset + n] += note[n];
    }
  }
  if (sfx.echoTime > 0.0f && sfx.echoMix > 0.0f) {
    // Room for the repeats until they fall below -60 dB.
    const float fb = std::max(sfx.echoFeedback, 0.01f);
    const int repeats = std::min(20, 1 + static_cast<int>(std::ceil(std::log(0.001f / sfx.echoMix) / std::log(fb))));
    const int delay = std::max(1, static_cast<int>(sfx.echoTime * sfx.rate));
    mix.resize(mix.size() + static_cast<size_t>(delay) * repeats, 0.0f);
    CEcho echo(delay, sfx.echoFeedback, sfx.echoDamping);
    for (float& s : mix) s += sfx.echoMix * echo.Process(s);
  }
  const size_t loop = static_cast<size_t>(sfx.loopSeconds * sfx.rate);
  if (loop > 0) {
    WrapIntoLoop(sfx, loop, &mix);
  } else if (sfx.lowCut > 0.0f) {
    COnePole lowCut(true, sfx.lowCut, static_cast<float>(sfx.rate));
    for (float& s : mix) s = lowCut.Process(s);
  }
  float peak = 0.0f;
  for (const float s : mix) peak = std::max(peak, std::fabs(s));
  if (peak <= 0.0f) return mix;
  const float scale = sfx.peak / peak;
  for (float& s : mix) s *= scale;
  if (loop > 0) return mix;
  // Drop the inaudible tail (-80 dB), then fade the last few milliseconds to zero.
  size_t end = mix.size();
  while (end > 0 && std::fabs(mix[end - 1]) < 1.0e-4f) --end;
  mix.resize(end);
  const size_t fade = std::min(end, static_cast<size_t>(sfx.rate / 200));
  for (size_t i = 0; i < fade; ++i) mix[end - 1 - i] *= static_cast<float>(i) / fade;
  return mix;
}

}  // namespace contentgen::audio
