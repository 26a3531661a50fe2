// A 1280 x 720 window and an initialised CGraphics for rendering tests, plus helpers to
// read back pixels and to write small image files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics.h"

// Sets up the graphics singleton on a hidden window before each test, finalizes after.
class RenderTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Clears the back buffer (and depth/stencil) to a colour.
  void ClearBackBuffer(D3DCOLOR colour);
  // Reads a whole render-target surface as ARGB words, rows from the top.
  std::vector<D3DCOLOR> ReadSurface(IDirect3DSurface9* surface, UINT* width = nullptr, UINT* height = nullptr);
  // One back-buffer pixel as ARGB.
  D3DCOLOR BackBufferPixel(int x, int y);

  OstrelLibrary::CGraphics* graphics = nullptr;
  IDirect3DDevice9* device = nullptr;
};

// A scratch folder for files a test writes, removed with its contents at the end.
std::string TestScratchDir();

// Writes a 32-bit BGRA top-down image as an uncompressed TGA (with alpha).
bool WriteTga(const std::string& path, int width, int height, const std::vector<D3DCOLOR>& argb);

// Saves ARGB pixels as a PNG (for looking at a frame).
bool WritePng(const std::string& path, int width, int height, const std::vector<D3DCOLOR>& argb);

// Channel helpers for comparisons with a tolerance.
inline int ChannelA(D3DCOLOR c)
{
  return (int)(c >> 24) & 0xff;
}
inline int ChannelR(D3DCOLOR c)
{
  return (int)(c >> 16) & 0xff;
}
inline int ChannelG(D3DCOLOR c)
{
  return (int)(c >> 8) & 0xff;
}
inline int ChannelB(D3DCOLOR c)
{
  return (int)c & 0xff;
}

// True when each of R, G, B is within `tolerance` of the expected colour's.
::testing::AssertionResult RgbNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance);
