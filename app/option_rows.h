// The rows of the options page as data: what each shows and how a step or a slider
// position changes the settings. No drawing and no device here, so every row's
// behaviour can be checked on plain Settings values.
#pragma once

#include "app/settings.h"

#include <string>
#include <vector>

enum class OptionRowKind { Choice, Slider, Binding, Command };

enum class OptionSetting {
  Display,
  Picture,
  Sensitivity,
  InvertLook,
  MusicVolume,
  EffectsVolume,
  Gamepad,
  MagicToggle,
  ColourSymbols,
  Timer,
  Binding,
  RestoreBindings
};

struct OptionRow {
  OptionSetting setting;
  OptionRowKind kind;
  GameAction action;  // binding rows only
};

// The page's rows, top to bottom: the picture and sound rows, the gamepad, how magic
// is held and the colour symbols, then a binding row per
// action and the row that restores the default bindings.
std::vector<OptionRow> OptionRows();

// What the page calls the row.
std::string OptionRowLabel(const OptionRow& row);

// The value shown for the row: a word, a number, or for a binding the input in the
// place (slot) asked for ("-" for an empty place).
std::string OptionRowValue(const OptionRow& row, const Settings& settings, int slot = 0);

// One step left (-1) or right (+1): the next word of a choice (wrapping round), a
// slider's next notch (stopping at either end). False when nothing changed.
bool StepOptionRow(const OptionRow& row, Settings* settings, int direction);

// Where a slider stands, 0 to 1.
float OptionRowFraction(const OptionRow& row, const Settings& settings);
// Sets a slider from a position 0 to 1 along it, on its notches. False when nothing changed.
bool SetOptionRowFraction(const OptionRow& row, Settings* settings, float fraction);
