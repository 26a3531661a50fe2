// CGameRandom: PCG32 (XSH RR output, 64-bit state), the variant that is small, fast and
// passes the usual statistical batteries; a fixed stream, the seed choosing the start.
#include "app/game_random.h"

namespace {
const uint64_t multiplier = 6364136223846793005ULL;
}  // namespace

// A fixed, valid start, so draws before the first stage are still defined.
CGameRandom::CGameRandom() : state(0), increment(1)
{
  Seed(0);
}

// The generator's own seeding: the stream makes the (odd) increment; a step from zero,
// the seed added, a step more.
void CGameRandom::Seed(uint64_t seed, uint64_t stream)
{
  state = 0;
  increment = (stream << 1u) | 1u;
  Next();
  state += seed;
  Next();
}

// One step of the linear congruence; the output is the old state, shifted and rotated.
uint32_t CGameRandom::Next()
{
  const uint64_t old = state;
  state = old * multiplier + increment;
  const uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  const uint32_t rotation = static_cast<uint32_t>(old >> 59u);
  return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
}

// The remainder is enough: the counts the game asks for are tiny beside 2^32.
int CGameRandom::Below(int count)
{
  if (count <= 0) return 0;
  return static_cast<int>(Next() % static_cast<uint32_t>(count));
}

// Created on first use.
CGameRandom& GameRandom()
{
  static CGameRandom random;
  return random;
}
