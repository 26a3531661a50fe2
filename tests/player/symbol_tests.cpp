// Colour symbols on the HUD, drawn on the headless device: with the colour_symbols
// setting the crosshair shows the ring of a blue ray holding a target on its left and
// the triangle of a red one on its right, and the orb message shows the symbol of the
// magic it announces; with the setting off (the default) not one pixel changes. The
// generated pictures are checked for the two silhouettes: a ring is hollow, a triangle
// solid and wider at its foot than at its top.
#include <algorithm>

#include <stb_image.h>

#include "app/settings.h"
#include "magic_world.h"
#include "sprite/sprite_alignment.h"
#include "sprite/sprite_hud.h"
#include "sprite/sprite_symbols.h"

namespace {

// A generated picture's pixels as ARGB words, or nothing when it is not `size` square.
std::vector<D3DCOLOR> ReadPicturePixels(const char* path, int size)
{
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* rgba = stbi_load(path, &width, &height, &channels, 4);
  std::vector<D3DCOLOR> pixels;
  if (rgba && width == size && height == size) {
    for (int i = 0; i < size * size; ++i) {
      const stbi_uc* p = rgba + i * 4;
      pixels.push_back(static_cast<D3DCOLOR>(p[3]) << 24 | static_cast<D3DCOLOR>(p[0]) << 16 |
                       static_cast<D3DCOLOR>(p[1]) << 8 | p[2]);
    }
  }
  stbi_image_free(rgba);
  return pixels;
}

// A square of the back buffer, centred on a point.
struct Patch {
  int x;
  int y;
  int half;
};

}  // namespace

class SymbolTest : public MagicWorld {
protected:
  void SetUp() override
  {
    MagicWorld::SetUp();
    was = RunSettings().colourSymbols;
  }
  void TearDown() override
  {
    RunSettings().colourSymbols = was;
    MagicWorld::TearDown();
  }
  // Draws one sprite over black with the setting as given; the whole frame's pixels.
  std::vector<D3DCOLOR> Drawn(CSpriteBase& sprite, bool symbols)
  {
    RunSettings().colourSymbols = symbols;
    ClearBackBuffer(0xFF000000);
    graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
    sprite.Draw();
    graphics->sprite->End();
    return ReadSurface(graphics->backBuffer);
  }
  // How many pixels of the patch differ between two frames.
  static int Differing(const std::vector<D3DCOLOR>& a, const std::vector<D3DCOLOR>& b, const Patch& patch)
  {
    int count = 0;
    for (int y = patch.y - patch.half; y <= patch.y + patch.half; ++y) {
      for (int x = patch.x - patch.half; x <= patch.x + patch.half; ++x) {
        const size_t i = static_cast<size_t>(y) * 1280 + static_cast<size_t>(x);
        if ((a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF)) ++count;
      }
    }
    return count;
  }
  // The crosshair, ready and drawn where the scene would.
  void ReadyCrosshair(CSpriteAlignment* crosshair)
  {
    crosshair->magicReady = 1;
    crosshair->Update();
  }
  bool was = false;
};

TEST_F(SymbolTest, TheCrosshairShowsTheSymbolsOfTheRaysHoldingATarget)
{
  CSpriteAlignment crosshair;
  ReadyCrosshair(&crosshair);
  const int centreX = static_cast<int>(crosshair.transform._41 + PictureWidth(crosshair.texture) * 0.5f);
  const int centreY = static_cast<int>(crosshair.transform._42 + PictureHeight(crosshair.texture) * 0.5f);
  const Patch left{centreX - 44, centreY, 18};
  const Patch right{centreX + 44, centreY, 18};

  const std::vector<D3DCOLOR> idle = Drawn(crosshair, true);
  blueRay->active = 1;
  blueRay->locked = 1;
  const std::vector<D3DCOLOR> blueOff = Drawn(crosshair, false);
  const std::vector<D3DCOLOR> blueOn = Drawn(crosshair, true);
  EXPECT_EQ(Differing(idle, blueOff, left) + Differing(idle, blueOff, right), 0) << "off: the crosshair as made";
  EXPECT_GT(Differing(idle, blueOn, left), 300) << "the ring stands on the left";
  EXPECT_EQ(Differing(idle, blueOn, right), 0) << "nothing for red, which holds nothing";

  blueRay->locked = 0;
  EXPECT_EQ(Differing(idle, Drawn(crosshair, true), left), 0) << "a ray still flying holds nothing";

  redRay->active = 1;
  redRay->locked = 1;
  const std::vector<D3DCOLOR> redOn = Drawn(crosshair, true);
  EXPECT_GT(Differing(idle, redOn, right), 300) << "the triangle stands on the right";
  EXPECT_EQ(Differing(idle, redOn, left), 0);

  scene->paused = 1;
  EXPECT_EQ(Differing(std::vector<D3DCOLOR>(idle.size(), 0xFF000000), Drawn(crosshair, true), right), 0)
      << "hidden with the crosshair under a menu";
  scene->paused = 0;
}

TEST_F(SymbolTest, TheOrbMessageCarriesTheSymbolOfItsMagic)
{
  scene->orbObtained = 1;
  application->stageNumber = 1;
  CSpriteText attraction;
  application->stageNumber = 4;
  CSpriteText repulsion;
  for (CSpriteText* text : {&attraction, &repulsion}) {
    for (int i = 0; i < 60; ++i) text->Update();  // slid in and opaque
    ASSERT_EQ(text->alpha, 255);
  }
  const Patch symbol{static_cast<int>(attraction.transform._41 + 125.0f),
                     static_cast<int>(attraction.transform._42 + 58.0f), 18};
  const Patch other{static_cast<int>(attraction.transform._41 + PictureWidth(attraction.boxTexture) - 125.0f), symbol.y,
                    18};

  const std::vector<D3DCOLOR> ringOff = Drawn(attraction, false);
  const std::vector<D3DCOLOR> ringOn = Drawn(attraction, true);
  const std::vector<D3DCOLOR> triangleOff = Drawn(repulsion, false);
  const std::vector<D3DCOLOR> triangleOn = Drawn(repulsion, true);
  EXPECT_EQ(Differing(ringOff, triangleOff, symbol), 0) << "off, the corner beside the heading is bare box";
  EXPECT_GT(Differing(ringOff, ringOn, symbol), 300) << "the ring on the attraction message";
  EXPECT_GT(Differing(ringOff, ringOn, other), 300) << "on both sides of the heading";
  EXPECT_GT(Differing(triangleOff, triangleOn, symbol), 300) << "the triangle on the repulsion message";
  EXPECT_GT(Differing(ringOn, triangleOn, symbol), 200) << "two shapes, not one";
}

TEST(SymbolPictures, ARingIsHollowAndATriangleSolidAndWiderBelow)
{
  // The pictures as the content generator wrote them, read back through the image decoder.
  const std::vector<D3DCOLOR> ring = ReadPicturePixels("res/game/sprite/symbol_blue.png", 40);
  const std::vector<D3DCOLOR> triangle = ReadPicturePixels("res/game/sprite/symbol_red.png", 40);
  ASSERT_EQ(ring.size(), 1600u);
  ASSERT_EQ(triangle.size(), 1600u);
  auto opaque = [](const std::vector<D3DCOLOR>& p, int x, int y) { return (p[y * 40 + x] >> 24) > 200; };
  EXPECT_FALSE(opaque(ring, 20, 20)) << "the ring's middle is clear";
  EXPECT_TRUE(opaque(ring, 20, 20 - 14) && opaque(ring, 20 + 14, 20)) << "its band is opaque";
  EXPECT_TRUE(opaque(triangle, 20, 22)) << "the triangle is solid";
  int topWidth = 0;
  int footWidth = 0;
  for (int x = 0; x < 40; ++x) {
    topWidth += opaque(triangle, x, 8) ? 1 : 0;
    footWidth += opaque(triangle, x, 26) ? 1 : 0;
  }
  EXPECT_GT(footWidth, topWidth * 2) << "it points up";
}
