// Streaming a sound from its file through a queue of OpenAL buffers, and reading
// byte ranges of a file with the multimedia file functions. The file stays open
// while the stream lives; a file that shrinks meanwhile plays silence where its
// bytes are gone.
// Depends on: OpenAL Soft (AL/al.h).
#include "stream.h"

#include <algorithm>
#include <cstring>

namespace dsound_openal {

namespace {

// Four quarter-second pieces: a second of sound queued ahead, far more than the
// pump's period, so a busy machine does not starve the source.
const int kQueuePieces = 4;

// Reads `count` bytes at `at` of an open file into `out`, silence past its end.
void ReadAt(HMMIO file, DWORD at, BYTE* out, DWORD count, BYTE silence)
{
  LONG got = 0;
  if (file && mmioSeek(file, (LONG)at, SEEK_SET) == (LONG)at) got = mmioRead(file, (HPSTR)out, (LONG)count);
  if (got < 0) got = 0;
  if ((DWORD)got < count) memset(out + got, silence, count - (DWORD)got);
}

}  // namespace

// True when the file holds the whole range.
bool FileHolds(const FileBytes& range)
{
  HMMIO file = mmioOpenA(range.path.c_str(), nullptr, MMIO_READ);
  if (!file) return false;
  const LONG size = mmioSeek(file, 0, SEEK_END);
  mmioClose(file, 0);
  return size >= 0 && (unsigned long long)range.offset + range.bytes <= (unsigned long long)size;
}

// Reads the range into `out`; whatever the file no longer holds reads as `silence`.
void ReadFileBytes(const FileBytes& range, BYTE silence, std::vector<BYTE>& out)
{
  out.resize(range.bytes);
  HMMIO file = mmioOpenA(range.path.c_str(), nullptr, MMIO_READ);
  ReadAt(file, range.offset, out.data(), range.bytes, silence);
  if (file) mmioClose(file, 0);
}

// A quarter of a second, in whole frames.
DWORD StreamPieceBytes(const WAVEFORMATEX& format)
{
  const DWORD frames = std::max<DWORD>(format.nSamplesPerSec / 4, 1);
  return frames * format.nBlockAlign;
}

// Longer than the whole queue.
bool ShouldStream(const WAVEFORMATEX& format, DWORD bytes)
{
  return bytes > StreamPieceBytes(format) * kQueuePieces;
}

// Opens the file and makes the queue's OpenAL buffers.
CStream::CStream(const FileBytes& range, const WAVEFORMATEX& format, ALenum openALFormat, ALuint playingSource)
    : source(playingSource),
      alFormat(openALFormat),
      rate((ALsizei)format.nSamplesPerSec),
      size(range.bytes),
      pieceBytes(StreamPieceBytes(format)),
      silence(format.wBitsPerSample == 8 ? 0x80 : 0),
      fileOffset(range.offset)
{
  file = mmioOpenA(range.path.c_str(), nullptr, MMIO_READ);
  if (!file || size == 0) return;
  freeBuffers.assign(kQueuePieces, 0);
  alGetError();
  alGenBuffers(kQueuePieces, freeBuffers.data());
  if (alGetError() != AL_NO_ERROR) {
    freeBuffers.clear();
    return;
  }
  scratch.resize(pieceBytes);
  alSourcei(source, AL_LOOPING, AL_FALSE);
  opened = true;
}

// Detaches the queue from the source and gives its buffers back.
CStream::~CStream()
{
  Flush();
  if (!freeBuffers.empty()) alDeleteBuffers((ALsizei)freeBuffers.size(), freeBuffers.data());
  if (file) mmioClose(file, 0);
}

// Plays from the current position, or resumes after Stop.
void CStream::Play(bool loop)
{
  looping = loop;
  if (playing) return;
  playing = true;
  if (queued.empty()) FillQueue();
  if (queued.empty()) {
    playing = false;
    return;
  }
  alSourcePlay(source);
}

// Pauses, keeping the position.
void CStream::Stop()
{
  if (!playing) return;
  playing = false;
  alSourcePause(source);
}

// Takes the queue back and starts again from `position`.
void CStream::SetPosition(DWORD position)
{
  Flush();
  readPosition = position < size ? position : 0;
  if (!playing) return;
  FillQueue();
  alSourcePlay(source);
}

// Inside the data, following the pieces across the loop's joint.
DWORD CStream::Position() const
{
  if (queued.empty()) return readPosition;
  ALint offset = 0;
  alGetSourcei(source, AL_BYTE_OFFSET, &offset);
  const unsigned long long at = (unsigned long long)queued.front().start + (DWORD)std::max(offset, 0);
  return (DWORD)(at % size);
}

// Takes back played pieces, refills and queues them, restarts a starved source.
void CStream::Pump()
{
  // The state is read first: a source seen stopped has played every piece counted
  // below, so starting it again never replays one.
  const ALint state = SourceState();
  ALint processed = 0;
  alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
  for (ALint i = 0; i < processed && !queued.empty(); ++i) {
    ALuint buffer = queued.front().buffer;
    alSourceUnqueueBuffers(source, 1, &buffer);
    queued.pop_front();
    freeBuffers.push_back(buffer);
  }
  if (!playing) return;
  FillQueue();
  if (state == AL_PLAYING) return;
  if (!queued.empty()) {
    alSourcePlay(source);
    return;
  }
  // A one-shot that has played to its end: as a static buffer, it stops at 0.
  playing = false;
  readPosition = 0;
}

// Reads the next piece into `buffer` and queues it; a looping stream reads on
// from the start of the data, so the joint falls inside the piece.
bool CStream::QueueNext(ALuint buffer)
{
  if (readPosition >= size) {
    if (!looping) return false;
    readPosition = 0;
  }
  const DWORD start = readPosition;
  DWORD filled = 0;
  while (filled < pieceBytes) {
    const DWORD part = std::min(pieceBytes - filled, size - readPosition);
    ReadAt(file, fileOffset + readPosition, scratch.data() + filled, part, silence);
    filled += part;
    readPosition += part;
    if (readPosition < size) continue;
    if (!looping) break;
    readPosition = 0;
  }
  alBufferData(buffer, alFormat, scratch.data(), (ALsizei)filled, rate);
  alSourceQueueBuffers(source, 1, &buffer);
  queued.push_back({buffer, start, filled});
  return true;
}

// Queues every free buffer that there is data for.
void CStream::FillQueue()
{
  while (!freeBuffers.empty()) {
    if (!QueueNext(freeBuffers.back())) return;
    freeBuffers.pop_back();
  }
}

// Stops the source and takes every piece back.
void CStream::Flush()
{
  // A stopped source lets go of its whole queue at once, played or not.
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  for (const Piece& piece : queued) freeBuffers.push_back(piece.buffer);
  queued.clear();
}

// AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
ALint CStream::SourceState() const
{
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

}  // namespace dsound_openal
