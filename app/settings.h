// The player's settings: settings.ini under the XDG configuration folder, read once at
// start-up and written back only when a value changed, line by line so that the
// player's own comments and lines stay. Every default is the game as it always played:
// the full-screen question, the mouse turning the view as it did, full volume, the
// gamepad on, the keys and buttons as they were, magic held while the button is and
// colours told apart by hue alone.
#pragma once

#include "app/key_bindings.h"

#include <string>
#include <utility>
#include <vector>

enum class FullScreenChoice { Ask, Yes, No };

// Automatic: the lighter picture on a software renderer, the full one elsewhere.
enum class PictureQuality { Automatic, Low, High };

struct Settings {
  FullScreenChoice fullScreen = FullScreenChoice::Ask;
  float mouseSensitivity = 1.0f;  // relative mouse motion is multiplied by this
  bool invertLook = false;        // moving the mouse up looks down
  int musicVolume = 100;          // percent
  int effectsVolume = 100;        // percent
  bool gamepad = true;
  PictureQuality pictureQuality = PictureQuality::Automatic;
  KeyBindings bindings = DefaultKeyBindings();
  bool magicToggle = false;  // a press starts casting a colour, the next press stops it
  bool colourSymbols = false;
  bool showTimer =
      false;  // the running stage clock in the top-right corner  // each magic colour also carries a shape of its own

  bool operator==(const Settings& other) const = default;
};

// The settings of this run: what the file and the command line said (defaults until then).
Settings& RunSettings();

// Reads settings text (key = value lines, # or ; comments, [sections] ignored, CR LF
// welcome). A line that cannot be used is skipped and described in `problems`, one
// entry per line, naming the line number. Values not named keep what `settings` held.
void ParseSettings(const std::string& text, Settings* settings, std::vector<std::string>* problems);

// The text ParseSettings reads back to the same settings.
std::string FormatSettings(const Settings& settings);

// Every key with its value in the words the file uses, in the file's order.
std::vector<std::pair<std::string, std::string>> SettingsValues(const Settings& settings);

// The file's text changed to hold the settings: the keys whose value differs from what
// the text says are replaced in place or appended (see EditSettingsText).
std::string UpdateSettingsText(const std::string& text, const Settings& settings);

// The file: $XDG_CONFIG_HOME/solverica/settings.ini, ~/.config when unset.
std::string SettingsFilePath();

// Loads the file into `settings`; a missing file is no error and leaves the defaults.
// Each bad line goes to standard error. Returns whether a file was read.
bool LoadSettingsFile(const std::string& path, Settings* settings);

// Writes the file (making its folder) through a temporary file that replaces it, as
// the file's text updated (a new file starts from FormatSettings); a failure is
// reported on standard error and returns false.
bool WriteSettingsFile(const std::string& path, const Settings& settings);

// Keeps the settings file in step with the run: remembers what the file holds and
// writes only when asked to store something different.
class CSettingsFile {
public:
  // Reads the file at the path (see LoadSettingsFile) into `settings`.
  void Load(const std::string& filePath, Settings* settings);
  // Writes the settings when they differ from what the file holds; true when the file
  // holds them afterwards.
  bool Store(const Settings& settings);
  // What the file holds (as read, or as last written).
  const Settings& Stored() const { return stored; }
  // How many times the file was written by Store.
  int WriteCount() const { return writes; }

private:
  std::string path;
  Settings stored;
  int writes = 0;
};

// The one settings file of the program.
CSettingsFile& ProgramSettingsFile();
