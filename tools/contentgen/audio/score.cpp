// Score parser.
//
// A score is a text file of statements, one per line; a '#' at the start of a word
// starts a comment (a sharp inside a note name does not).
//
//   tempo 104                   quarter-note beats per minute
//   meter 4                     beats per bar ('|' in the notes checks bar lines)
//   rate 44100                  sample rate of the output (22050 or 44100)
//   master 0.8                  peak level of the finished loop
//   reverb 0.3 0.6 0.4          reverb return level, size 0..1, damping 0..1
//   echo 0.75 0.35 0.3          echo time in beats, feedback, damping
//
//   instrument NAME             a synthesizer patch: `key = value` lines (see patch.h)
//     wave = triangle
//   end
//
//   pattern NAME                a named run of notes, used in voices as @NAME
//     c5 e g c6:2 |
//   end
//
//   voice NAME INSTRUMENT gain=0.5 pan=-0.3 reverb=0.4 echo=0.2 legato=0.9 humanize=0.05
//     @intro (@verse)x2 c4+e4+g4:4 |
//   end
//
// Note tokens (blank-separated, any number per line):
//   c4  f#3  eb5   a note: letter a-g, optional # or b, octave 0-8. The octave may be
//                  left out and then is the last one written in this voice.
//   e:2  g5:1/2    a length in beats after ':' (a number or a fraction); it stays in
//                  force for the following notes until another is given. Starts at 1.
//   c4+e4+g4:4     a chord: notes sounding together.
//   r  r:2         a rest.
//   v80            velocity in percent for the notes that follow (starts at 100).
//   t-5  t+7  t0   transpose the notes that follow by semitones (for reusing patterns).
//   @NAME          the notes of a pattern (which may use other patterns).
//   ( ... )x3      the group, three times.
//   |              bar check: fails unless the voice is at a bar line.
//
// Every voice plays from the top of the loop; the loop is as long as the longest voice,
// rounded up to whole bars. The sequencer renders it so that it repeats seamlessly.
#include "audio/score.h"

#include <cmath>
#include <map>

#include "audio/text.h"

namespace contentgen::audio {

namespace {

struct Token {
  std::string text;
  int line = 0;
};

// The running state while a voice's tokens are turned into notes.
struct Cursor {
  double beat = 0.0;
  double length = 1.0;
  int octave = 4;
  int transpose = 0;
  float velocity = 1.0f;
};

class CScoreParser {
public:
  CScoreParser(const std::string& fileName, Score* score) : fileName(fileName), score(score) {}
  // Reads every statement, then expands the voices.
  bool Parse(const std::string& text, std::string* error);

private:
  struct VoiceSource {
    Voice voice;
    std::vector<Token> tokens;
    int line = 0;
  };
  enum class Block { None, Instrument, Pattern, Voice };

  // Fills error with "file:line: message" and returns false.
  bool Fail(int line, const std::string& message, std::string* error) const
  {
    *error = AtLine(fileName, line, message);
    return false;
  }
  // A top-level statement.
  bool Statement(const std::vector<std::string>& words, int line, std::string* error);
  // `voice` header options.
  bool VoiceHeader(const std::vector<std::string>& words, int line, std::string* error);
  // Turns tokens [begin, end) into notes.
  bool Expand(const std::vector<Token>& tokens, size_t begin, size_t end, int depth, Cursor* cursor, Voice* voice,
              std::string* error);
  // One note, chord or rest token.
  bool NoteToken(const Token& token, Cursor* cursor, Voice* voice, std::string* error);

  std::string fileName;
  Score* score;
  Block block = Block::None;
  int blockLine = 0;
  std::string patternName;
  std::map<std::string, std::vector<Token>> patterns;
  std::vector<VoiceSource> voices;
  long expandedTokens = 0;  // guards against repeats that would expand without end
};

// Upper limits that keep a mistaken score from running away with time or memory.
constexpr long kMaxExpandedTokens = 1000000;
constexpr double kMaxLoopSeconds = 240.0;

// Parses a length: "2", "0.5", "3/2".
bool ParseLength(const std::string& text, double* beats)
{
  const size_t slash = text.find('/');
  double a = 0.0, b = 1.0;
  if (slash == std::string::npos) {
    if (!ParseNumber(text, &a)) return false;
  } else if (!ParseNumber(text.substr(0, slash), &a) || !ParseNumber(text.substr(slash + 1), &b) || b <= 0.0) {
    return false;
  }
  *beats = a / b;
  return *beats > 0.0 && *beats <= 64.0;
}

// Reads exactly count numbers after the statement word.
bool ReadNumbers(const std::vector<std::string>& words, size_t count, double* out)
{
  if (words.size() != count + 1) return false;
  for (size_t i = 0; i < count; ++i) {
    if (!ParseNumber(words[i + 1], &out[i])) return false;
  }
  return true;
}

// tempo, meter, rate, master, reverb, echo, and the heads of the three kinds of block.
bool CScoreParser::Statement(const std::vector<std::string>& w, int line, std::string* error)
{
  const std::string& head = w[0];
  double v[3] = {0, 0, 0};
  if (head == "tempo") {
    if (!ReadNumbers(w, 1, v) || v[0] < 20 || v[0] > 400)
      return Fail(line, "'tempo' needs beats per minute (20..400)", error);
    score->tempo = v[0];
  } else if (head == "meter") {
    if (!ReadNumbers(w, 1, v) || v[0] < 1 || v[0] > 16 || v[0] != std::floor(v[0]))
      return Fail(line, "'meter' needs beats per bar (1..16)", error);
    score->meter = static_cast<int>(v[0]);
  } else if (head == "rate") {
    if (!ReadNumbers(w, 1, v) || (v[0] != 44100 && v[0] != 22050))
      return Fail(line, "'rate' must be 44100 or 22050", error);
    score->rate = static_cast<int>(v[0]);
  } else if (head == "master") {
    if (!ReadNumbers(w, 1, v) || v[0] <= 0 || v[0] > 1) return Fail(line, "'master' needs a peak level (0..1]", error);
    score->master = static_cast<float>(v[0]);
  } else if (head == "reverb") {
    if (!ReadNumbers(w, 3, v) || v[0] < 0 || v[0] > 2 || v[1] < 0 || v[1] > 1 || v[2] < 0 || v[2] > 0.95)
      return Fail(line, "'reverb' needs level (0..2), size (0..1) and damping (0..0.95)", error);
    score->reverbLevel = static_cast<float>(v[0]);
    score->reverbSize = static_cast<float>(v[1]);
    score->reverbDamping = static_cast<float>(v[2]);
  } else if (head == "echo") {
    if (!ReadNumbers(w, 3, v) || v[0] <= 0 || v[0] > 8 || v[1] < 0 || v[1] > 0.9 || v[2] < 0 || v[2] > 0.95)
      return Fail(line, "'echo' needs time in beats (0..8], feedback (0..0.9) and damping (0..0.95)", error);
    score->echoBeats = static_cast<float>(v[0]);
    score->echoFeedback = static_cast<float>(v[1]);
    score->echoDamping = static_cast<float>(v[2]);
  } else if (head == "instrument") {
    if (w.size() != 2) return Fail(line, "'instrument' needs one name", error);
    for (const std::string& n : score->instrumentNames) {
      if (n == w[1]) return Fail(line, "instrument '" + w[1] + "' is defined twice", error);
    }
    score->instrumentNames.push_back(w[1]);
    Patch patch;
    patch.seed = static_cast<uint32_t>(score->instruments.size() * 7727u + 3u);
    score->instruments.push_back(patch);
    block = Block::Instrument;
  } else if (head == "pattern") {
    if (w.size() != 2) return Fail(line, "'pattern' needs one name", error);
    if (patterns.count(w[1])) return Fail(line, "pattern '" + w[1] + "' is defined twice", error);
    patternName = w[1];
    patterns[patternName];
    block = Block::Pattern;
  } else if (head == "voice") {
    if (!VoiceHeader(w, line, error)) return false;
    block = Block::Voice;
  } else {
    return Fail(line, "unknown statement '" + head + "'", error);
  }
  blockLine = line;
  return true;
}

// "voice NAME INSTRUMENT key=value ...": the instrument must already be defined.
bool CScoreParser::VoiceHeader(const std::vector<std::string>& w, int line, std::string* error)
{
  if (w.size() < 3) return Fail(line, "'voice' needs a name and an instrument", error);
  VoiceSource src;
  src.line = line;
  src.voice.name = w[1];
  src.voice.instrument = -1;
  for (size_t i = 0; i < score->instrumentNames.size(); ++i) {
    if (score->instrumentNames[i] == w[2]) src.voice.instrument = static_cast<int>(i);
  }
  if (src.voice.instrument < 0)
    return Fail(line, "unknown instrument '" + w[2] + "' (define it above the voice)", error);
  for (size_t i = 3; i < w.size(); ++i) {
    const size_t eq = w[i].find('=');
    double v = 0.0;
    if (eq == std::string::npos || !ParseNumber(w[i].substr(eq + 1), &v))
      return Fail(line, "voice option '" + w[i] + "' is not key=number", error);
    const std::string key = w[i].substr(0, eq);
    struct Option {
      const char* name;
      float* target;
      double lo, hi;
    };
    const Option options[] = {
        {"gain", &src.voice.gain, 0.0, 4.0},      {"pan", &src.voice.pan, -1.0, 1.0},
        {"reverb", &src.voice.reverb, 0.0, 2.0},  {"echo", &src.voice.echo, 0.0, 2.0},
        {"legato", &src.voice.legato, 0.05, 1.5}, {"humanize", &src.voice.humanize, 0.0, 0.5},
    };
    const Option* option = nullptr;
    for (const Option& o : options) {
      if (key == o.name) option = &o;
    }
    if (!option) return Fail(line, "unknown voice option '" + key + "'", error);
    if (v < option->lo || v > option->hi) return Fail(line, "voice option '" + w[i] + "' is out of range", error);
    float* target = option->target;
    *target = static_cast<float>(v);
  }
  voices.push_back(src);
  return true;
}

// A note, a chord, or a rest, with an optional ":length".
bool CScoreParser::NoteToken(const Token& token, Cursor* cursor, Voice* voice, std::string* error)
{
  const std::string& t = token.text;
  const size_t colon = t.find(':');
  const std::string pitches = t.substr(0, colon);
  if (colon != std::string::npos && !ParseLength(t.substr(colon + 1), &cursor->length))
    return Fail(token.line, "bad length in '" + t + "' (a number of beats or a fraction, up to 64)", error);
  if (pitches == "r") {
    cursor->beat += cursor->length;
    return true;
  }
  size_t start = 0;
  while (start <= pitches.size()) {
    const size_t plus = pitches.find('+', start);
    const std::string name = pitches.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    int midi = 0;
    if (!ParseNoteName(name, &cursor->octave, &midi))
      return Fail(token.line, "'" + t + "' is not a note, chord or rest", error);
    NoteEvent e;
    e.beat = cursor->beat;
    e.length = cursor->length;
    e.midi = midi + cursor->transpose;
    e.velocity = cursor->velocity;
    if (e.midi < 12 || e.midi > 120) return Fail(token.line, "'" + t + "' is transposed out of range", error);
    voice->notes.push_back(e);
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  cursor->beat += cursor->length;
  return true;
}

// Walks the tokens; groups and patterns recurse, so their depth is limited.
bool CScoreParser::Expand(const std::vector<Token>& tokens, size_t begin, size_t end, int depth, Cursor* cursor,
                          Voice* voice, std::string* error)
{
  if (depth > 16) return Fail(tokens[begin].line, "patterns or repeats nest too deep (a pattern using itself?)", error);
  for (size_t i = begin; i < end; ++i) {
    const Token& tok = tokens[i];
    const std::string& t = tok.text;
    if (++expandedTokens > kMaxExpandedTokens)
      return Fail(tok.line, "the repeats expand to more than a million notes and marks", error);
    if (t == "|") {
      const double bar = std::fmod(cursor->beat, score->meter);
      if (bar > 1e-6 && score->meter - bar > 1e-6)
        return Fail(tok.line,
                    "bar check: voice '" + voice->name + "' is " + std::to_string(bar) + " beats into a bar here",
                    error);
    } else if (t == "(") {
      int level = 1;
      size_t close = i + 1;
      for (; close < end; ++close) {
        if (tokens[close].text == "(") ++level;
        if (tokens[close].text.rfind(")", 0) == 0 && --level == 0) break;
      }
      if (close >= end) return Fail(tok.line, "'(' without a closing ')xN'", error);
      double times = 0.0;
      const std::string& closing = tokens[close].text;
      if (closing.size() < 3 || closing[1] != 'x' || !ParseNumber(closing.substr(2), &times) || times < 1 ||
          times > 64 || times != std::floor(times))
        return Fail(tokens[close].line, "a group ends with ')xN', N a count 1..64, not '" + closing + "'", error);
      for (int r = 0; r < static_cast<int>(times); ++r) {
        if (!Expand(tokens, i + 1, close, depth + 1, cursor, voice, error)) return false;
      }
      i = close;
    } else if (t[0] == ')') {
      return Fail(tok.line, "'" + t + "' without an opening '('", error);
    } else if (t[0] == '@') {
      const auto found = patterns.find(t.substr(1));
      if (found == patterns.end()) return Fail(tok.line, "unknown pattern '" + t.substr(1) + "'", error);
      if (!found->second.empty() && !Expand(found->second, 0, found->second.size(), depth + 1, cursor, voice, error))
        return false;
    } else if (t[0] == 'v' && t.size() > 1) {
      double v = 0.0;
      if (!ParseNumber(t.substr(1), &v) || v < 0 || v > 200)
        return Fail(tok.line, "velocity '" + t + "' must be v0..v200", error);
      cursor->velocity = static_cast<float>(v / 100.0);
    } else if (t[0] == 't' && t.size() > 1) {
      double v = 0.0;
      if (!ParseNumber(t.substr(1), &v) || std::fabs(v) > 48 || v != std::floor(v))
        return Fail(tok.line, "transpose '" + t + "' must be t-48..t48", error);
      cursor->transpose = static_cast<int>(v);
    } else if (!NoteToken(tok, cursor, voice, error)) {
      return false;
    }
  }
  return true;
}

// First pass: statements and blocks; second pass: voices expanded into notes.
bool CScoreParser::Parse(const std::string& text, std::string* error)
{
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i) + 1;
    const std::string line = StripComment(lines[i]);
    if (line.empty()) continue;
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty()) continue;
    if (block == Block::None) {
      if (!Statement(words, lineNo, error)) return false;
      continue;
    }
    if (words.size() == 1 && words[0] == "end") {
      block = Block::None;
      continue;
    }
    if (block == Block::Instrument) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos)
        return Fail(lineNo, "expected 'key = value' or 'end' in the instrument, got '" + line + "'", error);
      std::string problem;
      if (!SetPatchKey(&score->instruments.back(), StripComment(line.substr(0, eq)), StripComment(line.substr(eq + 1)),
                       &problem))
        return Fail(lineNo, problem, error);
      continue;
    }
    std::vector<Token>& target = block == Block::Pattern ? patterns[patternName] : voices.back().tokens;
    for (const std::string& w : words) target.push_back(Token{w, lineNo});
  }
  if (block != Block::None) return Fail(blockLine, "block is not closed with 'end'", error);
  if (voices.empty()) {
    *error = fileName + ": the score has no voice";
    return false;
  }
  for (VoiceSource& src : voices) {
    Cursor cursor;
    if (!src.tokens.empty() && !Expand(src.tokens, 0, src.tokens.size(), 0, &cursor, &src.voice, error)) return false;
    src.voice.lengthBeats = cursor.beat;
    score->loopBeats = std::max(score->loopBeats, cursor.beat);
    score->voices.push_back(src.voice);
  }
  if (score->loopBeats <= 0.0) {
    *error = fileName + ": the score has no notes";
    return false;
  }
  score->loopBeats = std::ceil(score->loopBeats / score->meter - 1e-9) * score->meter;
  if (LoopSeconds(*score) > kMaxLoopSeconds) {
    *error = fileName + ": the loop lasts " + std::to_string(static_cast<int>(LoopSeconds(*score))) +
             " s, longer than the " + std::to_string(static_cast<int>(kMaxLoopSeconds)) + " s allowed";
    return false;
  }
  return true;
}

}  // namespace

// Runs the two-pass parser.
bool ParseScore(const std::string& text, const std::string& fileName, Score* score, std::string* error)
{
  *score = Score();
  CScoreParser parser(fileName, score);
  return parser.Parse(text, error);
}

// Beats times seconds per beat.
double LoopSeconds(const Score& score)
{
  return score.loopBeats * 60.0 / score.tempo;
}

}  // namespace contentgen::audio
