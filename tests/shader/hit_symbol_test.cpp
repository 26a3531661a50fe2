// The hit glow with colour symbols, on the headless device: a held block's glow shell
// drawn with the colour_symbols setting off and on. Off, the glow is the picture as
// made; on, the colour's symbols change it, blue's rings and red's triangles in
// different places; a door held by both colours carries both shapes.
#include "actor/actor_base.h"
#include "actor/gimmick/game_rotation_door.h"
#include "app/settings.h"
#include "shader_fixture.h"

namespace {

// An actor that only holds a colour, for drawing its hit overlay.
class CHeldShell : public CActorBase {
public:
  void Update() override {}
  void Draw() override {}
};

class HitSymbolTest : public ShaderTest {
protected:
  void SetUp() override
  {
    ShaderTest::SetUp();
    was = RunSettings().colourSymbols;
    SetCamera(D3DXVECTOR3(0.0f, 1.5f, -6.0f), D3DXVECTOR3(0.0f, 1.5f, 0.0f));
  }
  void TearDown() override
  {
    RunSettings().colourSymbols = was;
    ShaderTest::TearDown();
  }
  // The overlay of a colour over black, with the setting as given; the frame's pixels.
  std::vector<D3DCOLOR> Drawn(const char* overlayPath, int colour, bool symbols)
  {
    RunSettings().colourSymbols = symbols;
    const auto overlay = Mesh(overlayPath);
    EXPECT_NE(overlay->mesh, nullptr) << overlayPath;
    CHeldShell shell;
    shell.magicColour = colour;
    shell.hitGlow = 1.0f;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetRenderTarget(0, graphics->backBuffer);
    ClearBackBuffer(0xFF000000);
    shell.DrawHitOverlay(identity, overlay.get());
    return ReadSurface(graphics->backBuffer);
  }
  // Where two frames differ.
  static std::vector<bool> Changed(const std::vector<D3DCOLOR>& a, const std::vector<D3DCOLOR>& b)
  {
    std::vector<bool> changed(a.size(), false);
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) changed[i] = (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return changed;
  }
  static int Count(const std::vector<bool>& marks)
  {
    int count = 0;
    for (const bool mark : marks) count += mark ? 1 : 0;
    return count;
  }
  bool was = false;
};

}  // namespace

TEST_F(HitSymbolTest, SymbolsChangeTheGlowOnlyWhenAskedAndDifferByColour)
{
  const std::vector<D3DCOLOR> blueOff = Drawn("res/game/object/blue_hit_block.x", Blue, false);
  EXPECT_EQ(Count(Changed(blueOff, Drawn("res/game/object/blue_hit_block.x", Blue, false))), 0) << "steady";
  const std::vector<D3DCOLOR> blueOn = Drawn("res/game/object/blue_hit_block.x", Blue, true);
  const std::vector<D3DCOLOR> redOff = Drawn("res/game/object/red_hit_block.x", Red, false);
  const std::vector<D3DCOLOR> redOn = Drawn("res/game/object/red_hit_block.x", Red, true);
  const std::vector<bool> rings = Changed(blueOff, blueOn);
  const std::vector<bool> triangles = Changed(redOff, redOn);
  EXPECT_GT(Count(rings), 5000) << "rings over the blue glow";
  EXPECT_GT(Count(triangles), 5000) << "triangles over the red glow";
  int onlyOne = 0;
  for (size_t i = 0; i < rings.size(); ++i) onlyOne += rings[i] != triangles[i] ? 1 : 0;
  EXPECT_GT(onlyOne, 2000) << "the two shapes cover different pixels";
  EXPECT_EQ(Count(Changed(Drawn("res/game/object/blue_hit_block.x", None, true),
                          std::vector<D3DCOLOR>(blueOff.size(), 0xFF000000))),
            0)
      << "an actor holding no colour draws no glow and no symbol";
}

TEST_F(HitSymbolTest, TheRotationDoorsDiscsCarryTheirSymbolsOnlyWhenAsked)
{
  SetCamera(D3DXVECTOR3(0.0f, 2.5f, -9.0f), D3DXVECTOR3(0.0f, 2.5f, 0.0f));
  D3DXMATRIX placement;
  D3DXMatrixIdentity(&placement);
  CGameRotationDoor door(placement);
  auto drawn = [&](bool symbols) {
    RunSettings().colourSymbols = symbols;
    device->SetRenderTarget(0, graphics->backBuffer);
    ClearBackBuffer(0xFF000000);
    door.Draw();
    return ReadSurface(graphics->backBuffer);
  };
  const std::vector<D3DCOLOR> off = drawn(false);
  const std::vector<bool> marks = Changed(off, drawn(true));
  // The blue disc is on the door's -x half (the left seen from -z), the red on the +x.
  int left = 0;
  int right = 0;
  for (size_t i = 0; i < marks.size(); ++i) {
    if (!marks[i]) continue;
    ((i % 1280) < 640 ? left : right) += 1;
  }
  EXPECT_GT(left, 300) << "the ring on the blue disc";
  EXPECT_GT(right, 300) << "the triangle on the red disc";
  EXPECT_EQ(Count(Changed(off, drawn(false))), 0) << "off, the door as made";
}
