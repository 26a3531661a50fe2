// Text set with stb_truetype: it lands inside its box in Latin and Japanese, it is
// aligned as asked, and a character the font lacks is an error, not a blank.
#include <gtest/gtest.h>

#include "image/font.h"

using namespace contentgen;

namespace {

class TextTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(font.Load(CONTENT_TEST_FONT, &error)) << error; }

  CFont font;
  std::string error;
};

}  // namespace

TEST_F(TextTest, InkStaysInsideTheBox)
{
  const char* texts[] = {"Solverica", "gjpqy Wy", "魔法で塔をのぼろう", "ステージ 8", "引き寄せる青 / 弾き返す赤"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    CCanvas canvas(400, 120);
    const Rect box{40, 30, 360, 90};
    Rect ink;
    ASSERT_TRUE(font.DrawText(&canvas, text, box, 80, TextAlign::Centre, {0, 0, 0, 1}, &ink, &error)) << error;
    EXPECT_GE(ink.x0, box.x0);
    EXPECT_GE(ink.y0, box.y0);
    EXPECT_LE(ink.x1, box.x1);
    EXPECT_LE(ink.y1, box.y1);
    // It is really there and not a speck: at least a third of the box's height.
    EXPECT_GT(ink.y1 - ink.y0, (box.y1 - box.y0) / 3);
    // Nothing outside the box was touched.
    for (int y = 0; y < 120; ++y) {
      for (int x = 0; x < 400; ++x) {
        if (x < box.x0 || x >= box.x1 || y < box.y0 || y >= box.y1) {
          ASSERT_EQ(canvas.Pixel(x, y).a, 0) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(TextTest, AlignmentPlacesTheLine)
{
  const Rect box{0, 0, 300, 40};
  Rect left, centre, right;
  CCanvas a(300, 40), b(300, 40), c(300, 40);
  ASSERT_TRUE(font.DrawText(&a, "魔法", box, 30, TextAlign::Left, {0, 0, 0, 1}, &left, &error));
  ASSERT_TRUE(font.DrawText(&b, "魔法", box, 30, TextAlign::Centre, {0, 0, 0, 1}, &centre, &error));
  ASSERT_TRUE(font.DrawText(&c, "魔法", box, 30, TextAlign::Right, {0, 0, 0, 1}, &right, &error));
  EXPECT_LT(left.x0, 5);
  EXPECT_GT(right.x1, 295);
  EXPECT_NEAR((centre.x0 + centre.x1) / 2, 150, 4);
}

TEST_F(TextTest, LongTextShrinksToFitTheWidth)
{
  CCanvas canvas(120, 60);
  Rect ink;
  ASSERT_TRUE(font.DrawText(&canvas, "a rather long line of text", {0, 0, 120, 60}, 60, TextAlign::Left, {0, 0, 0, 1},
                            &ink, &error));
  EXPECT_LE(ink.x1, 120);
  EXPECT_LT(ink.y1 - ink.y0, 20);
  EXPECT_FALSE(font.DrawText(&canvas, "this will never fit in such a narrow box", {0, 0, 20, 60}, 60, TextAlign::Left,
                             {0, 0, 0, 1}, &ink, &error));
  EXPECT_NE(error.find("does not fit"), std::string::npos);
}

TEST_F(TextTest, MissingGlyphIsAnErrorNamingTheCharacter)
{
  EXPECT_EQ(font.MissingCharacters("ソルヴェリカ ABC 塔"), "");
  const std::string thai = "\xE0\xB8\x81";  // U+0E01, a script the font does not cover
  EXPECT_EQ(font.MissingCharacters("A" + thai), thai);
  CCanvas canvas(100, 40);
  EXPECT_FALSE(font.DrawText(&canvas, "A" + thai, {0, 0, 100, 40}, 30, TextAlign::Left, {0, 0, 0, 1}, nullptr, &error));
  EXPECT_NE(error.find(thai), std::string::npos) << error;
}

TEST_F(TextTest, LoadFailsWithThePath)
{
  CFont missing;
  EXPECT_FALSE(missing.Load("/nonexistent/font.otf", &error));
  EXPECT_NE(error.find("/nonexistent/font.otf"), std::string::npos);
}

TEST(Utf8, DecodesAndRejectsMalformedText)
{
  std::vector<uint32_t> cps;
  ASSERT_TRUE(DecodeUtf8("A魔\xF0\x9F\x98\x80", &cps));
  EXPECT_EQ(cps, (std::vector<uint32_t>{0x41, 0x9B54, 0x1F600}));
  EXPECT_FALSE(DecodeUtf8("\x80", &cps));
  EXPECT_FALSE(DecodeUtf8("\xE9\xAD", &cps));  // truncated
  EXPECT_FALSE(DecodeUtf8("\xE9\x41\x41", &cps));
}
