// The options page's rows: labels, shown values, steps and slider positions.
#include "app/option_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Volumes move in notches of 5 %, the look sensitivity in tenths from 0.1 to 3 and
// then in halves up to 10 (a slider of 44 notches).
const int volumeNotch = 5;
const float sensitivityLow = 0.1f;
const float sensitivityFine = 3.0f;
const float sensitivityHigh = 10.0f;

// The notch of a sensitivity: 0 to 29 in tenths, then halves.
int SensitivityNotch(float value)
{
  if (value <= sensitivityFine) return static_cast<int>(std::lround((value - sensitivityLow) * 10.0f));
  return 29 + static_cast<int>(std::lround((value - sensitivityFine) * 2.0f));
}

// The sensitivity of a notch.
float SensitivityOfNotch(int notch)
{
  if (notch <= 29) return sensitivityLow + notch * 0.1f;
  return sensitivityFine + (notch - 29) * 0.5f;
}

const int sensitivityNotches = 29 + 14;  // the last notch, 10

// A slider's notch count (its last notch) and where it stands.
void SliderNotches(const OptionRow& row, const Settings& settings, int* last, int* now)
{
  if (row.setting == OptionSetting::Sensitivity) {
    *last = sensitivityNotches;
    *now = SensitivityNotch(settings.mouseSensitivity);
    return;
  }
  *last = 100 / volumeNotch;
  const int percent = row.setting == OptionSetting::MusicVolume ? settings.musicVolume : settings.effectsVolume;
  *now = (percent + volumeNotch / 2) / volumeNotch;
}

// Puts a slider on a notch; false when it stood there already.
bool SetSliderNotch(const OptionRow& row, Settings* settings, int notch)
{
  if (row.setting == OptionSetting::Sensitivity) {
    const float value = SensitivityOfNotch(notch);
    if (std::fabs(value - settings->mouseSensitivity) < 0.001f) return false;
    settings->mouseSensitivity = value;
    return true;
  }
  int& percent = row.setting == OptionSetting::MusicVolume ? settings->musicVolume : settings->effectsVolume;
  if (percent == notch * volumeNotch) return false;
  percent = notch * volumeNotch;
  return true;
}

// The next of `count` choices, wrapping.
int NextChoice(int now, int count, int direction)
{
  return ((now + direction) % count + count) % count;
}

// The shown words of the choices.
const char* const qualityWords[] = {"Automatic", "Low", "High"};
const char* const displayWords[] = {"Ask at start", "Window", "Full screen"};
const FullScreenChoice displayChoices[] = {FullScreenChoice::Ask, FullScreenChoice::No, FullScreenChoice::Yes};

// Where a full-screen choice stands among the shown words.
int DisplayIndex(FullScreenChoice choice)
{
  return choice == FullScreenChoice::Ask ? 0 : choice == FullScreenChoice::No ? 1 : 2;
}

}  // namespace

// The settings first, then the bindings.
std::vector<OptionRow> OptionRows()
{
  std::vector<OptionRow> rows = {{OptionSetting::Display, OptionRowKind::Choice, GameAction::Forward},
                                 {OptionSetting::Picture, OptionRowKind::Choice, GameAction::Forward},
                                 {OptionSetting::Sensitivity, OptionRowKind::Slider, GameAction::Forward},
                                 {OptionSetting::InvertLook, OptionRowKind::Choice, GameAction::Forward},
                                 {OptionSetting::MusicVolume, OptionRowKind::Slider, GameAction::Forward},
                                 {OptionSetting::EffectsVolume, OptionRowKind::Slider, GameAction::Forward},
                                 {OptionSetting::Gamepad, OptionRowKind::Choice, GameAction::Forward},
                                 {OptionSetting::MagicToggle, OptionRowKind::Choice, GameAction::Forward},
                                 {OptionSetting::ColourSymbols, OptionRowKind::Choice, GameAction::Forward},
                                 {OptionSetting::Timer, OptionRowKind::Choice, GameAction::Forward}};
  for (int index = 0; index < gameActionCount; ++index) {
    rows.push_back({OptionSetting::Binding, OptionRowKind::Binding, static_cast<GameAction>(index)});
  }
  rows.push_back({OptionSetting::RestoreBindings, OptionRowKind::Command, GameAction::Forward});
  return rows;
}

// Short enough for the page's left column.
std::string OptionRowLabel(const OptionRow& row)
{
  switch (row.setting) {
  case OptionSetting::Display:
    return "Display";
  case OptionSetting::Picture:
    return "Picture quality";
  case OptionSetting::Sensitivity:
    return "Look sensitivity";
  case OptionSetting::InvertLook:
    return "Invert look";
  case OptionSetting::MusicVolume:
    return "Music volume";
  case OptionSetting::EffectsVolume:
    return "Effects volume";
  case OptionSetting::Gamepad:
    return "Gamepad";
  case OptionSetting::MagicToggle:
    return "Magic";
  case OptionSetting::ColourSymbols:
    return "Colour symbols";
  case OptionSetting::Timer:
    return "Timer on screen";
  case OptionSetting::Binding:
    return ActionLabel(row.action);
  default:
    return "Restore default keys";
  }
}

// Words for choices, numbers for sliders, input names for bindings.
std::string OptionRowValue(const OptionRow& row, const Settings& settings, int slot)
{
  char number[32];
  switch (row.setting) {
  case OptionSetting::Display:
    return displayWords[DisplayIndex(settings.fullScreen)];
  case OptionSetting::Picture:
    return qualityWords[static_cast<int>(settings.pictureQuality)];
  case OptionSetting::Sensitivity:
    std::snprintf(number, sizeof(number), "%.1f", static_cast<double>(settings.mouseSensitivity));
    return number;
  case OptionSetting::InvertLook:
    return settings.invertLook ? "On" : "Off";
  case OptionSetting::MusicVolume:
    return std::to_string(settings.musicVolume) + "%";
  case OptionSetting::EffectsVolume:
    return std::to_string(settings.effectsVolume) + "%";
  case OptionSetting::Gamepad:
    return settings.gamepad ? "On" : "Off";
  case OptionSetting::MagicToggle:
    return settings.magicToggle ? "Toggle" : "Hold";
  case OptionSetting::ColourSymbols:
    return settings.colourSymbols ? "On" : "Off";
  case OptionSetting::Timer:
    return settings.showTimer ? "On" : "Off";
  case OptionSetting::Binding: {
    const int input = slot >= 0 && slot < bindingSlots ? settings.bindings.Of(row.action)[slot] : 0;
    return input ? InputName(input) : "-";
  }
  default:
    return "";
  }
}

// Choices wrap round, sliders stop at their ends; bindings and commands have no steps.
bool StepOptionRow(const OptionRow& row, Settings* settings, int direction)
{
  switch (row.setting) {
  case OptionSetting::Display:
    settings->fullScreen = displayChoices[NextChoice(DisplayIndex(settings->fullScreen), 3, direction)];
    return true;
  case OptionSetting::Picture:
    settings->pictureQuality =
        static_cast<PictureQuality>(NextChoice(static_cast<int>(settings->pictureQuality), 3, direction));
    return true;
  case OptionSetting::InvertLook:
    settings->invertLook = !settings->invertLook;
    return true;
  case OptionSetting::Gamepad:
    settings->gamepad = !settings->gamepad;
    return true;
  case OptionSetting::MagicToggle:
    settings->magicToggle = !settings->magicToggle;
    return true;
  case OptionSetting::ColourSymbols:
    settings->colourSymbols = !settings->colourSymbols;
    return true;
  case OptionSetting::Timer:
    settings->showTimer = !settings->showTimer;
    return true;
  case OptionSetting::Sensitivity:
  case OptionSetting::MusicVolume:
  case OptionSetting::EffectsVolume: {
    int last = 0;
    int now = 0;
    SliderNotches(row, *settings, &last, &now);
    return SetSliderNotch(row, settings, std::clamp(now + direction, 0, last));
  }
  default:
    return false;
  }
}

// The notch over the last notch.
float OptionRowFraction(const OptionRow& row, const Settings& settings)
{
  if (row.kind != OptionRowKind::Slider) return 0.0f;
  int last = 0;
  int now = 0;
  SliderNotches(row, settings, &last, &now);
  return static_cast<float>(now) / static_cast<float>(last);
}

// The nearest notch to the position.
bool SetOptionRowFraction(const OptionRow& row, Settings* settings, float fraction)
{
  if (row.kind != OptionRowKind::Slider) return false;
  int last = 0;
  int now = 0;
  SliderNotches(row, *settings, &last, &now);
  const int notch = static_cast<int>(std::lround(std::clamp(fraction, 0.0f, 1.0f) * static_cast<float>(last)));
  return SetSliderNotch(row, settings, notch);
}
