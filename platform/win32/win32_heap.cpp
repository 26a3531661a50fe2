// The process heap's settings: the low-fragmentation request on glibc's allocator.
#include <malloc.h>

#include "windows.h"

namespace {

// Blocks from this size up are mapped on their own.
constexpr int largeBlockBytes = 512 * 1024;
// Free space at the heap's top is given back only past this much.
constexpr int keptTopBytes = 8 * 1024 * 1024;

// The one process heap there is; its handle only needs to be recognisable.
int processHeap;

}  // namespace

// The handle of the process heap.
HANDLE GetProcessHeap()
{
  return &processHeap;
}

// glibc has no low-fragmentation mode. What fragments this game's heap are large
// blocks that come and go (pictures, vertex data, the renderer's per-frame buffers):
// when they are freed they leave holes that stay resident, and with its default,
// moving threshold glibc puts blocks of several megabytes in the heap. So the request
// fixes the threshold: every block from 512 KiB up gets its own mapping, given back
// whole when it is freed, while smaller ones, which come and go every frame, stay in
// the heap. Fixing it also fixes glibc's trim threshold at 128 KiB, and the software
// renderer's per-frame blocks (64 KiB each, a few megabytes a frame) then went back to
// the system and were faulted in again every frame, hundreds of brk calls a second,
// each a TLB flush on every core its threads run on. So the heap's top keeps up to
// 8 MiB free (those frames grow it by about 3 MiB, and grow it back at once when it
// is trimmed).
// Other requests are refused.
BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass, void* information, SIZE_T length)
{
  if (heap != GetProcessHeap() || informationClass != HeapCompatibilityInformation || !information ||
      length != sizeof(ULONG) || *static_cast<const ULONG*>(information) != HEAP_LOW_FRAGMENTATION)
    return FALSE;
  if (mallopt(M_MMAP_THRESHOLD, largeBlockBytes) != 1) return FALSE;
  return mallopt(M_TRIM_THRESHOLD, keptTopBytes) == 1 ? TRUE : FALSE;
}
