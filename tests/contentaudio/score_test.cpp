// Score parser: notes land on the right beats with the right lengths and pitches, and
// every mistake is reported with the file and the line it is on.
#include <gtest/gtest.h>

#include "audio/score.h"

using namespace contentgen::audio;

namespace {

const char* kHeader = "tempo 120\nmeter 4\ninstrument i\n  wave = triangle\nend\n";  // 5 lines

// Parses kHeader + body, expecting success.
Score Parse(const std::string& body)
{
  Score score;
  std::string error;
  EXPECT_TRUE(ParseScore(kHeader + body, "m.score", &score, &error)) << error;
  return score;
}

// Parses text, expecting failure; returns the message.
std::string ParseError(const std::string& text)
{
  Score score;
  std::string error;
  EXPECT_FALSE(ParseScore(text, "content/music/m.score", &score, &error)) << text;
  return error;
}

TEST(ScoreParser, NotesTakeStickyOctavesAndLengths)
{
  const Score s = Parse("voice v i\n  c4:2 e g:1/2 a b5\nend\n");
  ASSERT_EQ(s.voices.size(), 1u);
  const auto& n = s.voices[0].notes;
  ASSERT_EQ(n.size(), 5u);
  EXPECT_EQ(n[0].midi, 60);
  EXPECT_DOUBLE_EQ(n[0].length, 2.0);
  EXPECT_EQ(n[1].midi, 64);
  EXPECT_DOUBLE_EQ(n[1].beat, 2.0);
  EXPECT_DOUBLE_EQ(n[1].length, 2.0);
  EXPECT_EQ(n[2].midi, 67);
  EXPECT_DOUBLE_EQ(n[2].beat, 4.0);
  EXPECT_DOUBLE_EQ(n[3].length, 0.5);
  EXPECT_EQ(n[4].midi, 83);
  EXPECT_DOUBLE_EQ(n[4].beat, 5.0);
  EXPECT_DOUBLE_EQ(s.loopBeats, 8.0);  // 5.5 beats rounded up to two bars
  EXPECT_DOUBLE_EQ(LoopSeconds(s), 4.0);
}

TEST(ScoreParser, ChordsRestsVelocityAndTranspose)
{
  const Score s = Parse("voice v i\n  c4+e4+g4:1 r:2 v50 t-12 c5:1 |\nend\n");
  const auto& n = s.voices[0].notes;
  ASSERT_EQ(n.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(n[i].beat, 0.0);
  EXPECT_EQ(n[1].midi, 64);
  EXPECT_DOUBLE_EQ(n[3].beat, 3.0);
  EXPECT_EQ(n[3].midi, 60);
  EXPECT_FLOAT_EQ(n[3].velocity, 0.5f);
  EXPECT_FLOAT_EQ(n[0].velocity, 1.0f);
}

TEST(ScoreParser, PatternsAndRepeatsExpand)
{
  const Score s = Parse("pattern p\n  c4:1 d4\nend\nvoice v i\n  ( @p ( e4:1/2 )x2 )x4 | t2 @p r:2 |\nend\n");
  const auto& n = s.voices[0].notes;
  // Four times (c d e e), then (c d) transposed up a tone.
  ASSERT_EQ(n.size(), 18u);
  EXPECT_EQ(n[4].midi, 60);
  EXPECT_DOUBLE_EQ(n[4].beat, 3.0);
  EXPECT_EQ(n[16].midi, 62);
  EXPECT_DOUBLE_EQ(n[16].beat, 12.0);
  EXPECT_EQ(n[17].midi, 64);
  EXPECT_DOUBLE_EQ(s.loopBeats, 16.0);
}

TEST(ScoreParser, VoiceOptionsAndGlobalSettings)
{
  Score score;
  std::string error;
  const std::string text = std::string(kHeader) +
                           "reverb 0.5 0.3 0.2\necho 0.5 0.4 0.1\nmaster 0.7\nrate 22050\n"
                           "voice v i gain=0.5 pan=-0.5 reverb=0.3 echo=0.2 legato=0.8 humanize=0.1\n  c4:4 |\nend\n";
  ASSERT_TRUE(ParseScore(text, "m.score", &score, &error)) << error;
  EXPECT_EQ(score.rate, 22050);
  EXPECT_FLOAT_EQ(score.master, 0.7f);
  EXPECT_FLOAT_EQ(score.reverbSize, 0.3f);
  EXPECT_FLOAT_EQ(score.echoBeats, 0.5f);
  EXPECT_FLOAT_EQ(score.voices[0].pan, -0.5f);
  EXPECT_FLOAT_EQ(score.voices[0].legato, 0.8f);
  EXPECT_EQ(score.instruments[0].wave, Wave::Triangle);
}

TEST(ScoreParser, LinesOfOtherBlanksAreEmpty)
{
  // Found by fuzzing: a line holding only a vertical tab once read past an empty list.
  const Score s = Parse("\v\nvoice v i\n \f \n  c4:4 |\r\n\v\nend\n");
  ASSERT_EQ(s.voices.size(), 1u);
  EXPECT_EQ(s.voices[0].notes.size(), 1u);
}

TEST(ScoreParser, MistakesNameFileAndLine)
{
  const std::string h = kHeader;
  const std::string f = "content/music/m.score:";
  EXPECT_EQ(ParseError("tempo 120\nvoice v nope\nend\n"),
            f + "2: unknown instrument 'nope' (define it above the voice)");
  EXPECT_EQ(ParseError("tempo fast\n"), f + "1: 'tempo' needs beats per minute (20..400)");
  EXPECT_EQ(ParseError("tune 3\n"), f + "1: unknown statement 'tune'");
  EXPECT_EQ(ParseError("instrument i\n  wave = sine\n  foo = 1\nend\n"), f + "3: unknown key 'foo'");
  EXPECT_EQ(ParseError("instrument i\n  cutoff 100\nend\n"),
            f + "2: expected 'key = value' or 'end' in the instrument, got 'cutoff 100'");
  EXPECT_EQ(ParseError(h + "voice v i\n  c4 d4\n  h4\nend\n"), f + "8: 'h4' is not a note, chord or rest");
  EXPECT_EQ(ParseError(h + "voice v i\n  c4:3 |\nend\n"),
            f + "7: bar check: voice 'v' is 3.000000 beats into a bar here");
  EXPECT_EQ(ParseError(h + "voice v i\n  c4:0\nend\n"),
            f + "7: bad length in 'c4:0' (a number of beats or a fraction, up to 64)");
  EXPECT_EQ(ParseError(h + "voice v i\n  @missing\nend\n"), f + "7: unknown pattern 'missing'");
  EXPECT_EQ(ParseError(h + "voice v i\n  ( c4 d4\n  e4\nend\n"), f + "7: '(' without a closing ')xN'");
  EXPECT_EQ(ParseError(h + "voice v i\n  ( c4 )x0\nend\n"),
            f + "7: a group ends with ')xN', N a count 1..64, not ')x0'");
  EXPECT_EQ(ParseError(h + "voice v i\n  c4 )x2\nend\n"), f + "7: ')x2' without an opening '('");
  EXPECT_EQ(ParseError(h + "voice v i gain=9\n  c4\nend\n"), f + "6: voice option 'gain=9' is out of range");
  EXPECT_EQ(ParseError(h + "voice v i wet=1\n  c4\nend\n"), f + "6: unknown voice option 'wet'");
  EXPECT_EQ(ParseError(h + "voice v i\n  c4\n"), f + "6: block is not closed with 'end'");
  EXPECT_EQ(ParseError(h + "voice v i\n  t60 c4\nend\n"), f + "7: transpose 't60' must be t-48..t48");
  EXPECT_EQ(ParseError(h + "pattern p\n  c4 @p\nend\nvoice v i\n  @p\nend\n"),
            f + "7: patterns or repeats nest too deep (a pattern using itself?)");
  EXPECT_EQ(ParseError(h + "voice v i\n  ( ( ( ( c4:1/64 )x64 )x64 )x64 )x64\nend\n"),
            f + "7: the repeats expand to more than a million notes and marks");
  EXPECT_EQ(ParseError(h + "voice v i\n  ( r:64 )x10 c4\nend\n"),
            "content/music/m.score: the loop lasts 352 s, longer than the 240 s allowed");
  EXPECT_EQ(ParseError(h), "content/music/m.score: the score has no voice");
  EXPECT_EQ(ParseError(h + "voice v i\nend\n"), "content/music/m.score: the score has no notes");
}

}  // namespace
