// D3DX effects and buffers, standing in for the effect part of <d3dx9.h>. Effects are
// our own text files (effect_file.h) compiled to one GL program per pass; parameters
// are addressed by name, keep their values across frames and techniques, and setting
// one that no pass uses is no error.
#pragma once

#include "d3d9.h"
#include "d3dx9math.h"
#include "windows.h"

typedef const char* D3DXHANDLE;

struct D3DXMACRO {
  LPCSTR Name;
  LPCSTR Definition;
};
class ID3DXInclude;
class ID3DXEffectPool;

// A block of bytes handed out by D3DX (error text, materials, adjacency).
class ID3DXBuffer : public IUnknown {
public:
  virtual LPVOID GetBufferPointer() = 0;
  virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

// Makes a zero-filled buffer of the given size.
HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer);

// Begin flag: leave the device states as the passes left them.
#define D3DXFX_DONOTSAVESTATE (1 << 0)

class ID3DXEffect : public IUnknown {
public:
  virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
  virtual D3DXHANDLE GetCurrentTechnique() = 0;
  // Readies every pass of the technique now (here: links its programs, which are
  // otherwise linked on first use); D3D_OK, or E_FAIL when a pass cannot be used.
  virtual HRESULT ValidateTechnique(D3DXHANDLE technique) = 0;
  virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
  virtual HRESULT BeginPass(UINT pass) = 0;
  virtual HRESULT CommitChanges() = 0;
  virtual HRESULT EndPass() = 0;
  virtual HRESULT End() = 0;

  virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
  virtual HRESULT SetFloat(D3DXHANDLE parameter, float value) = 0;
  virtual HRESULT SetInt(D3DXHANDLE parameter, int value) = 0;
  virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
  virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;
  virtual HRESULT SetValue(D3DXHANDLE parameter, const void* data, UINT bytes) = 0;
  virtual HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) = 0;

  virtual HRESULT GetValue(D3DXHANDLE parameter, void* data, UINT bytes) = 0;
  virtual HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) = 0;
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
};
typedef ID3DXEffect* LPD3DXEFFECT;

// Reads and compiles an effect file. On failure *errors (when given) holds the
// compiler's text, zero-terminated.
HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors);
