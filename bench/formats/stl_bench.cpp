// Loading STL into a finished graphics object, against assimp reading the same files (with no
// post-processing, and welding identical positions with normals removed), and the text part
// form of the same mesh. The files are generated into a temporary directory: a torus of
// 2 M triangles in binary STL and one of about 200 k triangles in ASCII STL.
#include <kivctrl/gs_part_file.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/loader.h>

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Triangle {
    float n[3];
    float v[3][3];
};

// rows × cols quads on a torus, two triangles each, with facet normals.
std::vector<Triangle> torus(int rows, int cols)
{
    auto point = [rows, cols](int i, int j, float out[3]) {
        const double u = 2 * std::numbers::pi * (i % rows) / rows, v = 2 * std::numbers::pi * (j % cols) / cols;
        out[0] = static_cast<float>((3 + std::cos(v)) * std::cos(u));
        out[1] = static_cast<float>((3 + std::cos(v)) * std::sin(u));
        out[2] = static_cast<float>(std::sin(v));
    };
    std::vector<Triangle> out;
    out.reserve(size_t(2) * rows * cols);
    auto add = [&out, &point](int a[2], int b[2], int c[2]) {
        Triangle t{};
        point(a[0], a[1], t.v[0]);
        point(b[0], b[1], t.v[1]);
        point(c[0], c[1], t.v[2]);
        double e1[3], e2[3];
        for (int k = 0; k < 3; ++k) e1[k] = t.v[1][k] - t.v[0][k], e2[k] = t.v[2][k] - t.v[0][k];
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (int k = 0; k < 3; ++k) t.n[k] = static_cast<float>(n[k] / len);
        out.push_back(t);
    };
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            int p00[2] = {i, j}, p10[2] = {i + 1, j}, p11[2] = {i + 1, j + 1}, p01[2] = {i, j + 1};
            add(p00, p10, p11);
            add(p00, p11, p01);
        }
    return out;
}

void write_binary(const fs::path &path, const std::vector<Triangle> &tris)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    char header[80] = "binary torus";
    std::fwrite(header, 1, 80, f.get());
    const uint32_t n = static_cast<uint32_t>(tris.size());
    std::fwrite(&n, 4, 1, f.get());  // little-endian on the machines we measure
    const uint16_t attribute = 0;
    for (const Triangle &t : tris) {
        std::fwrite(&t, 4, 12, f.get());
        std::fwrite(&attribute, 2, 1, f.get());
    }
}

void write_ascii(const fs::path &path, const std::vector<Triangle> &tris)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(path.c_str(), "w"), std::fclose);
    std::fprintf(f.get(), "solid torus\n");
    for (const Triangle &t : tris) {
        std::fprintf(f.get(), "  facet normal %e %e %e\n    outer loop\n", t.n[0], t.n[1], t.n[2]);
        for (const auto &v : t.v) std::fprintf(f.get(), "      vertex %e %e %e\n", v[0], v[1], v[2]);
        std::fprintf(f.get(), "    endloop\n  endfacet\n");
    }
    std::fprintf(f.get(), "endsolid torus\n");
}

GSobject *kiv_load(const char *factory, const fs::path &path)
{
    std::unique_ptr<Loader> loader(loader_get_factory(factory)->create());
    GSobject *obj = nullptr;
    loader->load(nullptr, nullptr, path.c_str(), nullptr, &obj);
    return obj;
}

struct Files {
    fs::path dir = fs::temp_directory_path() / ("kiv_stl_bench_" + std::to_string(getpid()));
    fs::path binary = dir / "torus_binary.stl", ascii = dir / "torus_ascii.stl", kvg = dir / "torus_ascii.kvg";
    size_t binary_triangles = 0, ascii_triangles = 0;

    Files()
    {
        fs::create_directories(dir);
        const auto big = torus(1000, 1000);
        binary_triangles = big.size();
        write_binary(binary, big);
        const auto small = torus(317, 317);
        ascii_triangles = small.size();
        write_ascii(ascii, small);
        GSobject *obj = kiv_load("Stereolithography", ascii);
        GSobject_write(obj, kvg.c_str(), GS_FILE_TEXT);
        GSobject_delete(obj);
    }
    ~Files() { fs::remove_all(dir); }
};

const Files &files()
{
    static const Files f;
    return f;
}

void count(benchmark::State &state, size_t triangles)
{
    state.counters["triangles"] = static_cast<double>(triangles);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(triangles));
}

void kiv(benchmark::State &state, const char *factory, const fs::path &path, size_t triangles)
{
    for (auto _ : state) {
        GSobject *obj = kiv_load(factory, path);
        if (!obj || GSobject_npolys(obj) != static_cast<int>(triangles)) state.SkipWithError("not loaded");
        GSobject_delete(obj);
    }
    count(state, triangles);
}

void assimp(benchmark::State &state, const fs::path &path, size_t triangles, bool joined)
{
    for (auto _ : state) {
        Assimp::Importer importer;
        unsigned flags = 0;
        if (joined) {
            importer.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS, aiComponent_NORMALS);
            flags = aiProcess_JoinIdenticalVertices | aiProcess_RemoveComponent;
        }
        const aiScene *scene = importer.ReadFile(path.string(), flags);
        if (!scene || scene->mNumMeshes != 1 || scene->mMeshes[0]->mNumFaces != triangles) state.SkipWithError("not loaded");
    }
    count(state, triangles);
}

void BM_KivBinaryStl(benchmark::State &s) { kiv(s, "Stereolithography (binary)", files().binary, files().binary_triangles); }
void BM_AssimpBinaryStl(benchmark::State &s) { assimp(s, files().binary, files().binary_triangles, false); }
void BM_AssimpBinaryStlJoined(benchmark::State &s) { assimp(s, files().binary, files().binary_triangles, true); }
void BM_KivAsciiStl(benchmark::State &s) { kiv(s, "Stereolithography", files().ascii, files().ascii_triangles); }
void BM_AssimpAsciiStl(benchmark::State &s) { assimp(s, files().ascii, files().ascii_triangles, false); }
void BM_AssimpAsciiStlJoined(benchmark::State &s) { assimp(s, files().ascii, files().ascii_triangles, true); }

void BM_KivKvgOfAsciiMesh(benchmark::State &state)
{
    for (auto _ : state) {
        GSobject *obj = GSobject_read(files().kvg.c_str(), GS_FILE_TEXT);
        if (!obj) state.SkipWithError("not loaded");
        GSobject_delete(obj);
    }
    count(state, files().ascii_triangles);
}

BENCHMARK(BM_KivBinaryStl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpBinaryStl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpBinaryStlJoined)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KivAsciiStl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpAsciiStl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpAsciiStlJoined)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KivKvgOfAsciiMesh)->Unit(benchmark::kMillisecond);

}  // namespace
