// Time effects: a feedback echo (mono or ping-pong stereo) and a small stereo reverb
// (parallel damped combs into all-passes). Both are plain state machines, so the music
// renderer can run them round a loop twice to make the loop seamless.
#pragma once

#include <vector>

#include "audio/filter.h"

namespace contentgen::audio {

// A delay line with feedback; the output is the delayed signal only (the wet part).
class CEcho {
public:
  // delaySamples >= 1; feedback 0..0.95; damping 0..1 darkens each repeat.
  CEcho(int delaySamples, float feedback, float damping);
  // Feeds x, returns the echo.
  float Process(float x);

private:
  std::vector<float> line;
  int pos = 0;
  float feedback;
  float damping;
  float tone = 0.0f;
};

// Ping-pong echo: repeats alternate between left and right.
class CPingPongEcho {
public:
  CPingPongEcho(int delaySamples, float feedback, float damping);
  // Feeds a mono send, adds the echo into left and right.
  void Process(float x, float* left, float* right);

private:
  CEcho toLeft, toRight;
  float lastRight = 0.0f;
  float crossFeedback = 0.0f;
};

// Schroeder-style reverb with a slightly different set of delays per channel.
class CReverb {
public:
  // size 0..1 scales the decay time; damping 0..1 darkens the tail.
  CReverb(float rate, float size, float damping);
  // Feeds a mono send, adds the reverberated signal into left and right.
  void Process(float x, float* left, float* right);

private:
  struct Comb {
    std::vector<float> line;
    int pos = 0;
    float store = 0.0f;
  };
  struct AllPass {
    std::vector<float> line;
    int pos = 0;
  };
  // One comb step.
  float RunComb(Comb& c, float x) const;
  // One all-pass step.
  static float RunAllPass(AllPass& a, float x);

  // Keeps bass out of the tail: low notes would ring on the combs' own pitches, unevenly
  // between the channels, and muddy the mix.
  COnePole lowCut;
  std::vector<Comb> combs[2];
  std::vector<AllPass> allPasses[2];
  float feedback;
  float damping;
};

}  // namespace contentgen::audio
