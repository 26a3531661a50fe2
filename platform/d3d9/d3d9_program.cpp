// Compiling and linking GL programs, with the logs named by stage and program so that a
// broken shader says which one it is.
#include "d3d9_program.h"

#include "d3d9_internal.h"
#include "effect_file.h"

namespace {

// Whether a shader compiled or a program linked; if not, `heading` and the compiler's log
// are added to *log.
bool Succeeded(GLuint object, bool isProgram, const std::string& heading, std::string* log)
{
  GLint ok = GL_FALSE;
  GLint length = 0;
  if (isProgram) {
    glGetProgramiv(object, GL_LINK_STATUS, &ok);
    glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
  } else {
    glGetShaderiv(object, GL_COMPILE_STATUS, &ok);
    glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  }
  if (ok) return true;
  std::string text(static_cast<size_t>(length > 0 ? length : 1), '\0');
  if (isProgram)
    glGetProgramInfoLog(object, length, nullptr, text.data());
  else
    glGetShaderInfoLog(object, length, nullptr, text.data());
  *log += heading + text.c_str() + "\n";
  return false;
}

// Compiles one stage; 0 with the log appended to *log.
GLuint CompileStage(GLenum type, const std::string& source, const std::string& name, std::string* log)
{
  const GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  if (Succeeded(shader, false, name + (type == GL_VERTEX_SHADER ? " vertex: " : " fragment: "), log)) return shader;
  glDeleteShader(shader);
  return 0;
}

}  // namespace

// The shared start of a vertex program, then its own text.
std::string D3D9VertexSource(const char* body)
{
  return std::string("#version 330 core\n") + effectfile::kClipToGLSource + body;
}

namespace {

// Both stages, compiled even when the first fails so that one message shows every
// error; false (with neither kept) unless both compiled.
bool CompileBoth(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource,
                 GLuint* vertex, GLuint* fragment, std::string* log)
{
  *vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, name, log);
  *fragment = CompileStage(GL_FRAGMENT_SHADER, fragmentSource, name, log);
  if (*vertex && *fragment) return true;
  if (*vertex) glDeleteShader(*vertex);
  if (*fragment) glDeleteShader(*fragment);
  return false;
}

}  // namespace

// Compiles and lets both stages go; see the header.
bool D3D9CheckStages(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource,
                     std::string* log)
{
  GLuint vertex = 0;
  GLuint fragment = 0;
  if (!CompileBoth(name, vertexSource, fragmentSource, &vertex, &fragment, log)) return false;
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  return true;
}

// Compiles, links and reports; see the header.
GLuint D3D9BuildProgram(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource,
                        std::string* log)
{
  GLuint vertex = 0;
  GLuint fragment = 0;
  if (!CompileBoth(name, vertexSource, fragmentSource, &vertex, &fragment, log)) return 0;
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
  if (Succeeded(program, true, name + " link: ", log)) return program;
  glDeleteProgram(program);
  return 0;
}
