// Sequencer: dry voices into a bus with tails, wrap, then the effects round the loop.
#include "audio/sequencer.h"

#include <algorithm>
#include <cmath>

#include "audio/delay.h"
#include "audio/filter.h"
#include "audio/oscillator.h"

namespace contentgen::audio {

namespace {

// The dry mix and the two effect sends, each as long as the loop plus the longest tail.
struct Bus {
  std::vector<float> left, right, reverbSend, echoSend;

  // Grows every channel to at least n samples.
  void Reserve(size_t n)
  {
    if (left.size() >= n) return;
    left.resize(n, 0.0f);
    right.resize(n, 0.0f);
    reverbSend.resize(n, 0.0f);
    echoSend.resize(n, 0.0f);
  }
  // Folds everything past loop samples back onto the start (repeatedly for long tails).
  void Wrap(size_t loop)
  {
    for (std::vector<float>* ch : {&left, &right, &reverbSend, &echoSend}) {
      for (size_t i = loop; i < ch->size(); ++i) (*ch)[i % loop] += (*ch)[i];
      ch->resize(loop);
    }
  }
};

// Renders every note of a voice into the bus with its pan and sends.
void MixVoice(const Score& score, const Voice& voice, Bus* bus)
{
  const Patch& patch = score.instruments[voice.instrument];
  const double secondsPerBeat = 60.0 / score.tempo;
  // Constant-power pan.
  const double angle = (voice.pan + 1.0) * M_PI / 4.0;
  const float gainL = static_cast<float>(std::cos(angle) * M_SQRT2) * voice.gain;
  const float gainR = static_cast<float>(std::sin(angle) * M_SQRT2) * voice.gain;
  CNoise humanize(static_cast<uint32_t>(voice.name.size() * 131u + voice.notes.size() + 17u));
  std::vector<float> note;
  uint32_t serial = 0;
  for (const NoteEvent& e : voice.notes) {
    const float velocity = e.velocity * (1.0f + voice.humanize * humanize.Next());
    RenderNote(patch, e.midi, e.length * voice.legato * secondsPerBeat, velocity, score.rate, &note, serial++);
    const size_t offset = static_cast<size_t>(std::llround(e.beat * secondsPerBeat * score.rate));
    bus->Reserve(offset + note.size());
    float* left = bus->left.data() + offset;
    float* right = bus->right.data() + offset;
    for (size_t n = 0; n < note.size(); ++n) {
      left[n] += note[n] * gainL;
      right[n] += note[n] * gainR;
    }
    // Most voices feed only one effect, or none.
    if (voice.reverb > 0.0f) {
      float* send = bus->reverbSend.data() + offset;
      for (size_t n = 0; n < note.size(); ++n) send[n] += note[n] * voice.reverb;
    }
    if (voice.echo > 0.0f) {
      float* send = bus->echoSend.data() + offset;
      for (size_t n = 0; n < note.size(); ++n) send[n] += note[n] * voice.echo;
    }
  }
}

// Runs echo, reverb and the DC-blocking low cut over the wrapped loop. A first pass
// over the last seconds of the loop fills the effects' memory with what precedes the
// start when the loop repeats, so the output is periodic.
std::vector<float> ApplyEffects(const Score& score, const Bus& bus)
{
  const size_t loop = bus.left.size();
  const float rate = static_cast<float>(score.rate);
  const int echoDelay = std::max(1, static_cast<int>(score.echoBeats * 60.0 / score.tempo * score.rate));
  CPingPongEcho echo(echoDelay, score.echoFeedback, score.echoDamping);
  CReverb reverb(rate, score.reverbSize, score.reverbDamping);
  COnePole lowCutL(true, 25.0f, rate), lowCutR(true, 25.0f, rate);
  const size_t warmUp = std::min(loop, static_cast<size_t>(8 * score.rate));

  std::vector<float> out(loop * 2);
  for (size_t k = 0; k < warmUp + loop; ++k) {
    const size_t i = (loop - warmUp + k) % loop;
    float l = bus.left[i], r = bus.right[i];
    float wetL = 0.0f, wetR = 0.0f;
    echo.Process(bus.echoSend[i], &wetL, &wetR);
    l += wetL;
    r += wetR;
    float revL = 0.0f, revR = 0.0f;
    reverb.Process(bus.reverbSend[i] + 0.3f * (wetL + wetR), &revL, &revR);
    l = lowCutL.Process(l + score.reverbLevel * revL);
    r = lowCutR.Process(r + score.reverbLevel * revR);
    if (k >= warmUp) {
      out[2 * i] = l;
      out[2 * i + 1] = r;
    }
  }
  return out;
}

}  // namespace

// Voices, wrap, effects, then one gain so the loudest sample sits at the master level.
std::vector<float> RenderScore(const Score& score)
{
  const size_t loop = static_cast<size_t>(std::llround(LoopSeconds(score) * score.rate));
  Bus bus;
  bus.Reserve(loop);
  for (const Voice& voice : score.voices) MixVoice(score, voice, &bus);
  bus.Wrap(loop);
  std::vector<float> out = ApplyEffects(score, bus);
  float peak = 0.0f;
  for (const float s : out) peak = std::max(peak, std::fabs(s));
  if (peak > 0.0f) {
    const float scale = score.master / peak;
    for (float& s : out) s *= scale;
  }
  return out;
}

}  // namespace contentgen::audio
