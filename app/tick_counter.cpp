// CTickCounter: the update tick count in a shared mapping of a small file.
#include "app/tick_counter.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

CTickCounter::CTickCounter(const char* path)
{
  if (!path || !*path) return;
  const int file = open(path, O_RDWR | O_CREAT, 0644);
  if (file < 0) return;
  if (ftruncate(file, sizeof(uint64_t)) == 0) {
    void* const mapped = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (mapped != MAP_FAILED) count = static_cast<uint64_t*>(mapped);
  }
  close(file);
}

// The mapping goes; the file keeps the count.
CTickCounter::~CTickCounter()
{
  if (count) munmap(count, sizeof(uint64_t));
}

void CTickCounter::Count()
{
  if (count) __atomic_add_fetch(count, 1, __ATOMIC_RELAXED);
}

bool CTickCounter::IsCounting() const
{
  return count != nullptr;
}
