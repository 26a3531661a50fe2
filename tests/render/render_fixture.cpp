// The rendering tests' window, device set-up and pixel/file helpers.
#include "render_fixture.h"

#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "windows.h"

namespace {

LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProcA(window, message, wParam, lParam);
}

// One window per test process: its GL context outlives Finalize, as in the game.
HWND TestWindow()
{
  static HWND window = nullptr;
  if (window) return window;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = TestWindowProc;
  windowClass.lpszClassName = "RenderTest";
  RegisterClassExA(&windowClass);
  window = CreateWindowExA(0, "RenderTest", "render test", WS_OVERLAPPED, 0, 0, 1280, 720, nullptr, nullptr, nullptr,
                           nullptr);
  return window;
}

}  // namespace

void RenderTest::SetUp()
{
  const HWND window = TestWindow();
  ASSERT_NE(window, nullptr);
  graphics = OstrelLibrary::CGraphics::GetInstance();
  ASSERT_TRUE(graphics->Init(window, 1280, 720, false));
  graphics->SetDefaultStates();
  device = graphics->device;
  ClearBackBuffer(0xFF000000);
}

void RenderTest::TearDown()
{
  if (graphics) graphics->Finalize();
}

void RenderTest::ClearBackBuffer(D3DCOLOR colour)
{
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, colour, 1.0f, 0), D3D_OK);
}

std::vector<D3DCOLOR> RenderTest::ReadSurface(IDirect3DSurface9* surface, UINT* width, UINT* height)
{
  std::vector<D3DCOLOR> pixels;
  D3DSURFACE_DESC desc;
  if (!surface || FAILED(surface->GetDesc(&desc))) return pixels;
  D3DLOCKED_RECT locked;
  if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return pixels;
  pixels.resize((size_t)desc.Width * desc.Height);
  for (UINT y = 0; y < desc.Height; ++y) {
    const D3DCOLOR* row =
        reinterpret_cast<const D3DCOLOR*>(static_cast<const uint8_t*>(locked.pBits) + (size_t)y * locked.Pitch);
    for (UINT x = 0; x < desc.Width; ++x) pixels[(size_t)y * desc.Width + x] = row[x];
  }
  surface->UnlockRect();
  if (width) *width = desc.Width;
  if (height) *height = desc.Height;
  return pixels;
}

D3DCOLOR RenderTest::BackBufferPixel(int x, int y)
{
  D3DLOCKED_RECT locked;
  const RECT one = {x, y, x + 1, y + 1};
  if (FAILED(graphics->backBuffer->LockRect(&locked, &one, D3DLOCK_READONLY))) return 0xDEADBEEF;
  const D3DCOLOR pixel = *static_cast<const D3DCOLOR*>(locked.pBits);
  graphics->backBuffer->UnlockRect();
  return pixel;
}

std::string TestScratchDir()
{
  static std::string dir;
  if (dir.empty()) {
    char pattern[] = "/tmp/render_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    dir = made ? made : "/tmp";
    std::atexit([] { std::filesystem::remove_all(dir); });
  }
  return dir;
}

bool WriteTga(const std::string& path, int width, int height, const std::vector<D3DCOLOR>& argb)
{
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  // Uncompressed true-colour, 32 bits, 8 alpha bits, origin at the top left.
  const uint8_t header[18] = {0,
                              0,
                              2,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              (uint8_t)(width & 0xff),
                              (uint8_t)(width >> 8),
                              (uint8_t)(height & 0xff),
                              (uint8_t)(height >> 8),
                              32,
                              0x28};
  std::fwrite(header, 1, sizeof(header), file);
  std::fwrite(argb.data(), 4, argb.size(), file);  // little-endian ARGB is B, G, R, A
  return std::fclose(file) == 0;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<D3DCOLOR>& argb)
{
  std::vector<uint8_t> rgba(argb.size() * 4);
  for (size_t i = 0; i < argb.size(); ++i) {
    rgba[i * 4 + 0] = (uint8_t)ChannelR(argb[i]);
    rgba[i * 4 + 1] = (uint8_t)ChannelG(argb[i]);
    rgba[i * 4 + 2] = (uint8_t)ChannelB(argb[i]);
    rgba[i * 4 + 3] = 255;
  }
  return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

::testing::AssertionResult RgbNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance)
{
  if (std::abs(ChannelR(actual) - ChannelR(expected)) <= tolerance &&
      std::abs(ChannelG(actual) - ChannelG(expected)) <= tolerance &&
      std::abs(ChannelB(actual) - ChannelB(expected)) <= tolerance)
    return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof(text), "got 0x%08X, expected 0x%08X (+-%d)", actual, expected, tolerance);
  return ::testing::AssertionFailure() << text;
}
