// A patch: the parameter set of one synthesizer voice (oscillators, FM, noise, filter,
// envelopes, vibrato, pitch slide), set from `key = value` text, and the renderer that
// plays one note of it into a mono buffer. Sound effects and music instruments share it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/filter.h"
#include "audio/oscillator.h"

namespace contentgen::audio {

struct Patch {
  Wave wave = Wave::Sine;
  float width = 0.5f;     // pulse width 0..1
  bool hasWave2 = false;  // second oscillator
  Wave wave2 = Wave::Sine;
  float mix2 = 0.5f;       // its level
  float interval2 = 0.0f;  // its offset in semitones
  float detune2 = 0.0f;    // and in cents
  float noise = 0.0f;      // white noise added
  float fmRatio = 0.0f;    // sine modulator frequency / note frequency; 0 = no FM
  float fmIndex = 0.0f;    // modulation depth (in cycles of phase)
  float fmDecay = 0.0f;    // seconds for the depth to fall to 1/e; 0 = steady
  float attack = 0.005f, decay = 0.2f, sustain = 0.7f, release = 0.15f;
  FilterType filter = FilterType::None;
  float cutoff = 2000.0f;     // Hz
  float resonance = 0.707f;   // Q
  float filterEnv = 0.0f;     // octaves added to the cutoff at the start of a note
  float filterDecay = 0.2f;   // seconds for that boost to fall to 1/e
  float keyTrack = 0.0f;      // 0..1: how far the cutoff follows the note (from c4)
  float vibratoRate = 5.0f;   // Hz
  float vibratoDepth = 0.0f;  // cents
  float vibratoDelay = 0.0f;  // seconds before the vibrato fades in
  float slide = 0.0f;         // semitones the note starts off its pitch
  float slideTime = 0.05f;    // seconds for the slide to fall to 1/e
  float gain = 1.0f;
  uint32_t seed = 1;  // noise seed
};

// Applies one `key = value` setting; false with a message for an unknown key or a bad value.
bool SetPatchKey(Patch* patch, const std::string& key, const std::string& value, std::string* error);

// Parses a note name such as "c4", "f#3", "eb5" (c4 = MIDI 60) into a MIDI number. A
// missing octave uses *octave; a given one is stored there. False if it is no note.
bool ParseNoteName(const std::string& text, int* octave, int* midi);

// Frequency in Hz of a (fractional) MIDI note number.
double MidiToHz(double midi);

// Renders one note: midi pitch, gate (held) seconds, velocity 0..1. The buffer is resized
// to the note's full length, release included, and overwritten. serial (the note's
// number in its part) varies the noise, so repeated hits are not identical copies.
void RenderNote(const Patch& patch, double midi, double gateSeconds, float velocity, int rate, std::vector<float>* out,
                uint32_t serial = 0);

}  // namespace contentgen::audio
