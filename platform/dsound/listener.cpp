// IDirectSound3DListener: OpenAL's listener with z negated (DirectSound's space is
// left-handed). Settings apply at once; the rolloff factor goes to every
// positioned source, since OpenAL keeps it per source.
#include "listener.h"

#include "primary_buffer.h"

namespace dsound_openal {

namespace {

// The listener of a primary buffer; OpenAL's listener with z negated.
class CListener final : public IDirectSound3DListener {
public:
  // Holds a reference on the primary buffer.
  explicit CListener(CPrimaryBuffer* owner) : primary(owner) { primary->AddRef(); }

  // Answers for itself and hands anything else to the primary buffer.
  HRESULT QueryInterface(REFIID riid, void** object) override
  {
    if (!object) return DSERR_INVALIDPARAM;
    if (riid == IID_IDirectSound3DListener) {
      AddRef();
      *object = this;
      return DS_OK;
    }
    return primary->QueryInterface(riid, object);
  }

  // Position in DirectSound's space.
  HRESULT GetPosition(D3DVECTOR* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = position;
    return DS_OK;
  }

  // Moves the listener; applies at once.
  HRESULT SetPosition(float x, float y, float z, DWORD) override
  {
    position = {x, y, z};
    primary->Device()->MakeCurrent();
    alListener3f(AL_POSITION, x, y, -z);
    return DS_OK;
  }

  // The rolloff factor of every positioned sound.
  HRESULT GetRolloffFactor(float* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = primary->Device()->rolloff;
    return DS_OK;
  }

  // Sets the rolloff factor, DS3D_MINROLLOFFFACTOR to DS3D_MAXROLLOFFFACTOR; applies at once.
  HRESULT SetRolloffFactor(float rolloff, DWORD) override
  {
    if (!(rolloff >= DS3D_MINROLLOFFFACTOR && rolloff <= DS3D_MAXROLLOFFFACTOR)) return DSERR_INVALIDPARAM;
    primary->Device()->SetRolloff(rolloff);
    return DS_OK;
  }

  // Every setting has already been applied.
  HRESULT CommitDeferredSettings() override { return DS_OK; }

private:
  // Lets go of the primary buffer.
  ~CListener() override { primary->Release(); }

  CPrimaryBuffer* const primary;
  D3DVECTOR position = {0.0f, 0.0f, 0.0f};
};

}  // namespace

// A new listener of `primary`, holding a reference on it.
IDirectSound3DListener* NewListener(CPrimaryBuffer* primary)
{
  return new CListener(primary);
}

}  // namespace dsound_openal
