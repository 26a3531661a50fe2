// The one-pass composite against the chain it replaced: a lit scene with a glowing
// object and an over-bright spot goes through both; the pictures must agree within a
// mean of 2 and at most 12 levels of 255 per channel, in colour and under a menu's grey.
// The old chain (full-size float bright pass, float pyramid grown by tinted copies, the
// copy and five additive passes) is rebuilt here from the shader's own passes.
#include "shader_fixture.h"

using OstrelLibrary::CTexture;

namespace {

class PostProcessCompareTest : public ShaderTest {
protected:
  void SetUp() override
  {
    ShaderTest::SetUp();
    UINT w = 320, h = 180;
    for (int i = 0; i < CBlurShader::kLevelCount; ++i) {
      ASSERT_TRUE(oldLevels[2 * i].Create(device, w, h, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT));
      ASSERT_TRUE(
          oldLevels[2 * i + 1].Create(device, w, h, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT));
      w /= 2;
      h /= 2;
    }
    ASSERT_TRUE(oldBright.Create(device, 1280, 720, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT));
  }
  void TearDown() override
  {
    for (CTexture& level : oldLevels) level.Release();
    oldBright.Release();
    ShaderTest::TearDown();
  }

  // A floor, a crate and two glowing heads (one far over white) into the scene target.
  void DrawReference()
  {
    SetCamera(D3DXVECTOR3(0.0f, 9.0f, -7.0f), D3DXVECTOR3(0.0f, 0.0f, 0.5f));
    const auto floor = Mesh("res/test/floor.x");
    const auto box = Mesh("res/test/box.x");
    const auto head = Mesh("res/game/player/player_head.x");
    ASSERT_NE(head->mesh, nullptr);
    D3DXMATRIX identity, left, right;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixTranslation(&left, -3.0f, 0.0f, 1.0f);
    D3DXMatrixTranslation(&right, 3.0f, 0.0f, 2.0f);
    CastShadow(*box, identity);
    device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF6080A0, 1.0f, 0);
    DrawToon(*floor, identity);
    DrawToon(*box, identity, 0.2f);
    const D3DXVECTOR4 glow(1.5f, 1.2f, 0.4f, 1.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &glow);
    DrawToon(*head, left);
    const D3DXVECTOR4 blaze(2.5f, 2.0f, 2.8f, 1.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &blaze);
    DrawToon(*head, right);
    const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &none);
    device->SetRenderTarget(0, graphics->backBuffer);
  }

  // The replaced chain onto the back buffer.
  void OldChain()
  {
    CBlurShader& blur = shaders->blur;
    const D3DXVECTOR4 white(1.0f, 1.0f, 1.0f, 1.0f);
    blur.DrawCopy(blur.sceneTarget, 1280.0f, 720.0f, &white);
    blur.DrawBright(blur.sceneTarget, oldBright);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int i = 0; i < CBlurShader::kLevelCount; ++i) {
      CTexture& a = oldLevels[2 * i];
      CTexture& b = oldLevels[2 * i + 1];
      const CTexture& source = i == 0 ? oldBright : oldLevels[2 * i - 1];
      const float w = static_cast<float>(b.imageInfo.Width);
      const float h = static_cast<float>(b.imageInfo.Height);
      device->SetRenderTarget(0, b.surface);
      blur.DrawCopy(source, w, h, &white);
      device->SetRenderTarget(0, a.surface);
      blur.DrawXBlur(b, w, h);
      device->SetRenderTarget(0, b.surface);
      blur.DrawYBlur(a, w, h);
    }
    device->SetRenderTarget(0, graphics->backBuffer);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    for (int i = 0; i < CBlurShader::kLevelCount; ++i) blur.DrawCopy(oldLevels[2 * i + 1], 1280.0f, 720.0f, &white);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  }

  // Both chains on the same image; prints and checks how far apart they are, and that
  // the glow really reached the picture (so the comparison is not of two plain copies).
  void Compare(int monotone)
  {
    DrawReference();
    shaders->blur.effect->SetInt("g_is_monotone", monotone);
    const D3DXVECTOR4 white(1.0f, 1.0f, 1.0f, 1.0f);
    shaders->blur.DrawCopy(shaders->blur.sceneTarget, 1280.0f, 720.0f, &white);
    const std::vector<D3DCOLOR> plain = ReadSurface(graphics->backBuffer);
    OldChain();
    const std::vector<D3DCOLOR> before = ReadSurface(graphics->backBuffer);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF00FF, 1.0f, 0);
    shaders->blur.Apply();
    const std::vector<D3DCOLOR> after = ReadSurface(graphics->backBuffer);
    shaders->blur.effect->SetInt("g_is_monotone", 0);
    ASSERT_EQ(before.size(), after.size());

    double sum = 0.0;
    int worst = 0;
    int glowing = 0;
    for (size_t i = 0; i < before.size(); ++i) {
      const int channels[3][3] = {{ChannelR(before[i]), ChannelR(after[i]), ChannelR(plain[i])},
                                  {ChannelG(before[i]), ChannelG(after[i]), ChannelG(plain[i])},
                                  {ChannelB(before[i]), ChannelB(after[i]), ChannelB(plain[i])}};
      bool brighter = false;
      for (const auto& c : channels) {
        const int difference = std::abs(c[0] - c[1]);
        sum += difference;
        worst = std::max(worst, difference);
        brighter = brighter || c[0] > c[2] + 8;
      }
      glowing += brighter ? 1 : 0;
    }
    const double mean = sum / (before.size() * 3.0);
    std::printf("monotone %d: mean difference %.3f, largest %d, %d pixels lit by the glow\n", monotone, mean, worst,
                glowing);
    EXPECT_GT(glowing, 2000);
    EXPECT_LE(mean, 2.0);
    EXPECT_LE(worst, 12);
  }

  CTexture oldLevels[2 * CBlurShader::kLevelCount];
  CTexture oldBright;
};

TEST_F(PostProcessCompareTest, CompositeMatchesTheOldChainInColour)
{
  Compare(0);
}

TEST_F(PostProcessCompareTest, CompositeMatchesTheOldChainUnderAMenu)
{
  Compare(1);
}

}  // namespace
