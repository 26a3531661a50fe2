// Keys that belong to the window rather than the game: Alt+Enter and F11 switch full
// screen, F12 takes a screenshot. Polled once a frame, before the frame is drawn; the
// screenshot is taken of the next frame drawn, just before it is shown, so that it holds
// exactly the frame on screen (a window's back buffer may hold anything after a swap).
#pragma once

#include <string>

// Reads the keys and acts on them; a screenshot is only asked for.
void PollWindowKeys();

// Takes the screenshot asked for, if any: called with the frame drawn and not yet shown.
void TakeWantedScreenshot();

// Full screen on or off; when the settings chose yes or no (not ask), the new state is
// stored so the next start opens the same way.
void ToggleFullScreen();

// Takes a screenshot into the pictures folder with its sound; the file's path, or
// empty when none could be taken.
std::string TakeScreenshot();
