// The floor under the game's memory: the least a program of its kind holds. An SDL2 window,
// an OpenGL 3.3 core context, an open OpenAL device and one shader drawing one textured
// quad for 300 frames; then it prints its peak resident memory and exits. The window
// benchmark runs it in the same X server as the game and prints the game's peak beside it.
// Depends on: SDL2, libepoxy, OpenAL Soft. Stands alone: none of the game's code.
#include <AL/al.h>
#include <AL/alc.h>
#include <SDL.h>
#include <epoxy/gl.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
out vec2 uv;
void main()
{
  uv = position * 0.5 + 0.5;
  gl_Position = vec4(position * 0.8, 0.0, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec2 uv;
uniform sampler2D picture;
out vec4 colour;
void main()
{
  colour = texture(picture, uv);
}
)";

// One compiled stage of the program; 0 with the log printed when it does not compile.
GLuint CompileStage(GLenum kind, const char* source)
{
  const GLuint stage = glCreateShader(kind);
  glShaderSource(stage, 1, &source, nullptr);
  glCompileShader(stage);
  GLint compiled = GL_FALSE;
  glGetShaderiv(stage, GL_COMPILE_STATUS, &compiled);
  if (compiled) return stage;
  char log[1024] = {};
  glGetShaderInfoLog(stage, sizeof(log), nullptr, log);
  std::fprintf(stderr, "window_floor: shader: %s\n", log);
  glDeleteShader(stage);
  return 0;
}

// The quad's program, or 0.
GLuint BuildProgram()
{
  const GLuint vertex = CompileStage(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fragment = CompileStage(GL_FRAGMENT_SHADER, kFragmentShader);
  if (!vertex || !fragment) return 0;
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  return linked ? program : 0;
}

// A 256 x 256 checkerboard, made here.
GLuint MakeTexture()
{
  std::vector<unsigned char> pixels(256 * 256 * 4);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      unsigned char* p = &pixels[(y * 256 + x) * 4];
      const bool light = ((x / 32) + (y / 32)) % 2 == 0;
      p[0] = light ? 230 : 40;
      p[1] = light ? 200 : 60;
      p[2] = light ? 120 : 140;
      p[3] = 255;
    }
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

// The quad as a triangle strip in a vertex array of its own.
GLuint MakeQuad()
{
  const float corners[] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
  GLuint array = 0;
  GLuint buffer = 0;
  glGenVertexArrays(1, &array);
  glBindVertexArray(array);
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glEnableVertexAttribArray(0);
  return array;
}

// VmHWM from /proc/self/status in kB (the kernel's own peak), -1 without it.
long PeakKilobytes()
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace

// 0 after the frames are drawn and the peak printed; 1 when a piece could not be had.
int main(int, char**)
{
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "window_floor: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_Window* window = SDL_CreateWindow("window floor", 0, 0, 1280, 720, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  ALCdevice* soundDevice = alcOpenDevice(nullptr);
  ALCcontext* soundContext = soundDevice ? alcCreateContext(soundDevice, nullptr) : nullptr;
  if (!context || !soundContext) {
    std::fprintf(stderr, "window_floor: no %s\n", context ? "sound device" : "OpenGL 3.3 core context");
    return 1;
  }
  alcMakeContextCurrent(soundContext);
  const GLuint program = BuildProgram();
  if (!program) return 1;
  const GLuint texture = MakeTexture();
  const GLuint quad = MakeQuad();
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "picture"), 0);
  for (int frame = 0; frame < 300; ++frame) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {}
    glClearColor(0.1f, 0.1f, 0.15f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindVertexArray(quad);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    SDL_GL_SwapWindow(window);
  }
  struct rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("floor peak %.1f MB (VmHWM %.1f MB), 300 frames\n", usage.ru_maxrss / 1024.0, PeakKilobytes() / 1024.0);
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(soundContext);
  alcCloseDevice(soundDevice);
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
