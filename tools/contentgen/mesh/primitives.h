// Parametric primitives: closed solids with outward-facing triangles (clockwise seen
// from outside, Direct3D's front faces), unit normals and UVs. Every primitive is
// centred on the origin unless said otherwise and uses material index 0.
#pragma once

#include <vector>

#include "mesh/mesh.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

// One point of a lathe profile: radius from the y axis and height. A sharp point
// gets a hard edge (its ring is doubled with the normal of each neighbour segment).
struct ProfilePoint {
  float radius = 0;
  float y = 0;
  bool sharp = false;
};

// Box of the given full size, hard edges, one 0..1 UV square per face.
CMeshData MakeBox(float sizeX, float sizeY, float sizeZ);
// Box whose edges and corners are rounded with the given radius in `steps` segments.
CMeshData MakeBevelBox(float sizeX, float sizeY, float sizeZ, float bevel, int steps);
// Surface of revolution about the y axis; the profile runs from top to bottom and
// points with radius 0 close the solid at the axis. u wraps around, v runs down the profile.
CMeshData MakeLathe(const std::vector<ProfilePoint>& profile, int segments);
// Cylinder along y with flat caps.
CMeshData MakeCylinder(float radius, float height, int segments);
// Cone along y, apex at +height/2.
CMeshData MakeCone(float radius, float height, int segments);
// UV sphere; u = 0.5 faces +z.
CMeshData MakeSphere(float radius, int rings, int segments);
// Capsule along y of full height `height` (at least 2 * radius).
CMeshData MakeCapsule(float radius, float height, int rings, int segments);
// Torus about the y axis: ring radius and tube radius.
CMeshData MakeTorus(float ringRadius, float tubeRadius, int segments, int sides);
// A simple polygon in the xy plane (either winding) extruded along z by depth,
// centred on z = 0; hard edges between caps and sides.
CMeshData MakeExtrusion(const std::vector<Vec2>& outline, float depth);

// Triangulates a simple polygon by ear clipping; returns index triples into the
// outline in counter-clockwise (x right, y up) order. Empty when it cannot.
std::vector<int> TriangulatePolygon(const std::vector<Vec2>& outline);

}  // namespace contentgen
