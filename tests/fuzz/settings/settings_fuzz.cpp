// libFuzzer target for settings.ini: any bytes are read without a crash into settings
// that are all within their ranges (every action keeping an input with a name), and the
// line editor, asked to store changed settings into those bytes, gives a text that reads
// back to exactly the settings asked for.
#include "app/settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Whether every value is one the game accepts.
bool Sound(const Settings& settings)
{
  if (settings.musicVolume < 0 || settings.musicVolume > 100) return false;
  if (settings.effectsVolume < 0 || settings.effectsVolume > 100) return false;
  if (!(settings.mouseSensitivity >= 0.1f && settings.mouseSensitivity <= 10.0f)) return false;
  for (int action = 0; action < gameActionCount; ++action) {
    bool any = false;
    for (int slot = 0; slot < bindingSlots; ++slot) {
      const int input = settings.bindings.inputs[action][slot];
      if (input != 0 && InputName(input).empty()) return false;
      any = any || input != 0;
    }
    if (!any) return false;
  }
  return true;
}

}  // namespace

// One input: read, check, change a few values the way the options page does, store,
// read again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  Settings read;
  ParseSettings(text, &read, nullptr);
  if (!Sound(read)) std::abort();

  Settings wanted = read;
  const unsigned seed = size > 0 ? data[size - 1] : 0u;
  wanted.musicVolume = static_cast<int>(seed % 21) * 5;
  wanted.invertLook = (seed & 1) != 0 ? !read.invertLook : read.invertLook;
  wanted.pictureQuality = static_cast<PictureQuality>(seed % 3);
  BindInput(&wanted.bindings, static_cast<GameAction>(seed % gameActionCount), static_cast<int>(seed / 16 % 2),
            'A' + static_cast<int>(seed % 26));
  const std::string edited = UpdateSettingsText(text, wanted);
  Settings reread;
  ParseSettings(edited, &reread, nullptr);
  if (!(reread == wanted)) std::abort();
  return 0;
}
