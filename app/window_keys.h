// Keys that belong to the window rather than the game: Alt+Enter and F11 switch full
// screen, F12 takes a screenshot. Polled once a frame, after the frame is drawn, so
// that a screenshot holds exactly the frame on screen.
#pragma once

#include <string>

// Reads the keys and acts on them.
void PollWindowKeys();

// Full screen on or off; when the settings chose yes or no (not ask), the new state is
// stored so the next start opens the same way.
void ToggleFullScreen();

// Takes a screenshot into the pictures folder with its sound; the file's path, or
// empty when none could be taken.
std::string TakeScreenshot();
