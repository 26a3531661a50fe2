// The event query on a GL fence: Issue places the fence, GetData asks whether the GPU
// has passed it, flushing the queued work first when told to.
#include "d3d9_internal.h"

namespace {

class D3D9EventQuery : public IDirect3DQuery9 {
public:
  // Holds the device, whose context the fence lives in.
  explicit D3D9EventQuery(D3D9Device* owner) : device(owner) { device->AddRef(); }

  // The fence goes with the query, while the context is still there.
  ~D3D9EventQuery() override
  {
    if (fence && device->HasContext()) glDeleteSync(fence);
    device->Release();
  }

  D3DQUERYTYPE GetType() override { return D3DQUERYTYPE_EVENT; }
  DWORD GetDataSize() override { return sizeof(BOOL); }

  // Only the end of an event can be issued; a later Issue moves the fence.
  HRESULT Issue(DWORD flags) override
  {
    if (flags != D3DISSUE_END) return D3DERR_INVALIDCALL;
    if (fence) glDeleteSync(fence);
    fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    return fence ? D3D_OK : D3DERR_INVALIDCALL;
  }

  // S_OK with TRUE once the GPU has passed the fence, S_FALSE while it has not; never
  // waits. A query never issued has nothing to answer.
  HRESULT GetData(void* data, DWORD size, DWORD flags) override
  {
    if (!fence) return D3DERR_INVALIDCALL;
    const GLbitfield wait = (flags & D3DGETDATA_FLUSH) ? GL_SYNC_FLUSH_COMMANDS_BIT : 0;
    const GLenum state = glClientWaitSync(fence, wait, 0);
    if (state == GL_WAIT_FAILED) return D3DERR_INVALIDCALL;
    if (state == GL_TIMEOUT_EXPIRED) return S_FALSE;
    if (data && size >= sizeof(BOOL)) *static_cast<BOOL*>(data) = TRUE;
    return D3D_OK;
  }

private:
  D3D9Device* device;
  GLsync fence = nullptr;
};

}  // namespace

// Only event queries; a null out pointer asks whether the type is supported.
HRESULT D3D9Device::CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query)
{
  if (type != D3DQUERYTYPE_EVENT) return D3DERR_NOTAVAILABLE;
  if (query) *query = new D3D9EventQuery(this);
  return D3D_OK;
}
