// Audio content: every content/sounds/NAME.sfx becomes res/sound/NAME.wav (mono, for
// positioned play) and every content/music/NAME.score becomes res/sound/NAME.wav (a
// stereo loop). Nothing is written unless every source is good, and then only the files
// whose bytes change.
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
std::vector<fs::path> SourcesIn(const fs::path& dir, const std::string& extension)
{
  std::vector<fs::path> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.is_regular_file() && entry.path().extension() == extension) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The whole file as text; false with a message when it cannot be read.
bool ReadText(const fs::path& path, std::string* text, std::string* error)
{
  std::vector<uint8_t> bytes;
  if (!ReadFile(path.string(), &bytes)) {
    *error = path.string() + ": cannot be read";
    return false;
  }
  text->assign(bytes.begin(), bytes.end());
  return true;
}

// A parsed source waiting to be rendered.
struct SoundJob {
  std::string source;
  fs::path target;
  audio::Sfx sfx;
};
struct MusicJob {
  fs::path target;
  audio::Score score;
  std::vector<uint8_t> bytes;
};

// Reads and parses every effect file.
bool ParseSounds(const fs::path& dir, const fs::path& outDir, std::vector<SoundJob>* jobs, std::string* error)
{
  for (const fs::path& source : SourcesIn(dir, ".sfx")) {
    std::string text;
    if (!ReadText(source, &text, error)) return false;
    SoundJob job;
    job.source = source.string();
    job.target = outDir / (source.stem().string() + ".wav");
    if (!audio::ParseSfx(text, source.string(), &job.sfx, error)) return false;
    jobs->push_back(job);
  }
  return true;
}

// Reads and parses every score.
bool ParseMusic(const fs::path& dir, const fs::path& outDir, std::vector<MusicJob>* jobs, std::string* error)
{
  for (const fs::path& source : SourcesIn(dir, ".score")) {
    std::string text;
    if (!ReadText(source, &text, error)) return false;
    MusicJob job;
    job.target = outDir / (source.stem().string() + ".wav");
    if (!audio::ParseScore(text, source.string(), &job.score, error)) return false;
    jobs->push_back(job);
  }
  return true;
}

}  // namespace

// Parses every source first, so a mistake stops the run before anything is rendered or
// written; then renders (each piece of music on its own thread, since they take most of
// the time and share nothing) and writes the files from this thread.
bool GenerateAudio(const std::string& contentDir, const std::string& resDir, std::string* error)
{
  const fs::path soundDir = fs::path(contentDir) / "sounds";
  const fs::path musicDir = fs::path(contentDir) / "music";
  const fs::path outDir = fs::path(resDir) / "sound";
  for (const fs::path& dir : {soundDir, musicDir}) {
    if (!fs::is_directory(dir)) {
      *error = dir.string() + ": missing (the sound and music sources live there)";
      return false;
    }
  }
  std::vector<SoundJob> sounds;
  std::vector<MusicJob> music;
  if (!ParseSounds(soundDir, outDir, &sounds, error) || !ParseMusic(musicDir, outDir, &music, error)) return false;

  std::vector<std::vector<uint8_t>> soundBytes;
  for (const SoundJob& job : sounds) {
    const std::vector<float> samples = audio::RenderSfx(job.sfx);
    if (samples.empty()) {
      *error = job.source + ": the sound renders to nothing";
      return false;
    }
    soundBytes.push_back(audio::EncodeWav16(samples, 1, job.sfx.rate));
  }
  std::vector<std::thread> workers;
  for (MusicJob& job : music) {
    workers.emplace_back([&job] { job.bytes = audio::EncodeWav16(audio::RenderScore(job.score), 2, job.score.rate); });
  }
  for (std::thread& worker : workers) worker.join();

  for (size_t i = 0; i < sounds.size(); ++i) {
    if (!WriteFileAtomic(sounds[i].target.string(), soundBytes[i], error)) return false;
  }
  for (const MusicJob& job : music) {
    if (!WriteFileAtomic(job.target.string(), job.bytes, error)) return false;
  }
  return true;
}

}  // namespace contentgen
