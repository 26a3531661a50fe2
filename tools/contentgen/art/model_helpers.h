// Small helpers shared by the model generators: materials from palette colours and
// placing a primitive with a material.
#pragma once

#include <string>

#include "image/color.h"
#include "mesh/mesh.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

// A material whose diffuse (and ambient) is the colour, with a specular level and
// power; emissive black.
Material MakeMaterial(const std::string& name, Color diffuse, float specular, float power);
// The same with a texture: diffuse white so the texture shows its own colours.
Material MakeTexturedMaterial(const std::string& name, const std::string& textureFile, float specular, float power);
// A palette material that also glows by a fraction of its own colour.
Material MakeGlowMaterial(const std::string& name, Color colour, float specular, float power, float glow);

// The primitive moved into place, using material index `material` of the model.
CMeshData Placed(CMeshData part, const Transform& transform, int material);

}  // namespace contentgen
