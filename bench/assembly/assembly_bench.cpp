// Reading assembly files: a tree of N parts in groups of ten, each part with a name, an id,
// a placement, a colour and a part file (one of twenty, deferred to the loading thread as
// the viewer reads them), read through the loader registry without building the tree.
// Reports N and the time per object; compare 1,000 with 10,000 for linearity.
#include <kivctrl/kivctrl.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string assembly_text(int parts)
{
    std::string s = "ENVIRONMENT ( BACKGROUND ( 0.2, 0.2, 0.3 ) UNITS ( 1 )\n"
                    "VIEWPOINT ( NAME ( v ) LOCATION ( 0, -100, 0 ) ACTIVE ( 1 ) )\n";
    char line[512];
    for (int i = 0; i < parts; ++i) {
        if (i % 10 == 0) {
            if (i)
                s += ")\n";
            std::snprintf(line, sizeof line, "GROUP ( NAME ( \"group %d\" ) LOCATION ( %d, 0, 0 )\n", i / 10,
                          i / 10 * 20);
            s += line;
        }
        std::snprintf(line, sizeof line,
                      "  OBJECT ( NAME ( \"part %d\" ) ID ( %d ) FILE ( parts/p%d.kvg ) "
                      "LOCATION ( %d.5, %d.25, 0 ) ORIENTATION ( 0, 0, %d ) COLOR ( 0.5, 0.25, %d.0 ) "
                      "EXTENT ( 1, 1, 1 ) ACTIVE ( 1 ) )\n",
                      i, i + 1, i % 20, i % 10, i % 7, i % 360, i % 2);
        s += line;
    }
    return s + ")\n)\n";
}

void read_assembly(benchmark::State &state)
{
    const int parts = static_cast<int>(state.range(0));
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("kiv_bench_" + std::to_string(parts) + ".kvasf");
    std::ofstream(file) << assembly_text(parts);
    // As in the viewer: parts wait for the loading thread, which is never started here.
    env_set_threading(true);
    for (auto _ : state) {
        const int result = loader_invoke(nullptr, nullptr, file.c_str(), nullptr, nullptr, nullptr);
        state.PauseTiming();
        if (result != 1)
            state.SkipWithError("the assembly was not read");
        db_delete_assembly();
        state.ResumeTiming();
    }
    env_set_threading(false);
    std::filesystem::remove(file);
    state.counters["objects"] = parts;
    state.counters["per_object"] = benchmark::Counter(
        static_cast<double>(parts) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(read_assembly)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
