// Ray queries against a triangle mesh (see xmesh_ray.h).
//
// Why the hierarchy can match the loop bit for bit: both call the same out-of-line
// triangle test on the same stored floats, and that test also requires the hit distance
// to lie in the ray's interval through the face's own (slightly enlarged) box, widened
// by a relative margin. Node boxes contain their faces' boxes, and the interval
// computation only uses rounding-monotone operations, so a node's widened interval
// always contains the widened interval of every face below it. A node skipped because
// its interval is empty, or starts beyond the best distance so far, therefore cannot
// hold a face the loop would have taken. The box condition only refuses results that
// rounding pushed far off the triangle (rays almost in its plane).
#include "xmesh_ray.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Relative widening of ray intervals: far above the few-ulp error of a hit distance.
constexpr float kIntervalMargin = 1.0e-4f;
// Boxes grow by this fraction of the mesh's size so flat faces have thickness.
constexpr float kBoxGrowth = 1.0e-5f;
// Faces per leaf.
constexpr uint32_t kLeafSize = 4;
// Traversal stack; median splits keep the depth near log2(faces).
constexpr int kStackSize = 128;

// The ray with what the box test needs precomputed.
struct XRay {
  float origin[3];
  float dir[3];
  float inv[3];
  bool flat[3];  // direction component zero (or too small to invert): only a slab test
  bool usable;   // finite and not zero
};

// Prepares a ray; unusable when a component is not finite or the direction is zero.
XRay MakeRay(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction)
{
  XRay ray{};
  const float o[3] = {origin.x, origin.y, origin.z};
  const float d[3] = {direction.x, direction.y, direction.z};
  ray.usable = d[0] != 0.0f || d[1] != 0.0f || d[2] != 0.0f;
  for (int a = 0; a < 3; ++a) {
    ray.origin[a] = o[a];
    ray.dir[a] = d[a];
    if (!std::isfinite(o[a]) || !std::isfinite(d[a])) ray.usable = false;
    const float inv = d[a] != 0.0f ? 1.0f / d[a] : 0.0f;
    ray.flat[a] = d[a] == 0.0f || !std::isfinite(inv);
    ray.inv[a] = ray.flat[a] ? 0.0f : inv;
  }
  return ray;
}

// Lower end of a widened interval (monotone in x).
float WidenLow(float x)
{
  return x >= 0.0f ? x * (1.0f - kIntervalMargin) : x * (1.0f + kIntervalMargin);
}

// Upper end of a widened interval (monotone in x).
float WidenHigh(float x)
{
  return x >= 0.0f ? x * (1.0f + kIntervalMargin) : x * (1.0f - kIntervalMargin);
}

// The widened parameter interval [*low, *high] of the ray's line inside the box; empty
// when low > high. Kept out of line so every caller runs the same instructions.
[[gnu::noinline]] void BoxInterval(const XRay& ray, const CXMeshRayIndex::Box& box, float* low, float* high)
{
  float enter = -std::numeric_limits<float>::infinity();
  float exit = std::numeric_limits<float>::infinity();
  for (int a = 0; a < 3; ++a) {
    if (ray.flat[a]) {
      if (ray.origin[a] < box.min[a] || ray.origin[a] > box.max[a]) {
        *low = std::numeric_limits<float>::infinity();
        *high = -std::numeric_limits<float>::infinity();
        return;
      }
      continue;
    }
    const float t1 = (box.min[a] - ray.origin[a]) * ray.inv[a];
    const float t2 = (box.max[a] - ray.origin[a]) * ray.inv[a];
    enter = std::max(enter, std::min(t1, t2));
    exit = std::min(exit, std::max(t1, t2));
  }
  *low = WidenLow(enter);
  *high = WidenHigh(exit);
}

// Two-sided ray-triangle test (Moller-Trumbore) plus the face-box condition. Kept out of
// line so the loop and the hierarchy get bit-identical results.
[[gnu::noinline]] bool HitTriangle(const XRay& ray, const CXMeshRayIndex::Tri& tri, const CXMeshRayIndex::Box& box,
                                   XMeshHit* hit)
{
  const float* d = ray.dir;
  const float* e1 = tri.e1;
  const float* e2 = tri.e2;
  const float p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
  const float det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
  if (det == 0.0f) return false;
  const float inv = 1.0f / det;
  const float s[3] = {ray.origin[0] - tri.v0[0], ray.origin[1] - tri.v0[1], ray.origin[2] - tri.v0[2]};
  const float u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * inv;
  if (!(u >= 0.0f && u <= 1.0f)) return false;
  const float q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
  const float v = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) * inv;
  if (!(v >= 0.0f && u + v <= 1.0f)) return false;
  const float t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
  if (!(t >= 0.0f)) return false;
  float low = 0.0f, high = 0.0f;
  BoxInterval(ray, box, &low, &high);
  if (!(t >= low && t <= high)) return false;
  hit->u = u;
  hit->v = v;
  hit->dist = t;
  return true;
}

// True when candidate beats best under the shared rule: nearer, or as near with a lower face.
bool Better(const XMeshHit& candidate, const XMeshHit& best)
{
  return candidate.dist < best.dist || (candidate.dist == best.dist && candidate.faceIndex < best.faceIndex);
}

// The union of two boxes.
CXMeshRayIndex::Box Union(const CXMeshRayIndex::Box& a, const CXMeshRayIndex::Box& b)
{
  CXMeshRayIndex::Box r;
  for (int k = 0; k < 3; ++k) {
    r.min[k] = std::min(a.min[k], b.min[k]);
    r.max[k] = std::max(a.max[k], b.max[k]);
  }
  return r;
}

}  // namespace

// ---- building ---------------------------------------------------------------------------

// Builds over a loaded mesh's positions and indices.
void CXMeshRayIndex::Build(const XMeshData& mesh)
{
  Build(mesh.positions.data(), mesh.VertexCount(), mesh.indices.data(), mesh.FaceCount());
}

// Stores each face's corner and edges and its grown box, then builds the nodes.
void CXMeshRayIndex::Build(const D3DXVECTOR3* positions, uint32_t vertexCount, const uint32_t* indices,
                           uint32_t faceCount)
{
  faceTris_.assign(faceCount, Tri{});
  faceBoxes_.assign(faceCount, Box{});
  faceValid_.assign(faceCount, 0);
  float size = 0.0f;
  for (uint32_t v = 0; v < vertexCount; ++v) {
    const D3DXVECTOR3& p = positions[v];
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
      size = std::max({size, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    }
  }
  const float growth = size * kBoxGrowth + std::numeric_limits<float>::min();
  for (uint32_t f = 0; f < faceCount; ++f) {
    const uint32_t* corner = indices + 3 * static_cast<size_t>(f);
    if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) continue;
    const D3DXVECTOR3& a = positions[corner[0]];
    const D3DXVECTOR3& b = positions[corner[1]];
    const D3DXVECTOR3& c = positions[corner[2]];
    const float pa[3] = {a.x, a.y, a.z}, pb[3] = {b.x, b.y, b.z}, pc[3] = {c.x, c.y, c.z};
    bool finite = true;
    Tri& tri = faceTris_[f];
    Box& box = faceBoxes_[f];
    for (int k = 0; k < 3; ++k) {
      finite = finite && std::isfinite(pa[k]) && std::isfinite(pb[k]) && std::isfinite(pc[k]);
      tri.v0[k] = pa[k];
      tri.e1[k] = pb[k] - pa[k];
      tri.e2[k] = pc[k] - pa[k];
      box.min[k] = std::min({pa[k], pb[k], pc[k]}) - growth;
      box.max[k] = std::max({pa[k], pb[k], pc[k]}) + growth;
      finite = finite && std::isfinite(tri.e1[k]) && std::isfinite(tri.e2[k]);
    }
    faceValid_[f] = finite ? 1 : 0;
  }
  BuildNodes();
}

// Lays out the valid faces and splits them recursively.
void CXMeshRayIndex::BuildNodes()
{
  nodes_.clear();
  leafFaces_.clear();
  for (uint32_t f = 0; f < faceTris_.size(); ++f) {
    if (faceValid_[f]) leafFaces_.push_back(f);
  }
  if (!leafFaces_.empty()) {
    std::vector<float> centroids(3 * faceTris_.size());
    for (const uint32_t f : leafFaces_) {
      for (int k = 0; k < 3; ++k) centroids[3 * f + k] = 0.5f * (faceBoxes_[f].min[k] + faceBoxes_[f].max[k]);
    }
    nodes_.reserve(2 * leafFaces_.size() / kLeafSize + 1);
    BuildRange(0, static_cast<uint32_t>(leafFaces_.size()), &centroids);
  }
  leafTris_.resize(leafFaces_.size());
  leafBoxes_.resize(leafFaces_.size());
  for (size_t i = 0; i < leafFaces_.size(); ++i) {
    leafTris_[i] = faceTris_[leafFaces_[i]];
    leafBoxes_[i] = faceBoxes_[leafFaces_[i]];
  }
}

// Makes the node for leaf slots [first, first + count): a leaf when small, else split at the
// median centroid along the widest axis. Returns the node's index.
uint32_t CXMeshRayIndex::BuildRange(uint32_t first, uint32_t count, std::vector<float>* centroids)
{
  const uint32_t self = static_cast<uint32_t>(nodes_.size());
  nodes_.push_back(Node{});
  Box box = faceBoxes_[leafFaces_[first]];
  float low[3], high[3];
  for (int k = 0; k < 3; ++k) low[k] = high[k] = (*centroids)[3 * leafFaces_[first] + k];
  for (uint32_t i = first + 1; i < first + count; ++i) {
    const uint32_t f = leafFaces_[i];
    box = Union(box, faceBoxes_[f]);
    for (int k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], (*centroids)[3 * f + k]);
      high[k] = std::max(high[k], (*centroids)[3 * f + k]);
    }
  }
  nodes_[self].box = box;
  if (count <= kLeafSize) {
    nodes_[self].firstOrSecond = first;
    nodes_[self].count = static_cast<uint16_t>(count);
    return self;
  }
  int axis = 0;
  if (high[1] - low[1] > high[axis] - low[axis]) axis = 1;
  if (high[2] - low[2] > high[axis] - low[axis]) axis = 2;
  const uint32_t half = count / 2;
  const std::vector<float>& c = *centroids;
  // Ties broken by face index so the layout does not depend on the library's partition.
  std::nth_element(leafFaces_.begin() + first, leafFaces_.begin() + first + half, leafFaces_.begin() + first + count,
                   [&c, axis](uint32_t a, uint32_t b) {
                     const float ca = c[3 * a + axis], cb = c[3 * b + axis];
                     return ca < cb || (ca == cb && a < b);
                   });
  BuildRange(first, half, centroids);
  const uint32_t second = BuildRange(first + half, count - half, centroids);
  nodes_[self].firstOrSecond = second;
  nodes_[self].count = 0;
  nodes_[self].axis = static_cast<uint16_t>(axis);
  return self;
}

// ---- queries -------------------------------------------------------------------------------

// Walks the nodes nearest child first, skipping nodes that start beyond the best hit.
bool CXMeshRayIndex::Nearest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, XMeshHit* hit) const
{
  const XRay ray = MakeRay(origin, direction);
  if (!ray.usable || nodes_.empty()) return false;
  XMeshHit best{0, 0.0f, 0.0f, std::numeric_limits<float>::infinity()};
  bool found = false;
  uint32_t stack[kStackSize];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const Node& node = nodes_[stack[--top]];
    float low = 0.0f, high = 0.0f;
    BoxInterval(ray, node.box, &low, &high);
    if (!(low <= high) || high < 0.0f || low > best.dist) continue;
    if (node.count > 0) {
      for (uint32_t i = node.firstOrSecond; i < node.firstOrSecond + node.count; ++i) {
        XMeshHit candidate{leafFaces_[i], 0.0f, 0.0f, 0.0f};
        if (HitTriangle(ray, leafTris_[i], leafBoxes_[i], &candidate) && (!found || Better(candidate, best))) {
          best = candidate;
          found = true;
        }
      }
      continue;
    }
    const uint32_t self = static_cast<uint32_t>(&node - nodes_.data());
    const bool leftFirst = ray.dir[node.axis] >= 0.0f;
    stack[top++] = leftFirst ? node.firstOrSecond : self + 1;  // far child, popped last
    stack[top++] = leftFirst ? self + 1 : node.firstOrSecond;
  }
  if (found) *hit = best;
  return found;
}

// Collects every hit from every node the ray passes, then puts them in face order.
void CXMeshRayIndex::All(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, std::vector<XMeshHit>* hits) const
{
  hits->clear();
  const XRay ray = MakeRay(origin, direction);
  if (!ray.usable || nodes_.empty()) return;
  uint32_t stack[kStackSize];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const uint32_t self = stack[--top];
    const Node& node = nodes_[self];
    float low = 0.0f, high = 0.0f;
    BoxInterval(ray, node.box, &low, &high);
    if (!(low <= high) || high < 0.0f) continue;
    if (node.count > 0) {
      for (uint32_t i = node.firstOrSecond; i < node.firstOrSecond + node.count; ++i) {
        XMeshHit candidate{leafFaces_[i], 0.0f, 0.0f, 0.0f};
        if (HitTriangle(ray, leafTris_[i], leafBoxes_[i], &candidate)) hits->push_back(candidate);
      }
      continue;
    }
    stack[top++] = node.firstOrSecond;
    stack[top++] = self + 1;
  }
  std::sort(hits->begin(), hits->end(), [](const XMeshHit& a, const XMeshHit& b) { return a.faceIndex < b.faceIndex; });
}

// Tests faces 0, 1, 2, ... keeping a hit only when strictly nearer, so ties go to the lower face.
bool CXMeshRayIndex::NearestByLoop(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, XMeshHit* hit) const
{
  const XRay ray = MakeRay(origin, direction);
  if (!ray.usable) return false;
  bool found = false;
  XMeshHit best{};
  for (uint32_t f = 0; f < faceTris_.size(); ++f) {
    XMeshHit candidate{f, 0.0f, 0.0f, 0.0f};
    if (faceValid_[f] && HitTriangle(ray, faceTris_[f], faceBoxes_[f], &candidate) &&
        (!found || candidate.dist < best.dist)) {
      best = candidate;
      found = true;
    }
  }
  if (found) *hit = best;
  return found;
}

// Tests every face in order and keeps each hit.
void CXMeshRayIndex::AllByLoop(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction,
                               std::vector<XMeshHit>* hits) const
{
  hits->clear();
  const XRay ray = MakeRay(origin, direction);
  if (!ray.usable) return;
  for (uint32_t f = 0; f < faceTris_.size(); ++f) {
    XMeshHit candidate{f, 0.0f, 0.0f, 0.0f};
    if (faceValid_[f] && HitTriangle(ray, faceTris_[f], faceBoxes_[f], &candidate)) hits->push_back(candidate);
  }
}
