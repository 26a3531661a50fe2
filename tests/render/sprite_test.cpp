// Sprite drawing through CGraphics::DrawTexture and the sprite batcher: placement to the
// pixel, colour and alpha, the fade overlay, draw order and a missing image.
#include "render_fixture.h"

#include <filesystem>

using OstrelLibrary::CTexture;

namespace {

// Writes texels into level 0 of a texture, rows from the top.
void WriteTexels(CTexture& texture, const std::vector<D3DCOLOR>& argb)
{
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture.texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < texture.imageInfo.Height; ++y)
    for (UINT x = 0; x < texture.imageInfo.Width; ++x)
      reinterpret_cast<D3DCOLOR*>(static_cast<uint8_t*>(locked.pBits) + (size_t)y * locked.Pitch)[x] =
          argb[(size_t)y * texture.imageInfo.Width + x];
  texture.texture->UnlockRect(0);
}

D3DXMATRIX Translation(float x, float y)
{
  D3DXMATRIX m;
  D3DXMatrixTranslation(&m, x, y, 0.0f);
  return m;
}

}  // namespace

// Every texel of a 4 x 2 sprite lands on its own pixel, blended by its alpha, and the
// pixels around it stay untouched.
TEST_F(RenderTest, SpriteTexelsLandOnTheirPixels)
{
  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  const std::vector<D3DCOLOR> texels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF,
                                        0x80FFFFFF, 0x00FFFFFF, 0xFF804020, 0xFF102030};
  WriteTexels(texture, texels);

  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  const D3DXMATRIX at = Translation(100.0f, 50.0f);
  graphics->DrawTexture(texture, &at, 0xFFFFFFFF);
  graphics->sprite->End();

  // Opaque texels exactly; half alpha over black gives half white; zero alpha leaves black.
  const D3DCOLOR expected[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080, 0x000000, 0x804020, 0x102030};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_TRUE(RgbNear(BackBufferPixel(100 + x, 50 + y), expected[y * 4 + x], 2)) << x << "," << y;
  EXPECT_TRUE(RgbNear(BackBufferPixel(99, 50), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(104, 50), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(100, 49), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(100, 52), 0, 0));
}

// The draw colour modulates the texels, and its alpha is the opacity.
TEST_F(RenderTest, SpriteColourModulatesAndFades)
{
  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  ASSERT_TRUE(texture.Fill(0xFFFFFFFF));
  ClearBackBuffer(0xFF0000FF);

  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  const D3DXMATRIX a = Translation(10.0f, 10.0f), b = Translation(20.0f, 10.0f);
  graphics->DrawTexture(texture, &a, 0xFFFF8000);  // orange, opaque
  graphics->DrawTexture(texture, &b, 0x80FFFFFF);  // white at half opacity over blue
  graphics->sprite->End();

  EXPECT_TRUE(RgbNear(BackBufferPixel(11, 11), 0xFF8000, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel(21, 11), 0x8080FF, 3));
}

// Sprites are drawn in call order: the later one covers the earlier one, even when the
// two use different textures.
TEST_F(RenderTest, SpritesDrawInCallOrder)
{
  CTexture red, green;
  ASSERT_TRUE(red.Create(device, 8, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  ASSERT_TRUE(green.Create(device, 8, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  red.Fill(0xFFFF0000);
  green.Fill(0xFF00FF00);

  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  const D3DXMATRIX first = Translation(0, 0), second = Translation(4, 0), third = Translation(8, 0);
  graphics->DrawTexture(red, &first, 0xFFFFFFFF);
  graphics->DrawTexture(green, &second, 0xFFFFFFFF);
  graphics->DrawTexture(red, &third, 0xFFFFFFFF);
  graphics->sprite->End();

  EXPECT_TRUE(RgbNear(BackBufferPixel(2, 2), 0xFF0000, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(6, 2), 0x00FF00, 0));  // green over the first red
  EXPECT_TRUE(RgbNear(BackBufferPixel(9, 2), 0xFF0000, 0));  // the last red over green
}

// The fade overlay: the 1 x 1 white texel scaled to the whole screen with colour alpha<<24
// darkens the frame by alpha and is full black at 255.
TEST_F(RenderTest, FadeOverlayReachesBlack)
{
  CTexture fade;
  ASSERT_TRUE(fade.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  ASSERT_TRUE(fade.Fill(0xFFFFFFFF));
  D3DXMATRIX screen;
  D3DXMatrixScaling(&screen, 1280.0f, 720.0f, 1.0f);
  const int points[5][2] = {{0, 0}, {1279, 0}, {0, 719}, {1279, 719}, {640, 360}};

  for (const int alpha : {128, 255}) {
    ClearBackBuffer(0xFFC8A064);
    graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
    graphics->DrawTexture(fade, &screen, (D3DCOLOR)alpha << 24);
    graphics->sprite->End();
    const float keep = (255 - alpha) / 255.0f;
    const D3DCOLOR expected =
        ((D3DCOLOR)(0xC8 * keep + 0.5f) << 16) | ((D3DCOLOR)(0xA0 * keep + 0.5f) << 8) | (D3DCOLOR)(0x64 * keep + 0.5f);
    for (const auto& p : points) EXPECT_TRUE(RgbNear(BackBufferPixel(p[0], p[1]), expected, 2)) << "alpha " << alpha;
  }
}

// A missing image yields an empty texture that draws nothing; an empty texture never
// reaches the sprite batcher.
TEST_F(RenderTest, MissingImageDrawsNothing)
{
  ClearBackBuffer(0xFF204060);
  const std::shared_ptr<CTexture> missing = graphics->GetTexture(device, "res/does/not/exist.png");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->texture, nullptr);
  EXPECT_EQ(missing->sourceRect.right, 0);
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  const D3DXMATRIX at = Translation(0, 0);
  graphics->DrawTexture(*missing, &at, 0xFFFFFFFF);
  graphics->sprite->End();
  EXPECT_TRUE(RgbNear(BackBufferPixel(0, 0), 0x204060, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(10, 10), 0x204060, 0));
}

// Drawing outside Begin/End and a second Begin are refused, as D3DX does.
TEST_F(RenderTest, SpriteBatchRefusesCallsOutOfOrder)
{
  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  EXPECT_EQ(graphics->sprite->Draw(texture.texture, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3DERR_INVALIDCALL);
  EXPECT_EQ(graphics->sprite->End(), D3DERR_INVALIDCALL);
  EXPECT_EQ(graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
  EXPECT_EQ(graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND), D3DERR_INVALIDCALL);
  EXPECT_EQ(graphics->sprite->End(), D3D_OK);
}

// A frame of sprites saved for looking at: a coloured backdrop, a scaled and a rotated
// sprite, and a half-faded band.
TEST_F(RenderTest, SavesASpriteFrame)
{
  CTexture checker, band;
  ASSERT_TRUE(checker.Create(device, 64, 64, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  std::vector<D3DCOLOR> texels(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      const int edge = std::min(std::min(x, 63 - x), std::min(y, 63 - y));
      const D3DCOLOR alpha = edge < 4 ? (D3DCOLOR)(edge * 64) << 24 : 0xFF000000;
      texels[y * 64 + x] = alpha | (dark ? 0x2050C0 : 0xF0D040);
    }
  WriteTexels(checker, texels);
  ASSERT_TRUE(band.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  band.Fill(0xFFFFFFFF);

  ClearBackBuffer(0xFF303848);
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  const D3DXMATRIX plain = Translation(100, 100);
  graphics->DrawTexture(checker, &plain, 0xFFFFFFFF);
  D3DXMATRIX scale, rotate, move, m;
  D3DXMatrixScaling(&scale, 4.0f, 4.0f, 1.0f);
  D3DXMatrixTranslation(&move, 300, 120, 0);
  D3DXMatrixMultiply(&m, &scale, &move);
  graphics->DrawTexture(checker, &m, 0xFFFF8080);
  D3DXMatrixTranslation(&move, -32, -32, 0);
  D3DXMatrixRotationZ(&rotate, 0.5f);
  D3DXMatrixMultiply(&m, &move, &rotate);
  D3DXMatrixScaling(&scale, 3.0f, 3.0f, 1.0f);
  D3DXMatrixMultiply(&m, &m, &scale);
  D3DXMatrixTranslation(&move, 900, 300, 0);
  D3DXMatrixMultiply(&m, &m, &move);
  graphics->DrawTexture(checker, &m, 0xC0FFFFFF);
  D3DXMatrixScaling(&scale, 1280.0f, 120.0f, 1.0f);
  D3DXMatrixTranslation(&move, 0, 560, 0);
  D3DXMatrixMultiply(&m, &scale, &move);
  graphics->DrawTexture(band, &m, 0x80000000);
  graphics->sprite->End();

  UINT width = 0, height = 0;
  const std::vector<D3DCOLOR> frame = ReadSurface(graphics->backBuffer, &width, &height);
  ASSERT_EQ(frame.size(), (size_t)1280 * 720);
  // The top-left texel of the plain sprite is transparent (edge), the next inner one opaque.
  EXPECT_TRUE(RgbNear(frame[100 * 1280 + 100], 0x303848, 1));
  EXPECT_TRUE(RgbNear(frame[108 * 1280 + 108], 0x2050C0, 1));
  const char* out = std::getenv("SOLVERICA_FRAME_PNG");
  if (out) {
    EXPECT_TRUE(WritePng(out, (int)width, (int)height, frame));
  }
}
