// The pump thread of a device's streams. It makes the device's context current
// for itself alone (ALC_EXT_thread_local_context), so the game's thread keeps its
// own; OpenAL Soft's calls are safe from several threads.
// Depends on: OpenAL Soft (AL/alc.h, AL/alext.h).
#include "stream_pump.h"

#include "stream.h"

#include <AL/alext.h>

#include <algorithm>
#include <chrono>

namespace dsound_openal {

namespace {

// Far shorter than the second each stream keeps queued.
const std::chrono::milliseconds kPeriod(20);

}  // namespace

// Starts the thread.
CStreamPump::CStreamPump(ALCcontext* context) : thread(&CStreamPump::Run, this, context)
{
}

// Stops and joins the thread.
CStreamPump::~CStreamPump()
{
  {
    std::lock_guard<std::mutex> hold(mutex);
    stopping = true;
  }
  wake.notify_all();
  thread.join();
}

// Starts feeding a stream.
void CStreamPump::Add(CStream* stream)
{
  streams.push_back(stream);
}

// Stops feeding a stream.
void CStreamPump::Remove(CStream* stream)
{
  streams.erase(std::remove(streams.begin(), streams.end(), stream), streams.end());
}

// Pumps every stream each period until stopped.
void CStreamPump::Run(ALCcontext* context)
{
  auto setThreadContext = (PFNALCSETTHREADCONTEXTPROC)alcGetProcAddress(nullptr, "alcSetThreadContext");
  if (setThreadContext) setThreadContext(context);
  std::unique_lock<std::mutex> hold(mutex);
  while (!stopping) {
    for (CStream* stream : streams) stream->Pump();
    wake.wait_for(hold, kPeriod);
  }
  if (setThreadContext) setThreadContext(nullptr);
}

}  // namespace dsound_openal
