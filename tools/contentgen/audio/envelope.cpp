// ADSR envelope with the overshooting-target method: each segment approaches a target
// slightly beyond its end level, so it curves like a natural decay but still arrives.
#include "audio/envelope.h"

#include <algorithm>
#include <cmath>

namespace contentgen::audio {

namespace {
constexpr float kAttackRatio = 0.3f;   // nearly linear rise
constexpr float kDecayRatio = 0.001f;  // strongly curved fall, like a struck string
}  // namespace

// Coefficient so that level' = base + level * coef lands on target after samples steps.
void CEnvelope::Segment(float samples, float ratio, float* coef, float* base, float target)
{
  const float n = std::max(samples, 1.0f);
  *coef = std::exp(-std::log((1.0f + ratio) / ratio) / n);
  *base = target * (1.0f - *coef);
}

// Precomputes the three curved segments.
CEnvelope::CEnvelope(float attack, float decay, float sustainLevel, float release, float rate)
    : sustain(std::clamp(sustainLevel, 0.0f, 1.0f))
{
  Segment(attack * rate, kAttackRatio, &attackCoef, &attackBase, 1.0f + kAttackRatio);
  // Decay and release are timed over the full 1 -> 0 span, so a decay to a high
  // sustain level is quicker than the stated time, as on most synthesizers.
  Segment(decay * rate, kDecayRatio, &decayCoef, &decayBase, sustain - kDecayRatio);
  Segment(release * rate, kDecayRatio, &releaseCoef, &releaseBase, -kDecayRatio);
  if (attack <= 0.0f) {
    level = 1.0f;
    stage = Stage::Decay;
  }
}

// Advances one sample.
float CEnvelope::Next(bool gateOpen)
{
  if (!gateOpen && stage != Stage::Done) stage = Stage::Release;
  switch (stage) {
  case Stage::Attack:
    level = attackBase + level * attackCoef;
    if (level >= 1.0f) {
      level = 1.0f;
      stage = Stage::Decay;
    }
    break;
  case Stage::Decay:
    level = decayBase + level * decayCoef;
    if (level <= sustain) {
      level = sustain;
      stage = sustain > 0.0f ? Stage::Sustain : Stage::Done;
    }
    break;
  case Stage::Sustain:
    break;
  case Stage::Release:
    level = releaseBase + level * releaseCoef;
    if (level <= 0.0f) {
      level = 0.0f;
      stage = Stage::Done;
    }
    break;
  case Stage::Done:
    level = 0.0f;
    break;
  }
  return level;
}

}  // namespace contentgen::audio
