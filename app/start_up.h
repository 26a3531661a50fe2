// The run's start: command line, settings file, the data folder and the save file's
// place, the settings handed to the platform, and the answer to the full-screen question.
#pragma once

#include "windows.h"

// Reads the command line and the settings and moves into the game's data folder.
// False when the program should end at once with *exitCode (help, version, a bad flag).
bool PrepareRun(int argc, const char* const* argv, int* exitCode);

// Hands the run's settings to the platform: mouse look, the gamepad, the volumes.
void ApplyRunSettings();

// The start-up question, unless the settings or the command line answered it.
bool ChooseFullScreen(HWND window);
