// Audio content: every content/sounds/NAME.sfx becomes res/sound/NAME.wav (mono, for
// positioned play) and every content/music/NAME.score becomes res/sound/NAME.wav (a
// stereo loop). Files are written only when their bytes change.
#include "audio/audio_content.h"

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "audio/score.h"
#include "audio/sequencer.h"
#include "audio/sfx.h"
#include "audio/wav.h"
#include "core/output.h"

namespace contentgen {

namespace {

namespace fs = std::filesystem;

// The files in dir ending in extension, sorted by name so runs are repeatable.
std::vector<fs::path> SourcesIn(const fs::path& dir, const std::string& extension) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.is_regular_file() && entry.path().extension() == extension) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The whole file as text; false with a message when it cannot be read.
bool ReadText(const fs::path& path, std::string* text, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFile(path.string(), &bytes)) {
    *error = path.string() + ": cannot be read";
    return false;
  }
  text->assign(bytes.begin(), bytes.end());
  return true;
}

// One sound effect: parse, render, write.
bool MakeSound(const fs::path& source, const fs::path& outDir, std::string* error) {
  std::string text;
  if (!ReadText(source, &text, error)) return false;
  audio::Sfx sfx;
  if (!audio::ParseSfx(text, source.string(), &sfx, error)) return false;
  const std::vector<float> samples = audio::RenderSfx(sfx);
  if (samples.empty()) {
    *error = source.string() + ": the sound renders to silence";
    return false;
  }
  const fs::path target = outDir / (source.stem().string() + ".wav");
  return WriteFileAtomic(target.string(), audio::EncodeWav16(samples, 1, sfx.rate), error);
}

// One piece of music: parse and render the loop into WAV bytes (written by the caller,
// since file writing is kept on one thread).
bool RenderMusic(const fs::path& source, std::vector<uint8_t>* bytes, std::string* error) {
  std::string text;
  if (!ReadText(source, &text, error)) return false;
  audio::Score score;
  if (!audio::ParseScore(text, source.string(), &score, error)) return false;
  *bytes = audio::EncodeWav16(audio::RenderScore(score), 2, score.rate);
  return true;
}

}  // namespace

// Effects first (quick), then the pieces of music, each on its own thread since they
// take most of the time and share nothing.
bool GenerateAudio(const std::string& contentDir, const std::string& resDir, std::string* error) {
  const fs::path soundDir = fs::path(contentDir) / "sounds";
  const fs::path musicDir = fs::path(contentDir) / "music";
  const fs::path outDir = fs::path(resDir) / "sound";
  for (const fs::path& dir : {soundDir, musicDir}) {
    if (!fs::is_directory(dir)) {
      *error = dir.string() + ": missing (the sound and music sources live there)";
      return false;
    }
  }
  for (const fs::path& source : SourcesIn(soundDir, ".sfx")) {
    if (!MakeSound(source, outDir, error)) return false;
  }
  const std::vector<fs::path> scores = SourcesIn(musicDir, ".score");
  std::vector<std::vector<uint8_t>> files(scores.size());
  std::vector<std::string> errors(scores.size());
  std::vector<char> rendered(scores.size(), 0);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < scores.size(); ++i) {
    workers.emplace_back([&, i] { rendered[i] = RenderMusic(scores[i], &files[i], &errors[i]) ? 1 : 0; });
  }
  for (std::thread& worker : workers) worker.join();
  for (size_t i = 0; i < scores.size(); ++i) {
    if (!rendered[i]) {
      *error = errors[i];
      return false;
    }
    const fs::path target = outDir / (scores[i].stem().string() + ".wav");
    if (!WriteFileAtomic(target.string(), files[i], error)) return false;
  }
  return true;
}

}  // namespace contentgen
