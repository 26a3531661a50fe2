// Sound effects and music: the process-wide DirectSound device, primary buffer and
// 3D listener, and CSound, one WAV file in one secondary buffer (music streamed from the file).
// A missing or unreadable file, or no sound device, leaves a CSound empty: every
// operation on it then does nothing.
#pragma once

#include "windows.h"
#include "mmsystem.h"
#include "dsound.h"
#include "d3dx9math.h"

namespace OstrelLibrary {

// Created by InitSound; null while there is no sound device.
extern IDirectSound8* directSound;
extern IDirectSoundBuffer* primaryBuffer;
extern IDirectSound3DListener* listener;

// Creates the device, the 16-bit stereo 44100 Hz primary buffer and its listener.
void InitSound(HWND window);

// Releases what InitSound created; called at exit once the scenes are gone. Buffers
// still held elsewhere keep the device open until they are released.
void UninitSound();

// One sound: a WAV file in one secondary buffer, owned by exactly one holder.
// `playing` is set by the play operations and cleared by Stop and Restart only; it
// does not follow the buffer, so a finished one-shot still counts as playing.
class CSound {
public:
  CSound() = default;
  ~CSound();
  CSound(const CSound&) = delete;
  CSound& operator=(const CSound&) = delete;

  // Loads a WAV file into a new 2D buffer with volume and pan control.
  void Load(const char* path);
  // Loads a WAV file into a new positional buffer.
  void Load3D(const char* path);
  // Plays from the current position unless already marked as playing.
  void Play(int loop);
  // Plays once from the start, stopping first if marked as playing.
  void Restart();
  // Places the listener and the sound, then plays unless already marked as playing.
  void Play3D(const D3DXMATRIX& listenerMatrix, const D3DXVECTOR3& position, DWORD flags);
  // Stops and rewinds if marked as playing.
  void Stop();
  // Moves the volume by delta hundredths of a decibel, kept within -10000 to 0.
  void ChangeVolume(LONG delta);

  IDirectSoundBuffer8* buffer = nullptr;
  IDirectSound3DBuffer* buffer3D = nullptr;
  int is3D = 0;
  int playing = 0;
  DWORD frequency = 0;
  LONG volume = 0;
  LONG pan = 0;

private:
  // The load shared by Load and Load3D.
  void LoadFile(const char* path, int positional);
};

}  // namespace OstrelLibrary
