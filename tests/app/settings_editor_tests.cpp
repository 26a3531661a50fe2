// Tests of settings.ini written back line by line and of the key bindings it holds:
// files as people and editors write them (comments, CR LF, a byte order mark, sections,
// keys the game does not know, odd spacing), bad binding lines, the swap that keeps
// every input to one action, the pad fallback, and the options page's rows.
#include "app/action_input.h"
#include "app/application.h"
#include "app/key_bindings.h"
#include "app/option_rows.h"
#include "app/settings.h"
#include "app/settings_apply.h"
#include "app/settings_editor.h"
#include "test_seam.h"
#include "windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Parses text from the defaults, collecting the problems.
Settings Parse(const std::string& text, std::vector<std::string>* problems)
{
  Settings settings;
  ParseSettings(text, &settings, problems);
  return settings;
}

}  // namespace

TEST(SettingsEditor, AHandWrittenFileKeepsEverythingButTheChangedValue)
{
  const std::string mine =
      "; my settings, tuned for the laptop\n"
      "[video]\n"
      "  FullScreen=no   \n"
      "# louder music please\n"
      "music_volume =   80\n"
      "colour_blind_mode = maybe\n"
      "\n"
      "[sound]\n"
      "effects_volume = 40";
  Settings settings = Parse(mine, nullptr);
  settings.musicVolume = 35;
  const std::string edited = UpdateSettingsText(mine, settings);
  EXPECT_EQ(edited,
            "; my settings, tuned for the laptop\n"
            "[video]\n"
            "  FullScreen=no   \n"
            "# louder music please\n"
            "music_volume =   35\n"
            "colour_blind_mode = maybe\n"
            "\n"
            "[sound]\n"
            "effects_volume = 40")
      << "only the changed value moved; spacing, sections, unknown keys and the missing last line end stay";
  std::vector<std::string> problems;
  EXPECT_EQ(Parse(edited, &problems).musicVolume, 35);
}

TEST(SettingsEditor, NewKeysAreAppendedWithTheFilesLineEndAndByteOrderMark)
{
  const std::string windows = "\xEF\xBB\xBF# written on Windows\r\ninvert_look = on\r\ngamepad = yes";
  std::vector<std::string> problems;
  Settings settings = Parse(windows, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_TRUE(settings.invertLook) << "the byte order mark is no part of the first key";
  settings.effectsVolume = 10;
  settings.bindings.Of(GameAction::Blue)[0] = 'J';
  const std::string edited = UpdateSettingsText(windows, settings);
  EXPECT_EQ(edited,
            "\xEF\xBB\xBF# written on Windows\r\ninvert_look = on\r\ngamepad = yes\r\n"
            "effects_volume = 10\r\nblue = J, E\r\n")
      << "'on' still holds, so it stays as the player spelt it";
  const Settings reread = Parse(edited, &problems);
  EXPECT_EQ(reread, settings);
}

TEST(SettingsEditor, TheMagicAndSymbolsSwitchesAreWrittenWhereTheyStandOrAppended)
{
  const std::string mine = "# hands tire: press once to cast\r\nMagic_Toggle = on   # since March\r\n";
  Settings settings = Parse(mine, nullptr);
  ASSERT_TRUE(settings.magicToggle);
  settings.colourSymbols = true;
  EXPECT_EQ(UpdateSettingsText(mine, settings), mine + "colour_symbols = yes\r\n") << "'on' still holds";
  settings.magicToggle = false;
  const std::string edited = UpdateSettingsText(mine, settings);
  EXPECT_EQ(edited,
            "# hands tire: press once to cast\r\nMagic_Toggle = no   # since March\r\ncolour_symbols = yes\r\n");
  EXPECT_EQ(Parse(edited, nullptr), settings);
}

TEST(SettingsEditor, EveryLineOfARepeatedKeyChangesAndCommentsAreNeverKeys)
{
  EXPECT_EQ(SettingsLineKey("  Music_Volume = 3"), "music_volume");
  EXPECT_EQ(SettingsLineKey("# music_volume = 3"), "");
  EXPECT_EQ(SettingsLineKey("; music_volume = 3"), "");
  EXPECT_EQ(SettingsLineKey("[music_volume = 3]"), "");
  EXPECT_EQ(SettingsLineKey("just words"), "");
  const std::string text = "gamepad = yes\n# gamepad = yes\ngamepad=yes\n";
  EXPECT_EQ(EditSettingsText(text, {{"gamepad", "no"}}), "gamepad = no\n# gamepad = yes\ngamepad=no\n");
  EXPECT_EQ(EditSettingsText("", {{"gamepad", "no"}}), "gamepad = no\n");
}

TEST(SettingsEditor, CommentsAfterAValueAreReadPastAndKept)
{
  const std::string text = "music_volume = 80   # late at night\r\nred = R ; my left hand\r\nblue = #5\r\n";
  std::vector<std::string> problems;
  Settings settings = Parse(text, &problems);
  EXPECT_EQ(settings.musicVolume, 80);
  EXPECT_EQ(FormatBinding(settings.bindings.Of(GameAction::Red)), "R");
  ASSERT_EQ(problems.size(), 1u) << "'#5' is no comment: it follows no blank";
  EXPECT_NE(problems[0].find("line 3"), std::string::npos) << problems[0];
  EXPECT_NE(problems[0].find("'#5'"), std::string::npos) << problems[0];
  settings.musicVolume = 5;
  settings.bindings.Of(GameAction::Red)[1] = 'T';
  EXPECT_EQ(UpdateSettingsText(text, settings),
            "music_volume = 5   # late at night\r\nred = R, T ; my left hand\r\nblue = #5\r\n");
}

TEST(SettingsBindings, ReadInAnyCaseAndBadLinesKeepTheDefaultWithOneMessageEach)
{
  std::vector<std::string> problems;
  const Settings settings = Parse(
      "forward = I\r\n"
      "BLUE = Mouse_Right , pad_x\r\n"
      "red = mouse_left\r\n"
      "both = banana\r\n"
      "pause =\r\n"
      "back = escape, tab, home\r\n"
      "jump = space\r\n",
      &problems);
  const KeyBindings defaults = DefaultKeyBindings();
  EXPECT_EQ(settings.bindings.Of(GameAction::Forward)[0], 'I');
  EXPECT_EQ(settings.bindings.Of(GameAction::Forward)[1], 0);
  EXPECT_EQ(settings.bindings.Of(GameAction::Blue)[0], VK_RBUTTON);
  EXPECT_EQ(settings.bindings.Of(GameAction::Blue)[1], padInputBase + 2);
  EXPECT_EQ(settings.bindings.Of(GameAction::Red)[0], VK_LBUTTON);
  for (const GameAction kept : {GameAction::Both, GameAction::Pause, GameAction::Back}) {
    EXPECT_EQ(settings.bindings.Of(kept)[0], defaults.Of(kept)[0]) << ActionKey(kept);
  }
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_NE(problems[0].find("line 4"), std::string::npos) << problems[0];
  EXPECT_NE(problems[0].find("banana"), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find("line 5"), std::string::npos) << problems[1];
  EXPECT_NE(problems[2].find("line 6"), std::string::npos) << problems[2];
  EXPECT_NE(problems[3].find("jump"), std::string::npos) << problems[3];
}

TEST(SettingsBindings, NamesRoundTripForEveryNamedInput)
{
  int named = 0;
  for (int input = 1; input < padInputBase + padButtonCount; ++input) {
    const std::string name = InputName(input);
    if (name.empty()) continue;
    ++named;
    EXPECT_EQ(InputFromName(name), input) << name;
  }
  EXPECT_GT(named, 26 + 10 + 12 + 3 + padButtonCount);
  EXPECT_EQ(InputFromName("f12"), VK_F12);
  EXPECT_EQ(InputFromName("F13"), 0);
  EXPECT_EQ(InputFromName("f1x"), 0);
  EXPECT_EQ(InputFromName(""), 0);
  EXPECT_EQ(InputFromName("é"), 0);
  const Settings defaults;
  std::vector<std::string> problems;
  EXPECT_EQ(Parse(FormatSettings(defaults), &problems), defaults);
  EXPECT_TRUE(problems.empty());
}

TEST(SettingsBindings, DefaultsAreTheGameAsMadeWithFreeKeysForMagic)
{
  const KeyBindings bindings = DefaultKeyBindings();
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Forward)), "W");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Blue)), "mouse_left, E");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Red)), "mouse_right, R");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Both)), "F");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Pause)), "space");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Back)), "escape");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Screenshot)), "F12");
  // No input plays two actions, and Q (which hides puddles) plays none.
  for (int a = 0; a < gameActionCount; ++a) {
    for (int slot = 0; slot < bindingSlots; ++slot) {
      const int input = bindings.inputs[a][slot];
      if (input == 0) continue;
      EXPECT_NE(input, 'Q');
      for (int b = 0; b < gameActionCount; ++b) {
        for (int other = 0; other < bindingSlots; ++other) {
          if (a == b && slot == other) continue;
          EXPECT_NE(bindings.inputs[b][other], input) << InputName(input);
        }
      }
    }
  }
}

TEST(SettingsBindings, ABindingUsedElsewhereIsSwappedNeverDuplicated)
{
  KeyBindings bindings = DefaultKeyBindings();
  // Blue's mouse button onto W: forward takes mouse_left in exchange.
  ASSERT_TRUE(BindInput(&bindings, GameAction::Blue, 0, 'W'));
  EXPECT_EQ(bindings.Of(GameAction::Blue)[0], 'W');
  EXPECT_EQ(bindings.Of(GameAction::Forward)[0], VK_LBUTTON);
  // A new input simply replaces the place.
  ASSERT_TRUE(BindInput(&bindings, GameAction::Blue, 1, 'J'));
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Blue)), "W, J");
  // Within one action the two places swap.
  ASSERT_TRUE(BindInput(&bindings, GameAction::Blue, 0, 'J'));
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Blue)), "J, W");
  // Taking pause's only key for an empty place would leave pause with nothing.
  const KeyBindings before = bindings;
  EXPECT_FALSE(BindInput(&bindings, GameAction::Both, 1, VK_SPACE));
  EXPECT_EQ(bindings, before);
  // An empty place's own action keeps its first place, so the move is allowed there.
  ASSERT_TRUE(BindInput(&bindings, GameAction::Both, 0, VK_SPACE));
  EXPECT_EQ(bindings.Of(GameAction::Pause)[0], 'F');
  // A second place given the first's input leaves the first empty: it moves up.
  ASSERT_TRUE(BindInput(&bindings, GameAction::Forward, 1, VK_LBUTTON));
  EXPECT_EQ(bindings.Of(GameAction::Forward)[0], VK_LBUTTON);
  EXPECT_EQ(bindings.Of(GameAction::Forward)[1], 0);
}

// A hand-edited file may give one key to two actions ("red = a" while left keeps A).
TEST(SettingsBindings, AKeyHeldTwiceIsNeverLostNorDoubledInOneAction)
{
  Settings read;
  ParseSettings("red = a\n", &read, nullptr);
  ASSERT_EQ(FormatBinding(read.bindings.Of(GameAction::Left)), "A");
  ASSERT_EQ(FormatBinding(read.bindings.Of(GameAction::Red)), "A");
  // Refused by red, whose only key A is: left keeps A as well.
  KeyBindings bindings = read.bindings;
  EXPECT_FALSE(BindInput(&bindings, GameAction::Left, 1, 'A'));
  EXPECT_EQ(bindings, read.bindings);

  // Blue and pause share E; C goes from pause to blue's E place, and pause, which has E
  // already, is left with E alone rather than "E, E" (which reads back as one E).
  ParseSettings("blue = mouse_left, e\npause = c, e\n", &read, nullptr);
  bindings = read.bindings;
  ASSERT_TRUE(BindInput(&bindings, GameAction::Blue, 1, 'C'));
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Blue)), "mouse_left, C");
  EXPECT_EQ(FormatBinding(bindings.Of(GameAction::Pause)), "E");
}

TEST(SettingsBindings, PadOnlyActionsFallBackToTheirDefaultsWithoutAPad)
{
  KeyBindings bindings = DefaultKeyBindings();
  bindings.Of(GameAction::Pause)[0] = padInputBase + 6;
  bindings.Of(GameAction::Blue)[0] = padInputBase + 2;
  int inputs[bindingSlots] = {};
  EffectiveInputs(bindings, GameAction::Pause, true, inputs);
  EXPECT_EQ(inputs[0], padInputBase + 6);
  EffectiveInputs(bindings, GameAction::Pause, false, inputs);
  EXPECT_EQ(inputs[0], VK_SPACE) << "unplugged: Space pauses again";
  EffectiveInputs(bindings, GameAction::Blue, false, inputs);
  EXPECT_EQ(inputs[1], 'E') << "a key still bound keeps the action reachable, so nothing is added";
  EXPECT_EQ(inputs[0], padInputBase + 2);
}

TEST(OptionRows, ChoicesWrapSlidersStopAndEveryRowHasAValue)
{
  const std::vector<OptionRow> rows = OptionRows();
  ASSERT_EQ(rows.size(), 10u + gameActionCount + 1u);
  Settings settings;
  for (const OptionRow& row : rows) EXPECT_FALSE(OptionRowLabel(row).empty());
  EXPECT_EQ(OptionRowValue(rows[0], settings), "Ask at start");
  EXPECT_TRUE(StepOptionRow(rows[0], &settings, 1));
  EXPECT_EQ(settings.fullScreen, FullScreenChoice::No);
  EXPECT_TRUE(StepOptionRow(rows[0], &settings, 1));
  EXPECT_EQ(OptionRowValue(rows[0], settings), "Full screen");
  EXPECT_TRUE(StepOptionRow(rows[0], &settings, 1));
  EXPECT_EQ(settings.fullScreen, FullScreenChoice::Ask);
  const OptionRow& picture = rows[1];
  EXPECT_EQ(OptionRowValue(picture, settings), "Automatic");
  EXPECT_TRUE(StepOptionRow(picture, &settings, -1));
  EXPECT_EQ(OptionRowValue(picture, settings), "High");
  EXPECT_TRUE(StepOptionRow(picture, &settings, 1));
  EXPECT_TRUE(StepOptionRow(picture, &settings, 1));
  EXPECT_EQ(settings.pictureQuality, PictureQuality::Low);

  const OptionRow& music = rows[4];
  EXPECT_FALSE(StepOptionRow(music, &settings, 1)) << "full volume goes no higher";
  EXPECT_TRUE(StepOptionRow(music, &settings, -1));
  EXPECT_EQ(settings.musicVolume, 95);
  EXPECT_TRUE(SetOptionRowFraction(music, &settings, 0.42f));
  EXPECT_EQ(settings.musicVolume, 40);
  EXPECT_FLOAT_EQ(OptionRowFraction(music, settings), 0.4f);
  EXPECT_EQ(OptionRowValue(music, settings), "40%");

  const OptionRow& look = rows[2];
  EXPECT_TRUE(StepOptionRow(look, &settings, 1));
  EXPECT_NEAR(settings.mouseSensitivity, 1.1f, 1e-4f);
  EXPECT_TRUE(SetOptionRowFraction(look, &settings, 1.0f));
  EXPECT_NEAR(settings.mouseSensitivity, 10.0f, 1e-4f);
  EXPECT_TRUE(SetOptionRowFraction(look, &settings, 0.0f));
  EXPECT_NEAR(settings.mouseSensitivity, 0.1f, 1e-4f);
  EXPECT_FALSE(StepOptionRow(look, &settings, -1));
  EXPECT_EQ(OptionRowValue(look, settings), "0.1");

  // The two switches after Gamepad, each turning its own setting alone, either way.
  const OptionRow& magic = rows[7];
  const OptionRow& symbols = rows[8];
  EXPECT_EQ(OptionRowLabel(magic), "Magic");
  EXPECT_EQ(OptionRowValue(magic, settings), "Hold");
  EXPECT_TRUE(StepOptionRow(magic, &settings, -1));
  EXPECT_TRUE(settings.magicToggle);
  EXPECT_FALSE(settings.colourSymbols);
  EXPECT_EQ(OptionRowValue(magic, settings), "Toggle");
  EXPECT_EQ(OptionRowLabel(symbols), "Colour symbols");
  EXPECT_EQ(OptionRowValue(symbols, settings), "Off");
  EXPECT_TRUE(StepOptionRow(symbols, &settings, 1));
  EXPECT_EQ(OptionRowValue(symbols, settings), "On");
  EXPECT_TRUE(settings.magicToggle) << "the symbols row leaves magic alone";
  EXPECT_TRUE(StepOptionRow(symbols, &settings, 1));
  EXPECT_FALSE(settings.colourSymbols);

  const size_t firstBinding = std::find_if(rows.begin(), rows.end(),
                                           [](const OptionRow& row) { return row.setting == OptionSetting::Binding; }) -
                              rows.begin();
  const OptionRow& blue = rows[firstBinding + static_cast<int>(GameAction::Blue)];
  EXPECT_EQ(OptionRowValue(blue, settings, 0), "mouse_left");
  EXPECT_EQ(OptionRowValue(blue, settings, 1), "E");
  EXPECT_EQ(OptionRowValue(rows[firstBinding], settings, 1), "-");
  EXPECT_FALSE(StepOptionRow(blue, &settings, 1));
}

TEST(ActionInput, TheSnapshotFollowsTheBindingsAndAFreshPressIsCaptured)
{
  Win32TestReleaseKeys();
  RunSettings() = Settings();
  ASSERT_TRUE(BindInput(&RunSettings().bindings, GameAction::Blue, 0, 'J'));
  InputSnapshot input = {};
  Win32TestSetKey('J', true);
  RefreshHeldActions(&input);
  EXPECT_EQ(input.leftButton, 1);
  EXPECT_EQ(input.rightButton, 0);
  Win32TestSetKey('J', false);
  RefreshHeldActions(&input, VK_LBUTTON);
  EXPECT_EQ(input.leftButton, 0) << "the left button plays blue no more";
  Win32TestSetKey('F', true);
  RefreshHeldActions(&input);
  EXPECT_EQ(input.leftButton + input.rightButton, 2) << "both colours hold both";
  Win32TestSetKey('F', false);

  // Pause is an edge: once per press, and none for a press a menu swallowed.
  Win32TestSetKey(VK_SPACE, true);
  EXPECT_TRUE(TriggerAction(GameAction::Pause));
  EXPECT_FALSE(TriggerAction(GameAction::Pause));
  Win32TestSetKey(VK_SPACE, false);
  EXPECT_FALSE(TriggerAction(GameAction::Pause));
  Win32TestSetKey(VK_SPACE, true);
  SwallowHeldActions();
  EXPECT_FALSE(TriggerAction(GameAction::Pause));
  Win32TestSetKey(VK_SPACE, false);

  // A key held when the wait began is no answer; the next press is.
  CInputEdges edges;
  Win32TestSetKey(VK_RETURN, true);
  edges.Settle();
  edges.Sample();
  EXPECT_EQ(edges.FirstWentDown(), 0);
  Win32TestSetKey('K', true);
  edges.Sample();
  EXPECT_EQ(edges.FirstWentDown(), 'K');
  EXPECT_TRUE(edges.WentDown('K'));
  edges.Sample();
  EXPECT_EQ(edges.FirstWentDown(), 0) << "held is not pressed again";
  Win32TestReleaseKeys();
  RunSettings() = Settings();
}

TEST(SettingsApply, TheDisplayOfOneRunIsNeverWrittenUnlessChosenOnThePage)
{
  const std::filesystem::path path =
      std::filesystem::path(::testing::TempDir()) / "solverica_settings_apply" / "settings.ini";
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << "fullscreen = ask\n";
  CSettingsFile& file = ProgramSettingsFile();
  file.Load(path.string(), &RunSettings());
  RunSettings().fullScreen = FullScreenChoice::Yes;  // as --fullscreen sets it
  Settings settings = RunSettings();
  settings.musicVolume = 50;
  ApplySettingsNow(settings);
  StoreRunSettings();
  const auto text = [&] {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  };
  EXPECT_EQ(text(), "fullscreen = ask\nmusic_volume = 50\n");
  settings.fullScreen = FullScreenChoice::No;
  ApplySettingsNow(settings);
  StoreRunSettings();
  EXPECT_EQ(text(), "fullscreen = no\nmusic_volume = 50\n");
  ApplySettingsNow(Settings());
  file = CSettingsFile();
  std::filesystem::remove_all(path.parent_path());
}

TEST(OptionRows, TheTimerRowSwitchesTheCornerClockAndTheFileKeepsIt)
{
  const std::vector<OptionRow> rows = OptionRows();
  const auto timer =
      std::find_if(rows.begin(), rows.end(), [](const OptionRow& row) { return row.setting == OptionSetting::Timer; });
  ASSERT_NE(timer, rows.end());
  Settings settings;
  EXPECT_EQ(OptionRowValue(*timer, settings), "Off");
  EXPECT_TRUE(StepOptionRow(*timer, &settings, 1));
  EXPECT_TRUE(settings.showTimer);
  const std::string text = UpdateSettingsText("# my own line\r\nmusic_volume = 100\r\n", settings);
  EXPECT_NE(text.find("# my own line\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("show_timer = yes"), std::string::npos) << text;
  Settings read;
  ParseSettings(text, &read, nullptr);
  EXPECT_TRUE(read.showTimer);
}
