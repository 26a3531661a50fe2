// The generator as a whole: it writes every file the game names, the player meshes
// fit the body-part frames the game places them in, a second run changes nothing,
// and a broken source fails with a message naming it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <stb_image.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "art/generate.h"
#include "art/palette.h"
#include "core/output.h"
#include "mesh/vec.h"
#include "stage/stage_sky.h"
#include "dds_reader.h"
#include "ready_pixels.h"
#include "x_reader.h"
#include "xmesh_data.h"

using namespace contentgen;
using namespace stagebuild;
namespace fs = std::filesystem;

namespace {

// ctest runs each test in its own process, two at a time: each process its own tree.
const fs::path kRes = fs::temp_directory_path() / ("contentgen_generate_test_" + std::to_string(getpid())) / "res";

// Runs the generator once for all tests of the suite.
class GeneratedTree : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    fs::remove_all(kRes);
    GenerateOptions options{CONTENT_TEST_SOURCE_DIR, kRes.string(), CONTENT_TEST_FONT};
    generated = GenerateAll(options, &generateError);
  }

  // The tree is this process's own: nothing of it is left behind.
  static void TearDownTestSuite() { fs::remove_all(kRes.parent_path()); }

  // Parsed mesh under res/, failing the test when it does not parse.
  static contenttest::ParsedX Mesh(const std::string& relative)
  {
    contenttest::ParsedX parsed;
    std::string error;
    EXPECT_TRUE(contenttest::ParseXFile((kRes / relative).string(), &parsed, &error)) << relative << ": " << error;
    return parsed;
  }

  // Bounds of positions after a transform.
  static void Bounds(const contenttest::ParsedX& mesh, const Transform& t, Vec3* low, Vec3* high)
  {
    *low = {1e9f, 1e9f, 1e9f};
    *high = {-1e9f, -1e9f, -1e9f};
    for (const Vec3 p0 : mesh.positions) {
      const Vec3 p = t.Point(p0);
      *low = {std::min(low->x, p.x), std::min(low->y, p.y), std::min(low->z, p.z)};
      *high = {std::max(high->x, p.x), std::max(high->y, p.y), std::max(high->z, p.z)};
    }
  }

  static bool generated;
  static std::string generateError;
};

bool GeneratedTree::generated = false;
std::string GeneratedTree::generateError;

}  // namespace

TEST_F(GeneratedTree, WritesEveryFileTheGameNames)
{
  ASSERT_TRUE(generated) << generateError;
  const char* files[] = {"shader/toon.png",
                         "shader/real.png",
                         "shader/cube_map.dds",
                         "shader/puddle_wave.png",
                         "shader/puddle.x",
                         "icon.png",
                         "game/player/player_arm.x",
                         "game/player/player_left_foot.x",
                         "game/player/player_right_foot.x",
                         "game/player/player_head.x",
                         "game/player/player_default_eye.x",
                         "game/player/player_glee_eye.x",
                         "game/player/player_body.x",
                         "test/floor.x",
                         "test/wall.x",
                         "test/step.x",
                         "test/box.x",
                         "test/map.x",
                         "test/depth_map.x"};
  for (const char* file : files) EXPECT_TRUE(fs::exists(kRes / file)) << file;
  for (const auto& entry : fs::recursive_directory_iterator(kRes)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

TEST_F(GeneratedTree, EveryMeshParsesAndItsTexturesExist)
{
  ASSERT_TRUE(generated) << generateError;
  for (const auto& entry : fs::recursive_directory_iterator(kRes)) {
    if (entry.path().extension() != ".x") continue;
    SCOPED_TRACE(entry.path().string());
    const contenttest::ParsedX mesh = Mesh(fs::relative(entry.path(), kRes).string());
    EXPECT_LE(mesh.positions.size(), 65535u);
    EXPECT_EQ(mesh.normals.size(), mesh.positions.size());
    EXPECT_EQ(mesh.uvs.size(), mesh.positions.size());
    for (const Material& m : mesh.materials) {
      if (m.textureFile.empty()) continue;
      EXPECT_TRUE(fs::exists(entry.path().parent_path() / m.textureFile)) << m.textureFile;
      // Beside each texture, its mip chain from half its size down, made at build time.
      const fs::path picture = entry.path().parent_path() / m.textureFile;
      std::vector<uint8_t> bytes;
      ASSERT_TRUE(ReadFile(fs::path(picture).replace_extension(".mips.dds").string(), &bytes)) << m.textureFile;
      DdsImage chain;
      std::string error;
      ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &chain, &error)) << error;
      int w = 0, h = 0, n = 0;
      ASSERT_TRUE(stbi_info(picture.string().c_str(), &w, &h, &n)) << m.textureFile;
      EXPECT_EQ(chain.width, std::max(1u, static_cast<uint32_t>(w) / 2)) << m.textureFile;
      EXPECT_EQ(chain.height, std::max(1u, static_cast<uint32_t>(h) / 2)) << m.textureFile;
      EXPECT_EQ(DdsLevelSize(chain.width, chain.levels - 1) + DdsLevelSize(chain.height, chain.levels - 1), 2u);
    }
  }
  // Pictures drawn texel for pixel carry no chain.
  EXPECT_FALSE(fs::exists(kRes / "title/picture/title_background.mips.dds"));
  EXPECT_FALSE(fs::exists(kRes / "game/sprite/pause.mips.dds"));
}

// A stage's pictures carry their pixels ready to upload (name.top.dds), which the game
// takes instead of the PNG: they must be the PNG's pixels exactly.
TEST_F(GeneratedTree, ReadyPixelsBesideGamePicturesAreThePicturesOwn)
{
  ASSERT_TRUE(generated) << generateError;
  int twins = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kRes / "game")) {
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(entry.path().string());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFile(fs::path(entry.path()).replace_extension(".top.dds").string(), &bytes));
    DdsImage twin;
    std::string error;
    ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &twin, &error)) << error;
    std::vector<uint8_t> png;
    ASSERT_TRUE(ReadFile(entry.path().string(), &png));
    EXPECT_TRUE(ReadyPixelsMatch(bytes, png)) << "the twin's mark names this PNG";
    int w = 0, h = 0, n = 0;
    stbi_uc* rgba = stbi_load(entry.path().string().c_str(), &w, &h, &n, 4);
    ASSERT_NE(rgba, nullptr);
    ASSERT_EQ(twin.width, static_cast<uint32_t>(w));
    ASSERT_EQ(twin.height, static_cast<uint32_t>(h));
    size_t differing = 0;
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
      const uint8_t* t = &twin.images[0][i * 4];
      const uint8_t* p = &rgba[i * 4];
      if (t[0] != p[2] || t[1] != p[1] || t[2] != p[0] || t[3] != p[3]) ++differing;
    }
    stbi_image_free(rgba);
    EXPECT_EQ(differing, 0u);
    ++twins;
  }
  EXPECT_GT(twins, 20);
  // The title's pictures load before any stage and are decoded as they are.
  EXPECT_FALSE(fs::exists(kRes / "title/picture/title_background.top.dds"));
}

TEST_F(GeneratedTree, GameReadersLoadEveryMeshAndTheCubeMap)
{
  ASSERT_TRUE(generated) << generateError;
  int meshes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kRes)) {
    if (entry.path().extension() != ".x") continue;
    SCOPED_TRACE(entry.path().string());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFile(entry.path().string(), &bytes));
    XMeshData mesh;
    std::string error;
    ASSERT_TRUE(LoadXMesh(bytes.data(), bytes.size(), &mesh, &error)) << error;
    const contenttest::ParsedX ours = Mesh(fs::relative(entry.path(), kRes).string());
    EXPECT_EQ(mesh.VertexCount(), ours.positions.size());
    EXPECT_EQ(mesh.FaceCount(), ours.faces.size());
    EXPECT_TRUE(mesh.hasNormals);
    EXPECT_TRUE(mesh.hasUvs);
    EXPECT_TRUE(mesh.IndicesFitSixteenBits());
    ASSERT_EQ(mesh.materials.size(), ours.materials.size());
    for (size_t i = 0; i < ours.materials.size(); ++i) {
      EXPECT_EQ(mesh.materials[i].textureFileName, ours.materials[i].textureFile);
      EXPECT_FLOAT_EQ(mesh.materials[i].diffuse.r, ours.materials[i].diffuse.r);
    }
    ++meshes;
  }
  EXPECT_GE(meshes, 14);

  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFile((kRes / "shader/cube_map.dds").string(), &bytes));
  DdsImage cube;
  std::string error;
  ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &cube, &error)) << error;
  EXPECT_TRUE(cube.cube);
  EXPECT_EQ(cube.width, 256u);
  ASSERT_EQ(cube.levels, 9u);  // the whole chain, 256 down to 1, made here
  ASSERT_EQ(cube.images.size(), 6u * 9);
  // Straight up (+Y face centre) is deep sky blue; straight down (-Y) is the cloud sea,
  // lighter and less saturated. Texels are B, G, R, A.
  const size_t centre = (128 * 256 + 128) * 4;
  const uint8_t* up = &cube.images[2 * 9][centre];
  const uint8_t* down = &cube.images[3 * 9][centre];
  EXPECT_GT(up[0], up[2] + 80);
  EXPECT_LT(down[0] - down[2], up[0] - up[2]);
}

TEST_F(GeneratedTree, PuddleIsAnUpFacingDiscWithCentredUvs)
{
  ASSERT_TRUE(generated) << generateError;
  const contenttest::ParsedX puddle = Mesh("shader/puddle.x");
  ASSERT_FALSE(puddle.faces.empty());
  for (size_t i = 0; i < puddle.positions.size(); ++i) {
    EXPECT_NEAR(puddle.positions[i].y, 0.01f, 1e-6);
    EXPECT_NEAR(puddle.normals[i].y, 1, 1e-6);
    // The rim sits at UV distance 0.5 from the centre, the centre at (0.5, 0.5).
    const float du = puddle.uvs[i].x - 0.5f, dv = puddle.uvs[i].y - 0.5f;
    const float r = std::hypot(puddle.positions[i].x, puddle.positions[i].z);
    EXPECT_NEAR(std::hypot(du, dv), r / 3.5f, 1e-5);
  }
  for (const std::vector<int>& f : puddle.faces) {  // clockwise seen from above
    const Vec3 a = puddle.positions[f[0]], b = puddle.positions[f[1]], c = puddle.positions[f[2]];
    EXPECT_GT(Cross(b - a, c - a).y, 0);
  }
}

TEST_F(GeneratedTree, ShaderPicturesHaveTheirShapes)
{
  ASSERT_TRUE(generated) << generateError;
  int w = 0, h = 0, n = 0;
  for (const char* ramp : {"shader/toon.png", "shader/real.png"}) {
    uint8_t* pixels = stbi_load((kRes / ramp).string().c_str(), &w, &h, &n, 4);
    ASSERT_NE(pixels, nullptr) << ramp;
    EXPECT_EQ(w, 256);
    // Darker where the surface faces away from the light, never darker towards it.
    int previous = 0;
    for (int x = 0; x < w; ++x) {
      const int sum = pixels[x * 4] + pixels[x * 4 + 1] + pixels[x * 4 + 2];
      EXPECT_GE(sum, previous) << ramp << " at " << x;
      previous = sum;
    }
    EXPECT_LT(pixels[0] + pixels[1] + pixels[2], (pixels[(w - 1) * 4] + pixels[(w - 1) * 4 + 1]) * 3 / 2);
    stbi_image_free(pixels);
  }
  std::vector<uint8_t> dds;
  ASSERT_TRUE(ReadFile((kRes / "shader/cube_map.dds").string(), &dds));
  EXPECT_EQ(dds.size(),
            128u + 6u * (256 * 256 + 128 * 128 + 64 * 64 + 32 * 32 + 16 * 16 + 8 * 8 + 4 * 4 + 2 * 2 + 1) * 4);
  uint8_t* icon = stbi_load((kRes / "icon.png").string().c_str(), &w, &h, &n, 4);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 64);
  stbi_image_free(icon);
}

TEST_F(GeneratedTree, PlayerPartsFitTheirFrames)
{
  ASSERT_TRUE(generated) << generateError;
  Vec3 low, high;
  // Body in the player's frame: above the feet, below the head origin.
  Bounds(Mesh("game/player/player_body.x"), Transform(), &low, &high);
  EXPECT_GT(low.y, 0.1f);
  EXPECT_LT(high.y, 1.0f);
  EXPECT_LT(high.x, 0.35f);  // the shoulders at +-0.35 are outside the torso
  // Head at (0, 1, 0): the whole character stands about 1.6 high.
  Bounds(Mesh("game/player/player_head.x"), Translation(0, 1, 0), &low, &high);
  EXPECT_NEAR(high.y, 1.6f, 0.1f);
  EXPECT_LT(low.y, 0.95f);  // reaches down to the collar, no gap at the neck
  // Eyes in front of the face.
  Bounds(Mesh("game/player/player_default_eye.x"), Transform(), &low, &high);
  EXPECT_GT(low.z, 0.25f);
  EXPECT_LT(high.x, 0.25f);
  EXPECT_GT(low.x, -0.25f);
  // Arm hanging: rotation 90 about x, then the shoulder at (0.35, 0.8, 0).
  const contenttest::ParsedX arm = Mesh("game/player/player_arm.x");
  Bounds(arm, Combine(RotationX(90), Translation(0.35f, 0.8f, 0)), &low, &high);
  EXPECT_GT(low.y, 0.15f);  // the hand hangs above the ground
  EXPECT_LT(low.y, 0.45f);  // and well below the shoulder
  EXPECT_NEAR(high.y, 0.9f, 0.05f);
  EXPECT_NEAR(low.x + high.x, 0.7f, 0.01f);  // symmetric about the shoulder: one mesh serves both arms
  // Raised straight up (the orb pose): the hand reaches well above the shoulder.
  Bounds(arm, Combine(RotationX(-90), Translation(0.35f, 0.8f, 0)), &low, &high);
  EXPECT_GT(high.y, 1.2f);
  // The hand is the emissive material.
  ASSERT_EQ(arm.materials.size(), 2u);
  EXPECT_GT(arm.materials[1].emissive.r, 0);
  EXPECT_EQ(arm.materials[0].emissive.r, 0);
  // Feet stand on the ground on their own side.
  Bounds(Mesh("game/player/player_left_foot.x"), Transform(), &low, &high);
  EXPECT_NEAR(low.y, 0, 1e-4);
  EXPECT_LT(high.x, 0);
  EXPECT_GT(high.z, 0.15f);  // toes forward
  Bounds(Mesh("game/player/player_right_foot.x"), Transform(), &low, &high);
  EXPECT_GT(low.x, 0);
}

TEST_F(GeneratedTree, SecondRunChangesNoFile)
{
  ASSERT_TRUE(generated) << generateError;
  const int before = WrittenFileCount();
  std::string error;
  GenerateOptions options{CONTENT_TEST_SOURCE_DIR, kRes.string(), CONTENT_TEST_FONT};
  ASSERT_TRUE(GenerateAll(options, &error)) << error;
  EXPECT_EQ(WrittenFileCount(), before) << "output is not deterministic";
}

TEST(ContentSources, BadPaletteFailsNamingFileAndLine)
{
  CPalette palette;
  std::string error;
  EXPECT_FALSE(palette.Parse("sky #123456\nrobe #12345G\n", "content/palette.txt", &error));
  EXPECT_EQ(error.rfind("content/palette.txt:2: ", 0), 0u) << error;
  EXPECT_NE(error.find("#12345G"), std::string::npos);
  EXPECT_FALSE(palette.Parse("sky #123456\nsky #654321\n", "p.txt", &error));
  EXPECT_NE(error.find("p.txt:2: colour 'sky' is defined twice"), std::string::npos) << error;
  EXPECT_FALSE(palette.Parse("sky\n", "p.txt", &error));
  EXPECT_NE(error.find("p.txt:1:"), std::string::npos);
  ASSERT_TRUE(palette.Parse("# comment\n\nsky #123456  # blue\nglass #10203040\n", "p.txt", &error)) << error;
  EXPECT_NEAR(palette.Get("glass").a, 0x40 / 255.0f, 1e-6);
  EXPECT_TRUE(palette.CheckLookups(&error));
  palette.Get("nothing");
  EXPECT_FALSE(palette.CheckLookups(&error));
  EXPECT_EQ(error, "p.txt: no colour named 'nothing'");
}

TEST(ContentSources, GeneratorFailsOnABrokenSourceAndWritesNothing)
{
  const fs::path root = fs::temp_directory_path() / "contentgen_bad_source";
  fs::remove_all(root);
  fs::create_directories(root / "content");
  std::ofstream(root / "content" / "palette.txt") << "robe #7d5fd0\nsky blue\n";
  std::string error;
  GenerateOptions options{(root / "content").string(), (root / "res").string(), CONTENT_TEST_FONT};
  EXPECT_FALSE(GenerateAll(options, &error));
  EXPECT_NE(error.find("palette.txt:2:"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(root / "res"));

  // A palette that parses but lacks a colour the pictures use is named too, and
  // still nothing is written.
  std::ofstream(root / "content" / "palette.txt") << "robe #7d5fd0\n";
  EXPECT_FALSE(GenerateAll(options, &error));
  EXPECT_NE(error.find("palette.txt: no colour named"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(root / "res"));
}

// A stage the game builds from a player's source has the sky the generator gives the
// shipped stages: the stage builder's sky colours are the palette's.
TEST(StageSkyColours, AreThePalettes)
{
  CPalette palette;
  std::string error;
  ASSERT_TRUE(palette.Load(CONTENT_TEST_SOURCE_DIR "/palette.txt", &error)) << error;
  const stagebuild::StageSky sky = stagebuild::DefaultStageSky();
  const std::pair<const char*, stagebuild::Rgba> bands[] = {
      {"sky_horizon", sky.horizon}, {"sky_high", sky.high}, {"sky_zenith", sky.zenith}};
  for (const auto& [name, colour] : bands) {
    const Color c = palette.Get(name);
    EXPECT_EQ(c.r, colour.r) << name;
    EXPECT_EQ(c.g, colour.g) << name;
    EXPECT_EQ(c.b, colour.b) << name;
  }
}
