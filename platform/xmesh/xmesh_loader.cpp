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
XMatrix Identity() {
  XMatrix r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0;
  return r;
}

// a * b: apply a first, then b.
XMatrix Multiply(const XMatrix& a, const XMatrix& b) {
  XMatrix r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
  return r;
}

// Case-insensitive comparison of ASCII template names.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
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
  bool Integer(uint32_t* out) {
    if (Left() == 0) return false;
    const double v = numbers_[pos_++];
    if (!(v >= 0.0 && v <= 4294967295.0) || v != std::floor(v)) return false;
    *out = static_cast<uint32_t>(v);
    return true;
  }
  // Reads a count of items that each need at least perItem more numbers.
  bool Count(uint32_t* out, size_t perItem) {
    return Integer(out) && static_cast<uint64_t>(*out) * perItem <= Left();
  }
  // Reads an index below limit.
  bool Index(uint32_t* out, uint32_t limit) { return Integer(out) && *out < limit; }
  // Reads a float.
  bool Float(float* out) {
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
bool ReadPolygons(CNumberCursor* in, uint32_t limit, XPolygons* out) {
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
XMeshMaterial DefaultMaterial() {
  XMeshMaterial m{};
  m.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
  m.specular = {0.0f, 0.0f, 0.0f, 1.0f};
  m.emissive = {0.0f, 0.0f, 0.0f, 1.0f};
  return m;
}

// ---- the builder -----------------------------------------------------------------------

// Walks frames and meshes, appending each mesh to the output.
class CXMeshBuilder {
 public:
  CXMeshBuilder(const CXFileTree& tree, XMeshData* out, std::string* error)
      : tree_(tree), out_(out), error_(error) {}
  // Appends every mesh of the file; false with a reason on the first bad one.
  bool Build();

 private:
  bool Fail(const std::string& reason) {
    *error_ = reason;
    return false;
  }
  const XDataObject& Object(uint32_t index) const { return tree_.Objects()[index]; }
  const XDataObject* FirstChild(const XDataObject& parent, std::string_view type) const;
  bool WalkFrame(const XDataObject& frame, const XMatrix& parent, int depth);
  bool AddMesh(const XDataObject& mesh, const XMatrix& world);
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
const XDataObject* CXMeshBuilder::FirstChild(const XDataObject& parent, std::string_view type) const {
  for (const uint32_t child : parent.children) {
    const XDataObject& object = Object(child);
    if (!object.isReference && object.type == type) return &object;
  }
  return nullptr;
}

// Frames and meshes at file level; everything else is skipped.
bool CXMeshBuilder::Build() {
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
bool CXMeshBuilder::WalkFrame(const XDataObject& frame, const XMatrix& parent, int depth) {
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
bool CXMeshBuilder::ReadMaterial(const XDataObject& material, XMeshMaterial* out) {
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
    if (!object.isReference && SameNameIgnoringCase(object.type, "TextureFilename") &&
        !object.strings.empty()) {
      out->textureFileName = std::string(object.strings[0]);
      break;
    }
  }
  return true;
}

// Reads a MeshMaterialList: the per-face material indices and the materials, inline or by name.
bool CXMeshBuilder::ReadMaterials(const XDataObject& list, uint32_t faceCount,
                                  std::vector<uint32_t>* faceMaterial) {
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
  for (uint32_t f = indexCount; f < faceCount && indexCount > 0; ++f) (*faceMaterial)[f] = (*faceMaterial)[indexCount - 1];

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

// Triangulates one Mesh as fans, splits vertices whose corners use different normals,
// transforms by the frame matrix and appends vertices, faces and materials.
bool CXMeshBuilder::AddMesh(const XDataObject& mesh, const XMatrix& world) {
  CNumberCursor in(mesh.numbers);
  uint32_t vertexCount = 0;
  if (!in.Count(&vertexCount, 3)) return Fail("bad Mesh vertex count");
  std::vector<D3DXVECTOR3> positions(vertexCount);
  for (D3DXVECTOR3& p : positions) {
    if (!in.Float(&p.x) || !in.Float(&p.y) || !in.Float(&p.z)) return Fail("bad Mesh vertex");
  }
  XPolygons faces;
  if (!ReadPolygons(&in, vertexCount, &faces)) return Fail("bad Mesh faces");
  const uint32_t polygonCount = static_cast<uint32_t>(faces.starts.size() - 1);

  // Normals: their own list and their own per-face index lists, matched corner by corner.
  std::vector<D3DXVECTOR3> normalList;
  XPolygons normalFaces;
  const XDataObject* normalsObject = FirstChild(mesh, "MeshNormals");
  if (normalsObject != nullptr) {
    CNumberCursor nin(normalsObject->numbers);
    uint32_t normalCount = 0;
    if (!nin.Count(&normalCount, 3)) return Fail("bad MeshNormals count");
    normalList.resize(normalCount);
    for (D3DXVECTOR3& n : normalList) {
      if (!nin.Float(&n.x) || !nin.Float(&n.y) || !nin.Float(&n.z)) return Fail("bad MeshNormals normal");
    }
    if (!ReadPolygons(&nin, normalCount, &normalFaces)) return Fail("bad MeshNormals faces");
    if (normalFaces.starts != faces.starts) return Fail("MeshNormals faces do not match the Mesh faces");
  }

  std::vector<D3DXVECTOR2> uvList;
  if (const XDataObject* uvObject = FirstChild(mesh, "MeshTextureCoords")) {
    CNumberCursor tin(uvObject->numbers);
    uint32_t uvCount = 0;
    if (!tin.Count(&uvCount, 2)) return Fail("bad MeshTextureCoords count");
    if (uvCount != vertexCount) return Fail("MeshTextureCoords count differs from the vertex count");
    uvList.resize(uvCount);
    for (D3DXVECTOR2& t : uvList) {
      if (!tin.Float(&t.x) || !tin.Float(&t.y)) return Fail("bad MeshTextureCoords value");
    }
  }

  pendingMaterials_.clear();
  std::vector<uint32_t> faceMaterial;
  if (const XDataObject* list = FirstChild(mesh, "MeshMaterialList")) {
    if (!ReadMaterials(*list, polygonCount, &faceMaterial)) return false;
  }
  if (pendingMaterials_.empty()) {
    pendingMaterials_.push_back(DefaultMaterial());
    faceMaterial.assign(polygonCount, 0);
  }

  // Vertex i of the file stays vertex i; a corner whose normal differs from the one the
  // vertex already carries gets an extra vertex appended after the file's vertices.
  const uint32_t base = out_->VertexCount();
  if (static_cast<uint64_t>(base) + vertexCount > kXMeshMaxVertices) return Fail(kTooManyVertices);
  const bool hasNormals = normalsObject != nullptr;
  std::vector<int64_t> normalOfVertex(vertexCount, -1);
  std::vector<uint32_t> sourceOfVertex(vertexCount);
  std::vector<uint32_t> normalIndexOfVertex(vertexCount, 0);
  for (uint32_t i = 0; i < vertexCount; ++i) sourceOfVertex[i] = i;
  std::unordered_map<uint64_t, uint32_t> extraVertices;
  std::vector<uint32_t> cornerVertex(faces.corners.size());
  for (size_t c = 0; c < faces.corners.size(); ++c) {
    const uint32_t p = faces.corners[c];
    if (!hasNormals) {
      cornerVertex[c] = p;
      continue;
    }
    const uint32_t n = normalFaces.corners[c];
    if (normalOfVertex[p] < 0 || normalOfVertex[p] == n) {
      normalOfVertex[p] = n;
      normalIndexOfVertex[p] = n;
      cornerVertex[c] = p;
      continue;
    }
    const uint64_t key = (static_cast<uint64_t>(p) << 32) | n;
    const auto found = extraVertices.find(key);
    if (found != extraVertices.end()) {
      cornerVertex[c] = found->second;
      continue;
    }
    const uint32_t added = static_cast<uint32_t>(sourceOfVertex.size());
    if (static_cast<uint64_t>(base) + added + 1 > kXMeshMaxVertices) return Fail(kTooManyVertices);
    sourceOfVertex.push_back(p);
    normalIndexOfVertex.push_back(n);
    extraVertices.emplace(key, added);
    cornerVertex[c] = added;
  }

  // Positions as row vectors times the frame matrix; normals by the inverse transpose of its
  // 3x3 part (the cofactor matrix, sign-corrected), renormalised so scaled frames stay lit right.
  const double(*m)[4] = world.m;
  double cof[3][3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
      cof[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
    }
  }
  const double det = m[0][0] * cof[0][0] + m[0][1] * cof[0][1] + m[0][2] * cof[0][2];
  const double normalSign = det < 0.0 ? -1.0 : 1.0;
  for (size_t v = 0; v < sourceOfVertex.size(); ++v) {
    const D3DXVECTOR3& p = positions[sourceOfVertex[v]];
    double q[3];
    for (int j = 0; j < 3; ++j) q[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + m[3][j];
    out_->positions.push_back(D3DXVECTOR3(static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2])));
    D3DXVECTOR3 normal(0.0f, 0.0f, 0.0f);
    if (hasNormals && (v >= vertexCount || normalOfVertex[v] >= 0)) {
      const D3DXVECTOR3& n = normalList[normalIndexOfVertex[v]];
      double r[3];
      for (int j = 0; j < 3; ++j) r[j] = normalSign * (n.x * cof[0][j] + n.y * cof[1][j] + n.z * cof[2][j]);
      const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
      if (length > 0.0 && std::isfinite(length)) {
        normal = D3DXVECTOR3(static_cast<float>(r[0] / length), static_cast<float>(r[1] / length),
                             static_cast<float>(r[2] / length));
      }
    }
    out_->normals.push_back(normal);
    out_->uvs.push_back(uvList.empty() ? D3DXVECTOR2(0.0f, 0.0f) : uvList[sourceOfVertex[v]]);
  }
  for (size_t v = base; v < out_->positions.size(); ++v) {
    const D3DXVECTOR3& p = out_->positions[v];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      return Fail("a transformed vertex is not finite");
    }
  }
  out_->hasNormals = out_->hasNormals || hasNormals;
  out_->hasUvs = out_->hasUvs || !uvList.empty();

  // Fans: polygon (c0 c1 ... cn-1) becomes (c0 ci ci+1) for i = 1 .. n-2.
  const uint32_t materialBase = static_cast<uint32_t>(out_->materials.size());
  for (uint32_t f = 0; f < polygonCount; ++f) {
    const uint32_t start = faces.starts[f], end = faces.starts[f + 1];
    for (uint32_t k = start + 1; k + 1 < end; ++k) {
      out_->indices.push_back(base + cornerVertex[start]);
      out_->indices.push_back(base + cornerVertex[k]);
      out_->indices.push_back(base + cornerVertex[k + 1]);
      out_->attributes.push_back(materialBase + faceMaterial[f]);
    }
  }
  for (XMeshMaterial& material : pendingMaterials_) out_->materials.push_back(std::move(material));
  pendingMaterials_.clear();
  return true;
}

// Reorders faces so material i's faces are contiguous (file order kept within a material)
// and fills the attribute table.
void CXMeshBuilder::SortBySubset() {
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
    std::memcpy(&indices[3 * static_cast<size_t>(to)], &out_->indices[3 * static_cast<size_t>(f)], 3 * sizeof(uint32_t));
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
bool XMeshData::IndicesFitSixteenBits() const {
  for (const uint32_t index : indices) {
    if (index > 0xFFFFu) return false;
  }
  return true;
}

// Narrows the indices after checking they all fit.
bool XMeshData::CopyIndices16(std::vector<uint16_t>* out) const {
  if (!IndicesFitSixteenBits()) return false;
  out->resize(indices.size());
  for (size_t i = 0; i < indices.size(); ++i) (*out)[i] = static_cast<uint16_t>(indices[i]);
  return true;
}

// Writes position (12 bytes), normal (12), UV (8) per vertex.
void XMeshData::PackVertices(std::vector<uint8_t>* out) const {
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
bool LoadXMesh(const uint8_t* data, size_t size, XMeshData* mesh, std::string* error) {
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
