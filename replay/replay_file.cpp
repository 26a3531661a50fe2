// Replay file encoding and decoding. Layout, all integers little endian:
//   "SOLVREPL"  u16 format version  u8 length + game version text
//   u8 stage  u64 stage hash  u64 seed  f32 look sensitivity  u8 invert look
//   u8 magic toggle  u8 start fade  u32 tick count  i32 clear tick  3 x f32 end position
//   runs until the tick count is reached: varint run length (1 or more),
//     varint flags, zigzag varint cursor x, zigzag varint cursor y
//   u64 FNV-1a checksum of every byte before it
#include "replay/replay_file.h"

#include <cstring>

namespace {

const char magic[8] = {'S', 'O', 'L', 'V', 'R', 'E', 'P', 'L'};
const size_t checksumBytes = 8;

// ---- writing ----

// Appends an integer of `bytes` bytes, low byte first.
void PutInteger(std::string* out, uint64_t value, int bytes)
{
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Appends a float's bits, so the value read back is the same to the last bit.
void PutFloat(std::string* out, float value)
{
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  PutInteger(out, bits, 4);
}

// Appends seven bits a byte, the high bit saying another byte follows.
void PutVarint(std::string* out, uint32_t value)
{
  while (value >= 0x80) {
    out->push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out->push_back(static_cast<char>(value));
}

// Small negative and positive numbers both stay short: 0, -1, 1, -2 become 0, 1, 2, 3.
uint32_t ZigZag(int32_t value)
{
  return (static_cast<uint32_t>(value) << 1) ^ static_cast<uint32_t>(value >> 31);
}

bool SameTick(const ReplayTick& a, const ReplayTick& b)
{
  return a.buttons == b.buttons && a.cursorX == b.cursorX && a.cursorY == b.cursorY;
}

// ---- reading ----

// Bytes read front to back; every read says whether the bytes were there.
class CByteReader {
public:
  CByteReader(const std::string& bytes, size_t end) : data(bytes), limit(end), at(0) {}
  // An integer of `bytes` bytes, low byte first.
  bool Integer(int bytes, uint64_t* value)
  {
    if (limit - at < static_cast<size_t>(bytes)) return false;
    uint64_t result = 0;
    for (int i = 0; i < bytes; ++i)
      result |= static_cast<uint64_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
    at += static_cast<size_t>(bytes);
    *value = result;
    return true;
  }
  // A float's bits.
  bool Float(float* value)
  {
    uint64_t bits = 0;
    if (!Integer(4, &bits)) return false;
    const uint32_t narrow = static_cast<uint32_t>(bits);
    std::memcpy(value, &narrow, sizeof narrow);
    return true;
  }
  // A varint of at most five bytes that fits 32 bits.
  bool Varint(uint32_t* value)
  {
    uint64_t result = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      if (at >= limit) return false;
      const unsigned char byte = static_cast<unsigned char>(data[at++]);
      result |= static_cast<uint64_t>(byte & 0x7F) << shift;
      if (!(byte & 0x80)) {
        if (result > 0xFFFFFFFFULL) return false;
        *value = static_cast<uint32_t>(result);
        return true;
      }
    }
    return false;
  }
  // `count` bytes as text.
  bool Text(size_t count, std::string* text)
  {
    if (limit - at < count) return false;
    text->assign(data, at, count);
    at += count;
    return true;
  }
  bool AtEnd() const { return at == limit; }

private:
  const std::string& data;
  size_t limit;
  size_t at;
};

// A cursor offset read back from its zigzag form; false outside 16 bits.
bool UnZigZag(uint32_t value, int16_t* out)
{
  const int32_t result = static_cast<int32_t>(value >> 1) ^ -static_cast<int32_t>(value & 1);
  if (result < -32768 || result > 32767) return false;
  *out = static_cast<int16_t>(result);
  return true;
}

// The header's fields in order; "" or what is wrong.
std::string ReadHeader(CByteReader* reader, ReplayHeader* header, uint32_t* tickCount)
{
  uint64_t value = 0;
  std::string text;
  if (!reader->Text(sizeof magic, &text) || std::memcmp(text.data(), magic, sizeof magic) != 0)
    return "not a replay file";
  if (!reader->Integer(2, &value)) return "the file ends inside its header";
  header->formatVersion = static_cast<int>(value);
  if (header->formatVersion != kReplayFormatVersion)
    return "replay format " + std::to_string(value) + " (this game reads format " +
           std::to_string(kReplayFormatVersion) + ")";
  if (!reader->Integer(1, &value) || !reader->Text(value, &header->gameVersion))
    return "the file ends inside its header";
  bool complete = reader->Integer(1, &value);
  header->stage = static_cast<int>(value);
  complete = complete && reader->Integer(8, &header->stageHash) && reader->Integer(8, &header->seed);
  complete = complete && reader->Float(&header->lookSensitivity) && reader->Integer(1, &value);
  header->invertLook = value != 0;
  complete = complete && reader->Integer(1, &value);
  header->magicToggle = value != 0;
  complete = complete && reader->Integer(1, &value);
  header->startFade = static_cast<int>(value);
  complete = complete && reader->Integer(4, &value);
  *tickCount = static_cast<uint32_t>(value);
  complete = complete && reader->Integer(4, &value);
  header->clearTick = static_cast<int32_t>(static_cast<uint32_t>(value));
  for (float& coordinate : header->endPosition) complete = complete && reader->Float(&coordinate);
  if (!complete) return "the file ends inside its header";
  if (header->stage < 1 || header->stage > 99) return "stage " + std::to_string(header->stage) + " does not exist";
  if (*tickCount > kReplayMostTicks)
    return "it claims " + std::to_string(*tickCount) + " ticks, more than a replay holds";
  if (header->clearTick < -1 || header->clearTick > static_cast<int32_t>(*tickCount))
    return "its clear tick lies outside the recording";
  return "";
}

// The runs of ticks, kept when `ticks` is given; "" or what is wrong.
std::string ReadTicks(CByteReader* reader, uint32_t tickCount, std::vector<ReplayTick>* ticks)
{
  uint32_t read = 0;
  while (read < tickCount) {
    uint32_t run = 0;
    uint32_t buttons = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    if (!reader->Varint(&run) || !reader->Varint(&buttons) || !reader->Varint(&x) || !reader->Varint(&y))
      return "the file ends inside its ticks";
    ReplayTick tick;
    if (run == 0 || run > tickCount - read) return "a run of ticks goes past the recording";
    if (buttons & ~static_cast<uint32_t>(kReplayAllBits)) return "a tick holds input this game does not know";
    if (!UnZigZag(x, &tick.cursorX) || !UnZigZag(y, &tick.cursorY)) return "a cursor motion is out of range";
    tick.buttons = static_cast<uint16_t>(buttons);
    if (ticks) ticks->insert(ticks->end(), run, tick);
    read += run;
  }
  if (!reader->AtEnd()) return "there are bytes after the last tick";
  return "";
}

// "" when the checksum at the end matches the bytes before it.
std::string CheckSum(const std::string& bytes)
{
  if (bytes.size() < sizeof magic + checksumBytes)
    return bytes.size() < sizeof magic ? "not a replay file" : "the file is cut short";
  const size_t body = bytes.size() - checksumBytes;
  uint64_t stored = 0;
  for (size_t i = 0; i < checksumBytes; ++i)
    stored |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[body + i])) << (8 * i);
  if (Fnv1a64(bytes.data(), body) != stored)
    return std::memcmp(bytes.data(), magic, sizeof magic) == 0 ? "the file is damaged (its checksum does not match)"
                                                               : "not a replay file";
  return "";
}

// Header, then ticks when asked for.
std::string Decode(const std::string& bytes, ReplayHeader* header, std::vector<ReplayTick>* ticks)
{
  const std::string damage = CheckSum(bytes);
  if (!damage.empty()) return damage;
  CByteReader reader(bytes, bytes.size() - checksumBytes);
  uint32_t tickCount = 0;
  const std::string wrong = ReadHeader(&reader, header, &tickCount);
  if (!wrong.empty()) return wrong;
  if (ticks) ticks->reserve(tickCount);
  return ReadTicks(&reader, tickCount, ticks);
}

}  // namespace

// Header fields, runs of equal ticks, checksum.
std::string EncodeReplay(const ReplayFile& replay)
{
  const ReplayHeader& header = replay.header;
  std::string out(magic, sizeof magic);
  PutInteger(&out, static_cast<uint64_t>(header.formatVersion), 2);
  const std::string version = header.gameVersion.substr(0, 255);
  PutInteger(&out, version.size(), 1);
  out += version;
  PutInteger(&out, static_cast<uint64_t>(header.stage), 1);
  PutInteger(&out, header.stageHash, 8);
  PutInteger(&out, header.seed, 8);
  PutFloat(&out, header.lookSensitivity);
  PutInteger(&out, header.invertLook ? 1 : 0, 1);
  PutInteger(&out, header.magicToggle ? 1 : 0, 1);
  PutInteger(&out, static_cast<uint64_t>(header.startFade), 1);
  PutInteger(&out, replay.ticks.size(), 4);
  PutInteger(&out, static_cast<uint32_t>(header.clearTick), 4);
  for (const float coordinate : header.endPosition) PutFloat(&out, coordinate);
  for (size_t at = 0; at < replay.ticks.size();) {
    size_t end = at + 1;
    while (end < replay.ticks.size() && SameTick(replay.ticks[end], replay.ticks[at])) ++end;
    PutVarint(&out, static_cast<uint32_t>(end - at));
    PutVarint(&out, replay.ticks[at].buttons);
    PutVarint(&out, ZigZag(replay.ticks[at].cursorX));
    PutVarint(&out, ZigZag(replay.ticks[at].cursorY));
    at = end;
  }
  PutInteger(&out, Fnv1a64(out.data(), out.size()), 8);
  return out;
}

// The whole file, ticks expanded.
std::string DecodeReplay(const std::string& bytes, ReplayFile* replay)
{
  replay->ticks.clear();
  const std::string wrong = Decode(bytes, &replay->header, &replay->ticks);
  if (!wrong.empty()) replay->ticks.clear();
  return wrong;
}

// The header of a file whose ticks are checked but not kept.
std::string DecodeReplayHeader(const std::string& bytes, ReplayHeader* header)
{
  return Decode(bytes, header, nullptr);
}

// One byte at a time: xor, then multiply by the FNV prime.
uint64_t Fnv1a64(const void* data, size_t size, uint64_t start)
{
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  uint64_t hash = start;
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ULL;
  }
  return hash;
}
