// Sequencer: plays a parsed score through the synthesizer into a stereo loop. Note tails
// that run past the end are wrapped round onto the start, and the echo and reverb run
// round the loop twice, so the last sample flows into the first as if it never ended.
#pragma once

#include <vector>

#include "audio/score.h"

namespace contentgen::audio {

// Interleaved stereo samples (left, right), exactly one loop long, peak = score.master.
std::vector<float> RenderScore(const Score& score);

}  // namespace contentgen::audio
