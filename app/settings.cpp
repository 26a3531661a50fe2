// settings.ini: parsing with one message per unusable line, canonical writing, and
// the file kept in step with the run (written only when something changed).
#include "app/settings.h"

#include "app/settings_editor.h"
#include "app/user_paths.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The text without blanks (and a CR) at either end.
std::string Trim(const std::string& text)
{
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

// Lower case, for keys and words.
std::string Lower(std::string text)
{
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// yes/no and their usual spellings; false when the word is none of them.
bool ParseSwitch(const std::string& word, bool* value)
{
  if (word == "yes" || word == "on" || word == "true" || word == "1") {
    *value = true;
    return true;
  }
  if (word == "no" || word == "off" || word == "false" || word == "0") {
    *value = false;
    return true;
  }
  return false;
}

// A whole decimal integer within the bounds.
bool ParseInteger(const std::string& word, int low, int high, int* value)
{
  if (word.empty()) return false;
  char* end = nullptr;
  const long parsed = std::strtol(word.c_str(), &end, 10);
  if (*end != '\0' || parsed < low || parsed > high) return false;
  *value = static_cast<int>(parsed);
  return true;
}

// A whole decimal number within the bounds.
bool ParseNumber(const std::string& word, float low, float high, float* value)
{
  if (word.empty()) return false;
  char* end = nullptr;
  const float parsed = std::strtof(word.c_str(), &end);
  if (*end != '\0' || !(parsed >= low && parsed <= high)) return false;
  *value = parsed;
  return true;
}

// Applies one key; an empty result means it was taken, otherwise it says why not.
std::string ApplySetting(const std::string& key, const std::string& word, Settings* settings)
{
  if (key == "fullscreen") {
    if (word == "ask")
      settings->fullScreen = FullScreenChoice::Ask;
    else if (word == "yes")
      settings->fullScreen = FullScreenChoice::Yes;
    else if (word == "no")
      settings->fullScreen = FullScreenChoice::No;
    else
      return "fullscreen must be ask, yes or no";
    return "";
  }
  if (key == "mouse_sensitivity") {
    return ParseNumber(word, 0.1f, 10.0f, &settings->mouseSensitivity) ? "" : "mouse_sensitivity must be 0.1 to 10";
  }
  if (key == "invert_look") return ParseSwitch(word, &settings->invertLook) ? "" : "invert_look must be yes or no";
  if (key == "music_volume") {
    return ParseInteger(word, 0, 100, &settings->musicVolume) ? "" : "music_volume must be 0 to 100";
  }
  if (key == "effects_volume") {
    return ParseInteger(word, 0, 100, &settings->effectsVolume) ? "" : "effects_volume must be 0 to 100";
  }
  if (key == "gamepad") return ParseSwitch(word, &settings->gamepad) ? "" : "gamepad must be yes or no";
  if (key == "magic_toggle") {
    return ParseSwitch(word, &settings->magicToggle) ? "" : "magic_toggle must be yes or no";
  }
  if (key == "show_timer") return ParseSwitch(word, &settings->showTimer) ? "" : "show_timer must be yes or no";
  if (key == "colour_symbols") {
    return ParseSwitch(word, &settings->colourSymbols) ? "" : "colour_symbols must be yes or no";
  }
  if (key == "picture_quality") {
    if (word == "auto")
      settings->pictureQuality = PictureQuality::Automatic;
    else if (word == "low")
      settings->pictureQuality = PictureQuality::Low;
    else if (word == "high")
      settings->pictureQuality = PictureQuality::High;
    else
      return "picture_quality must be auto, low or high";
    return "";
  }
  GameAction action = GameAction::Forward;
  if (ActionFromKey(key, &action)) {
    const std::string why = ParseBinding(word, settings->bindings.Of(action));
    return why.empty() ? "" : key + ": " + why + "; the binding stays as it was";
  }
  return "unknown setting '" + key + "'";
}

// The word for a picture quality.
const char* QualityWord(PictureQuality quality)
{
  switch (quality) {
  case PictureQuality::Low:
    return "low";
  case PictureQuality::High:
    return "high";
  default:
    return "auto";
  }
}

// The word for a full-screen choice.
const char* ChoiceWord(FullScreenChoice choice)
{
  switch (choice) {
  case FullScreenChoice::Yes:
    return "yes";
  case FullScreenChoice::No:
    return "no";
  default:
    return "ask";
  }
}

}  // namespace

// Defaults until main fills it in.
Settings& RunSettings()
{
  static Settings settings;
  return settings;
}

// Line by line; a problem names its line and is otherwise ignored.
void ParseSettings(const std::string& text, Settings* settings, std::vector<std::string>* problems)
{
  // A byte order mark from an editor that writes one is no part of the first key.
  std::istringstream lines(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    const std::string content = Trim(line);
    if (content.empty() || content[0] == '#' || content[0] == ';') continue;
    if (content.front() == '[' && content.back() == ']') continue;
    const size_t equals = content.find('=');
    std::string why;
    if (equals == std::string::npos) {
      why = "expected key = value";
    } else {
      const std::string key = Lower(Trim(content.substr(0, equals)));
      const std::string value = Trim(content.substr(equals + 1));
      const std::string word = Lower(Trim(value.substr(0, SettingsValueEnd(value, 0))));
      why = ApplySetting(key, word, settings);
    }
    if (!why.empty() && problems) problems->push_back("line " + std::to_string(number) + ": " + why);
  }
}

// One key a line, with a comment saying what each takes.
std::string FormatSettings(const Settings& settings)
{
  char sensitivity[32];
  std::snprintf(sensitivity, sizeof(sensitivity), "%g", static_cast<double>(settings.mouseSensitivity));
  std::string text;
  text += "# Solverica settings. Lines that cannot be read are ignored.\n";
  text += "# fullscreen: ask (the question at start-up), yes or no\n";
  text += std::string("fullscreen = ") + ChoiceWord(settings.fullScreen) + "\n";
  text += "# mouse_sensitivity: 0.1 to 10 (1 as the game was made); invert_look: yes or no\n";
  text += std::string("mouse_sensitivity = ") + sensitivity + "\n";
  text += std::string("invert_look = ") + (settings.invertLook ? "yes" : "no") + "\n";
  text += "# volumes in percent, 0 to 100\n";
  text += "music_volume = " + std::to_string(settings.musicVolume) + "\n";
  text += "effects_volume = " + std::to_string(settings.effectsVolume) + "\n";
  text += std::string("gamepad = ") + (settings.gamepad ? "yes" : "no") + "\n";
  text += "# magic_toggle: yes makes a press start a colour's magic and the next press stop it\n";
  text += std::string("magic_toggle = ") + (settings.magicToggle ? "yes" : "no") + "\n";
  text += "# colour_symbols: yes marks blue and red with shapes of their own besides the hue\n";
  text += std::string("colour_symbols = ") + (settings.colourSymbols ? "yes" : "no") + "\n";
  text += "# show_timer: yes shows the stage's running time in the top-right corner\n";
  text += std::string("show_timer = ") + (settings.showTimer ? "yes" : "no") + "\n";
  text += "# picture_quality: auto (lighter on a software renderer), low or high\n";
  text += std::string("picture_quality = ") + QualityWord(settings.pictureQuality) + "\n";
  text += "# Key bindings: one or two inputs an action, such as W, space, F12, mouse_left,\n";
  text += "# mouse_right, mouse_middle, pad_a or pad_start, separated by a comma.\n";
  for (int index = 0; index < gameActionCount; ++index) {
    text += std::string(ActionKey(static_cast<GameAction>(index))) + " = " +
            FormatBinding(settings.bindings.inputs[index]) + "\n";
  }
  return text;
}

// The file's keys in the order FormatSettings writes them.
std::vector<std::pair<std::string, std::string>> SettingsValues(const Settings& settings)
{
  char sensitivity[32];
  std::snprintf(sensitivity, sizeof(sensitivity), "%g", static_cast<double>(settings.mouseSensitivity));
  std::vector<std::pair<std::string, std::string>> values = {{"fullscreen", ChoiceWord(settings.fullScreen)},
                                                             {"mouse_sensitivity", sensitivity},
                                                             {"invert_look", settings.invertLook ? "yes" : "no"},
                                                             {"music_volume", std::to_string(settings.musicVolume)},
                                                             {"effects_volume", std::to_string(settings.effectsVolume)},
                                                             {"gamepad", settings.gamepad ? "yes" : "no"},
                                                             {"magic_toggle", settings.magicToggle ? "yes" : "no"},
                                                             {"colour_symbols", settings.colourSymbols ? "yes" : "no"},
                                                             {"picture_quality", QualityWord(settings.pictureQuality)},
                                                             {"show_timer", settings.showTimer ? "yes" : "no"}};
  for (int index = 0; index < gameActionCount; ++index) {
    values.emplace_back(ActionKey(static_cast<GameAction>(index)), FormatBinding(settings.bindings.inputs[index]));
  }
  return values;
}

// What the text says is worked out first, so a value the player spelt their own way
// ("on" for yes) stays as written while it still holds.
std::string UpdateSettingsText(const std::string& text, const Settings& settings)
{
  Settings written;
  ParseSettings(text, &written, nullptr);
  const std::vector<std::pair<std::string, std::string>> wanted = SettingsValues(settings);
  const std::vector<std::pair<std::string, std::string>> held = SettingsValues(written);
  std::vector<std::pair<std::string, std::string>> changes;
  for (size_t index = 0; index < wanted.size(); ++index) {
    if (wanted[index].second != held[index].second) changes.push_back(wanted[index]);
  }
  return EditSettingsText(text, changes);
}

// Under the configuration home.
std::string SettingsFilePath()
{
  return XdgConfigHome() + "/solverica/settings.ini";
}

// A missing file is the usual first start; unusable lines are reported.
bool LoadSettingsFile(const std::string& path, Settings* settings)
{
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream text;
  text << file.rdbuf();
  std::vector<std::string> problems;
  ParseSettings(text.str(), settings, &problems);
  for (const std::string& problem : problems) {
    std::fprintf(stderr, "solverica: %s: %s (ignored)\n", path.c_str(), problem.c_str());
  }
  return true;
}

// The player's own lines kept, then written through a temporary file.
bool WriteSettingsFile(const std::string& path, const Settings& settings)
{
  std::string text = FormatSettings(settings);
  std::ifstream existing(path, std::ios::binary);
  if (existing) {
    std::ostringstream old;
    old << existing.rdbuf();
    text = UpdateSettingsText(old.str(), settings);
  }
  const bool written = WriteFileReplacing(path, text);
  if (!written) std::fprintf(stderr, "solverica: cannot write %s; settings not saved\n", path.c_str());
  return written;
}

// What the file says now is what it will be compared with.
void CSettingsFile::Load(const std::string& filePath, Settings* settings)
{
  path = filePath;
  LoadSettingsFile(path, settings);
  stored = *settings;
}

// Unchanged settings leave the file alone (and its comments with it).
bool CSettingsFile::Store(const Settings& settings)
{
  if (settings == stored || path.empty()) return settings == stored;
  if (!WriteSettingsFile(path, settings)) return false;
  stored = settings;
  ++writes;
  return true;
}

// Lives until the program ends.
CSettingsFile& ProgramSettingsFile()
{
  static CSettingsFile file;
  return file;
}
