// Tests of the effect file parser: what a well-formed file yields, and that every
// malformed one is refused with the line it went wrong on.
#include "effect_file.h"

#include <gtest/gtest.h>

namespace {

const char* kTwoTechniques =
    "# a test effect\n"
    "sampler g_toon_tex address=clamp filter=point\n"
    "sampler g_wave_tex addressu=mirror mip=none compare=greater\n"
    "common\n"
    "uniform mat4 g_world_mat;\n"
    "end\n"
    "technique NormalTech\n"
    "  pass P0\n"
    "    state CULLMODE CW\n"
    "    state ZWRITEENABLE FALSE\n"
    "    vertex\n"
    "void main() { gl_Position = vec4(0.0); }\n"
    "    end\n"
    "    fragment\n"
    "out vec4 colour;\n"
    "void main() { colour = vec4(1.0); }\n"
    "    end\n"
    "technique PuddleReflectTech\n"
    "  pass\n"
    "    vertex\n"
    "void main() { gl_Position = vec4(1.0); }\n"
    "    end\n"
    "    fragment\n"
    "out vec4 colour;\n"
    "void main() { colour = vec4(0.5); }\n"
    "    end\n";

TEST(EffectFile, ReadsTechniquesPassesStatesAndSamplers)
{
  effectfile::EffectDesc effect;
  std::string error;
  ASSERT_TRUE(effectfile::Parse(kTwoTechniques, &effect, &error)) << error;
  ASSERT_EQ(effect.techniques.size(), 2u);
  EXPECT_EQ(effect.techniques[0].name, "NormalTech");
  EXPECT_EQ(effect.techniques[1].name, "PuddleReflectTech");
  ASSERT_EQ(effect.techniques[0].passes.size(), 1u);
  const effectfile::PassDesc& pass = effect.techniques[0].passes[0];
  ASSERT_EQ(pass.states.size(), 2u);
  EXPECT_EQ(pass.states[0].name, "CULLMODE");
  EXPECT_EQ(pass.states[0].value, "CW");
  EXPECT_EQ(pass.states[1].line, 10);
  EXPECT_EQ(pass.vertexLine, 12);
  EXPECT_NE(pass.fragmentSource.find("colour = vec4(1.0)"), std::string::npos);
  EXPECT_EQ(effect.techniques[1].passes[0].name, "P0");

  ASSERT_EQ(effect.samplers.size(), 2u);
  EXPECT_EQ(effect.samplers[0].compare, "none");
  EXPECT_EQ(effect.samplers[1].compare, "greater");
  EXPECT_EQ(effect.samplers[0].addressU, "clamp");
  EXPECT_EQ(effect.samplers[0].addressV, "clamp");
  EXPECT_EQ(effect.samplers[0].filter, "point");
  EXPECT_EQ(effect.samplers[1].addressU, "mirror");
  EXPECT_EQ(effect.samplers[1].addressV, "wrap");
  EXPECT_EQ(effect.samplers[1].mip, "none");
}

TEST(EffectFile, StageSourceCarriesPreludeCommonAndLineMarkers)
{
  effectfile::EffectDesc effect;
  std::string error;
  ASSERT_TRUE(effectfile::Parse(kTwoTechniques, &effect, &error)) << error;
  const std::string vertex = effectfile::StageSource(effect, effect.techniques[0].passes[0], false);
  EXPECT_EQ(vertex.rfind("#version 330 core\n", 0), 0u);
  EXPECT_NE(vertex.find("uniform mat4 g_world_mat;"), std::string::npos);
  EXPECT_NE(vertex.find("#line 5\n"), std::string::npos);
  EXPECT_NE(vertex.find("#line 12\n"), std::string::npos);
  EXPECT_NE(vertex.find("VERTEX_STAGE"), std::string::npos);
  EXPECT_EQ(vertex.find("colour = vec4(1.0)"), std::string::npos);
  // The author's main is wrapped so that D3D clip space reaches GL flipped once.
  EXPECT_NE(vertex.find("#define main fx_user_main"), std::string::npos);
  EXPECT_NE(vertex.find(effectfile::kClipToGLSource), std::string::npos);
  EXPECT_NE(vertex.find("gl_Position = D3D9ClipToGL(gl_Position);"), std::string::npos);
  const std::string fragment = effectfile::StageSource(effect, effect.techniques[0].passes[0], true);
  EXPECT_NE(fragment.find("FRAGMENT_STAGE"), std::string::npos);
  EXPECT_NE(fragment.find("colour = vec4(1.0)"), std::string::npos);
  EXPECT_EQ(fragment.find("fx_user_main"), std::string::npos);
}

TEST(EffectFile, AcceptsWindowsLineEnds)
{
  std::string text = kTwoTechniques;
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  effectfile::EffectDesc effect;
  std::string error;
  ASSERT_TRUE(effectfile::Parse(crlf, &effect, &error)) << error;
  EXPECT_EQ(effect.techniques[0].passes[0].states[0].value, "CW");
}

// Each malformed file and the line its message must name.
struct BadCase {
  const char* text;
  const char* expected;
};

TEST(EffectFile, RefusesMalformedFilesNamingTheLine)
{
  const BadCase cases[] = {
      {"", "no technique"},
      {"technique T\n", "line 1: technique 'T' has no pass"},
      {"pass P0\n", "line 1: pass outside a technique"},
      {"technique T\npass\nvertex\nvoid main(){}\n", "line 3: block not closed"},
      {"technique T\npass\nvertex\nvoid main(){}\nend\n", "needs a vertex and a fragment block"},
      {"technique T\nstate CULLMODE\n", "line 2: state outside a pass"},
      {"technique T\npass\nstate CULLMODE\n", "line 3: state needs a name and a value"},
      {"sampler g_x address=sideways\n", "line 1: bad sampler option 'address=sideways'"},
      {"sampler g_x compare=sometimes\n", "line 1: bad sampler option 'compare=sometimes'"},
      {"shader foo\n", "line 1: unknown keyword 'shader'"},
      {"technique T\ntechnique T\n", "line 2: technique 'T' defined twice"},
      {"common\nend\ncommon\n", "line 3: a second common block"},
  };
  for (const BadCase& bad : cases) {
    effectfile::EffectDesc effect;
    std::string error;
    EXPECT_FALSE(effectfile::Parse(bad.text, &effect, &error)) << bad.text;
    EXPECT_NE(error.find(bad.expected), std::string::npos) << "got: " << error;
  }
}

}  // namespace
