// A replay file: which stage, under which conditions, and the input of every update
// tick of one stage attempt, with how the attempt ended. The file is binary and little
// endian: a fixed header, the ticks as runs of equal input, and a checksum of all that
// precedes it. Reading checks every field and every length before it trusts it, so any
// bytes at all give either a replay or one line saying what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The format written now; a file of another version is refused.
const int kReplayFormatVersion = 2;
// The longest attempt a file may hold: four hours of 16 ms ticks.
const uint32_t kReplayMostTicks = 900000;

// The flags of one tick's input, as the stage's update sees them.
enum ReplayInputBit : uint16_t {
  kReplayEscape = 1 << 0,  // Escape went down
  kReplaySpace = 1 << 1,   // Space went down (or the window lost focus)
  kReplayClick = 1 << 2,   // a mouse button went down
  kReplayLeft = 1 << 3,    // left button held
  kReplayRight = 1 << 4,   // right button held
  kReplayW = 1 << 5,
  kReplayS = 1 << 6,
  kReplayA = 1 << 7,
  kReplayD = 1 << 8,
  kReplayShift = 1 << 9,
  kReplayLeftPressed = 1 << 10,   // the left button went down since the last tick
  kReplayRightPressed = 1 << 11,  // the right button went down since the last tick
  kReplayAllBits = (1 << 12) - 1
};

// One update tick's input: the flags above and the cursor as the update finds it,
// relative to the point the game re-centres it on.
struct ReplayTick {
  uint16_t buttons = 0;
  int16_t cursorX = 0;
  int16_t cursorY = 0;
};

// Everything but the ticks.
struct ReplayHeader {
  int formatVersion = kReplayFormatVersion;
  std::string gameVersion;           // the game that recorded it
  int stage = 1;                     // 1 to 99
  uint64_t stageHash = 0;            // of the stage's files, so a changed stage is noticed
  uint64_t seed = 0;                 // the attempt's random seed
  float lookSensitivity = 1;         // the player's settings, for the record: the cursor
  bool invertLook = false;           // motion stored is already scaled and turned by them
  bool magicToggle = false;          // a press starts a colour and the next stops it
  int startFade = 255;               // the screen's fade when the stage began (0..255)
  int32_t clearTick = -1;            // the stage clock at the goal, or -1 for no clear
  float endPosition[3] = {0, 0, 0};  // where the player stood after the last tick
};

struct ReplayFile {
  ReplayHeader header;
  std::vector<ReplayTick> ticks;
};

// The bytes of a replay file.
std::string EncodeReplay(const ReplayFile& replay);
// Reads a replay from bytes; "" when it is good, otherwise what is wrong (one line,
// no file name) and *replay is left unusable.
std::string DecodeReplay(const std::string& bytes, ReplayFile* replay);
// Reads only as much as the header needs (ticks are checked but not kept).
std::string DecodeReplayHeader(const std::string& bytes, ReplayHeader* header);

// FNV-1a, 64 bits: the stage hash and the file's checksum.
uint64_t Fnv1a64(const void* data, size_t size, uint64_t start = 14695981039346656037ULL);
