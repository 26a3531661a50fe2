// The Win32 subset the game is written against, standing in for <windows.h> on Linux.
// Types, constants and the COM base live here; the functions are built on SDL2
// in win32_sdl.cpp. Only what the game calls is declared.
#pragma once

#include <cstdint>
#include <cstddef>

// ---- basic types ------------------------------------------------------------
typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef float FLOAT;
typedef int32_t HRESULT;
typedef intptr_t LRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef uint32_t COLORREF;
typedef void* LPVOID;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef uint64_t UINT64;
typedef int64_t LONGLONG;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
struct HMENU__;
typedef HMENU__* HMENU;
typedef void* HGDIOBJ;

struct POINT { LONG x; LONG y; };
struct RECT { LONG left; LONG top; LONG right; LONG bottom; };
struct MSG { HWND hwnd; UINT message; WPARAM wParam; LPARAM lParam; DWORD time; POINT pt; };

// ---- HRESULT ----------------------------------------------------------------
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_FAIL ((HRESULT)0x80004005)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_POINTER ((HRESULT)0x80004003)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// ---- COM ----------------------------------------------------------------------
struct GUID { uint32_t data1; uint16_t data2; uint16_t data3; uint8_t data4[8]; };
typedef GUID IID;
typedef const IID& REFIID;
inline bool operator==(const GUID& a, const GUID& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) if (a.data4[i] != b.data4[i]) return false;
  return true;
}

// Base of every interface object: reference counted, deleted by its last Release.
class IUnknown {
public:
  virtual HRESULT QueryInterface(REFIID riid, void** object);
  virtual ULONG AddRef();
  virtual ULONG Release();
protected:
  IUnknown() = default;
  virtual ~IUnknown() = default;
  IUnknown(const IUnknown&) = delete;
  IUnknown& operator=(const IUnknown&) = delete;
private:
  ULONG refCount = 1;
};

#define COINIT_MULTITHREADED 0x0
HRESULT CoInitializeEx(void* reserved, DWORD coInit);
void CoUninitialize();
