// Reads one pixel of the back buffer the last drawn frame went into, for tests that
// check what reached the screen.
#pragma once

#include "d3d9.h"
#include "engine/graphics.h"

// One back-buffer pixel as ARGB (0xDEADBEEF if it cannot be read), through a one-pixel lock.
inline D3DCOLOR BackBufferPixel(LONG x, LONG y)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const RECT one = {x, y, x + 1, y + 1};
  D3DLOCKED_RECT locked;
  if (FAILED(graphics->backBuffer->LockRect(&locked, &one, D3DLOCK_READONLY))) return 0xDEADBEEF;
  const D3DCOLOR pixel = *static_cast<const D3DCOLOR*>(locked.pBits);
  graphics->backBuffer->UnlockRect();
  return pixel;
}
