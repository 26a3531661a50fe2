// The Windows multimedia subset for sound files: the wave format record and the
// buffered RIFF file reader (mmio), standing in for <mmsystem.h> on Linux.
// Reading only. Every chunk a descent finds is checked against its parent and the
// real file size, so a truncated or lying file fails instead of being trusted.
#pragma once

#include "windows.h"

#include <cstdio>  // SEEK_SET, SEEK_CUR, SEEK_END for mmioSeek

// ---- wave format --------------------------------------------------------------
#define WAVE_FORMAT_PCM 1
#define WAVE_FORMAT_IEEE_FLOAT 3
#define WAVE_FORMAT_EXTENSIBLE 0xFFFE

// Packed as on Windows: 18 bytes, extra format bytes (cbSize of them) follow in memory.
#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};

// The first 16 bytes of every "fmt " chunk.
struct PCMWAVEFORMAT {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
};

// WAVE_FORMAT_EXTENSIBLE: the 22 extra bytes after WAVEFORMATEX.
struct WAVEFORMATEXTENSIBLE {
  WAVEFORMATEX Format;
  WORD wValidBitsPerSample;
  DWORD dwChannelMask;
  GUID SubFormat;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes on disk and in memory");
static_assert(sizeof(PCMWAVEFORMAT) == 16, "PCMWAVEFORMAT is 16 bytes");
static_assert(sizeof(WAVEFORMATEXTENSIBLE) == 40, "WAVEFORMATEXTENSIBLE is 40 bytes");
typedef WAVEFORMATEX* LPWAVEFORMATEX;

// Sub-formats of WAVE_FORMAT_EXTENSIBLE: the plain tag in the first field.
extern const GUID KSDATAFORMAT_SUBTYPE_PCM;
extern const GUID KSDATAFORMAT_SUBTYPE_IEEE_FLOAT;

// ---- multimedia file I/O ----------------------------------------------------------
typedef UINT MMRESULT;
typedef DWORD FOURCC;
typedef char* HPSTR;
struct MMIOFile;
typedef MMIOFile* HMMIO;

// Builds a four-character code, first character in the lowest byte.
constexpr FOURCC mmioFOURCC(char c0, char c1, char c2, char c3)
{
  return (DWORD)(BYTE)c0 | ((DWORD)(BYTE)c1 << 8) | ((DWORD)(BYTE)c2 << 16) | ((DWORD)(BYTE)c3 << 24);
}

#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_DOS mmioFOURCC('D', 'O', 'S', ' ')

#define MMSYSERR_NOERROR 0
#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTCLOSE (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTWRITE (MMIOERR_BASE + 6)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CANNOTEXPAND (MMIOERR_BASE + 8)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_UNBUFFERED (MMIOERR_BASE + 10)
#define MMIOERR_INVALIDFILE (MMIOERR_BASE + 16)

#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040
#define MMIO_DEFAULTBUFFER 8192

// Buffered I/O state, copied out by mmioGetInfo and back by mmioSetInfo.
struct MMIOINFO {
  DWORD dwFlags;
  FOURCC fccIOProc;
  void* pIOProc;
  UINT wErrorRet;
  void* htask;
  LONG cchBuffer;
  HPSTR pchBuffer;
  HPSTR pchNext;
  HPSTR pchEndRead;
  HPSTR pchEndWrite;
  LONG lBufOffset;
  LONG lDiskOffset;
  DWORD adwInfo[3];
  DWORD dwReserved1;
  DWORD dwReserved2;
  HMMIO hmmio;
};
typedef MMIOINFO* LPMMIOINFO;

// One RIFF chunk: its id, data size, form or list type, and where its data starts.
struct MMCKINFO {
  FOURCC ckid;
  DWORD cksize;
  FOURCC fccType;
  DWORD dwDataOffset;
  DWORD dwFlags;
};
typedef MMCKINFO* LPMMCKINFO;

HMMIO mmioOpenA(LPCSTR fileName, MMIOINFO* info, DWORD openFlags);
MMRESULT mmioClose(HMMIO file, UINT flags);
LONG mmioRead(HMMIO file, HPSTR destination, LONG count);
LONG mmioSeek(HMMIO file, LONG offset, int origin);
MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);
MMRESULT mmioGetInfo(HMMIO file, MMIOINFO* info, UINT flags);
MMRESULT mmioSetInfo(HMMIO file, const MMIOINFO* info, UINT flags);
MMRESULT mmioAdvance(HMMIO file, MMIOINFO* info, UINT flags);
