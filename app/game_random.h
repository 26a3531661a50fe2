// CGameRandom: the game's own random numbers, a PCG32 generator. Everything random in a
// stage (gimmicks, effects, decoration) draws from the one instance, seeded once per
// stage attempt, so a stage replays from its input and its seed alone.
#pragma once

#include <cstdint>

class CGameRandom {
public:
  // Seeded with 0 until the first stage seeds it.
  CGameRandom();
  // Starts the sequence a seed names on one of 2^63 streams; the same seed and stream
  // give the same numbers. The game keeps to one stream.
  void Seed(uint64_t seed, uint64_t stream = 721347520444481703ULL);
  // The next 32 random bits.
  uint32_t Next();
  // An integer from 0 to count - 1; 0 when count is not positive.
  int Below(int count);

private:
  uint64_t state;
  uint64_t increment;
};

// The one generator of the game.
CGameRandom& GameRandom();
