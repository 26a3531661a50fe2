// Screenshots: the back buffer as drawn (1280 x 720, no letterbox) copied on the loop's
// thread, then written as a PNG by a thread of its own, so a frame never waits for
// the encoder or the disk.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

// The back buffer's pixels as RGBA rows, top row first; false without a device.
bool CopyBackBuffer(std::vector<uint8_t>* rgba, int* width, int* height);

// "solverica-YYYYMMDD-HHMMSS.png" for the local time, with "-2", "-3"... before the
// extension when the folder already has that name.
std::string ScreenshotFileName(const std::string& folder, std::time_t when);

class CScreenshot {
public:
  CScreenshot() = default;
  CScreenshot(const CScreenshot&) = delete;
  CScreenshot& operator=(const CScreenshot&) = delete;
  // Waits for a file still being written.
  ~CScreenshot();

  // Copies the back buffer now and starts writing it into the folder (made when
  // missing). Returns the file's path, or empty when there was nothing to copy or the
  // folder cannot be made.
  std::string Take(const std::string& folder);
  // Waits until the last file is written; whether it was.
  bool Finish();

private:
  std::thread writer;
  std::atomic<bool> written{false};
};

// The program's screenshots, into <pictures>/Solverica.
CScreenshot& ProgramScreenshot();
