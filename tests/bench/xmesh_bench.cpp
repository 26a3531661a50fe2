// Benchmarks of mesh ray queries and .x loading: the hierarchy against the loop over all
// faces on random rays at two 50,000-face meshes (a bumpy sphere, a noisy terrain), the
// hierarchy's build time, and the load time of the sphere written as a large text and
// binary .x file. With SOLVERICA_BENCH_MESH=path/to/model.x the same ray and load figures
// are taken for that file too (the largest generated model, say). Prints figures only.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "test_shapes.h"
#include "xfile_writer.h"
#include "xmesh_data.h"
#include "xmesh_ray.h"

namespace {

// A 50,000-face closed sphere: 2 * 200 * (126 - 1).
const XShape& Sphere()
{
  static const XShape shape = MakeBumpySphere(126, 200, 0.03f, 1);
  return shape;
}

// A 49,928-face terrain: 2 * 158^2.
const XShape& Terrain()
{
  static const XShape shape = MakeTerrain(158, 10.0f, 2);
  return shape;
}

// The index over a shape, built once per shape.
CXMeshRayIndex BuildIndex(const XShape& shape)
{
  CXMeshRayIndex index;
  index.Build(shape.positions.data(), static_cast<uint32_t>(shape.positions.size()), shape.indices.data(),
              shape.FaceCount());
  return index;
}

// A ray of the benchmark set.
struct BenchRay {
  D3DXVECTOR3 origin;
  D3DXVECTOR3 direction;
};

// Random rays: origins anywhere in a box three times the shape's size, aimed at random points
// inside its bounds with random non-unit lengths, so most but not all of them hit.
std::vector<BenchRay> MakeRays(float extent, uint32_t seed)
{
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> far(-3.0f * extent, 3.0f * extent), near(-extent, extent), length(0.1f, 10.0f);
  std::vector<BenchRay> rays(4096);
  for (BenchRay& ray : rays) {
    ray.origin = D3DXVECTOR3(far(random), far(random), far(random));
    const D3DXVECTOR3 target(near(random), near(random) * 0.3f, near(random));
    ray.direction = (target - ray.origin) * (length(random) / extent);
  }
  return rays;
}

// Nearest hit through the hierarchy; reports the share of rays that hit.
void RunHierarchy(benchmark::State& state, const XShape& shape, float extent)
{
  const CXMeshRayIndex index = BuildIndex(shape);
  const std::vector<BenchRay> rays = MakeRays(extent, 5);
  size_t i = 0, hits = 0, casts = 0;
  for (auto _ : state) {
    XMeshHit hit{};
    const BenchRay& ray = rays[i++ % rays.size()];
    const bool found = index.Nearest(ray.origin, ray.direction, &hit);
    benchmark::DoNotOptimize(hit);
    hits += found;
    ++casts;
  }
  state.SetItemsProcessed(static_cast<int64_t>(casts));
  state.counters["faces"] = index.FaceCount();
  state.counters["hit_share"] = casts ? static_cast<double>(hits) / static_cast<double>(casts) : 0.0;
}

// Nearest hit by the loop over every face, same rays.
void RunLoop(benchmark::State& state, const XShape& shape, float extent)
{
  const CXMeshRayIndex index = BuildIndex(shape);
  const std::vector<BenchRay> rays = MakeRays(extent, 5);
  size_t i = 0, hits = 0, casts = 0;
  for (auto _ : state) {
    XMeshHit hit{};
    const BenchRay& ray = rays[i++ % rays.size()];
    const bool found = index.NearestByLoop(ray.origin, ray.direction, &hit);
    benchmark::DoNotOptimize(hit);
    hits += found;
    ++casts;
  }
  state.SetItemsProcessed(static_cast<int64_t>(casts));
  state.counters["faces"] = index.FaceCount();
  state.counters["hit_share"] = casts ? static_cast<double>(hits) / static_cast<double>(casts) : 0.0;
}

// ---- ray queries ---------------------------------------------------------------------------

// Hierarchy, sphere.
void BM_NearestHierarchy_Sphere50k(benchmark::State& state)
{
  RunHierarchy(state, Sphere(), 1.0f);
}
// Loop, sphere.
void BM_NearestLoop_Sphere50k(benchmark::State& state)
{
  RunLoop(state, Sphere(), 1.0f);
}
// Hierarchy, terrain.
void BM_NearestHierarchy_Terrain50k(benchmark::State& state)
{
  RunHierarchy(state, Terrain(), 10.0f);
}
// Loop, terrain.
void BM_NearestLoop_Terrain50k(benchmark::State& state)
{
  RunLoop(state, Terrain(), 10.0f);
}

// Building the hierarchy once for a mesh.
void BM_BuildHierarchy_Sphere50k(benchmark::State& state)
{
  for (auto _ : state) {
    CXMeshRayIndex index = BuildIndex(Sphere());
    benchmark::DoNotOptimize(index.NodeCount());
  }
}

// ---- loading ---------------------------------------------------------------------------------

// The sphere as a .x description: positions, one normal per vertex, UVs, three materials.
CXTestWriter SphereFile()
{
  const XShape& s = Sphere();
  XTestMesh m;
  for (const D3DXVECTOR3& p : s.positions) {
    m.positions.insert(m.positions.end(), {p.x, p.y, p.z});
    m.normals.insert(m.normals.end(), {p.x, p.y, p.z});
    m.uvs.insert(m.uvs.end(), {0.5 + 0.5 * p.x, 0.5 + 0.5 * p.z});
  }
  for (uint32_t f = 0; f < s.FaceCount(); ++f) {
    m.faces.push_back({s.indices[3 * f], s.indices[3 * f + 1], s.indices[3 * f + 2]});
    m.faceMaterials.push_back(f % 3);
  }
  m.normalFaces = m.faces;
  m.materialCount = 3;
  CXTestWriter writer;
  writer.Begin("Frame", "Root").Begin("FrameTransformMatrix");
  writer.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1}).End();
  WriteTestMesh(&writer, m, "Sphere");
  writer.End();
  return writer;
}

// Loads bytes repeatedly; reports the file size.
void RunLoad(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
  for (auto _ : state) {
    XMeshData mesh;
    std::string error;
    if (!LoadXMesh(bytes.data(), bytes.size(), &mesh, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(mesh.positions.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

// The 50,000-face sphere as a text .x file.
void BM_LoadText_Sphere50k(benchmark::State& state)
{
  static const std::vector<uint8_t> bytes = Bytes(SphereFile().Text());
  RunLoad(state, bytes);
}

// The same sphere as a binary .x file with 32-bit floats.
void BM_LoadBinary_Sphere50k(benchmark::State& state)
{
  static const std::vector<uint8_t> bytes = SphereFile().Binary(32);
  RunLoad(state, bytes);
}

// ---- a model file named by the environment ------------------------------------------------

// Loads the file named by SOLVERICA_BENCH_MESH into a shape; false when unset or unloadable.
bool LoadNamedModel(std::vector<uint8_t>* bytes, XShape* shape, float* extent)
{
  const char* path = std::getenv("SOLVERICA_BENCH_MESH");
  if (path == nullptr) return false;
  std::ifstream file(path, std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  XMeshData mesh;
  std::string error;
  if (!LoadXMesh(bytes->data(), bytes->size(), &mesh, &error)) {
    std::fprintf(stderr, "%s: %s\n", path, error.c_str());
    return false;
  }
  shape->positions = mesh.positions;
  shape->indices = mesh.indices;
  *extent = 0.0f;
  for (const D3DXVECTOR3& p : mesh.positions)
    *extent = std::max({*extent, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
  return true;
}

// Registers load and ray benchmarks for the named model, if any.
void RegisterNamedModel()
{
  static std::vector<uint8_t> bytes;
  static XShape shape;
  static float extent = 1.0f;
  if (!LoadNamedModel(&bytes, &shape, &extent)) return;
  benchmark::RegisterBenchmark("BM_NearestHierarchy_File", [](benchmark::State& s) { RunHierarchy(s, shape, extent); });
  benchmark::RegisterBenchmark("BM_NearestLoop_File", [](benchmark::State& s) { RunLoop(s, shape, extent); });
  benchmark::RegisterBenchmark("BM_Load_File", [](benchmark::State& s) {
    RunLoad(s, bytes);
  })->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_NearestHierarchy_Sphere50k);
BENCHMARK(BM_NearestLoop_Sphere50k);
BENCHMARK(BM_NearestHierarchy_Terrain50k);
BENCHMARK(BM_NearestLoop_Terrain50k);
BENCHMARK(BM_BuildHierarchy_Sphere50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadText_Sphere50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary_Sphere50k)->Unit(benchmark::kMillisecond);

}  // namespace

// The registered benchmarks plus the optional model file.
int main(int argc, char** argv)
{
  RegisterNamedModel();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
