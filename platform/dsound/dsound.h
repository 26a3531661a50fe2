// The DirectSound 8 subset the game is written against, standing in for <dsound.h>.
// Built on OpenAL Soft in this folder, a file per interface: one OpenAL device and context per
// DirectSound object, one OpenAL source per secondary buffer.
// Limits: a buffer filled through Lock keeps its bytes here (and in OpenAL); PCM 8/16-bit
// and 32-bit float, mono or stereo; 3D settings always apply at once (DS3D_DEFERRED
// is accepted and treated as immediate); pan is approximate and mono-only.
#pragma once

#include "windows.h"
#include "mmsystem.h"
#include "d3dx9math.h"

// ---- results --------------------------------------------------------------------
#define DS_OK S_OK
#define DSERR_ALLOCATED ((HRESULT)0x8878000A)
#define DSERR_CONTROLUNAVAIL ((HRESULT)0x8878001E)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL ((HRESULT)0x88780032)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED ((HRESULT)0x88780046)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT ((HRESULT)0x88780064)
#define DSERR_NODRIVER ((HRESULT)0x88780078)
#define DSERR_BUFFERLOST ((HRESULT)0x88780096)
#define DSERR_NOINTERFACE E_NOINTERFACE

// ---- constants ------------------------------------------------------------------
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000

#define DSBPLAY_LOOPING 0x00000001
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBVOLUME_MIN -10000
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT -10000
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000

#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001
#define DS3DMODE_NORMAL 0x00000000
#define DS3DMODE_HEADRELATIVE 0x00000001
#define DS3DMODE_DISABLE 0x00000002
#define DS3D_DEFAULTMINDISTANCE 1.0f
#define DS3D_DEFAULTMAXDISTANCE 1000000000.0f
#define DS3D_DEFAULTROLLOFFFACTOR 1.0f
#define DS3D_MINROLLOFFFACTOR 0.0f
#define DS3D_MAXROLLOFFFACTOR 10.0f

// Interface identifiers and 3D algorithms.
extern const GUID IID_IDirectSoundBuffer;
extern const GUID IID_IDirectSoundBuffer8;
extern const GUID IID_IDirectSound3DBuffer;
extern const GUID IID_IDirectSound3DListener;
extern const GUID GUID_NULL;
extern const GUID DS3DALG_DEFAULT;
extern const GUID DS3DALG_NO_VIRTUALIZATION;

// Description of a buffer to create.
struct DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
  GUID guid3DAlgorithm;
};
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

// ---- interfaces -----------------------------------------------------------------

// A sound buffer: the primary buffer (the mix) or a secondary buffer (one sound).
class IDirectSoundBuffer : public IUnknown {
public:
  virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
  virtual HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten) = 0;
  virtual HRESULT GetVolume(LONG* volume) = 0;
  virtual HRESULT GetPan(LONG* pan) = 0;
  virtual HRESULT GetFrequency(DWORD* frequency) = 0;
  virtual HRESULT GetStatus(DWORD* status) = 0;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                       DWORD flags) = 0;
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  virtual HRESULT SetCurrentPosition(DWORD position) = 0;
  virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  virtual HRESULT SetPan(LONG pan) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) = 0;
  virtual HRESULT Restore() = 0;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// The DirectSound 8 buffer interface: nothing the game needs beyond the base.
class IDirectSoundBuffer8 : public IDirectSoundBuffer {};
typedef IDirectSoundBuffer8* LPDIRECTSOUNDBUFFER8;

// The listener: where the sounds are heard from, in DirectSound's left-handed space.
class IDirectSound3DListener : public IUnknown {
public:
  virtual HRESULT GetPosition(D3DVECTOR* position) = 0;
  virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;
  virtual HRESULT GetRolloffFactor(float* rolloff) = 0;
  virtual HRESULT SetRolloffFactor(float rolloff, DWORD apply) = 0;
  virtual HRESULT CommitDeferredSettings() = 0;
};
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;

// The 3D side of a secondary buffer created with DSBCAPS_CTRL3D.
class IDirectSound3DBuffer : public IUnknown {
public:
  virtual HRESULT GetPosition(D3DVECTOR* position) = 0;
  virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;
  virtual HRESULT GetMode(DWORD* mode) = 0;
  virtual HRESULT SetMode(DWORD mode, DWORD apply) = 0;
};
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;

// The device.
class IDirectSound8 : public IUnknown {
public:
  virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, IDirectSoundBuffer** buffer, IUnknown* outer) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
};
typedef IDirectSound8* LPDIRECTSOUND8;

// Opens the default output device (`device` null); fails with DSERR_NODRIVER and a
// null object when there is none.
HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** directSound, IUnknown* outer);

// ---- volume groups (no DirectSound call: the player's volume settings) ------------
// Music and effects are scaled apart; every buffer starts among the effects.
#define DSOUND_GROUP_EFFECTS 0
#define DSOUND_GROUP_MUSIC 1
// Gain factor of a group (0 silent, 1 as mixed), for every buffer of the group at once,
// those playing included.
void DirectSoundSetGroupGain(int group, float gain);
// Puts a secondary buffer into a group.
void DirectSoundSetBufferGroup(IDirectSoundBuffer8* buffer, int group);
// The gain OpenAL plays a secondary buffer at (its volume times its group's); -1 for
// anything else.
float DirectSoundBufferGain(IDirectSoundBuffer8* buffer);

// ---- closing (no DirectSound call: Windows closes a process's devices itself) -------
// Every device still open is closed when the process exits, by a return from main or
// by exit(), before OpenAL shuts down; buffers still held then are lost (Play and Lock
// answer DSERR_BUFFERLOST, Release frees them). DirectSoundCloseAll does the same at
// once; DirectSoundOpenDevices counts the devices open.
void DirectSoundCloseAll();
int DirectSoundOpenDevices();

// ---- bytes left in their file (no DirectSound call: DirectSound takes bytes only through Lock)
// Creates a secondary buffer as CreateSoundBuffer does, whose dwBufferBytes bytes are
// those at `offset` of the file at `path`, without anyone holding them whole: a
// short sound is read once into its OpenAL buffer, a long one (music) is read in
// pieces while it plays, through a queue of OpenAL buffers fed by a thread of its
// own, looping without a seam. A Lock reads the bytes back from the file (a
// streamed buffer then becomes an ordinary one). DSERR_INVALIDPARAM when the file
// does not hold the bytes.
HRESULT DirectSoundCreateBufferFromFile(IDirectSound8* directSound, const DSBUFFERDESC* description, const char* path,
                                        DWORD offset, IDirectSoundBuffer** buffer);
