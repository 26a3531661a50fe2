// Screenshots: copy on the loop's thread (a read-back of one 1280 x 720 texture), PNG
// encoding and writing on another.
#include "app/screenshot.h"

#include "app/user_paths.h"
#include "engine/graphics.h"
#include "platform_file.h"

#include <sys/stat.h>

#include <algorithm>

// The back buffer is X8R8G8B8: blue in the low byte, alpha made opaque.
bool CopyBackBuffer(std::vector<uint8_t>* rgba, int* width, int* height)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  if (!graphics->backBuffer) return false;
  *width = static_cast<int>(graphics->presentParameters.BackBufferWidth);
  *height = static_cast<int>(graphics->presentParameters.BackBufferHeight);
  D3DLOCKED_RECT locked;
  if (FAILED(graphics->backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return false;
  rgba->resize(static_cast<size_t>(*width) * *height * 4);
  for (int y = 0; y < *height; ++y) {
    const D3DCOLOR* row = reinterpret_cast<const D3DCOLOR*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
    uint8_t* out = rgba->data() + static_cast<size_t>(y) * *width * 4;
    for (int x = 0; x < *width; ++x, out += 4) {
      out[0] = static_cast<uint8_t>(row[x] >> 16);
      out[1] = static_cast<uint8_t>(row[x] >> 8);
      out[2] = static_cast<uint8_t>(row[x]);
      out[3] = 255;
    }
  }
  graphics->backBuffer->UnlockRect();
  return true;
}

// Local time to the second; a number added when two shots share the second.
std::string ScreenshotFileName(const std::string& folder, std::time_t when, const std::vector<std::string>& taken)
{
  std::tm local = {};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof(stamp), "solverica-%Y%m%d-%H%M%S", &local);
  std::string name = std::string(stamp) + ".png";
  struct stat info;
  auto used = [&](const std::string& candidate) {
    const std::string path = folder + "/" + candidate;
    return stat(path.c_str(), &info) == 0 || std::find(taken.begin(), taken.end(), path) != taken.end();
  };
  for (int n = 2; used(name); ++n) {
    name = std::string(stamp) + "-" + std::to_string(n) + ".png";
  }
  return name;
}

// Nothing may be left half-written at exit.
CScreenshot::~CScreenshot()
{
  Finish();
}

// Each shot has a writer of its own; only a full set of writers is waited for.
std::string CScreenshot::Take(const std::string& folder)
{
  if (writers.size() >= maxWriters) Finish();
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
  if (!CopyBackBuffer(&rgba, &width, &height) || !MakeFolders(folder)) return "";
  const std::string path = folder + "/" + ScreenshotFileName(folder, std::time(nullptr), inFlight);
  inFlight.push_back(path);
  writers.emplace_back([this, path, width, height, pixels = std::move(rgba)]() {
    if (!PlatformWritePng(path.c_str(), width, height, pixels.data())) ++failures;
  });
  return path;
}

// Joins every writer; the failures counted since the last call decide.
bool CScreenshot::Finish()
{
  for (std::thread& writer : writers) {
    if (writer.joinable()) writer.join();
  }
  writers.clear();
  inFlight.clear();
  return failures.exchange(0) == 0;
}

// Lives until the program ends.
CScreenshot& ProgramScreenshot()
{
  static CScreenshot screenshot;
  return screenshot;
}
