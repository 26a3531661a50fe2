/* Counts the frames a program presents, for the window benchmark: preloaded into the
   game (LD_PRELOAD), it wraps SDL_GL_SwapWindow and adds one to a 64-bit counter in the
   file $SOLVERICA_FRAME_COUNTER after each swap; the benchmark reads the file while the
   game runs. Without the variable it only passes the call on.
   Depends on: the C library's dlsym and mmap; SDL2 is found at run time. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

typedef struct SDL_Window SDL_Window;
typedef void (*SwapFunction)(SDL_Window*);

static SwapFunction realSwap;
static uint64_t* counter;

/* Finds SDL's own function and maps the counter file, at the first swap. */
static void Prepare(void)
{
  realSwap = (SwapFunction)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
  const char* path = getenv("SOLVERICA_FRAME_COUNTER");
  if (!path) return;
  const int file = open(path, O_RDWR | O_CREAT, 0644);
  if (file < 0) return;
  if (ftruncate(file, sizeof(uint64_t)) == 0) {
    void* mapped = mmap(NULL, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (mapped != MAP_FAILED) counter = (uint64_t*)mapped;
  }
  close(file);
}

/* SDL's swap, then one more frame counted. */
void SDL_GL_SwapWindow(SDL_Window* window)
{
  if (!realSwap) Prepare();
  if (realSwap) realSwap(window);
  if (counter) __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
}
