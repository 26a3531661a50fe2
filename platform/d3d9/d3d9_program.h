// Building GL programs: the one place that compiles, links and reports the logs, used by
// the device's fixed-function program, the sprite batcher and the effect loader.
// Needs a current GL 3.3 context (the device's).
#pragma once

#include <epoxy/gl.h>

#include <string>

// "#version 330 core", the clip-space conversion, then `body`: the start every vertex
// program drawn through the device shares, so that each can end with D3D9ClipToGL.
std::string D3D9VertexSource(const char* body);

// Compiles both stages and keeps neither: true when both compile, otherwise false after
// appending what D3D9BuildProgram would to *log. For checking a program that is linked
// later, without holding the driver's copy of it until then.
bool D3D9CheckStages(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource,
                     std::string* log);

// Compiles both stages and links them, with D3D9Attribute's slots bound to the names
// effect code uses (built-in programs choose theirs with layout qualifiers). Returns the
// program, or 0 after appending "<name> vertex: ...", "<name> fragment: ..." or
// "<name> link: ..." with the compiler's words to *log.
GLuint D3D9BuildProgram(const std::string& name, const std::string& vertexSource, const std::string& fragmentSource,
                        std::string* log);
