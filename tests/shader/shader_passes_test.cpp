// The passes the game scene calls: each leaves render target 0 and the depth surface as
// it found them; the pyramid's sizes; what the puddle pass switches; and a shader whose
// effect failed to load, which reports once and then draws nothing.
#include "shader_fixture.h"

#include "test_seam.h"

#include <filesystem>

using OstrelLibrary::CGraphics;

namespace {

// A scissor larger than any target: the whole of it.
const RECT kEverywhere = {0, 0, 8192, 8192};

// The surfaces bound now, without keeping references.
void Bound(IDirect3DDevice9* device, IDirect3DSurface9** target, IDirect3DSurface9** depth)
{
  device->GetRenderTarget(0, target);
  device->GetDepthStencilSurface(depth);
  if (*target) (*target)->Release();
  if (*depth) (*depth)->Release();
}

using ShaderPassTest = ShaderTest;

TEST_F(ShaderPassTest, PyramidHalvesAQuarterOfTheBackBuffer)
{
  const UINT expected[5][2] = {{320, 180}, {160, 90}, {80, 45}, {40, 22}, {20, 11}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(shaders->blur.LevelA(i).imageInfo.Width, expected[i][0]) << i;
    EXPECT_EQ(shaders->blur.LevelA(i).imageInfo.Height, expected[i][1]) << i;
    EXPECT_EQ(shaders->blur.LevelB(i).imageInfo.Width, expected[i][0]) << i;
    EXPECT_EQ(shaders->blur.LevelB(i).imageInfo.Height, expected[i][1]) << i;
  }
  EXPECT_EQ(shaders->blur.sceneTarget.imageInfo.Width, 1280u);
  EXPECT_EQ(shaders->blur.sceneTarget.imageInfo.Height, 720u);
  EXPECT_EQ(shaders->blur.sceneTarget.imageInfo.Format, D3DFMT_A16B16G16R16F);
  EXPECT_EQ(shaders->blur.LevelB(0).imageInfo.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(shaders->shadowMap.shadowTexture.imageInfo.Width, 1024u);
  EXPECT_EQ(shaders->shadowMap.shadowTexture.imageInfo.Format, D3DFMT_NULL);
}

TEST_F(ShaderPassTest, EveryPassRestoresTheTargetsBoundBeforeIt)
{
  // Start from an off-screen target, as the game scene does for its 3D pass.
  OstrelLibrary::CDepthBuffer sceneDepth;
  ASSERT_TRUE(sceneDepth.Create(device, 1280, 720));
  device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
  device->SetDepthStencilSurface(sceneDepth.surface);
  IDirect3DSurface9* target = nullptr;
  IDirect3DSurface9* depth = nullptr;
  const auto box = Mesh("res/test/box.x");
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);

  shaders->shadowMap.BeginShadowPass(D3DXVECTOR3(-32.4f, 64.8f, -19.4f));
  Bound(device, &target, &depth);
  EXPECT_EQ(target, shaders->shadowMap.shadowTexture.surface);
  DrawShadow(*box, world);
  shaders->shadowMap.EndShadowPass();
  Bound(device, &target, &depth);
  EXPECT_EQ(target, shaders->blur.sceneTarget.surface);
  EXPECT_EQ(depth, sceneDepth.surface);
  EXPECT_EQ(shaders->shadowMap.savedTarget, nullptr);
  EXPECT_EQ(shaders->shadowMap.savedDepth, nullptr);

  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  shaders->puddle.BeginReflection(light, kEverywhere);
  EXPECT_EQ(shaders->puddlePass, 1);
  Bound(device, &target, &depth);
  EXPECT_EQ(target, shaders->puddle.reflectionTarget.surface);
  shaders->puddle.EndReflection();
  EXPECT_EQ(shaders->puddlePass, 0);
  Bound(device, &target, &depth);
  EXPECT_EQ(target, shaders->blur.sceneTarget.surface);
  EXPECT_EQ(depth, sceneDepth.surface);

  shaders->blur.DrawAverage(shaders->puddle.reflectionTarget, shaders->puddle.blurTarget);
  shaders->blur.DrawBrightDown(shaders->blur.sceneTarget, shaders->blur.LevelB(0));
  shaders->blur.BuildBloom(shaders->blur.LevelB(0), shaders->blur.levels);
  Bound(device, &target, &depth);
  EXPECT_EQ(target, shaders->blur.sceneTarget.surface);
  EXPECT_EQ(depth, sceneDepth.surface);

  device->SetRenderTarget(0, graphics->backBuffer);
  device->SetDepthStencilSurface(graphics->depthBuffer);
  sceneDepth.Release();
}

TEST_F(ShaderPassTest, ShadowEyeSitsSeventyFiveUnitsBackAlongTheLight)
{
  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  D3DXVECTOR3 direction(light.Direction.x, light.Direction.y, light.Direction.z);
  const D3DXVECTOR3 eye = D3DXVECTOR3(0.0f, 0.0f, 0.0f) - direction * 75.0f;
  EXPECT_NEAR(eye.x, -32.40f, 0.01f);
  EXPECT_NEAR(eye.y, 64.79f, 0.01f);
  EXPECT_NEAR(eye.z, -19.44f, 0.01f);
  shaders->shadowMap.BeginShadowPass(eye);
  shaders->shadowMap.EndShadowPass();
  // The origin is on the light's axis: the middle of the map, 75 deep in a 1..100 range.
  D3DXVECTOR3 clip;
  const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
  D3DXVec3TransformCoord(&clip, &origin, &shaders->shadowMap.lightViewProjection);
  EXPECT_NEAR(clip.x, 0.0f, 1e-4f);
  EXPECT_NEAR(clip.y, 0.0f, 1e-4f);
  EXPECT_NEAR(clip.z, (75.0f - 1.0f) / 99.0f, 1e-4f);
}

TEST_F(ShaderPassTest, PuddlePassMirrorsToonDrawsAndDropsOutlines)
{
  const auto box = Mesh("res/test/box.x");
  D3DXMATRIX world;
  D3DXMatrixTranslation(&world, 0.0f, 1.0f, 0.0f);
  shaders->toon.effect->SetMatrix("g_world_mat", &world);
  shaders->outline.effect->SetMatrix("g_world_mat", &world);
  const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);

  shaders->puddlePass = 1;
  shaders->puddlePoint = D3DXVECTOR3(0.0f, 0.5f, 0.0f);
  shaders->toon.DrawMesh(*box, 0.0f, 0.0f);
  EXPECT_STREQ(shaders->toon.effect->GetCurrentTechnique(), "PuddleReflectTech");
  D3DXMATRIX mirror;
  ASSERT_EQ(shaders->toon.effect->GetValue("g_reflect_mat", &mirror, sizeof(mirror)), D3D_OK);
  // Across y = 0.5: a point at height 3 lands at -2.
  D3DXVECTOR3 point(1.0f, 3.0f, 2.0f), mirrored;
  D3DXVec3TransformCoord(&mirrored, &point, &mirror);
  EXPECT_NEAR(mirrored.x, 1.0f, 1e-5f);
  EXPECT_NEAR(mirrored.y, -2.0f, 1e-5f);
  EXPECT_NEAR(mirrored.z, 2.0f, 1e-5f);

  // Outlines are skipped entirely: not even their parameters change.
  const D3DXVECTOR4 before(0.3f, 0.3f, 0.3f, 1.0f);
  shaders->outline.effect->SetVector("g_outline_color", &before);
  shaders->outline.DrawMesh(*box, 0.05f, &black);
  D3DXVECTOR4 colour;
  shaders->outline.effect->GetValue("g_outline_color", &colour, sizeof(colour));
  EXPECT_FLOAT_EQ(colour.x, 0.3f);

  shaders->puddlePass = 0;
  shaders->toon.DrawMesh(*box, 0.0f, 0.0f);
  // Out of the puddle pass: NormalTech, or the variant leaving out the lookups a mesh
  // has no use for (the crate has no normal map; a zero reflection needs no sky).
  EXPECT_STREQ(shaders->toon.effect->GetCurrentTechnique(), "NormalFlatMattTech");
  shaders->toon.effect->GetValue("g_reflect_mat", &mirror, sizeof(mirror));
  EXPECT_TRUE(D3DXMatrixIsIdentity(&mirror));
  shaders->outline.DrawMesh(*box, 0.05f, &black);
  shaders->outline.effect->GetValue("g_outline_color", &colour, sizeof(colour));
  EXPECT_FLOAT_EQ(colour.x, 0.0f);
}

// The variants leaving out the normal-map or the sky lookups draw what the full
// technique draws for a flat normal map and a reflection of next to nothing.
TEST_F(ShaderPassTest, ToonVariantsDrawWhatTheFullTechniqueDraws)
{
  SetCamera(D3DXVECTOR3(0.0f, 4.0f, -4.0f), D3DXVECTOR3(0.0f, 0.5f, 0.5f));
  const auto box = Mesh("res/test/box.x");
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  const auto draw = [&](float refPower, std::vector<D3DCOLOR>* pixels) {
    device->SetRenderTarget(0, graphics->backBuffer);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    DrawToon(*box, identity, refPower);
    *pixels = ReadSurface(graphics->backBuffer);
    return std::string(shaders->toon.effect->GetCurrentTechnique());
  };
  std::vector<D3DCOLOR> plain, sky, mapped, full;
  EXPECT_EQ(draw(0.0f, &plain), "NormalFlatMattTech");
  EXPECT_EQ(draw(1e-6f, &sky), "NormalFlatTech");
  // Every material given the engine's flat normal texel: the normal-mapped techniques.
  const auto savedNormals = box->normalTextures;
  const auto flat = std::make_shared<OstrelLibrary::CTexture>();
  ASSERT_TRUE(flat->Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  flat->Fill(0xFFB0B0FF);
  for (auto& normal : box->normalTextures) normal = flat;
  EXPECT_EQ(draw(0.0f, &mapped), "NormalMattTech");
  EXPECT_EQ(draw(1e-6f, &full), "NormalTech");
  box->normalTextures = savedNormals;

  int drawn = 0;
  for (size_t i = 0; i < plain.size(); ++i) {
    if ((plain[i] & 0xFFFFFF) != 0) ++drawn;
    for (const std::vector<D3DCOLOR>* other : {&sky, &mapped, &full}) {
      ASSERT_TRUE(RgbNear((*other)[i], plain[i], 2)) << "pixel " << i;
    }
  }
  EXPECT_GT(drawn, 5000) << "the crate is on screen";
}

// An even glow stays even through shrinking and blurring, so the folded glow is each
// level's value summed: five times it in colour, weighted 0.8 per level under a menu,
// and only the levels that exist when one could not be made.
TEST_F(ShaderPassTest, FoldedGlowSumsEveryLevel)
{
  CBlurShader& blur = shaders->blur;
  // The middle pixel of the folded glow after a pyramid built from an even 16 of 255.
  const auto folded = [&](int monotone) {
    device->SetRenderTarget(0, blur.LevelB(0).surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF101010, 1.0f, 0);
    device->SetRenderTarget(0, graphics->backBuffer);
    blur.effect->SetInt("g_is_monotone", monotone);
    blur.BuildBloom(blur.LevelB(0), blur.levels);
    blur.effect->SetInt("g_is_monotone", 0);
    EXPECT_EQ(blur.glow, &blur.LevelA(0));
    UINT width = 0;
    const std::vector<D3DCOLOR> pixels = ReadSurface(blur.LevelA(0).surface, &width);
    return ChannelG(pixels[90 * width + 160]);
  };
  EXPECT_NEAR(folded(0), 80, 2);
  EXPECT_NEAR(folded(1), 54, 2);  // 16 x (1 + 0.8 + 0.64 + 0.512 + 0.4096)
  blur.LevelA(3).Release();
  EXPECT_NEAR(folded(0), 48, 2) << "the pyramid ends before the missing level";
  blur.Load();
}

// The blur spreads one bright column over nine with the Gaussian's weights, however
// few fetches it takes for them.
TEST_F(ShaderPassTest, BlurSpreadsAColumnByTheGaussianWeights)
{
  CBlurShader& blur = shaders->blur;
  device->SetRenderTarget(0, blur.LevelB(0).surface);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  const D3DRECT column = {160, 0, 161, 180};
  device->Clear(1, &column, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
  device->SetRenderTarget(0, blur.LevelA(0).surface);
  blur.DrawXBlur(blur.LevelB(0), 320.0f, 180.0f);
  device->SetRenderTarget(0, graphics->backBuffer);
  UINT width = 0;
  const std::vector<D3DCOLOR> pixels = ReadSurface(blur.LevelA(0).surface, &width);
  const int expected[9] = {4, 14, 31, 50, 58, 50, 31, 14, 4};  // 255 x the nine weights
  for (int i = 0; i < 9; ++i) {
    EXPECT_NEAR(ChannelG(pixels[90 * width + 156 + i]), expected[i], 2) << "texel " << 156 + i;
  }
  EXPECT_EQ(ChannelG(pixels[90 * width + 155]), 0);
  EXPECT_EQ(ChannelG(pixels[90 * width + 165]), 0);
}

// A subset's colour texture cuts its shadow out where it is clear; an untextured subset
// (drawn without the lookup) always casts.
TEST_F(ShaderPassTest, ShadowIsCutOutOnlyWhereTheTextureIsClear)
{
  SetCamera(D3DXVECTOR3(0.0f, 9.0f, -7.0f), D3DXVECTOR3(0.0f, 0.0f, 0.5f));
  const auto floor = Mesh("res/test/floor.x");
  const auto box = Mesh("res/test/box.x");
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  D3DXVECTOR3 low, high;
  MeshBounds(*box, &low, &high);
  const POINT shadowed = Project(D3DXVECTOR3(high.x + 0.3f, 0.0f, 0.0f));
  const POINT lit = Project(D3DXVECTOR3(low.x - 0.3f, 0.0f, 0.0f));
  // How much darker the floor beside the crate is than on its far side (R + G + B,
  // over a 9 x 9 square), with only the crate's shadow drawn.
  const auto darkening = [&] {
    CastShadow(*box, identity);
    device->SetRenderTarget(0, graphics->backBuffer);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    DrawToon(*floor, identity);
    const std::vector<D3DCOLOR> pixels = ReadSurface(graphics->backBuffer);
    int difference = 0;
    for (int dy = -4; dy <= 4; ++dy) {
      for (int dx = -4; dx <= 4; ++dx) {
        const D3DCOLOR a = pixels[static_cast<size_t>(lit.y + dy) * 1280 + static_cast<size_t>(lit.x + dx)];
        const D3DCOLOR b = pixels[static_cast<size_t>(shadowed.y + dy) * 1280 + static_cast<size_t>(shadowed.x + dx)];
        difference += ChannelR(a) + ChannelG(a) + ChannelB(a) - ChannelR(b) - ChannelG(b) - ChannelB(b);
      }
    }
    return difference / 81;
  };
  const auto savedTextures = box->textures;
  for (auto& texture : box->textures) texture = nullptr;
  EXPECT_GT(darkening(), 60) << "untextured, the crate casts";
  const auto clear = std::make_shared<OstrelLibrary::CTexture>();
  ASSERT_TRUE(clear->Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  clear->Fill(0x00FFFFFF);
  for (auto& texture : box->textures) texture = clear;
  EXPECT_NEAR(darkening(), 0, 10) << "a clear texture casts nothing";
  clear->Fill(0xFFFFFFFF);
  EXPECT_GT(darkening(), 60) << "an opaque texture casts";
  box->textures = savedTextures;
}

TEST_F(ShaderPassTest, MissingEffectReportsOnceAndDrawsNothing)
{
  Win32TestTakeMessageBoxes();
  // A toon shader of its own, loading from a folder without effects.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(TestScratchDir());
  CToonShader lonely;
  lonely.Load();
  std::filesystem::current_path(previous);
  EXPECT_EQ(lonely.effect, nullptr);
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "シェーダコンパイル失敗");
  EXPECT_NE(boxes[0].text.find("ToonShader.cso"), std::string::npos) << boxes[0].text;
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));

  // Drawing through it leaves the screen as it was.
  const auto box = Mesh("res/test/box.x");
  ClearBackBuffer(0xFF102030);
  lonely.DrawMesh(*box, 0.0f, 0.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(640, 360), 0xFF102030, 0));
  lonely.defaultTexture.Release();
  lonely.defaultNormalTexture.Release();
  lonely.toonTexture.reset();
  lonely.realTexture.reset();
}

}  // namespace

// Each shader gives back what it holds: after ReleaseAll the device carries no reference
// from any of the five, so finalizing the graphics really ends it.
TEST_F(RenderTest, EachShaderReleasesEverythingItHolds)
{
  // The engine's caches keep what they loaded until the graphics go; load those first so
  // that only the shaders' own references are counted.
  graphics->GetTexture(device, "res/shader/toon.png");
  graphics->GetTexture(device, "res/shader/real.png");
  graphics->GetTexture(device, "res/shader/puddle_wave.png");
  graphics->GetMesh(device, "res/shader/puddle.x");
  const auto references = [this]() {
    device->AddRef();
    return device->Release();
  };
  const ULONG before = references();

  CShaderManager* const shaders = CShaderManager::GetInstance();
  shaders->toon.Load();
  shaders->outline.Load();
  shaders->blur.Load();
  shaders->shadowMap.Load();
  shaders->puddle.Load();
  shaders->puddle.CreateTargets();
  ASSERT_NE(shaders->toon.effect, nullptr);
  ASSERT_NE(shaders->puddle.puddleMesh, nullptr);
  ASSERT_GT(references(), before + 20) << "the shaders' effects, targets and textures hold the device";

  shaders->ReleaseAll();
  EXPECT_EQ(references(), before);
  EXPECT_EQ(shaders->toon.effect, nullptr);
  EXPECT_EQ(shaders->shadowMap.effect, nullptr);
  EXPECT_EQ(shaders->toon.cubeTexture, nullptr);

  // Load brings everything back after a release, and a second release is harmless.
  shaders->toon.Load();
  EXPECT_NE(shaders->toon.effect, nullptr);
  EXPECT_NE(shaders->toon.cubeTexture, nullptr);
  shaders->ReleaseAll();
  shaders->ReleaseAll();
  EXPECT_EQ(references(), before);
}
