// Material and placement helpers for models.
#include "art/model_helpers.h"

namespace contentgen {

// Untextured material.
Material MakeMaterial(const std::string& name, Color diffuse, float specular, float power)
{
  Material m;
  m.name = name;
  m.diffuse = {diffuse.r, diffuse.g, diffuse.b, diffuse.a};
  m.ambient = m.diffuse;
  m.specular = {specular, specular, specular, 1};
  m.power = power;
  return m;
}

// Textured material.
Material MakeTexturedMaterial(const std::string& name, const std::string& textureFile, float specular, float power)
{
  Material m = MakeMaterial(name, {1, 1, 1, 1}, specular, power);
  m.textureFile = textureFile;
  return m;
}

// The emissive colour is the diffuse one scaled by glow.
Material MakeGlowMaterial(const std::string& name, Color colour, float specular, float power, float glow)
{
  Material material = MakeMaterial(name, colour, specular, power);
  material.emissive = {colour.r * glow, colour.g * glow, colour.b * glow, 1};
  return material;
}

// Transform and tag.
CMeshData Placed(CMeshData part, const Transform& transform, int material)
{
  part.ApplyTransform(transform);
  part.SetMaterialIndex(material);
  return part;
}

}  // namespace contentgen
