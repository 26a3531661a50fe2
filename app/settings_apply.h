// Settings put in force while the game runs: the options page changes one value at a
// time and the player sees or hears it at once.
#pragma once

#include "app/settings.h"

// The picture quality in force: $SOLVERICA_QUALITY when set (a developer's choice),
// else the setting, Automatic letting the renderer decide.
void ApplyPictureQuality(PictureQuality quality);

// Makes the settings this run's: look, gamepad and volumes at once, the window switched
// when the display choice is a fixed one it does not match, the picture quality when it
// changed.
void ApplySettingsNow(const Settings& settings);

// Writes the run's settings into settings.ini (only the lines that changed). The
// display choice is written only once it was changed here: the command line's choice
// is for one run, and F11 stores its own.
void StoreRunSettings();
