// Compiling and linking GL programs, with the logs named by stage and program so that a
// broken shader says which one it is.
#include "d3d9_program.h"

#include "d3d9_internal.h"

namespace {

// The info log of a shader or a program, without the terminating zero.
std::string InfoLog(GLuint object, bool isProgram)
{
  GLint length = 0;
  if (isProgram)
    glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
  else
    glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  std::string text(static_cast<size_t>(length > 0 ? length : 1), '\0');
  if (isProgram)
    glGetProgramInfoLog(object, length, nullptr, text.data());
  else
    glGetShaderInfoLog(object, length, nullptr, text.data());
  return text.c_str();
}

// Compiles one stage; 0 with the log appended to *log.
GLuint CompileStage(GLenum type, const std::string& source, const std::string& name, std::string* log)
{
  const GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  *log += name + (type == GL_VERTEX_SHADER ? " vertex: " : " fragment: ") + InfoLog(shader, false) + "\n";
  glDeleteShader(shader);
  return 0;
}

}  // namespace

// The shared start of a vertex program, then its own text.
std::string D3D9VertexSource(const char* body)
{
  return std::string("#version 330 core\n") + D3D9ClipToGLSource + body;
}

// Compiles, links and reports; see the header.
GLuint D3D9BuildProgram(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource,
                        std::string* log)
{
  // Both stages are compiled even when the first fails, so one message shows every error.
  const GLuint vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, name, log);
  const GLuint fragment = CompileStage(GL_FRAGMENT_SHADER, fragmentSource, name, log);
  if (!vertex || !fragment) {
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glBindAttribLocation(program, D3D9_ATTRIBUTE_POSITION, "inPosition");
  glBindAttribLocation(program, D3D9_ATTRIBUTE_NORMAL, "inNormal");
  glBindAttribLocation(program, D3D9_ATTRIBUTE_TEXCOORD, "inTexCoord");
  glBindAttribLocation(program, D3D9_ATTRIBUTE_COLOR, "inColor");
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok) return program;
  *log += name + " link: " + InfoLog(program, true) + "\n";
  glDeleteProgram(program);
  return 0;
}
