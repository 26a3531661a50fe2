// Turns the data-object tree of a .x file into XMeshData, merging frames the way the
// D3DX loader does: every Mesh is transformed by the product of the frame matrices
// above it (row vectors, child matrix first), meshes are appended in file order and
// their materials after one another, then faces are sorted by material.
// Every count read from the file is checked against the numbers actually present
// before anything is sized by it. Depends on xfile_tree and xmesh_data.h.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "xfile_tree.h"
#include "xmesh_data.h"

namespace {

// ---- small helpers -----------------------------------------------------------------

// Why a model too big for 16-bit indices is refused.
constexpr const char* kTooManyVertices =
    "the model needs more than 65535 vertices, more than 16-bit indices can address";

// A 4x4 matrix in double precision, row-vector convention (translation in row 3).
struct XMatrix {
  double m[4][4];
};

// The identity matrix.
XMatrix Identity()
{
  XMatrix r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0;
  return r;
}

// a * b: apply a first, then b.
XMatrix Multiply(const XMatrix& a, const XMatrix& b)
{
  XMatrix r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
  return r;
}

// Case-insensitive comparison of ASCII template names.
bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char ca = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
    const char cb = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
    if (ca != cb) return false;
  }
  return true;
}

// Reads an object's numbers in order, refusing counts the remaining numbers cannot back.
class CNumberCursor {
public:
  explicit CNumberCursor(const std::vector<double>& numbers) : numbers_(numbers) {}
  // Numbers not read yet.
  size_t Left() const { return numbers_.size() - pos_; }
  // Reads a non-negative integer.
  bool Integer(uint32_t* out)
  {
    if (Left() == 0) return false;
    const double v = numbers_[pos_++];
    if (!(v >= 0.0 && v <= 4294967295.0) || v != std::floor(v)) return false;
    *out = static_cast<uint32_t>(v);
    return true;
  }
  // Reads a count of items that each need at least perItem more numbers.
  bool Count(uint32_t* out, size_t perItem) { return Integer(out) && static_cast<uint64_t>(*out) * perItem <= Left(); }
  // Reads an index below limit.
  bool Index(uint32_t* out, uint32_t limit) { return Integer(out) && *out < limit; }
  // Reads a float.
  bool Float(float* out)
  {
    if (Left() == 0) return false;
    const double v = numbers_[pos_++];
    if (!(std::fabs(v) <= 3.0e38)) return false;  // also refuses NaN
    *out = static_cast<float>(v);
    return true;
  }

private:
  const std::vector<double>& numbers_;
  size_t pos_ = 0;
};

// Polygons of one Mesh or MeshNormals: corner indices back to back, each polygon's start.
struct XPolygons {
  std::vector<uint32_t> corners;
  std::vector<uint32_t> starts;  // one per polygon plus the end
};

// Reads nFaces then each face as count; indices..., every index below limit.
bool ReadPolygons(CNumberCursor* in, uint32_t limit, XPolygons* out)
{
  uint32_t faceCount = 0;
  if (!in->Count(&faceCount, 4)) return false;
  out->starts.reserve(faceCount + 1u);
  out->starts.push_back(0);
  for (uint32_t f = 0; f < faceCount; ++f) {
    uint32_t n = 0;
    if (!in->Count(&n, 1) || n < 3) return false;
    for (uint32_t k = 0; k < n; ++k) {
      uint32_t index = 0;
      if (!in->Index(&index, limit)) return false;
      out->corners.push_back(index);
    }
    out->starts.push_back(static_cast<uint32_t>(out->corners.size()));
  }
  return true;
}

// The material D3DX gives a mesh without a material list: mid grey, no texture.
XMeshMaterial DefaultMaterial()
{
  XMeshMaterial m{};
  m.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
  m.specular = {0.0f, 0.0f, 0.0f, 1.0f};
  m.emissive = {0.0f, 0.0f, 0.0f, 1.0f};
  return m;
}

// One Mesh as the file gives it: positions, polygons, normals with their own polygons,
// UVs and each polygon's material.
struct XMeshSource {
  std::vector<D3DXVECTOR3> positions;
  XPolygons faces;
  bool hasNormals = false;
  std::vector<D3DXVECTOR3> normals;
  XPolygons normalFaces;
  std::vector<D3DXVECTOR2> uvs;
  std::vector<uint32_t> faceMaterial;
  // Polygons of the Mesh.
  uint32_t PolygonCount() const { return static_cast<uint32_t>(faces.starts.size() - 1); }
};

// The vertices a Mesh becomes once corners with different normals are split: where each
// comes from (file vertex, normal index) and which vertex each corner uses.
struct XVertexSplit {
  std::vector<int64_t> normalOfVertex;  // the normal a file vertex carries, -1 while none
  std::vector<uint32_t> sourceOfVertex;
  std::vector<uint32_t> normalIndexOfVertex;
  std::vector<uint32_t> cornerVertex;
};

// How normals are transformed: a cofactor matrix and the sign of the determinant.
struct XNormalMatrix {
  double cof[3][3];
  double sign;
};

// ---- the builder -----------------------------------------------------------------------

// Walks frames and meshes, appending each mesh to the output.
class CXMeshBuilder {
public:
  CXMeshBuilder(const CXFileTree& tree, XMeshData* out, std::string* error) : tree_(tree), out_(out), error_(error) {}
  // Appends every mesh of the file; false with a reason on the first bad one.
  bool Build();

private:
  bool Fail(const std::string& reason)
  {
    *error_ = reason;
    return false;
  }
  const XDataObject& Object(uint32_t index) const { return tree_.Objects()[index]; }
  const XDataObject* FirstChild(const XDataObject& parent, std::string_view type) const;
  bool WalkFrame(const XDataObject& frame, const XMatrix& parent, int depth);
  bool AddMesh(const XDataObject& mesh, const XMatrix& world);
  bool ReadPositions(const XDataObject& mesh, XMeshSource* source);
  bool ReadNormals(const XDataObject& mesh, XMeshSource* source);
  bool ReadUvs(const XDataObject& mesh, XMeshSource* source);
  bool ReadMeshMaterials(const XDataObject& mesh, XMeshSource* source);
  bool SplitVertices(const XMeshSource& source, uint32_t base, XVertexSplit* split);
  bool AppendVertices(const XMeshSource& source, const XVertexSplit& split, const XMatrix& world);
  void AppendFaces(const XMeshSource& source, const XVertexSplit& split, uint32_t base);
  bool ReadMaterials(const XDataObject& list, uint32_t faceCount, std::vector<uint32_t>* faceMaterial);
  bool ReadMaterial(const XDataObject& material, XMeshMaterial* out);
  void SortBySubset();

  const CXFileTree& tree_;
  XMeshData* out_;
  std::string* error_;
  // Materials of the mesh being added, appended to the output once the mesh is accepted.
  std::vector<XMeshMaterial> pendingMaterials_;
};

// The first direct child object (not a reference) of that template.
const XDataObject* CXMeshBuilder::FirstChild(const XDataObject& parent, std::string_view type) const
{
  for (const uint32_t child : parent.children) {
    const XDataObject& object = Object(child);
    if (!object.isReference && object.type == type) return &object;
  }
  return nullptr;
}

// Frames and meshes at file level; everything else is skipped.
bool CXMeshBuilder::Build()
{
  const XMatrix identity = Identity();
  for (const uint32_t index : tree_.TopLevel()) {
    const XDataObject& object = Object(index);
    if (object.type == "Frame" && !WalkFrame(object, identity, 0)) return false;
    if (object.type == "Mesh" && !AddMesh(object, identity)) return false;
  }
  if (out_->attributes.empty()) return Fail("the file holds no mesh faces");
  SortBySubset();
  return true;
}

// Accumulates this frame's matrix onto the parent's, then visits meshes and child frames in order.
bool CXMeshBuilder::WalkFrame(const XDataObject& frame, const XMatrix& parent, int depth)
{
  if (depth > kMaxXNesting) return Fail("frames nested too deeply");
  XMatrix local = Identity();
  if (const XDataObject* transform = FirstChild(frame, "FrameTransformMatrix")) {
    if (transform->numbers.size() < 16) return Fail("FrameTransformMatrix with fewer than 16 numbers");
    for (int i = 0; i < 16; ++i) local.m[i / 4][i % 4] = transform->numbers[i];
  }
  const XMatrix world = Multiply(local, parent);
  for (const uint32_t child : frame.children) {
    const XDataObject& object = Object(child);
    if (object.isReference) continue;
    if (object.type == "Frame" && !WalkFrame(object, world, depth + 1)) return false;
    if (object.type == "Mesh" && !AddMesh(object, world)) return false;
  }
  return true;
}

// Reads a Material: faceColor RGBA, power, specular RGB, emissive RGB, then an optional texture.
bool CXMeshBuilder::ReadMaterial(const XDataObject& material, XMeshMaterial* out)
{
  CNumberCursor in(material.numbers);
  float v[11];
  for (float& f : v) {
    if (!in.Float(&f)) return Fail("Material needs 11 numbers");
  }
  *out = XMeshMaterial{};
  out->diffuse = {v[0], v[1], v[2], v[3]};
  out->power = v[4];
  out->specular = {v[5], v[6], v[7], 1.0f};
  out->emissive = {v[8], v[9], v[10], 1.0f};
  for (const uint32_t child : material.children) {
    const XDataObject& object = Object(child);
    if (!object.isReference && SameNameIgnoringCase(object.type, "TextureFilename") && !object.strings.empty()) {
      out->textureFileName = std::string(object.strings[0]);
      break;
    }
  }
  return true;
}

// Reads a MeshMaterialList: the per-face material indices and the materials, inline or by name.
bool CXMeshBuilder::ReadMaterials(const XDataObject& list, uint32_t faceCount, std::vector<uint32_t>* faceMaterial)
{
  CNumberCursor in(list.numbers);
  uint32_t materialCount = 0, indexCount = 0;
  if (!in.Integer(&materialCount) || !in.Count(&indexCount, 1)) return Fail("bad MeshMaterialList counts");
  if (materialCount > list.children.size()) return Fail("MeshMaterialList names more materials than it holds");
  if (indexCount > faceCount) return Fail("MeshMaterialList has more face indices than the mesh has faces");
  if (materialCount == 0) return true;  // the caller gives the mesh the default material
  faceMaterial->assign(faceCount, 0);
  for (uint32_t f = 0; f < indexCount; ++f) {
    if (!in.Index(&(*faceMaterial)[f], materialCount)) return Fail("face material index out of range");
  }
  // Fewer indices than faces: the last index carries on to the remaining faces.
  for (uint32_t f = indexCount; f < faceCount && indexCount > 0; ++f)
    (*faceMaterial)[f] = (*faceMaterial)[indexCount - 1];

  for (const uint32_t child : list.children) {
    if (pendingMaterials_.size() == materialCount) break;
    const XDataObject* material = &Object(child);
    if (material->isReference) {
      material = tree_.FindNamed(material->name);
      if (material == nullptr) return Fail("reference to an unknown material");
    }
    if (material->type != "Material") continue;
    XMeshMaterial read{};
    if (!ReadMaterial(*material, &read)) return false;
    pendingMaterials_.push_back(std::move(read));
  }
  if (pendingMaterials_.size() != materialCount) return Fail("MeshMaterialList holds too few materials");
  return true;
}

// Reads count vectors of three floats.
bool ReadVectors(CNumberCursor* in, uint32_t count, std::vector<D3DXVECTOR3>* out)
{
  out->resize(count);
  for (D3DXVECTOR3& v : *out) {
    if (!in->Float(&v.x) || !in->Float(&v.y) || !in->Float(&v.z)) return false;
  }
  return true;
}

// Reads the Mesh's own numbers: the positions and the polygons over them.
bool CXMeshBuilder::ReadPositions(const XDataObject& mesh, XMeshSource* source)
{
  CNumberCursor in(mesh.numbers);
  uint32_t vertexCount = 0;
  if (!in.Count(&vertexCount, 3)) return Fail("bad Mesh vertex count");
  if (!ReadVectors(&in, vertexCount, &source->positions)) return Fail("bad Mesh vertex");
  if (!ReadPolygons(&in, vertexCount, &source->faces)) return Fail("bad Mesh faces");
  return true;
}

// Reads MeshNormals, if any: their own list and their own per-face index lists, which
// must have the Mesh's polygons so that they match corner by corner.
bool CXMeshBuilder::ReadNormals(const XDataObject& mesh, XMeshSource* source)
{
  const XDataObject* normalsObject = FirstChild(mesh, "MeshNormals");
  if (normalsObject == nullptr) return true;
  source->hasNormals = true;
  CNumberCursor in(normalsObject->numbers);
  uint32_t normalCount = 0;
  if (!in.Count(&normalCount, 3)) return Fail("bad MeshNormals count");
  if (!ReadVectors(&in, normalCount, &source->normals)) return Fail("bad MeshNormals normal");
  if (!ReadPolygons(&in, normalCount, &source->normalFaces)) return Fail("bad MeshNormals faces");
  if (source->normalFaces.starts != source->faces.starts) return Fail("MeshNormals faces do not match the Mesh faces");
  return true;
}

// Reads MeshTextureCoords, if any: one UV per vertex.
bool CXMeshBuilder::ReadUvs(const XDataObject& mesh, XMeshSource* source)
{
  const XDataObject* uvObject = FirstChild(mesh, "MeshTextureCoords");
  if (uvObject == nullptr) return true;
  CNumberCursor in(uvObject->numbers);
  uint32_t uvCount = 0;
  if (!in.Count(&uvCount, 2)) return Fail("bad MeshTextureCoords count");
  if (uvCount != source->positions.size()) return Fail("MeshTextureCoords count differs from the vertex count");
  source->uvs.resize(uvCount);
  for (D3DXVECTOR2& t : source->uvs) {
    if (!in.Float(&t.x) || !in.Float(&t.y)) return Fail("bad MeshTextureCoords value");
  }
  return true;
}

// Reads the mesh's materials into pendingMaterials_ and each polygon's material; a mesh
// without a material list gets the default material on every polygon.
bool CXMeshBuilder::ReadMeshMaterials(const XDataObject& mesh, XMeshSource* source)
{
  const uint32_t polygonCount = source->PolygonCount();
  pendingMaterials_.clear();
  if (const XDataObject* list = FirstChild(mesh, "MeshMaterialList")) {
    if (!ReadMaterials(*list, polygonCount, &source->faceMaterial)) return false;
  }
  if (pendingMaterials_.empty()) {
    pendingMaterials_.push_back(DefaultMaterial());
    source->faceMaterial.assign(polygonCount, 0);
  }
  return true;
}

// Vertex i of the file stays vertex i; a corner whose normal differs from the one the
// vertex already carries gets an extra vertex appended after the file's vertices.
bool CXMeshBuilder::SplitVertices(const XMeshSource& source, uint32_t base, XVertexSplit* split)
{
  const uint32_t vertexCount = static_cast<uint32_t>(source.positions.size());
  const std::vector<uint32_t>& corners = source.faces.corners;
  split->normalOfVertex.assign(vertexCount, -1);
  split->sourceOfVertex.resize(vertexCount);
  split->normalIndexOfVertex.assign(vertexCount, 0);
  for (uint32_t i = 0; i < vertexCount; ++i) split->sourceOfVertex[i] = i;
  std::unordered_map<uint64_t, uint32_t> extraVertices;
  split->cornerVertex.resize(corners.size());
  for (size_t c = 0; c < corners.size(); ++c) {
    const uint32_t p = corners[c];
    if (!source.hasNormals) {
      split->cornerVertex[c] = p;
      continue;
    }
    const uint32_t n = source.normalFaces.corners[c];
    if (split->normalOfVertex[p] < 0 || split->normalOfVertex[p] == n) {
      split->normalOfVertex[p] = n;
      split->normalIndexOfVertex[p] = n;
      split->cornerVertex[c] = p;
      continue;
    }
    const uint64_t key = (static_cast<uint64_t>(p) << 32) | n;
    const auto found = extraVertices.find(key);
    if (found != extraVertices.end()) {
      split->cornerVertex[c] = found->second;
      continue;
    }
    const uint32_t added = static_cast<uint32_t>(split->sourceOfVertex.size());
    if (static_cast<uint64_t>(base) + added + 1 > kXMeshMaxVertices) return Fail(kTooManyVertices);
    split->sourceOfVertex.push_back(p);
    split->normalIndexOfVertex.push_back(n);
    extraVertices.emplace(key, added);
    split->cornerVertex[c] = added;
  }
  return true;
}

// The matrix normals are transformed by: the inverse transpose of the frame matrix's 3x3
// part, as its cofactor matrix with the sign of its determinant.
XNormalMatrix NormalMatrix(const XMatrix& world)
{
  const double(*m)[4] = world.m;
  XNormalMatrix r{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
      r.cof[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
    }
  }
  const double det = m[0][0] * r.cof[0][0] + m[0][1] * r.cof[0][1] + m[0][2] * r.cof[0][2];
  r.sign = det < 0.0 ? -1.0 : 1.0;
  return r;
}

// A normal carried through the frame, renormalised so scaled frames stay lit right; a
// normal that collapses to nothing stays zero.
D3DXVECTOR3 TransformNormal(const D3DXVECTOR3& n, const XNormalMatrix& t)
{
  double r[3];
  for (int j = 0; j < 3; ++j) r[j] = t.sign * (n.x * t.cof[0][j] + n.y * t.cof[1][j] + n.z * t.cof[2][j]);
  const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  if (!(length > 0.0 && std::isfinite(length))) return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  return D3DXVECTOR3(static_cast<float>(r[0] / length), static_cast<float>(r[1] / length),
                     static_cast<float>(r[2] / length));
}

// Appends the split vertices: positions as row vectors times the frame matrix, normals
// through NormalMatrix, UVs as they are; refuses a vertex the transform made infinite.
bool CXMeshBuilder::AppendVertices(const XMeshSource& source, const XVertexSplit& split, const XMatrix& world)
{
  const double(*m)[4] = world.m;
  const XNormalMatrix normalMatrix = NormalMatrix(world);
  const size_t vertexCount = source.positions.size();
  const size_t base = out_->positions.size();
  for (size_t v = 0; v < split.sourceOfVertex.size(); ++v) {
    const D3DXVECTOR3& p = source.positions[split.sourceOfVertex[v]];
    double q[3];
    for (int j = 0; j < 3; ++j) q[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + m[3][j];
    out_->positions.push_back(
        D3DXVECTOR3(static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2])));
    D3DXVECTOR3 normal(0.0f, 0.0f, 0.0f);
    if (source.hasNormals && (v >= vertexCount || split.normalOfVertex[v] >= 0)) {
      normal = TransformNormal(source.normals[split.normalIndexOfVertex[v]], normalMatrix);
    }
    out_->normals.push_back(normal);
    out_->uvs.push_back(source.uvs.empty() ? D3DXVECTOR2(0.0f, 0.0f) : source.uvs[split.sourceOfVertex[v]]);
  }
  for (size_t v = base; v < out_->positions.size(); ++v) {
    const D3DXVECTOR3& p = out_->positions[v];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      return Fail("a transformed vertex is not finite");
    }
  }
  out_->hasNormals = out_->hasNormals || source.hasNormals;
  out_->hasUvs = out_->hasUvs || !source.uvs.empty();
  return true;
}

// Appends the faces as fans: polygon (c0 c1 ... cn-1) becomes (c0 ci ci+1) for i = 1 .. n-2;
// then the mesh's materials after those of the meshes before it.
void CXMeshBuilder::AppendFaces(const XMeshSource& source, const XVertexSplit& split, uint32_t base)
{
  const uint32_t materialBase = static_cast<uint32_t>(out_->materials.size());
  const std::vector<uint32_t>& starts = source.faces.starts;
  for (uint32_t f = 0; f < source.PolygonCount(); ++f) {
    const uint32_t start = starts[f], end = starts[f + 1];
    for (uint32_t k = start + 1; k + 1 < end; ++k) {
      out_->indices.push_back(base + split.cornerVertex[start]);
      out_->indices.push_back(base + split.cornerVertex[k]);
      out_->indices.push_back(base + split.cornerVertex[k + 1]);
      out_->attributes.push_back(materialBase + source.faceMaterial[f]);
    }
  }
  for (XMeshMaterial& material : pendingMaterials_) out_->materials.push_back(std::move(material));
  pendingMaterials_.clear();
}

// Reads one Mesh, splits vertices whose corners use different normals, transforms by the
// frame matrix and appends vertices, faces and materials.
bool CXMeshBuilder::AddMesh(const XDataObject& mesh, const XMatrix& world)
{
  XMeshSource source;
  if (!ReadPositions(mesh, &source) || !ReadNormals(mesh, &source) || !ReadUvs(mesh, &source) ||
      !ReadMeshMaterials(mesh, &source)) {
    return false;
  }
  const uint32_t base = out_->VertexCount();
  if (static_cast<uint64_t>(base) + source.positions.size() > kXMeshMaxVertices) return Fail(kTooManyVertices);
  XVertexSplit split;
  if (!SplitVertices(source, base, &split) || !AppendVertices(source, split, world)) return false;
  AppendFaces(source, split, base);
  return true;
}

// Reorders faces so material i's faces are contiguous (file order kept within a material)
// and fills the attribute table.
void CXMeshBuilder::SortBySubset()
{
  const uint32_t faceCount = out_->FaceCount();
  const size_t materialCount = out_->materials.size();
  std::vector<uint32_t> firstFace(materialCount + 1, 0);
  for (const uint32_t a : out_->attributes) ++firstFace[a + 1];
  for (size_t i = 0; i < materialCount; ++i) firstFace[i + 1] += firstFace[i];
  std::vector<uint32_t> next(firstFace.begin(), firstFace.end() - 1);
  std::vector<uint32_t> indices(out_->indices.size());
  std::vector<uint32_t> attributes(faceCount);
  for (uint32_t f = 0; f < faceCount; ++f) {
    const uint32_t to = next[out_->attributes[f]]++;
    attributes[to] = out_->attributes[f];
    std::memcpy(&indices[3 * static_cast<size_t>(to)], &out_->indices[3 * static_cast<size_t>(f)],
                3 * sizeof(uint32_t));
  }
  out_->indices.swap(indices);
  out_->attributes.swap(attributes);

  out_->attributeTable.clear();
  for (uint32_t a = 0; a < materialCount; ++a) {
    const uint32_t start = firstFace[a], count = firstFace[a + 1] - firstFace[a];
    if (count == 0) continue;
    uint32_t low = UINT32_MAX, high = 0;
    for (size_t i = 3 * static_cast<size_t>(start); i < 3 * static_cast<size_t>(start + count); ++i) {
      low = std::min(low, out_->indices[i]);
      high = std::max(high, out_->indices[i]);
    }
    out_->attributeTable.push_back(XMeshAttributeRange{a, start, count, low, high - low + 1});
  }
}

}  // namespace

// ---- XMeshData -----------------------------------------------------------------------

// Checks every index against the 16-bit range.
bool XMeshData::IndicesFitSixteenBits() const
{
  for (const uint32_t index : indices) {
    if (index > 0xFFFFu) return false;
  }
  return true;
}

// Narrows the indices after checking they all fit.
bool XMeshData::CopyIndices16(std::vector<uint16_t>* out) const
{
  if (!IndicesFitSixteenBits()) return false;
  out->resize(indices.size());
  for (size_t i = 0; i < indices.size(); ++i) (*out)[i] = static_cast<uint16_t>(indices[i]);
  return true;
}

// Writes position (12 bytes), normal (12), UV (8) per vertex.
void XMeshData::PackVertices(std::vector<uint8_t>* out) const
{
  out->resize(static_cast<size_t>(VertexCount()) * kXMeshVertexStride);
  uint8_t* dst = out->data();
  for (uint32_t v = 0; v < VertexCount(); ++v, dst += kXMeshVertexStride) {
    std::memcpy(dst, &positions[v].x, 12);
    std::memcpy(dst + 12, &normals[v].x, 12);
    std::memcpy(dst + 24, &uvs[v].x, 8);
  }
}

// ---- loading -----------------------------------------------------------------------------

// Parses the file into a tree, then builds the merged mesh; any failure leaves *mesh empty.
bool LoadXMesh(const uint8_t* data, size_t size, XMeshData* mesh, std::string* error)
{
  *mesh = XMeshData{};
  error->clear();
  CXFileTree tree;
  if (data == nullptr || !tree.Parse(data, size, error)) {
    if (error->empty()) *error = "no data";
    return false;
  }
  CXMeshBuilder builder(tree, mesh, error);
  if (!builder.Build()) {
    *mesh = XMeshData{};
    return false;
  }
  return true;
}
