// Music scores (content/music/NAME.score): the parsed form the sequencer plays. The text
// format is described at the top of score.cpp.
#pragma once

#include <string>
#include <vector>

#include "audio/patch.h"

namespace contentgen::audio {

struct NoteEvent {
  double beat = 0.0;    // start, in beats from the top of the loop
  double length = 1.0;  // in beats
  int midi = 60;
  float velocity = 1.0f;
};

struct Voice {
  std::string name;
  int instrument = 0;  // index into Score::instruments
  float gain = 1.0f;
  float pan = 0.0f;       // -1 left .. 1 right
  float reverb = 0.0f;    // send level to the reverb
  float echo = 0.0f;      // send level to the echo
  float legato = 0.9f;    // fraction of a note's length that the key is held
  float humanize = 0.0f;  // random velocity spread, 0..0.5
  double lengthBeats = 0.0;
  std::vector<NoteEvent> notes;
};

struct Score {
  double tempo = 120.0;  // quarter-note beats per minute
  int meter = 4;         // beats per bar
  int rate = 44100;
  float reverbLevel = 0.0f, reverbSize = 0.5f, reverbDamping = 0.4f;
  float echoBeats = 0.75f, echoFeedback = 0.3f, echoDamping = 0.3f;
  float master = 0.8f;  // peak of the finished loop
  std::vector<std::string> instrumentNames;
  std::vector<Patch> instruments;
  std::vector<Voice> voices;
  double loopBeats = 0.0;  // the longest voice, rounded up to whole bars
};

// Parses a score; fileName is used in messages ("file:line: problem").
bool ParseScore(const std::string& text, const std::string& fileName, Score* score, std::string* error);

// Seconds the loop lasts.
double LoopSeconds(const Score& score);

}  // namespace contentgen::audio
