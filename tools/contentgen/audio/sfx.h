// Sound effects from parameter files (content/sounds/NAME.sfx -> res/sound/NAME.wav).
//
// Format: `key = value` lines; a '#' at the start of a word starts a comment. Keys
// before the first section set the whole sound:
//   rate = 44100            sample rate (22050 or 44100)
//   peak = 0.7              the finished sound is scaled so its peak is this (0..1)
//   echo_time = 0.1         seconds between repeats (0 = no echo)
//   echo_feedback = 0.3     level of each further repeat
//   echo_mix = 0.3          level of the first repeat
//   echo_damping = 0.3      how much darker each repeat gets
//   lowcut = 30             one-pole high pass in Hz that removes rumble (0 = off)
//   loop = 1.5              seconds of a seamless loop: everything past them is folded
//                           back onto the start, and the end is not trimmed (0 = off)
// A `[name]` line starts a layer; layers are mixed. A layer takes every patch key of the
// synthesizer (see patch.h: wave, attack, cutoff, slide, ...) plus its note schedule:
//   notes = c5 e5 g5        notes played one after the other
//   step = 0.08             seconds from one note's start to the next
//   start = 0               seconds before the first note
//   gate = 0.1              seconds each note is held before its release
//   levels = 1 0.7 0.5      velocity of each note (the last repeats for the rest)
// The output is mono 16-bit: effects are played positioned, which needs one channel.
#pragma once

#include <string>
#include <vector>

#include "audio/patch.h"

namespace contentgen::audio {

struct SfxLayer {
  std::string name;
  Patch patch;
  std::vector<int> notes;
  std::vector<float> levels;
  float step = 0.1f, start = 0.0f, gate = 0.1f;
};

struct Sfx {
  int rate = 44100;
  float peak = 0.7f;
  float echoTime = 0.0f, echoFeedback = 0.3f, echoMix = 0.3f, echoDamping = 0.3f;
  float lowCut = 30.0f;
  float loopSeconds = 0.0f;
  std::vector<SfxLayer> layers;
};

// Parses an effect file; fileName is used in messages ("file:line: problem").
bool ParseSfx(const std::string& text, const std::string& fileName, Sfx* sfx, std::string* error);

// Renders the effect as mono samples at sfx.rate, scaled to its peak, ending in silence.
std::vector<float> RenderSfx(const Sfx& sfx);

}  // namespace contentgen::audio
