// The COM base: reference counting shared by every interface object of the platform layer.
#include "windows.h"

// Answers only for the object's own identity; interfaces that offer more override it.
HRESULT IUnknown::QueryInterface(REFIID, void** object)
{
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

// Adds one owner.
ULONG IUnknown::AddRef()
{
  return ++refCount;
}

// Drops one owner; the last one deletes the object.
ULONG IUnknown::Release()
{
  const ULONG left = --refCount;
  if (left == 0) delete this;
  return left;
}

// COM needs no set-up here: there are no apartments to join.
HRESULT CoInitializeEx(void*, DWORD)
{
  return S_OK;
}

// Counterpart of CoInitializeEx; nothing to undo.
void CoUninitialize()
{
}
