// The built-in program that stands in for D3D's fixed pipeline in DrawPrimitiveUP:
// transforms, texture times vertex colour (stage 0), directional lights, alpha test and
// linear fog, fed from the states the device stores. Internal to the platform layer.
#pragma once

#include <epoxy/gl.h>

#include <cstddef>

#include "d3d9.h"

class D3D9Device;

// Where each element of an FVF vertex sits, in FVF order.
struct D3D9VertexLayout {
  bool pretransformed = false;  // XYZRHW: x, y in target pixels, no transforms or lighting
  bool hasNormal = false;
  bool hasColour = false;
  UINT texCoords = 0;
  size_t normalOffset = 0;
  size_t colourOffset = 0;
  size_t uvOffset = 0;
  size_t size = 0;  // bytes the elements take; the stride may be larger
};

// The layout of the two position kinds the game draws (XYZ, XYZRHW); false for others.
bool D3D9ReadVertexLayout(DWORD fvf, D3D9VertexLayout* layout);

// Uniform locations of the fixed-function program.
struct D3D9FixedUniforms {
  GLint alphaArg1 = -1;
  GLint alphaArg2 = -1;
  GLint alphaFunc = -1;
  GLint alphaOp = -1;
  GLint alphaRef = -1;
  GLint alphaTest = -1;
  GLint ambient = -1;
  GLint colourArg1 = -1;
  GLint colourArg2 = -1;
  GLint colourOp = -1;
  GLint diffuseFromVertex = -1;
  GLint fog = -1;
  GLint fogColour = -1;
  GLint fogRange = -1;
  GLint lightAmbient = -1;
  GLint lightCount = -1;
  GLint lightDiffuse = -1;
  GLint lightDirection = -1;
  GLint lighting = -1;
  GLint materialAmbient = -1;
  GLint materialDiffuse = -1;
  GLint materialEmissive = -1;
  GLint normalize = -1;
  GLint pretransformed = -1;
  GLint projection = -1;
  GLint textured = -1;
  GLint viewport = -1;
  GLint worldView = -1;
};

class D3D9FixedFunction {
public:
  // Compiles and links the program; false (with the log on stderr) on failure.
  bool Build();
  // Deletes the program; the device's context must be current.
  void Destroy();
  GLuint Program() const { return program; }
  // Sets every uniform for one draw from the device's stored states and binds stage 0's
  // texture; the program must be in use.
  void Upload(D3D9Device& device, const D3D9VertexLayout& layout) const;

private:
  // Looks the uniform locations up once: a draw sets some thirty of them.
  void FindUniforms();
  // World x view, projection and the viewport pre-transformed vertices are mapped with.
  void UploadTransforms(const D3D9Device& device, bool pretransformed) const;
  // Up to four directional lights in eye space, the ambient and the material.
  void UploadLighting(const D3D9Device& device, const D3D9VertexLayout& layout) const;
  // Stage 0's texture and colour and alpha combiners, and the alpha test.
  void UploadStage(D3D9Device& device, const D3D9VertexLayout& layout) const;
  // Linear fog on eye depth; pre-transformed vertices are never fogged.
  void UploadFog(const D3D9Device& device, bool pretransformed) const;

  GLuint program = 0;
  D3D9FixedUniforms uniforms;
};
