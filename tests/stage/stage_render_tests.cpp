// Stage 1 drawn by the game scene on the headless device, with the shadow pass, toon
// shading and bloom, from fixed viewpoints; each frame is saved as a picture (into
// $SOLVERICA_SCREENSHOTS when set) and checked for light and for the map's shadows.
// Every other stage is drawn from the view its source names, as stage-N.png.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "stage/stage_geometry.h"

#include "../shader/shader_fixture.h"
#include "actor/game_camera.h"
#include "actor/game_map.h"
#include "app/application.h"
#include "scene/scene_game.h"

namespace {

struct Viewpoint {
  const char* name;
  D3DXVECTOR3 eye;
  D3DXVECTOR3 target;
  D3DXVECTOR3 shadowFocus;  // what the shadow map is centred on
};

const Viewpoint viewpoints[] = {
    {"entrance-hall", {5.5f, 4.5f, -6.0f}, {-1.0f, 1.0f, 6.0f}, {0.0f, 0.0f, 2.0f}},
    {"great-hall", {-1.0f, 4.5f, 18.2f}, {2.0f, 1.5f, 30.0f}, {0.0f, 0.0f, 27.0f}},
    {"dais", {-9.0f, 6.0f, 36.0f}, {3.0f, 0.0f, 22.0f}, {0.0f, 0.0f, 27.0f}},
    {"side-room", {9.0f, 4.5f, 4.0f}, {14.0f, 0.5f, -3.0f}, {12.0f, 0.0f, 0.0f}},
};

// Rec. 601 luma of an ARGB pixel.
float Luma(D3DCOLOR c)
{
  return 0.299f * ChannelR(c) + 0.587f * ChannelG(c) + 0.114f * ChannelB(c);
}

// Mean luma of a frame, and how many of its pixels are nearly black.
void Exposure(const std::vector<D3DCOLOR>& pixels, double* mean, size_t* black)
{
  double sum = 0;
  *black = 0;
  for (const D3DCOLOR c : pixels) {
    const float y = Luma(c);
    sum += y;
    if (y < 12.0f) ++*black;
  }
  *mean = sum / pixels.size();
}

class StageRender : public ShaderTest {
protected:
  void SetUp() override
  {
    // One rasteriser thread keeps read-backs exact.
    setenv("LP_NUM_THREADS", "0", 1);
    ShaderTest::SetUp();
    if (HasFatalFailure()) return;
    LoadStage(1);
  }
  // A fresh game scene for a stage, its player placed, its opening held.
  void LoadStage(int number)
  {
    if (scene) scene->Uninit(nullptr);
    CApplication::GetInstance()->stageNumber = number;
    scene = std::make_shared<CSceneGame>();
    scene->Init();
    scene->Update();         // places the player and its body parts
    scene->cameraEvent = 1;  // the shadows then follow the camera's eye, set per view
    map = std::dynamic_pointer_cast<CGameMap>(scene->actors.at(0));
    camera = std::dynamic_pointer_cast<CGameCamera>(scene->camera);
  }
  void TearDown() override
  {
    if (scene) scene->Uninit(nullptr);
    scene.reset();
    ShaderTest::TearDown();
  }
  // One frame as the main loop draws it, from a viewpoint; returns the back buffer.
  std::vector<D3DCOLOR> DrawFrom(const Viewpoint& view)
  {
    scene->cameraEvent = 1;
    camera->eye = view.shadowFocus;
    SetCamera(view.eye, view.target);
    device->SetTransform(D3DTS_VIEW, &this->view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    scene->Draw();
    graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
    scene->DrawSprite();
    graphics->sprite->End();
    device->EndScene();
    std::vector<D3DCOLOR> pixels = ReadSurface(graphics->backBuffer);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return pixels;
  }

  std::shared_ptr<CSceneGame> scene;
  std::shared_ptr<CGameMap> map;
  std::shared_ptr<CGameCamera> camera;
};

}  // namespace

TEST_F(StageRender, StageOneLoadsItsMeshesAndStageFile)
{
  ASSERT_NE(map, nullptr);
  ASSERT_TRUE(map->mesh && map->mesh->mesh);
  ASSERT_TRUE(map->depthMesh && map->depthMesh->mesh);
  EXPECT_LT(map->depthMesh->mesh->GetNumFaces(), map->mesh->mesh->GetNumFaces()) << "the shadow mesh is plainer";
  EXPECT_EQ(map->mesh->materials.size(), 4u);
  for (size_t i = 0; i < map->mesh->textures.size(); ++i) {
    EXPECT_TRUE(map->mesh->textures[i] && map->mesh->textures[i]->texture) << "material " << i;
    EXPECT_TRUE(map->mesh->normalTextures[i] && map->mesh->normalTextures[i]->texture) << "normal map " << i;
  }
  bool goal = false;
  for (const auto& actor : scene->actors) goal = goal || actor->GetName() == "CGameGoal";
  EXPECT_TRUE(goal) << "res/dat/map.1.dat places the goal";
}

TEST_F(StageRender, StageOneIsLitAndShadowedFromEveryViewpoint)
{
  ASSERT_NE(camera, nullptr);
  ASSERT_NE(map, nullptr);
  for (const Viewpoint& view : viewpoints) {
    const std::vector<D3DCOLOR> lit = DrawFrom(view);
    ASSERT_EQ(lit.size(), 1280u * 720u);
    EXPECT_TRUE(WritePng(ScreenshotDir() + "/stage1-" + view.name + ".png", 1280, 720, lit));

    double mean = 0;
    size_t black = 0;
    Exposure(lit, &mean, &black);
    EXPECT_GT(mean, 70.0) << view.name << ": too dark";
    EXPECT_LT(mean, 235.0) << view.name << ": washed out";
    EXPECT_LT(black, lit.size() / 10) << view.name << ": holes to the void";

    // Without the map's shadow mesh the same view must come out brighter in places.
    std::shared_ptr<OstrelLibrary::CMesh> depth = map->depthMesh;
    map->depthMesh.reset();
    const std::vector<D3DCOLOR> unshadowed = DrawFrom(view);
    map->depthMesh = depth;
    size_t shaded = 0;
    for (size_t i = 0; i < lit.size(); ++i) {
      if (Luma(unshadowed[i]) - Luma(lit[i]) > 20.0f) ++shaded;
    }
    std::printf("%s: mean luma %.1f, %.2f %% of pixels shaded by the map\n", view.name, mean,
                100.0 * shaded / lit.size());
    EXPECT_GT(shaded, lit.size() / 100) << view.name << ": the map casts no visible shadow";
  }
}

TEST_F(StageRender, EveryStageWithAViewIsDrawnFromIt)
{
  int drawn = 0;
  for (int n = 1; n <= 8; ++n) {
    std::ifstream file(SOLVERICA_SOURCE_DIR "/content/stages/stage" + std::to_string(n) + ".txt", std::ios::binary);
    if (!file) continue;
    std::stringstream text;
    text << file.rdbuf();
    stagebuild::StageGeometry geometry;
    std::string error;
    ASSERT_TRUE(stagebuild::BuildStageGeometry(text.str(), "stage", &geometry, &error)) << error;
    if (!geometry.hasView) continue;
    LoadStage(n);
    ASSERT_TRUE(map && map->mesh && map->mesh->mesh) << "stage " << n << " has its map";
    const stagebuild::Vec3 e = geometry.viewEye, t = geometry.viewTarget;
    const Viewpoint view{"stage", {e.x, e.y, e.z}, {t.x, t.y, t.z}, {t.x, 0.0f, t.z}};
    const std::vector<D3DCOLOR> pixels = DrawFrom(view);
    EXPECT_TRUE(WritePng(ScreenshotDir() + "/stage-" + std::to_string(n) + ".png", 1280, 720, pixels));
    double mean = 0;
    size_t black = 0;
    Exposure(pixels, &mean, &black);
    std::printf("stage %d: mean luma %.1f, %.2f %% black\n", n, mean, 100.0 * black / pixels.size());
    EXPECT_GT(mean, 60.0) << "stage " << n << ": too dark";
    EXPECT_LT(mean, 235.0) << "stage " << n << ": washed out";
    EXPECT_LT(black, pixels.size() / 10) << "stage " << n << ": holes to the void";
    ++drawn;
  }
  EXPECT_GE(drawn, 1);
}

// The map's depth is laid down before it is shaded, which is only the same picture while
// nothing in the tower lets what is behind it show: every material and texel is opaque.
TEST_F(StageRender, EveryMapIsOpaqueSoItsDepthMayGoFirst)
{
  for (int n = 1; n <= 8; ++n) {
    LoadStage(n);
    ASSERT_TRUE(map && map->mesh && map->mesh->mesh) << "stage " << n << " has its map";
    const OstrelLibrary::CMesh& mesh = *map->mesh;
    for (size_t i = 0; i < mesh.materials.size(); ++i) {
      EXPECT_EQ(mesh.materials[i].Diffuse.a, 1.0f) << "stage " << n << " material " << i;
      IDirect3DTexture9* texture = mesh.textures[i] ? mesh.textures[i]->texture : nullptr;
      if (!texture) continue;
      D3DSURFACE_DESC desc = {};
      D3DLOCKED_RECT locked = {};
      ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
      ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
      size_t clear = 0;
      for (UINT y = 0; y < desc.Height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < desc.Width; ++x) clear += row[x * 4 + 3] != 255;
      }
      texture->UnlockRect(0);
      EXPECT_EQ(clear, 0u) << "stage " << n << " material " << i << ": texels not opaque";
    }
  }
}
