// IDirectSound3DBuffer: the 3D side of a secondary buffer made with DSBCAPS_CTRL3D.
// Every setting applies at once (DS3D_DEFERRED is treated as immediate); the
// buffer does the work.
#include "buffer_3d.h"

#include "secondary_buffer.h"

namespace dsound_openal {

namespace {

// The 3D interface of a secondary buffer; keeps the buffer alive while held.
class C3DBuffer final : public IDirectSound3DBuffer {
public:
  // Holds a reference on its buffer.
  explicit C3DBuffer(CSecondaryBuffer* owner) : buffer(owner) { buffer->AddRef(); }

  // Answers for itself and hands anything else to its buffer.
  HRESULT QueryInterface(REFIID riid, void** object) override
  {
    if (!object) return DSERR_INVALIDPARAM;
    if (riid == IID_IDirectSound3DBuffer) {
      AddRef();
      *object = this;
      return DS_OK;
    }
    return buffer->QueryInterface(riid, object);
  }

  // Position in DirectSound's space.
  HRESULT GetPosition(D3DVECTOR* position) override { return buffer->Get3DPosition(position); }
  // Places the sound; every setting applies at once.
  HRESULT SetPosition(float x, float y, float z, DWORD) override { return buffer->Set3DPosition(x, y, z); }
  // The 3D processing mode.
  HRESULT GetMode(DWORD* mode) override { return buffer->Get3DMode(mode); }
  // Sets the 3D processing mode at once.
  HRESULT SetMode(DWORD mode, DWORD) override { return buffer->Set3DMode(mode); }

private:
  // Lets go of the buffer.
  ~C3DBuffer() override { buffer->Release(); }

  CSecondaryBuffer* const buffer;
};

}  // namespace

// A new 3D interface of `buffer`, holding a reference on it.
IDirectSound3DBuffer* New3DBuffer(CSecondaryBuffer* buffer)
{
  return new C3DBuffer(buffer);
}

}  // namespace dsound_openal
