// libFuzzer target for the replay-file reader: any bytes are read without reading past
// them or allocating beyond what the tick count allows; the header reader agrees with
// the full reader; and a replay read back from its own encoding is the same replay.
#include "replay/replay_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Field by field, floats by their bits.
bool SameReplay(const ReplayFile& a, const ReplayFile& b)
{
  const ReplayHeader& x = a.header;
  const ReplayHeader& y = b.header;
  if (x.formatVersion != y.formatVersion || x.gameVersion != y.gameVersion || x.stage != y.stage ||
      x.stageHash != y.stageHash || x.seed != y.seed || x.invertLook != y.invertLook ||
      x.magicToggle != y.magicToggle || x.startFade != y.startFade || x.clearTick != y.clearTick ||
      std::memcmp(&x.lookSensitivity, &y.lookSensitivity, sizeof(float)) != 0 ||
      std::memcmp(x.endPosition, y.endPosition, sizeof x.endPosition) != 0 || a.ticks.size() != b.ticks.size()) {
    return false;
  }
  for (size_t i = 0; i < a.ticks.size(); ++i) {
    if (a.ticks[i].buttons != b.ticks[i].buttons || a.ticks[i].cursorX != b.ticks[i].cursorX ||
        a.ticks[i].cursorY != b.ticks[i].cursorY) {
      return false;
    }
  }
  return true;
}

// The checks on one file's bytes.
void CheckBytes(const std::string& bytes)
{
  ReplayFile replay;
  const std::string wrong = DecodeReplay(bytes, &replay);
  ReplayHeader header;
  if (DecodeReplayHeader(bytes, &header).empty() != wrong.empty()) std::abort();
  if (!wrong.empty()) {
    if (!replay.ticks.empty() || wrong.find('\n') != std::string::npos) std::abort();
    return;
  }
  if (replay.ticks.size() > kReplayMostTicks || replay.header.stage < 1 || replay.header.stage > 99) std::abort();
  ReplayFile again;
  if (!DecodeReplay(EncodeReplay(replay), &again).empty() || !SameReplay(replay, again)) std::abort();
}

}  // namespace

// One input as it is, and with a good checksum added, so that mutations reach the
// header and the ticks instead of stopping at the checksum.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckBytes(bytes);
  const uint64_t sum = Fnv1a64(bytes.data(), bytes.size());
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((sum >> (8 * i)) & 0xFF));
  CheckBytes(bytes);
  return 0;
}
