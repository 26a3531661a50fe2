// Echo and reverb. Delay lengths of the reverb are mutually prime-ish so the combs do
// not ring on the same frequencies.
#include "audio/delay.h"

#include <algorithm>

namespace contentgen::audio {

// Allocates the line.
CEcho::CEcho(int delaySamples, float feedback, float damping)
    : line(std::max(delaySamples, 1), 0.0f),
      feedback(std::clamp(feedback, 0.0f, 0.95f)),
      damping(std::clamp(damping, 0.0f, 0.99f))
{
}

// Reads the delayed sample, damps it and writes input plus feedback back.
float CEcho::Process(float x)
{
  const float out = line[pos];
  tone = out + damping * (tone - out);
  line[pos] = x + tone * feedback;
  if (++pos == static_cast<int>(line.size())) pos = 0;
  return tone;
}

// Two lines in a cross loop; the feedback is handled here, not inside the lines.
CPingPongEcho::CPingPongEcho(int delaySamples, float feedback, float damping)
    : toLeft(delaySamples, 0.0f, damping),
      toRight(delaySamples, 0.0f, damping),
      crossFeedback(std::clamp(feedback, 0.0f, 0.95f))
{
}

// The send enters on the left, each repeat crosses to the other side.
void CPingPongEcho::Process(float x, float* left, float* right)
{
  const float l = toLeft.Process(x + lastRight * crossFeedback);
  const float r = toRight.Process(l);
  lastRight = r;
  *left += l;
  *right += r;
}

// Builds the comb and all-pass lines for both channels.
CReverb::CReverb(float rate, float size, float damping)
    : lowCut(true, 250.0f, rate),
      feedback(0.7f + 0.28f * std::clamp(size, 0.0f, 1.0f)),
      damping(std::clamp(damping, 0.0f, 0.95f))
{
  static const int kCombs[] = {1116, 1188, 1277, 1356, 1422, 1491};
  static const int kAllPasses[] = {556, 441, 341};
  const float scale = rate / 44100.0f;
  for (int ch = 0; ch < 2; ++ch) {
    const int spread = ch * 23;
    for (const int n : kCombs) {
      Comb c;
      c.line.assign(static_cast<size_t>((n + spread) * scale), 0.0f);
      combs[ch].push_back(c);
    }
    for (const int n : kAllPasses) {
      AllPass a;
      a.line.assign(static_cast<size_t>((n + spread) * scale), 0.0f);
      allPasses[ch].push_back(a);
    }
  }
}

// Low-pass filtered feedback comb.
float CReverb::RunComb(Comb& c, float x) const
{
  const float out = c.line[c.pos];
  c.store = out + damping * (c.store - out);
  c.line[c.pos] = x + c.store * feedback;
  if (++c.pos == static_cast<int>(c.line.size())) c.pos = 0;
  return out;
}

// Schroeder all-pass with gain 0.5.
float CReverb::RunAllPass(AllPass& a, float x)
{
  const float delayed = a.line[a.pos];
  const float out = delayed - x;
  a.line[a.pos] = x + delayed * 0.5f;
  if (++a.pos == static_cast<int>(a.line.size())) a.pos = 0;
  return out;
}

// Sum of combs, then the all-pass chain, per channel.
void CReverb::Process(float x, float* left, float* right)
{
  const float in = lowCut.Process(x) * 0.1f;
  float* outs[2] = {left, right};
  for (int ch = 0; ch < 2; ++ch) {
    float sum = 0.0f;
    for (Comb& c : combs[ch]) sum += RunComb(c, in);
    for (AllPass& a : allPasses[ch]) sum = RunAllPass(a, sum);
    *outs[ch] += sum;
  }
}

}  // namespace contentgen::audio
