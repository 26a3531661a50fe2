// The stage sources: the generator's parser and solids, and content/stages/stage1.txt.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "stage/stage_geometry.h"

using stagebuild::BuildStageGeometry;
using stagebuild::StageGeometry;
using stagebuild::Vec3;

namespace {

// Every triangle faces the way its vertex normals say (Direct3D's front faces).
void ExpectFacesAgreeWithNormals(const stagebuild::CMeshData& mesh)
{
  for (const stagebuild::Triangle& t : mesh.triangles) {
    const Vec3 a = mesh.vertices[t.a].position, b = mesh.vertices[t.b].position, c = mesh.vertices[t.c].position;
    const Vec3 n = stagebuild::Cross(b - a, c - a);
    ASSERT_GT(stagebuild::Dot(n, mesh.vertices[t.a].normal), 0.0f);
  }
}

// The heights of the upward faces of a mesh.
std::set<float> TopHeights(const stagebuild::CMeshData& mesh)
{
  std::set<float> heights;
  for (const stagebuild::Vertex& v : mesh.vertices) {
    if (v.normal.y > 0.99f) heights.insert(v.position.y);
  }
  return heights;
}

// The problem a source is refused with.
std::string Refusal(const std::string& text)
{
  StageGeometry geometry;
  std::string error;
  EXPECT_FALSE(BuildStageGeometry(text, "test.txt", &geometry, &error)) << text;
  return error;
}

}  // namespace

TEST(StageSource, StairsRiseInEqualStepsAndRampsAreWedges)
{
  StageGeometry geometry;
  std::string error;
  ASSERT_TRUE(BuildStageGeometry("stairs stone 0 0 2 3 0 1.2 3 +z\n", "test.txt", &geometry, &error)) << error;
  const std::set<float> tops = TopHeights(geometry.map);
  ASSERT_EQ(tops.size(), 3u);
  EXPECT_NEAR(*tops.begin(), 0.4f, 1e-5f);
  EXPECT_NEAR(*tops.rbegin(), 1.2f, 1e-5f);
  EXPECT_EQ(geometry.map.triangles.size(), 3u * 12u);
  ExpectFacesAgreeWithNormals(geometry.map);

  ASSERT_TRUE(BuildStageGeometry("ramp wood 0 0 4 10 0 2.4 -x\n", "test.txt", &geometry, &error)) << error;
  EXPECT_EQ(geometry.map.triangles.size(), 2u + 2u + 2u + 1u + 1u);
  ExpectFacesAgreeWithNormals(geometry.map);
  float highX = -1, highY = -1;
  for (const auto& v : geometry.map.vertices) {
    if (v.position.y > highY) {
      highY = v.position.y;
      highX = v.position.x;
    }
  }
  EXPECT_NEAR(highY, 2.4f, 1e-5f);
  EXPECT_NEAR(highX, 0.0f, 1e-5f) << "rising towards -x: the high end at x = 0";
}

TEST(StageSource, DetailSolidsStayOutOfTheDepthMeshAndActorsAreListed)
{
  StageGeometry geometry;
  std::string error;
  ASSERT_TRUE(
      BuildStageGeometry("floor stone -5 -5 5 5 0  # the floor\n"
                         "detail box trim -5 7 -5 5 7.5 5\n"
                         "actor CGameGoal 1 2.5 -3\n",
                         "test.txt", &geometry, &error))
      << error;
  EXPECT_EQ(geometry.map.triangles.size(), 24u);
  EXPECT_EQ(geometry.depthMap.triangles.size(), 12u);
  EXPECT_EQ(geometry.depthMap.materials.size(), 1u);
  EXPECT_EQ(geometry.map.materials.size(), 2u) << "only the surfaces used: stone and trim";
  EXPECT_EQ(stagebuild::StageFileText(geometry.actors), "CGameGoal 1 2.5 -3\n");
}

TEST(StageSource, BadLinesAreRefusedWithTheirLineNumber)
{
  EXPECT_EQ(Refusal("floor stone 0 0 1 1 0\nwibble 1 2\n"), "test.txt:2: unknown line 'wibble'");
  EXPECT_EQ(Refusal("box granite 0 0 0 1 1 1\n"), "test.txt:1: unknown material 'granite'");
  EXPECT_EQ(Refusal("stairs stone 0 0 1 1 0 1 0 +z\n"), "test.txt:1: stairs need a step count");
  EXPECT_EQ(Refusal("ramp stone 0 0 1 1 0 1 up\n"), "test.txt:1: direction must be +x, -x, +z or -z");
  EXPECT_EQ(Refusal("ramp stone 0 0 1 1 1 0 +x\n"), "test.txt:1: ramp must rise: y1 above y0");
  EXPECT_EQ(Refusal("wall 0 0 1\n"), "test.txt:1: wall needs x0 z0 x1 z1");
  EXPECT_EQ(Refusal("actor CGameGoal 1 2\n"), "test.txt:1: actor needs a name and x y z");
  EXPECT_EQ(Refusal("box stone 0 0 0 0 1 1\n"), "test.txt:1: a solid with no volume");
  EXPECT_EQ(Refusal("stairs stone 0 0 1 1 0 1\n"), "test.txt:1: stairs need a step count");
  EXPECT_EQ(Refusal("floor\n"), "test.txt:1: floor needs a material");
  EXPECT_EQ(Refusal("# nothing\n"), "test.txt:1: no solids");
}

TEST(StageSource, LookLinesAndTheSkyAreRefusedWhenWrong)
{
  EXPECT_EQ(Refusal("floor stone 0 0 1 1 0\nlight 1 1\n"), "test.txt:2: light needs R G B");
  EXPECT_EQ(Refusal("ambience 0.1 -0.1 0\n"), "test.txt:1: colour components must be 0 to 4");
  EXPECT_EQ(Refusal("light 9 1 1\n"), "test.txt:1: colour components must be 0 to 4");
  EXPECT_EQ(Refusal("tint 1 1 1\n"), "test.txt:1: unknown material '1'");
  EXPECT_EQ(Refusal("tint moss 1 1 1\n"), "test.txt:1: unknown material 'moss'");
  EXPECT_EQ(Refusal("sky 0 0 10 10 5\n"), "test.txt:1: sky needs x0 z0 x1 z1 y0 y1");
  EXPECT_EQ(Refusal("sky 0 0 10 10 5 5\n"), "test.txt:1: sky must enclose a volume: y1 above y0");
  EXPECT_EQ(Refusal("sky 0 0 10 10 0 5\nsky 0 0 10 10 0 5\n"), "test.txt:2: a stage has one sky");
  EXPECT_EQ(Refusal("detail light 1 1 1\n"), "test.txt:1: detail goes only before a solid");
  EXPECT_EQ(Refusal("box stone 0 0 0 1 1 1 +z\n"), "test.txt:1: unexpected '+z' at the end of the line");
  EXPECT_EQ(Refusal("actor CGameMetalBlok 0 0 0\n"),
            "test.txt:1: unknown actor 'CGameMetalBlok' (did you mean 'CGameMetalBlock'?)");
  EXPECT_EQ(Refusal("actor CGameMap 0 0 0\n"), "test.txt:1: unknown actor 'CGameMap'") << "made by the scene";
  EXPECT_EQ(Refusal("sky -5 -5 5 5 0 20\n"), "test.txt:1: no solids") << "a sky is not a floor";
  EXPECT_EQ(Refusal("view 0 5 -5 0 0\n"), "test.txt:1: view needs eye x y z and target x y z");
  EXPECT_EQ(Refusal("view 0 5 -5 0 0 1\nview 0 5 -5 0 0 1\n"), "test.txt:2: a stage has one view");
}

TEST(StageSource, LightTintAndAmbienceColourTheSurfacesTheSkyGlowsInside)
{
  StageGeometry geometry;
  std::string error;
  ASSERT_TRUE(
      BuildStageGeometry("light 0.5 1 2\nambience 0.1 0.2 0.3\ntint wood 1 0.5 1\n"
                         "floor marble -5 -5 5 5 0\nbox wood 0 0 0 1 1 1\nsky -20 -20 20 20 -10 40\n",
                         "test.txt", &geometry, &error))
      << error;
  ASSERT_EQ(geometry.map.materials.size(), 2u + stagebuild::kSkyBands);
  const stagebuild::Material& wood = geometry.map.materials[0];  // wood comes before marble
  EXPECT_EQ(wood.name, "wood");
  EXPECT_FLOAT_EQ(wood.diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(wood.diffuse.g, 0.5f);
  EXPECT_FLOAT_EQ(wood.diffuse.b, 2.0f);
  EXPECT_FLOAT_EQ(wood.emissive.g, 0.1f) << "ambience in the surface's own tint";
  EXPECT_EQ(geometry.map.materials[1].name, "marble");
  EXPECT_FLOAT_EQ(geometry.map.materials[1].diffuse.g, 1.0f);
  EXPECT_EQ(geometry.map.materials[2].name, std::string(stagebuild::kSkyMaterialPrefix) + "0");
  EXPECT_FLOAT_EQ(geometry.map.materials[2].diffuse.r, 0.0f) << "the sky has only its glow";
  EXPECT_EQ(geometry.depthMap.triangles.size(), 24u) << "no sky in the shadows";
  EXPECT_EQ(geometry.solids.size(), 2u) << "nor in the walk check";
  // Every sky face looks inwards: towards the middle of the sky box.
  for (const stagebuild::Triangle& t : geometry.map.triangles) {
    if (t.material < 2) continue;
    const stagebuild::Vertex& v = geometry.map.vertices[t.a];
    EXPECT_LT(stagebuild::Dot(v.normal, v.position - Vec3{0, 15, 0}), 0.0f);
  }
}

TEST(StageSource, StageOneBuildsWithinTheMeshLimits)
{
  std::ifstream file(SOLVERICA_SOURCE_DIR "/content/stages/stage1.txt", std::ios::binary);
  ASSERT_TRUE(file);
  std::stringstream text;
  text << file.rdbuf();
  StageGeometry geometry;
  std::string error;
  ASSERT_TRUE(BuildStageGeometry(text.str(), "stage1.txt", &geometry, &error)) << error;
  EXPECT_LE(geometry.map.vertices.size(), 65535u) << "16-bit indices";
  EXPECT_LT(geometry.depthMap.triangles.size(), geometry.map.triangles.size());
  ExpectFacesAgreeWithNormals(geometry.map);
  ASSERT_EQ(geometry.actors.size(), 4u);
  EXPECT_EQ(geometry.actors[0].name, "CGameTorch");
  EXPECT_EQ(geometry.actors[1].name, "CGameTorch");
  EXPECT_EQ(geometry.actors[2].name, "CGameMagicOrb");
  EXPECT_EQ(geometry.actors[3].name, "CGameGoal");
}
