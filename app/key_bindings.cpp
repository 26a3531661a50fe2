// The bindings' names, their reading and writing, and the swap that keeps every input
// to one action.
#include "app/key_bindings.h"

#include "windows.h"

#include <cctype>
#include <cstring>
#include <utility>

namespace {

struct ActionText {
  const char* key;
  const char* label;
};

const ActionText actionTexts[gameActionCount] = {
    {"forward", "Walk forward"}, {"backward", "Walk back"},   {"left", "Walk left"},    {"right", "Walk right"},
    {"blue", "Blue magic"},      {"red", "Red magic"},        {"both", "Both colours"}, {"pause", "Pause"},
    {"back", "Back / to title"}, {"screenshot", "Screenshot"}};

struct NamedInput {
  const char* name;
  int input;
};

// Every named input but letters, digits and function keys, which are spelt out below.
const NamedInput namedInputs[] = {{"mouse_left", VK_LBUTTON},
                                  {"mouse_right", VK_RBUTTON},
                                  {"mouse_middle", VK_MBUTTON},
                                  {"backspace", VK_BACK},
                                  {"tab", VK_TAB},
                                  {"enter", VK_RETURN},
                                  {"shift", VK_SHIFT},
                                  {"ctrl", VK_CONTROL},
                                  {"alt", VK_MENU},
                                  {"escape", VK_ESCAPE},
                                  {"space", VK_SPACE},
                                  {"page_up", VK_PRIOR},
                                  {"page_down", VK_NEXT},
                                  {"end", VK_END},
                                  {"home", VK_HOME},
                                  {"left", VK_LEFT},
                                  {"up", VK_UP},
                                  {"right", VK_RIGHT},
                                  {"down", VK_DOWN},
                                  {"insert", VK_INSERT},
                                  {"delete", VK_DELETE},
                                  {"left_shift", VK_LSHIFT},
                                  {"right_shift", VK_RSHIFT},
                                  {"left_ctrl", VK_LCONTROL},
                                  {"right_ctrl", VK_RCONTROL}};

// The pad's buttons in SDL's order.
const char* const padNames[padButtonCount] = {"pad_a",
                                              "pad_b",
                                              "pad_x",
                                              "pad_y",
                                              "pad_back",
                                              "pad_guide",
                                              "pad_start",
                                              "pad_left_stick",
                                              "pad_right_stick",
                                              "pad_left_shoulder",
                                              "pad_right_shoulder",
                                              "pad_up",
                                              "pad_down",
                                              "pad_left",
                                              "pad_right"};

// Lower case.
std::string Lower(std::string text)
{
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Without blanks at either end.
std::string Trim(const std::string& text)
{
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// Whether an action holds the input in either place.
bool Holds(const int inputs[bindingSlots], int input)
{
  for (int slot = 0; slot < bindingSlots; ++slot) {
    if (inputs[slot] == input) return true;
  }
  return false;
}

// Whether an action has any input left.
bool HasAny(const int inputs[bindingSlots])
{
  for (int slot = 0; slot < bindingSlots; ++slot) {
    if (inputs[slot] != 0) return true;
  }
  return false;
}

}  // namespace

// Two places an action; the second is empty where the game had one input only.
KeyBindings DefaultKeyBindings()
{
  KeyBindings bindings;
  const int defaults[gameActionCount][bindingSlots] = {{'W', 0},          {'S', 0},          {'A', 0}, {'D', 0},
                                                       {VK_LBUTTON, 'E'}, {VK_RBUTTON, 'R'}, {'F', 0}, {VK_SPACE, 0},
                                                       {VK_ESCAPE, 0},    {VK_F12, 0}};
  std::memcpy(bindings.inputs, defaults, sizeof(defaults));
  return bindings;
}

// A plain search of ten names.
bool ActionFromKey(const std::string& key, GameAction* action)
{
  for (int index = 0; index < gameActionCount; ++index) {
    if (key == actionTexts[index].key) {
      *action = static_cast<GameAction>(index);
      return true;
    }
  }
  return false;
}

// From the table.
const char* ActionKey(GameAction action)
{
  return actionTexts[static_cast<int>(action)].key;
}

// From the table.
const char* ActionLabel(GameAction action)
{
  return actionTexts[static_cast<int>(action)].label;
}

// Letters and digits are themselves, function keys F1 to F12, the rest from the tables.
std::string InputName(int input)
{
  if ((input >= 'A' && input <= 'Z') || (input >= '0' && input <= '9')) return std::string(1, static_cast<char>(input));
  if (input >= VK_F1 && input <= VK_F12) return "F" + std::to_string(input - VK_F1 + 1);
  if (IsPadInput(input)) return padNames[input - padInputBase];
  for (const NamedInput& named : namedInputs) {
    if (named.input == input) return named.name;
  }
  return "";
}

// The inverse of InputName, ignoring case.
int InputFromName(const std::string& name)
{
  const std::string lower = Lower(Trim(name));
  if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0]))) {
    return std::toupper(static_cast<unsigned char>(lower[0]));
  }
  if (lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f') {
    const int number = std::atoi(lower.c_str() + 1);
    const bool digits = std::isdigit(static_cast<unsigned char>(lower[1])) &&
                        (lower.size() == 2 || std::isdigit(static_cast<unsigned char>(lower[2])));
    if (digits && number >= 1 && number <= 12) return VK_F1 + number - 1;
  }
  for (int button = 0; button < padButtonCount; ++button) {
    if (lower == padNames[button]) return padInputBase + button;
  }
  for (const NamedInput& named : namedInputs) {
    if (lower == named.name) return named.input;
  }
  return 0;
}

// Pad buttons sit above the virtual keys.
bool IsPadInput(int input)
{
  return input >= padInputBase && input < padInputBase + padButtonCount;
}

// Names between commas, each known, one or two of them, not the same twice.
std::string ParseBinding(const std::string& value, int inputs[bindingSlots])
{
  int read[bindingSlots] = {};
  int count = 0;
  size_t start = 0;
  while (start <= value.size()) {
    size_t comma = value.find(',', start);
    if (comma == std::string::npos) comma = value.size();
    const std::string name = Trim(value.substr(start, comma - start));
    start = comma + 1;
    if (name.empty()) continue;
    const int input = InputFromName(name);
    if (input == 0) return "unknown input '" + name + "'";
    if (count == bindingSlots) return "at most two inputs an action";
    if (!Holds(read, input)) read[count++] = input;
  }
  if (count == 0) return "no input named";
  for (int slot = 0; slot < bindingSlots; ++slot) inputs[slot] = read[slot];
  return "";
}

// Names of the places that hold an input.
std::string FormatBinding(const int inputs[bindingSlots])
{
  std::string text;
  for (int slot = 0; slot < bindingSlots; ++slot) {
    if (inputs[slot] == 0) continue;
    if (!text.empty()) text += ", ";
    text += InputName(inputs[slot]);
  }
  return text;
}

// Finds the input's other places, checks each swap leaves that action something, swaps;
// a refused swap leaves the bindings as they were, even when a hand-edited file had the
// input in several places and some of them were already swapped. An action that holds
// the place's old input already gets an empty place instead of a second copy.
bool BindInput(KeyBindings* bindings, GameAction action, int slot, int input)
{
  if (slot < 0 || slot >= bindingSlots) return false;
  KeyBindings changed = *bindings;
  int* target = changed.Of(action);
  const int previous = target[slot];
  if (previous == input) return true;
  for (int other = 0; other < gameActionCount; ++other) {
    int* inputs = changed.inputs[other];
    for (int place = 0; place < bindingSlots; ++place) {
      if (inputs[place] != input || (inputs == target && place == slot)) continue;
      // (The target's own other place is the one it swaps with, so only others can hold it.)
      inputs[place] = inputs != target && Holds(inputs, previous) ? 0 : previous;
      if (inputs != target && !HasAny(inputs)) return false;
    }
  }
  target[slot] = input;
  // Empty places go last, as the file's words are read back.
  static_assert(bindingSlots == 2, "two places an action");
  for (int other = 0; other < gameActionCount; ++other) {
    int* inputs = changed.inputs[other];
    if (inputs[0] == 0) std::swap(inputs[0], inputs[1]);
  }
  *bindings = changed;
  return true;
}

// Without a usable pad, pad-only actions keep their default keys and buttons.
void EffectiveInputs(const KeyBindings& bindings, GameAction action, bool padUsable, int out[bindingSlots])
{
  const int* inputs = bindings.Of(action);
  bool reachable = false;
  for (int slot = 0; slot < bindingSlots; ++slot) {
    out[slot] = inputs[slot];
    if (inputs[slot] != 0 && (padUsable || !IsPadInput(inputs[slot]))) reachable = true;
  }
  if (reachable) return;
  const KeyBindings defaults = DefaultKeyBindings();
  for (int slot = 0; slot < bindingSlots; ++slot) out[slot] = defaults.Of(action)[slot];
}
