// The thread that keeps every stream of a device fed, as DirectSound mixes on its
// own threads: every 20 ms it takes back the pieces OpenAL has played and queues
// new ones. Internal to platform/dsound.
#pragma once

#include <AL/alc.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace dsound_openal {

class CStream;

// The pump of one device. Streams are added and removed, and touched at all, only
// while holding Mutex().
class CStreamPump {
public:
  // Starts the thread, which makes `context` its own.
  explicit CStreamPump(ALCcontext* context);
  // Stops and joins the thread.
  ~CStreamPump();
  CStreamPump(const CStreamPump&) = delete;
  CStreamPump& operator=(const CStreamPump&) = delete;

  // Held by every call that touches a stream.
  std::mutex& Mutex() { return mutex; }
  // Starts feeding a stream; the caller holds Mutex().
  void Add(CStream* stream);
  // Stops feeding a stream; the caller holds Mutex().
  void Remove(CStream* stream);

private:
  // The thread: pumps every stream, then sleeps a period or until stopped.
  void Run(ALCcontext* context);

  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;
  std::vector<CStream*> streams;
  std::thread thread;
};

}  // namespace dsound_openal
