// Loading one mesh of 2 M triangles (a torus) as a binary part, as binary STL and as a text
// part, each through its loader into a finished graphics object. The counters give the file
// sizes, with the text part compressed by gzip -6 for comparison with the binary part.
#include <kivctrl/gs_part_file.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/loader.h>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// rows × cols quads on a torus, two triangles each, as binary STL with facet normals.
void write_torus_stl(const fs::path &path, int rows, int cols)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    char header[80] = "binary torus";
    std::fwrite(header, 1, 80, f.get());
    const auto n = static_cast<std::uint32_t>(2 * rows * cols);
    std::fwrite(&n, 4, 1, f.get());  // little-endian on the machines we measure
    auto point = [rows, cols](int i, int j, float *out) {
        const double u = 2 * std::numbers::pi * (i % rows) / rows, v = 2 * std::numbers::pi * (j % cols) / cols;
        out[0] = static_cast<float>((3 + std::cos(v)) * std::cos(u));
        out[1] = static_cast<float>((3 + std::cos(v)) * std::sin(u));
        out[2] = static_cast<float>(std::sin(v));
    };
    auto facet = [&](const int (&a)[2], const int (&b)[2], const int (&c)[2]) {
        float t[12];
        point(a[0], a[1], t + 3);
        point(b[0], b[1], t + 6);
        point(c[0], c[1], t + 9);
        double e1[3], e2[3];
        for (int k = 0; k < 3; ++k)
            e1[k] = t[6 + k] - t[3 + k], e2[k] = t[9 + k] - t[3 + k];
        const double nx = e1[1] * e2[2] - e1[2] * e2[1], ny = e1[2] * e2[0] - e1[0] * e2[2],
                     nz = e1[0] * e2[1] - e1[1] * e2[0];
        const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
        t[0] = static_cast<float>(nx / len), t[1] = static_cast<float>(ny / len), t[2] = static_cast<float>(nz / len);
        std::fwrite(t, 4, 12, f.get());
        const std::uint16_t attribute = 0;
        std::fwrite(&attribute, 2, 1, f.get());
    };
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            facet({i, j}, {i + 1, j}, {i + 1, j + 1});
            facet({i, j}, {i + 1, j + 1}, {i, j + 1});
        }
}

GSobject *load(const char *factory, const fs::path &path)
{
    std::unique_ptr<Loader> loader(loader_get_factory(factory)->create());
    GSobject *obj = nullptr;
    loader->load(nullptr, nullptr, path.c_str(), nullptr, &obj);
    return obj;
}

double gzip6_size(const fs::path &path)
{
    const std::string command = "gzip -6 -c '" + path.string() + "' | wc -c";
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> p(popen(command.c_str(), "r"), pclose);
    double bytes = 0;
    if (!p || std::fscanf(p.get(), "%lf", &bytes) != 1)
        return 0;
    return bytes;
}

struct Files {
    fs::path dir = fs::temp_directory_path() / ("kiv_kvb_bench_" + std::to_string(getpid()));
    fs::path stl = dir / "torus.stl", kvb = dir / "torus.kvb", kvg = dir / "torus.kvg";
    int triangles = 0;
    double kvg_gzip6 = 0;

    Files()
    {
        fs::create_directories(dir);
        write_torus_stl(stl, 1000, 1000);
        GSobject *obj = load("Stereolithography (binary)", stl);
        triangles = GSobject_npolys(obj);
        GSobject_write(obj, kvb.c_str(), GS_FILE_BINARY);
        GSobject_write(obj, kvg.c_str(), GS_FILE_TEXT);
        GSobject_delete(obj);
        kvg_gzip6 = gzip6_size(kvg);
    }
    ~Files() { fs::remove_all(dir); }
};

const Files &files()
{
    static const Files f;
    return f;
}

void run(benchmark::State &state, const char *factory, const fs::path &path)
{
    const Files &f = files();
    for (auto _ : state) {
        GSobject *obj = load(factory, path);
        if (!obj || GSobject_npolys(obj) != f.triangles)
            state.SkipWithError("not loaded");
        GSobject_delete(obj);
    }
    state.counters["triangles"] = f.triangles;
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(path));
    state.counters["kvb_bytes"] = static_cast<double>(fs::file_size(f.kvb));
    state.counters["kvg_gzip6_bytes"] = f.kvg_gzip6;
    state.SetItemsProcessed(state.iterations() * f.triangles);
}

void BM_KvbLoad(benchmark::State &s) { run(s, "KIV Binary Part", files().kvb); }
void BM_BinaryStlLoad(benchmark::State &s) { run(s, "Stereolithography (binary)", files().stl); }
void BM_KvgLoad(benchmark::State &s) { run(s, "KIV Part", files().kvg); }

BENCHMARK(BM_KvbLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryStlLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KvgLoad)->Unit(benchmark::kMillisecond);

} // namespace
