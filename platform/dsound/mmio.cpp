// Multimedia file I/O on stdio: a read-only, optionally buffered file with RIFF
// chunk descent. Chunk sizes come from the file and are never trusted: a chunk
// must end inside its parent and inside the real file, or the descent fails.
// Files over 2 GiB are refused (offsets are LONG, as in the Windows interface).
#include "mmsystem.h"

#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

const GUID KSDATAFORMAT_SUBTYPE_PCM = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const GUID KSDATAFORMAT_SUBTYPE_IEEE_FLOAT = {
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// An open file. Buffered files read through `buffer`; bufOffset is the file offset
// of its first byte, `next` the read position inside it, `endRead` its valid bytes.
struct MMIOFile {
  FILE* file = nullptr;
  int64_t size = 0;
  DWORD openFlags = 0;
  std::vector<char> buffer;
  int64_t bufOffset = 0;
  size_t next = 0;
  size_t endRead = 0;
  int64_t position = 0;  // read position of an unbuffered file
};

// The logical read position.
static int64_t Position(const MMIOFile* f)
{
  return f->buffer.empty() ? f->position : f->bufOffset + (int64_t)f->next;
}

// Refills the buffer from file offset `at`; an offset at or past the end gives an empty buffer.
static bool Fill(MMIOFile* f, int64_t at)
{
  f->bufOffset = at;
  f->next = 0;
  f->endRead = 0;
  if (at >= f->size) return true;
  if (fseek(f->file, (long)at, SEEK_SET) != 0) return false;
  f->endRead = fread(f->buffer.data(), 1, f->buffer.size(), f->file);
  return !ferror(f->file);
}

// Opens a file for reading; MMIO_ALLOCBUF gives it an I/O buffer (of info->cchBuffer
// bytes when given, else the default). Writing is not supported.
HMMIO mmioOpenA(LPCSTR fileName, MMIOINFO* info, DWORD openFlags)
{
  UINT error = MMSYSERR_NOERROR;
  MMIOFile* f = nullptr;
  FILE* file = nullptr;
  struct stat status;
  if (!fileName || (openFlags & (MMIO_WRITE | MMIO_READWRITE))) {
    error = MMIOERR_CANNOTOPEN;
  } else if (!(file = fopen(fileName, "rb"))) {
    error = MMIOERR_FILENOTFOUND;
  } else if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > LONG_MAX) {
    error = MMIOERR_CANNOTOPEN;
  } else {
    f = new MMIOFile;
    f->file = file;
    f->size = status.st_size;
    f->openFlags = openFlags;
    if (openFlags & MMIO_ALLOCBUF) {
      const LONG wanted = (info && info->cchBuffer > 0) ? info->cchBuffer : MMIO_DEFAULTBUFFER;
      f->buffer.resize((size_t)wanted);
    }
  }
  if (error != MMSYSERR_NOERROR && file) fclose(file);
  if (info) {
    info->wErrorRet = error;
    info->hmmio = f;
  }
  return f;
}

// Closes the file and frees its buffer.
MMRESULT mmioClose(HMMIO f, UINT)
{
  if (!f) return MMIOERR_INVALIDFILE;
  const int closed = fclose(f->file);
  delete f;
  return closed == 0 ? MMSYSERR_NOERROR : (MMRESULT)MMIOERR_CANNOTCLOSE;
}

// Reads up to `count` bytes; returns the number read (0 at the end of the file) or -1.
LONG mmioRead(HMMIO f, HPSTR destination, LONG count)
{
  if (!f || count < 0 || (!destination && count > 0)) return -1;
  if (f->buffer.empty()) {
    if (f->position >= f->size) return 0;
    if (fseek(f->file, (long)f->position, SEEK_SET) != 0) return -1;
    const size_t got = fread(destination, 1, (size_t)count, f->file);
    if (ferror(f->file)) return -1;
    f->position += (int64_t)got;
    return (LONG)got;
  }
  LONG total = 0;
  while (total < count) {
    if (f->next == f->endRead) {
      if (!Fill(f, Position(f))) return -1;
      if (f->endRead == 0) break;
    }
    const size_t wanted = (size_t)(count - total);
    const size_t available = f->endRead - f->next;
    const size_t part = wanted < available ? wanted : available;
    memcpy(destination + total, f->buffer.data() + f->next, part);
    f->next += part;
    total += (LONG)part;
  }
  return total;
}

// Moves the read position; returns the new offset, or -1 for an offset before the
// start or beyond what a LONG holds. Seeking past the end is allowed; reads there give 0.
LONG mmioSeek(HMMIO f, LONG offset, int origin)
{
  if (!f) return -1;
  int64_t base = 0;
  if (origin == SEEK_CUR)
    base = Position(f);
  else if (origin == SEEK_END)
    base = f->size;
  else if (origin != SEEK_SET)
    return -1;
  const int64_t target = base + offset;
  if (target < 0 || target > LONG_MAX) return -1;
  if (f->buffer.empty()) {
    f->position = target;
  } else if (target >= f->bufOffset && target <= f->bufOffset + (int64_t)f->endRead) {
    f->next = (size_t)(target - f->bufOffset);
  } else {
    f->bufOffset = target;
    f->next = 0;
    f->endRead = 0;
  }
  return (LONG)target;
}

// Reads the four-byte code at the read position.
static bool ReadFourCC(HMMIO f, DWORD* value)
{
  BYTE bytes[4];
  if (mmioRead(f, (HPSTR)bytes, 4) != 4) return false;
  *value = (DWORD)bytes[0] | ((DWORD)bytes[1] << 8) | ((DWORD)bytes[2] << 16) | ((DWORD)bytes[3] << 24);
  return true;
}

// Descends into the chunk at the read position, or with MMIO_FINDCHUNK / FINDRIFF /
// FINDLIST into the first matching one from there, never past the parent's end.
// A chunk whose size runs past its parent or the file ends the search as not found.
MMRESULT mmioDescend(HMMIO f, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags)
{
  if (!f || !chunk) return MMIOERR_INVALIDFILE;
  int64_t limit = f->size;
  if (parent) {
    const int64_t parentEnd = (int64_t)parent->dwDataOffset + parent->cksize;
    if (parentEnd < limit) limit = parentEnd;
  }
  const FOURCC wantedId = chunk->ckid;
  const FOURCC wantedType = chunk->fccType;
  for (;;) {
    const int64_t start = Position(f);
    if (start + 8 > limit) return MMIOERR_CHUNKNOTFOUND;
    DWORD id = 0;
    DWORD size = 0;
    if (!ReadFourCC(f, &id) || !ReadFourCC(f, &size)) return MMIOERR_CHUNKNOTFOUND;
    const int64_t dataOffset = start + 8;
    const int64_t end = dataOffset + size;
    if (end > limit) return MMIOERR_CHUNKNOTFOUND;
    const bool hasType = id == FOURCC_RIFF || id == FOURCC_LIST;
    DWORD type = 0;
    if (hasType && (size < 4 || !ReadFourCC(f, &type))) return MMIOERR_CHUNKNOTFOUND;
    bool match = true;
    if (flags & MMIO_FINDCHUNK)
      match = id == wantedId;
    else if (flags & MMIO_FINDRIFF)
      match = id == FOURCC_RIFF && type == wantedType;
    else if (flags & MMIO_FINDLIST)
      match = id == FOURCC_LIST && type == wantedType;
    if (match) {
      chunk->ckid = id;
      chunk->cksize = size;
      chunk->fccType = type;
      chunk->dwDataOffset = (DWORD)dataOffset;
      chunk->dwFlags = 0;
      return MMSYSERR_NOERROR;
    }
    const int64_t following = end + (size & 1);
    if (following > LONG_MAX || mmioSeek(f, (LONG)following, SEEK_SET) < 0) return MMIOERR_CHUNKNOTFOUND;
  }
}

// Leaves a chunk: moves to the byte after its data and pad byte.
MMRESULT mmioAscend(HMMIO f, MMCKINFO* chunk, UINT)
{
  if (!f || !chunk) return MMIOERR_INVALIDFILE;
  const int64_t following = (int64_t)chunk->dwDataOffset + chunk->cksize + (chunk->cksize & 1);
  if (following > LONG_MAX || mmioSeek(f, (LONG)following, SEEK_SET) < 0) return MMIOERR_CANNOTSEEK;
  return MMSYSERR_NOERROR;
}

// Copies the buffered I/O state out, for direct reads from the buffer.
MMRESULT mmioGetInfo(HMMIO f, MMIOINFO* info, UINT)
{
  if (!f || !info) return MMIOERR_INVALIDFILE;
  memset(info, 0, sizeof(*info));
  info->dwFlags = f->openFlags;
  info->fccIOProc = FOURCC_DOS;
  info->hmmio = f;
  if (f->buffer.empty()) {
    info->lDiskOffset = (LONG)f->position;
    return MMSYSERR_NOERROR;
  }
  char* const base = f->buffer.data();
  info->cchBuffer = (LONG)f->buffer.size();
  info->pchBuffer = base;
  info->pchNext = base + f->next;
  info->pchEndRead = base + f->endRead;
  info->pchEndWrite = base + f->buffer.size();
  info->lBufOffset = (LONG)f->bufOffset;
  info->lDiskOffset = (LONG)(f->bufOffset + (int64_t)f->endRead);
  return MMSYSERR_NOERROR;
}

// Takes back the read position after direct reads; a pointer outside the valid
// part of this file's buffer is refused and the old position kept.
MMRESULT mmioSetInfo(HMMIO f, const MMIOINFO* info, UINT)
{
  if (!f || !info) return MMIOERR_INVALIDFILE;
  if (f->buffer.empty()) return MMSYSERR_NOERROR;
  const char* const base = f->buffer.data();
  if (info->pchBuffer != base || info->pchNext < base || info->pchNext > base + f->endRead) {
    return MMIOERR_INVALIDFILE;
  }
  f->next = (size_t)(info->pchNext - base);
  return MMSYSERR_NOERROR;
}

// Refills the buffer from the current read position (taking info's position first).
// At the end of the file it succeeds with pchNext == pchEndRead, as callers expect.
MMRESULT mmioAdvance(HMMIO f, MMIOINFO* info, UINT flags)
{
  if (!f) return MMIOERR_INVALIDFILE;
  if (f->buffer.empty()) return MMIOERR_UNBUFFERED;
  if (flags & (MMIO_WRITE | MMIO_READWRITE)) return MMIOERR_CANNOTWRITE;
  if (info) {
    const MMRESULT taken = mmioSetInfo(f, info, 0);
    if (taken != MMSYSERR_NOERROR) return taken;
  }
  if (!Fill(f, Position(f))) return MMIOERR_CANNOTREAD;
  if (info) mmioGetInfo(f, info, 0);
  return MMSYSERR_NOERROR;
}
