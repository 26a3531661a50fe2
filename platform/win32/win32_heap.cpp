// The process heap's settings: the low-fragmentation request on glibc's allocator.
#include <malloc.h>

#include "windows.h"

namespace {

// Blocks from this size up are mapped on their own.
constexpr int largeBlockBytes = 512 * 1024;

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
// the heap. Other requests are refused.
BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass, void* information, SIZE_T length)
{
  if (heap != GetProcessHeap() || informationClass != HeapCompatibilityInformation || !information ||
      length != sizeof(ULONG) || *static_cast<const ULONG*>(information) != HEAP_LOW_FRAGMENTATION)
    return FALSE;
  return mallopt(M_MMAP_THRESHOLD, largeBlockBytes) == 1 ? TRUE : FALSE;
}
