// Audio content: turns the sound parameter sets (content/sounds/*.sfx) and the music
// scores (content/music/*.score) into the WAV files under res/sound/.
#pragma once

#include <string>

namespace contentgen {

// Writes every sound effect and piece of music from contentDir into resDir/sound/.
// Returns false with a message naming the source file (and line) and the problem when
// a source is wrong or a file cannot be written.
bool GenerateAudio(const std::string& contentDir, const std::string& resDir, std::string* error);

}  // namespace contentgen
