// The whole chain on one small scene: a textured, outlined crate casting its shadow on a
// floor beside a glowing sphere, drawn into the scene target, copied to the back buffer
// with bloom. Checked by pixels: lit against shadowed floor, dark outline round the
// crate, glow beyond the glowing object's edge. Also draws the player's model.
#include "shader_fixture.h"

using OstrelLibrary::CMesh;
using OstrelLibrary::CTexture;

namespace {

class SceneRenderTest : public ShaderTest {
protected:
  // Draws the scene: shadow pass, toon and outlines into the scene target, then onto
  // the back buffer with its glow when asked, as a plain copy otherwise.
  void DrawScene(bool withGlow, bool withOutline)
  {
    const auto floor = Mesh("res/test/floor.x");
    const auto box = Mesh("res/test/box.x");
    const auto head = Mesh("res/game/player/player_head.x");
    ASSERT_NE(floor->mesh, nullptr);
    ASSERT_NE(box->mesh, nullptr);
    ASSERT_NE(head->mesh, nullptr);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXMATRIX glowing;
    D3DXMatrixTranslation(&glowing, glowPosition.x, glowPosition.y, glowPosition.z);

    D3DLIGHT9 light = {};
    device->GetLight(0, &light);
    const D3DXVECTOR3 direction(light.Direction.x, light.Direction.y, light.Direction.z);
    shaders->shadowMap.BeginShadowPass(D3DXVECTOR3(0.0f, 0.0f, 0.0f) - direction * 75.0f);
    DrawShadow(*box, identity);
    DrawShadow(*head, glowing);
    shaders->shadowMap.EndShadowPass();

    device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF6080A0, 1.0f, 0);
    DrawToon(*floor, identity);
    DrawToon(*box, identity, 0.2f);
    const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
    if (withOutline) {
      shaders->outline.effect->SetMatrix("g_world_mat", &identity);
      shaders->outline.DrawMesh(*box, outlineSize, &black);
    }
    const D3DXVECTOR4 glow(1.5f, 1.2f, 0.4f, 1.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &glow);
    DrawToon(*head, glowing);
    const D3DXVECTOR4 none(0.0f, 0.0f, 0.0f, 0.0f);
    shaders->toon.effect->SetVector("g_force_emissive", &none);

    device->SetRenderTarget(0, graphics->backBuffer);
    if (withGlow) {
      shaders->blur.Apply();
    } else {
      const D3DXVECTOR4 white(1.0f, 1.0f, 1.0f, 1.0f);
      shaders->blur.DrawCopy(shaders->blur.sceneTarget, 1280.0f, 720.0f, &white);
    }
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  }

  // Mean brightness (R + G + B) of a small square of back-buffer pixels.
  int Brightness(POINT at, int radius = 2)
  {
    int sum = 0;
    int count = 0;
    for (int y = at.y - radius; y <= at.y + radius; ++y) {
      for (int x = at.x - radius; x <= at.x + radius; ++x) {
        const D3DCOLOR c = BackBufferPixel(x, y);
        sum += ChannelR(c) + ChannelG(c) + ChannelB(c);
        ++count;
      }
    }
    return sum / count;
  }

  D3DXVECTOR3 glowPosition = D3DXVECTOR3(-3.0f, 0.0f, 1.0f);
  float outlineSize = 0.06f;
};

TEST_F(SceneRenderTest, LitShadowedOutlinedAndGlowing)
{
  SetCamera(D3DXVECTOR3(0.0f, 9.0f, -7.0f), D3DXVECTOR3(0.0f, 0.0f, 0.5f));
  const auto box = Mesh("res/test/box.x");
  D3DXVECTOR3 low, high;
  MeshBounds(*box, &low, &high);

  DrawScene(false, true);
  const std::vector<D3DCOLOR> plain = ReadSurface(graphics->backBuffer);

  // The light falls towards +x, +z: the floor just past the crate's +x side lies in its
  // shadow; the floor as far past its -x side is in the light.
  const int shadowed = Brightness(Project(D3DXVECTOR3(high.x + 0.3f, 0.0f, 0.0f)));
  const int lit = Brightness(Project(D3DXVECTOR3(low.x - 0.3f, 0.0f, 0.0f)));
  EXPECT_LT(shadowed + 60, lit) << "shadowed " << shadowed << ", lit " << lit;

  // The outline: just left of the crate's front-left edge (its silhouette from a camera
  // in front of it) it is dark; drawn without an outline the same pixel shows the floor.
  const POINT edge = Project(D3DXVECTOR3(low.x, high.y * 0.5f, low.z));
  const POINT justOutside = {edge.x - 2, edge.y};
  const int outlined = Brightness(justOutside, 0);
  DrawScene(false, false);
  const int bare = Brightness(justOutside, 0);
  EXPECT_LT(outlined, 60) << "outline pixel " << outlined;
  EXPECT_GT(bare, outlined + 100) << "the same pixel without an outline " << bare;

  // The glow: beyond the glowing head's edge the bloom brightens the floor; far from it
  // the bloom changes next to nothing.
  DrawScene(true, true);
  const auto head = Mesh("res/game/player/player_head.x");
  D3DXVECTOR3 headLow, headHigh;
  MeshBounds(*head, &headLow, &headHigh);
  const POINT beyond = Project(D3DXVECTOR3(glowPosition.x + headLow.x - 0.35f, glowPosition.y + 0.8f, glowPosition.z));
  const POINT far = Project(D3DXVECTOR3(4.0f, 0.0f, -2.0f));
  const auto at = [&](const std::vector<D3DCOLOR>& pixels, POINT p) {
    const D3DCOLOR c = pixels[static_cast<size_t>(p.y) * 1280 + static_cast<size_t>(p.x)];
    return ChannelR(c) + ChannelG(c) + ChannelB(c);
  };
  const std::vector<D3DCOLOR> glowing = ReadSurface(graphics->backBuffer);
  EXPECT_GT(at(glowing, beyond), at(plain, beyond) + 30)
      << "beyond the edge: " << at(plain, beyond) << " -> " << at(glowing, beyond);
  EXPECT_LT(std::abs(at(glowing, far) - at(plain, far)), 25)
      << "far away: " << at(plain, far) << " -> " << at(glowing, far);

  WritePng(ScreenshotDir() + "/shader-scene.png", 1280, 720, glowing);
}

// The shadow's edge is soft: along the floor from inside the crate's shadow out into
// the light, brightness climbs over several pixels rather than in one step.
TEST_F(SceneRenderTest, ShadowEdgeIsSoft)
{
  SetCamera(D3DXVECTOR3(0.0f, 9.0f, -7.0f), D3DXVECTOR3(0.0f, 0.0f, 0.5f));
  const auto box = Mesh("res/test/box.x");
  D3DXVECTOR3 low, high;
  MeshBounds(*box, &low, &high);
  DrawScene(false, false);
  const POINT inside = Project(D3DXVECTOR3(high.x + 0.1f, 0.0f, 0.0f));
  const POINT outside = Project(D3DXVECTOR3(high.x + 2.0f, 0.0f, 0.0f));
  ASSERT_LT(inside.x + 20, outside.x);
  const int shadowed = Brightness(inside, 0);
  const int lit = Brightness({outside.x, inside.y}, 0);
  ASSERT_LT(shadowed + 60, lit);
  // From the light back towards the crate, the pixels clearly between the two levels
  // before the shadow's level is reached: the toon ramp bands the edge, and a soft edge
  // shows at least one band between lit and shadowed, a hard edge none.
  int between = 0;
  std::string profile;
  for (int x = outside.x; x >= inside.x; --x) {
    const int value = Brightness({x, inside.y}, 0);
    profile += std::to_string(value) + " ";
    if (value <= shadowed + 15) break;
    if (value < lit - 15) ++between;
  }
  std::printf("shadow edge: %d pixels between %d and %d\n", between, shadowed, lit);
  EXPECT_GE(between, 2) << "profile from the light inwards: " << profile;
}

TEST_F(SceneRenderTest, PlayerModelStandsAssembled)
{
  SetCamera(D3DXVECTOR3(1.2f, 1.5f, 3.2f), D3DXVECTOR3(0.0f, 0.8f, 0.0f));
  device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF8FB8E0, 1.0f, 0);
  const auto floor = Mesh("res/test/floor.x");
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  DrawToon(*floor, identity);

  // The body stands in the player's frame, the head one unit up, the arms at the
  // shoulders, the feet under the body; the player faces the camera (+z).
  struct Part {
    const char* file;
    D3DXVECTOR3 at;
  };
  const Part parts[] = {
      {"res/game/player/player_body.x", {0.0f, 0.0f, 0.0f}},
      {"res/game/player/player_head.x", {0.0f, 1.0f, 0.0f}},
      {"res/game/player/player_default_eye.x", {0.0f, 1.0f, 0.0f}},
      {"res/game/player/player_arm.x", {0.35f, 0.8f, 0.0f}},
      {"res/game/player/player_arm.x", {-0.35f, 0.8f, 0.0f}},
      {"res/game/player/player_left_foot.x", {0.0f, 0.0f, 0.0f}},
      {"res/game/player/player_right_foot.x", {0.0f, 0.0f, 0.0f}},
  };
  const D3DXVECTOR4 black(0.0f, 0.0f, 0.0f, 1.0f);
  for (const Part& part : parts) {
    const auto mesh = Mesh(part.file);
    ASSERT_NE(mesh->mesh, nullptr) << part.file;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, part.at.x, part.at.y, part.at.z);
    DrawToon(*mesh, world);
    shaders->outline.effect->SetMatrix("g_world_mat", &world);
    shaders->outline.DrawMesh(*mesh, 0.015f, &black);
  }
  device->SetRenderTarget(0, graphics->backBuffer);
  shaders->blur.Apply();
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  const std::vector<D3DCOLOR> pixels = ReadSurface(graphics->backBuffer);

  // The character covers the middle of the picture and differs from the sky behind.
  const POINT chest = Project(D3DXVECTOR3(0.0f, 0.6f, 0.3f));
  const D3DCOLOR sky = pixels[20 * 1280 + 20];
  const D3DCOLOR body = pixels[static_cast<size_t>(chest.y) * 1280 + static_cast<size_t>(chest.x)];
  EXPECT_FALSE(RgbNear(body, sky, 30)) << std::hex << body << " vs " << sky;
  WritePng(ScreenshotDir() + "/player-model.png", 1280, 720, pixels);
}

}  // namespace
