// A small reader for the text .x files the generator writes, strict enough to catch
// a malformed list: it checks every count, separator and brace it expects.
#pragma once

#include <string>
#include <vector>

#include "mesh/mesh.h"

namespace contenttest {

struct ParsedX {
  std::vector<stagebuild::Vec3> positions;
  std::vector<std::vector<int>> faces;
  std::vector<stagebuild::Vec3> normals;
  std::vector<std::vector<int>> normalFaces;
  std::vector<stagebuild::Vec2> uvs;
  std::vector<int> faceMaterials;
  std::vector<stagebuild::Material> materials;  // diffuse, power, specular, emissive, texture
};

// Parses text; false with a message saying where it went wrong.
bool ParseX(const std::string& text, ParsedX* out, std::string* error);
// Reads and parses a file.
bool ParseXFile(const std::string& path, ParsedX* out, std::string* error);

}  // namespace contenttest
