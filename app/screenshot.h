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
// extension when the folder already has that name or it is among `taken` (names of
// files still being written).
std::string ScreenshotFileName(const std::string& folder, std::time_t when, const std::vector<std::string>& taken = {});

class CScreenshot {
public:
  CScreenshot() = default;
  CScreenshot(const CScreenshot&) = delete;
  CScreenshot& operator=(const CScreenshot&) = delete;
  // Waits for a file still being written.
  ~CScreenshot();

  // Copies the back buffer now and starts writing it into the folder (made when
  // missing); files still being written from earlier shots are not waited for, so
  // quick presses of F12 each get their frame. Returns the file's path, or empty when
  // there was nothing to copy or the folder cannot be made.
  std::string Take(const std::string& folder);
  // Waits until every file is written; whether they all were.
  bool Finish();

private:
  // More shots than this in flight: the next one waits for them (memory stays bounded).
  static const size_t maxWriters = 8;
  std::vector<std::thread> writers;
  std::vector<std::string> inFlight;  // paths the writers are writing
  std::atomic<int> failures{0};
};

// The program's screenshots, into <pictures>/Solverica.
CScreenshot& ProgramScreenshot();
