// Long sounds played from their file: a queue of a few OpenAL buffers on one
// source, each refilled from the file once played, so the sound is never held
// whole. A looping stream reads on from the start of the data into the same piece,
// so the loop's joint is as seamless as the data itself. Also the plain reading of
// a byte range of a file. Internal to platform/dsound.
#pragma once

#include "dsound.h"

#include <AL/al.h>

#include <deque>
#include <string>
#include <vector>

namespace dsound_openal {

// Where a buffer's bytes lie: `bytes` bytes from `offset` of the file at `path`.
struct FileBytes {
  std::string path;
  DWORD offset = 0;
  DWORD bytes = 0;
};

// True when the file holds the whole range.
bool FileHolds(const FileBytes& range);

// Reads the range into `out`; whatever the file no longer holds reads as `silence`.
void ReadFileBytes(const FileBytes& range, BYTE silence, std::vector<BYTE>& out);

// How many bytes of a format one queued piece holds (a quarter of a second).
DWORD StreamPieceBytes(const WAVEFORMATEX& format);

// Sounds longer than the queue are streamed; shorter ones are uploaded whole.
bool ShouldStream(const WAVEFORMATEX& format, DWORD bytes);

// One streamed sound on one source. Every call must hold the stream lock of the
// device (SoundDevice::StreamLock), since the pump thread refills it too.
class CStream {
public:
  // Opens the file and makes the queue's OpenAL buffers; `bytes` is in whole frames.
  CStream(const FileBytes& range, const WAVEFORMATEX& format, ALenum alFormat, ALuint playingSource);
  // Detaches the queue from the source and gives its buffers back.
  ~CStream();
  CStream(const CStream&) = delete;
  CStream& operator=(const CStream&) = delete;

  // False when the file could not be opened or OpenAL gave no buffers.
  bool Opened() const { return opened; }
  // Plays from the current position, or resumes after Stop; takes the looping flag.
  void Play(bool loop);
  // Pauses, keeping the position.
  void Stop();
  // Moves the play position (a whole frame inside the data), keeping play on or off.
  void SetPosition(DWORD position);
  // The byte position inside the data; 0 once a one-shot has finished.
  DWORD Position() const;
  // Playing (not stopped, not finished).
  bool Playing() const { return playing; }
  bool Looping() const { return looping; }
  // Takes back played pieces, refills and queues them, and restarts a source that
  // ran dry; a one-shot that has played its last piece ends here.
  void Pump();

private:
  // A queued piece: where it starts in the data and how many bytes it holds.
  struct Piece {
    ALuint buffer;
    DWORD start;
    DWORD bytes;
  };

  // Reads the next piece from `readPosition` into `buffer` and queues it; false at the end of a one-shot.
  bool QueueNext(ALuint buffer);
  // Queues every free buffer that there is data for.
  void FillQueue();
  // Stops the source and takes every piece back.
  void Flush();
  // AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
  ALint SourceState() const;

  const ALuint source;
  const ALenum alFormat;
  const ALsizei rate;
  const DWORD size;        // bytes of data, whole frames
  const DWORD pieceBytes;  // bytes of a full piece, whole frames
  const BYTE silence;
  HMMIO file = nullptr;
  DWORD fileOffset = 0;
  bool opened = false;
  std::vector<ALuint> freeBuffers;
  std::deque<Piece> queued;
  std::vector<BYTE> scratch;  // one piece on its way to OpenAL
  DWORD readPosition = 0;     // next byte of data to queue
  bool playing = false;
  bool looping = false;
};

}  // namespace dsound_openal
