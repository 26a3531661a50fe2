// The update ticks the loop has run, published for the window benchmark: with a file
// named, each tick adds one to a 64-bit count mapped from it, which the benchmark reads
// while the game runs to set game time (ticks of 16 ms) against the wall clock.
#pragma once

#include <cstdint>

class CTickCounter {
public:
  // Maps the count from the file at path (made when missing); counts nothing when path
  // is null or the file cannot be mapped.
  explicit CTickCounter(const char* path);
  ~CTickCounter();
  CTickCounter(const CTickCounter&) = delete;
  CTickCounter& operator=(const CTickCounter&) = delete;

  // One more update tick.
  void Count();
  // Whether ticks reach a file.
  bool IsCounting() const;

private:
  uint64_t* count = nullptr;
};
