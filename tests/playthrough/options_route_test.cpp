// The options page through the input path: opened from the title's corner button and
// from the pause menu, a slider dragged with the mouse and heard while it moves, the
// look sensitivity changed with the arrows and felt in the camera, blue rebound to a key
// that then pulls stage 2's block (while the left button no longer casts), the keyboard's
// both-colours key opening stage 5's rotation door, settings.ini keeping the player's
// own comment after the page wrote it, and a pad button bound on the page with the pad
// alone, given back to Space when the pad is unplugged; the magic and colour symbols
// switches chosen on the page, written to the file and in force at once; key taps
// shorter than a frame heard by the page.
#include "../support/virtual_pad.h"
#include "stage_route.h"

#include <SDL.h>

#include "actor/game_camera.h"
#include "actor/gimmick/game_rotation_door.h"
#include "actor/player/game_player.h"
#include "actor/player/player_magic_state.h"
#include "app/action_input.h"
#include "app/settings.h"
#include "app/settings_apply.h"
#include "dsound.h"
#include "scene/scene_title.h"
#include "sprite/sprite_menu.h"
#include "sprite/sprite_title.h"
#include "test_seam.h"
#include "win32_comforts.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char handWritten[] = "# my own note: the music is loud on this machine\r\nmusic_volume = 100\r\n";

// The settings file of a route, in a scratch folder, with a comment of the player's.
class OptionsRoute : public StageRoute {
protected:
  void SetUp() override
  {
    StageRoute::SetUp();
    folder = fs::path(::testing::TempDir()) / "solverica_options_route";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "settings.ini", std::ios::binary) << handWritten;
    ProgramSettingsFile().Load((folder / "settings.ini").string(), &RunSettings());
    ApplySettingsNow(RunSettings());
  }
  void TearDown() override
  {
    StageRoute::TearDown();
    ApplySettingsNow(Settings());
    ProgramSettingsFile() = CSettingsFile();
    fs::remove_all(folder);
  }
  // The file's text now.
  std::string FileText() const
  {
    std::ifstream file(folder / "settings.ini", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  // The options page of the running title or stage's pause menu, or null.
  COptionsPage* Page() const
  {
    if (Title()) {
      for (const auto& sprite : Title()->frontSprites) {
        if (const auto option = std::dynamic_pointer_cast<CTitleOption>(sprite)) return &option->optionsPage;
      }
    }
    if (Game()) {
      for (const auto& sprite : Game()->sprites) {
        if (const auto pause = std::dynamic_pointer_cast<CSpritePause>(sprite)) return &pause->optionsPage;
      }
    }
    return nullptr;
  }
  // Holds a key for a few frames, so the page's own sampling and the snapshot both see it.
  void PressKey(int virtualKey)
  {
    Key(virtualKey, true);
    Frames(3);
    Key(virtualKey, false);
    Frames(2);
  }
  // The row of a setting on the page.
  int RowOf(OptionSetting setting, GameAction action = GameAction::Forward) const
  {
    const std::vector<OptionRow> rows = OptionRows();
    for (size_t index = 0; index < rows.size(); ++index) {
      if (rows[index].setting == setting && (setting != OptionSetting::Binding || rows[index].action == action)) {
        return static_cast<int>(index);
      }
    }
    return -1;
  }
  // From a running stage: pause, then the options button; true once the page is up.
  bool OpenPageFromPause()
  {
    PressKey(VK_SPACE);
    if (!WaitFor([&] { return Game() && Game()->paused != 0; }, 5, "the pause menu")) return false;
    ClickButton("res/game/sprite/options.png");
    return WaitFor([&] { return Page() && Page()->IsOpen(); }, 5, "the options page over the pause menu");
  }
  // How far the camera turns for one mouse motion to the right, in degrees.
  float YawForMotion(int dx)
  {
    Frames(2);
    const float before = Camera()->yaw;
    MoveMouse(dx, 0);
    Frames(3);
    return Camera()->yaw - before;
  }
  fs::path folder;
};

}  // namespace

TEST_F(OptionsRoute, MusicSliderIsHeardWhileItMovesAndTheFileKeepsItsComment)
{
  DrawEvery(kRouteDrawInterval);
  Click();
  Frames(7);
  ClickButton("res/game/sprite/options.png");
  ASSERT_TRUE(WaitFor([&] { return Page() && Page()->IsOpen(); }, 5, "the options page"));
  IDirectSoundBuffer8* music = Title()->bgm->buffer;
  ASSERT_NE(music, nullptr);
  const float fullGain = DirectSoundBufferGain(music);
  ASSERT_GT(fullGain, 0.0f);

  // Grab the music slider at its right end and drag it to 40 % with the button held.
  const int row = RowOf(OptionSetting::MusicVolume);
  float left = 0.0f;
  float width = 0.0f;
  Page()->SliderTrack(row, &left, &width);
  float x = 0.0f;
  float y = 0.0f;
  Page()->ValueCentre(row, 0, &x, &y);
  PointAt(left + width, y);
  Frames(1);
  Win32TestMouseButton(VK_LBUTTON, true);
  Frames(2);
  float heardAtHalf = -1.0f;
  for (int step = 1; step <= 6; ++step) {
    PointAt(left + width * (1.0f - 0.1f * step), y);
    Frames(2);
    if (step == 5) heardAtHalf = DirectSoundBufferGain(music);
  }
  EXPECT_EQ(RunSettings().musicVolume, 40);
  EXPECT_NEAR(heardAtHalf, fullGain * 0.5f, 0.01f) << "the playing music is quieter before the button is let go";
  EXPECT_NEAR(DirectSoundBufferGain(music), fullGain * 0.4f, 0.01f);
  EXPECT_EQ(FileText(), handWritten) << "nothing is written while the slider is held";
  Win32TestMouseButton(VK_LBUTTON, false);
  Frames(2);
  EXPECT_EQ(FileText(), "# my own note: the music is loud on this machine\r\nmusic_volume = 40\r\n");

  // Escape leaves the page for the title's menu; it asks nothing about quitting.
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(Page()->IsOpen());
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "the Escape that left the page asked to quit";
  ASSERT_NE(Title(), nullptr);
  EXPECT_EQ(Title()->titleState, 1);
}

TEST_F(OptionsRoute, SensitivityAndBlueOnAKeyChangedInThePausePullStageTwosBlock)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(2));
  const float turnAtOne = YawForMotion(90);
  ASSERT_GT(std::fabs(turnAtOne), 5.0f);

  // Look sensitivity 1.0 -> 2.0 with the arrows; blue's first place onto J.
  ASSERT_TRUE(OpenPageFromPause());
  for (int row = 0; row < RowOf(OptionSetting::Sensitivity); ++row) PressKey(VK_DOWN);
  for (int notch = 0; notch < 10; ++notch) PressKey(VK_RIGHT);
  EXPECT_NEAR(RunSettings().mouseSensitivity, 2.0f, 1e-4f);
  float x = 0.0f;
  float y = 0.0f;
  Page()->ValueCentre(RowOf(OptionSetting::Binding, GameAction::Blue), 0, &x, &y);
  PointAt(x, y);
  Frames(1);
  Click();
  Frames(2);
  ASSERT_TRUE(Page()->waiting);
  PressKey('J');
  EXPECT_FALSE(Page()->waiting);
  EXPECT_EQ(FormatBinding(RunSettings().bindings.Of(GameAction::Blue)), "J, E");
  PressKey(VK_ESCAPE);
  ASSERT_FALSE(Page()->IsOpen());
  EXPECT_EQ(Game()->escapeOpen, 0) << "the Escape that left the page opened the stage's question";
  EXPECT_NE(Game()->paused, 0) << "back on the pause menu";
  PressKey(VK_SPACE);
  ASSERT_EQ(Game()->paused, 0);
  const std::string file = FileText();
  EXPECT_EQ(file.rfind("# my own note: the music is loud on this machine\r\nmusic_volume = 100\r\n", 0), 0u) << file;
  EXPECT_NE(file.find("mouse_sensitivity = 2\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("blue = J, E\r\n"), std::string::npos) << file;

  // The same motion turns the camera twice as far (the camera turns in whole degrees).
  EXPECT_NEAR(YawForMotion(90), 2.0f * turnAtOne, 1.5f);
  EXPECT_NEAR(YawForMotion(-90), -2.0f * turnAtOne, 1.5f);

  // The route's aiming is made for the sensitivity as shipped: back to 1.0 on the page.
  ASSERT_TRUE(OpenPageFromPause());
  for (int row = 0; row < RowOf(OptionSetting::Sensitivity); ++row) PressKey(VK_DOWN);
  for (int notch = 0; notch < 10; ++notch) PressKey(VK_LEFT);
  EXPECT_NEAR(RunSettings().mouseSensitivity, 1.0f, 1e-4f);
  PressKey(VK_ESCAPE);
  PressKey(VK_SPACE);
  ASSERT_EQ(Game()->paused, 0);

  // To the block; the left button no longer casts, J does.
  const auto button = Nearest("CGameButton", 2.0f, 18.0f);
  ASSERT_TRUE(WalkTo(0.0f, 11.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(1.5f, 15.3f, 0.2f, 300));
  const auto block = Nearest("CGameMetalBlock", button->world._41, button->world._43 + 3.0f);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(LookAt(D3DXVECTOR3(block->world._41, 1.5f, block->world._43)));
  Win32TestMouseButton(VK_LBUTTON, true);
  Frames(120);
  Win32TestMouseButton(VK_LBUTTON, false);
  EXPECT_EQ(block->magicColour, 0) << "the mouse button gave up blue to J";
  EXPECT_EQ(button->switchOn, 0);
  Frames(30);
  Key('J', true);
  const bool pulled = WaitFor([&] { return button->switchOn != 0; }, 400, "J pulling the block onto the button");
  Key('J', false);
  EXPECT_TRUE(pulled);
}

TEST_F(OptionsRoute, MagicAndColourSymbolsChosenOnThePageAreWrittenAndFeltAtOnce)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(2));
  ASSERT_FALSE(RunSettings().magicToggle);
  ASSERT_FALSE(RunSettings().colourSymbols);

  // Magic by the mouse, on its value; colour symbols by the arrows.
  ASSERT_TRUE(OpenPageFromPause());
  float x = 0.0f;
  float y = 0.0f;
  Page()->ValueCentre(RowOf(OptionSetting::MagicToggle), 0, &x, &y);
  PointAt(x, y);
  Frames(1);
  Click();
  Frames(2);
  EXPECT_TRUE(RunSettings().magicToggle);
  EXPECT_FALSE(RunSettings().colourSymbols) << "one click, one switch";
  EXPECT_NE(FileText().find("magic_toggle = yes\r\n"), std::string::npos) << FileText();
  PointAt(20, 20);  // off the rows, so the pointer does not choose again
  Frames(2);
  const int symbolsRow = RowOf(OptionSetting::ColourSymbols);
  while (Page()->selectedRow < symbolsRow) PressKey(VK_DOWN);
  ASSERT_EQ(Page()->selectedRow, symbolsRow);
  PressKey(VK_RIGHT);
  EXPECT_TRUE(RunSettings().colourSymbols);
  EXPECT_TRUE(RunSettings().magicToggle);
  PressKey(VK_ESCAPE);
  ASSERT_FALSE(Page()->IsOpen());
  const std::string file = FileText();
  EXPECT_EQ(file.rfind(handWritten, 0), 0u) << "the player's lines first, untouched: " << file;
  EXPECT_NE(file.find("magic_toggle = yes\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("colour_symbols = yes\r\n"), std::string::npos) << file;

  // Back in the stage, a click shorter than a frame starts blue and it stays on.
  PressKey(VK_SPACE);
  ASSERT_EQ(Game()->paused, 0);
  Frames(2);
  Win32TestMouseButton(VK_LBUTTON, true);
  Win32TestMouseButton(VK_LBUTTON, false);
  Frames(24);
  const auto magic = std::static_pointer_cast<CPlayerMagicState>(Player()->GetMagicState().lock());
  ASSERT_NE(magic, nullptr);
  EXPECT_EQ(magic->blueCasting, 1) << "toggled magic in force without leaving the stage";
  Win32TestMouseButton(VK_LBUTTON, true);
  Win32TestMouseButton(VK_LBUTTON, false);
  Frames(2);
  EXPECT_EQ(magic->blueCasting, 0);
}

TEST_F(OptionsRoute, KeyTapsShorterThanAFrameMoveAndLeaveThePage)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(2));
  ASSERT_TRUE(OpenPageFromPause());
  PointAt(20, 20);
  Frames(3);
  const int row = Page()->selectedRow;
  Key(VK_DOWN, true);
  Key(VK_DOWN, false);
  Frames(2);
  EXPECT_EQ(Page()->selectedRow, row + 1) << "one tap, one row";
  Key(VK_ESCAPE, true);
  Key(VK_ESCAPE, false);
  Frames(3);
  EXPECT_FALSE(Page()->IsOpen()) << "the tap left the page";
  EXPECT_EQ(Game()->escapeOpen, 0) << "the same tap asked to leave the stage";
  EXPECT_NE(Game()->paused, 0) << "back on the pause menu";
}

TEST_F(OptionsRoute, TheKeyboardsBothColoursKeySwingsStageFivesRotationDoor)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(StartSavedStage(5));
  const auto door = NearestAs<CGameRotationDoor>("CGameRotationDoor", 0.0f, 12.5f);
  ASSERT_NE(door, nullptr);
  ASSERT_TRUE(WalkTo(0.0f, 5.0f, 0.3f, 300));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(door->world._41, door->world._42 + 2.5f, door->world._43)));
  Key('F', true);
  const bool swung = WaitFor([&] { return door->angle <= -89.0f; }, 400, "F swinging the door open");
  Key('F', false);
  EXPECT_TRUE(swung);
}

// A virtual pad plugged in for the route, unplugged by it or at the end.
class OptionsPadRoute : public OptionsRoute {
protected:
  void SetUp() override
  {
    OptionsRoute::SetUp();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    pad = AttachVirtualPad("Options pad", &deviceIndex);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    Frames(1);
    ASSERT_EQ(Win32GamepadCount(), 1);
  }
  void TearDown() override
  {
    Unplug();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    OptionsRoute::TearDown();
  }
  // Down for two frames, up for two.
  void Press(SDL_GameControllerButton button)
  {
    SDL_JoystickSetVirtualButton(pad, button, 1);
    Frames(2);
    SDL_JoystickSetVirtualButton(pad, button, 0);
    Frames(2);
  }
  // The pad goes away, as pulling its cable would.
  void Unplug()
  {
    if (pad) SDL_JoystickClose(pad);
    if (deviceIndex >= 0) SDL_JoystickDetachVirtual(deviceIndex);
    pad = nullptr;
    deviceIndex = -1;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  }
  SDL_Joystick* pad = nullptr;
  int deviceIndex = -1;
};

TEST_F(OptionsPadRoute, PauseBoundToAPadButtonWithThePadFallsBackToSpaceWhenUnplugged)
{
  DrawEvery(kRouteDrawInterval);
  Click();
  Frames(7);
  ClickButton("res/game/sprite/options.png");
  ASSERT_TRUE(WaitFor([&] { return Page() && Page()->IsOpen(); }, 5, "the options page"));
  PointAt(20, 20);  // the pointer off the rows: A chooses what the D-pad selected
  Frames(2);
  const int pauseRow = RowOf(OptionSetting::Binding, GameAction::Pause);
  for (int row = 0; row < pauseRow; ++row) Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  ASSERT_EQ(Page()->selectedRow, pauseRow);
  Press(SDL_CONTROLLER_BUTTON_A);
  ASSERT_TRUE(Page()->waiting);
  Press(SDL_CONTROLLER_BUTTON_X);
  EXPECT_FALSE(Page()->waiting);
  EXPECT_EQ(FormatBinding(RunSettings().bindings.Of(GameAction::Pause)), "pad_x");
  Press(SDL_CONTROLLER_BUTTON_B);
  EXPECT_FALSE(Page()->IsOpen());
  EXPECT_NE(FileText().find("pause = pad_x\r\n"), std::string::npos) << FileText();

  // With the pad in, Space pauses no more and X does; unplugged, Space is back.
  Key(VK_SPACE, true);
  Frames(1);
  EXPECT_FALSE(ActionHeld(RunSettings().bindings, GameAction::Pause));
  Key(VK_SPACE, false);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 1);
  Frames(1);
  EXPECT_TRUE(ActionHeld(RunSettings().bindings, GameAction::Pause));
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 0);
  Unplug();
  Frames(2);
  ASSERT_EQ(Win32GamepadCount(), 0);
  Key(VK_SPACE, true);
  Frames(1);
  EXPECT_TRUE(ActionHeld(RunSettings().bindings, GameAction::Pause)) << "keyboard and mouse take over";
  Key(VK_SPACE, false);
}
