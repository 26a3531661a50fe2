// The quality setting: which renderers and settings choose the light picture, and that
// the light picture (half-size 3D pass, one shadow tap from a half-side map) still shows
// the same scene: the floor lit and shadowed where the full picture has it, close to it
// on average; and that the puddle, drawn by the game's own drop-water point at either
// setting, shows its reflection undarkened.
#include "shader_fixture.h"

#include "actor/gimmick/game_drop_water_point.h"
#include "scene/scene_game.h"
#include "shader/render_quality.h"
#include "test_seam.h"

namespace {

// A scissor larger than any target: the whole of it.
const RECT kEverywhere = {0, 0, 8192, 8192};

TEST(RenderQualityChoice, SoftwareRenderersGetLowUnlessTheSettingSaysOtherwise)
{
  EXPECT_EQ(ChooseRenderQuality("llvmpipe (LLVM 15.0.6, 256 bits)", nullptr), RenderQuality::Low);
  EXPECT_EQ(ChooseRenderQuality("Gallium softpipe", nullptr), RenderQuality::Low);
  EXPECT_EQ(ChooseRenderQuality("Google SwiftShader", nullptr), RenderQuality::Low);
  EXPECT_EQ(ChooseRenderQuality("AMD Radeon RX 6600 (radeonsi)", nullptr), RenderQuality::High);
  EXPECT_EQ(ChooseRenderQuality("", nullptr), RenderQuality::High);
  EXPECT_EQ(ChooseRenderQuality("llvmpipe", "high"), RenderQuality::High);
  EXPECT_EQ(ChooseRenderQuality("llvmpipe", "HIGH"), RenderQuality::High);
  EXPECT_EQ(ChooseRenderQuality("Mesa Intel UHD 620", "low"), RenderQuality::Low);
  EXPECT_EQ(ChooseRenderQuality("llvmpipe", "medium"), RenderQuality::Low) << "an unknown setting is ignored";
}

class RenderQualityTest : public ShaderTest {
protected:
  void TearDown() override
  {
    ApplyRenderQuality(RenderQuality::High);
    ShaderTest::TearDown();
  }

  // A crate's shadow on a lit floor and a glowing head, through the whole chain.
  std::vector<D3DCOLOR> DrawScene()
  {
    SetCamera(D3DXVECTOR3(0.0f, 9.0f, -7.0f), D3DXVECTOR3(0.0f, 0.0f, 0.5f));
    const auto floor = Mesh("res/test/floor.x");
    const auto box = Mesh("res/test/box.x");
    const auto head = Mesh("res/game/player/player_head.x");
    D3DXMATRIX identity, glowing;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixTranslation(&glowing, -3.0f, 0.0f, 1.0f);
    CastShadow(*box, identity);
    device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF6080A0, 1.0f, 0);
    DrawToon(*floor, identity);
    DrawToon(*box, identity, 0.2f);
    const D3DXVECTOR4 glow(1.5f, 1.2f, 0.4f, 1.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &glow);
    DrawToon(*head, glowing);
    const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &none);
    device->SetRenderTarget(0, graphics->backBuffer);
    shaders->blur.Apply();
    return ReadSurface(graphics->backBuffer);
  }

  // Mean R + G + B of a 9 x 9 square of a picture (the floor's pattern averaged out).
  static int Sum(const std::vector<D3DCOLOR>& pixels, POINT p)
  {
    int sum = 0;
    for (int y = p.y - 4; y <= p.y + 4; ++y) {
      for (int x = p.x - 4; x <= p.x + 4; ++x) {
        const D3DCOLOR c = pixels[static_cast<size_t>(y) * 1280 + static_cast<size_t>(x)];
        sum += ChannelR(c) + ChannelG(c) + ChannelB(c);
      }
    }
    return sum / 81;
  }

  // A puddle at the origin over a dark floor, drawn by the game's drop-water point into
  // the scene target and composited onto the back buffer as a frame is; `hidden` holds Q.
  std::vector<D3DCOLOR> DrawPuddle(bool hidden)
  {
    SetCamera(D3DXVECTOR3(0.0f, 6.0f, -6.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    auto scene = std::make_shared<CSceneGame>();
    CActorBase::currentScene = scene;
    D3DXMATRIX placement;
    D3DXMatrixIdentity(&placement);
    auto puddle = std::make_shared<CGameDropWaterPoint>(placement);
    scene->actors = {puddle};
    device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF202020, 1.0f, 0);
    Win32TestSetKey('Q', hidden);
    puddle->Draw();
    Win32TestSetKey('Q', false);
    device->SetRenderTarget(0, graphics->backBuffer);
    shaders->blur.Apply();
    CActorBase::currentScene.reset();
    return ReadSurface(graphics->backBuffer);
  }
};

TEST_F(RenderQualityTest, LowDrawsHalfSizeAndKeepsThePicture)
{
  const std::vector<D3DCOLOR> high = DrawScene();
  ApplyRenderQuality(RenderQuality::Low);
  EXPECT_EQ(CurrentRenderQuality(), RenderQuality::Low);
  EXPECT_EQ(shaders->blur.sceneTarget.imageInfo.Width, 640u);
  EXPECT_EQ(shaders->blur.sceneTarget.imageInfo.Height, 360u);
  EXPECT_EQ(shaders->shadowMap.shadowDepth.desc.Width, 512u);
  EXPECT_EQ(shaders->blur.compositeTarget.imageInfo.Width, 640u) << "the composite works at the scene's size";
  const std::vector<D3DCOLOR> low = DrawScene();
  // The head was drawn last: no normal map, no sky, and the single tap built in.
  EXPECT_STREQ(shaders->toon.effect->GetCurrentTechnique(), "NormalFlatMattLowTech");

  const auto box = Mesh("res/test/box.x");
  D3DXVECTOR3 boxLow, boxHigh;
  MeshBounds(*box, &boxLow, &boxHigh);
  const POINT shadowed = Project(D3DXVECTOR3(boxHigh.x + 0.3f, 0.0f, 0.0f));
  const POINT lit = Project(D3DXVECTOR3(boxLow.x - 0.3f, 0.0f, 0.0f));
  EXPECT_LT(Sum(low, shadowed) + 60, Sum(low, lit)) << "one tap still casts the shadow";
  std::printf("shadowed %d -> %d, lit %d -> %d\n", Sum(high, shadowed), Sum(low, shadowed), Sum(high, lit),
              Sum(low, lit));
  EXPECT_NEAR(Sum(low, shadowed), Sum(high, shadowed), 30);
  EXPECT_NEAR(Sum(low, lit), Sum(high, lit), 30);

  double difference = 0.0;
  for (size_t i = 0; i < high.size(); ++i) {
    difference += std::abs(ChannelR(high[i]) - ChannelR(low[i])) + std::abs(ChannelG(high[i]) - ChannelG(low[i])) +
                  std::abs(ChannelB(high[i]) - ChannelB(low[i]));
  }
  const double mean = difference / (high.size() * 3.0);
  std::printf("low against high: mean difference %.2f levels\n", mean);
  EXPECT_LT(mean, 6.0) << "only edges and shadow borders may differ";

  ApplyRenderQuality(RenderQuality::High);
  EXPECT_EQ(shaders->blur.sceneTarget.imageInfo.Width, 1280u);
  EXPECT_EQ(shaders->shadowMap.shadowDepth.desc.Width, 1024u);
  EXPECT_EQ(shaders->shadowMap.shadowTexture.imageInfo.Width, 1024u);
  EXPECT_EQ(shaders->blur.compositeTarget.texture, nullptr) << "the full picture composites onto the screen";
}

TEST_F(RenderQualityTest, PuddleTargetsWaitForTheFirstReflection)
{
  CPuddleShader& puddle = shaders->puddle;
  puddle.ReleaseTargets();
  puddle.Load();
  EXPECT_EQ(puddle.reflectionTarget.texture, nullptr);
  EXPECT_EQ(puddle.blurTarget.texture, nullptr);
  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  ApplyRenderQuality(RenderQuality::Low);
  puddle.BeginReflection(light, kEverywhere);
  puddle.EndReflection();
  EXPECT_EQ(puddle.reflectionTarget.imageInfo.Width, 640u) << "the size the low 3D pass draws at";
  EXPECT_EQ(puddle.reflectionDepth.desc.Height, 360u);
  EXPECT_EQ(puddle.blurTarget.texture, nullptr) << "no blur at low quality";
  EXPECT_EQ(&puddle.BlurredReflection(), &puddle.reflectionTarget);
  ApplyRenderQuality(RenderQuality::High);
  puddle.BeginReflection(light, kEverywhere);
  puddle.EndReflection();
  puddle.BlurReflection(kEverywhere);
  EXPECT_EQ(puddle.reflectionTarget.imageInfo.Width, 1280u) << "made again at the new size";
  EXPECT_NE(puddle.blurTarget.texture, nullptr);
  EXPECT_EQ(&puddle.BlurredReflection(), &puddle.blurTarget);
}

TEST_F(RenderQualityTest, ThePuddleShowsItsReflectionUndarkenedAtEitherSetting)
{
  // A pale reflection (nothing mirrored but the cleared target) makes any black mixed
  // into the water plain to see.
  CPuddleShader& puddle = shaders->puddle;
  const D3DCOLOR savedClear = puddle.clearColour;
  puddle.clearColour = 0xFFB0B0B0;
  const POINT centre = Project(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  const int floor = Sum(DrawPuddle(true), centre);
  const int full = Sum(DrawPuddle(false), centre);
  ApplyRenderQuality(RenderQuality::Low);
  const int floorLow = Sum(DrawPuddle(true), centre);
  const int light = Sum(DrawPuddle(false), centre);
  puddle.clearColour = savedClear;
  std::printf("puddle centre: floor %d, full %d, light %d (floor at light %d)\n", floor, full, light, floorLow);
  EXPECT_NEAR(floorLow, floor, 12) << "Q hides the puddle at either setting";
  EXPECT_GT(full, floor + 150) << "the pale reflection shows in the water";
  EXPECT_NEAR(light, full, full / 12) << "the light setting shows the same water, not a darkened one";
}

// A puddle reads only the rectangle round its outline: what lies outside the
// reflection targets never reaches the water. Filling them with red first must give the
// very picture that filling them with the pass's own clear colour gives, at either
// setting; and a puddle out of view or behind the eye needs no rectangle at all.
TEST_F(RenderQualityTest, ThePuddleReadsOnlyTheRectangleItsPassesDraw)
{
  CPuddleShader& puddle = shaders->puddle;
  for (const RenderQuality quality : {RenderQuality::High, RenderQuality::Low}) {
    ApplyRenderQuality(quality);
    puddle.CreateTargets();
    std::vector<D3DCOLOR> pictures[2];
    for (int i = 0; i < 2; ++i) {
      for (OstrelLibrary::CTexture* target : {&puddle.reflectionTarget, &puddle.blurTarget}) {
        if (!target->surface) continue;
        device->SetRenderTarget(0, target->surface);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, i == 0 ? 0xFFFF0000 : puddle.clearColour, 1.0f, 0);
      }
      pictures[i] = DrawPuddle(false);
    }
    size_t differing = 0;
    for (size_t p = 0; p < pictures[0].size(); ++p) {
      if (!RgbNear(pictures[0][p], pictures[1][p] & 0xFFFFFF, 1)) ++differing;
    }
    EXPECT_EQ(differing, 0u) << (quality == RenderQuality::High ? "full" : "light") << " setting";
  }

  SetCamera(D3DXVECTOR3(0.0f, 6.0f, -6.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  D3DXMATRIX place;
  RECT area = {};
  D3DXMatrixIdentity(&place);
  ASSERT_TRUE(puddle.ReadArea(place, &area));
  const POINT centre = Project(D3DXVECTOR3(0.0f, 0.0f, 0.0f));  // back-buffer pixels; the light target is half
  EXPECT_LT(area.left, centre.x / 2);
  EXPECT_GT(area.right, centre.x / 2);
  EXPECT_LT(area.right - area.left, 640 / 2) << "a small puddle reads a small part";
  D3DXMatrixTranslation(&place, 0.0f, 0.0f, -20.0f);
  EXPECT_FALSE(puddle.ReadArea(place, &area)) << "behind the eye";
  D3DXMatrixTranslation(&place, 60.0f, 0.0f, 0.0f);
  EXPECT_FALSE(puddle.ReadArea(place, &area)) << "far off to the side";
  D3DXMatrixScaling(&place, 40.0f, 1.0f, 40.0f);
  ASSERT_TRUE(puddle.ReadArea(place, &area)) << "a puddle round the eye";
  EXPECT_EQ(area.right - area.left, 640);
  EXPECT_EQ(area.bottom - area.top, 360);
}

}  // namespace
