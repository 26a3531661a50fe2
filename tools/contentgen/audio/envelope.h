// ADSR envelope: attack rises to 1, decay falls to the sustain level, release falls to 0
// once the gate closes. Segments are gently curved (exponential) yet reach their targets
// exactly at the stated times.
#pragma once

namespace contentgen::audio {

class CEnvelope {
public:
  enum class Stage { Attack, Decay, Sustain, Release, Done };

  // Times in seconds, sustain 0..1, at the given sample rate.
  CEnvelope(float attack, float decay, float sustain, float release, float rate);
  // Next level; gateOpen false starts (or continues) the release.
  float Next(bool gateOpen);
  Stage GetStage() const { return stage; }
  float GetLevel() const { return level; }

private:
  // Per-sample coefficient and offset of a curved segment lasting samples samples.
  static void Segment(float samples, float ratio, float* coef, float* base, float target);

  Stage stage = Stage::Attack;
  float level = 0.0f;
  float sustain;
  float attackCoef, attackBase;
  float decayCoef, decayBase;
  float releaseCoef, releaseBase;
};

}  // namespace contentgen::audio
