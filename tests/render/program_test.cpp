// The GL program helper every built-in and effect program is made with: a broken stage or
// a failed link comes back as 0 with a message naming the program and the stage.
#include <string>

#include "d3d9_internal.h"
#include "d3d9_program.h"
#include "render_fixture.h"

namespace {

const char* const kVertexBody =
    "layout(location = 0) in vec3 a_position;\n"
    "out vec4 v_colour;\n"
    "void main() { v_colour = vec4(1.0); gl_Position = D3D9ClipToGL(vec4(a_position, 1.0)); }\n";

const char* const kFragment =
    "#version 330 core\n"
    "in vec4 v_colour;\n"
    "out vec4 colour;\n"
    "void main() { colour = v_colour; }\n";

// The same with a misspelt input.
const char* const kBrokenFragment =
    "#version 330 core\n"
    "in vec4 v_colour;\n"
    "out vec4 colour;\n"
    "void main() { colour = v_color; }\n";

}  // namespace

TEST_F(RenderTest, ProgramHelperLinksAndBindsTheDeviceAttributeSlots)
{
  std::string log;
  const GLuint program = D3D9BuildProgram("plain", D3D9VertexSource(kVertexBody), kFragment, &log);
  ASSERT_NE(program, 0u) << log;
  EXPECT_TRUE(log.empty()) << log;
  // Effect code names its inputs; they must sit where DrawPrimitiveUP and meshes feed them.
  const std::string effectVertex = std::string("#version 330 core\nin vec3 inPosition;\nin vec2 inTexCoord;\n") +
                                   "out vec4 v_colour;\n"
                                   "void main() { v_colour = vec4(inTexCoord, 0.0, 1.0);"
                                   " gl_Position = vec4(inPosition, 1.0); }\n";
  const GLuint effect = D3D9BuildProgram("named", effectVertex, kFragment, &log);
  ASSERT_NE(effect, 0u) << log;
  EXPECT_EQ(glGetAttribLocation(effect, "inPosition"), (GLint)D3D9_ATTRIBUTE_POSITION);
  EXPECT_EQ(glGetAttribLocation(effect, "inTexCoord"), (GLint)D3D9_ATTRIBUTE_TEXCOORD);
  glDeleteProgram(effect);
  glDeleteProgram(program);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(RenderTest, ProgramHelperNamesTheShaderThatDoesNotCompile)
{
  std::string log = "earlier message\n";
  EXPECT_EQ(D3D9BuildProgram("glow-pass", D3D9VertexSource(kVertexBody), kBrokenFragment, &log), 0u);
  EXPECT_EQ(log.rfind("earlier message\n", 0), 0u) << "the log is appended to, not replaced";
  EXPECT_NE(log.find("glow-pass fragment: "), std::string::npos) << log;
  EXPECT_NE(log.find("v_color"), std::string::npos) << log;  // the compiler's own words
  EXPECT_EQ(log.find("glow-pass vertex"), std::string::npos) << log;

  // Both stages broken: one message shows both, so a fix is not found one stage at a time.
  log.clear();
  EXPECT_EQ(D3D9BuildProgram("both", "#version 330 core\nvoid main() { gl_Position = undefinedThing; }\n",
                             kBrokenFragment, &log),
            0u);
  EXPECT_NE(log.find("both vertex: "), std::string::npos) << log;
  EXPECT_NE(log.find("both fragment: "), std::string::npos) << log;
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(RenderTest, ProgramHelperReportsALinkFailureByName)
{
  // The fragment stage compiles alone, but a program needs a main in every stage.
  const char* const noMain =
      "#version 330 core\n"
      "in vec4 v_colour;\n"
      "out vec4 colour;\n"
      "void Shade() { colour = v_colour; }\n";
  std::string log;
  EXPECT_EQ(D3D9BuildProgram("no-main", D3D9VertexSource(kVertexBody), noMain, &log), 0u);
  EXPECT_NE(log.find("no-main link: "), std::string::npos) << log;
  EXPECT_EQ(log.find("no-main fragment"), std::string::npos) << log;
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
