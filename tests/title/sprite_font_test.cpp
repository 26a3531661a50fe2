// Runtime text: the glyph metrics reader on hand-written and damaged files, and lines
// drawn with the generated atlas, read back from the back buffer.
#include "title_fixture.h"

#include "sprite/sprite_font.h"

namespace {

// Draws one line on black in the sprite pass, as a scene's DrawSprite would.
void DrawLine(const CSpriteFont& font, const std::string& text, float x, TextAlign align, D3DCOLOR colour)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  graphics->device->BeginScene();
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  font.Draw(text, x, 100.0f, 1.0f, colour, align);
  graphics->sprite->End();
  graphics->device->EndScene();
}

// The leftmost and rightmost columns of the rows 100..156 with any red in them, read
// with one lock.
std::pair<int, int> InkColumns()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const RECT band = {0, 100, 1280, 156};
  D3DLOCKED_RECT locked;
  if (FAILED(graphics->backBuffer->LockRect(&locked, &band, D3DLOCK_READONLY))) return {-2, -2};
  int first = -1, last = -1;
  for (int y = 0; y < 56; ++y) {
    const D3DCOLOR* row = reinterpret_cast<const D3DCOLOR*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
    for (int x = 0; x < 1280; ++x) {
      if (((row[x] >> 16) & 0xFF) <= 128) continue;
      if (first < 0 || x < first) first = x;
      if (x > last) last = x;
    }
  }
  graphics->backBuffer->UnlockRect();
  return {first, last};
}

}  // namespace

TEST(GlyphMetrics, ReadsHandWrittenFilesAndRefusesDamagedOnes)
{
  GlyphMetrics metrics;
  std::string error;
  const std::string written =
      "# atlas\r\ncell 48 56 6 16\r\n\r\nglyph 32  9.5\r\n  glyph 63 20 # the fallback\r\n"
      "glyph\t65\t24.25\r\n";
  ASSERT_TRUE(ParseGlyphMetrics(written, &metrics, &error)) << error;
  EXPECT_EQ(metrics.cellHeight, 56);
  EXPECT_EQ(metrics.glyphs.at('A').first, 2);
  EXPECT_FLOAT_EQ(metrics.glyphs.at('A').second, 24.25f);

  const char* damaged[] = {"",
                           "glyph 65 10\n",                            // no cell line first
                           "cell 48 56 6 16\nglyph 65 10\n",           // no '?' to fall back on
                           "cell 48 56 60 16\nglyph 63 10\n",          // pen start outside the cell
                           "cell 48 56 6 16\nglyph 63 99\n",           // advance wider than a cell
                           "cell 48 56 6 16\nglyph 63 1e999\n",        // no number
                           "cell 48 56 6 16\nglyph 63 10 extra\n",     // a word too many
                           "cell 48 56 6 16\nglyph 63 10\nfont x\n"};  // an unknown line
  for (const char* text : damaged) {
    EXPECT_FALSE(ParseGlyphMetrics(text, &metrics, &error)) << text;
    EXPECT_NE(error.find("line"), std::string::npos) << error;
  }
}

TEST_F(TitleTest, FontDrawsTintedTextWhereItMeasuresIt)
{
  const CSpriteFont font;
  ASSERT_TRUE(font.IsLoaded());
  EXPECT_LT(font.Measure("iiii", 1.0f), font.Measure("WWWW", 1.0f));
  EXPECT_FLOAT_EQ(font.Measure("1:02.34", 0.5f) * 2.0f, font.Measure("1:02.34", 1.0f));
  EXPECT_FLOAT_EQ(font.Measure("\xE3\x81\x82", 1.0f), font.Measure("?", 1.0f)) << "a glyph the atlas lacks is '?'";

  const std::string text = "Stage 8  4:05.67";
  const float width = font.Measure(text, 1.0f);
  DrawLine(font, text, 200.0f, TextAlign::Left, 0xFFFF0000);
  const auto left = InkColumns();
  EXPECT_NEAR(left.first, 200, 6);
  EXPECT_NEAR(left.second, 200 + width, 8);
  EXPECT_EQ(BackBufferPixel(left.first + 1, 80), 0xFF000000u) << "nothing above the line";

  DrawLine(font, text, 1000.0f, TextAlign::Right, 0xFFFF0000);
  EXPECT_NEAR(InkColumns().second, 1000, 8);
  DrawLine(font, text, 640.0f, TextAlign::Centre, 0xFFFF0000);
  const auto centred = InkColumns();
  EXPECT_NEAR((centred.first + centred.second) * 0.5f, 640.0f, 6.0f);
}
