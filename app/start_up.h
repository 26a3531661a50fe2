// The run's start and end: command line, settings file, the data folder and the save
// file's place, the settings handed to the platform, the answer to the full-screen
// question, and the shutdown with its exit status.
#pragma once

#include "windows.h"

// Reads the command line and the settings and moves into the game's data folder.
// False when the program should end at once with *exitCode (help, version, a bad flag).
bool PrepareRun(int argc, const char* const* argv, int* exitCode);

// Hands the run's settings to the platform: mouse look, the gamepad, the volumes.
void ApplyRunSettings();

// The start-up question, unless the settings or the command line answered it.
bool ChooseFullScreen(HWND window);

// After the loop, or a start-up that failed: the device, the sound device and COM are
// let go. Returns the exit status: 130 after Ctrl+C, as shells expect of an interrupted
// program; otherwise 0 (a session's end by SIGTERM or SIGHUP is an ordinary end).
int FinishRun();
